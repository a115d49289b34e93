#include "helpproject/writers/winhelpimport.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "components/rtf/rtfedit.h"
#include "components/rtf/rtferror.h"
#include "components/rtf/rtfheader.h"
#include "components/rtf/rtftokenizer.h"
#include "components/rtf/stringlisttransfer.h"
#include "helpproject/helputils.h"
#include "helpproject/writers/topictables.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/fileio.h"
#include "platform/resolvepath.h"

namespace helpproject {

namespace fs = std::filesystem;

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           AsciiLower(text.substr(0, prefix.size())) == AsciiLower(prefix);
}

// ---- tokens -------------------------------------------------------------------

// The plain text a token stands for.
void AppendTokenText(std::string& out, const rtf::Token& t) {
    switch (t.kind) {
    case rtf::TokenKind::Text:
        out += t.raw;
        break;
    case rtf::TokenKind::HexByte:
        out += static_cast<char>(t.param);
        break;
    case rtf::TokenKind::ControlSymbol:
        if (t.symbol == '\\' || t.symbol == '{' || t.symbol == '}')
            out += t.symbol;
        else if (t.symbol == '~')
            out += '\xA0';
        else if (t.symbol == '_')
            out += '-';
        break;
    case rtf::TokenKind::ControlWord:
        if (t.name == "tab")
            out += '\t';
        break;
    default:
        break;
    }
}

// For each GroupStart, the index of its GroupEnd (tokens.size() when unclosed).
std::vector<std::size_t> MatchGroups(const std::vector<rtf::Token>& tokens) {
    std::vector<std::size_t> match(tokens.size(), tokens.size());
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind == rtf::TokenKind::GroupStart) {
            open.push_back(i);
        } else if (tokens[i].kind == rtf::TokenKind::GroupEnd && !open.empty()) {
            match[open.back()] = i;
            open.pop_back();
        }
    }
    return match;
}

std::string_view DestinationAt(const std::vector<rtf::Token>& tokens, std::size_t i,
                               bool& starred) {
    starred = false;
    for (std::size_t k = i + 1; k < tokens.size(); ++k) {
        const rtf::Token& t = tokens[k];
        if (t.kind == rtf::TokenKind::LineBreak)
            continue;
        if (t.IsSymbol('*') && !starred) {
            starred = true;
            continue;
        }
        if (t.kind == rtf::TokenKind::ControlWord)
            return t.name;
        break;
    }
    return {};
}

// Tokens of a text the caller has already checked for depth.
std::vector<rtf::Token> TokensOf(std::string_view text) {
    std::string error;
    std::vector<rtf::Token> tokens = rtf::Tokenize(text, &error);
    if (!error.empty())
        throw rtf::ERtfError(error);
    return tokens;
}

bool TrimmableLeading(char c) {
    return IsBlank(c) || c == '{' || c == '}' || c == '\\' || static_cast<unsigned char>(c) < 0x20;
}

bool TrimmableTrailing(char c) {
    return IsBlank(c) || c == '{' || c == '}' || static_cast<unsigned char>(c) < 0x20;
}

// ---- the .hpj ---------------------------------------------------------------------

struct THpjSections {
    bool hasFiles = false;
    TStringList files;
    TStringList config, baggage, windows;
    bool hasConfig = false, hasBaggage = false, hasWindows = false;
    // lower-cased ID -> number text, first entry wins
    std::unordered_map<std::string, std::string> map;
};

THpjSections ReadHpjSections(const TStringList& lines) {
    enum class Section { Other, Config, Baggage, Windows, Files, Map };
    THpjSections result;
    Section current = Section::Other;
    for (const std::string& raw : lines) {
        const std::string line = StripHpjComment(raw);
        if (line.empty())
            continue;
        if (line.front() == '[') {
            const std::string lower = AsciiLower(line);
            current = Section::Other;
            if (lower.starts_with("[config]")) {
                current = Section::Config;
                if (!result.hasConfig)
                    result.config.clear();
                result.hasConfig = true;
            } else if (lower.starts_with("[baggage]")) {
                current = Section::Baggage;
                result.hasBaggage = true;
            } else if (lower.starts_with("[windows]")) {
                current = Section::Windows;
                result.hasWindows = true;
            } else if (lower.starts_with("[files]")) {
                current = Section::Files;
                result.hasFiles = true;
            } else if (lower.starts_with("[map]")) {
                current = Section::Map;
            }
            continue;
        }
        switch (current) {
        case Section::Config:
            result.config.push_back(line);
            break;
        case Section::Baggage:
            result.baggage.push_back(line);
            break;
        case Section::Windows:
            result.windows.push_back(line);
            break;
        case Section::Files:
            if (line.front() != '#') // "#include" of another file list
                result.files.push_back(line);
            break;
        case Section::Map: {
            std::string id, number;
            if (ParseMapLine(line, id, number))
                result.map.emplace(platform::AnsiLowerCase(id), number);
            break;
        }
        case Section::Other:
            break;
        }
    }
    return result;
}

