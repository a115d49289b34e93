#include "helpproject/markupcodes.h"

#include <array>

#include "helpproject/brindlewovenerror.h"
#include "helpproject/brindlewovenproject.h"
#include "helpproject/helpfilekind.h"

namespace helpproject {

namespace {

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
int HexValue(char c) {
    if (IsDigit(c))
        return c - '0';
    return (c | 0x20) - 'a' + 10;
}
char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (AsciiLower(text[i]) != AsciiLower(prefix[i]))
            return false;
    return true;
}
bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           StartsWithNoCase(text.substr(text.size() - suffix.size()), suffix);
}

std::string Trim(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t'))
        ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    return std::string(text.substr(begin, end - begin));
}

// The smallest units of stored RTF that matter here. Reading the line piece
// by piece is what keeps "\\{" (a typed backslash before a group) from being
// taken for the "\{" of a code.
enum class PieceKind {
    Char,          // an ordinary byte
    Escaped,       // "\\", "\{", "\}": the character typed (`ch`)
    HexByte,       // "\'hh": the byte (`ch`)
    ControlWord,   // "\name" with optional parameter and delimiting space
    ControlSymbol, // any other "\x"
    GroupOpen,     // "{"
    GroupClose,    // "}"
};

struct Piece {
    PieceKind kind = PieceKind::Char;
    std::size_t start = 0;
    std::size_t end = 0;
    char ch = 0;
    std::string_view word;   // ControlWord: its name
    std::size_t wordEnd = 0; // ControlWord: just after name and parameter, before the delimiter
};

Piece PieceAt(std::string_view s, std::size_t pos) {
    Piece p;
    p.start = pos;
    const char c = s[pos];
    if (c == '{' || c == '}') {
        p.kind = c == '{' ? PieceKind::GroupOpen : PieceKind::GroupClose;
        p.ch = c;
        p.end = pos + 1;
        return p;
    }
    if (c != '\\' || pos + 1 >= s.size()) {
        p.kind = PieceKind::Char;
        p.ch = c;
        p.end = pos + 1;
        return p;
    }
    const char next = s[pos + 1];
    if (IsLetter(next)) {
        std::size_t j = pos + 1;
        while (j < s.size() && IsLetter(s[j]))
            ++j;
        p.word = s.substr(pos + 1, j - pos - 1);
        if (j < s.size() &&
            (IsDigit(s[j]) || (s[j] == '-' && j + 1 < s.size() && IsDigit(s[j + 1])))) {
            ++j;
            while (j < s.size() && IsDigit(s[j]))
                ++j;
        }
        p.wordEnd = j;
        if (j < s.size() && s[j] == ' ')
            ++j;
        p.kind = PieceKind::ControlWord;
        p.end = j;
        return p;
    }
    if (next == '\\' || next == '{' || next == '}') {
        p.kind = PieceKind::Escaped;
        p.ch = next;
        p.end = pos + 2;
        return p;
    }
    if (next == '\'' && pos + 3 < s.size() && IsHexDigit(s[pos + 2]) && IsHexDigit(s[pos + 3])) {
        p.kind = PieceKind::HexByte;
        p.ch = static_cast<char>(HexValue(s[pos + 2]) * 16 + HexValue(s[pos + 3]));
        p.end = pos + 4;
        return p;
    }
    p.kind = PieceKind::ControlSymbol;
    p.ch = next;
    p.end = pos + 2;
    return p;
}

bool IsCodeStart(std::string_view s, std::size_t pos) {
    return pos + 1 < s.size() && s[pos] == '\\' && s[pos + 1] == '{';
}

struct Opening {
    std::string_view text;
    TMarkupKind kind;
};

// Longer openings that share a beginning come first ("linkID=" before "link=").
constexpr std::array<Opening, 10> kOpenings = {{
    {"linkID=", TMarkupKind::LinkID},
    {"linkTarget=", TMarkupKind::LinkTarget},
    {"linkFile=", TMarkupKind::LinkFile},
    {"linkDelphi=", TMarkupKind::LinkDelphi},
    {"link=", TMarkupKind::Link},
    {"button ", TMarkupKind::Button},
    {"target=", TMarkupKind::Target},
    {"flash=", TMarkupKind::Flash},
    {"rtf=", TMarkupKind::Rtf},
    {"html=", TMarkupKind::Html},
}};

