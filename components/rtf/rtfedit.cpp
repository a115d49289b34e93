#include "components/rtf/rtfedit.h"

#include "components/rtf/rtftokenstream.h"
#include "platform/codepage.h"

namespace rtf {

std::string RemoveControlWord(std::string_view rtf, std::string_view name,
                              std::optional<int> param) {
    TokenWriter out;
    for (const Token& t : TokenizeAll(rtf)) {
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
    for (const Token& t : TokenizeAll(rtf)) {
        if (t.kind == TokenKind::ControlWord && t.name == name) {
            out.ControlWordRenamed(t, replacement);
            continue;
        }
        out.Raw(t);
    }
    return out.Take();
}

std::string RemoveDestination(std::string_view rtf, std::string_view name,
                              DestinationRemoval removal) {
    std::vector<Token> tokens = TokenizeAll(rtf);
    std::vector<std::size_t> match = MatchGroups(tokens);
    TokenWriter out;
    bool removed = false;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind == TokenKind::GroupStart && !(removed && removal.firstOnly)) {
            bool starred = false;
            const std::string_view destination = DestinationAt(tokens, i, starred);
            if (removal.ignoreCase ? platform::AnsiSameText(destination, name)
                                   : destination == name) {
                removed = true;
                i = match[i]; // unclosed: to the end
                continue;
            }
        }
        out.Raw(tokens[i]);
    }
    return out.Take();
}

std::string GroupView::Text() const {
    std::string out;
    PlainTextReader reader;
    for (const Token& t : tokens)
        reader.Append(out, t);
    return out;
}

std::string RewriteGroups(std::string_view rtf,
                          const std::function<std::optional<std::string>(const GroupView&)>& fn) {
    std::vector<Token> tokens = TokenizeAll(rtf);
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

std::vector<std::string_view> SplitAtPage(std::string_view rtf) {
    std::vector<std::string_view> pieces;
    std::vector<Token> tokens = TokenizeAll(rtf);
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
