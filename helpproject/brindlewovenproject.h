#pragma once
// The help project: options, the topic list (ascending by number) with its
// picker lists and the grid's sorted view, contents lines, windows, macros,
// baggage files and build tags; the operations on topics, build tags,
// browse sequences and topic display strings; loading and saving.
//
// The topic list and the three lists derived from it (the sorted view and
// the two picker lists) are private: only the operations below change them,
// so the derived lists always hold exactly the topics of the topic list.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "helpproject/brindlewovenerror.h"
#include "helpproject/brindlewoventopic.h"
#include "helpproject/helpfilekind.h"
#include "helpproject/textstylemacro.h"

namespace helpproject {

// An item of a topic picker list: the display text and its topic.
struct TTopicListItem {
    std::string Text;
    TBrindlewovenTopic* Topic = nullptr;
};
using TTopicList = std::vector<TTopicListItem>;

// The two picker display styles: "%s (%d)" (title, number) and "%d: %s".
std::string TitleStyleText(const std::string& title, std::int32_t number);
std::string NumberStyleText(const std::string& title, std::int32_t number);

// Old topic numbers and the new numbers they become.
using TTopicNumberMap = std::unordered_map<std::int32_t, std::int32_t>;

// The highest topic number.
inline constexpr std::int32_t MaxTopicNumber = 2147483647;

// The topic properties the grid shows and sorts by, by their stored codes
// (the grid's column codes and the sort column are the same numbers).
enum class TTopicColumn : std::uint8_t {
    Number = 0,
    Title = 1,
    KKeywords = 2,
    AKeywords = 3,
    BKeywords = 4,
    BrowseSequence = 5,
    BuildTag = 6,
    Status = 7,
};
inline constexpr std::uint8_t kLastTopicColumn = static_cast<std::uint8_t>(TTopicColumn::Status);
// The column of a stored code; EProjectError for a code no column has.
TTopicColumn TopicColumnFromCode(std::int32_t code);

// The order of the sorted view: by a column's text (lower-cased), ties and
// the number column by topic number; descending reverses the whole order.
struct TTopicSortOrder {
    TTopicColumn Column = TTopicColumn::Number;
    bool Descending = false;
    bool operator==(const TTopicSortOrder&) const = default;
};

// The topics, owned, ascending by number.
using TTopicOwnerList = std::vector<std::unique_ptr<TBrindlewovenTopic>>;
// Topics referenced in some order (the sorted view).
using TTopicRefList = std::vector<TBrindlewovenTopic*>;

class TBrindlewovenProject {
public:
    // All lists, the defaults, and topic 10 "<new topic>".
    TBrindlewovenProject();
    ~TBrindlewovenProject();
    TBrindlewovenProject(const TBrindlewovenProject&) = delete;
    TBrindlewovenProject& operator=(const TBrindlewovenProject&) = delete;

    // ---- the topics and their derived lists (read only) ---------------------
    // Ascending by Number, numbers unique. The topics' own fields may be
    // changed through these references; a change of a sorted or listed field
    // is announced with UpdateSortedView/UpdateTopicLists, a new number goes
    // through ChangeTopicNumber.
    const TTopicOwnerList& Topics() const { return topics_; }
    // The grid order, by SortOrder().
    const TTopicRefList& SortedTopics() const { return sortedView_; }
    // "%s (%d)" items, sorted by text, then number.
    const TTopicList& TopicsByTitle() const { return topicsByTitle_; }
    // "%d: %s" items, in number order.
    const TTopicList& TopicsByNumber() const { return topicsByNumber_; }
    TTopicSortOrder SortOrder() const { return sortOrder_; }

    // ---- fields -----------------------------------------------------------
    std::string FileName;
    // Not stored. The help file last made or shown: the .hlp, or the .chm
    // for HTML Help (one of them empty after a make). "Show help file" opens
    // it; a make names its own output (TBuildRecord).
    std::string HelpFileName;
    std::string ChmFileName;
    std::int32_t HelpFileKind = 0;
    THelpCompiler Compiler = THelpCompiler::None;
    std::string OutputFolder;
    bool NoImages = false;
    std::string Title;
    std::string BuildTags;
    std::string Citation;
    std::string Copyright;
    bool Compress = false;
    std::string LocaleID;
    std::string BitmapPaths;
    TStringList Config{"BrowseButtons()"};
    TStringList Baggage;
    TStringList Windows;
    TStringList ContentsIndexes;
    TStringList ContentsLinks;
    TStringList ContentsLines;
    bool CHeader = false;
    bool HtmlPngImages = true;
    TColor HtmlBackgroundColor = 0xFFFFFF;
    TColor HtmlTextColor = 0x000000;
    TColor HtmlLinkColor = 0xFF0000;
    TColor HtmlVisitedColor = 0x800080;
    TColor HtmlActiveColor = 0x0000FF;
    bool HtmlFullTextSearch = false;
    bool HtmlAdvancedSearch = false;
    bool HtmlFavorites = false;
    bool HtmlCollapseContents = false;
    std::int32_t WindowX = 150;
    std::int32_t WindowY = 50;
    std::int32_t WindowWidth = 600;
    std::int32_t WindowHeight = 500;
    bool WindowRememberPos = true;
    bool HtmlPopupsAsLinks = false;
    // Not stored. "face=replacement" lines for the FONT tags of HTML output;
    // a face without a non-empty replacement is written as it is.
    TStringList HtmlFontSubstitutes;
    // Not stored. Set: HTML output maps point sizes to the larger FONT sizes
    // that the HTML Help viewer needs; the flat HTML manual's command clears
    // it for the sizes of ordinary browsers (UseManualFontSizes).
    bool HtmlScaleFontSizes = true;
    std::uint8_t WebFormat = 1;
    bool WebGifImages = false;
    bool WebFlag = false;
    bool WebUseBuildTags = false;
    std::string WebOutputFile;
    std::string WebContentsLabel = "Contents";
    std::string WebContentsTitle = "%s Contents";
    std::string WebIndexLabel = "Index";
    std::string WebIndexTitle = "%s Index";
    std::string WebPreviousLabel = "Previous";
    std::string WebNextLabel = "Next";

