#include "editor/topiceditor.h"

#include <algorithm>
#include <utility>

#include "components/rtf/stringlisttransfer.h"
#include "editor/defaulttextstyles.h"
#include "editor/dialogs/footnotedialogmodel.h"
#include "editor/topicfieldlimits.h"
#include "editor/topicnumbering.h"
#include "helpproject/brindlewovenerror.h"
#include "helpproject/textstylerange.h"
#include "helpproject/topicclipboard.h"
#include "platform/codepage.h"
#include "unitparser/pascalhighlight.h"

namespace editor {

using helpproject::TBrindlewovenProject;
using helpproject::TBrindlewovenTopic;
using Kind = TUndoData::TKind;

namespace {

constexpr const char* kChangesHint = "Changes made to topic #%s: %s";
constexpr const char* kUndoChangesHint = "Undo changes made to topic #%s: %s";
constexpr const char* kRedoChangesHint = "Redo changes made to topic #%s: %s";
constexpr const char* kUndoDeletionHint = "Undo deletion of topic #%s: %s";
constexpr const char* kRedoDeletionHint = "Delete topic #%s (%s) again";

// A bullet that an older rich-edit control wrote as text: the middle dot
// and the tab behind it. Text that begins with one is left alone.
void RemoveBulletText(rtf::RtfDocument& document) {
    constexpr std::string_view kBulletText = "\xB7\t";
    const rtf::FindOptions exact{true, false};
    for (;;) {
        const std::ptrdiff_t at = document.Find(kBulletText, 0, document.TextLength(), exact);
        if (at <= 0)
            return;
        document.Erase(static_cast<std::size_t>(at), kBulletText.size());
    }
}

// Sets a flag for the life of a scope.
class TFlagScope {
public:
    explicit TFlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~TFlagScope() { flag_ = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& flag_;
};

bool ListHolds(const std::vector<std::string>& list, const std::string& value) {
    return std::any_of(list.begin(), list.end(), [&](const std::string& item) {
        return platform::AnsiSameText(item, value);
    });
}

} // namespace

TTopicEditor::TTopicEditor(helpproject::TEditingSession& session, ITopicEditorView& view,
                           helpproject::TTextStyleList& styles, const TEditorSettings& settings)
    : session_(session), view_(view), styles_(styles), settings_(settings) {
    ProjectReplaced();
}

TTopicEditor::~TTopicEditor() = default;

void TTopicEditor::ProjectReplaced() {
    undo_.Clear();
    redo_.Clear();
    history_ = {};
    redoCurrentCopy_.reset();
    FillPropertyLists();
    view_.TopicListChanged();
    view_.LinkListChanged();
    view_.UndoMenusChanged();
    view_.PropertyListsChanged();
    ShowTopic();
}

void TTopicEditor::SetBulkUpdate(bool on) {
    const bool ending = bulkUpdate_ && !on;
    bulkUpdate_ = on;
    if (!ending)
        return;
    view_.TopicListChanged();
    view_.LinkListChanged();
    view_.PropertyListsChanged();
    view_.GridChanged();
    view_.PropertyBarChanged();
}

void TTopicEditor::FillPropertyLists() {
    buildTags_.clear();
    Project().GetBuildTags(buildTags_, true);
    std::sort(buildTags_.begin(), buildTags_.end(), [](const std::string& a, const std::string& b) {
        return platform::AnsiCompareText(a, b) < 0;
    });
    statuses_.clear();
    Project().GetStatuses(statuses_);
    for (const char* status : {"Writing", "Testing", "Done"})
        AddToStatusList(status);
}

void TTopicEditor::AddToBuildTagList(const std::string& value) {
    if (value.empty() || ListHolds(buildTags_, value))
        return;
    auto place = std::find_if(buildTags_.begin(), buildTags_.end(), [&](const std::string& item) {
        return platform::AnsiCompareText(item, value) > 0;
    });
    buildTags_.insert(place, value);
    view_.PropertyListsChanged();
}

void TTopicEditor::AddToStatusList(const std::string& value) {
    if (value.empty() || ListHolds(statuses_, value))
        return;
    statuses_.push_back(value);
    view_.PropertyListsChanged();
}

// ---- showing and storing ------------------------------------------------------

void TTopicEditor::LoadControls(const TBrindlewovenTopic& topic) {
    bar_.Number = topic.Number;
    bar_.Title = topic.Title;
    bar_.KKeywords = topic.KKeywords;
    bar_.AKeywords = topic.AKeywords;
    bar_.BrowseSequence = topic.BrowseSequence;
    bar_.BuildTag = topic.BuildTag;
    bar_.Status = topic.Status;
    ITextEditor& editor = Editor();
    try {
        rtf::RtfDocument document = rtf::LoadFromStrings(topic.Text);
        RemoveBulletText(document);
        editor.LoadDocument(document);
        editor.SetReadOnly(false);
        textLoaded_ = true;
    } catch (const std::exception& error) {
        // Text the editor cannot hold (RTF nested too deeply): the editor
        // says why, read-only, and the topic keeps its own text; nothing of
        // an earlier topic stays there to be stored as this one's.
        textLoaded_ = false;
        editor.LoadDocument(
            rtf::RtfDocument::FromPlainText(std::string(kTextNotShown) + " " + error.what()));
        editor.SetReadOnly(true);
    }
    ClearModifiedFlags();
}

void TTopicEditor::ClearModifiedFlags() {
    Editor().SetModified(false);
    bar_.KKeywordsModified = false;
    bar_.AKeywordsModified = false;
    bar_.BrowseSequenceModified = false;
}

void TTopicEditor::ShowTopic() {
    view_.EndGridEdit();
    TBrindlewovenTopic* topic = CurrentTopic();
    if (!topic)
        return;
    LoadControls(*topic);
    if (!bulkUpdate_) {
        Editor().SetSelection(topic->EditorSelStart, topic->EditorSelLength);
        PushHistory(*topic);
        view_.GridChanged();
    }
    redoCurrentCopy_.reset();
    view_.PropertyBarChanged();
    view_.UndoMenusChanged();
}

bool TTopicEditor::BarChanged() {
    const TBrindlewovenTopic& topic = *CurrentTopic();
    return TextChanged() || bar_.KKeywordsModified || bar_.AKeywordsModified ||
           bar_.BrowseSequenceModified || bar_.Title != topic.Title ||
           bar_.Number != topic.Number || bar_.BuildTag != topic.BuildTag ||
           bar_.Status != topic.Status;
}

void TTopicEditor::SaveEditorText(TBrindlewovenTopic& topic) {
    topic.SetText(rtf::SaveToStrings(Editor().SaveDocument()));
    topic.StripKeepnAndStyleSheet();
}

bool TTopicEditor::TextChanged() {
    return textLoaded_ && Editor().Modified();
}

void TTopicEditor::PassThroughEditor(TBrindlewovenTopic& topic) {
    // The editor holds another topic's text until the next ShowTopic.
    textLoaded_ = false;
    rtf::RtfDocument document = rtf::LoadFromStrings(topic.Text);
    RemoveBulletText(document);
    Editor().LoadDocument(document);
    SaveEditorText(topic);
    Editor().SetModified(false);
}

void TTopicEditor::TopicFieldsChanged(TBrindlewovenTopic& topic,
                                      const TBrindlewovenProject::TTopicFields& fields) {
    Project().SetTopicFields(topic, fields);
    if (bulkUpdate_)
        return;
    view_.TopicListChanged();
    view_.LinkListChanged();
    view_.GridChanged();
}

void TTopicEditor::StoreTopic() {
    view_.EndGridEdit();
    TBrindlewovenTopic* topic = CurrentTopic();
    if (!topic)
        return;
    if (BarChanged()) {
        TBrindlewovenProject& project = Project();
        if (bar_.Number != topic->Number)
            bar_.Number = project.FirstFreeNumber(bar_.Number);
        if (!bulkUpdate_) {
            AddUndo(MakeUndoData(Kind::Changes, bar_.Number, TBrindlewovenTopic::CreateCopy(*topic),
                                 kChangesHint));
            session_.SetModified();
        }
        bool renumbered = false;
        if (!bulkUpdate_ && bar_.Number != topic->Number) {
            RenumberTopic(project, *topic, bar_.Number, settings_.UpdateLinks);
            renumbered = true;
        }
        if (bar_.Title != topic->Title)
            project.ReplaceContentsTopicTitle(*topic, bar_.Title);
        TBrindlewovenProject::TTopicFields fields;
        fields.Title = bar_.Title;
        fields.KKeywords = bar_.KKeywords;
        fields.AKeywords = bar_.AKeywords;
        fields.BrowseSequence = bar_.BrowseSequence;
        if (!bulkUpdate_) {
            fields.BuildTag = platform::AnsiLowerCase(bar_.BuildTag);
            fields.Status = bar_.Status;
        }
        TopicFieldsChanged(*topic, fields);
        // Only text loaded from this topic goes back into it.
        if (textLoaded_ && (Editor().Modified() || renumbered))
            SaveEditorText(*topic);
        if (!bulkUpdate_) {
            AddToBuildTagList(topic->BuildTag);
            AddToStatusList(topic->Status);
            history_[0] = {topic->Number, topic->Title};
        }
        if (!bulkUpdate_)
            view_.TopicStored(*topic);
        // The bar now shows what was stored (the number taken, the build tag
        // in lower case), and a second store without edits changes nothing.
        bar_.Number = topic->Number;
        bar_.BuildTag = topic->BuildTag;
        bar_.Status = topic->Status;
        ClearModifiedFlags();
        view_.PropertyBarChanged();
    }
    if (!bulkUpdate_) {
        topic->EditorSelStart = Editor().SelStart();
        topic->EditorSelLength = Editor().SelLength();
    }
}

// ---- the property bar ------------------------------------------------------------

void TTopicEditor::SetNumberBox(std::int32_t number) {
    bar_.Number = std::max<std::int32_t>(number, 1);
}

void TTopicEditor::TitleTyped(const std::string& title) {
    if (title == bar_.Title)
        return;
    constexpr std::string_view kPlaceholder = "{title}";
    const std::string oldText = bar_.Title.empty() ? std::string(kPlaceholder) : bar_.Title;
    const std::string newText = title.empty() ? std::string(kPlaceholder) : title;
    ITextEditor& editor = Editor();
    const std::string text = editor.TextRange(0, editor.TextLength());
    const std::string_view firstLine = std::string_view(text).substr(0, text.find('\r'));
    const std::size_t at = firstLine.find(oldText);
    if (at != std::string_view::npos)
        editor.ReplaceRange(at, oldText.size(), newText);
    bar_.Title = title;
    view_.GridChanged();
}

void TTopicEditor::TitleChosen(std::int32_t number) {
    TBrindlewovenTopic* chosen = Project().TopicByNumber(number);
    if (chosen == CurrentTopic())
        return;
    StoreTopic();
    MakeCurrentAndShow(chosen);
}

void TTopicEditor::SetKKeywords(const std::string& text) {
    if (text == bar_.KKeywords)
        return;
    bar_.KKeywords = text;
    bar_.KKeywordsModified = true;
    view_.GridChanged();
}

void TTopicEditor::SetAKeywords(const std::string& text) {
    if (text == bar_.AKeywords)
        return;
    bar_.AKeywords = text;
    bar_.AKeywordsModified = true;
    view_.GridChanged();
}

void TTopicEditor::SetBrowseSequence(const std::string& text) {
    const std::string lower = platform::AnsiLowerCase(text);
    if (lower == bar_.BrowseSequence)
        return;
    bar_.BrowseSequence = lower;
    bar_.BrowseSequenceModified = true;
    view_.GridChanged();
}

void TTopicEditor::SetBuildTag(const std::string& text) {
    if (text == bar_.BuildTag)
        return;
    bar_.BuildTag = text;
    view_.GridChanged();
}

void TTopicEditor::SetStatus(const std::string& text) {
    if (text == bar_.Status)
        return;
    bar_.Status = text;
    view_.GridChanged();
}

TKeyFilter TTopicEditor::PropertyFilter(helpproject::TTopicColumn column) {
    using helpproject::TTopicColumn;
    switch (column) {
    case TTopicColumn::KKeywords:
        return TKeyFilter(TKeyFilter::TKind::Any, TopicFieldMaxLength(TTopicField::KKeywords));
    case TTopicColumn::AKeywords:
        return TKeyFilter(TKeyFilter::TKind::Any, TopicFieldMaxLength(TTopicField::AKeywords));
    case TTopicColumn::BrowseSequence:
        return TKeyFilter(TKeyFilter::TKind::FootnoteBar,
                          TopicFieldMaxLength(TTopicField::BrowseSequence));
    case TTopicColumn::BuildTag:
        return TKeyFilter(TKeyFilter::TKind::FootnoteBar,
                          TopicFieldMaxLength(TTopicField::BuildTag));
    default:
        return TKeyFilter();
    }
}

int TTopicEditor::TitleBoxIndex() const {
    const TBrindlewovenTopic* topic = CurrentTopic();
    const auto& items = Project().TopicsByTitle();
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].Topic == topic)
            return static_cast<int>(i);
    return -1;
}