// "bmc ", "bml ", "bmr ", "bmct ", "bmlt ", "bmrt " in any case: the length
// of the opening, or 0.
std::size_t MatchBitmapOpening(std::string_view rest, char& align, bool& transparent) {
    if (rest.size() < 4 || AsciiLower(rest[0]) != 'b' || AsciiLower(rest[1]) != 'm')
        return 0;
    const char a = AsciiLower(rest[2]);
    if (a != 'c' && a != 'l' && a != 'r')
        return 0;
    align = a;
    if (rest[3] == ' ') {
        transparent = false;
        return 4;
    }
    if (rest.size() >= 5 && AsciiLower(rest[3]) == 't' && rest[4] == ' ') {
        transparent = true;
        return 5;
    }
    return 0;
}

void AppendValueChar(const Piece& p, TMarkupCode& code) {
    switch (p.kind) {
    case PieceKind::Char:
    case PieceKind::HexByte:
        code.Value += p.ch;
        break;
    case PieceKind::Escaped:
        code.Value += p.ch;
        break;
    case PieceKind::GroupOpen:
    case PieceKind::GroupClose:
        code.GroupBraces += p.ch;
        break;
    case PieceKind::ControlSymbol:
        if (p.ch == '~')
            code.Value += '\xA0';
        else if (p.ch == '_')
            code.Value += '-';
        break;
    case PieceKind::ControlWord:
        break;
    }
}

// Reads a value up to the closing "\}" (or the line end).
void ReadPlainValue(std::string_view s, TMarkupCode& code) {
    std::size_t i = code.ValueStart;
    while (i < s.size()) {
        const Piece p = PieceAt(s, i);
        if (p.kind == PieceKind::Escaped && p.ch == '}') {
            code.CloseStart = p.start;
            code.End = p.end;
            code.Closed = true;
            return;
        }
        AppendValueChar(p, code);
        i = p.end;
    }
    code.CloseStart = code.End = s.size();
    code.Closed = false;
}

// An "{rtf=" value is raw RTF typed as text: its escapes are undone and its
// braces counted on the result, so that braces the user escaped in the raw
// RTF ("\{" typed) do not count and the code ends at the brace that balances
// its own opening one.
void ReadRtfValue(std::string_view s, TMarkupCode& code) {
    int depth = 1;
    bool escapePending = false; // the value so far ends in an unpaired backslash
    std::size_t i = code.ValueStart;
    while (i < s.size()) {
        const Piece p = PieceAt(s, i);
        i = p.end;
        char out = 0;
        switch (p.kind) {
        case PieceKind::ControlWord:
        case PieceKind::ControlSymbol:
            continue; // the editor's formatting, not typed text
        case PieceKind::HexByte:
            code.Value.append(s.substr(p.start, p.end - p.start));
            escapePending = false;
            continue;
        case PieceKind::Char:
        case PieceKind::Escaped:
        case PieceKind::GroupOpen:
        case PieceKind::GroupClose:
            out = p.ch;
            break;
        }
        if (escapePending) {
            code.Value += out;
            escapePending = false;
            continue;
        }
        if (out == '\\') {
            escapePending = true;
        } else if (out == '{') {
            ++depth;
        } else if (out == '}') {
            if (--depth == 0) {
                code.CloseStart = p.start;
                code.End = p.end;
                code.Closed = true;
                return;
            }
        }
        code.Value += out;
    }
    code.CloseStart = code.End = s.size();
    code.Closed = false;
}

// "{keepn}" takes no value: only formatting may stand before its brace.
bool ReadKeepn(std::string_view s, TMarkupCode& code) {
    std::size_t i = code.ValueStart;
    while (i < s.size()) {
        const Piece p = PieceAt(s, i);
        if (p.kind == PieceKind::Escaped && p.ch == '}') {
            code.CloseStart = p.start;
            code.End = p.end;
            code.Closed = true;
            return true;
        }
        if (p.kind == PieceKind::GroupOpen || p.kind == PieceKind::GroupClose)
            code.GroupBraces += p.ch;
        else if (p.kind != PieceKind::ControlWord && !(p.kind == PieceKind::Char && p.ch == ' '))
            return false;
        i = p.end;
    }
    return false;
}

