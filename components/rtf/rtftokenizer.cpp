#include "components/rtf/rtftokenizer.h"

#include <array>
#include <cstdint>
#include <limits>

#include "components/rtf/rtferror.h"
#include "platform/textutil.h"

namespace rtf {

namespace {

// Bytes that end a text token.
constexpr std::array<bool, 256> MakeSpecials() {
    std::array<bool, 256> table{};
    table[static_cast<unsigned char>('{')] = true;
    table[static_cast<unsigned char>('}')] = true;
    table[static_cast<unsigned char>('\\')] = true;
    table[static_cast<unsigned char>('\r')] = true;
    table[static_cast<unsigned char>('\n')] = true;
    return table;
}
constexpr std::array<bool, 256> kSpecial = MakeSpecials();

inline bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
inline bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::string NestingTooDeepMessage(std::size_t offset) {
    return "The RTF text is nested more than " + std::to_string(kMaxGroupDepth) +
           " groups deep (at byte " + std::to_string(offset) + ")";
}

bool Lexer::Next(Token& token) {
    const std::size_t size = source_.size();
    if (!error_.empty() || pos_ >= size)
        return false;
    const char* data = source_.data();
    const std::size_t start = pos_;
    token.hasParam = false;
    token.symbol = 0;
    token.param = 0;
    token.name = {};

    if (pendingBinary_ > 0) {
        std::size_t n = pendingBinary_ < size - pos_ ? pendingBinary_ : size - pos_;
        pendingBinary_ = 0;
        pos_ += n;
        token.kind = TokenKind::BinaryData;
        token.raw = source_.substr(start, n);
        return true;
    }

    const char c = data[pos_];
    switch (c) {
    case '{':
        if (options_.limitDepth && depth_ >= kMaxGroupDepth) {
            error_ = NestingTooDeepMessage(pos_);
            return false;
        }
        ++depth_;
        ++pos_;
        token.kind = TokenKind::GroupStart;
        token.raw = source_.substr(start, 1);
        return true;
    case '}':
        if (depth_ > 0)
            --depth_;
        ++pos_;
        token.kind = TokenKind::GroupEnd;
        token.raw = source_.substr(start, 1);
        return true;
    case '\r':
    case '\n':
        while (pos_ < size && (data[pos_] == '\r' || data[pos_] == '\n'))
            ++pos_;
        token.kind = TokenKind::LineBreak;
        token.raw = source_.substr(start, pos_ - start);
        return true;
    case '\\':
        break;
    default: {
        ++pos_;
        while (pos_ < size && !kSpecial[static_cast<unsigned char>(data[pos_])])
            ++pos_;
        token.kind = TokenKind::Text;
        token.raw = source_.substr(start, pos_ - start);
        return true;
    }
    }

    // A backslash.
    if (pos_ + 1 >= size) {
        // A lone backslash at the very end is text.
        ++pos_;
        token.kind = TokenKind::Text;
        token.raw = source_.substr(start, 1);
        return true;
    }
    const char n = data[pos_ + 1];
    if (IsLetter(n)) {
        std::size_t p = pos_ + 1;
        while (p < size && IsLetter(data[p]))
            ++p;
        token.kind = TokenKind::ControlWord;
        token.name = source_.substr(pos_ + 1, p - pos_ - 1);
        bool negative = false;
        if (p + 1 < size && data[p] == '-' && IsDigit(data[p + 1])) {
            negative = true;
            ++p;
        }
        if (p < size && IsDigit(data[p])) {
            std::int64_t value = 0;
            constexpr std::int64_t kCap = std::int64_t{1} << 40;
            while (p < size && IsDigit(data[p])) {
                if (value < kCap)
                    value = value * 10 + (data[p] - '0');
                ++p;
            }
            if (negative)
                value = -value;
            if (value > std::numeric_limits<std::int32_t>::max())
                value = std::numeric_limits<std::int32_t>::max();
            if (value < std::numeric_limits<std::int32_t>::min())
                value = std::numeric_limits<std::int32_t>::min();
            token.hasParam = true;
            token.param = static_cast<std::int32_t>(value);
        }
        if (p < size && data[p] == ' ')
            ++p;
        pos_ = p;
        token.raw = source_.substr(start, pos_ - start);
        if (options_.binaryData && token.hasParam && token.param > 0 && token.name == "bin")
            pendingBinary_ = static_cast<std::size_t>(token.param);
        return true;
    }
    if (n == '\'') {
        if (pos_ + 3 < size) {
            const int hi = platform::HexDigitValue(data[pos_ + 2]);
            const int lo = platform::HexDigitValue(data[pos_ + 3]);
            if (hi >= 0 && lo >= 0) {
                pos_ += 4;
                token.kind = TokenKind::HexByte;
                token.param = hi * 16 + lo;
                token.raw = source_.substr(start, 4);
                return true;
            }
        }
        // A broken hex escape is kept as text.
        pos_ += 2;
        token.kind = TokenKind::Text;
        token.raw = source_.substr(start, 2);
        return true;
    }
    pos_ += 2;
    token.kind = TokenKind::ControlSymbol;
    token.symbol = n;
    token.raw = source_.substr(start, 2);
    return true;
}

std::vector<Token> Tokenize(std::string_view source, std::string* error, LexerOptions options) {
    std::vector<Token> tokens;
    tokens.reserve(source.size() / 6 + 4);
    Lexer lexer(source, options);
    Token token;
    while (lexer.Next(token))
        tokens.push_back(token);
    if (error)
        *error = lexer.Error();
    return tokens;
}

std::vector<Token> TokenizeOrThrow(std::string_view source) {
    std::string error;
    std::vector<Token> tokens = Tokenize(source, &error);
    if (!error.empty())
        throw ERtfError(error);
    return tokens;
}

// ---------------------------------------------------------------- writer

namespace {

// Whether `text` ends in a control word that no delimiter closed yet, and
// whether it ends with its name or its parameter.
int OpenControlWordAtEnd(std::string_view text) {
    std::size_t i = text.size();
    while (i > 0 && IsDigit(text[i - 1]))
        --i;
    const bool digits = i < text.size();
    if (digits && i > 0 && text[i - 1] == '-')
        --i;
    std::size_t letters = i;
    while (i > 0 && IsLetter(text[i - 1]))
        --i;
    if (i == letters || i == 0 || text[i - 1] != '\\')
        return 0;
    // The backslash must not itself be escaped.
    std::size_t slashes = 0;
    std::size_t j = i - 1;
    while (j > 0 && text[j - 1] == '\\') {
        ++slashes;
        --j;
    }
    if (slashes % 2 != 0)
        return 0;
    return digits ? 2 : 1;
}

} // namespace

void TokenWriter::BeforeText(std::string_view next) {
    if (needsDelimiter_ != Open::None && !next.empty()) {
        const char first = next.front();
        const bool isText =
            first != '\\' && first != '{' && first != '}' && first != '\r' && first != '\n';
        bool joins = first == ' ' || IsDigit(first);
        if (needsDelimiter_ == Open::Name)
            joins =
                joins || IsLetter(first) || (first == '-' && next.size() > 1 && IsDigit(next[1]));
        if ((alwaysDelimit_ && isText) || joins)
            out_ += ' ';
    }
    needsDelimiter_ = Open::None;
}

void TokenWriter::Raw(const Token& token) {
    switch (token.kind) {
    case TokenKind::Text:
        BeforeText(token.raw);
        out_ += token.raw;
        break;
    case TokenKind::ControlWord:
        out_ += token.raw;
        needsDelimiter_ = token.raw.back() == ' ' ? Open::None
                          : token.hasParam        ? Open::Param
                                                  : Open::Name;
        break;
    case TokenKind::LineBreak:
        out_ += token.raw; // a line break ends a control word like a blank does
        needsDelimiter_ = Open::None;
        break;
    case TokenKind::BinaryData:
        out_ += token.raw;
        needsDelimiter_ = Open::None;
        break;
    default:
        out_ += token.raw;
        needsDelimiter_ = Open::None;
        break;
    }
}

void TokenWriter::Raw(std::string_view bytes) {
    if (bytes.empty())
        return;
    BeforeText(bytes);
    out_ += bytes;
    const int open = OpenControlWordAtEnd(bytes);
    needsDelimiter_ = open == 2 ? Open::Param : open == 1 ? Open::Name : Open::None;
}

void TokenWriter::Truncate(std::size_t size) {
    if (size >= out_.size())
        return;
    out_.resize(size);
    const int open = OpenControlWordAtEnd(out_);
    needsDelimiter_ = open == 2 ? Open::Param : open == 1 ? Open::Name : Open::None;
}

void TokenWriter::ControlWord(std::string_view name) {
    out_ += '\\';
    out_ += name;
    needsDelimiter_ = Open::Name;
}

void TokenWriter::ControlWord(std::string_view name, std::int32_t param) {
    out_ += '\\';
    out_ += name;
    out_ += std::to_string(param);
    needsDelimiter_ = Open::Param;
}

void TokenWriter::ControlWordLike(const Token& token, std::int32_t newParam) {
    out_ += '\\';
    out_ += token.name;
    out_ += std::to_string(newParam);
    if (!token.raw.empty() && token.raw.back() == ' ') {
        out_ += ' ';
        needsDelimiter_ = Open::None;
    } else {
        needsDelimiter_ = Open::Param;
    }
}

void TokenWriter::ControlWordRenamed(const Token& token, std::string_view name) {
    out_ += '\\';
    out_ += name;
    if (token.hasParam)
        out_ += std::to_string(token.param);
    if (!token.raw.empty() && token.raw.back() == ' ') {
        out_ += ' ';
        needsDelimiter_ = Open::None;
    } else {
        needsDelimiter_ = token.hasParam ? Open::Param : Open::Name;
    }
}

void TokenWriter::GroupStart() {
    out_ += '{';
    needsDelimiter_ = Open::None;
}

void TokenWriter::GroupEnd() {
    out_ += '}';
    needsDelimiter_ = Open::None;
}

void TokenWriter::LineBreak() {
    out_ += "\r\n";
}

void TokenWriter::Text(std::string_view plain) {
    static const char* const kHex = "0123456789abcdef";
    for (std::size_t i = 0; i < plain.size(); ++i) {
        const char ch = plain[i];
        const auto u = static_cast<unsigned char>(ch);
        switch (ch) {
        case '\\':
        case '{':
        case '}':
            needsDelimiter_ = Open::None;
            out_ += '\\';
            out_ += ch;
            continue;
        case '\t':
            ControlWord("tab");
            continue;
        case '\x0B':
            ControlWord("line");
            continue;
        default:
            break;
        }
        if (u >= 0x80 || u < 0x20) {
            needsDelimiter_ = Open::None;
            out_ += "\\'";
            out_ += kHex[u >> 4];
            out_ += kHex[u & 15];
            continue;
        }
        if (needsDelimiter_ != Open::None)
            BeforeText(plain.substr(i));
        out_ += ch;
    }
}

std::string StripLineBreaks(std::string_view rtf) {
    if (rtf.find_first_of("\r\n") == std::string_view::npos)
        return std::string(rtf);
    TokenWriter writer;
    Lexer lexer(rtf);
    Token t;
    std::size_t done = 0;
    while (lexer.Next(t)) {
        if (t.kind == TokenKind::LineBreak)
            continue;
        writer.Raw(t);
        done = t.Offset(rtf) + t.raw.size();
    }
    writer.Raw(rtf.substr(done)); // what a refused nesting left over
    return writer.Take();
}

std::string EscapeText(std::string_view plain) {
    TokenWriter writer;
    writer.Text(plain);
    return writer.Take();
}

std::string EscapeSpecials(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (ch == '\\' || ch == '{' || ch == '}') {
            out += '\\';
            out += ch;
        } else if (c >= 128) {
            out += "\\'";
            out += platform::HexUpper(c, 2);
        } else {
            out += ch;
        }
    }
    return out;
}

} // namespace rtf
