#include "components/rtf/rtffootnotes.h"

#include <algorithm>

#include "components/rtf/rtftokenstream.h"
#include "platform/textutil.h"

namespace rtf {

namespace {

// How far before its group a footnote mark may stand, in tokens.
constexpr int kMarkDistance = 8;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool TrimmableLeading(char c) {
    return IsBlank(c) || c == '{' || c == '}' || c == '\\' || static_cast<unsigned char>(c) < 0x20;
}

bool TrimmableTrailing(char c) {
    return IsBlank(c) || c == '{' || c == '}' || static_cast<unsigned char>(c) < 0x20;
}

bool IsFootnoteGroup(const std::vector<Token>& tokens, std::size_t i) {
    bool starred = false;
    return DestinationAt(tokens, i, starred) == "footnote";
}

struct TokenView {
    std::string_view rtf;
    const std::vector<Token>& tokens;
    const std::vector<std::size_t>& match; // GroupStart -> GroupEnd
    const std::vector<std::size_t>& open;  // GroupEnd -> GroupStart
};

// The mark of the footnote group at token `i`, looking back from it.
void ReadMark(const TokenView& v, std::size_t i, Footnote& note) {
    std::size_t k = i;
    for (int looked = 0; k > 0 && looked < kMarkDistance; ++looked) {
        --k;
        const Token& p = v.tokens[k];
        if (p.kind == TokenKind::LineBreak || p.kind == TokenKind::ControlWord)
            continue;
        if (p.kind == TokenKind::GroupEnd) {
            const std::size_t g = v.open[k];
            if (g == v.tokens.size() || IsFootnoteGroup(v.tokens, g))
                return;
            const std::string text = TokensText(v.tokens, g, k);
            const std::string_view s = platform::TrimControlView(text);
            if (s.size() == 1) {
                note.mark = s[0];
                note.start = v.tokens[g].Offset(v.rtf);
            }
            return;
        }
        if (p.kind == TokenKind::Text) {
            std::string_view s = p.raw;
            while (!s.empty() && IsBlank(s.back()))
                s.remove_suffix(1);
            if (s.empty())
                continue;
            note.mark = s.back();
            note.start = p.Offset(v.rtf) + s.size() - 1;
        }
        return;
    }
}

// The cleaned text of the footnote group [i, j].
std::string ReadText(const TokenView& v, std::size_t i, std::size_t j, char mark) {
    const std::vector<Token>& tokens = v.tokens;
    std::string text;
    bool seenText = false;
    bool markGroupSkipped = false;
    PlainTextReader reader;
    for (std::size_t t = i + 1; t < j && t < tokens.size(); ++t) {
        const Token& tok = tokens[t];
        if (tok.kind == TokenKind::GroupStart) {
            bool starred = false;
            if (DestinationAt(tokens, t, starred) == "footnote" || starred) {
                t = v.match[t];
                continue;
            }
            if (!seenText && !markGroupSkipped && mark != 0 &&
                platform::TrimControlView(TokensText(tokens, t, v.match[t])) ==
                    std::string_view(&mark, 1)) {
                markGroupSkipped = true;
                t = v.match[t];
                continue;
            }
        }
        const std::size_t before = text.size();
        reader.Append(text, tok);
        seenText = seenText || std::any_of(text.begin() + static_cast<std::ptrdiff_t>(before),
                                           text.end(), [](char c) { return !TrimmableLeading(c); });
    }
    std::size_t a = 0, b = text.size();
    while (a < b && TrimmableLeading(text[a]))
        ++a;
    while (b > a && TrimmableTrailing(text[b - 1]))
        --b;
    text = text.substr(a, b - a);
    // "{\footnote # ID}": the mark written out as a word of its own.
    if (!markGroupSkipped && mark != 0 && text.size() >= 2 && text[0] == mark && IsBlank(text[1]))
        text = std::string(platform::TrimControlView(std::string_view(text).substr(1)));
    return text;
}

} // namespace

std::vector<Footnote> FindFootnotes(std::string_view rtf) {
    std::vector<Footnote> notes;
    const std::vector<Token> tokens = TokenizeAll(rtf);
    const std::vector<std::size_t> match = MatchGroups(tokens);
    const std::vector<std::size_t> open = OpeningGroups(tokens, match);
    const TokenView view{rtf, tokens, match, open};
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind != TokenKind::GroupStart || !IsFootnoteGroup(tokens, i))
            continue;
        const std::size_t j = match[i];
        Footnote note;
        note.start = tokens[i].Offset(rtf);
        note.end = j < tokens.size() ? tokens[j].Offset(rtf) + 1 : rtf.size();
        ReadMark(view, i, note);
        note.text = ReadText(view, i, j, note.mark);
        notes.push_back(std::move(note));
        if (j >= tokens.size())
            break;
        i = j;
    }
    return notes;
}

std::string FindFootnote(std::string_view rtf, char mark) {
    for (const Footnote& note : FindFootnotes(rtf))
        if (note.mark == mark)
            return note.text;
    return {};
}

} // namespace rtf
