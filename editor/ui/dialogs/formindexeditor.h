#pragma once
// "Index Editor": the keyword index of the open project as a whole, over a
// TKeywordIndex: every keyword and sub-keyword of the topics' K keyword
// fields with the topics that carry it. The person adds, renames and
// deletes keywords and assigns topics, with undo and redo; OK writes every
// topic's keyword field back. Shown modally; each showing reads the topics
// anew and starts with an empty undo history.
#include <memory>

#include "editor/keywordindex.h"
#include "editor/ui/dialogs/editordialog.h"

class QListView;
class QRadioButton;
class QToolButton;

namespace components::ui {
class TUndo;
}
namespace editor {
class TEditorContext;
}

namespace editor::ui {

class TFormIndexEditor : public TEditorDialog {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 21000;

    explicit TFormIndexEditor(TEditorContext& context, QWidget* parent = nullptr);
    ~TFormIndexEditor() override;

    const TKeywordIndex& Index() const { return *index_; }
    components::ui::TUndo& Undo() { return *undo_; }

    QListView* ListIndex() const { return listIndex_; }
    QListView* ListKeywordTopics() const { return listKeywordTopics_; }
    QListView* ListTopics() const { return listTopics_; }
    QPushButton* BtnNewKeyword() const { return btnNewKeyword_; }
    QPushButton* BtnNewSubKeyword() const { return btnNewSubKeyword_; }
    QPushButton* BtnDeleteKeyword() const { return btnDeleteKeyword_; }
    QPushButton* BtnRename() const { return btnRename_; }
    QPushButton* BtnAddTopic() const { return btnAddTopic_; }
    QPushButton* BtnRemoveTopic() const { return btnRemoveTopic_; }
    QRadioButton* RadioSortID() const { return radioSortID_; }
    QRadioButton* RadioSortTitle() const { return radioSortTitle_; }
    QToolButton* BtnUndo() const { return btnUndo_; }
    QToolButton* BtnRedo() const { return btnRedo_; }

    // OK: asks about keywords that have only sub-keywords, then writes every
    // topic's keyword field; No stays in the editor.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void FormShow();
    // The lists after a change; `row` is the index row to select (-1: the
    // row selected before, kept in range).
    void Refresh(int row);
    void ListIndexClick();
    void FillKeywordTopics();
    void UpdateButtons();
    int SelectedIndexRow() const;
    helpproject::TBrindlewovenTopic* SelectedTopic(QListView* list) const;
    void SortChanged();

    void BtnNewKeywordClick();
    void BtnNewSubKeywordClick();
    void BtnDeleteKeywordClick();
    void BtnRenameClick();
    void BtnAddTopicClick();
    void BtnRemoveTopicClick();

    class TIndexModel;
    class TTopicListModel;

    TEditorContext& context_;
    components::ui::TUndo* undo_;
    std::unique_ptr<TKeywordIndex> index_;
    QListView* listIndex_;
    QListView* listKeywordTopics_;
    QListView* listTopics_;
    TIndexModel* indexModel_;
    TTopicListModel* keywordTopicsModel_;
    TTopicListModel* topicsModel_;
    QPushButton* btnNewKeyword_;
    QPushButton* btnNewSubKeyword_;
    QPushButton* btnDeleteKeyword_;
    QPushButton* btnRename_;
    QPushButton* btnAddTopic_;
    QPushButton* btnRemoveTopic_;
    QRadioButton* radioSortID_;
    QRadioButton* radioSortTitle_;
    QToolButton* btnUndo_;
    QToolButton* btnRedo_;
};

} // namespace editor::ui