// ---- topics ------------------------------------------------------------------------

void TTopicEditor::MakeCurrentAndShow(TBrindlewovenTopic* topic) {
    session_.SetCurrentTopic(topic);
    ShowTopic();
}

void TTopicEditor::SetNewTopicText(const std::string& title, std::string_view lineEnds) {
    {
        TFlagScope creating(creatingTopic_);
        ITextEditor& editor = Editor();
        editor.SetSelection(0, editor.TextLength());
        editor.ReplaceSelection(title + std::string(lineEnds));
        editor.SetSelection(0, editor.TextLength());
        ApplyTextStyleMacro(*styles_.BuiltIn(std::string(kTopicTextStyle)));
        editor.SetSelection(0, title.size());
        ApplyTextStyleMacro(*styles_.BuiltIn(std::string(kTopicTitleStyle)));
        editor.MoveCaretToEnd();
    }
    view_.RefreshEditorState();
}

void TTopicEditor::ShowNewProjectTopic() {
    ShowTopic();
    if (TBrindlewovenTopic* topic = CurrentTopic()) {
        SetNewTopicText(topic->Title, "\r\n\r\n");
        // The styled title is the topic's own text, not an edit: whatever
        // shows or writes the topic later (a save under a name, a make)
        // finds it so, and the project is not changed by it.
        if (textLoaded_)
            SaveEditorText(*topic);
        Editor().SetModified(false);
    }
}

