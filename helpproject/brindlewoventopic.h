#pragma once
// One topic of a help project: its number, context string, footnote fields
// and its body as lines of RTF.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace helpproject {

using TStringList = std::vector<std::string>;

// A boxed integer kept beside strings in lists (topic numbers in pickers,
// browse positions).
struct TIntegerObject {
    explicit TIntegerObject(std::int32_t value = 0) : Value(value) {}
    std::int32_t Value;
};

class TBrindlewovenTopic {
public:
    // Number, automatic ID "Vellumar<number>", the title, and a text of two
    // lines: the title and an empty line. Status "Writing".
    TBrindlewovenTopic(std::int32_t number, std::string title);
    // A new topic filled by Assign from `source`, with the source's number.
    static std::unique_ptr<TBrindlewovenTopic> CreateCopy(const TBrindlewovenTopic& source);

    // Copies every field but Number (and TopicID when the source's ID is an
    // automatic one); empties both HTML caches.
    void Assign(const TBrindlewovenTopic& source);

    // The page name of the topic without extension ("bw12", "my topic"):
    // the ID lower-cased without the characters file names cannot hold, or
    // "bw" + number when nothing usable is left of it. A name longer than
    // kMaxPageNameBytes (as a UTF-8 file name) keeps its start and ends in
    // "_" and eight hex digits of a hash of the whole name.
    std::string HtmlFileName() const;
    static constexpr std::size_t kMaxPageNameBytes = 160;
    // The ID the HTML outputs file the topic under: TopicID, or the
    // automatic ID when nothing of TopicID can name a page.
    std::string HtmlTopicID() const;
    // HtmlFileName, after resetting TopicID to HtmlTopicID.
    std::string GetHtmlFileName();
    // Removes every \keepn control word and the style sheet group from the
    // text, before topics are merged into one document.
    void StripKeepnAndStyleSheet();
    // Replaces the text and empties both HTML caches.
    void SetText(TStringList lines);
    void ClearHtmlCaches();

    // True when the ID is the automatic "Vellumar<n>" kind (first 8
    // characters compared ignoring case).
    static bool IsAutomaticID(const std::string& id);
    static std::string AutomaticID(std::int32_t number);

    std::int32_t Number;
    std::string TopicID;
    std::string Title;
    std::string KKeywords;
    std::string AKeywords;
    std::string BKeywords;
    std::string BuildTag;
    std::string BrowseSequence;
    TStringList Text;
    // Derived from Text by the HTML conversion, which fills them on first
    // use even for a topic it only reads.
    mutable TStringList HtmlParagraphCache;
    mutable TStringList HtmlLineBreakCache;
    std::string Status;
    std::string Window;
    std::string EntryMacro;
    bool Bookmark = false;
    bool Included = false;
    // Where the editor's selection was when the topic was last stored, so
    // that showing it again puts the caret back. Not copied by Assign.
    std::size_t EditorSelStart = 0;
    std::size_t EditorSelLength = 0;
};

} // namespace helpproject