// Group braces between two offsets, for replacements of part of a code.
std::string GroupBracesIn(std::string_view s, std::size_t from, std::size_t to) {
    std::string braces;
    for (std::size_t i = from; i < to;) {
        const Piece p = PieceAt(s, i);
        if (p.kind == PieceKind::GroupOpen || p.kind == PieceKind::GroupClose)
            braces += p.ch;
        i = p.end;
    }
    return braces;
}

// Plain text as the topic file needs it.
std::string RtfEscape(std::string_view text) {
    static const char* const kHex = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += c;
        } else if (byte >= 128) {
            out += "\\'";
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        } else {
            out += c;
        }
    }
    return out;
}

// WinHelp reads "\" in a macro string as an escape, so a path's backslashes
// are doubled before the text is escaped for RTF.
std::string MacroString(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += '\\';
        out += c;
    }
    return out;
}

bool EndsWithOpenControlWord(std::string_view rtf) {
    bool open = false;
    for (std::size_t i = 0; i < rtf.size();) {
        const Piece p = PieceAt(rtf, i);
        open = p.kind == PieceKind::ControlWord && p.end == p.wordEnd;
        i = p.end;
    }
    return open;
}

const TBrindlewovenTopic* FindTopicByNumberText(const TBrindlewovenProject& project,
                                                std::string_view text) {
    std::int32_t number = 0;
    if (!ParseTopicNumber(text, number))
        return nullptr;
    return project.FindTopic(number);
}

std::string IDOf(const TBrindlewovenTopic& topic) {
    return topic.TopicID.empty() ? TBrindlewovenTopic::AutomaticID(topic.Number) : topic.TopicID;
}

std::string TranslateLink(std::string_view s, const TMarkupCode& code) {
    if (code.Kind == TMarkupKind::Link) {
        std::string target = Trim(code.Value);
        char prefix = 0;
        if (!target.empty() && (target[0] == '%' || target[0] == '*')) {
            prefix = target[0];
            target.erase(0, 1);
        }
        const std::size_t at = target.rfind('@');
        if (EndsWithNoCase(target, ".chm") && at != std::string::npos) {
            const std::string id = target.substr(0, at);
            const std::string file = target.substr(at + 1);
            const std::string page = StartsWithNoCase(id, "Vellumar") ? "bw" + id.substr(8) : id;
            std::string hidden = "{\\v ";
            if (prefix)
                hidden += prefix;
            hidden += RtfEscape("! ExecFile(\"mk:@MSITStore:" + MacroString(file) + "::/html/" +
                                page + ".htm\")");
            return hidden + "}" + code.GroupBraces;
        }
    }
    std::string out = "{\\v ";
    for (std::size_t i = code.ValueStart; i < code.CloseStart;) {
        const Piece p = PieceAt(s, i);
        if (p.kind == PieceKind::Escaped && p.ch == '\\')
            out += "\\\\\\\\";
        else
            out.append(s.substr(p.start, p.end - p.start));
        i = p.end;
    }
    // An unclosed code runs to the line end; its hidden group is closed there.
    return out + "}";
}

std::string TranslateButton(std::string_view s, const TMarkupCode& code,
                            const TBrindlewovenProject& project, std::int32_t topicNumber) {
    const TButtonValue button = ParseButtonValue(code.Value);
    const std::string_view unchanged = s.substr(code.Start, code.End - code.Start);
    if (!button.HasComma || button.Action.empty())
        return std::string(unchanged);
    for (char c : button.Action)
        if (!IsDigit(c))
            return std::string(unchanged); // a macro: the compiler reads it as it is
    const TBrindlewovenTopic* target = FindTopicByNumberText(project, button.Action);
    if (target == nullptr)
        throw EBrindlewoven(ButtonToMissingTopicMessage(topicNumber, button.Action), topicNumber);
    std::size_t comma = code.ValueStart;
    while (comma < code.CloseStart) {
        const Piece p = PieceAt(s, comma);
        if (p.kind == PieceKind::Char && p.ch == ',')
            break;
        comma = p.end;
    }
    std::string out(s.substr(code.Start, comma + 1 - code.Start));
    out += RtfEscape("JumpID(\"\", \"" + IDOf(*target) + "\")");
    out += "\\}"; // an unclosed code gets its closing brace here
    return out + GroupBracesIn(s, comma + 1, code.CloseStart);
}