// A [MAP] number: decimal or "0x" hexadecimal, a valid topic number.
bool ParseMapNumber(const std::string& text, std::int32_t& number) {
    std::string t = TrimText(text);
    if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        std::int64_t value = 0;
        for (std::size_t i = 2; i < t.size(); ++i) {
            if (!std::isxdigit(static_cast<unsigned char>(t[i])))
                return false;
            value = value * 16 + std::stoi(std::string(1, t[i]), nullptr, 16);
            if (value > MaxTopicNumber)
                return false;
        }
        number = static_cast<std::int32_t>(value);
        return number >= 1;
    }
    if (!TryParseInt32(t, number))
        return false;
    return number >= 1;
}

// ---- files ------------------------------------------------------------------------

bool Exists(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

std::optional<fs::path> TryResolve(std::string_view name, const fs::path& base) {
    try {
        return platform::resolvePath(name, base);
    } catch (const platform::PlatformError&) {
        return std::nullopt; // a drive letter nobody mapped
    }
}

std::string NameOf(std::string_view path) {
    const std::size_t at = path.find_last_of("/\\");
    return std::string(at == std::string_view::npos ? path : path.substr(at + 1));
}

// Where an RTF file of [FILES] is: below one of the ROOT folders, else from
// the .hpj folder, else (a project moved from elsewhere) its name in the
// .hpj folder.
fs::path LocateTopicFile(const std::string& name, const std::string& roots,
                         const fs::path& hpjFolder) {
    std::vector<fs::path> candidates;
    std::size_t start = 0;
    while (start < roots.size()) {
        std::size_t comma = roots.find_first_of(",;", start);
        if (comma == std::string::npos)
            comma = roots.size();
        const std::string root = TrimText(roots.substr(start, comma - start));
        start = comma + 1;
        if (root.empty())
            continue;
        if (auto folder = TryResolve(root, hpjFolder))
            if (auto path = TryResolve(name, *folder))
                candidates.push_back(*path);
    }
    if (auto path = TryResolve(name, hpjFolder))
        candidates.push_back(*path);
    if (auto path = TryResolve(NameOf(name), hpjFolder))
        candidates.push_back(*path);
    for (const fs::path& path : candidates)
        if (Exists(path))
            return path;
    if (candidates.empty())
        throw platform::PlatformError("Cannot find the topic file \"" + name + "\"");
    return candidates.front(); // reading it reports what is wrong
}

// ---- topics -----------------------------------------------------------------------

bool IsFieldMark(char mark) {
    switch (mark) {
    case '#':
    case '$':
    case 'K':
    case 'A':
    case 'B':
    case '+':
    case '*':
    case '>':
    case '!':
    case '@': // an author's comment
        return true;
    default:
        return false;
    }
}

struct TPieceFields {
    bool hasID = false;
    std::string id, title, kKeywords, aKeywords, bKeywords, browse, buildTag, window, macro;
    TStringList targets; // names of further "#" footnotes
};

void AppendKeywords(std::string& list, const std::string& more) {
    if (more.empty())
        return;
    if (!list.empty() && list.back() != ';')
        list += ';';
    list += more;
}

void SetOnce(std::string& field, const std::string& value) {
    if (field.empty())
        field = value;
}

struct TEdit {
    std::size_t start = 0, end = 0;
    std::string replacement;
    bool emitted = false;
};

bool InEdit(const std::vector<TEdit>& edits, std::size_t offset) {
    for (const TEdit& edit : edits)
        if (offset >= edit.start && offset < edit.end)
            return true;
    return false;
}

bool IsWrapperWord(const rtf::Token& t) {
    return t.kind == rtf::TokenKind::ControlWord &&
           (t.name == "pard" || t.name == "plain" || t.name == "f" || t.name == "fs");
}

// Tokens that only wrap the page: a group around all of it (as this program's
// writer puts each topic in "{\pard\plain\f0\fs20 ...}") loses its braces,
// and the reset words that open it go too when the text restates them with
// "\pard\plain" at once, so that writing and importing again is stable.
std::vector<bool> WrapperTokens(std::string_view piece, const std::vector<rtf::Token>& tokens,
                                const std::vector<TEdit>& edits) {
    std::vector<bool> skip(tokens.size(), false);
    auto significant = [&](std::size_t i) {
        const rtf::Token& t = tokens[i];
        if (t.kind == rtf::TokenKind::LineBreak || t.Is("keepn") || InEdit(edits, t.Offset(piece)))
            return false;
        if (t.kind == rtf::TokenKind::Text)
            return std::any_of(t.raw.begin(), t.raw.end(), [](char c) { return !IsBlank(c); });
        return true;
    };
    std::size_t first = 0;
    while (first < tokens.size() && !significant(first))
        ++first;
    std::size_t last = tokens.size();
    while (last > first && !significant(last - 1))
        --last;
    if (first >= tokens.size() || last == 0 || tokens[first].kind != rtf::TokenKind::GroupStart ||
        tokens[last - 1].kind != rtf::TokenKind::GroupEnd)
        return skip;
    const std::vector<std::size_t> match = MatchGroups(tokens);
    if (match[first] != last - 1)
        return skip;
    skip[first] = skip[last - 1] = true;
    std::vector<std::size_t> run;
    std::size_t i = first + 1;
    for (; i < last; ++i) {
        if (!significant(i))
            continue;
        if (!IsWrapperWord(tokens[i]) || (!run.empty() && tokens[i].Is("pard")))
            break;
        run.push_back(i);
    }
    std::size_t j = i + 1;
    while (j < last && !significant(j))
        ++j;
    if (!run.empty() && i < last && tokens[i].Is("pard") && j < last && tokens[j].Is("plain"))
        for (std::size_t k : run)
            skip[k] = true;
    return skip;
}

// The topic body of one page: the field footnotes taken out, further "#"
// footnotes turned into target codes, "\keepn" replaced by the "{keepn}" code
// at the end of the non-scrolling region, braces balanced and the last
// paragraph closed.
std::string BuildBody(std::string_view piece, std::vector<TEdit>& edits) {
    const std::vector<rtf::Token> tokens = TokensOf(piece);
    rtf::TokenWriter out;
    std::size_t next = 0;
    int depth = 0;
    std::vector<bool> keepnStack;
    bool keepn = false;
    bool textSincePar = false;
    std::size_t keepnAt = std::string::npos;

    auto noteText = [&](std::string_view text) {
        for (char c : text)
            if (!IsBlank(c))
                textSincePar = true;
    };
    const std::vector<bool> skip = WrapperTokens(piece, tokens, edits);
    for (std::size_t index = 0; index < tokens.size(); ++index) {
        const rtf::Token& t = tokens[index];
        if (skip[index])
            continue;
        const std::size_t at = t.Offset(piece);
        while (next < edits.size() && edits[next].end <= at)
            ++next;
        if (next < edits.size() && at + t.raw.size() > edits[next].start) {
            TEdit& edit = edits[next];
            if (at < edit.start) { // a text token that ends in the mark
                const std::string_view before = t.raw.substr(0, edit.start - at);
                out.Raw(before);
                noteText(before);
            }
            if (!edit.emitted) {
                edit.emitted = true;
                if (!edit.replacement.empty()) {
                    out.Raw(std::string_view(edit.replacement));
                    textSincePar = true;
                }
            }
            continue;
        }
        switch (t.kind) {
        case rtf::TokenKind::GroupStart:
            ++depth;
            keepnStack.push_back(keepn);
            break;
        case rtf::TokenKind::GroupEnd:
            if (depth == 0)
                continue; // closes a group opened before the page break
            --depth;
            keepn = keepnStack.back();
            keepnStack.pop_back();
            break;
        case rtf::TokenKind::ControlWord:
            if (t.name == "keepn") {
                keepn = !(t.hasParam && t.param == 0);
                continue; // the code carries the region from now on
            }
            if (t.name == "pard") {
                keepn = false;
            } else if (t.name == "par") {
                if (keepn)
                    keepnAt = out.Result().size();
                textSincePar = false;
            } else if (t.name == "tab") {
                textSincePar = true;
            }
            break;
        case rtf::TokenKind::Text:
            noteText(t.raw);
            break;
        case rtf::TokenKind::HexByte:
        case rtf::TokenKind::ControlSymbol:
        case rtf::TokenKind::BinaryData:
            textSincePar = true;
            break;
        default:
            break;
        }
        out.Raw(t);
    }
    std::string body = out.Take();
    if (keepn && textSincePar)
        keepnAt = body.size();
    if (keepnAt != std::string::npos)
        body.insert(keepnAt,
                    keepnAt > 0 && IsBlank(body[keepnAt - 1]) ? "\\{keepn\\}" : " \\{keepn\\}");
    for (; depth > 0; --depth)
        body += '}';
    // Line breaks at the ends mean nothing.
    std::size_t a = 0;
    while (a < body.size() && (body[a] == '\r' || body[a] == '\n'))
        ++a;
    std::size_t b = body.size();
    while (b > a && (body[b - 1] == '\r' || body[b - 1] == '\n'))
        --b;
    body = body.substr(a, b - a);
    body += textSincePar ? "\r\n\\par }" : "\r\n}";
    return body;
}

// The page's fields and its body.
TPieceFields ReadPiece(std::string_view piece, std::string& body) {
    TPieceFields fields;
    std::vector<TEdit> edits;
    for (const TImportedFootnote& note : ExtractFootnotes(piece)) {
        if (!IsFieldMark(note.Mark))
            continue;
        TEdit edit;
        edit.start = note.Start;
        edit.end = note.End;
        switch (note.Mark) {
        case '#':
            if (!fields.hasID) {
                fields.hasID = true;
                fields.id = note.Text;
            } else {
                std::string name;
                for (char c : note.Text)
                    if (!IsBlank(c))
                        name += c;
                if (!name.empty()) {
                    edit.replacement = "\\{Target=" + RtfEscape(name) + "\\}";
                    fields.targets.push_back(name);
                }
            }
            break;
        case '$':
            SetOnce(fields.title, note.Text);
            break;
        case 'K':
            AppendKeywords(fields.kKeywords, note.Text);
            break;
        case 'A':
            AppendKeywords(fields.aKeywords, note.Text);
            break;
        case 'B':
            AppendKeywords(fields.bKeywords, note.Text);
            break;
        case '+':
            SetOnce(fields.browse, note.Text);
            break;
        case '*':
            SetOnce(fields.buildTag, note.Text);
            break;
        case '>':
            SetOnce(fields.window, note.Text);
            break;
        case '!':
            SetOnce(fields.macro, note.Text);
            break;
        default:
            break;
        }
        // A footnote alone on its line takes the line with it.
        if (edit.replacement.empty()) {
            std::size_t lineStart = edit.start;
            while (lineStart > 0 && IsBlank(piece[lineStart - 1]))
                --lineStart;
            if (lineStart == 0 || piece[lineStart - 1] == '\n' || piece[lineStart - 1] == '\r') {
                edit.start = lineStart;
                if (edit.end < piece.size() && piece[edit.end] == '\r')
                    ++edit.end;
                if (edit.end < piece.size() && piece[edit.end] == '\n')
                    ++edit.end;
            }
        }
        if (!edits.empty() && edit.start < edits.back().end)
            continue; // cannot happen with well-formed groups; never overlap
        edits.push_back(std::move(edit));
    }
    body = BuildBody(piece, edits);
    return fields;
}

// The header every imported topic's RTF starts with.
std::string TopicHeader(const rtf::RtfHeader& header) {
    std::string out = "{\\rtf1\\ansi\\deff" + std::to_string(header.defaultFont.value_or(0));
    out += header.hasFontTable ? header.fontTableRaw : "{\\fonttbl{\\f0\\fswiss Arial;}}";
    out += header.colorTableRaw;
    out += header.stylesheet;
    // Tables written over several lines become one line each.
    std::string flat;
    flat.reserve(out.size());
    for (char c : out)
        if (c != '\r' && c != '\n')
            flat += c;
    return flat;
}

// ---- hotspots ---------------------------------------------------------------------

struct TLinkLookup {
    std::unordered_map<std::string, std::int32_t> ids; // lower-cased ID -> number
    std::unordered_set<std::string> targets;           // lower-cased target names
};

std::string UndoubleBackslashes(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\')
            ++i;
    }
    return out;
}

