#include "components/rtf/rtfedit.h"

#include <algorithm>

#include "platform/codepage.h"

namespace rtf {

namespace {

// Tokens of the whole text; when nesting is refused the rest of the text is
// one extra text token so that nothing is lost when copying.
std::vector<Token> AllTokens(std::string_view rtf) {
    std::string error;
    std::vector<Token> tokens = Tokenize(rtf, &error);
    if (!error.empty()) {
        std::size_t done =
            tokens.empty() ? 0 : tokens.back().Offset(rtf) + tokens.back().raw.size();
        Token rest;
        rest.kind = TokenKind::Text;
        rest.raw = rtf.substr(done);
        tokens.push_back(rest);
    }
    return tokens;
}

// For each GroupStart token, the index of its GroupEnd (tokens.size() when
// unclosed); other entries are unused.
std::vector<std::size_t> MatchGroups(const std::vector<Token>& tokens) {
    std::vector<std::size_t> match(tokens.size(), tokens.size());
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind == TokenKind::GroupStart) {
            open.push_back(i);
        } else if (tokens[i].kind == TokenKind::GroupEnd && !open.empty()) {
            match[open.back()] = i;
            open.pop_back();
        }
    }
    return match;
}

// The destination of the group starting at token `i`.
std::string_view DestinationAt(const std::vector<Token>& tokens, std::size_t i, bool& starred) {
    starred = false;
    for (std::size_t k = i + 1; k < tokens.size(); ++k) {
        const Token& t = tokens[k];
        if (t.kind == TokenKind::LineBreak)
            continue;
        if (t.IsSymbol('*') && !starred) {
            starred = true;
            continue;
        }
        if (t.kind == TokenKind::ControlWord)
            return t.name;
        break;
    }
    return {};
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    return platform::AnsiSameText(text.substr(0, prefix.size()), prefix);
}

// The plain text a run of tokens stands for.
void AppendTokenText(std::string& out, const Token& t) {
    switch (t.kind) {
    case TokenKind::Text:
        out += t.raw;
        break;
    case TokenKind::HexByte:
        out += static_cast<char>(t.param);
        break;
    case TokenKind::ControlSymbol:
        if (t.symbol == '\\' || t.symbol == '{' || t.symbol == '}')
            out += t.symbol;
        else if (t.symbol == '~')
            out += '\xA0';
        else if (t.symbol == '_')
            out += '-';
        break;
    case TokenKind::ControlWord:
        if (t.name == "tab")
            out += '\t';
        break;
    default:
        break;
    }
}

} // namespace

std::string RemoveControlWord(std::string_view rtf, std::string_view name,
                              std::optional<int> param) {
    TokenWriter out;
    for (const Token& t : AllTokens(rtf)) {
        if (t.kind == TokenKind::ControlWord && t.name == name &&
            (!param || (t.hasParam && t.param == *param)))
            continue;
        out.Raw(t);
    }
    return out.Take();
}

std::string ReplaceControlWord(std::string_view rtf, std::string_view name,
                               std::string_view replacement) {
    TokenWriter out;
    for (const Token& t : AllTokens(rtf)) {
        if (t.kind == TokenKind::ControlWord && t.name == name) {
            out.ControlWordRenamed(t, replacement);
            continue;
        }
        out.Raw(t);
    }
    return out.Take();
}

std::string RemoveDestination(std::string_view rtf, std::string_view name) {
    std::vector<Token> tokens = AllTokens(rtf);
    std::vector<std::size_t> match = MatchGroups(tokens);
    TokenWriter out;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind == TokenKind::GroupStart) {
            bool starred = false;
            if (DestinationAt(tokens, i, starred) == name) {
                i = match[i]; // unclosed: to the end
                continue;
            }
        }
        out.Raw(tokens[i]);
    }
    return out.Take();
}