std::string TranslateCode(std::string_view s, const TMarkupCode& code,
                          const TBrindlewovenProject& project, std::int32_t topicNumber,
                          bool& hadKeepn) {
    switch (code.Kind) {
    case TMarkupKind::Html:
    case TMarkupKind::Flash:
        return code.GroupBraces;
    case TMarkupKind::LinkID: {
        const TLinkIDValue link = ParseLinkIDValue(code.Value);
        const TBrindlewovenTopic* target = FindTopicByNumberText(project, link.Number);
        if (target == nullptr)
            throw EBrindlewoven(LinkToMissingTopicMessage(topicNumber, link.Number), topicNumber);
        std::string out = "{\\v ";
        if (link.Prefix)
            out += link.Prefix;
        return out + RtfEscape(IDOf(*target) + link.Window) + "}" + code.GroupBraces;
    }
    case TMarkupKind::Link:
    case TMarkupKind::LinkTarget:
        return TranslateLink(s, code);
    case TMarkupKind::LinkFile: {
        const TLinkFileValue link = ParseLinkFileValue(code.Value);
        std::string out = "{\\v ";
        if (link.Prefix)
            out += link.Prefix;
        return out + RtfEscape("! ExecFile(\"" + MacroString(link.File) + "\")") + "}" +
               code.GroupBraces;
    }
    case TMarkupKind::LinkDelphi: {
        std::string keyword = Trim(code.Value);
        std::string hidden;
        if (IsDelphi1Or2Help(project.HelpFileKind)) {
            const std::size_t underscore = keyword.find('_');
            if (underscore != std::string::npos)
                keyword.erase(underscore, 1);
            hidden =
                "vcl" + keyword + (project.HelpFileKind == hfkDelphi1 ? "@DELPHI.HLP" : "@VCL.HLP");
        } else {
            hidden = "! ALink(\"" + MacroString(keyword) + "\")";
        }
        return "{\\v " + RtfEscape(hidden) + "}" + code.GroupBraces;
    }
    case TMarkupKind::Button:
        return TranslateButton(s, code, project, topicNumber);
    case TMarkupKind::Target: {
        const std::string name = TargetName(code.Value);
        if (name.empty())
            return code.GroupBraces; // nothing to anchor
        return "#{\\footnote # " + RtfEscape(name) + "}" + code.GroupBraces;
    }
    case TMarkupKind::Rtf: {
        if (!code.Closed)
            throw EBrindlewoven(UnbalancedRtfCodeMessage(topicNumber), topicNumber);
        std::string out = code.Value;
        // A control word at the end of the value would run into the text after it.
        if (code.End < s.size() && s[code.End] != ' ' && EndsWithOpenControlWord(out))
            out += ' ';
        return out;
    }
    case TMarkupKind::Bitmap: {
        std::string out = "\\{";
        if (project.NoImages)
            out += "\\-"; // the compiler then takes the code for text and includes no image
        std::string keyword = code.Keyword;
        if (project.Compiler == 0 && code.Transparent)
            keyword.erase(3, 1); // the 16-bit compiler knows only the plain forms
        out += keyword;
        out.append(s.substr(code.ValueStart, code.End - code.ValueStart));
        return out;
    }
    case TMarkupKind::Keepn:
        hadKeepn = true;
        return code.GroupBraces;
    }
    return std::string(s.substr(code.Start, code.End - code.Start));
}

// Offset where "\keepn" goes in a line: right after its first "\pard".
std::optional<std::size_t> AfterFirstPard(std::string_view line) {
    for (std::size_t i = 0; i < line.size();) {
        const Piece p = PieceAt(line, i);
        if (p.kind == PieceKind::ControlWord && p.word == "pard")
            return p.wordEnd;
        i = p.end;
    }
    return std::nullopt;
}

// True when the last paragraph mark of a line comes after all its text, so
// that the next line begins a paragraph of its own.
bool EndsParagraph(std::string_view line) {
    bool ends = false;
    for (std::size_t i = 0; i < line.size();) {
        const Piece p = PieceAt(line, i);
        if (p.kind == PieceKind::ControlWord && p.word == "par")
            ends = true;
        else if (p.kind == PieceKind::Escaped || p.kind == PieceKind::HexByte ||
                 p.kind == PieceKind::ControlSymbol || (p.kind == PieceKind::Char && p.ch != ' '))
            ends = false;
        i = p.end;
    }
    return ends;
}

