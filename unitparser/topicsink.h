#pragma once
// What component-help generation needs of the main window: create a topic
// and make it current, fill its keyword fields, and write formatted text at
// the editor's caret. The main window implements it on its editor; the core
// implements it on a project directly (TProjectTopicSink).
#include <cstdint>
#include <string>
#include <vector>

namespace unitparser {

// 0x00BBGGRR.
using TTopicColor = std::uint32_t;
inline constexpr TTopicColor ColorBlack = 0x000000;
inline constexpr TTopicColor ColorMaroon = 0x000080;
inline constexpr TTopicColor ColorGreen = 0x008000;

class TParsedTopicSink {
public:
    virtual ~TParsedTopicSink() = default;

    // Runs once generation has ended, whichever way: the sink finishes the
    // topic it was writing.
    virtual void EndGeneration() {}

    // Creates the topic (number, title) and makes it current.
    virtual void AddParsedTopic(std::int32_t number, const std::string& title) = 0;
    // The current topic's K keywords, A keywords and browse sequence.
    virtual void SetTopicFields(const std::string& kKeywords, const std::string& aKeywords,
                                const std::string& browseSequence) = 0;
    // Empties the editor; paragraph alignment, indents and numbering back to zero.
    virtual void ClearText() = 0;
    // The current character format becomes the named text style's font.
    virtual void ApplyMacroFont(const std::string& macroName) = 0;
    virtual void SetColor(TTopicColor color) = 0;
    virtual void SetStrikeOut(bool on) = 0;
    virtual void SetUnderline(bool on) = 0;
    // Inserts at the caret in the current format; "\r\n" ends a paragraph.
    virtual void InsertText(const std::string& text) = 0;
    // Tab stops (in points) of the paragraph at the caret.
    virtual void SetTabStops(const std::vector<int>& points) = 0;
    // Inserts Pascal source text in the current format and marks it up
    // (reserved words bold, comments italic).
    virtual void InsertSourceCode(const std::string& text) = 0;
    // Appends a line to the project's contents.
    virtual void AddContentsLine(const std::string& line) = 0;
};

} // namespace unitparser
