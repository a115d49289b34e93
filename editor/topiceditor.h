#pragma once
// The topic editor without its widgets: one topic at a time is shown in the
// rich-edit control and the property bar (number box, title box, K and A
// keywords, browse sequence, build tag, status). ShowTopic loads the current
// topic into them; StoreTopic is the only way their edits reach the project.
// Around that: the topic-level Undo and Redo menus, the history of shown
// topics, new and deleted topics, navigation, and the services the unit
// parser and the markup commands call. The main window implements the view
// and forwards its controls' changes to the setters here.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/dialogs/keyfilters.h"
#include "editor/editorsettings.h"
#include "editor/texteditor.h"
#include "editor/undomenu.h"
#include "helpproject/editingsession.h"
#include "helpproject/textstylemacro.h"

namespace editor {

class TFootnoteDialogModel;

// What the property bar shows: the current topic with its unstored edits.
struct TPropertyBar {
    std::int32_t Number = 0; // the number box
    std::string Title;       // the title as last typed in the title box
    std::string KKeywords;
    std::string AKeywords;
    std::string BrowseSequence;
    std::string BuildTag;
    std::string Status;
    // The three edit boxes were typed into since the topic was shown.
    bool KKeywordsModified = false;
    bool AKeywordsModified = false;
    bool BrowseSequenceModified = false;
};

struct THistoryEntry {
    std::int32_t Number = 0; // 0: an empty entry
    std::string Title;
};

// An item of the history pop-up: "&1 Title" ... "&F Title".
struct THistoryMenuItem {
    std::string Caption;
    std::int32_t Number = 0;
};
inline constexpr std::string_view kHistoryHint = "Go back to previously shown topics...";

// What the topic editor asks of the window. Everything but the text editor
// has a default that does nothing, so a test view implements what it checks.
class ITopicEditorView {
public:
    virtual ~ITopicEditorView() = default;

    virtual ITextEditor& TextEditor() = 0;
    // The number box, title box and property boxes show PropertyBar() anew.
    virtual void PropertyBarChanged() {}
    // The project's topic list changed (the title box lists
    // Project().TopicsByTitle()).
    virtual void TopicListChanged() {}
    // The link list needs sorting anew (a title or number changed).
    virtual void LinkListChanged() {}
    // The topic grid: an in-place edit ends; rows were added or removed or
    // cells changed.
    virtual void EndGridEdit() {}
    virtual void GridChanged() {}
    // Navigation follows the grid's order while it is visible.
    virtual bool GridVisible() const { return true; }
    virtual void UndoMenusChanged() {}
    // The build-tag and status lists of the property bar changed.
    virtual void PropertyListsChanged() {}
    // A topic was stored (link clients are told).
    virtual void TopicStored(const helpproject::TBrindlewovenTopic& /*topic*/) {}
    // The text changed under a command: the formatting bar and the ruler
    // mirror the caret again.
    virtual void RefreshEditorState() {}
};

class TTopicEditor {
public:
    static constexpr std::size_t kHistorySize = 17;
    static constexpr std::string_view kNewTopicTitle = "<new topic>";

    // Shows the session's current topic. The style list holds the built-in
    // styles that new topics and source code are formatted with.
    TTopicEditor(helpproject::TEditingSession& session, ITopicEditorView& view,
                 helpproject::TTextStyleList& styles, const TEditorSettings& settings);
    ~TTopicEditor();
    TTopicEditor(const TTopicEditor&) = delete;
    TTopicEditor& operator=(const TTopicEditor&) = delete;

    helpproject::TEditingSession& Session() { return session_; }
    const helpproject::TEditingSession& Session() const { return session_; }
    helpproject::TBrindlewovenProject& Project() { return session_.Project(); }
    const helpproject::TBrindlewovenProject& Project() const { return session_.Project(); }
    helpproject::TBrindlewovenTopic* CurrentTopic() const { return session_.CurrentTopic(); }
    const TEditorSettings& Settings() const { return settings_; }
    ITopicEditorView& View() { return view_; }

    // While set, grid and editor refreshes are left out (bulk operations
    // create or change many topics).
    bool BulkUpdate() const { return bulkUpdate_; }
    // Ending a bulk operation refreshes every list, the grid and the bar.
    void SetBulkUpdate(bool on);
    // True while a new topic's text is being set up.
    bool CreatingTopic() const { return creatingTopic_; }

    // After the session took another project: no undo, redo or history of
    // the old one; the property lists of the new one; its current topic shown.
    void ProjectReplaced();

    // ---- showing and storing ----------------------------------------------
    void ShowTopic();
    void StoreTopic();
    // Loads the topic's text into the editor and stores it back into the
    // topic, leaving the editor empty-handed: imported topics then hold
    // their text in the editor's own form.
    void PassThroughEditor(helpproject::TBrindlewovenTopic& topic);

    // ---- the property bar ---------------------------------------------------
    const TPropertyBar& PropertyBar() const { return bar_; }
    void SetNumberBox(std::int32_t number);
    // A title typed into the title box: replaces the old title in the first
    // line of the text (or "{title}" there when the title is emptied).
    void TitleTyped(const std::string& title);
    // An item of the title box chosen: that topic is shown.
    void TitleChosen(std::int32_t number);
    // The three edit boxes; a value that differs marks the box modified.
    // The browse sequence is kept in lower case.
    void SetKKeywords(const std::string& text);
    void SetAKeywords(const std::string& text);
    void SetBrowseSequence(const std::string& text);
    void SetBuildTag(const std::string& text);
    void SetStatus(const std::string& text);
    // What the property bar's boxes accept: the keyword boxes up to 16383
    // characters, the browse sequence and build tag up to 50 without
    // ! # % * + = > @ and backslash; the title and status anything.
    static TKeyFilter PropertyFilter(helpproject::TTopicColumn column);
    // Position of the current topic in the title box's list
    // (Project().TopicsByTitle()), -1 when it is not listed.
    int TitleBoxIndex() const;
    // The values the build-tag box offers (sorted) and the status box offers.
    const std::vector<std::string>& BuildTagList() const { return buildTags_; }
    const std::vector<std::string>& StatusList() const { return statuses_; }
    // Adds a non-empty value the list lacks.
    void AddToBuildTagList(const std::string& value);
    void AddToStatusList(const std::string& value);