// The markup code for the hidden text of a hotspot.
std::string HotspotCode(const std::string& hidden, const TLinkLookup& lookup) {
    const std::string text = TrimText(hidden);
    if (text.empty())
        return {};
    std::string prefix;
    std::string rest = text;
    if (rest.front() == '%' || rest.front() == '*') {
        prefix = rest.substr(0, 1);
        rest.erase(0, 1);
    }
    if ((!rest.empty() && rest.front() == '!') || text.find('@') != std::string::npos)
        return "link=" + UndoubleBackslashes(text);
    std::string window;
    const std::size_t gt = rest.find('>');
    if (gt != std::string::npos) {
        window = TrimText(rest.substr(gt + 1));
        rest = rest.substr(0, gt);
    }
    const std::string key = platform::AnsiLowerCase(TrimText(rest));
    if (auto it = lookup.ids.find(key); it != lookup.ids.end())
        return "linkID=" + prefix + std::to_string(it->second) +
               (window.empty() ? "" : ">" + window);
    if (lookup.targets.count(key))
        return "linkTarget=" + UndoubleBackslashes(text);
    return "link=" + UndoubleBackslashes(text);
}

// A group of hidden text: "\v" (not "\v0") among the control words that open it.
bool IsHiddenGroup(const rtf::GroupView& group) {
    if (group.starred)
        return false;
    for (std::size_t i = 1; i < group.tokens.size(); ++i) {
        const rtf::Token& t = group.tokens[i];
        if (t.kind == rtf::TokenKind::LineBreak)
            continue;
        if (t.kind != rtf::TokenKind::ControlWord)
            return false;
        if (t.name == "v")
            return !(t.hasParam && t.param == 0);
    }
    return false;
}

