#include "components/rtf/rtftokenstream.h"

namespace rtf {

std::vector<Token> TokenizeAll(std::string_view rtf, LexerOptions options) {
    std::string error;
    std::vector<Token> tokens = Tokenize(rtf, &error, options);
    if (!error.empty()) {
        const std::size_t done =
            tokens.empty() ? 0 : tokens.back().Offset(rtf) + tokens.back().raw.size();
        Token rest;
        rest.kind = TokenKind::Text;
        rest.raw = rtf.substr(done);
        tokens.push_back(rest);
    }
    return tokens;
}

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

std::vector<std::size_t> OpeningGroups(const std::vector<Token>& tokens,
                                       const std::vector<std::size_t>& match) {
    std::vector<std::size_t> open(tokens.size(), tokens.size());
    for (std::size_t g = 0; g < tokens.size(); ++g)
        if (tokens[g].kind == TokenKind::GroupStart && match[g] < tokens.size())
            open[match[g]] = g;
    return open;
}

std::string_view GroupDestination(std::span<const Token> group, bool& starred) {
    starred = false;
    for (std::size_t k = 1; k < group.size(); ++k) {
        const Token& t = group[k];
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

std::string_view DestinationAt(const std::vector<Token>& tokens, std::size_t i, bool& starred) {
    return GroupDestination(std::span<const Token>(tokens).subspan(i), starred);
}

void AppendTokenText(std::string& out, const Token& token, bool tabIsText) {
    switch (token.kind) {
    case TokenKind::Text:
        out += token.raw;
        break;
    case TokenKind::HexByte:
        out += static_cast<char>(token.param);
        break;
    case TokenKind::ControlSymbol:
        if (token.symbol == '\\' || token.symbol == '{' || token.symbol == '}')
            out += token.symbol;
        else if (token.symbol == '~')
            out += '\xA0';
        else if (token.symbol == '_')
            out += '-';
        break;
    case TokenKind::ControlWord:
        if (tabIsText && token.name == "tab")
            out += '\t';
        break;
    default:
        break;
    }
}

std::string TokensText(const std::vector<Token>& tokens, std::size_t from, std::size_t to) {
    std::string text;
    for (std::size_t i = from; i < to && i < tokens.size(); ++i)
        AppendTokenText(text, tokens[i]);
    return text;
}

} // namespace rtf
