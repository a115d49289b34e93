#pragma once
// The line format of project files: one value per line, integers in
// decimal, Booleans "TRUE"/"FALSE", string lists as a count line and items.
// The reader names the file and the line in every error.
#include <cstdint>
#include <string>
#include <string_view>

#include "helpproject/brindlewoventopic.h"

namespace helpproject {

// No line of a project file is longer than this: the longest the program
// writes is a paragraph of topic text with its pictures.
inline constexpr std::size_t kMaxProjectLineBytes = std::size_t{128} << 20;

// The bytes of a project file. A line longer than `maxLineBytes` stops the
// read as soon as it is met, with the file name and the line's number, so
// that a huge file of one line is never read whole; so does anything but a
// regular file.
std::string ReadProjectFileBytes(const std::string& fileName,
                                 std::size_t maxLineBytes = kMaxProjectLineBytes);

class TProjectFileReader {
public:
    // `bytes` must outlive the reader. Lines end with CR, LF or CR LF.
    TProjectFileReader(std::string_view bytes, std::string fileName);

    bool AtEnd() const { return pos_ >= bytes_.size(); }
    // The number of the line read last (1-based).
    std::size_t LineNumber() const { return line_; }
    const std::string& FileName() const { return fileName_; }

    std::string ReadLine();
    std::int32_t ReadInteger();
    // True exactly when the line starts with an upper-case "T".
    bool ReadBoolean();
    // A count that must not be negative.
    std::int32_t ReadCount();
    // Empties the list, then reads the count line and that many lines.
    void ReadStrings(TStringList& list);

    [[noreturn]] void Fail(const std::string& what) const;

private:
    std::string_view bytes_;
    std::string fileName_;
    std::size_t pos_ = 0;
    std::size_t line_ = 0;
};

class TProjectFileWriter {
public:
    explicit TProjectFileWriter(std::string& out) : out_(out) {}
    // CR and LF inside the value would break the line format: they are
    // dropped.
    void WriteLine(std::string_view text);
    void WriteInteger(std::int64_t value);
    void WriteBoolean(bool value);
    void WriteStrings(const TStringList& list);

private:
    std::string& out_;
};

} // namespace helpproject
