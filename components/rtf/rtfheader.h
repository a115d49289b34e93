#pragma once
// The header of an RTF document: font table, colour table, default font and
// the raw stylesheet; and the merge of many topics' tables into one, with the
// remapping of font and colour numbers on tokens (never on raw text, so that
// literal text such as "\\f2" and picture data stay untouched).
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "components/rtf/rtftokenizer.h"

namespace rtf {

enum class FontFamily : std::uint8_t { Nil, Roman, Swiss, Modern, Script, Decor, Tech, Bidi };

// "fnil", "froman", ... (without the backslash).
std::string_view FontFamilyWord(FontFamily family);

struct FontEntry {
    int number = 0; // the "\fN" number; any value, not an index
    FontFamily family = FontFamily::Nil;
    int charset = -1;    // "\fcharsetN", -1 when absent
    int pitch = -1;      // "\fprqN" (0 default, 1 fixed, 2 variable), -1 when absent
    std::string panose;  // hex digits of "{\*\panose ...}", empty when absent
    std::string altName; // "{\*\falt ...}", empty when absent
    std::string name;    // the face name, without the closing ";"
    std::string raw;     // the entry as written, from "{" to its "}"

    // The entry as this engine writes it: "{\fN\fswiss\fcharset0 Arial;}"
    // (with \fprq, panose and falt when present).
    std::string ToRtf(int asNumber) const;
    // The comparison key of the table merge: family, character set and face
    // name. Pitch, panose and alternative name do not make two fonts differ.
    std::string MergeKey() const;
};

struct ColorEntry {
    bool isAuto = false; // the empty entry ";" (the reader's default colour)
    std::uint8_t red = 0, green = 0, blue = 0;

    // As a TColor value 0x00BBGGRR. The auto entry has none; callers choose.
    std::uint32_t ToTColor() const {
        return static_cast<std::uint32_t>(red) | (static_cast<std::uint32_t>(green) << 8) |
               (static_cast<std::uint32_t>(blue) << 16);
    }
    // ";" or "\redR\greenG\blueB;"
    std::string ToRtf() const;
    bool operator==(const ColorEntry&) const = default;
};

struct RtfHeader {
    bool isRtf = false;             // the text starts with "{\rtf"
    std::vector<FontEntry> fonts;   // in table order
    std::vector<ColorEntry> colors; // index = colour number
    std::optional<int> defaultFont; // "\deffN"
    std::optional<int> codePage;    // "\ansicpgN"
    std::optional<int> language;    // "\deflangN", a locale identifier
    bool hasFontTable = false;
    bool hasColorTable = false;
    std::string stylesheet;    // the raw "{\stylesheet ...}" group, empty when none
    std::string fontTableRaw;  // the raw "{\fonttbl ...}" group
    std::string colorTableRaw; // the raw "{\colortbl ...}" group
    // Offset of the first byte after the header groups (font table, colour
    // table, stylesheet and any other destination group that precedes the
    // first text or paragraph control word): where the body starts.
    std::size_t bodyOffset = 0;

    // The font with this number, or nullptr.
    const FontEntry* FindFont(int number) const;
};

// The entries of a "{\fonttbl ...}" group, given its tokens from "{" to "}".
// Entries may stand in groups of their own or follow each other flat.
std::vector<FontEntry> ParseFontTable(std::span<const Token> group);
// The entries of a "{\colortbl ...}" group, given its tokens.
std::vector<ColorEntry> ParseColorTable(std::span<const Token> group);

// Reads the header of a document. Never throws: what cannot be read is left
// out. Text that is not RTF gives an empty header with isRtf false.
RtfHeader ReadHeader(std::string_view rtf);

// New numbers for one topic's font and colour numbers.
struct TableRemap {
    std::map<int, int> fonts; // topic font number -> merged number
    std::vector<int> colors;  // topic colour index -> merged index
    int defaultFont = 0;      // merged number of the topic's default font
    int autoColor = 0;        // merged index used for colour numbers out of the table

    int MapFont(int number) const; // unknown numbers map to defaultFont
    int MapColor(int index) const; // unknown indexes map to autoColor
};

// Builds one font table and one colour table for many topics. Fonts are the
// same entry when their MergeKey() matches, colours when their values match;
// both tables keep the order of first appearance. There is no limit on the
// number of entries or on the font numbers a topic uses.
class TableMerger {
public:
    // Adds a topic's tables (new entries are appended) and returns its remap.
    TableRemap Add(const RtfHeader& header);
    // The remap of a topic whose entries were all added before (no new entry).
    TableRemap RemapFor(const RtfHeader& header) const;

    const std::vector<FontEntry>& Fonts() const { return fonts_; } // merged number = index
    const std::vector<ColorEntry>& Colors() const { return colors_; }
    // "{\fonttbl{\f0...}{\f1...}}" and "{\colortbl ;\red..;}".
    std::string FontTableRtf() const;
    std::string ColorTableRtf() const;

private:
    std::vector<FontEntry> fonts_;
    std::vector<ColorEntry> colors_;
    std::map<std::string, int> fontIndex_;
};

// Rewrites the font numbers of "\f \pnf \af \deff" and the colour numbers of
// "\cf \cb \highlight \chcbpat \cbpat \cfpat \brdrcf \ulc" and of the table cells' and
// rows' shading ("\clcbpat \clcfpat \trcbpat \trcfpat") through the remap.
// Every other byte is copied unchanged. Tokens inside the font and colour
// table groups are copied unchanged too (those tables are replaced as a
// whole by whoever writes the merged ones).
std::string RemapTables(std::string_view rtf, const TableRemap& remap);

} // namespace rtf