TBrindlewovenTopic* TTopicEditor::CreateTopicAfter(std::int32_t number) {
    const std::int32_t newNumber = NewTopicNumber(Project(), number, settings_.IDIncrease);
    TBrindlewovenTopic* topic = Project().AddTopic(newNumber, std::string(kNewTopicTitle));
    session_.SetModified();
    view_.TopicListChanged();
    view_.LinkListChanged();
    MakeCurrentAndShow(topic);
    SetNewTopicText(topic->Title, "\r\n\r\n");
    return topic;
}

TBrindlewovenTopic* TTopicEditor::NewTopic() {
    StoreTopic();
    return CreateTopicAfter(CurrentTopic()->Number);
}

TBrindlewovenTopic* TTopicEditor::NewTopicAfter(std::int32_t number) {
    TBrindlewovenTopic* after = Project().TopicByNumber(number);
    if (after == CurrentTopic())
        return NewTopic();
    StoreTopic();
    return CreateTopicAfter(after->Number);
}

void TTopicEditor::DeleteCurrentTopic() {
    view_.EndGridEdit();
    TBrindlewovenTopic* topic = CurrentTopic();
    AddUndo(MakeUndoData(Kind::Deletion, topic->Number, TBrindlewovenTopic::CreateCopy(*topic),
                         kUndoDeletionHint));
    session_.DeleteTopic(topic->Number);
    DropHistoryEntry(0);
    view_.TopicListChanged();
    view_.LinkListChanged();
    ShowTopic();
}