    // ---- topic list operations ---------------------------------------------
    // Positions given by index are 1-based; SortedIndexOf is 0-based.
    std::int32_t TopicCount() const { return static_cast<std::int32_t>(topics_.size()); }
    // Smallest m >= max(n, 1) no topic has. Throws EProjectError when every
    // number from there up to MaxTopicNumber is taken.
    std::int32_t FirstFreeNumber(std::int32_t n) const;
    // number + increase, refused with EProjectError when it passes
    // MaxTopicNumber (the editor's ID increase for new topics).
    static std::int32_t IncreasedTopicNumber(std::int32_t number, std::int32_t increase);
    TBrindlewovenTopic* AddTopic(std::int32_t n, const std::string& title);
    // Adds a topic built elsewhere (import, merge, paste) at its own number;
    // a number already taken throws EProjectError.
    TBrindlewovenTopic* InsertTopic(std::unique_ptr<TBrindlewovenTopic> topic);
    TBrindlewovenTopic* TopicByNumber(std::int32_t number) const;  // ENoSuchTopic
    TBrindlewovenTopic* FindTopic(std::int32_t number) const;      // nullptr if none
    TBrindlewovenTopic* TopicByIndex(std::int32_t position) const; // 1..count
    TBrindlewovenTopic* TopicByID(const std::string& id) const;    // ENoSuchTopic
    TBrindlewovenTopic* NextTopicByID(const std::string& id,
                                      const TBrindlewovenTopic* after) const; // ENoSuchTopic
    TBrindlewovenTopic* PreviousTopic(std::int32_t n) const;
    TBrindlewovenTopic* NextTopic(std::int32_t n) const;
    TBrindlewovenTopic* PreviousBookmark(std::int32_t n) const;
    TBrindlewovenTopic* NextBookmark(std::int32_t n) const;
    void DeleteTopic(std::int32_t number); // ENoSuchTopic
    // Deletes every topic (before a load or an import fills the project).
    void ClearTopics();
    // Changes a topic's number, keeping every list in order (the links to it
    // are RenumberTopicLinks' business). EProjectError when `newNumber` is taken.
    void ChangeTopicNumber(std::int32_t oldNumber, std::int32_t newNumber);
    // Many at once: every topic numbered as a key of the map gets the mapped
    // number, in one pass however many there are. ENoSuchTopic for a key no
    // topic has, EProjectError when two topics would share a number; nothing
    // changes then.
    void ChangeTopicNumbers(const TTopicNumberMap& numbers);
    void RenumberTopicLinks(std::int32_t oldNumber, std::int32_t newNumber);
    // Every link and button code and every contents line that names a number
    // of the map gets that number's new number. Each code is rewritten at
    // most once, so swapped or chained numbers never collide.
    void RenumberTopicLinks(const TTopicNumberMap& numbers);
    // The same for one topic's text (its HTML caches emptied when a code
    // changed); true when one did.
    static bool RenumberLinksInTopic(TBrindlewovenTopic& topic, const TTopicNumberMap& numbers);
    // The same for the contents lines.
    void RenumberContentsLinks(const TTopicNumberMap& numbers);
    // The fields of a topic that the topic lists and the sorted view show;
    // what is set changes.
    struct TTopicFields {
        std::optional<std::int32_t> Number;
        std::optional<std::string> Title;
        std::optional<std::string> KKeywords;
        std::optional<std::string> AKeywords;
        std::optional<std::string> BrowseSequence;
        std::optional<std::string> BuildTag;
        std::optional<std::string> Status;
    };
    // Changes those fields of one of this project's topics and keeps the
    // topic lists and the sorted view right: the one way to change what
    // they show (a new number as ChangeTopicNumber, whose links are
    // RenumberTopicLinks' business). EProjectError when the number is
    // taken, ENoSuchTopic when the topic is not this project's; nothing
    // changes then.
    void SetTopicFields(TBrindlewovenTopic& topic, const TTopicFields& fields);
    void ReplaceContentsTopicID(const std::string& oldID, const std::string& newID);
    void ReplaceContentsTopicTitle(const TBrindlewovenTopic& topic, const std::string& newTitle);
    void GetTargets(TStringList& list) const;