std::vector<MarkupCode> FindMarkupCodes(std::string_view rtf, const MarkupSearch& search) {
    std::vector<MarkupCode> codes;
    std::vector<Token> tokens = AllTokens(rtf);
    const std::size_t n = tokens.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (!tokens[i].IsSymbol('{'))
            continue;
        if (search.doubledBraceIsText && i + 1 < n && tokens[i + 1].IsSymbol('{')) {
            ++i; // both braces are text
            continue;
        }
        MarkupCode code;
        code.start = tokens[i].Offset(rtf);
        code.valueStart = code.start + 2;
        std::string text; // typed text of the code, keyword included
        std::size_t keywordEnd = std::string::npos;
        bool nesting = false;
        int level = 1;
        std::size_t k = i + 1;
        std::size_t end = rtf.size();
        for (; k < n; ++k) {
            const Token& t = tokens[k];
            if (t.kind == TokenKind::LineBreak && search.stopAtLineEnd) {
                end = t.Offset(rtf);
                break;
            }
            if (t.IsSymbol('}')) {
                if (!nesting || --level == 0) {
                    code.closed = true;
                    code.valueEnd = t.Offset(rtf);
                    end = code.valueEnd + 2;
                    break;
                }
            } else if (t.IsSymbol('{') && nesting) {
                ++level;
            }
            const std::size_t before = text.size();
            AppendTokenText(text, t);
            if (keywordEnd == std::string::npos) {
                for (std::size_t c = before; c < text.size(); ++c) {
                    if (text[c] == '=' || text[c] == ' ') {
                        keywordEnd = c + 1;
                        code.valueStart = t.kind == TokenKind::Text
                                              ? t.Offset(rtf) + (c - before) + 1
                                              : t.Offset(rtf) + t.raw.size();
                        for (const std::string& kw : search.nestingKeywords)
                            if (platform::AnsiSameText(std::string_view(text).substr(0, keywordEnd),
                                                       kw))
                                nesting = true;
                        break;
                    }
                }
            }
        }
        if (!code.closed)
            code.valueEnd = end;
        code.end = end;
        if (keywordEnd == std::string::npos) {
            code.keyword = text;
            code.valueStart = code.valueEnd;
        } else {
            code.keyword = text.substr(0, keywordEnd);
            code.value = text.substr(keywordEnd);
        }
        bool wanted = search.keywords.empty();
        for (const std::string& kw : search.keywords)
            if (StartsWithNoCase(text, kw))
                wanted = true;
        if (wanted && !code.keyword.empty()) {
            codes.push_back(std::move(code));
            i = k; // go on after the code; an unwanted one is looked into
        }
    }
    return codes;
}

std::string GroupView::Text() const {
    std::string out;
    for (const Token& t : tokens)
        AppendTokenText(out, t);
    return out;
}

std::string RewriteGroups(std::string_view rtf,
                          const std::function<std::optional<std::string>(const GroupView&)>& fn) {
    std::vector<Token> tokens = AllTokens(rtf);
    std::vector<std::size_t> match = MatchGroups(tokens);
    TokenWriter out;
    int depth = 0;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.kind == TokenKind::GroupStart) {
            const std::size_t j = match[i];
            GroupView view;
            view.offset = t.Offset(rtf);
            std::size_t endByte = j < tokens.size() ? tokens[j].Offset(rtf) + 1 : rtf.size();
            view.raw = rtf.substr(view.offset, endByte - view.offset);
            view.destination = DestinationAt(tokens, i, view.starred);
            view.depth = depth;
            view.tokens = std::span<const Token>(tokens.data() + i,
                                                 (j < tokens.size() ? j + 1 : tokens.size()) - i);
            if (std::optional<std::string> replacement = fn(view)) {
                out.Raw(std::string_view(*replacement));
                i = j;
                continue;
            }
            ++depth;
        } else if (t.kind == TokenKind::GroupEnd && depth > 0) {
            --depth;
        }
        out.Raw(t);
    }
    return out.Take();
}

