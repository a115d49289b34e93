#pragma once
// The done page: the run's outcome, and either Done or the restart
// question with "Restart now" and "Restart later".
#include <QWidget>

#include "setup/wizardflow.h"

class QLabel;
class QPushButton;

namespace setup::ui {

class TPageDone : public QWidget {
    Q_OBJECT

public:
    explicit TPageDone(TWizardFlow& flow, QWidget* parent = nullptr);

    void Fill();
    QLabel* LabelDone() const { return labelDone_; }
    QPushButton* BtnDone() const { return btnDone_; }
    QPushButton* BtnRebootNow() const { return btnRebootNow_; }
    QPushButton* BtnRebootLater() const { return btnRebootLater_; }

private:
    TWizardFlow& flow_;
    QLabel* labelDone_ = nullptr;
    QLabel* labelReboot_ = nullptr;
    QPushButton* btnDone_ = nullptr;
    QPushButton* btnRebootNow_ = nullptr;
    QPushButton* btnRebootLater_ = nullptr;
};

} // namespace setup::ui
