#include "setup/packagereader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "platform/littleendian.h"
#include "platform/pathnames.h"

namespace setup {

namespace {

// A compressed record of at most `cap` inflated bytes can never need more
// than this many compressed bytes (stored blocks cost 5 bytes per 64 KiB).
std::uint64_t MaxCompressedSize(std::size_t cap) {
    return cap + cap / 1000 + 65536;
}

void WriteAll(int fd, const void* data, std::size_t count) {
    const auto* p = static_cast<const unsigned char*>(data);
    while (count > 0) {
        ssize_t n = ::write(fd, p, count);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw ESetupError(std::strerror(errno));
        }
        p += n;
        count -= static_cast<std::size_t>(n);
    }
}

std::string ExtractionErrorMessage(const std::string& path, const std::string& reason) {
    return "An error occurred while trying to extract " + path + " from the setup package:\r" +
           reason;
}

} // namespace

std::string ExtractFileName(const std::string& path) {
    return platform::ExtractFileName(path);
}

std::string ExtractFileDir(const std::string& path) {
    return platform::ContainingFolder(path);
}

std::string VolumeFileName(const std::string& packagePath, std::uint32_t number) {
    if (number <= 1)
        return packagePath;
    std::size_t slash = packagePath.find_last_of("/\\");
    std::size_t dot = packagePath.find_last_of('.');
    std::string base = packagePath;
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        base = packagePath.substr(0, dot);
    char digits[16];
    std::snprintf(digits, sizeof digits, "%03u", number);
    return base + "." + digits;
}

// The bytes of one packaged item: a window of the package stream of a known
// length. Asking for more than the package holds is damage.
class TPackageReader::LimitedSource : public TByteSource {
public:
    LimitedSource(TPackageReader& reader, std::uint64_t length)
        : reader_(reader), remaining_(length) {}
    std::size_t Read(void* buffer, std::size_t count) override {
        count = static_cast<std::size_t>(std::min<std::uint64_t>(count, remaining_));
        if (count == 0)
            return 0;
        reader_.Read(buffer, count);
        remaining_ -= count;
        return count;
    }
    std::uint64_t Remaining() const { return remaining_; }

private:
    TPackageReader& reader_;
    std::uint64_t remaining_;
};

namespace {

// Bytes already read, served again.
class TMemorySource : public TByteSource {
public:
    TMemorySource(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}
    std::size_t Read(void* buffer, std::size_t count) override {
        count = std::min(count, size_ - at_);
        std::memcpy(buffer, data_ + at_, count);
        at_ += count;
        return count;
    }
    std::size_t Remaining() const { return size_ - at_; }

private:
    const unsigned char* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

} // namespace

TPackageReader::TPackageReader() : buffer_(new unsigned char[kBufferSize]) {}

TPackageReader::~TPackageReader() {
    ClosePackage();
    delete[] buffer_;
}

void TPackageReader::SetMessages(const TUiStrings* ui, std::string publisherText) {
    ui_ = ui;
    publisherText_ = std::move(publisherText);
}

void TPackageReader::Damaged(const std::string& detail) const {
    throw EPackageDamaged("The setup package " + ExtractFileName(path_) + " is damaged (" + detail +
                          ").");
}

void TPackageReader::ClosePackage() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    bufferStart_ = bufferEnd_ = 0;
}