std::vector<Footnote> FindFootnotes(std::string_view rtf) {
    std::vector<Footnote> notes;
    std::vector<Token> tokens = AllTokens(rtf);
    std::vector<std::size_t> match = MatchGroups(tokens);
    // For each GroupEnd, the index of its GroupStart.
    std::vector<std::size_t> open(tokens.size(), tokens.size());
    for (std::size_t g = 0; g < tokens.size(); ++g)
        if (tokens[g].kind == TokenKind::GroupStart && match[g] < tokens.size())
            open[match[g]] = g;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind != TokenKind::GroupStart)
            continue;
        bool starred = false;
        if (DestinationAt(tokens, i, starred) != "footnote")
            continue;
        const std::size_t j = match[i];
        Footnote note;
        note.end = j < tokens.size() ? tokens[j].Offset(rtf) + 1 : rtf.size();
        // The mark: the last character of the text just before the group,
        // either plain ("#{\footnote") or in a group of its own ("{\up #}").
        std::size_t k = i;
        int looked = 0;
        while (k > 0 && looked < 8 && note.mark == 0) {
            --k;
            ++looked;
            const Token& p = tokens[k];
            if (p.kind == TokenKind::LineBreak || p.kind == TokenKind::ControlWord)
                continue;
            if (p.kind == TokenKind::GroupEnd) {
                std::size_t g = open[k];
                bool st = false;
                if (g == tokens.size() || DestinationAt(tokens, g, st) == "footnote")
                    break;
                std::string s;
                for (std::size_t m = g; m < k; ++m)
                    AppendTokenText(s, tokens[m]);
                while (!s.empty() && s.back() == ' ')
                    s.pop_back();
                if (!s.empty()) {
                    note.mark = s.back();
                    note.start = tokens[g].Offset(rtf);
                }
                break;
            }
            if (p.kind == TokenKind::Text || p.kind == TokenKind::HexByte) {
                std::string s;
                AppendTokenText(s, p);
                while (!s.empty() && s.back() == ' ')
                    s.pop_back();
                if (s.empty())
                    continue;
                note.mark = s.back();
                note.start = p.Offset(rtf) + (p.kind == TokenKind::Text ? s.size() - 1 : 0);
            }
            break;
        }
        // Its text: control words dropped, the repeated mark at its start
        // dropped, blanks, braces and backslashes trimmed.
        std::string text;
        bool skippedMark = false;
        for (std::size_t t = i + 1; t < j && t < tokens.size(); ++t) {
            const Token& tok = tokens[t];
            if (tok.kind == TokenKind::GroupStart) {
                bool st = false;
                std::string_view d = DestinationAt(tokens, t, st);
                if (st || d == "footnote") {
                    t = match[t];
                    continue;
                }
                continue;
            }
            std::size_t before = text.size();
            AppendTokenText(text, tok);
            if (!skippedMark && note.mark != 0) {
                std::size_t firstNonBlank = text.find_first_not_of(" \t");
                if (firstNonBlank != std::string::npos && firstNonBlank >= before) {
                    skippedMark = true;
                    if (text[firstNonBlank] == note.mark)
                        text.erase(firstNonBlank, 1);
                }
            }
        }
        auto trimmable = [](char c) {
            return c == ' ' || c == '{' || c == '}' || c == '\\' ||
                   static_cast<unsigned char>(c) < 0x20;
        };
        std::size_t a = 0, b = text.size();
        while (a < b && trimmable(text[a]))
            ++a;
        while (b > a && trimmable(text[b - 1]))
            --b;
        note.text = text.substr(a, b - a);
        if (note.mark == 0)
            note.start = tokens[i].Offset(rtf);
        notes.push_back(std::move(note));
        i = j < tokens.size() ? j : tokens.size();
    }
    return notes;
}

std::vector<std::string_view> SplitAtPage(std::string_view rtf) {
    std::vector<std::string_view> pieces;
    std::vector<Token> tokens = AllTokens(rtf);
    std::size_t pieceStart = 0;
    auto significant = [&](std::size_t k, int step) -> std::size_t {
        // The next token in direction `step` that is not a line break, or npos.
        while (true) {
            if (step < 0 && k == 0)
                return std::string::npos;
            k = step < 0 ? k - 1 : k + 1;
            if (k >= tokens.size())
                return std::string::npos;
            if (tokens[k].kind != TokenKind::LineBreak)
                return k;
        }
    };
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (!tokens[i].Is("page"))
            continue;
        std::size_t cutBegin = tokens[i].Offset(rtf);
        std::size_t cutEnd = cutBegin + tokens[i].raw.size();
        std::size_t before = significant(i, -1);
        std::size_t after = significant(i, +1);
        if (before != std::string::npos && after != std::string::npos &&
            tokens[before].kind == TokenKind::GroupStart &&
            tokens[after].kind == TokenKind::GroupEnd) {
            cutBegin = tokens[before].Offset(rtf);
            cutEnd = tokens[after].Offset(rtf) + 1;
            i = after;
        }
        pieces.push_back(rtf.substr(pieceStart, cutBegin - pieceStart));
        pieceStart = cutEnd;
    }
    pieces.push_back(rtf.substr(pieceStart));
    return pieces;
}

std::size_t MatchingBrace(std::string_view rtf, std::size_t groupStart) {
    if (groupStart >= rtf.size() || rtf[groupStart] != '{')
        return std::string_view::npos;
    Lexer lexer(rtf.substr(groupStart));
    Token t;
    while (lexer.Next(t)) {
        if (t.kind == TokenKind::GroupEnd && lexer.Depth() == 0)
            return groupStart + t.Offset(lexer.Source());
    }
    return std::string_view::npos;
}

} // namespace rtf