void TTopicEditor::DeleteOtherTopic(std::int32_t number) {
    view_.EndGridEdit();
    TBrindlewovenTopic* topic = Project().TopicByNumber(number);
    AddUndo(MakeUndoData(Kind::Deletion, number, TBrindlewovenTopic::CreateCopy(*topic),
                         kUndoDeletionHint));
    session_.DeleteTopic(number);
    for (std::size_t i = 0; i < kHistorySize; ++i)
        if (history_[i].Number == number)
            DropHistoryEntry(i);
    view_.TopicListChanged();
    view_.LinkListChanged();
    view_.GridChanged();
}

void TTopicEditor::DeleteTopic(std::int32_t number) {
    if (Project().TopicByNumber(number) == CurrentTopic())
        DeleteCurrentTopic();
    else
        DeleteOtherTopic(number);
}

void TTopicEditor::PasteTopic(std::int32_t number, std::string_view record) {
    view_.EndGridEdit();
    TBrindlewovenTopic* topic = Project().TopicByNumber(number);
    // Read into a copy first: a damaged record leaves the topic as it was.
    std::unique_ptr<TBrindlewovenTopic> pasted = TBrindlewovenTopic::CreateCopy(*topic);
    helpproject::LoadFromClipboardData(*pasted, record);
    // The record's fields are held to what the window's boxes take, as the
    // link's are; the topic's own context string stays whatever it is.
    const std::string tooLong = TopicFieldTooLong(
        {{TTopicField::Title, pasted->Title},
         {TTopicField::Context, pasted->TopicID == topic->TopicID ? "" : pasted->TopicID},
         {TTopicField::KKeywords, pasted->KKeywords},
         {TTopicField::AKeywords, pasted->AKeywords},
         {TTopicField::BKeywords, pasted->BKeywords},
         {TTopicField::BrowseSequence, pasted->BrowseSequence},
         {TTopicField::BuildTag, pasted->BuildTag},
         {TTopicField::Status, pasted->Status},
         {TTopicField::Window, pasted->Window},
         {TTopicField::EntryMacro, pasted->EntryMacro}});
    if (!tooLong.empty())
        throw helpproject::EProjectError("The topic on the clipboard cannot be pasted. " + tooLong);
    TBrindlewovenProject::TTopicFields fields;
    fields.Title = pasted->Title;
    fields.KKeywords = pasted->KKeywords;
    fields.AKeywords = pasted->AKeywords;
    fields.BrowseSequence = pasted->BrowseSequence;
    fields.BuildTag = pasted->BuildTag;
    fields.Status = pasted->Status;
    Project().SetTopicFields(*topic, fields);
    topic->BKeywords = pasted->BKeywords;
    topic->Window = pasted->Window;
    topic->EntryMacro = pasted->EntryMacro;
    topic->TopicID = pasted->TopicID;
    topic->SetText(pasted->Text);
    session_.SetModified();
    const bool current = topic == CurrentTopic();
    if (!bulkUpdate_) {
        view_.TopicListChanged();
        view_.LinkListChanged();
        view_.GridChanged();
    }
    if (current) {
        DropHistoryEntry(0);
        ShowTopic();
        Editor().SetModified(true);
    } else {
        view_.TopicStored(*topic);
    }
}