void TPackageReader::OpenPackage(const std::string& path) {
    ClosePackage();
    path_ = path;
    volumeSize_ = 0;
    inflatedTotal_ = 0;
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
        throw ESetupError("Unable to open file " + path);
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        ClosePackage();
        throw ESetupError("Unable to open file " + path);
    }
    volume_ = 1;
    volumeFileSize_ = static_cast<std::uint64_t>(st.st_size);
    fileOffset_ = 0;
    if (volumeFileSize_ < kOffsetPosition + 4)
        throw EInvalidPackage(ExtractFileName(path) + " is not a valid setup package (it is too "
                                                      "short to hold the package offset).");
    SeekInVolume(kOffsetPosition);
    dataOffset_ = ReadDWord();
    if (dataOffset_ > volumeFileSize_ || volumeFileSize_ - dataOffset_ < 4)
        throw EInvalidPackage(ExtractFileName(path) +
                              " is not a valid setup package (the package offset " +
                              std::to_string(dataOffset_) + " lies outside the file).");
    SeekInVolume(dataOffset_);
    auto size = static_cast<std::int32_t>(ReadDWord());
    if (size > 0) {
        if (static_cast<std::uint64_t>(size) < static_cast<std::uint64_t>(dataOffset_) + 4)
            throw EInvalidPackage(ExtractFileName(path) +
                                  " is not a valid setup package (the volume size " +
                                  std::to_string(size) +
                                  " is smaller than its first volume's "
                                  "header).");
        if (volumeFileSize_ > static_cast<std::uint64_t>(size))
            Damaged("volume 1 is larger than the volume size");
    }
    volumeSize_ = size;
}

std::uint64_t TPackageReader::Position() const {
    std::uint64_t offset = fileOffset_ - (bufferEnd_ - bufferStart_);
    if (volumeSize_ > 0)
        return static_cast<std::uint64_t>(volume_ - 1) * static_cast<std::uint64_t>(volumeSize_) +
               offset;
    return offset;
}

void TPackageReader::SeekInVolume(std::uint64_t offset) {
    if (offset > volumeFileSize_)
        Damaged("position " + std::to_string(offset) + " lies beyond the end of volume " +
                std::to_string(volume_));
    std::uint64_t bufferedFrom = fileOffset_ - bufferEnd_;
    if (bufferEnd_ > 0 && offset >= bufferedFrom && offset <= fileOffset_) {
        bufferStart_ = static_cast<std::size_t>(offset - bufferedFrom);
        return;
    }
    if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0)
        Damaged(std::string("cannot seek: ") + std::strerror(errno));
    fileOffset_ = offset;
    bufferStart_ = bufferEnd_ = 0;
}

void TPackageReader::OpenVolume(std::uint32_t number) {
    std::string name = VolumeFileName(path_, number);
    if (number > 1 && !volumeFolder_.empty())
        name = volumeFolder_ + "/" + ExtractFileName(name);
    int fd = -1;
    for (;;) {
        fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0)
            break;
        // Not in the folder the person named: beside volume 1, where the
        // volumes normally are.
        const std::string beside = VolumeFileName(path_, number);
        if (errno == ENOENT && name != beside) {
            fd = ::open(beside.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd >= 0) {
                name = beside;
                break;
            }
            errno = ENOENT;
        }
        if (errno != ENOENT)
            Damaged("volume " + ExtractFileName(name) +
                    " cannot be opened: " + std::strerror(errno));
        std::string prompt;
        if (ui_ != nullptr)
            prompt = ui_->Format(ui::kMissingVolume, {static_cast<std::int64_t>(number)});
        // Without anyone to ask (silent mode) the package's own prompt
        // becomes the message, with the file it looked for.
        if (prompter_ == nullptr)
            throw ESetupError(prompt.empty() ? "The setup package needs its volume " +
                                                   ExtractFileName(name) + ", which is missing."
                                             : prompt + " (" + ExtractFileName(name) + ")");
        if (prompt.empty())
            prompt = "Please insert volume " + std::to_string(number) + " (" +
                     ExtractFileName(name) + ").";
        std::string asked = name;
        if (!prompter_->AskForVolume(number, asked, prompt))
            throw EAbortInstallation();
        if (!asked.empty() && asked != name) {
            volumeFolder_ = ExtractFileDir(asked);
            name = volumeFolder_ + "/" + ExtractFileName(name);
        }
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        Damaged("volume " + ExtractFileName(name) + " is not a file");
    }
    ClosePackage();
    fd_ = fd;
    volume_ = number;
    volumeFileSize_ = static_cast<std::uint64_t>(st.st_size);
    fileOffset_ = 0;
    if (volumeSize_ > 0 && volumeFileSize_ > static_cast<std::uint64_t>(volumeSize_))
        Damaged("volume " + ExtractFileName(name) + " is larger than the volume size");
}

