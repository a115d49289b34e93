#pragma once
// "Merge Projects": which topics of another project to insert and what to
// do with topic numbers both projects use, over TMergeDialogModel.
#include "editor/ui/dialogs/editordialog.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QListWidget;
class QStackedWidget;

namespace editor {
class TMergeDialogModel;
}

namespace editor::ui {

class TMergeForm : public TEditorDialog {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 10360;

    explicit TMergeForm(QWidget* parent = nullptr);

    // The model was filled from the project to merge; true on OK.
    bool Execute(TMergeDialogModel& model);

    QLabel* LabelMergeProject() const { return labelMergeProject_; }
    QComboBox* ComboInsertCriteria() const { return comboInsertCriteria_; }
    QStackedWidget* Notebook() const { return notebook_; }
    QComboBox* ComboIDFrom() const { return comboIDFrom_; }
    QComboBox* ComboIDTo() const { return comboIDTo_; }
    QListWidget* CheckListBrowse() const { return checkListBrowse_; }
    QListWidget* CheckListStatus() const { return checkListStatus_; }
    QButtonGroup* RadioSameID() const { return radioSameID_; }

private:
    void Changed();

    TMergeDialogModel* model_ = nullptr;
    QLabel* labelMergeProject_;
    QComboBox* comboInsertCriteria_;
    QStackedWidget* notebook_;
    QComboBox* comboIDFrom_;
    QComboBox* comboIDTo_;
    QListWidget* checkListBrowse_;
    QListWidget* checkListStatus_;
    QButtonGroup* radioSameID_;
};

} // namespace editor::ui