bool BeginsWithPard(std::string_view line) {
    for (std::size_t i = 0; i < line.size();) {
        const Piece p = PieceAt(line, i);
        if (p.kind == PieceKind::ControlWord)
            return p.word == "pard";
        if (p.kind != PieceKind::GroupOpen && !(p.kind == PieceKind::Char && p.ch == ' '))
            return false;
        i = p.end;
    }
    return false;
}

// Makes the paragraph after the non-scrolling region start with "\pard", so
// that it does not inherit the region's keep-with-next. `previous` is the
// (translated) line that closed the region.
void StartNewParagraph(std::string& line, std::string_view previous) {
    if (EndsParagraph(previous)) {
        if (!BeginsWithPard(line))
            line.insert(0, "\\pard ");
        return;
    }
    if (AfterFirstPard(line))
        return;
    for (std::size_t i = 0; i < line.size();) {
        const Piece p = PieceAt(line, i);
        if (p.kind == PieceKind::ControlWord && p.word == "par") {
            const bool controlFollows = p.end < line.size() && line[p.end] == '\\';
            line.insert(p.end, controlFollows ? "\\pard" : "\\pard ");
            if (p.end == p.wordEnd)
                line.insert(p.end, " ");
            return;
        }
        i = p.end;
    }
    line.insert(0, "\\pard ");
}

} // namespace

std::string_view MarkupOpening(TMarkupKind kind) {
    for (const auto& opening : kOpenings)
        if (opening.kind == kind)
            return opening.text;
    if (kind == TMarkupKind::Bitmap)
        return "bmc ";
    return "keepn";
}

std::optional<TMarkupCode> MarkupCodeAt(std::string_view line, std::size_t pos) {
    if (!IsCodeStart(line, pos))
        return std::nullopt;
    const std::string_view rest = line.substr(pos + 2);
    TMarkupCode code;
    code.Start = pos;
    bool found = false;
    for (const auto& opening : kOpenings) {
        if (StartsWithNoCase(rest, opening.text)) {
            code.Kind = opening.kind;
            code.Keyword = std::string(rest.substr(0, opening.text.size()));
            found = true;
            break;
        }
    }
    if (!found) {
        char align = 0;
        bool transparent = false;
        if (const std::size_t length = MatchBitmapOpening(rest, align, transparent)) {
            code.Kind = TMarkupKind::Bitmap;
            code.Keyword = std::string(rest.substr(0, length));
            code.BitmapAlign = align;
            code.Transparent = transparent;
            found = true;
        } else if (StartsWithNoCase(rest, "keepn")) {
            code.Kind = TMarkupKind::Keepn;
            code.Keyword = std::string(rest.substr(0, 5));
            code.ValueStart = pos + 7;
            if (!ReadKeepn(line, code))
                return std::nullopt;
            return code;
        }
    }
    if (!found)
        return std::nullopt;
    code.ValueStart = pos + 2 + code.Keyword.size();
    if (code.Kind == TMarkupKind::Rtf)
        ReadRtfValue(line, code);
    else
        ReadPlainValue(line, code);
    return code;
}

std::vector<TMarkupCode> ScanMarkupCodes(std::string_view line) {
    std::vector<TMarkupCode> codes;
    for (std::size_t i = 0; i < line.size();) {
        if (IsCodeStart(line, i)) {
            if (auto code = MarkupCodeAt(line, i)) {
                i = code->End;
                codes.push_back(std::move(*code));
                continue;
            }
        }
        i = PieceAt(line, i).end;
    }
    return codes;
}

TLinkIDValue ParseLinkIDValue(std::string_view value) {
    TLinkIDValue link;
    std::size_t i = 0;
    for (; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '>')
            break;
        if (IsDigit(c))
            link.Number += c;
        else if ((c == '%' || c == '*') && link.Number.empty())
            link.Prefix = c;
    }
    for (; i < value.size(); ++i)
        if (value[i] != ' ' && value[i] != '\\')
            link.Window += value[i];
    return link;
}

