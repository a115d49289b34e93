#pragma once
// The keyword index of a project as the index editor shows it: every
// keyword of the topics' K keyword fields, sorted, each followed by its
// sub-keywords (stored with five leading blanks, sorted among themselves),
// and for each row the topics that carry it. The editor's commands change
// it and record their undo steps in the undo stacks handed in; OK writes
// every topic's keyword field back from it.
#include <string>
#include <string_view>
#include <vector>

#include "helpproject/brindlewovenproject.h"

namespace components {
class IMessenger;
class TUndoBase;
} // namespace components

namespace editor {

struct TIndexItem {
    std::string Text; // a keyword, or five blanks and a sub-keyword
    std::vector<helpproject::TBrindlewovenTopic*> Topics;
};

class TKeywordIndex {
public:
    static constexpr std::string_view kSubKeywordIndent = "     ";
    static constexpr const char* kCaption = "Index Editor";
    static constexpr const char* kSubKeywordQuestion =
        "One or more keywords in your index do not have topics assigned to them, but do have "
        "subkeywords.\r\rIn WinHelp, such keywords will appear in the index as:\r\r        "
        "MainKeyword, SubKeyword1\r                SubKeyword2\r\rinstead of:\r\r        "
        "MainKeyword\r                SubKeyword1\r                SubKeyword2\r\rAre you sure "
        "you want to update the Index like this?\r(If you say No, you can continue editing the "
        "Index.)";

    explicit TKeywordIndex(components::TUndoBase& undo) : undo_(undo) {}
    TKeywordIndex(const TKeywordIndex&) = delete;
    TKeywordIndex& operator=(const TKeywordIndex&) = delete;

    // The index of the project's topics; the undo history is emptied.
    void Build(const helpproject::TBrindlewovenProject& project);
    // Every topic's keyword field rewritten from the index: its entries in
    // index order, each ending in ";". A keyword without topics and without
    // sub-keywords is written nowhere.
    void WriteTo(helpproject::TBrindlewovenProject& project) const;
    // Some keyword has no topics of its own but sub-keywords below it.
    bool HasBareKeywordWithSubKeywords() const;
    // OK: asks about such keywords first (No, the default, goes back to
    // editing and writes nothing). True when the fields were written.
    bool ConfirmAndWrite(helpproject::TBrindlewovenProject& project,
                         components::IMessenger& messenger) const;

    const std::vector<TIndexItem>& Items() const { return items_; }
    int Count() const { return static_cast<int>(items_.size()); }
    const TIndexItem& Item(int row) const { return items_.at(static_cast<std::size_t>(row)); }
    static bool IsSubKeyword(std::string_view text);
    // The row's text without the indent of a sub-keyword.
    std::string Name(int row) const;
    // The keyword a row belongs to: itself, or the nearest keyword above.
    int KeywordRow(int row) const;
    bool HasTopic(int row, const helpproject::TBrindlewovenTopic* topic) const;

    // Names as typed: a keyword trimmed and without "," and ";", a
    // sub-keyword trimmed and without ";".
    static std::string KeywordName(std::string_view typed);
    static std::string SubKeywordName(std::string_view typed);

    // ---- the commands; each returns the row to select (-1: keep) -----------
    int NewKeyword(std::string_view typed);
    int NewSubKeyword(int row, std::string_view typed);
    // A sub-keyword alone, a keyword with all its sub-keywords, one step.
    int DeleteRow(int row);
    // Renames the row, merging it into an existing keyword (or sibling
    // sub-keyword) of the new name; one step.
    int ChangeKeyword(int row, std::string_view typed);
    bool AddTopic(int row, helpproject::TBrindlewovenTopic* topic);
    bool RemoveTopic(int row, helpproject::TBrindlewovenTopic* topic);
    // The same, asking for the name through the messenger first.
    int AskNewKeyword(components::IMessenger& messenger);
    int AskNewSubKeyword(components::IMessenger& messenger, int row);
    int AskChangeKeyword(components::IMessenger& messenger, int row);

    // ---- what the undo steps do ----------------------------------------------
    void InsertItem(int row, TIndexItem item);
    TIndexItem RemoveItem(int row);
    void InsertTopic(int row, helpproject::TBrindlewovenTopic* topic);
    void EraseTopic(int row, const helpproject::TBrindlewovenTopic* topic);

private:
    int FindKeyword(std::string_view keyword) const;
    // Finds the keyword or inserts it (recording the insertion).
    int FindOrInsertKeyword(const std::string& keyword);
    int FindOrInsertSubKeyword(int keywordRow, const std::string& subKeyword);
    // The last row of a keyword: its last sub-keyword, or itself.
    int LastRowOf(int keywordRow) const;
    // Adds the topics the row lacks, each recorded.
    void AddTopics(int row, const std::vector<helpproject::TBrindlewovenTopic*>& topics);
    void DeleteRecorded(int row);

    components::TUndoBase& undo_;
    std::vector<TIndexItem> items_;
};

} // namespace editor