    // ---- sorted view -------------------------------------------------------
    // By SortOrder(): <0, 0, >0.
    int CompareTopics(const TBrindlewovenTopic* a, const TBrindlewovenTopic* b) const;
    // Re-sorts the view by `order`; EProjectError for a column that does not
    // exist. The grid's header-click rule is TEditingSession::SortByColumn.
    void SortBy(TTopicSortOrder order);
    void RebuildSortedView();
    // After a field of the sort column changed: moves the topic to its place.
    // ENoSuchTopic when the topic is not this project's.
    void UpdateSortedView(TBrindlewovenTopic* topic);
    TBrindlewovenTopic* SortedTopic(std::int32_t position) const; // 1..count
    std::int32_t SortedIndexOf(std::int32_t number) const;
    TBrindlewovenTopic* SortedPrevious(std::int32_t number) const;
    TBrindlewovenTopic* SortedNext(std::int32_t number) const;
    TBrindlewovenTopic* SortedPreviousBookmark(std::int32_t number) const;
    TBrindlewovenTopic* SortedNextBookmark(std::int32_t number) const;

    // ---- build tags, browse sequences, display strings ---------------------
    // Sets every topic's Included flag by the build tags; EProjectError when
    // they leave no topic.
    void FilterTopicsByBuildTags();
    void GetBuildTags(TStringList& list, bool split) const;
    void GetBrowseSequences(TStringList& list) const;
    void ReadBrowseSequence(const std::string& name, TStringList& inList,
                            TStringList& outList) const;
    void WriteBrowseSequence(const std::string& name, const TStringList& outList,
                             const TStringList& inList);
    void GetStatuses(TStringList& list) const;
    void FillTopicList(TTopicList& list, bool withNumbers) const;
    // After a title change: the topic's picker items anew. ENoSuchTopic when
    // the topic is not this project's.
    void UpdateTopicLists(TBrindlewovenTopic* topic);
    // numberStyle: true for "%d: %s", false for "%s (%d)".
    static std::int32_t NumberFromListText(const std::string& text, bool numberStyle);
    std::string IDFromListText(const std::string& text, bool numberStyle) const;
    std::int32_t TopicListIndex(std::int32_t number, bool numberStyle) const;
    std::string ListTextFromID(const std::string& id, bool numberStyle) const;
    static std::string TitleFromListText(const std::string& text, bool numberStyle);

    // ---- project file ------------------------------------------------------
    // Reads a project file into this project; its topics and options are
    // replaced by the file's. `styles` receives the stored text styles
    // (nullptr: they are read and dropped); it changes only when the whole
    // file was read. On failure this project is half-filled and must be
    // discarded: prefer Load, which reads into a new object.
    void LoadFromFile(const std::string& fileName, TTextStyleList* styles);
    // A new project read from the file; nothing of the caller's changes on
    // failure.
    static std::unique_ptr<TBrindlewovenProject> Load(const std::string& fileName,
                                                      TTextStyleList* styles);
    // Removes what a killed save of the file left beside it (its own
    // temporary files); LoadFromFile does this first.
    static void RemoveLeftoverSaveFiles(const std::string& fileName);
    // Writes version 16 over the file through a temporary file (through a
    // link: over the link's target, keeping the link); FileName is
    // set only when the save succeeded. `styles` may be nullptr (no styles).
    void SaveToFile(const std::string& fileName, const TTextStyleList* styles);
    // The version-16 file as bytes.
    std::string SaveToBytes(const TTextStyleList* styles) const;
    // Reads project-file bytes; `fileName` names the file in messages and
    // gives the output folder of old versions.
    void LoadFromBytes(const std::string& bytes, const std::string& fileName,
                       TTextStyleList* styles);

    // Fills both picker lists anew from the topics.
    void RebuildTopicLists();

private:
    // The derived lists follow the topic list only through these.
    void AddToSortedView(TBrindlewovenTopic* topic);
    void RemoveFromSortedView(const TBrindlewovenTopic* topic);
    void AddToTopicLists(TBrindlewovenTopic* topic);
    void RemoveFromTopicLists(std::int32_t number);
    // Throws ENoSuchTopic unless `topic` is the one this project holds at its number.
    void CheckOwnTopic(const TBrindlewovenTopic* topic) const;

    std::string SortKey(const TBrindlewovenTopic* topic) const;
    bool SortEntryLess(const std::string& keyA, std::int32_t numA, const std::string& keyB,
                       std::int32_t numB) const;
    std::size_t TopicPlace(std::int32_t number) const; // first place with Number >= number

    TTopicOwnerList topics_;
    TTopicRefList sortedView_;
    std::vector<std::string> sortKeys_; // parallel to sortedView_
    TTopicList topicsByTitle_;
    TTopicList topicsByNumber_;
    TTopicSortOrder sortOrder_;
};

} // namespace helpproject
