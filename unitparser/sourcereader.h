#pragma once
// The character reader and tokenizer under the declaration parsers. Source
// text is single-byte (Windows-1252 or any ASCII superset); comments are not
// thrown away but collected, because the comment that follows a declaration
// becomes its description in the generated help.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace unitparser {

// Every parse failure: the message is what the user sees.
class EParseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// How the tokenizer sees one byte. Bytes of 128 and above are all symbols,
// decided by this table and never by the C library's (signed, locale
// dependent) classification.
enum class TCharClass : std::uint8_t { Symbol, Blank, Letter, Digit };
TCharClass ClassifyChar(unsigned char c);

// ASCII lower case: keywords are ASCII, identifiers keep their own case.
std::string LowerAscii(std::string_view text);

class TSourceReader {
public:
    // Largest source accepted; a unit is text, so anything larger is refused
    // rather than read into memory.
    static constexpr std::size_t MaxSourceSize = 256u * 1024u * 1024u;

    TSourceReader() = default;
    // Takes the whole unit text; lines may end in CR LF, LF or CR.
    void Open(std::string text);
    // Reads the file; raises EParseError when it cannot be read or is too large.
    void OpenFile(const std::string& fileName);

    // The next character; the start of each line counts as one blank and
    // empty lines are skipped. At the end of the text one last blank is
    // delivered, after which "Unexpected end of file" is raised.
    char NextChar();
    // Reads the next token into Token() and returns it; CommentText() then
    // holds the comments met since the previous token.
    const std::string& NextToken();
    // The description built from the comments before the current token:
    // trimmed, tabs as blanks, blanks after a blank or line break dropped; a
    // single blank when there is none.
    std::string TakeDescription() const;

    const std::string& Token() const { return token; }
    const std::string& CommentText() const { return commentText; }
    int LineNo() const { return lineNo; }
    char CurChar() const { return curChar; }

    // "Error in line %d: " and the text, as an exception ready to throw.
    EParseError Error(std::string_view text) const;

private:
    bool ReadLine();
    void StepBack() { --column; }

    std::string source;
    std::size_t sourcePos = 0;
    bool atEnd = false;

    int lineNo = 0;
    std::string curLine;
    int column = 1;
    char curChar = ' ';
    std::string token;
    std::string commentText;
};

// Builds the description of a declaration from raw comment text.
std::string BuildDescription(std::string_view commentText);

} // namespace unitparser
