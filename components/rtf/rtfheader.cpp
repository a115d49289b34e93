#include "components/rtf/rtfheader.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "components/rtf/rtftable.h"
#include "components/rtf/rtftokenstream.h"
#include "platform/codepage.h"
#include "platform/textutil.h"

namespace rtf {

namespace {

constexpr std::array<std::string_view, 8> kFamilyWords = {"fnil",    "froman", "fswiss", "fmodern",
                                                          "fscript", "fdecor", "ftech",  "fbidi"};

bool FamilyFromWord(std::string_view word, FontFamily& family) {
    for (std::size_t i = 0; i < kFamilyWords.size(); ++i) {
        if (kFamilyWords[i] == word) {
            family = static_cast<FontFamily>(i);
            return true;
        }
    }
    return false;
}

// The blanks around a font name and between header entries.
constexpr std::string_view kSpaceOrTab = " \t";

bool IsBlankText(std::string_view s) {
    return s.find_first_not_of(kSpaceOrTab) == std::string_view::npos;
}

// A name in the font table: ";" would end the entry and a control word
// would be dropped, so those bytes and all non-ASCII ones are written as
// hex escapes.
std::string EscapeFontName(std::string_view name) {
    static const char* const kHex = "0123456789abcdef";
    std::string out;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += c;
        } else if (u < 0x20 || u >= 0x80 || c == ';') {
            out += "\\'";
            out += kHex[u >> 4];
            out += kHex[u & 15];
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

std::string_view FontFamilyWord(FontFamily family) {
    auto index = static_cast<std::size_t>(family);
    return index < kFamilyWords.size() ? kFamilyWords[index] : kFamilyWords[0];
}

std::string FontEntry::ToRtf(int asNumber) const {
    std::string out =
        "{\\f" + std::to_string(asNumber) + "\\" + std::string(FontFamilyWord(family));
    if (pitch >= 0)
        out += "\\fprq" + std::to_string(pitch);
    if (charset >= 0)
        out += "\\fcharset" + std::to_string(charset);
    if (!panose.empty())
        out += "{\\*\\panose " + panose + "}";
    out += ' ';
    out += EscapeFontName(name);
    if (!altName.empty())
        out += "{\\*\\falt " + EscapeFontName(altName) + "}";
    out += ";}";
    return out;
}

std::string FontEntry::MergeKey() const {
    return std::string(FontFamilyWord(family)) + '|' + std::to_string(charset < 0 ? 0 : charset) +
           '|' + platform::AnsiLowerCase(name);
}

std::string ColorEntry::ToRtf() const {
    if (isAuto)
        return ";";
    return "\\red" + std::to_string(red) + "\\green" + std::to_string(green) + "\\blue" +
           std::to_string(blue) + ";";
}

const FontEntry* RtfHeader::FindFont(int number) const {
    for (const FontEntry& font : fonts)
        if (font.number == number)
            return &font;
    return nullptr;
}

// ---------------------------------------------------------------- tables

std::vector<FontEntry> ParseFontTable(std::span<const Token> group) {
    enum Dest : std::uint8_t { Normal, Starred, Panose, Falt, Skip };
    std::vector<FontEntry> fonts;
    std::vector<Dest> dest(1, Normal);
    FontEntry cur;
    bool have = false;
    bool nameDone = false;
    std::size_t entryDepth = 0;
    const char* rawBegin = nullptr;
    const char* lastGroupStart = nullptr;
    std::size_t lastGroupDepth = 0;

    auto finish = [&](const char* rawEnd) {
        if (have) {
            cur.name = std::string(platform::TrimView(cur.name, kSpaceOrTab));
            while (!cur.altName.empty() && (cur.altName.back() == ';' || cur.altName.back() == ' '))
                cur.altName.pop_back();
            if (rawBegin && rawEnd >= rawBegin)
                cur.raw.assign(rawBegin, rawEnd);
            fonts.push_back(std::move(cur));
        }
        cur = FontEntry{};
        have = false;
        nameDone = false;
    };

    for (const Token& t : group) {
        std::size_t depth = dest.size() - 1;
        switch (t.kind) {
        case TokenKind::GroupStart: {
            Dest inherited = dest.back() == Normal || dest.back() == Starred ? Normal : Skip;
            dest.push_back(inherited);
            lastGroupStart = t.raw.data();
            lastGroupDepth = dest.size() - 1;
            break;
        }
        case TokenKind::GroupEnd:
            if (have && depth == entryDepth && entryDepth >= 2)
                finish(t.raw.data() + 1);
            if (dest.size() > 1)
                dest.pop_back();
            break;
        case TokenKind::ControlSymbol:
            if (t.symbol == '*' && dest.back() == Normal) {
                dest.back() = Starred;
            } else if (have && (t.symbol == '\\' || t.symbol == '{' || t.symbol == '}')) {
                // An escaped character is part of the name, as the writer
                // escapes it.
                if (dest.back() == Falt)
                    cur.altName += t.symbol;
                else if (dest.back() == Normal && !nameDone)
                    cur.name += t.symbol;
            }
            break;
        case TokenKind::ControlWord:
            if (dest.back() == Starred) {
                dest.back() = t.name == "panose" ? Panose : t.name == "falt" ? Falt : Skip;
                break;
            }
            if (dest.back() != Normal)
                break;
            if (t.name == "f" && t.hasParam) {
                if (have)
                    finish(entryDepth >= 2 ? nullptr : t.raw.data());
                have = true;
                cur.number = t.param;
                entryDepth = depth;
                rawBegin = depth >= 2 && lastGroupDepth == depth ? lastGroupStart : t.raw.data();
            } else if (!have) {
                break;
            } else if (t.name == "fcharset" && t.hasParam) {
                cur.charset = t.param;
            } else if (t.name == "fprq" && t.hasParam) {
                cur.pitch = t.param;
            } else if (t.name == "panose" || t.name == "falt") {
                dest.back() = t.name == "panose" ? Panose : Falt;
            } else {
                FamilyFromWord(t.name, cur.family);
            }
            break;
        case TokenKind::Text:
        case TokenKind::HexByte: {
            if (!have)
                break;
            std::string bytes = t.kind == TokenKind::HexByte
                                    ? std::string(1, static_cast<char>(t.param))
                                    : std::string(t.raw);
            if (dest.back() == Panose) {
                for (char c : bytes)
                    if (std::isxdigit(static_cast<unsigned char>(c)))
                        cur.panose += c;
            } else if (dest.back() == Falt) {
                cur.altName += bytes;
            } else if (dest.back() == Normal && !nameDone && t.kind == TokenKind::HexByte) {
                cur.name += bytes; // an escaped byte never ends the name
            } else if (dest.back() == Normal && !nameDone) {
                for (std::size_t i = 0; i < bytes.size(); ++i) {
                    if (bytes[i] == ';') {
                        nameDone = true;
                        if (entryDepth < 2)
                            finish(t.kind == TokenKind::Text ? t.raw.data() + i + 1
                                                             : t.raw.data() + t.raw.size());
                        break;
                    }
                    cur.name += bytes[i];
                }
            }
            break;
        }
        default:
            break;
        }
    }
    if (have)
        finish(group.empty() ? nullptr : group.back().raw.data() + group.back().raw.size());
    return fonts;
}

std::vector<ColorEntry> ParseColorTable(std::span<const Token> group) {
    std::vector<ColorEntry> colors;
    ColorEntry cur;
    cur.isAuto = true;
    bool first = true;
    for (const Token& t : group) {
        if (first && t.kind == TokenKind::GroupStart) {
            first = false;
            continue;
        }
        first = false;
        if (t.kind == TokenKind::ControlWord && t.hasParam) {
            auto value = static_cast<std::uint8_t>(std::clamp(t.param, 0, 255));
            if (t.name == "red") {
                cur.red = value;
                cur.isAuto = false;
            } else if (t.name == "green") {
                cur.green = value;
                cur.isAuto = false;
            } else if (t.name == "blue") {
                cur.blue = value;
                cur.isAuto = false;
            }
        } else if (t.kind == TokenKind::Text) {
            for (char c : t.raw) {
                if (c == ';') {
                    colors.push_back(cur);
                    cur = ColorEntry{};
                    cur.isAuto = true;
                }
            }
        }
    }
    return colors;
}

// ---------------------------------------------------------------- header

namespace {

bool IsHeaderWord(std::string_view name) {
    static constexpr std::string_view kWords[] = {
        "rtf",       "ansi",      "mac",       "pc",       "pca",      "ansicpg",  "deff",
        "adeff",     "deflang",   "deflangfe", "adeflang", "uc",       "fbidis",   "stshfdbch",
        "stshfloch", "stshfhich", "stshfbi",   "deftab",   "fromtext", "fromhtml", "htmautsp"};
    return std::find(std::begin(kWords), std::end(kWords), name) != std::end(kWords);
}

bool IsHeaderDestination(std::string_view name) {
    static constexpr std::string_view kWords[] = {
        "fonttbl", "colortbl", "stylesheet", "info",      "listtable", "listoverridetable",
        "revtbl",  "rsidtbl",  "filetbl",    "generator", "xmlnstbl",  "latentstyles"};
    return std::find(std::begin(kWords), std::end(kWords), name) != std::end(kWords);
}

} // namespace

RtfHeader ReadHeader(std::string_view rtf) {
    RtfHeader header;
    Lexer lexer(rtf);
    Token t;
    // Leading blanks and line breaks are allowed before "{\rtf".
    bool started = false;
    while (lexer.Next(t)) {
        if (t.kind == TokenKind::LineBreak || (t.kind == TokenKind::Text && IsBlankText(t.raw)))
            continue;
        if (t.kind != TokenKind::GroupStart)
            return header;
        started = true;
        break;
    }
    if (!started || !lexer.Next(t) || !(t.kind == TokenKind::ControlWord && t.name == "rtf"))
        return header;
    header.isRtf = true;
    header.bodyOffset = lexer.Position();

    std::vector<Token> group;
    while (lexer.Next(t)) {
        if (t.kind == TokenKind::GroupEnd)
            break; // the document ended inside its header
        if (t.kind == TokenKind::LineBreak)
            continue;
        if (t.kind == TokenKind::ControlWord) {
            if (t.name == "deff" && t.hasParam)
                header.defaultFont = t.param;
            else if (t.name == "ansicpg" && t.hasParam)
                header.codePage = t.param;
            else if (t.name == "deflang" && t.hasParam)
                header.language = t.param;
            if (!IsHeaderWord(t.name))
                break;
            continue;
        }
        if (t.kind == TokenKind::Text && IsBlankText(t.raw))
            continue;
        if (t.kind != TokenKind::GroupStart)
            break;
        // A group in the document group: read it whole.
        group.clear();
        group.push_back(t);
        const int depth = lexer.Depth();
        bool closed = false;
        while (lexer.Next(t)) {
            group.push_back(t);
            if (t.kind == TokenKind::GroupEnd && lexer.Depth() < depth) {
                closed = true;
                break;
            }
        }
        bool starred = false;
        std::string_view name = GroupDestination(group, starred);
        if (!closed || !(starred || IsHeaderDestination(name)))
            break;
        const std::size_t begin = group.front().Offset(rtf);
        const std::size_t end = group.back().Offset(rtf) + 1;
        if (name == "fonttbl") {
            header.fonts = ParseFontTable(group);
            header.hasFontTable = true;
            header.fontTableRaw = std::string(rtf.substr(begin, end - begin));
        } else if (name == "colortbl") {
            header.colors = ParseColorTable(group);
            header.hasColorTable = true;
            header.colorTableRaw = std::string(rtf.substr(begin, end - begin));
        } else if (name == "stylesheet") {
            header.stylesheet = std::string(rtf.substr(begin, end - begin));
        }
        header.bodyOffset = end;
    }
    return header;
}

// ---------------------------------------------------------------- merge

int TableRemap::MapFont(int number) const {
    auto it = fonts.find(number);
    return it == fonts.end() ? defaultFont : it->second;
}

int TableRemap::MapColor(int index) const {
    if (index >= 0 && static_cast<std::size_t>(index) < colors.size())
        return colors[static_cast<std::size_t>(index)];
    return autoColor;
}

namespace {

std::uint32_t ColorKey(const ColorEntry& c) {
    return c.isAuto ? 0x1000000u : c.ToTColor();
}

} // namespace

TableRemap TableMerger::Add(const RtfHeader& header) {
    for (const FontEntry& font : header.fonts) {
        std::string key = font.MergeKey();
        if (fontIndex_.find(key) == fontIndex_.end()) {
            fontIndex_.emplace(key, static_cast<int>(fonts_.size()));
            FontEntry merged = font;
            merged.number = static_cast<int>(fonts_.size());
            fonts_.push_back(std::move(merged));
        }
    }
    for (const ColorEntry& color : header.colors) {
        if (std::none_of(colors_.begin(), colors_.end(),
                         [&](const ColorEntry& c) { return ColorKey(c) == ColorKey(color); }))
            colors_.push_back(color);
    }
    return RemapFor(header);
}

TableRemap TableMerger::RemapFor(const RtfHeader& header) const {
    TableRemap remap;
    for (const FontEntry& font : header.fonts) {
        auto it = fontIndex_.find(font.MergeKey());
        if (it != fontIndex_.end())
            remap.fonts.emplace(font.number, it->second);
    }
    int deff = header.defaultFont.value_or(header.fonts.empty() ? 0 : header.fonts.front().number);
    auto def = remap.fonts.find(deff);
    remap.defaultFont = def != remap.fonts.end() ? def->second : 0;
    for (const ColorEntry& color : header.colors) {
        int index = 0;
        for (std::size_t i = 0; i < colors_.size(); ++i) {
            if (ColorKey(colors_[i]) == ColorKey(color)) {
                index = static_cast<int>(i);
                break;
            }
        }
        remap.colors.push_back(index);
    }
    remap.autoColor = 0;
    for (std::size_t i = 0; i < colors_.size(); ++i) {
        if (colors_[i].isAuto) {
            remap.autoColor = static_cast<int>(i);
            break;
        }
    }
    return remap;
}

std::string TableMerger::FontTableRtf() const {
    std::string out = "{\\fonttbl";
    for (std::size_t i = 0; i < fonts_.size(); ++i)
        out += fonts_[i].ToRtf(static_cast<int>(i));
    out += '}';
    return out;
}

std::string TableMerger::ColorTableRtf() const {
    std::string out = "{\\colortbl ";
    for (const ColorEntry& c : colors_)
        out += c.ToRtf();
    out += '}';
    return out;
}

// ---------------------------------------------------------------- remap

namespace {

bool IsFontWord(std::string_view n) {
    return n == "f" || n == "pnf" || n == "af" || n == "deff";
}

bool IsColorWord(std::string_view n) {
    return n == "cf" || n == "cb" || n == "highlight" || n == "chcbpat" || n == "cbpat" ||
           n == "cfpat" || n == "brdrcf" || n == "ulc" || IsRowColorWord(n);
}

} // namespace

std::string RemapTables(std::string_view rtf, const TableRemap& remap) {
    std::string error;
    std::vector<Token> tokens = Tokenize(rtf, &error);
    TokenWriter out;
    out.Result().reserve(rtf.size() + rtf.size() / 16);
    int tableDepth = 0; // depth of the table group being copied, 0 outside
    int depth = 0;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.kind == TokenKind::GroupStart) {
            ++depth;
            if (tableDepth == 0 && i + 1 < tokens.size() &&
                (tokens[i + 1].Is("fonttbl") || tokens[i + 1].Is("colortbl")))
                tableDepth = depth;
        } else if (t.kind == TokenKind::GroupEnd) {
            if (depth == tableDepth)
                tableDepth = 0;
            if (depth > 0)
                --depth;
        } else if (t.kind == TokenKind::ControlWord && t.hasParam && tableDepth == 0) {
            if (IsFontWord(t.name)) {
                out.ControlWordLike(t, remap.MapFont(t.param));
                continue;
            }
            if (IsColorWord(t.name)) {
                out.ControlWordLike(t, remap.MapColor(t.param));
                continue;
            }
        }
        out.Raw(t);
    }
    if (!error.empty()) {
        // Nesting too deep: what was not tokenized is copied unchanged.
        std::size_t done =
            tokens.empty() ? 0 : tokens.back().Offset(rtf) + tokens.back().raw.size();
        out.Raw(rtf.substr(done));
    }
    return out.Take();
}

} // namespace rtf
