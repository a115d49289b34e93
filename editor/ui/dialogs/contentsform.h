#pragma once
// "Brindlewoven Contents Editor": edits the project's contents lines as an
// indented tree, the contents title and the index and link file lists, over
// a TContentsEditorModel. It is modeless: it reads the project each time it
// is shown (not on every activation, so edits survive switching windows),
// and only OK writes back into the project. When the project is replaced
// while it is open it reads the new one, so OK never writes one project's
// contents into another.
#include <QPointer>
#include <functional>
#include <string>
#include <string_view>

#include "editor/dialogs/contentseditormodel.h"
#include "editor/projectcommands.h"
#include "editor/ui/dialogs/editordialog.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSpinBox;
class QStatusBar;
class QTabWidget;
class QTableView;
class QToolButton;

namespace editor {
class TEditorContext;
}

namespace editor::ui {

class TContentsListView;
class TMacroEditorOpener;

inline constexpr std::string_view kCntEditKey = "Software\\Vexlor\\Brindlewoven\\CntEdit";

class TContentsForm : public TEditorDialog {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 20000;
    static constexpr int kGeneralHelpContext = 20100;
    static constexpr int kContentsHelpContext = 20110;

    // A file dialog: the chosen path, or "" when cancelled. Tests replace it.
    using TFileChooser = std::function<std::string(const TFileDialogSpec& dialog)>;

    explicit TContentsForm(TEditorContext& context, QWidget* parent = nullptr);
    ~TContentsForm() override;

    void SetFileChooser(TFileChooser chooser) { chooser_ = std::move(chooser); }

    // The project was replaced (New, Open, Import): the undo store goes, and
    // an open editor reads the new project.
    void ProjectReplaced();

    const TContentsEditorModel& Model() const { return model_; }

    // ---- the controls ---------------------------------------------------------
    QTabWidget* PageControl() const { return pageControl_; }
    QLineEdit* EditTitle() const { return editTitle_; }
    QLineEdit* EditIndex() const { return editIndex_; }
    QLineEdit* EditIndexFile() const { return editIndexFile_; }
    QListWidget* ListIndex() const { return listIndex_; }
    QPushButton* BtnIndexAdd() const { return btnIndexAdd_; }
    QPushButton* BtnIndexDel() const { return btnIndexDel_; }
    QPushButton* BtnIndexBrowse() const { return btnIndexBrowse_; }
    QLineEdit* EditLink() const { return editLink_; }
    QListWidget* ListLink() const { return listLink_; }
    QPushButton* BtnLinkAdd() const { return btnLinkAdd_; }
    QPushButton* BtnLinkDel() const { return btnLinkDel_; }
    QPushButton* BtnLinkBrowse() const { return btnLinkBrowse_; }
    QCheckBox* CheckDontShowFindTab() const { return checkDontShowFindTab_; }
    TContentsListView* ListCnt() const { return listCnt_; }
    QGroupBox* RadioGroupCntItem() const { return radioGroupBox_; }
    QAbstractButton* KindButton(TContentsKind kind) const;
    QLineEdit* EditCntTitle() const { return editCntTitle_; }
    QLineEdit* EditFile() const { return editFile_; }
    QPushButton* BtnCntBrowse() const { return btnCntBrowse_; }
    QComboBox* ComboTopic() const { return comboTopic_; }
    QToolButton* BtnTopicSort() const { return btnTopicSort_; }
    QSpinBox* SpinTopic() const { return spinTopic_; }
    QLineEdit* EditTopic() const { return editTopic_; }
    QLineEdit* EditMacro() const { return editMacro_; }
    QPushButton* BtnMacro() const { return btnMacro_; }
    QComboBox* ComboWindow() const { return comboWindow_; }
    QPushButton* BtnCntAdd() const { return btnCntAdd_; }
    QPushButton* BtnCntDel() const { return btnCntDel_; }
    QPushButton* BtnCntLeft() const { return btnCntLeft_; }
    QPushButton* BtnCntRight() const { return btnCntRight_; }
    QPushButton* BtnUndo() const { return btnUndo_; }
    QPushButton* BtnRedo() const { return btnRedo_; }
    QPushButton* BtnDebug() const { return btnDebug_; }
    QCheckBox* CheckSubFollow() const { return checkSubFollow_; }
    QPushButton* BtnGrid() const { return btnGrid_; }
    QTableView* Grid() const { return grid_; }
    QStatusBar* StatusBar() const { return statusBar_; }

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildGeneralPage(QWidget* page);
    void BuildContentsPage(QWidget* page);
    void BuildGrid();

