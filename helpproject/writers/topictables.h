#pragma once
// One font table and one colour table for many topics, as the outputs that
// merge topics into one RTF document (the WinHelp topic file and the RTF
// manual) need them; and the body of a topic, cut from its own header.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "components/rtf/rtfheader.h"
#include "helpproject/brindlewoventopic.h"

namespace helpproject {

// Normalises one font-table entry, given as the text after its "\f" number:
// an inner group ("{\*\panose ...}", "{\*\falt ...}") is dropped and its
// closing brace becomes a blank; of the control words before the first
// blank only the first (the family) is kept, followed by the entry's
// "\fcharset" word when it has one. So entries that differ only in pitch or
// alternative names read the same.
std::string FixFontCharset(std::string_view entry);

// "\", "{" and "}" escaped; bytes of 128 or more as "\'XX" (upper-case hex).
std::string RtfEscape(std::string_view text);

// A topic's text taken apart: its header and the RTF after it.
struct TTopicRtf {
    std::int32_t Number = 0;
    rtf::RtfHeader Header;
    // The text after the header groups up to (not including) the brace that
    // closes the document, leading line breaks dropped, with the braces of
    // groups the text left open added, so that it is balanced.
    std::string Body;
};

// Reads a topic's text. Throws EBrindlewoven "Topic N has no font table"
// when the text has none.
TTopicRtf ReadTopicRtf(const TBrindlewovenTopic& topic);
// The same for lines of RTF that belong to topic `number`.
TTopicRtf ReadTopicRtf(const TStringList& lines, std::int32_t number);

// The merged tables of the topics added so far.
class TTopicTables {
public:
    // Adds the entries of a topic's tables that are not there yet.
    void Add(const TTopicRtf& topic) { merger_.Add(topic.Header); }
    // The topic's numbers in the merged tables. Throws EBrindlewoven "Too many
    // (+255) fonts in topic #N" (colors likewise) when the topic's own tables
    // hold more than 256 entries.
    rtf::TableRemap RemapFor(const TTopicRtf& topic) const;
    std::size_t FontCount() const { return merger_.Fonts().size(); }
    std::size_t ColorCount() const { return merger_.Colors().size(); }
    // "{\f0\fswiss\fcharset0 Arial;}" for each merged font, in order.
    std::vector<std::string> FontLines() const;
    // All merged colour entries on one line (";\red0\green0\blue0;...").
    std::string ColorLine() const;

private:
    rtf::TableMerger merger_;
};

std::string TooManyFontsMessage(std::int32_t topicNumber);
std::string TooManyColorsMessage(std::int32_t topicNumber);

} // namespace helpproject
