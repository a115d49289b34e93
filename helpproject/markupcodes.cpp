#include "helpproject/markupcodes.h"

#include <algorithm>
#include <array>
#include <initializer_list>

#include "components/rtf/rtfmarkupcodes.h"
#include "components/rtf/rtftokenizer.h"
#include "helpproject/brindlewovenerror.h"
#include "helpproject/brindlewovenproject.h"
#include "helpproject/helpfilekind.h"
#include "platform/codepage.h"
#include "platform/textutil.h"

namespace helpproject {

namespace {

constexpr std::string_view kSpaces = " \t";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Topic lines are read byte for byte: typed text holds no binary data, and
// nothing here builds on the nesting of groups.
constexpr rtf::LexerOptions kLineLexing{.binaryData = false, .limitDepth = false};

std::vector<rtf::Token> LineTokens(std::string_view line) {
    return rtf::Tokenize(line, nullptr, kLineLexing);
}

bool IsCodeStart(std::string_view s, std::size_t pos) {
    return pos + 1 < s.size() && s[pos] == '\\' && s[pos + 1] == '{';
}

// Where a control word's name and parameter end, before its delimiter.
std::size_t WordEnd(const rtf::Token& word, std::string_view line) {
    const std::size_t end = word.Offset(line) + word.raw.size();
    return word.raw.back() == ' ' ? end - 1 : end;
}

struct Opening {
    std::string_view text;
    TMarkupKind kind;
};

// Longer openings that share a beginning come first ("linkID=" before "link=").
constexpr std::array<Opening, 17> kOpenings = {{
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
    {"bmc ", TMarkupKind::Bitmap},
    {"bml ", TMarkupKind::Bitmap},
    {"bmr ", TMarkupKind::Bitmap},
    {"bmct ", TMarkupKind::Bitmap},
    {"bmlt ", TMarkupKind::Bitmap},
    {"bmrt ", TMarkupKind::Bitmap},
    {"keepn", TMarkupKind::Keepn},
}};

// The rules of typed codes in topic lines: a keyword of the vocabulary as
// written, no line ends inside a line, and "\{\{" may open a code with its
// second brace.
rtf::MarkupSearch MakeLineSearch(std::initializer_list<TMarkupKind> kinds = {}) {
    rtf::MarkupSearch search;
    for (const Opening& opening : kOpenings)
        if (kinds.size() == 0 || std::find(kinds.begin(), kinds.end(), opening.kind) != kinds.end())
            search.keywords.emplace_back(opening.text);
    search.keywordsAsWritten = true;
    search.stopAtLineEnd = false;
    search.doubledBraceIsText = false;
    search.rawRtfKeywords = {"rtf="};
    search.valuelessKeywords = {"keepn"};
    search.tabIsText = false;
    search.lexing = kLineLexing;
    return search;
}

// Every code of the vocabulary.
const rtf::MarkupSearch& LineSearch() {
    static const rtf::MarkupSearch search = MakeLineSearch();
    return search;
}

// Every code of the vocabulary in text of many lines, a typed double brace
// being text.
const rtf::MarkupSearch& TopicSearch() {
    static const rtf::MarkupSearch search = [] {
        rtf::MarkupSearch topic = MakeLineSearch();
        topic.stopAtLineEnd = true;
        topic.doubledBraceIsText = true;
        return topic;
    }();
    return search;
}

// Only the codes of output that WinHelp has no use for.
const rtf::MarkupSearch& HtmlAndFlashSearch() {
    static const rtf::MarkupSearch search = MakeLineSearch({TMarkupKind::Html, TMarkupKind::Flash});
    return search;
}

TMarkupCode ToMarkupCode(rtf::MarkupCode&& found) {
    TMarkupCode code;
    for (const Opening& opening : kOpenings) {
        if (platform::AnsiSameText(found.keyword, opening.text)) {
            code.Kind = opening.kind;
            break;
        }
    }
    if (code.Kind == TMarkupKind::Bitmap) {
        code.BitmapAlign = platform::AnsiLowerCase(found.keyword)[2];
        code.Transparent = found.keyword.size() == 5;
    }
    code.Start = found.start;
    code.ValueStart = found.valueStart;
    code.CloseStart = found.valueEnd;
    code.End = found.end;
    code.Closed = found.closed;
    code.Keyword = std::move(found.keyword);
    code.Value = std::move(found.value);
    code.GroupBraces = std::move(found.groupBraces);
    code.SplitByGroup = found.splitByGroup;
    return code;
}

std::vector<TMarkupCode> FindCodes(std::string_view line, const rtf::MarkupSearch& search) {
    std::vector<TMarkupCode> codes;
    for (rtf::MarkupCode& found : rtf::FindMarkupCodes(line, search))
        codes.push_back(ToMarkupCode(std::move(found)));
    return codes;
}

// Group braces between two offsets, for replacements of part of a code.
std::string GroupBracesIn(std::string_view s, std::size_t from, std::size_t to) {
    std::string braces;
    if (from >= to)
        return braces;
    for (const rtf::Token& t : LineTokens(s.substr(from, to - from)))
        if (t.kind == rtf::TokenKind::GroupStart || t.kind == rtf::TokenKind::GroupEnd)
            braces += t.raw.front();
    return braces;
}

// Plain text as the topic file needs it.
std::string RtfEscape(std::string_view text) {
    return rtf::EscapeSpecials(text);
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
    const std::vector<rtf::Token> tokens = LineTokens(rtf);
    return !tokens.empty() && tokens.back().kind == rtf::TokenKind::ControlWord &&
           tokens.back().raw.back() != ' ';
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
        std::string target = platform::Trim(code.Value, kSpaces);
        char prefix = 0;
        if (!target.empty() && (target[0] == '%' || target[0] == '*')) {
            prefix = target[0];
            target.erase(0, 1);
        }
        const std::size_t at = target.rfind('@');
        if (platform::EndsWithNoCase(target, ".chm") && at != std::string::npos) {
            const std::string id = target.substr(0, at);
            const std::string file = target.substr(at + 1);
            const std::string page =
                platform::StartsWithNoCase(id, "Vellumar") ? "bw" + id.substr(8) : id;
            std::string hidden = "{\\v ";
            if (prefix)
                hidden += prefix;
            hidden += RtfEscape("! ExecFile(\"mk:@MSITStore:" + MacroString(file) + "::/html/" +
                                page + ".htm\")");
            return hidden + "}" + code.GroupBraces;
        }
    }
    std::string out = "{\\v ";
    for (const rtf::Token& t :
         LineTokens(s.substr(code.ValueStart, code.CloseStart - code.ValueStart))) {
        if (t.IsSymbol('\\'))
            out += "\\\\\\\\";
        else
            out += t.raw;
    }
    // An unclosed code runs to the line end; its hidden group is closed there.
    return out + "}";
}

// Offset just after the first typed "," of a code's value ("," or "\'2c"),
// or of its closing brace when there is none.
std::size_t AfterComma(std::string_view s, const TMarkupCode& code) {
    const std::string_view value = s.substr(code.ValueStart, code.CloseStart - code.ValueStart);
    for (const rtf::Token& t : LineTokens(value)) {
        const std::size_t at = code.ValueStart + t.Offset(value);
        if (t.kind == rtf::TokenKind::HexByte && t.param == ',')
            return at + t.raw.size();
        if (t.kind == rtf::TokenKind::Text && t.raw.find(',') != std::string_view::npos)
            return at + t.raw.find(',') + 1;
    }
    return code.CloseStart;
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
    const std::size_t afterComma = AfterComma(s, code);
    std::string out(s.substr(code.Start, afterComma - code.Start));
    out += RtfEscape("JumpID(\"\", \"" + IDOf(*target) + "\")");
    out += "\\}"; // an unclosed code gets its closing brace here
    return out + GroupBracesIn(s, afterComma, code.CloseStart);
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
        std::string keyword = platform::Trim(code.Value, kSpaces);
        std::string hidden;
        const std::int32_t kind = project.HelpFileKind;
        if (IsDelphi1Or2Help(kind)) {
            const std::size_t underscore = keyword.find('_');
            if (underscore != std::string::npos)
                keyword.erase(underscore, 1);
            hidden = "vcl" + keyword + (kind == DelphiHelpKind(1) ? "@DELPHI.HLP" : "@VCL.HLP");
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
    case TMarkupKind::Rtf:
        return RawRtfOfCode(s, code, topicNumber);
    case TMarkupKind::Bitmap: {
        std::string out = "\\{";
        if (project.NoImages)
            out += "\\-"; // the compiler then takes the code for text and includes no image
        std::string keyword = code.Keyword;
        if (project.Compiler == THelpCompiler::WinHelp16 && code.Transparent)
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
    for (const rtf::Token& t : LineTokens(line))
        if (t.Is("pard"))
            return WordEnd(t, line);
    return std::nullopt;
}

// True when the last paragraph mark of a line comes after all its text, so
// that the next line begins a paragraph of its own.
bool EndsParagraph(std::string_view line) {
    bool ends = false;
    for (const rtf::Token& t : LineTokens(line)) {
        if (t.Is("par"))
            ends = true;
        else if (t.kind != rtf::TokenKind::ControlWord && t.kind != rtf::TokenKind::GroupStart &&
                 t.kind != rtf::TokenKind::GroupEnd &&
                 t.raw.find_first_not_of(' ') != std::string_view::npos)
            ends = false;
    }
    return ends;
}

bool BeginsWithPard(std::string_view line) {
    for (const rtf::Token& t : LineTokens(line)) {
        if (t.kind == rtf::TokenKind::ControlWord)
            return t.name == "pard";
        if (t.kind != rtf::TokenKind::GroupStart &&
            !(t.kind == rtf::TokenKind::Text && t.raw.find_first_not_of(' ') == std::string::npos))
            return false;
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
    for (const rtf::Token& t : LineTokens(line)) {
        if (t.Is("par")) {
            const std::size_t end = t.Offset(line) + t.raw.size();
            const bool delimited = end != WordEnd(t, line);
            const bool controlFollows = end < line.size() && line[end] == '\\';
            line.insert(end, controlFollows ? "\\pard" : "\\pard ");
            if (!delimited)
                line.insert(end, " ");
            return;
        }
    }
    line.insert(0, "\\pard ");
}

} // namespace

std::string_view MarkupOpening(TMarkupKind kind) {
    for (const auto& opening : kOpenings)
        if (opening.kind == kind)
            return opening.text;
    return "keepn";
}

std::optional<TMarkupCode> MarkupCodeAt(std::string_view line, std::size_t pos) {
    if (!IsCodeStart(line, pos))
        return std::nullopt;
    std::vector<TMarkupCode> codes = FindCodes(line.substr(pos), LineSearch());
    if (codes.empty() || codes.front().Start != 0)
        return std::nullopt;
    TMarkupCode code = std::move(codes.front());
    code.Start += pos;
    code.ValueStart += pos;
    code.CloseStart += pos;
    code.End += pos;
    return code;
}

std::vector<TMarkupCode> ScanMarkupCodes(std::string_view line) {
    return FindCodes(line, LineSearch());
}

std::vector<TMarkupCode> ScanTopicMarkupCodes(std::string_view text) {
    return FindCodes(text, TopicSearch());
}

std::string RawRtfOfCode(std::string_view text, const TMarkupCode& code, std::int32_t topicNumber) {
    if (!code.Closed || code.SplitByGroup)
        throw EBrindlewoven(UnbalancedRtfCodeMessage(topicNumber), topicNumber);
    std::string out = code.Value;
    // A control word at the end of the value would run into the text after it.
    if (code.End < text.size() && text[code.End] != ' ' && EndsWithOpenControlWord(out))
        out += ' ';
    return out;
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
    std::string text = platform::Trim(value, kSpaces);
    if (!text.empty() && (text[0] == '%' || text[0] == '*')) {
        link.Prefix = text[0];
        text = platform::Trim(std::string_view(text).substr(1), kSpaces);
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
    button.Action = platform::Trim(value.substr(comma + 1), kSpaces);
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
    std::size_t done = 0;
    for (const TMarkupCode& code : FindCodes(line, HtmlAndFlashSearch())) {
        out.append(line, done, code.Start - done);
        out += code.GroupBraces;
        done = code.End;
    }
    out.append(line, done);
    return out;
}

namespace {

const rtf::MarkupSearch& HtmlSearch() {
    static const rtf::MarkupSearch search = MakeLineSearch({TMarkupKind::Html});
    return search;
}

// Raw HTML may run over several lines of a topic: its codes are removed
// from the whole text, each up to its closing brace wherever that lies; one
// without a closing brace ends at its line's end.
void RemoveHtmlCodesOfTopic(TStringList& lines) {
    if (std::none_of(lines.begin(), lines.end(), [](const std::string& line) {
            return platform::FindNoCase(line, "html=", 0) != std::string::npos;
        }))
        return;
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i)
            text += "\r\n";
        text += lines[i];
    }
    std::string out;
    out.reserve(text.size());
    std::size_t done = 0;
    std::size_t from = 0; // where the search goes on
    while (from < text.size()) {
        const std::string_view rest = std::string_view(text).substr(from);
        std::size_t next = text.size();
        for (const TMarkupCode& code : FindCodes(rest, HtmlSearch())) {
            if (!code.Closed) {
                // Left for the line's own translation; the search goes on
                // with the next line.
                const std::size_t lineEnd = text.find("\r\n", from + code.Start);
                next = lineEnd == std::string::npos ? text.size() : lineEnd + 2;
                break;
            }
            out.append(text, done, from + code.Start - done);
            out += code.GroupBraces;
            done = from + code.End;
        }
        from = next;
    }
    out.append(text, done);
    lines.clear();
    for (std::size_t start = 0;;) {
        const std::size_t end = out.find("\r\n", start);
        lines.push_back(out.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 2;
    }
}

} // namespace

std::string TranslateMarkupLineForWinHelp(std::string_view line,
                                          const TBrindlewovenProject& project,
                                          std::int32_t topicNumber, bool* hadKeepn) {
    // Raw HTML goes first, so that nothing typed inside it is taken for a code.
    const std::string s = RemoveHtmlAndFlashCodes(line);
    std::string out;
    out.reserve(s.size() + 16);
    bool keepn = false;
    std::size_t done = 0;
    for (const TMarkupCode& code : ScanMarkupCodes(s)) {
        out.append(s, done, code.Start - done);
        out += TranslateCode(s, code, project, topicNumber, keepn);
        done = code.End;
    }
    out.append(s, done);
    if (hadKeepn)
        *hadKeepn = keepn;
    return out;
}

void TranslateMarkupForWinHelp(TStringList& lines, const TBrindlewovenProject& project,
                               std::int32_t topicNumber) {
    TStringList source = lines; // the caller's lines stay as they were when a code is refused
    RemoveHtmlCodesOfTopic(source);
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