// The topic ID of a button action that only jumps to a topic of this help
// file ("JumpID(\"intro\")", "JI(`',`intro')"), or empty.
std::string JumpTarget(const std::string& action) {
    const std::string a = TrimText(action);
    const std::size_t open = a.find('(');
    if (open == std::string::npos || a.back() != ')')
        return {};
    const std::string name = AsciiLower(TrimText(a.substr(0, open)));
    std::string args = TrimText(a.substr(open + 1, a.size() - open - 2));
    if (name == "ji" || name == "jumpid") {
        // An empty help file argument first means "this file".
        if (args.starts_with("`',") || args.starts_with("\"\","))
            args = TrimText(args.substr(args.find(',') + 1));
        else if (name == "ji")
            return {};
    } else {
        return {};
    }
    if (args.size() < 2)
        return {};
    const char first = args.front(), last = args.back();
    if (!((first == '"' && last == '"') || (first == '`' && last == '\'')))
        return {};
    const std::string id = args.substr(1, args.size() - 2);
    if (id.find_first_of("\"`',") != std::string::npos)
        return {};
    return id;
}

// Buttons that jump to a topic of the project get its number, as typed ones do.
std::string ConvertButtons(const std::string& text, const TLinkLookup& lookup) {
    rtf::MarkupSearch search;
    search.keywords = {"button "};
    std::string out;
    std::size_t done = 0;
    for (const rtf::MarkupCode& code : rtf::FindMarkupCodes(text, search)) {
        if (!code.closed)
            continue;
        const std::size_t comma = code.value.find(',');
        if (comma == std::string::npos)
            continue;
        const std::string id = JumpTarget(code.value.substr(comma + 1));
        const auto it = lookup.ids.find(platform::AnsiLowerCase(id));
        if (id.empty() || it == lookup.ids.end())
            continue;
        out.append(text, done, code.start - done);
        out +=
            "\\{" +
            RtfEscape(code.keyword + code.value.substr(0, comma + 1) + std::to_string(it->second)) +
            "\\}";
        done = code.end;
    }
    if (done == 0)
        return text;
    out.append(text, done, std::string::npos);
    return out;
}

