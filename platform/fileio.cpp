#include "platform/fileio.h"

#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/errors.h"

namespace platform {

namespace {

AtomicWriteHook atomicWriteHook = nullptr;

void CallHook(const char* stage) {
    if (atomicWriteHook) {
        atomicWriteHook(stage);
    }
}

// Writes all of `bytes`, retrying short writes and interruptions.
int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return 0;
}

std::filesystem::path FolderOf(const std::filesystem::path& target) {
    std::filesystem::path folder = target.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

void SyncFolder(const std::filesystem::path& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        // Some file systems refuse fsync on folders; the rename itself has
        // happened, so that is not a failure of the save.
        (void)::fsync(fd);
        ::close(fd);
    }
}

// A temporary file beside `target`, created exclusively.
int CreateTempBeside(const std::filesystem::path& target, std::filesystem::path& tempPath) {
    static thread_local std::mt19937_64 random{std::random_device{}() ^
                                               static_cast<uint64_t>(::getpid())};
    const std::filesystem::path folder = FolderOf(target);
    const std::string base = "." + target.filename().string() + ".tmp";
    static const char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = base;
        uint64_t r = random();
        for (int i = 0; i < 8; ++i) {
            name += digits[r % 36];
            r /= 36;
        }
        std::filesystem::path candidate = folder / name;
        int fd =
            ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            tempPath = candidate;
            return fd;
        }
        if (errno != EEXIST) {
            ThrowSystemError("Cannot create a temporary file for", target, errno);
        }
    }
    ThrowSystemError("Cannot create a temporary file for", target, EEXIST);
}

// Reads an open file to its end and closes it. More than `maxBytes` (the
// file may grow while it is read) throws without reading further.
std::string ReadToEnd(int fd, const std::filesystem::path& path, off_t sizeHint,
                      std::uint64_t maxBytes) {
    const auto tooLarge = [&] {
        ::close(fd);
        throw PlatformError(SystemErrorMessage("Cannot read", path, 0) + ": larger than " +
                            SizeLimitText(maxBytes));
    };
    if (sizeHint > 0 && static_cast<std::uint64_t>(sizeHint) > maxBytes)
        tooLarge();
    std::string bytes;
    if (sizeHint > 0) {
        bytes.reserve(static_cast<size_t>(sizeHint));
    }
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            int err = errno;
            ::close(fd);
            ThrowSystemError("Cannot read", path, err);
        }
        if (n == 0) {
            break;
        }
        if (static_cast<std::uint64_t>(n) > maxBytes - bytes.size()) {
            tooLarge();
        }
        bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return bytes;
}

} // namespace

void SetAtomicWriteHook(AtomicWriteHook hook) {
    atomicWriteHook = hook;
}

std::string ReadFileBytes(const std::filesystem::path& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        ThrowSystemError("Cannot open", path, errno);
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        ThrowSystemError("Cannot read", path, EISDIR);
    }
    return ReadToEnd(fd, path, st.st_size, std::numeric_limits<std::uint64_t>::max());
}

std::string SizeLimitText(std::uint64_t bytes) {
    constexpr std::uint64_t kKB = 1024, kMB = 1024 * kKB;
    if (bytes >= kMB && bytes % kMB == 0)
        return std::to_string(bytes / kMB) + " MB";
    if (bytes >= kKB && bytes % kKB == 0)
        return std::to_string(bytes / kKB) + " KB";
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

std::string ReadRegularFile(const std::filesystem::path& path, std::uint64_t maxBytes) {
    // Non-blocking, so that opening a FIFO nobody writes to returns at once.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        ThrowSystemError("Cannot open", path, errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        ThrowSystemError("Cannot read", path, err);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        throw PlatformError(SystemErrorMessage("Cannot read", path, 0) + ": not a regular file");
    }
    return ReadToEnd(fd, path, st.st_size, maxBytes);
}

void WriteFileAtomic(const std::filesystem::path& target, std::string_view bytes) {
    AtomicFileWriter writer(target);
    writer.Write(bytes);
    writer.Commit();
}

AtomicFileWriter::AtomicFileWriter(std::filesystem::path target) : target_(std::move(target)) {
    fd_ = CreateTempBeside(target_, tempPath_);
}

AtomicFileWriter::~AtomicFileWriter() {
    Discard();
}

AtomicFileWriter::AtomicFileWriter(AtomicFileWriter&& other) noexcept
    : target_(std::move(other.target_)), tempPath_(std::move(other.tempPath_)), fd_(other.fd_),
      buffer_(std::move(other.buffer_)), mode_(other.mode_), modeSet_(other.modeSet_),
      committed_(other.committed_) {
    other.fd_ = -1;
    other.tempPath_.clear();
}

AtomicFileWriter& AtomicFileWriter::operator=(AtomicFileWriter&& other) noexcept {
    if (this != &other) {
        Discard();
        target_ = std::move(other.target_);
        tempPath_ = std::move(other.tempPath_);
        fd_ = other.fd_;
        buffer_ = std::move(other.buffer_);
        mode_ = other.mode_;
        modeSet_ = other.modeSet_;
        committed_ = other.committed_;
        other.fd_ = -1;
        other.tempPath_.clear();
    }
    return *this;
}

void AtomicFileWriter::SetMode(unsigned mode) {
    mode_ = mode;
    modeSet_ = true;
}

void AtomicFileWriter::Discard() noexcept {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!committed_ && !tempPath_.empty()) {
        ::unlink(tempPath_.c_str());
    }
    tempPath_.clear();
    buffer_.clear();
}

void AtomicFileWriter::FlushBuffer() {
    if (buffer_.empty()) {
        return;
    }
    int err = WriteAll(fd_, buffer_);
    buffer_.clear();
    if (err != 0) {
        Discard();
        ThrowSystemError("Cannot write", target_, err);
    }
}

void AtomicFileWriter::Write(std::string_view bytes) {
    if (fd_ < 0) {
        throw PlatformError("Cannot write \"" + target_.string() + "\": the file is closed");
    }
    if (buffer_.size() + bytes.size() > (1u << 16)) {
        FlushBuffer();
        if (bytes.size() >= (1u << 16)) {
            int err = WriteAll(fd_, bytes);
            if (err != 0) {
                Discard();
                ThrowSystemError("Cannot write", target_, err);
            }
            return;
        }
    }
    buffer_.append(bytes);
}

void AtomicFileWriter::Commit() {
    if (fd_ < 0) {
        throw PlatformError("Cannot save \"" + target_.string() + "\": the file is closed");
    }
    FlushBuffer();
    unsigned mode = mode_;
    if (!modeSet_) {
        struct stat st {};
        if (::stat(target_.c_str(), &st) == 0) {
            mode = st.st_mode & 07777;
        } else {
            mode_t mask = ::umask(0);
            ::umask(mask);
            mode = 0666 & ~mask;
        }
    }
    auto fail = [this](const char* what, int err) {
        Discard();
        ThrowSystemError(what, target_, err);
    };
    if (::fchmod(fd_, mode) != 0) {
        fail("Cannot set the permissions of", errno);
    }
    CallHook("before-fsync");
    if (::fsync(fd_) != 0) {
        fail("Cannot write", errno);
    }
    if (::close(fd_) != 0) {
        fd_ = -1;
        fail("Cannot write", errno);
    }
    fd_ = -1;
    CallHook("before-rename");
    if (::rename(tempPath_.c_str(), target_.c_str()) != 0) {
        fail("Cannot save", errno);
    }
    committed_ = true;
    tempPath_.clear();
    SyncFolder(FolderOf(target_));
}

} // namespace platform