TBrindlewovenTopic* TTopicEditor::AddParsedTopic(std::int32_t number, const std::string& title) {
    return AddFilledTopic(number, title, {});
}

TBrindlewovenTopic*
TTopicEditor::AddFilledTopic(std::int32_t number, const std::string& title,
                             const std::function<void(TBrindlewovenTopic&)>& fill) {
    StoreTopic();
    TBrindlewovenTopic* topic = Project().AddTopic(number, title);
    if (fill)
        fill(*topic);
    session_.SetModified();
    if (!bulkUpdate_) {
        view_.TopicListChanged();
        view_.LinkListChanged();
    }
    MakeCurrentAndShow(topic);
    if (!bulkUpdate_)
        SetNewTopicText(title, "\r\n");
    return topic;
}

void TTopicEditor::TopicProperties(std::int32_t number,
                                   const std::function<bool(TFootnoteDialogModel&)>& runDialog) {
    TBrindlewovenTopic* topic = Project().TopicByNumber(number);
    const bool current = topic == CurrentTopic();
    if (current)
        StoreTopic();
    TFootnoteDialogModel model(Project(), *topic, buildTags_, statuses_);
    const std::int32_t oldNumber = topic->Number;
    if (runDialog(model)) {
        model.Ok(settings_.UpdateLinks);
        // The history follows the topic to its new number and title.
        for (THistoryEntry& entry : history_)
            if (entry.Number == oldNumber && oldNumber != 0)
                entry = {model.Topic().Number, model.Topic().Title};
        AddToBuildTagList(model.Topic().BuildTag);
        AddToStatusList(model.Topic().Status);
        session_.SetModified();
    }
    view_.TopicListChanged();
    view_.LinkListChanged();
    view_.GridChanged();
    if (current)
        MakeCurrentAndShow(&model.Topic());
}

void TTopicEditor::ToggleBookmark(std::int32_t number) {
    TBrindlewovenTopic* topic = Project().TopicByNumber(number);
    topic->Bookmark = !topic->Bookmark;
    session_.SetModified();
    view_.GridChanged();
}

// ---- undo and redo ------------------------------------------------------------------

void TTopicEditor::AddUndo(TUndoData entry) {
    undo_.Add(std::move(entry));
    view_.UndoMenusChanged();
}

void TTopicEditor::AddRedo(TUndoData entry) {
    redo_.Add(std::move(entry));
    view_.UndoMenusChanged();
}