std::string ConvertHotspots(const std::string& text, const TLinkLookup& lookup) {
    const std::string jumps = rtf::ReplaceControlWord(text, "uldb", "strike");
    return ConvertButtons(
        rtf::RewriteGroups(jumps,
                           [&](const rtf::GroupView& group) -> std::optional<std::string> {
                               if (!IsHiddenGroup(group))
                                   return std::nullopt;
                               const std::string code = HotspotCode(group.Text(), lookup);
                               if (code.empty())
                                   return std::string();
                               return "\\{" + RtfEscape(code) + "\\}";
                           }),
        lookup);
}

void Report(TImportProgress* progress, const std::string& text, int maxValue) {
    if (progress)
        progress->Start(text, maxValue);
}

void Step(TImportProgress* progress, int value) {
    if (!progress)
        return;
    progress->SetPosition(value);
    if (progress->AbortRequested())
        throw EImportAborted();
}

// ---- the contents file ------------------------------------------------------------

// Reads the contents file into the project; problems come back as a message.
std::string ImportContents(TBrindlewovenProject& project, const fs::path& file,
                           TImportProgress* progress) {
    std::string problems;
    try {
        const TStringList lines = rtf::SplitLines(platform::ReadFileBytes(file));
        Report(progress, "Importing contents file...", static_cast<int>(lines.size()));
        int lineNumber = 0;
        for (const std::string& raw : lines) {
            ++lineNumber;
            Step(progress, lineNumber);
            const std::string line = StripHpjComment(raw);
            if (line.empty())
                continue;
            const std::string lower = AsciiLower(line);
            if (lower.starts_with(":index")) {
                project.ContentsIndexes.push_back(StripHpjComment(line.substr(6)));
                continue;
            }
            if (lower.starts_with(":link")) {
                project.ContentsLinks.push_back(StripHpjComment(line.substr(5)));
                continue;
            }
            if (line.front() == ':')
                continue; // :Base, :Title, :Include
            // A contents line starts with its level, 1 to 9.
            std::size_t digits = 0;
            while (digits < line.size() && std::isdigit(static_cast<unsigned char>(line[digits])))
                ++digits;
            std::string fault;
            if (digits == 0 || (digits < line.size() && !IsBlank(line[digits])))
                fault = "has no level";
            else if (digits != 1 || line[0] == '0')
                fault = "has a level outside 1 to 9";
            else if (std::any_of(line.begin(), line.end(), [](char c) {
                         return static_cast<unsigned char>(c) < 0x20 && c != '\t';
                     }))
                fault = "holds control characters";
            if (!fault.empty()) {
                if (!problems.empty())
                    problems += "\r";
                problems += "Line " + std::to_string(lineNumber) + " " + fault + ": " +
                            StripControlChars(line);
                continue;
            }
            project.ContentsLines.push_back(line);
        }
    } catch (const EImportAborted&) {
        throw;
    } catch (const std::exception& e) {
        if (!problems.empty())
            problems += "\r";
        problems += e.what();
    }
    return problems.empty() ? std::string() : "Error importing contents file.\r" + problems;
}

} // namespace

