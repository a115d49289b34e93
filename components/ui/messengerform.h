#pragma once
// The dialog a TMessenger builds each time it is shown: icon, message,
// gauge, input line, radio choices and up to five buttons, placed by the
// messenger (see TMessenger::BuildForm). The dialog only holds the controls
// and turns the person's keys into the messenger's rules.
#include <QDialog>
#include <QList>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace components::ui {

class TMessengerButton;
class TPowerProgressBar;

class TMessengerForm : public QDialog {
    Q_OBJECT
public:
    TMessengerForm();
    ~TMessengerForm() override;

    QLabel* Image() const { return image_; }
    QLabel* MessageLabel() const { return label_; }
    QLineEdit* Edit() const { return edit_; }
    TPowerProgressBar* ProgressBar() const { return progress_; }
    QAction* CopyAction() const { return copyAction_; }

    // The radio buttons of the choices, one per choice.
    const QList<QRadioButton*>& Radios() const { return radios_; }
    // Makes exactly `count` radio buttons, reusing the existing ones.
    void SetRadioCount(int count);
    // -1 unchecks all; anything else outside the choices throws EMessenger.
    void SetChoiceIndex(int index);
    // The checked choice, searched from the last; -1 when none is checked.
    int CheckedChoice() const;

    // The dialog's buttons, in order, each with the messenger button it was
    // made from.
    int ButtonCount() const { return static_cast<int>(buttons_.size()); }
    QPushButton* DialogButton(int index) const { return buttons_.at(index).Button; }
    TMessengerButton* ButtonSource(int index) const { return buttons_.at(index).Source; }
    int IndexOfButton(const QObject* button) const;
    void ClearButtons();
    QPushButton* AddButton(TMessengerButton* source);

    // "Copy message": the input line's selection while it has the focus,
    // else the message text.
    void CopyMessage();

    // The close box and Escape: a Cancel button answers them; without one,
    // the close box of a modal dialog answers Cancel and Escape does nothing.
    void reject() override;

signals:
    void Shown();
    void Hidden();
    void Painted();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct TDialogButton {
        QPushButton* Button;
        TMessengerButton* Source;
    };
    QPushButton* CancelButton() const;

    QLabel* image_;
    QLabel* label_;
    QLineEdit* edit_;
    TPowerProgressBar* progress_;
    QAction* copyAction_;
    QList<QRadioButton*> radios_;
    QList<TDialogButton> buttons_;
};

} // namespace components::ui
