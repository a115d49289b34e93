#pragma once
// "Position Wizard": a window the person moves and sizes where the help
// window should appear, then confirms.
#include <QDialog>
#include <QRect>
#include <optional>

class QPushButton;

namespace editor::ui {

class TPositionWizardForm : public QDialog {
    Q_OBJECT
public:
    explicit TPositionWizardForm(QWidget* parent = nullptr);

    // Shows the window over `bounds` (screen pixels); on OK its place and
    // size as the person left them.
    std::optional<QRect> Execute(const QRect& bounds);

    QPushButton* OkBtn() const { return okBtn_; }
    QPushButton* CancelBtn() const { return cancelBtn_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QRect bounds_;
    QPushButton* okBtn_;
    QPushButton* cancelBtn_;
};

} // namespace editor::ui