TLinkFileValue ParseLinkFileValue(std::string_view value) {
    TLinkFileValue link;
    std::string text = Trim(value);
    if (!text.empty() && (text[0] == '%' || text[0] == '*')) {
        link.Prefix = text[0];
        text = Trim(std::string_view(text).substr(1));
    }
    link.File = std::move(text);
    return link;
}

TButtonValue ParseButtonValue(std::string_view value) {
    TButtonValue button;
    const std::size_t comma = value.find(',');
    if (comma == std::string_view::npos) {
        button.Caption = std::string(value);
        return button;
    }
    button.HasComma = true;
    button.Caption = std::string(value.substr(0, comma));
    button.Action = Trim(value.substr(comma + 1));
    return button;
}

std::string TargetName(std::string_view value) {
    std::string name;
    for (char c : value)
        if (c != ' ')
            name += c;
    return name;
}

bool ParseTopicNumber(std::string_view text, std::int32_t& number) {
    if (text.empty())
        return false;
    std::int64_t n = 0;
    for (char c : text) {
        if (!IsDigit(c))
            return false;
        n = n * 10 + (c - '0');
        if (n > MaxTopicNumber)
            return false;
    }
    number = static_cast<std::int32_t>(n);
    return true;
}

std::string LinkToMissingTopicMessage(std::int32_t topicNumber, std::string_view linkNumber) {
    return "Link in topic #" + std::to_string(topicNumber) + " points to a topic #" +
           std::string(linkNumber) + " that does not exist";
}

std::string ButtonToMissingTopicMessage(std::int32_t topicNumber, std::string_view action) {
    return "Button in topic #" + std::to_string(topicNumber) + " points to a topic #" +
           std::string(action) + " that does not exist";
}

std::string UnbalancedRtfCodeMessage(std::int32_t topicNumber) {
    return "An {rtf= code in topic #" + std::to_string(topicNumber) + " has unbalanced braces";
}

std::string RemoveHtmlAndFlashCodes(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    for (std::size_t i = 0; i < line.size();) {
        if (IsCodeStart(line, i)) {
            if (auto code = MarkupCodeAt(line, i);
                code && (code->Kind == TMarkupKind::Html || code->Kind == TMarkupKind::Flash)) {
                out += code->GroupBraces;
                i = code->End;
                continue;
            }
        }
        const Piece p = PieceAt(line, i);
        out.append(line.substr(p.start, p.end - p.start));
        i = p.end;
    }
    return out;
}

std::string TranslateMarkupLineForWinHelp(std::string_view line,
                                          const TBrindlewovenProject& project,
                                          std::int32_t topicNumber, bool* hadKeepn) {
    // Raw HTML goes first, so that nothing typed inside it is taken for a code.
    const std::string s = RemoveHtmlAndFlashCodes(line);
    std::string out;
    out.reserve(s.size() + 16);
    bool keepn = false;
    for (std::size_t i = 0; i < s.size();) {
        if (IsCodeStart(s, i)) {
            if (auto code = MarkupCodeAt(s, i)) {
                out += TranslateCode(s, *code, project, topicNumber, keepn);
                i = code->End;
                continue;
            }
        }
        const Piece p = PieceAt(s, i);
        out.append(s, p.start, p.end - p.start);
        i = p.end;
    }
    if (hadKeepn)
        *hadKeepn = keepn;
    return out;
}

void TranslateMarkupForWinHelp(TStringList& lines, const TBrindlewovenProject& project,
                               std::int32_t topicNumber) {
    TStringList source = lines; // the caller's lines stay as they were when a code is refused
    TStringList result;
    result.reserve(source.size());
    std::vector<bool> inRegion(source.size(), false);
    for (std::size_t i = 0; i < source.size(); ++i) {
        bool hadKeepn = false;
        result.push_back(TranslateMarkupLineForWinHelp(source[i], project, topicNumber, &hadKeepn));
        if (!hadKeepn)
            continue;
        // The paragraphs up to here form the non-scrolling region.
        for (std::size_t j = 0; j <= i; ++j) {
            if (inRegion[j])
                continue;
            inRegion[j] = true;
            if (const auto at = AfterFirstPard(result[j]))
                result[j].insert(*at, "\\keepn");
        }
        if (i + 1 < source.size())
            StartNewParagraph(source[i + 1], result[i]);
    }
    lines = std::move(result);
}

} // namespace helpproject