// ---- small routines -----------------------------------------------------------------

std::string StripHpjComment(std::string_view line) {
    bool inDouble = false;
    int backquotes = 0;
    std::size_t end = line.size();
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"' && backquotes == 0) {
            inDouble = !inDouble;
        } else if (!inDouble && c == '`') {
            ++backquotes;
        } else if (!inDouble && c == '\'' && backquotes > 0) {
            --backquotes;
        } else if (c == ';' && !inDouble && backquotes == 0 && (i == 0 || IsBlank(line[i - 1]))) {
            end = i;
            break;
        }
    }
    return TrimText(line.substr(0, end));
}

bool ReadHpjBoolean(std::string_view value, bool defaultValue) {
    const std::string v = AsciiLower(TrimText(value));
    if (v == "true" || v == "yes" || v == "on" || v == "1")
        return true;
    if (v == "false" || v == "no" || v == "off" || v == "0")
        return false;
    return defaultValue;
}

bool ReadIniValue(std::string_view iniText, std::string_view section, std::string_view key,
                  std::string& value) {
    bool inSection = false;
    bool sectionSeen = false;
    for (const std::string& raw : rtf::SplitLines(iniText)) {
        const std::string line = StripHpjComment(raw);
        if (line.empty())
            continue;
        if (line.front() == '[') {
            if (inSection)
                return false; // the first section of that name had no such key
            const std::size_t close = line.find(']');
            const std::string name = TrimText(
                line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            inSection = !sectionSeen && platform::AnsiSameText(name, section);
            sectionSeen = sectionSeen || inSection;
            continue;
        }
        if (!inSection)
            continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        if (!platform::AnsiSameText(TrimText(line.substr(0, eq)), key))
            continue;
        std::string v = TrimText(line.substr(eq + 1));
        if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
            v = v.substr(1, v.size() - 2);
        value = v;
        return true;
    }
    return false;
}

bool ParseMapLine(std::string_view line, std::string& id, std::string& number) {
    std::string text = StripHpjComment(line);
    const std::size_t slashes = text.find("//");
    if (slashes != std::string::npos)
        text.erase(slashes);
    text = TrimText(text);
    if (StartsWithNoCase(text, "#define"))
        text = TrimText(text.substr(7));
    else if (!text.empty() && text.front() == '#')
        return false; // "#include" and other directives
    std::vector<std::string> parts;
    std::size_t i = 0;
    while (i < text.size() && parts.size() < 3) {
        while (i < text.size() && (IsBlank(text[i]) || text[i] == '='))
            ++i;
        const std::size_t start = i;
        while (i < text.size() && !IsBlank(text[i]) && text[i] != '=')
            ++i;
        if (i > start)
            parts.emplace_back(text.substr(start, i - start));
    }
    if (parts.size() < 2)
        return false;
    id = parts[0];
    number = parts[1];
    return true;
}

std::vector<TImportedFootnote> ExtractFootnotes(std::string_view rtfText) {
    std::vector<TImportedFootnote> notes;
    std::string error;
    const std::vector<rtf::Token> tokens = rtf::Tokenize(rtfText, &error);
    const std::vector<std::size_t> match = MatchGroups(tokens);
    std::vector<std::size_t> open(tokens.size(), tokens.size());
    for (std::size_t g = 0; g < tokens.size(); ++g)
        if (tokens[g].kind == rtf::TokenKind::GroupStart && match[g] < tokens.size())
            open[match[g]] = g;
    auto groupText = [&](std::size_t from, std::size_t to) {
        std::string s;
        for (std::size_t m = from; m < to && m < tokens.size(); ++m)
            AppendTokenText(s, tokens[m]);
        return s;
    };
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind != rtf::TokenKind::GroupStart)
            continue;
        bool starred = false;
        if (DestinationAt(tokens, i, starred) != "footnote")
            continue;
        const std::size_t j = match[i];
        TImportedFootnote note;
        note.Start = tokens[i].Offset(rtfText);
        note.End = j < tokens.size() ? tokens[j].Offset(rtfText) + 1 : rtfText.size();
        // The mark stands a few tokens before the group: plain ("#{\footnote")
        // or in a group of its own ("{\up #}{\footnote").
        std::size_t k = i;
        for (int looked = 0; k > 0 && looked < 8; ++looked) {
            --k;
            const rtf::Token& p = tokens[k];
            if (p.kind == rtf::TokenKind::LineBreak || p.kind == rtf::TokenKind::ControlWord)
                continue;
            if (p.kind == rtf::TokenKind::GroupEnd) {
                const std::size_t g = open[k];
                bool st = false;
                if (g == tokens.size() || DestinationAt(tokens, g, st) == "footnote")
                    break;
                const std::string s = TrimText(groupText(g, k));
                if (s.size() == 1) {
                    note.Mark = s[0];
                    note.Start = tokens[g].Offset(rtfText);
                }
                break;
            }
            if (p.kind == rtf::TokenKind::Text) {
                std::string_view s = p.raw;
                while (!s.empty() && IsBlank(s.back()))
                    s.remove_suffix(1);
                if (s.empty())
                    continue;
                note.Mark = s.back();
                note.Start = p.Offset(rtfText) + s.size() - 1;
            }
            break;
        }
        // The text; a leading group holding only the mark is the mark repeated.
        std::string text;
        bool seenText = false;
        bool markGroupSkipped = false;
        for (std::size_t t = i + 1; t < j && t < tokens.size(); ++t) {
            const rtf::Token& tok = tokens[t];
            if (tok.kind == rtf::TokenKind::GroupStart) {
                bool st = false;
                const std::string_view d = DestinationAt(tokens, t, st);
                if (st || d == "footnote") {
                    t = match[t];
                    continue;
                }
                if (!seenText && !markGroupSkipped && note.Mark != 0 &&
                    TrimText(groupText(t, match[t])) == std::string(1, note.Mark)) {
                    markGroupSkipped = true;
                    t = match[t];
                }
                continue;
            }
            AppendTokenText(text, tok);
            if (!seenText)
                seenText = std::any_of(text.begin(), text.end(),
                                       [](char c) { return !TrimmableLeading(c); });
        }
        std::size_t a = 0, b = text.size();
        while (a < b && TrimmableLeading(text[a]))
            ++a;
        while (b > a && TrimmableTrailing(text[b - 1]))
            --b;
        note.Text = text.substr(a, b - a);
        // "{\footnote # ID}": the mark written out as a word of its own.
        if (!markGroupSkipped && note.Mark != 0 && note.Text.size() >= 2 &&
            note.Text[0] == note.Mark && IsBlank(note.Text[1]))
            note.Text = TrimText(note.Text.substr(1));
        notes.push_back(std::move(note));
        if (j >= tokens.size())
            break;
        i = j;
    }
    return notes;
}

