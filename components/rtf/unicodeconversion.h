#pragma once
// The read conversion of the rich-edit control: a file of UTF-16 text (either
// byte order, recognised by its byte-order mark) loads as Windows-1252, and
// every other file loads as it is. Zero bytes become the middle dot 0xB7 so
// that text with embedded NULs loads whole; characters that Windows-1252
// cannot hold become "?".
#include <cstddef>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace rtf {

class TUnicodeConversion {
public:
    // Delivers up to `count` bytes of converted text into `buffer` and
    // returns how many; 0 at the end of the stream. The first call of a load
    // checks for a byte-order mark (only when at least 2 bytes remain).
    std::size_t ConvertReadStream(std::istream& stream, char* buffer, std::size_t count);

private:
    static constexpr std::size_t kRawSize = 32768;
    static constexpr std::size_t kAnsiSize = 65536;
    bool firstCall_ = true;
    bool utf16_ = false;
    bool swapBytes_ = false;
    std::vector<char> raw_;
    std::string ansi_; // converted bytes not handed out yet
    std::size_t ansiPos_ = 0;
    int pendingByte_ = -1;     // an odd byte left over from the last raw read
    char16_t pendingHigh_ = 0; // a high surrogate waiting for its partner
};

// Converts a whole file's bytes as the control's load does.
std::string ConvertReadBytes(std::string_view bytes);
// The same, in the buffer that holds them (the text never grows: a UTF-16
// unit gives at most one byte).
void ConvertReadBytesInPlace(std::string& bytes);

} // namespace rtf
