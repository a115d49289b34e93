#pragma once
// The small windows around start-up: the splash window shown while the main
// window is built, the about box and the technical-support box.
#include <QDialog>
#include <QFrame>

class QLabel;

namespace components::ui {
class TURLLabel;
}

namespace editor::ui {

inline constexpr const char* kProductBanner = "Brindlewoven 7.7.6";

class TSplashForm : public QFrame {
    Q_OBJECT
public:
    TSplashForm();
    QLabel* LabelLoading = nullptr;
};

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
    QLabel* LabelProgramTitle = nullptr;
};

class TFormTechSupport : public QDialog {
    Q_OBJECT
public:
    explicit TFormTechSupport(QWidget* parent = nullptr);
    components::ui::TURLLabel* URLLabel = nullptr;
    QLabel* LabelSubject = nullptr;
};

} // namespace editor::ui