void TPackageReader::SeekPackage(std::uint64_t position) {
    if (fd_ < 0 && volume_ == 0)
        throw ESetupError("The setup package is not open.");
    if (volumeSize_ <= 0) {
        if (volume_ != 1 || fd_ < 0)
            OpenVolume(1);
        SeekInVolume(position);
        return;
    }
    auto size = static_cast<std::uint64_t>(volumeSize_);
    std::uint64_t number = position / size + 1;
    if (number > 0xFFFFFFFFu)
        Damaged("position " + std::to_string(position) + " lies beyond the last volume");
    if (number != volume_ || fd_ < 0)
        OpenVolume(static_cast<std::uint32_t>(number));
    SeekInVolume(position % size);
}

std::size_t TPackageReader::ReadSome(void* buffer, std::size_t count) {
    if (count == 0)
        return 0;
    if (bufferStart_ < bufferEnd_) {
        std::size_t n = std::min(count, bufferEnd_ - bufferStart_);
        std::memcpy(buffer, buffer_ + bufferStart_, n);
        bufferStart_ += n;
        return n;
    }
    if (fd_ < 0)
        return 0;
    // Only at the exact volume size does the stream go on in the next volume.
    if (volumeSize_ > 0 && fileOffset_ >= static_cast<std::uint64_t>(volumeSize_)) {
        if (volume_ == 0xFFFFFFFFu)
            return 0;
        OpenVolume(volume_ + 1);
    }
    std::uint64_t limit = volumeFileSize_ - std::min(volumeFileSize_, fileOffset_);
    if (limit == 0)
        return 0;
    bufferStart_ = bufferEnd_ = 0;
    bool direct = count >= kBufferSize;
    std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(
        limit, direct ? std::min<std::size_t>(count, 1u << 24) : kBufferSize));
    unsigned char* target = direct ? static_cast<unsigned char*>(buffer) : buffer_;
    ssize_t got;
    do {
        got = ::read(fd_, target, want);
    } while (got < 0 && errno == EINTR);
    if (got < 0)
        Damaged(std::string("read error: ") + std::strerror(errno));
    fileOffset_ += static_cast<std::uint64_t>(got);
    if (got == 0)
        return 0;
    if (direct)
        return static_cast<std::size_t>(got);
    bufferEnd_ = static_cast<std::size_t>(got);
    std::size_t n = std::min(count, bufferEnd_);
    std::memcpy(buffer, buffer_, n);
    bufferStart_ = n;
    return n;
}

void TPackageReader::Read(void* buffer, std::size_t count) {
    auto* p = static_cast<unsigned char*>(buffer);
    while (count > 0) {
        std::size_t n = ReadSome(p, count);
        if (n == 0) {
            if (volumeSize_ > 0 && volumeFileSize_ < static_cast<std::uint64_t>(volumeSize_))
                Damaged("volume " + ExtractFileName(VolumeFileName(path_, volume_)) +
                        " ends before the volume size, at byte " + std::to_string(volumeFileSize_));
            Damaged("the package ends too soon");
        }
        p += n;
        count -= n;
    }
}

std::uint8_t TPackageReader::ReadByte() {
    std::uint8_t b;
    Read(&b, 1);
    return b;
}

std::uint16_t TPackageReader::ReadWord() {
    unsigned char b[2];
    Read(b, 2);
    return platform::GetLE16(b);
}

std::uint32_t TPackageReader::ReadDWord() {
    unsigned char b[4];
    Read(b, 4);
    return platform::GetLE32(b);
}

void TPackageReader::Skip(std::uint64_t count) {
    SeekPackage(Position() + count);
}

