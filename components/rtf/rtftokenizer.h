#pragma once
// Lexical layer of the RTF engine. The tokenizer cuts RTF bytes into tokens
// that point into the source; concatenating the raw bytes of every token gives
// the input back byte for byte, which is what lets the token-level edits copy
// untouched bytes verbatim. It never throws: bytes that do not form a valid
// token become text. The only input it refuses is nesting deeper than
// kMaxGroupDepth, which it reports through Error() and stops there.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rtf {

enum class TokenKind : std::uint8_t {
    GroupStart,    // "{"
    GroupEnd,      // "}"
    ControlWord,   // "\name", "\name-12", with its delimiting space if there is one
    ControlSymbol, // "\{", "\}", "\\", "\~", "\-", "\_", "\*", "\|", "\:" ... (`symbol`)
    HexByte,       // "\'hh"; `param` holds the byte value (0..255)
    Text,          // a run of ordinary bytes (never CR, LF, "\", "{", "}")
    LineBreak,     // CR and LF bytes, which RTF ignores
    BinaryData,    // the bytes that follow "\binN" (N clipped to the data present)
};

struct Token {
    TokenKind kind = TokenKind::Text;
    bool hasParam = false;  // ControlWord: a numeric parameter was written
    char symbol = 0;        // ControlSymbol: the character after "\"
    std::int32_t param = 0; // ControlWord parameter (clamped to 32 bits), HexByte value
    std::string_view raw;   // the token's bytes in the source, delimiter included
    std::string_view name;  // ControlWord: the letters after "\" (case kept)

    bool Is(std::string_view word) const { return kind == TokenKind::ControlWord && name == word; }
    bool IsSymbol(char c) const { return kind == TokenKind::ControlSymbol && symbol == c; }
    // Offset of the token in the source the lexer was given.
    std::size_t Offset(std::string_view source) const {
        return static_cast<std::size_t>(raw.data() - source.data());
    }
};

// How a lexer reads its source; the defaults are RTF's own rules. Topic
// lines as the editor stores them never hold binary data or deep nesting,
// and the scanners of their typed markup read them byte for byte with both
// rules off.
struct LexerOptions {
    // The N bytes after "\binN" are one BinaryData token; off, they are read
    // as RTF like any other bytes.
    bool binaryData = true;
    // Nesting deeper than kMaxGroupDepth is refused; off, the lexer only
    // counts it (for scanners that build nothing on groups).
    bool limitDepth = true;
};

// Streaming tokenizer: no allocation per token, so the parser can run at
// memory speed. Depth() is the group depth after the last token returned.
class Lexer {
public:
    explicit Lexer(std::string_view source, LexerOptions options = {})
        : source_(source), options_(options) {}

    // Fills `token` and returns true, or returns false at the end of the input
    // or when nesting went beyond kMaxGroupDepth (then Error() says so).
    bool Next(Token& token);

    int Depth() const { return depth_; }
    std::size_t Position() const { return pos_; }
    std::string_view Source() const { return source_; }
    // Empty unless the input was refused.
    const std::string& Error() const { return error_; }

private:
    std::string_view source_;
    LexerOptions options_;
    std::size_t pos_ = 0;
    int depth_ = 0;
    std::size_t pendingBinary_ = 0; // bytes of \bin data still to hand out
    std::string error_;
};

// All tokens of `source`. On refused input the tokens up to the fault are
// returned and `error` (when given) receives the message.
std::vector<Token> Tokenize(std::string_view source, std::string* error = nullptr,
                            LexerOptions options = {});
// As Tokenize, but refused input throws ERtfError.
std::vector<Token> TokenizeOrThrow(std::string_view source);

// The message used when nesting is too deep (includes the byte offset).
std::string NestingTooDeepMessage(std::size_t offset);

// Builds RTF text from tokens and pieces. It remembers whether the last thing
// written was a control word without a delimiter and puts a space before text
// that would otherwise run into it.
class TokenWriter {
public:
    // Copies a token's bytes unchanged.
    void Raw(const Token& token);
    // Copies bytes unchanged (they must be valid RTF in context).
    void Raw(std::string_view bytes);
    // "\name" or "\nameN"; the delimiter is added lazily when needed.
    void ControlWord(std::string_view name);
    void ControlWord(std::string_view name, std::int32_t param);
    // A control word with the parameter of `token` replaced, keeping the
    // token's own delimiter (space or none) so that the rest stays byte-exact.
    void ControlWordLike(const Token& token, std::int32_t newParam);
    // A control word named `name` in place of `token`, keeping the token's
    // parameter (when it had one) and its delimiter.
    void ControlWordRenamed(const Token& token, std::string_view name);
    void GroupStart();
    void GroupEnd();
    // Plain Windows-1252 text: "\", "{", "}" escaped, bytes >= 0x80 and
    // control characters as "\'hh", tab as "\tab".
    void Text(std::string_view plain);
    // Ends the current line with CR LF (RTF ignores it).
    void LineBreak();

    // Always put a blank between a control word and text that follows it,
    // as rich-edit output does, even where RTF would not need one: simple
    // readers that skip a control word up to the next blank then keep the text.
    void SetAlwaysDelimit(bool on) { alwaysDelimit_ = on; }

    // Drops what was written after the first `size` bytes, which must end
    // between two tokens; what follows is delimited as after those bytes.
    void Truncate(std::size_t size);

    std::string& Result() { return out_; }
    std::string Take() { return std::move(out_); }

private:
    void BeforeText(std::string_view next);
    // What the last control word written would swallow: after a bare name,
    // letters, digits and a "-" before a digit; after a parameter, digits.
    // A blank always joins it (it would be taken as the delimiter).
    enum class Open : std::uint8_t { None, Name, Param };
    std::string out_;
    Open needsDelimiter_ = Open::None;
    bool alwaysDelimit_ = false;
};

// The RTF without its CR and LF bytes, which mean nothing to a reader; the
// data of "\binN" is left as it is, and a control word that a line break
// ended gets a blank instead.
std::string StripLineBreaks(std::string_view rtf);

// Escapes plain Windows-1252 text for RTF as TokenWriter::Text does.
std::string EscapeText(std::string_view plain);

// Escapes only what RTF text cannot hold as it is: "\", "{" and "}", and
// bytes of 128 or more as "\'XX" (upper-case hex); control characters and
// tabs stay as they are.
std::string EscapeSpecials(std::string_view text);

} // namespace rtf
