#pragma once
// The "Select Folder" dialog: a folder tree with an edit line that follow
// each other. Typing selects the deepest existing folder of the typed path
// in the tree; choosing a folder in the tree puts its path into the edit.
#include <QDialog>

class QFileSystemModel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace components::ui {

class TFormDirSel : public QDialog {
    Q_OBJECT
public:
    explicit TFormDirSel(QWidget* parent = nullptr);

    QLineEdit* Edit() const { return edit_; }
    QTreeView* ShellTree() const { return shellTree_; }
    QPushButton* BtnOK() const { return btnOK_; }
    QPushButton* BtnCancel() const { return btnCancel_; }
    // The path of the folder selected in the tree; empty when none is.
    QString TreePath() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void EditChanged(const QString& text);
    void TreeChanged();

    QFileSystemModel* model_;
    QLineEdit* edit_;
    QTreeView* shellTree_;
    QPushButton* btnOK_;
    QPushButton* btnCancel_;
    // Keeps the edit and the tree from echoing each other.
    bool updating_ = false;
};

// Shows the dialog with `folder` in its edit line and returns the edit's text
// when the person closes it with OK, else `folder`. The dialog is made once
// per window of `owner` and kept there with its size; without an owner one
// is made for this call.
QString SelectFolder(const QString& folder, QWidget* owner = nullptr);

} // namespace components::ui