std::string TPackageReader::ReadCompressedString(std::size_t cap) {
    auto length = static_cast<std::int32_t>(ReadDWord());
    if (length < 1)
        return {};
    std::uint64_t start = Position();
    if (static_cast<std::uint64_t>(length) > MaxCompressedSize(cap))
        Damaged("a compressed record at position " + std::to_string(start - 4) + " is " +
                std::to_string(length) + " bytes long");
    std::string packed(static_cast<std::size_t>(length), '\0');
    Read(packed.data(), packed.size());
    if (inflatedTotal_ >= kMaxInflatedTotal)
        Damaged("its texts and tables inflate to more than 64 MiB");
    cap =
        static_cast<std::size_t>(std::min<std::uint64_t>(cap, kMaxInflatedTotal - inflatedTotal_));
    std::string text;
    try {
        text = InflateBuffer(packed.data(), packed.size(), 0, cap);
    } catch (const EDecompressionError& e) {
        Damaged("the compressed record at position " + std::to_string(start - 4) +
                " cannot be inflated: " + e.what());
    }
    inflatedTotal_ += text.size();
    return text;
}

std::uint32_t TPackageReader::InflateRecordTo(const TBlockSink& sink) {
    auto length = static_cast<std::int32_t>(ReadDWord());
    if (length < 1)
        return 0;
    LimitedSource source(*this, static_cast<std::uint64_t>(length));
    TDecompressionStream stream(source);
    std::vector<unsigned char> block(65536);
    std::uint32_t total = 0;
    for (;;) {
        std::size_t n = stream.Read(block.data(), block.size());
        if (n == 0)
            break;
        if (total + static_cast<std::uint64_t>(n) > 0xFFFFFFFFull)
            throw EDecompressionError("error (the record inflates to more than 4 GiB)");
        sink(block.data(), n);
        total += static_cast<std::uint32_t>(n);
    }
    if (!stream.AtStreamEnd())
        throw EDecompressionError("error (the compressed data ends too soon)");
    if (stream.InputLeft() != 0 || source.Remaining() != 0)
        throw EDecompressionError("error (data follows the end of the compressed stream)");
    return total;
}

void TPackageReader::ExtractBlob(const TBlockSink& sink, const std::string& pathForMessages) {
    try {
        InflateRecordTo(sink);
    } catch (const components::EAbort&) {
        throw;
    } catch (const std::exception& e) {
        throw EPackageDamaged(ExtractionErrorMessage(pathForMessages, e.what()));
    }
}

void TPackageReader::ExtractPackageBlobTo(int fd, const std::string& pathForMessages) {
    ExtractBlob([fd](const unsigned char* data, std::size_t count) { WriteAll(fd, data, count); },
                pathForMessages);
}

void TPackageReader::ExtractPackageBlob(const std::string& path) {
    TTargetWriter writer(
        path, [&path](const std::string& reason) { return ExtractionErrorMessage(path, reason); });
    ExtractBlob(
        [&writer](const unsigned char* data, std::size_t count) { writer.Write(data, count); },
        path);
    writer.Finish();
}

std::string TPackageReader::ReadErrorMessage(const std::string& target) const {
    std::string text;
    if (ui_ != nullptr) {
        text =
            ui_->FormatLeavingOutEmpty(ui::kReadError, {ExtractFileName(target), publisherText_});
        text += "\r\r" + ui_->Get(ui::kFileErrorClosing);
    }
    if (ui_ == nullptr || ui_->Get(ui::kReadError).empty())
        text = "The file " + ExtractFileName(target) +
               " could not be read from the setup package, which is damaged.";
    return text;
}

std::string TPackageReader::WriteErrorMessage(const std::string& target) const {
    std::string text;
    if (ui_ != nullptr) {
        text = ui_->Format(ui::kWriteError, {target});
        text += "\r\r" + ui_->Get(ui::kFileErrorClosing);
    }
    if (ui_ == nullptr || ui_->Get(ui::kWriteError).empty())
        text = "The file " + target + " could not be written.";
    return text;
}