    // ---- topics -------------------------------------------------------------
    // New Topic: "<new topic>" numbered after the current one, with the
    // standard text of a new topic.
    helpproject::TBrindlewovenTopic* NewTopic();
    // The grid's Insert Topic: the same after topic `number`.
    helpproject::TBrindlewovenTopic* NewTopicAfter(std::int32_t number);
    // Delete: the current topic; the next one (wrapping) is shown, or a new
    // topic 10 when none is left. Undo brings it back.
    void DeleteCurrentTopic();
    // The grid's Delete: any topic; the current one as DeleteCurrentTopic.
    void DeleteTopic(std::int32_t number);
    // A topic made by the unit parser: shown, with its title as text.
    helpproject::TBrindlewovenTopic* AddParsedTopic(std::int32_t number, const std::string& title);
    // Topic Properties for a topic: `runDialog` shows the dialog over the
    // prepared model and returns true for OK. The topic the dialog hands
    // back (it may have moved to another number) is shown when it was the
    // current one.
    void TopicProperties(std::int32_t number,
                         const std::function<bool(TFootnoteDialogModel&)>& runDialog);
    void ToggleBookmark(std::int32_t number);
    // Sets the fields that lists show through the project (the grid, the
    // bar, an undo copy written elsewhere); the project's lists and the
    // views follow.
    void TopicFieldsChanged(helpproject::TBrindlewovenTopic& topic,
                            const helpproject::TBrindlewovenProject::TTopicFields& fields = {});

    // ---- undo and redo --------------------------------------------------------
    const TUndoMenu& UndoMenu() const { return undo_; }
    const TUndoMenu& RedoMenu() const { return redo_; }
    void UndoItemClick(std::size_t index);
    void RedoItemClick(std::size_t index);
    // Changes to the current topic: back to the topic as last stored, and
    // forward again to what the controls held.
    void UndoCurrent();
    void RedoCurrent();
    bool RedoCurrentEnabled() const { return redoCurrentCopy_ != nullptr; }

    // ---- navigation -------------------------------------------------------------
    // In the grid's order while the grid is visible, else in number order;
    // each wraps around.
    void GoToNext();
    void GoToPrevious();
    void GoToNextBookmark();
    void GoToPreviousBookmark();
    void GoToFirst();
    void GoToLast();
    // The first topic whose number is not below `value` (the first topic
    // when there is none).
    void GoToNumberFrom(std::int32_t value);
    // ENoSuchTopic / "Topic index out of bounds" pass to the caller.
    void GoToTopicID(std::int32_t number);
    void GoToTopicIndex(std::int32_t position);
    const std::array<THistoryEntry, kHistorySize>& History() const { return history_; }
    // Entries 1..16 that are set.
    std::vector<THistoryMenuItem> HistoryMenu() const;

    // ---- text styles ------------------------------------------------------------
    // Font and paragraph of the style on the selection; the built-in
    // source-code style also highlights the selection as Pascal.
    void ApplyTextStyleMacro(const helpproject::TTextStyleMacro& style);
    // The style's font alone.
    void ApplyMacroFont(const helpproject::TTextStyleMacro& style);
    // Pascal reserved words of the selection bold, comments italic.
    void HighlightSourceCode();

private:
    ITextEditor& Editor() { return view_.TextEditor(); }
    bool BarChanged();
    void LoadControls(const helpproject::TBrindlewovenTopic& topic);
    void ClearModifiedFlags();
    void SaveEditorText(helpproject::TBrindlewovenTopic& topic);
    void MakeCurrentAndShow(helpproject::TBrindlewovenTopic* topic);
    // A neighbour of the current topic in the grid's order or in number order.
    using TNeighbour =
        helpproject::TBrindlewovenTopic* (helpproject::TBrindlewovenProject::*)(std::int32_t) const;
    void GoToNeighbour(TNeighbour inGrid, TNeighbour inNumbers);
    helpproject::TBrindlewovenTopic* CreateTopicAfter(std::int32_t number);
    void SetNewTopicText(const std::string& title, std::string_view lineEnds);
    void PushHistory(const helpproject::TBrindlewovenTopic& topic);
    void DropHistoryEntry(std::size_t index);
    void DeleteOtherTopic(std::int32_t number);
    void AddUndo(TUndoData entry);
    void AddRedo(TUndoData entry);
    void ReapplyCopy(TUndoData& entry, helpproject::TBrindlewovenTopic& topic);
    void FillPropertyLists();

    helpproject::TEditingSession& session_;
    ITopicEditorView& view_;
    helpproject::TTextStyleList& styles_;
    const TEditorSettings& settings_;

    TPropertyBar bar_;
    std::array<THistoryEntry, kHistorySize> history_{};
    TUndoMenu undo_;
    TUndoMenu redo_;
    std::unique_ptr<helpproject::TBrindlewovenTopic> redoCurrentCopy_;
    std::vector<std::string> buildTags_;
    std::vector<std::string> statuses_;
    bool bulkUpdate_ = false;
    bool creatingTopic_ = false;
};

} // namespace editor
