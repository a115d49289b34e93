#pragma once
// What the editor's modal dialogs share: OK, Cancel and Help buttons in a
// row at the right, Help (and F1) asking for the dialog's help context, and, for
// the dialogs the program centres, the place in the middle of the screen.
#include <QDialog>
#include <string>
#include <vector>

class QComboBox;
class QHBoxLayout;
class QPushButton;

namespace components {
class IMessenger;
}

namespace editor::ui {

class TEditorDialog : public QDialog {
    Q_OBJECT
public:
    int HelpContext() const { return helpContext_; }
    QPushButton* OkBtn() const { return okBtn_; }
    QPushButton* CancelBtn() const { return cancelBtn_; }
    QPushButton* HelpBtn() const { return helpBtn_; }
    // Where the dialog says why OK refuses what was entered (the window's
    // messenger); without one it shows a message box of its own.
    void SetMessenger(components::IMessenger* messenger) { messenger_ = messenger; }

signals:
    void HelpRequested(int helpContext);

protected:
    enum class TPlace { Centered, Owner };
    TEditorDialog(QWidget* parent, int helpContext, TPlace place);

    // The three buttons, pushed to the right, for the dialog's layout. OK
    // runs accept(), Cancel reject().
    QHBoxLayout* ButtonRow() const { return buttonRow_; }

    void showEvent(QShowEvent* event) override;
    // OK cannot take what was entered: the message says why, `field` gets
    // the focus and the dialog stays open.
    void Refuse(const std::string& message, QWidget* field);

private:
    int helpContext_;
    TPlace place_;
    QPushButton* okBtn_;
    QPushButton* cancelBtn_;
    QPushButton* helpBtn_;
    QHBoxLayout* buttonRow_;
    components::IMessenger* messenger_ = nullptr;
};

// The small "..." button beside a field.
QPushButton* EllipsisButton(const char* name, QWidget* parent);

// The two lists of a topic range ("from" and "to") both filled with
// `items`, `fromIndex` and `toIndex` chosen, without change signals.
void FillRangeCombos(QComboBox& from, QComboBox& to, const std::vector<std::string>& items,
                     int fromIndex, int toIndex);

} // namespace editor::ui
