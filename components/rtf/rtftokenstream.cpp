#include "components/rtf/rtftokenstream.h"

#include <algorithm>

#include "platform/codepage.h"

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

char NamedCharacter(std::string_view word) {
    static constexpr struct {
        std::string_view word;
        char character;
    } kNamed[] = {{"lquote", '\x91'},    {"rquote", '\x92'}, {"ldblquote", '\x93'},
                  {"rdblquote", '\x94'}, {"bullet", '\x95'}, {"endash", '\x96'},
                  {"emdash", '\x97'}};
    for (const auto& named : kNamed)
        if (named.word == word)
            return named.character;
    return 0;
}

bool PlainTextReader::Skipped(const Token& token) {
    if (skip_ == 0)
        return false;
    switch (token.kind) {
    case TokenKind::HexByte:
    case TokenKind::ControlSymbol:
    case TokenKind::ControlWord:
        --skip_;
        return true;
    default:
        return false;
    }
}

void PlainTextReader::Append(std::string& out, const Token& token) {
    // The most fallback characters "\ucN" may ask to skip, as the parser
    // allows.
    constexpr int kMaxSkip = 16;
    switch (token.kind) {
    case TokenKind::GroupStart:
        uc_.push_back(uc_.back());
        skip_ = 0;
        return;
    case TokenKind::GroupEnd:
        if (uc_.size() > 1)
            uc_.pop_back();
        skip_ = 0;
        return;
    case TokenKind::LineBreak:
        return;
    case TokenKind::Text: {
        std::string_view text = token.raw;
        const auto dropped = std::min(static_cast<std::size_t>(skip_), text.size());
        skip_ -= static_cast<int>(dropped);
        if (dropped < text.size()) {
            out += text.substr(dropped);
            pendingHigh_ = false;
        }
        return;
    }
    default:
        break;
    }
    if (Skipped(token))
        return;
    if (token.kind != TokenKind::ControlWord) {
        AppendTokenText(out, token, tabIsText_);
        return;
    }
    if (token.name == "uc") {
        uc_.back() = std::clamp(token.param, 0, kMaxSkip);
        return;
    }
    if (token.name == "u") {
        // A signed 16-bit number: negative values stand for the upper half.
        const int value = token.param < 0 ? token.param + 0x10000 : token.param;
        const bool high = value >= 0xD800 && value <= 0xDBFF;
        const bool low = value >= 0xDC00 && value <= 0xDFFF;
        if (!(low && pendingHigh_)) { // a pair's "?" came with its high half
            const int byte =
                high || low ? -1 : platform::UnicodeToCp1252(static_cast<char32_t>(value));
            out += byte >= 0 ? static_cast<char>(byte) : '?';
        }
        pendingHigh_ = high;
        skip_ = uc_.back();
        return;
    }
    pendingHigh_ = false;
    if (const char named = NamedCharacter(token.name))
        out += named;
    else
        AppendTokenText(out, token, tabIsText_);
}

std::string TokensText(const std::vector<Token>& tokens, std::size_t from, std::size_t to) {
    std::string text;
    PlainTextReader reader;
    for (std::size_t i = from; i < to && i < tokens.size(); ++i)
        reader.Append(text, tokens[i]);
    return text;
}

} // namespace rtf