void TTopicEditor::ReapplyCopy(TUndoData& entry, TBrindlewovenTopic& topic) {
    topic.Assign(*entry.Copy);
    TopicFieldsChanged(topic);
    if (&topic != CurrentTopic()) {
        StoreTopic();
        session_.SetCurrentTopic(&topic);
    } else {
        // The unstored edits of the topic give way to the record.
        DropHistoryEntry(0);
    }
    ShowTopic();
    session_.SetModified();
}

void TTopicEditor::UndoItemClick(std::size_t index) {
    const TUndoData& clicked = undo_.Entries().at(index);
    if (clicked.Kind == Kind::Changes)
        Project().TopicByNumber(clicked.Number); // gone: ENoSuchTopic, the entry stays
    TUndoData entry = undo_.Take(index);
    view_.UndoMenusChanged();
    if (entry.Kind == Kind::Deletion) {
        // The number may have been taken since: the record goes to the topic
        // made now, whatever number it got.
        TBrindlewovenTopic* topic = Project().AddTopic(entry.Number, entry.Copy->Title);
        view_.TopicListChanged();
        ReapplyCopy(entry, *topic);
        AddRedo(MakeUndoData(Kind::Deletion, topic->Number, TBrindlewovenTopic::CreateCopy(*topic),
                             kRedoDeletionHint));
    } else {
        TBrindlewovenTopic* topic = Project().TopicByNumber(entry.Number);
        TUndoData redo = MakeUndoData(Kind::Changes, entry.Number,
                                      TBrindlewovenTopic::CreateCopy(*topic), kRedoChangesHint);
        ReapplyCopy(entry, *topic);
        AddRedo(std::move(redo));
    }
}

void TTopicEditor::RedoItemClick(std::size_t index) {
    const TUndoData& clicked = redo_.Entries().at(index);
    Project().TopicByNumber(clicked.Number); // gone: ENoSuchTopic, the entry stays
    TUndoData entry = redo_.Take(index);
    view_.UndoMenusChanged();
    if (entry.Kind == Kind::Deletion) {
        DeleteTopic(entry.Number);
        return;
    }
    TBrindlewovenTopic* topic = Project().TopicByNumber(entry.Number);
    TUndoData undo = MakeUndoData(Kind::Changes, entry.Number,
                                  TBrindlewovenTopic::CreateCopy(*topic), kUndoChangesHint);
    ReapplyCopy(entry, *topic);
    AddUndo(std::move(undo));
}

void TTopicEditor::UndoCurrent() {
    TBrindlewovenTopic* topic = CurrentTopic();
    if (!topic)
        return;
    auto controls = std::make_unique<TBrindlewovenTopic>(bar_.Number, bar_.Title);
    controls->KKeywords = bar_.KKeywords;
    controls->AKeywords = bar_.AKeywords;
    controls->BrowseSequence = bar_.BrowseSequence;
    controls->BuildTag = bar_.BuildTag;
    controls->Status = bar_.Status;
    controls->Text = textLoaded_ ? rtf::SaveToStrings(Editor().SaveDocument()) : topic->Text;
    LoadControls(*topic);
    redoCurrentCopy_ = std::move(controls);
    view_.PropertyBarChanged();
    view_.GridChanged();
    view_.UndoMenusChanged();
}

void TTopicEditor::RedoCurrent() {
    if (!redoCurrentCopy_)
        return;
    std::unique_ptr<TBrindlewovenTopic> controls = std::move(redoCurrentCopy_);
    LoadControls(*controls);
    // What is redone is an edit of the controls again, for StoreTopic to take.
    Editor().SetModified(true);
    bar_.KKeywordsModified = true;
    bar_.AKeywordsModified = true;
    bar_.BrowseSequenceModified = true;
    view_.PropertyBarChanged();
    view_.GridChanged();
    view_.UndoMenusChanged();
}

// ---- navigation ---------------------------------------------------------------------

void TTopicEditor::GoToNeighbour(TNeighbour inGrid, TNeighbour inNumbers) {
    StoreTopic();
    const std::int32_t n = CurrentTopic()->Number;
    MakeCurrentAndShow((Project().*(view_.GridVisible() ? inGrid : inNumbers))(n));
}

void TTopicEditor::GoToNext() {
    GoToNeighbour(&TBrindlewovenProject::SortedNext, &TBrindlewovenProject::NextTopic);
}