    // Reads everything from the project (showing the form, a new project).
    void LoadFromProject();
    // What may have changed in the project while the editor stood aside:
    // topics, windows. Never the lines.
    void RefreshProjectLists();
    void FillComboTopic();

    // ---- the Contents page ----------------------------------------------------
    void ListCntClick(int row);
    void ShowCurrentItem();
    void ShowKindControls(TContentsKind kind);
    void RadioGroupCntItemClick();
    void EditCntChange();
    TContentsPanel PanelFromControls() const;
    void AfterStructureChange();
    void UpdateButtons();
    void BtnCntAddClick();
    void BtnCntDelClick();
    void BtnCntLeftClick();
    void BtnCntRightClick();
    void BtnDebugClick();
    void BtnUndoClick();
    void BtnRedoClick();
    void BtnTopicSortClick(bool down);
    void BtnCntBrowseClick();
    void BtnMacroClick();
    void ListCntDragDrop(int source, int target);
    void BtnGridClick();
    void SetGridVisible(bool visible);
    void PageControlChange(int page);

    // ---- the General page ------------------------------------------------------
    void ShowIndexList();
    void ShowLinkList();
    void ListIndexClick(int row);
    void ListLinkClick(int row);
    void EditIndexChange();
    void EditLinkChange();
    void BtnIndexAddClick();
    void BtnIndexDelClick();
    void BtnLinkAddClick();
    void BtnLinkDelClick();
    void BtnIndexBrowseClick();
    void BtnLinkBrowseClick();
    std::string ChooseFile(const TFileDialogSpec& dialog);

    TEditorContext& context_;
    TContentsEditorModel model_;
    TFileChooser chooser_;
    std::unique_ptr<TMacroEditorOpener> macroOpener_;
    bool showing_ = false; // the panel is being filled, not edited
    int designedWidth_ = 0;

    QTabWidget* pageControl_;
    QLineEdit* editTitle_;
    QLineEdit* editIndex_;
    QLineEdit* editIndexFile_;
    QListWidget* listIndex_;
    QPushButton* btnIndexAdd_;
    QPushButton* btnIndexDel_;
    QPushButton* btnIndexBrowse_;
    QLineEdit* editLink_;
    QListWidget* listLink_;
    QPushButton* btnLinkAdd_;
    QPushButton* btnLinkDel_;
    QPushButton* btnLinkBrowse_;
    QCheckBox* checkDontShowFindTab_;
    TContentsListView* listCnt_;
    QGroupBox* radioGroupBox_;
    QButtonGroup* radioGroupCntItem_;
    QLabel* labelCntTitle_;
    QLineEdit* editCntTitle_;
    QLabel* labelFile_;
    QLineEdit* editFile_;
    QPushButton* btnCntBrowse_;
    QLabel* labelTopic_;
    QComboBox* comboTopic_;
    QToolButton* btnTopicSort_;
    QSpinBox* spinTopic_;
    QLineEdit* editTopic_;
    QLabel* labelMacro_;
    QLineEdit* editMacro_;
    QPushButton* btnMacro_;
    QLabel* labelWindow_;
    QComboBox* comboWindow_;
    QPushButton* btnCntAdd_;
    QPushButton* btnCntDel_;
    QPushButton* btnCntLeft_;
    QPushButton* btnCntRight_;
    QPushButton* btnUndo_;
    QPushButton* btnRedo_;
    QPushButton* btnDebug_;
    QCheckBox* checkSubFollow_;
    QPushButton* btnGrid_;
    QTableView* grid_;
    class TTopicModel;
    TTopicModel* gridModel_;
    QStatusBar* statusBar_;
};

} // namespace editor::ui
