#include "editor/keywordindex.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>

#include "components/messengerseam.h"
#include "components/undobase.h"
#include "editor/keywordundo.h"
#include "platform/codepage.h"
#include "platform/textutil.h"

namespace editor {

using helpproject::TBrindlewovenProject;
using helpproject::TBrindlewovenTopic;

namespace {

// The comparison of the index: the locale's, ignoring case.
int CompareNames(std::string_view a, std::string_view b) {
    return platform::AnsiCompareTextLinguistic(a, b);
}

// Trimmed as typed names are: blanks and control characters at both ends.
std::string Trimmed(std::string_view text) {
    return std::string(platform::TrimControlView(text));
}

struct TNameLess {
    bool operator()(const std::string& a, const std::string& b) const {
        return CompareNames(a, b) < 0;
    }
};

std::string WithoutAny(std::string_view text, std::string_view refused) {
    std::string result;
    for (char c : text)
        if (refused.find(c) == std::string_view::npos)
            result += c;
    return result;
}

using TTopicRefs = std::vector<TBrindlewovenTopic*>;

// Topics are gathered one at a time, so a topic already in the list is the
// last one added.
void AddOnce(TTopicRefs& topics, TBrindlewovenTopic* topic) {
    if (topics.empty() || topics.back() != topic)
        topics.push_back(topic);
}

// Ends the group's recording however the command leaves.
class TGroupScope {
public:
    explicit TGroupScope(components::TUndoItemGroup* group) : group_(group) {}
    ~TGroupScope() { group_->Close(); }
    TGroupScope(const TGroupScope&) = delete;
    TGroupScope& operator=(const TGroupScope&) = delete;

private:
    components::TUndoItemGroup* group_;
};

} // namespace

bool TKeywordIndex::IsSubKeyword(std::string_view text) {
    return text.substr(0, kSubKeywordIndent.size()) == kSubKeywordIndent;
}

std::string TKeywordIndex::Name(int row) const {
    const std::string& text = Item(row).Text;
    return IsSubKeyword(text) ? text.substr(kSubKeywordIndent.size()) : text;
}

std::string TKeywordIndex::KeywordName(std::string_view typed) {
    return Trimmed(WithoutAny(typed, ",;"));
}

std::string TKeywordIndex::SubKeywordName(std::string_view typed) {
    return Trimmed(WithoutAny(typed, ";"));
}

int TKeywordIndex::KeywordRow(int row) const {
    if (row < 0 || row >= Count())
        return -1;
    while (row >= 0 && IsSubKeyword(Item(row).Text))
        --row;
    return row;
}

bool TKeywordIndex::HasTopic(int row, const TBrindlewovenTopic* topic) const {
    const TTopicRefs& topics = Item(row).Topics;
    return std::find(topics.begin(), topics.end(), topic) != topics.end();
}

// ---- building and writing ------------------------------------------------------

void TKeywordIndex::Build(const TBrindlewovenProject& project) {
    undo_.Clear();
    items_.clear();
    struct TKeywordEntry {
        TTopicRefs Topics;
        std::map<std::string, TTopicRefs, TNameLess> SubKeywords;
    };
    // Sorted containers in place of the list's sorted insertion: the first
    // spelling met stays, as a found item keeps its text.
    std::map<std::string, TKeywordEntry, TNameLess> keywords;
    const auto& topics = project.Topics();
    for (auto it = topics.rbegin(); it != topics.rend(); ++it) {
        TBrindlewovenTopic* topic = it->get();
        std::string_view field = topic->KKeywords;
        std::size_t pos = 0;
        while (pos < field.size()) {
            std::size_t end = field.find_first_of(",;", pos);
            if (end == std::string_view::npos)
                end = field.size();
            const std::string keyword = Trimmed(field.substr(pos, end - pos));
            std::string subKeyword;
            if (end < field.size() && field[end] == ',') {
                const std::size_t subStart = end + 1;
                end = field.find(';', subStart);
                if (end == std::string_view::npos)
                    end = field.size();
                subKeyword = Trimmed(field.substr(subStart, end - subStart));
            }
            pos = end + 1;
            if (keyword.empty())
                continue;
            TKeywordEntry& entry = keywords[keyword];
            if (subKeyword.empty())
                AddOnce(entry.Topics, topic);
            else
                AddOnce(entry.SubKeywords[subKeyword], topic);
        }
    }
    for (auto& [keyword, entry] : keywords) {
        items_.push_back(TIndexItem{keyword, std::move(entry.Topics)});
        for (auto& [subKeyword, subTopics] : entry.SubKeywords)
            items_.push_back(
                TIndexItem{std::string(kSubKeywordIndent) + subKeyword, std::move(subTopics)});
    }
}

bool TKeywordIndex::HasBareKeywordWithSubKeywords() const {
    for (std::size_t i = 0; i + 1 < items_.size(); ++i)
        if (!IsSubKeyword(items_[i].Text) && items_[i].Topics.empty() &&
            IsSubKeyword(items_[i + 1].Text))
            return true;
    return false;
}

void TKeywordIndex::WriteTo(TBrindlewovenProject& project) const {
    for (const auto& topic : project.Topics())
        topic->KKeywords.clear();
    std::string keyword;
    for (const TIndexItem& item : items_) {
        std::string entry;
        if (IsSubKeyword(item.Text)) {
            entry = keyword + "," + Trimmed(item.Text) + ";";
        } else {
            keyword = item.Text;
            entry = keyword + ";";
        }
        for (TBrindlewovenTopic* topic : item.Topics)
            topic->KKeywords += entry;
    }
}

bool TKeywordIndex::ConfirmAndWrite(TBrindlewovenProject& project,
                                    components::IMessenger& messenger) const {
    if (HasBareKeywordWithSubKeywords()) {
        components::TQuestion question;
        question.Kind = components::TMessageKind::Confirmation;
        question.Caption = kCaption;
        question.Text = kSubKeywordQuestion;
        question.Buttons = {{"&Yes", components::mrYes, false, false},
                            {"&No", components::mrNo, true, true}};
        if (messenger.Ask(question) != components::mrYes)
            return false;
    }
    WriteTo(project);
    return true;
}

// ---- rows -------------------------------------------------------------------------

void TKeywordIndex::InsertItem(int row, TIndexItem item) {
    items_.insert(items_.begin() + row, std::move(item));
}

TIndexItem TKeywordIndex::RemoveItem(int row) {
    TIndexItem item = std::move(items_.at(static_cast<std::size_t>(row)));
    items_.erase(items_.begin() + row);
    return item;
}

void TKeywordIndex::InsertTopic(int row, TBrindlewovenTopic* topic) {
    if (!HasTopic(row, topic))
        items_.at(static_cast<std::size_t>(row)).Topics.push_back(topic);
}

void TKeywordIndex::EraseTopic(int row, const TBrindlewovenTopic* topic) {
    TTopicRefs& topics = items_.at(static_cast<std::size_t>(row)).Topics;
    topics.erase(std::remove(topics.begin(), topics.end(), topic), topics.end());
}

int TKeywordIndex::FindKeyword(std::string_view keyword) const {
    for (int row = 0; row < Count(); ++row)
        if (!IsSubKeyword(Item(row).Text) && CompareNames(Item(row).Text, keyword) == 0)
            return row;
    return -1;
}

int TKeywordIndex::FindOrInsertKeyword(const std::string& keyword) {
    if (int row = FindKeyword(keyword); row >= 0)
        return row;
    int row = 0;
    while (row < Count() &&
           (IsSubKeyword(Item(row).Text) || CompareNames(Item(row).Text, keyword) < 0))
        ++row;
    InsertItem(row, TIndexItem{keyword, {}});
    undo_.Add(std::make_unique<TUndoAddKeyword>(*this, row, keyword));
    return row;
}

int TKeywordIndex::FindOrInsertSubKeyword(int keywordRow, const std::string& subKeyword) {
    int row = keywordRow + 1;
    while (row < Count() && IsSubKeyword(Item(row).Text)) {
        const int order = CompareNames(Name(row), subKeyword);
        if (order == 0)
            return row;
        if (order > 0)
            break;
        ++row;
    }
    const std::string text = std::string(kSubKeywordIndent) + subKeyword;
    InsertItem(row, TIndexItem{text, {}});
    undo_.Add(std::make_unique<TUndoAddKeyword>(*this, row, text));
    return row;
}

int TKeywordIndex::LastRowOf(int keywordRow) const {
    int last = keywordRow;
    while (last + 1 < Count() && IsSubKeyword(Item(last + 1).Text))
        ++last;
    return last;
}

void TKeywordIndex::AddTopics(int row, const TTopicRefs& topics) {
    for (TBrindlewovenTopic* topic : topics)
        AddTopic(row, topic);
}

void TKeywordIndex::DeleteRecorded(int row) {
    TIndexItem item = RemoveItem(row);
    undo_.Add(std::make_unique<TUndoDeleteKeyword>(*this, row, item.Text, std::move(item.Topics)));
}

// ---- the commands ----------------------------------------------------------------

int TKeywordIndex::NewKeyword(std::string_view typed) {
    const std::string keyword = KeywordName(typed);
    return keyword.empty() ? -1 : FindOrInsertKeyword(keyword);
}

int TKeywordIndex::NewSubKeyword(int row, std::string_view typed) {
    const int keywordRow = KeywordRow(row);
    const std::string subKeyword = SubKeywordName(typed);
    if (keywordRow < 0 || subKeyword.empty())
        return -1;
    return FindOrInsertSubKeyword(keywordRow, subKeyword);
}

int TKeywordIndex::DeleteRow(int row) {
    if (row < 0 || row >= Count())
        return -1;
    if (IsSubKeyword(Item(row).Text)) {
        DeleteRecorded(row);
    } else {
        auto* group = static_cast<components::TUndoItemGroup*>(
            undo_.Add(std::make_unique<TUndoDeleteKeywordGroup>(Item(row).Text)));
        TGroupScope scope(group);
        for (int i = LastRowOf(row); i >= row; --i)
            DeleteRecorded(i);
    }
    return std::min(row, Count() - 1);
}

int TKeywordIndex::ChangeKeyword(int row, std::string_view typed) {
    if (row < 0 || row >= Count())
        return -1;
    const bool sub = IsSubKeyword(Item(row).Text);
    const std::string oldName = Name(row);
    const std::string newName = sub ? SubKeywordName(typed) : KeywordName(typed);
    if (newName.empty() || newName == oldName)
        return -1;
    auto* group = static_cast<components::TUndoItemGroup*>(
        undo_.Add(std::make_unique<TUndoChangeKeyword>(oldName, newName)));
    TGroupScope scope(group);
    if (sub) {
        const int keywordRow = KeywordRow(row);
        const TTopicRefs topics = Item(row).Topics;
        DeleteRecorded(row);
        const int newRow = FindOrInsertSubKeyword(keywordRow, newName);
        AddTopics(newRow, topics);
        return newRow;
    }
    // The keyword and its sub-keywords leave; the new keyword takes their
    // topics, each old sub-keyword finding (or making) its place below it.
    const int last = LastRowOf(row);
    const TTopicRefs topics = Item(row).Topics;
    std::vector<std::pair<std::string, TTopicRefs>> subKeywords;
    for (int i = row + 1; i <= last; ++i)
        subKeywords.emplace_back(Name(i), Item(i).Topics);
    for (int i = last; i >= row; --i)
        DeleteRecorded(i);
    const int newRow = FindOrInsertKeyword(newName);
    AddTopics(newRow, topics);
    for (const auto& [subKeyword, subTopics] : subKeywords) {
        const int keywordRow = FindKeyword(newName);
        AddTopics(FindOrInsertSubKeyword(keywordRow, subKeyword), subTopics);
    }
    return FindKeyword(newName);
}

bool TKeywordIndex::AddTopic(int row, TBrindlewovenTopic* topic) {
    if (row < 0 || row >= Count() || !topic || HasTopic(row, topic))
        return false;
    InsertTopic(row, topic);
    undo_.Add(std::make_unique<TUndoAddTopic>(*this, row, topic));
    return true;
}

bool TKeywordIndex::RemoveTopic(int row, TBrindlewovenTopic* topic) {
    if (row < 0 || row >= Count() || !topic || !HasTopic(row, topic))
        return false;
    EraseTopic(row, topic);
    undo_.Add(std::make_unique<TUndoRemoveTopic>(*this, row, topic));
    return true;
}

namespace {

// The "New Keyword" box with its edit field; nullopt when cancelled.
std::optional<std::string> AskName(components::IMessenger& messenger, const std::string& start) {
    components::TQuestion question;
    question.Kind = components::TMessageKind::None;
    question.Caption = "New Keyword";
    question.Text = "Please type in the new keyword:";
    question.Buttons = components::OkCancelButtons();
    question.HasInput = true;
    question.Input = start;
    if (messenger.Ask(question) != components::mrOk)
        return std::nullopt;
    return question.Input;
}

} // namespace

int TKeywordIndex::AskNewKeyword(components::IMessenger& messenger) {
    const auto name = AskName(messenger, std::string());
    return name ? NewKeyword(*name) : -1;
}

int TKeywordIndex::AskNewSubKeyword(components::IMessenger& messenger, int row) {
    if (KeywordRow(row) < 0)
        return -1;
    const auto name = AskName(messenger, std::string());
    return name ? NewSubKeyword(row, *name) : -1;
}

int TKeywordIndex::AskChangeKeyword(components::IMessenger& messenger, int row) {
    if (row < 0 || row >= Count())
        return -1;
    const auto name = AskName(messenger, Trimmed(Item(row).Text));
    return name ? ChangeKeyword(row, *name) : -1;
}

} // namespace editor