void TTopicEditor::GoToPrevious() {
    GoToNeighbour(&TBrindlewovenProject::SortedPrevious, &TBrindlewovenProject::PreviousTopic);
}

void TTopicEditor::GoToNextBookmark() {
    GoToNeighbour(&TBrindlewovenProject::SortedNextBookmark, &TBrindlewovenProject::NextBookmark);
}

void TTopicEditor::GoToPreviousBookmark() {
    GoToNeighbour(&TBrindlewovenProject::SortedPreviousBookmark,
                  &TBrindlewovenProject::PreviousBookmark);
}

void TTopicEditor::GoToFirst() {
    StoreTopic();
    MakeCurrentAndShow(view_.GridVisible() ? Project().SortedTopics().front()
                                           : Project().Topics().front().get());
}

void TTopicEditor::GoToLast() {
    StoreTopic();
    MakeCurrentAndShow(view_.GridVisible() ? Project().SortedTopics().back()
                                           : Project().Topics().back().get());
}

void TTopicEditor::GoToNumberFrom(std::int32_t value) {
    StoreTopic();
    MakeCurrentAndShow(value <= 1 ? Project().Topics().front().get()
                                  : Project().NextTopic(value - 1));
}

void TTopicEditor::GoToTopicID(std::int32_t number) {
    if (CurrentTopic() && CurrentTopic()->Number == number)
        return;
    StoreTopic();
    MakeCurrentAndShow(Project().TopicByNumber(number));
}

void TTopicEditor::GoToTopicIndex(std::int32_t position) {
    if (Project().TopicByIndex(position) == CurrentTopic())
        return;
    StoreTopic();
    MakeCurrentAndShow(Project().TopicByIndex(position));
}

void TTopicEditor::PushHistory(const TBrindlewovenTopic& topic) {
    std::size_t found = kHistorySize - 1;
    for (std::size_t i = 0; i < kHistorySize; ++i)
        if (history_[i].Number == topic.Number) {
            found = i;
            break;
        }
    for (std::size_t i = found; i > 0; --i)
        history_[i] = std::move(history_[i - 1]);
    history_[0] = {topic.Number, topic.Title};
}

void TTopicEditor::DropHistoryEntry(std::size_t index) {
    for (std::size_t i = index; i + 1 < kHistorySize; ++i)
        history_[i] = std::move(history_[i + 1]);
    history_[kHistorySize - 1] = {};
}

std::vector<THistoryMenuItem> TTopicEditor::HistoryMenu() const {
    constexpr std::string_view kKeys = "1234567890ABCDEF";
    std::vector<THistoryMenuItem> items;
    for (std::size_t i = 1; i < kHistorySize; ++i)
        if (history_[i].Number != 0)
            items.push_back(
                {std::string("&") + kKeys[i - 1] + " " + history_[i].Title, history_[i].Number});
    return items;
}

// ---- text styles ----------------------------------------------------------------------

void TTopicEditor::ApplyMacroFont(const helpproject::TTextStyleMacro& style) {
    Editor().SetSelFormat(helpproject::CharFormatFromFont(style.Font), helpproject::kStyleCharMask);
}

void TTopicEditor::ApplyTextStyleMacro(const helpproject::TTextStyleMacro& style) {
    ApplyMacroFont(style);
    Editor().SetSelParaFormat(helpproject::ParaFormatFromStyle(style), helpproject::kStyleParaMask);
    if (&style == styles_.BuiltIn(std::string(kSourceCodeStyle)))
        HighlightSourceCode();
}

void TTopicEditor::HighlightSourceCode() {
    ITextEditor& editor = Editor();
    const std::size_t start = editor.SelStart();
    const std::size_t length = editor.SelLength();
    if (length == 0)
        return;
    const std::string text = editor.TextRange(start, length);
    editor.SetRangeFormat(start, length, rtf::CharFormat{}, rtf::kCharBold | rtf::kCharItalic);
    for (const unitparser::THighlightSpan& span : unitparser::HighlightPascal(text)) {
        rtf::CharFormat format;
        format.bold = span.kind == unitparser::THighlightKind::ReservedWord;
        format.italic = span.kind == unitparser::THighlightKind::Comment;
        editor.SetRangeFormat(start + span.start, span.length, format,
                              format.bold ? rtf::kCharBold : rtf::kCharItalic);
    }
}

} // namespace editor
