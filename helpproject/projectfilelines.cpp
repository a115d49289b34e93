#include "helpproject/projectfilelines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "helpproject/brindlewovenerror.h"
#include "helpproject/helputils.h"
#include "platform/errors.h"
#include "platform/fileio.h"

namespace helpproject {

namespace {

// The first CR or LF at or after `from`, or the size. find_first_of runs a
// memchr over the set for every byte, which made it the hot spot of loading
// and saving large projects.
std::size_t LineBreakAt(std::string_view text, std::size_t from) {
    const char* p = text.data() + from;
    const char* const end = text.data() + text.size();
    while (p != end && *p != '\r' && *p != '\n')
        ++p;
    return static_cast<std::size_t>(p - text.data());
}

} // namespace

std::string ReadProjectFileBytes(const std::string& fileName, std::size_t maxLineBytes) {
    // Non-blocking, so that a FIFO nobody writes to is refused, not waited on.
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        throw EProjectError(platform::SystemErrorMessage("Cannot open", fileName, errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        throw EProjectError(platform::SystemErrorMessage("Cannot read", fileName, err));
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        throw EProjectError(fileName + " is not a Brindlewoven project file");
    }
    std::string bytes;
    // A large file of short lines is read whole anyway; a huge one stops at
    // its first overlong line.
    bytes.reserve(static_cast<std::size_t>(
        std::min<off_t>(std::max<off_t>(st.st_size, 0), static_cast<off_t>(maxLineBytes))));
    std::size_t line = 1;
    std::size_t lineLength = 0;
    bool afterCr = false;
    constexpr std::size_t kChunk = std::size_t{1} << 20;
    for (;;) {
        const std::size_t at = bytes.size();
        bytes.resize(at + kChunk);
        const ssize_t n = ::read(fd, bytes.data() + at, kChunk);
        if (n < 0 && errno == EINTR) {
            bytes.resize(at);
            continue;
        }
        if (n <= 0) {
            const int err = n < 0 ? errno : 0;
            bytes.resize(at);
            ::close(fd);
            if (err != 0)
                throw EProjectError(platform::SystemErrorMessage("Cannot read", fileName, err));
            return bytes;
        }
        bytes.resize(at + static_cast<std::size_t>(n));
        for (std::size_t i = at; i < bytes.size(); ++i) {
            const char c = bytes[i];
            if (c == '\r' || c == '\n') {
                if (!(c == '\n' && afterCr))
                    ++line;
                afterCr = c == '\r';
                lineLength = 0;
                continue;
            }
            afterCr = false;
            if (++lineLength > maxLineBytes) {
                ::close(fd);
                throw EProjectError(fileName + ", line " + std::to_string(line) +
                                    ": the line is longer than " +
                                    platform::SizeLimitText(maxLineBytes));
            }
        }
    }
}

TProjectFileReader::TProjectFileReader(std::string_view bytes, std::string fileName)
    : bytes_(bytes), fileName_(std::move(fileName)) {}

void TProjectFileReader::Fail(const std::string& what) const {
    throw EProjectError(fileName_ + ", line " + std::to_string(line_) + ": " + what);
}

std::string TProjectFileReader::ReadLine() {
    ++line_;
    if (pos_ >= bytes_.size())
        Fail("Read beyond end of file");
    const std::size_t end = LineBreakAt(bytes_, pos_);
    std::string text(bytes_.substr(pos_, end - pos_));
    pos_ = end;
    if (pos_ < bytes_.size() && bytes_[pos_] == '\r')
        ++pos_;
    if (pos_ < bytes_.size() && bytes_[pos_] == '\n' && (end == pos_ || bytes_[end] == '\r'))
        ++pos_;
    return text;
}

std::int32_t TProjectFileReader::ReadInteger() {
    std::string text = ReadLine();
    std::int32_t value = 0;
    if (!TryParseInt32(text, value))
        Fail("Invalid numeric input \"" + text.substr(0, 40) + "\"");
    return value;
}

bool TProjectFileReader::ReadBoolean() {
    std::string text = ReadLine();
    return !text.empty() && text[0] == 'T';
}

std::int32_t TProjectFileReader::ReadCount() {
    std::int32_t count = ReadInteger();
    if (count < 0)
        Fail("Invalid count " + std::to_string(count));
    return count;
}

void TProjectFileReader::ReadStrings(TStringList& list) {
    list.clear();
    std::int32_t count = ReadCount();
    // The count is outside input: lines are appended as they are read, so a
    // huge count ends at the end of the file, not in a huge allocation.
    for (std::int32_t i = 0; i < count; ++i)
        list.push_back(ReadLine());
}

void TProjectFileWriter::WriteLine(std::string_view text) {
    if (LineBreakAt(text, 0) == text.size())
        out_.append(text);
    else
        out_.append(StripLineBreaks(text));
    out_.append("\r\n");
}

void TProjectFileWriter::WriteInteger(std::int64_t value) {
    WriteLine(std::to_string(value));
}

void TProjectFileWriter::WriteBoolean(bool value) {
    WriteLine(value ? "TRUE" : "FALSE");
}

void TProjectFileWriter::WriteStrings(const TStringList& list) {
    WriteInteger(static_cast<std::int64_t>(list.size()));
    for (const auto& item : list)
        WriteLine(item);
}

} // namespace helpproject