std::string TPackageReader::ExtractPackageFile(const std::string& target, std::uint32_t size,
                                               std::uint32_t crc, const TExtractProgress& progress,
                                               const TDeferRename& deferRename) {
    std::uint32_t packed = 0;
    try {
        packed = ReadDWord();
    } catch (const EPackageDamaged& e) {
        throw EPackageDamaged(ReadErrorMessage(target) + "\r\r" + e.what());
    }
    TTargetWriter writer(target, [&](const std::string& reason) {
        return WriteErrorMessage(target) + "\r\r(" + reason + ")";
    });
    // The old target stays untouched until the new file is complete and
    // checked; any failure removes the temporary file (the writer's
    // destructor).
    LimitedSource source(*this, packed);
    // Most files are small: inflated whole, in buffers kept from file to
    // file. A stream that does not inflate cleanly to its size goes the
    // long way below from the same bytes, which says what is wrong.
    std::optional<TMemorySource> held;
    if (packed <= kWholeFileLimit && size <= kWholeFileLimit) {
        if (!packedBuffer_)
            packedBuffer_ = std::make_unique_for_overwrite<unsigned char[]>(kWholeFileLimit);
        if (!fileBuffer_)
            fileBuffer_ = std::make_unique_for_overwrite<unsigned char[]>(kWholeFileLimit);
        std::size_t got = 0;
        try {
            for (std::size_t n = 1; got < packed && n > 0; got += n)
                n = source.Read(packedBuffer_.get() + got, packed - got);
        } catch (const ESetupError& e) {
            throw EPackageDamaged(ReadErrorMessage(target) + "\r\r(" + e.what() + ")");
        }
        if (got == packed && InflateWhole(packedBuffer_.get(), packed, fileBuffer_.get(), size)) {
            if (UpdateCrc32(fileBuffer_.get(), size, 0) != crc)
                throw EPackageDamaged(ReadErrorMessage(target) +
                                      "\r\r(the file's CRC-32 is wrong)");
            if (size > 0) {
                writer.Write(fileBuffer_.get(), size);
                if (progress)
                    progress(size);
            }
            return writer.Finish(deferRename);
        }
        held.emplace(packedBuffer_.get(), got);
    }
    TDecompressionStream stream(held ? static_cast<TByteSource&>(*held) : source);
    // Large output blocks keep zlib from copying most of each block into
    // its window a second time; memory stays bounded all the same.
    // Not zero-filled: for small files clearing 64 KiB costs more than
    // inflating them.
    auto block = std::make_unique_for_overwrite<unsigned char[]>(kExtractBlockSize);
    std::uint64_t total = 0;
    std::uint32_t running = 0;
    for (;;) {
        std::size_t n = 0;
        try {
            n = stream.Read(block.get(), kExtractBlockSize);
        } catch (const ESetupError& e) {
            throw EPackageDamaged(ReadErrorMessage(target) + "\r\r(" + e.what() + ")");
        }
        if (n == 0)
            break;
        total += n;
        if (total > size)
            throw EPackageDamaged(ReadErrorMessage(target) +
                                  "\r\r(the file is longer than its recorded size)");
        running = UpdateCrc32(block.get(), n, running);
        writer.Write(block.get(), n);
        if (progress)
            progress(n);
    }
    if (!stream.AtStreamEnd())
        throw EPackageDamaged(ReadErrorMessage(target) + "\r\r(the compressed data ends too soon)");
    if (stream.InputLeft() != 0 || source.Remaining() != 0 || (held && held->Remaining() != 0))
        throw EPackageDamaged(ReadErrorMessage(target) +
                              "\r\r(data follows the end of the compressed stream)");
    if (total != size)
        throw EPackageDamaged(ReadErrorMessage(target) +
                              "\r\r(the file is shorter than its recorded size)");
    if (running != crc)
        throw EPackageDamaged(ReadErrorMessage(target) + "\r\r(the file's CRC-32 is wrong)");
    return writer.Finish(deferRename);
}

} // namespace setup