std::string ExtractFootnote(std::string_view rtfText, char mark) {
    for (const TImportedFootnote& note : ExtractFootnotes(rtfText))
        if (note.Mark == mark)
            return note.Text;
    return {};
}

// ---- the import -----------------------------------------------------------------------

TWinHelpImportResult ImportWinHelpProject(TBrindlewovenProject& project,
                                          const std::string& hpjFileName,
                                          TImportProgress* progress) {
    TWinHelpImportResult result;
    const fs::path hpjPath = platform::resolvePath(hpjFileName);
    const fs::path hpjFolder = hpjPath.parent_path();
    const std::string hpjText = platform::ReadFileBytes(hpjPath);

    // Options.
    std::string value;
    if (ReadIniValue(hpjText, "OPTIONS", "Title", value))
        project.Title = value;
    if (ReadIniValue(hpjText, "OPTIONS", "Build", value))
        project.BuildTags = value;
    if (ReadIniValue(hpjText, "OPTIONS", "Citation", value))
        project.Citation = value;
    if (ReadIniValue(hpjText, "OPTIONS", "Copyright", value))
        project.Copyright = value;
    if (ReadIniValue(hpjText, "OPTIONS", "Compress", value))
        project.Compress = ReadHpjBoolean(value, project.Compress);
    if (ReadIniValue(hpjText, "OPTIONS", "BMRoot", value))
        project.BitmapPaths = value;
    std::string cntOption;
    ReadIniValue(hpjText, "OPTIONS", "CNT", cntOption);
    std::string roots;
    ReadIniValue(hpjText, "OPTIONS", "Root", roots);

    // Sections.
    THpjSections sections = ReadHpjSections(rtf::SplitLines(hpjText));
    if (sections.hasConfig)
        project.Config = sections.config;
    if (sections.hasBaggage)
        project.Baggage = sections.baggage;
    if (sections.hasWindows)
        project.Windows = sections.windows;
    if (!sections.hasFiles)
        throw EProjectError("[FILES] section missing in HPJ file");

    // Topics.
    std::int32_t lastNumber = 0;
    std::vector<TBrindlewovenTopic*> imported;
    std::unordered_set<const TBrindlewovenTopic*> importedSet;
    TLinkLookup lookup;
    for (const std::string& fileName : sections.files) {
        const std::string bytes =
            platform::ReadFileBytes(LocateTopicFile(fileName, roots, hpjFolder));
        const std::size_t docStart = bytes.find("{\\rtf");
        if (docStart == std::string::npos)
            throw EProjectError("Invalid RTF file.\r(/rtf not found)");
        const std::size_t closing = rtf::MatchingBrace(bytes, docStart);
        // A file cut short: take what there is.
        const std::size_t docEnd = closing == std::string::npos ? bytes.size() : closing + 1;
        const std::string_view document =
            std::string_view(bytes).substr(docStart, docEnd - docStart);
        {
            // Refuse nesting the RTF engine refuses, before cutting pages.
            rtf::Lexer lexer(document);
            rtf::Token token;
            while (lexer.Next(token)) {
            }
            if (!lexer.Error().empty())
                throw EProjectError("Invalid RTF file.\r" + lexer.Error());
        }
        const rtf::RtfHeader header = rtf::ReadHeader(document);
        const std::size_t bodyEnd =
            closing == std::string::npos ? document.size() : document.size() - 1;
        const std::string_view bodyAll =
            header.bodyOffset < bodyEnd
                ? document.substr(header.bodyOffset, bodyEnd - header.bodyOffset)
                : std::string_view();
        if (TrimText(bodyAll).empty())
            throw EProjectError("RTF file seems to be empty");
        const std::string topicHeader = TopicHeader(header);

        const std::vector<std::string_view> pieces = rtf::SplitAtPage(bodyAll);
        Report(progress, "Reading topics from RTF file...", static_cast<int>(pieces.size()));
        int position = 0;
        for (std::string_view piece : pieces) {
            Step(progress, position++);
            std::string body;
            TPieceFields fields = ReadPiece(piece, body);
            if (!fields.hasID) {
                ++result.PagesWithoutID;
                continue;
            }
            // The number: from [MAP], else 10 after the last one.
            std::int32_t number = 0;
            bool mapped = false;
            if (auto it = sections.map.find(platform::AnsiLowerCase(fields.id));
                it != sections.map.end())
                mapped = ParseMapNumber(it->second, number);
            if (mapped) {
                if (TBrindlewovenTopic* holder = project.FindTopic(number)) {
                    const std::int32_t moveTo = project.FirstFreeNumber(
                        TBrindlewovenProject::IncreasedTopicNumber(number, 1));
                    project.ChangeTopicNumber(number, moveTo);
                    if (!importedSet.count(holder))
                        project.RenumberTopicLinks(number, moveTo);
                }
            } else {
                number = project.FirstFreeNumber(
                    TBrindlewovenProject::IncreasedTopicNumber(lastNumber, 10));
            }
            lastNumber = std::max(lastNumber, number);
            TBrindlewovenTopic* topic = project.AddTopic(number, fields.title);
            topic->TopicID = fields.id;
            topic->KKeywords = fields.kKeywords;
            topic->BKeywords = fields.bKeywords;
            topic->BrowseSequence = fields.browse;
            topic->BuildTag = fields.buildTag;
            topic->Status = "Imported";
            topic->Window = fields.window;
            topic->EntryMacro = fields.macro;
            topic->AKeywords = fields.aKeywords;
            topic->SetText(rtf::SplitLines(topicHeader + "\r\n" + body));
            imported.push_back(topic);
            importedSet.insert(topic);
            for (const std::string& target : fields.targets)
                lookup.targets.insert(platform::AnsiLowerCase(target));
            ++result.TopicsImported;
        }
    }

    // Hotspots, once every topic is known.
    for (const auto& topic : project.Topics())
        lookup.ids.emplace(platform::AnsiLowerCase(topic->TopicID), topic->Number);
    Report(progress, "Converting topics to Brindlewoven format...",
           static_cast<int>(imported.size()));
    int position = 0;
    for (TBrindlewovenTopic* topic : imported) {
        Step(progress, position++);
        try {
            topic->SetText(rtf::SplitLines(ConvertHotspots(rtf::JoinLines(topic->Text), lookup)));
        } catch (const EImportAborted&) {
            throw;
        } catch (const std::exception&) {
            throw EBrindlewoven("Error converting topic #" + std::to_string(topic->Number),
                                topic->Number);
        }
    }

    // Contents.
    std::vector<fs::path> contentsCandidates;
    if (!TrimText(cntOption).empty()) {
        if (auto path = TryResolve(cntOption, hpjFolder))
            contentsCandidates.push_back(*path);
        if (auto path = TryResolve(NameOf(cntOption), hpjFolder))
            contentsCandidates.push_back(*path);
    }
    contentsCandidates.push_back(fs::path(hpjPath).replace_extension(".cnt"));
    for (const fs::path& candidate : contentsCandidates) {
        std::error_code ec;
        if (!fs::exists(candidate, ec))
            continue;
        std::string problem = ImportContents(project, candidate, progress);
        if (!problem.empty())
            result.Warnings.push_back(std::move(problem));
        break;
    }
    return result;
}

} // namespace helpproject
