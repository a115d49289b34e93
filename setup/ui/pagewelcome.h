#pragma once
// The wizard's first page: the product line with its links, the release
// date and extra line, the rights and earlier-installation notices, the
// five welcome buttons in the places the flow gives them, and the hint line
// that shows the hint of the button under the mouse.
#include <QPixmap>
#include <QWidget>
#include <array>

#include "setup/wizardflow.h"

class QGridLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace setup::ui {

class TPageWelcome : public QWidget {
    Q_OBJECT

public:
    TPageWelcome(TWizardFlow& flow, QWidget* parent = nullptr);

    // Texts, notices, buttons and icons from the flow's welcome data.
    void Fill();
    // The buttons' visibility and vertical places, as the flow has them now.
    void PlaceButtons();
    QPushButton* Button(TWelcomeButtonId id) const { return buttons_[id]; }
    QLabel* LabelHint() const { return labelHint_; }
    // The package's icon as Fill loaded it; null without one.
    const QPixmap& Icon() const { return icon_; }

private:
    void FillFirstLine(const TWelcomeData& w);

    TWizardFlow& flow_;
    QPixmap icon_;
    QLabel* imageIconTop_ = nullptr;
    QLabel* imageIconBottom_ = nullptr;
    QWidget* firstLine_ = nullptr;
    QLabel* labelRelease_ = nullptr;
    QLabel* labelExtra_ = nullptr;
    QVBoxLayout* noticeLines_ = nullptr; // rights and earlier-installation lines
    QGridLayout* buttonGrid_ = nullptr;
    std::array<QPushButton*, wbCount> buttons_{};
    QLabel* labelHint_ = nullptr;
};

} // namespace setup::ui
