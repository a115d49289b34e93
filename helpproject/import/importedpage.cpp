#include "helpproject/import/importedpage.h"

#include <algorithm>
#include <vector>

#include "components/rtf/rtffootnotes.h"
#include "components/rtf/rtftokenstream.h"
#include "helpproject/helputils.h"
#include "helpproject/import/hotspotconversion.h"
#include "helpproject/writers/topictables.h"

namespace helpproject {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The footnotes that carry topic fields; an "@" footnote is an author's
// comment, which the import drops.
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

// The blanks WinHelp trims from footnote values: spaces, tabs, line
// breaks and the non-breaking space Word writes for "\~".
constexpr std::string_view kFieldBlanks = " \t\r\n\xA0";

// A footnote's value as WinHelp reads it: without the blanks around it.
std::string FieldValue(std::string_view text) {
    return std::string(platform::TrimView(text, kFieldBlanks));
}

// Keywords as WinHelp reads them: each one trimmed, empty ones dropped.
void AppendKeywords(std::string& list, std::string_view more) {
    std::size_t start = 0;
    while (start <= more.size()) {
        std::size_t end = more.find(';', start);
        if (end == std::string_view::npos)
            end = more.size();
        const std::string_view keyword =
            platform::TrimView(more.substr(start, end - start), kFieldBlanks);
        if (!keyword.empty()) {
            if (!list.empty())
                list += ';';
            list += keyword;
        }
        start = end + 1;
    }
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
    const std::vector<std::size_t> match = rtf::MatchGroups(tokens);
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
    const std::vector<rtf::Token> tokens = rtf::TokenizeOrThrow(piece);
    rtf::TokenWriter out;
    std::size_t next = 0;
    int depth = 0;
    std::vector<bool> keepnStack;
    bool keepn = false;
    bool textSincePar = false;
    std::size_t keepnAt = std::string::npos;
    // The non-scrolling region is the leading run of keep-with-next
    // paragraphs: a paragraph with text and without the word ends it, and
    // a heading further down that keeps with its next paragraph does not
    // move the marker.
    bool regionClosed = false;
    // The blank that stood between the footnote marks and a paragraph's
    // text (the topic's heading, as a rule) goes with the marks.
    bool afterMarks = false;

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
                } else {
                    afterMarks = !textSincePar;
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
                if (keepn && !regionClosed)
                    keepnAt = out.Result().size();
                else if (!keepn && textSincePar)
                    regionClosed = true;
                textSincePar = false;
                afterMarks = false;
            } else if (t.name == "tab") {
                textSincePar = true;
            }
            break;
        case rtf::TokenKind::Text:
            if (afterMarks && !textSincePar) {
                const std::string_view text = platform::TrimLeftView(t.raw, " \t");
                noteText(text);
                out.Raw(text);
                continue;
            }
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
    if (keepn && textSincePar && !regionClosed)
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

// Takes a field footnote into the page's fields. A further "#" footnote
// gives the target code that replaces it.
void TakeField(const rtf::Footnote& note, TImportedPage& page, TEdit& edit) {
    switch (note.mark) {
    case '#':
        if (!page.HasID) {
            page.HasID = true;
            page.ID = FieldValue(note.text);
        } else {
            std::string name;
            for (char c : note.text)
                if (!IsBlank(c))
                    name += c;
            if (!name.empty()) {
                edit.replacement = "\\{Target=" + RtfEscape(name) + "\\}";
                page.Targets.push_back(name);
            }
        }
        break;
    case '$':
        SetOnce(page.Title, FieldValue(note.text));
        break;
    case 'K':
        AppendKeywords(page.KKeywords, note.text);
        break;
    case 'A':
        AppendKeywords(page.AKeywords, note.text);
        break;
    case 'B':
        AppendKeywords(page.BKeywords, note.text);
        break;
    case '+':
        SetOnce(page.BrowseSequence, FieldValue(note.text));
        break;
    case '*':
        SetOnce(page.BuildTag, FieldValue(note.text));
        break;
    case '>':
        SetOnce(page.Window, FieldValue(note.text));
        break;
    case '!':
        SetOnce(page.EntryMacro, MacroWithPlainQuotes(FieldValue(note.text)));
        break;
    default:
        break;
    }
}

// A footnote alone on its line takes the line with it.
void TakeWholeLine(std::string_view piece, TEdit& edit) {
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

} // namespace

TImportedPage ReadImportedPage(std::string_view piece) {
    TImportedPage page;
    std::vector<TEdit> edits;
    for (const rtf::Footnote& note : rtf::FindFootnotes(piece)) {
        if (!IsFieldMark(note.mark))
            continue;
        TEdit edit;
        edit.start = note.start;
        edit.end = note.end;
        TakeField(note, page, edit);
        if (edit.replacement.empty())
            TakeWholeLine(piece, edit);
        if (!edits.empty() && edit.start < edits.back().end)
            continue; // cannot happen with well-formed groups; never overlap
        edits.push_back(std::move(edit));
    }
    page.Body = BuildBody(piece, edits);
    return page;
}

std::string ImportedTopicHeader(const rtf::RtfHeader& header) {
    std::string out = "{\\rtf1\\ansi\\deff" + std::to_string(header.defaultFont.value_or(0));
    out += header.hasFontTable ? header.fontTableRaw : "{\\fonttbl{\\f0\\fswiss Arial;}}";
    out += header.colorTableRaw;
    out += header.stylesheet;
    // Tables written over several lines become one line each; a control
    // word that a line break ended keeps a blank after it ("\froman" CR LF
    // "Times" is not "\fromanTimes").
    return rtf::StripLineBreaks(out);
}

} // namespace helpproject
