#include "platform/fileio.h"

#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/errors.h"
#include "platform/pathnames.h"

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
    return ContainingFolder(target.native(), kNativeSeparators);
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

constexpr std::size_t kRandomLength = 8;
constexpr char kRandomCharacters[] = "abcdefghijklmnopqrstuvwxyz0123456789";

std::string TempPrefixFor(const std::filesystem::path& target) {
    return "." + target.filename().string() + ".tmp";
}

// A new file named prefix + random characters + suffix; -1 with errno set
// when none could be made.
int TryCreateUniqueFile(const std::filesystem::path& folder, std::string_view prefix,
                        std::string_view suffix, unsigned mode, std::filesystem::path& path) {
    static thread_local std::mt19937_64 random{std::random_device{}() ^
                                               static_cast<uint64_t>(::getpid())};
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name(prefix);
        uint64_t r = random();
        for (std::size_t i = 0; i < kRandomLength; ++i) {
            name += kRandomCharacters[r % 36];
            r /= 36;
        }
        name += suffix;
        std::filesystem::path candidate = folder / name;
        int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                        static_cast<mode_t>(mode));
        if (fd >= 0) {
            path = candidate;
            return fd;
        }
        if (errno != EEXIST) {
            return -1;
        }
    }
    errno = EEXIST;
    return -1;
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

int CreateUniqueFile(const std::filesystem::path& folder, std::string_view prefix,
                     std::string_view suffix, unsigned mode, std::filesystem::path& path) {
    int fd = TryCreateUniqueFile(folder, prefix, suffix, mode, path);
    if (fd < 0) {
        ThrowSystemError("Cannot create a temporary file in", folder, errno);
    }
    return fd;
}

int CreateNewFile(const std::filesystem::path& path, unsigned mode) {
    int fd;
    do {
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                    static_cast<mode_t>(mode));
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool WriteNewFile(const std::filesystem::path& path, std::string_view bytes) {
    const int fd = CreateNewFile(path);
    if (fd < 0) {
        if (errno == EEXIST)
            return false;
        ThrowSystemError("Cannot create", path, errno);
    }
    int err = WriteAll(fd, bytes);
    if (::close(fd) != 0 && err == 0)
        err = errno;
    if (err != 0) {
        ::unlink(path.c_str());
        ThrowSystemError("Cannot write", path, err);
    }
    return true;
}

std::size_t RemoveStaleTempFiles(const std::filesystem::path& target,
                                 std::filesystem::file_time_type before) {
    const std::string prefix = TempPrefixFor(target);
    auto isTemp = [&prefix](const std::string& name) {
        return name.size() == prefix.size() + kRandomLength &&
               name.compare(0, prefix.size(), prefix) == 0 &&
               name.find_first_not_of(kRandomCharacters, prefix.size()) == std::string::npos;
    };
    std::size_t removed = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(FolderOf(target), ec)) {
        std::error_code entryError;
        if (!isTemp(entry.path().filename().string()) || !entry.is_regular_file(entryError) ||
            entry.is_symlink(entryError) || entry.last_write_time(entryError) >= before ||
            entryError) {
            continue;
        }
        // A writer still at work holds the lock on its file.
        const int fd = ::open(entry.path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        const bool idle = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        if (idle && ::unlink(entry.path().c_str()) == 0) {
            ++removed;
        }
        ::close(fd);
    }
    return removed;
}

std::filesystem::path SaveTargetOf(const std::filesystem::path& file) {
    constexpr int kMaxLinks = 40;
    std::filesystem::path path = file;
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return path;
        }
        std::error_code ec;
        const std::filesystem::path link = std::filesystem::read_symlink(path, ec);
        if (ec) {
            ThrowSystemError("Cannot read the link", path, ec.value());
        }
        path = link.is_absolute() ? link : FolderOf(path) / link;
    }
    ThrowSystemError("Cannot save", file, ELOOP);
}

namespace {

// Without "." and ".." steps and without a trailing separator.
std::filesystem::path NormalFolder(const std::filesystem::path& path) {
    std::filesystem::path normal = path.lexically_normal();
    if (!normal.has_filename() && normal.has_relative_path())
        normal = normal.parent_path();
    return normal;
}

// The steps from `base` to `folder`; throws when `folder` is not inside.
std::vector<std::string> StepsBelow(const std::filesystem::path& base,
                                    const std::filesystem::path& folder) {
    const std::filesystem::path relative =
        NormalFolder(folder).lexically_relative(NormalFolder(base));
    std::vector<std::string> steps;
    bool inside = !relative.empty();
    for (const auto& part : relative) {
        const std::string name = part.string();
        if (name == "..") {
            inside = false;
            break;
        }
        if (!name.empty() && name != ".")
            steps.push_back(name);
    }
    if (!inside)
        throw PlatformError("The folder \"" + folder.string() + "\" lies outside \"" +
                            base.string() + "\"");
    return steps;
}

[[noreturn]] void ThrowNotReached(const std::filesystem::path& folder,
                                  const std::filesystem::path& step,
                                  const std::filesystem::path& base, const char* why) {
    throw PlatformError("The folder \"" + folder.string() + "\" cannot be used: \"" +
                        step.string() + "\" " + why + ", and no link below \"" + base.string() +
                        "\" is followed");
}

} // namespace

bool LiesInsideFolder(const std::filesystem::path& path, const std::filesystem::path& folder) {
    try {
        StepsBelow(folder, path);
        return true;
    } catch (const PlatformError&) {
        return false;
    }
}

int OpenFolderBelow(const std::filesystem::path& base, const std::filesystem::path& folder,
                    bool create) {
    const std::vector<std::string> steps = StepsBelow(base, folder);
    if (create) {
        std::error_code ec;
        std::filesystem::create_directories(base, ec);
    }
    int fd = ::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        ThrowSystemError("Cannot open the folder", base, errno);
    std::filesystem::path reached = base;
    for (const std::string& step : steps) {
        reached /= step;
        int next = ::openat(fd, step.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0 && errno == ENOENT && create) {
            if (::mkdirat(fd, step.c_str(), 0755) != 0 && errno != EEXIST) {
                const int err = errno;
                ::close(fd);
                ThrowSystemError("Cannot create the folder", reached, err);
            }
            next = ::openat(fd, step.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        }
        if (next < 0) {
            const int err = errno;
            struct stat st {};
            const bool isLink =
                ::fstatat(fd, step.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode);
            ::close(fd);
            if (isLink)
                ThrowNotReached(folder, reached, base, "is a symbolic link");
            if (err == ENOTDIR)
                ThrowNotReached(folder, reached, base, "is not a folder");
            ThrowSystemError("Cannot open the folder", reached, err);
        }
        ::close(fd);
        fd = next;
    }
    return fd;
}

void CreateFolderBelow(const std::filesystem::path& base, const std::filesystem::path& folder) {
    ::close(OpenFolderBelow(base, folder, true));
}

bool ReachedWithoutLinks(const std::filesystem::path& base, const std::filesystem::path& path) {
    if (!LiesInsideFolder(path, base))
        return false;
    const std::vector<std::string> steps = StepsBelow(base, path);
    std::filesystem::path reached = base;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        reached /= steps[i];
        struct stat st {};
        if (::lstat(reached.c_str(), &st) != 0)
            return errno == ENOENT;
        if (S_ISLNK(st.st_mode) || (i + 1 < steps.size() && !S_ISDIR(st.st_mode)))
            return false;
    }
    return true;
}

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

AtomicFileWriter::AtomicFileWriter(std::filesystem::path target)
    : AtomicFileWriter(std::move(target), std::string_view()) {}

AtomicFileWriter::AtomicFileWriter(std::filesystem::path target, std::string_view tempPrefix)
    : target_(std::move(target)) {
    const std::filesystem::path folder = FolderOf(target_);
    fd_ = tempPrefix.empty()
              ? TryCreateUniqueFile(folder, TempPrefixFor(target_), "", 0600, tempPath_)
              : TryCreateUniqueFile(folder, tempPrefix, ".tmp", 0600, tempPath_);
    if (fd_ < 0) {
        ThrowSystemError("Cannot create a temporary file for", target_, errno);
    }
    // Tells RemoveStaleTempFiles that this file is no leftover (it looks
    // only at the ".<name>.tmp" files).
    if (tempPrefix.empty())
        (void)::flock(fd_, LOCK_EX | LOCK_NB);
}

AtomicFileWriter::~AtomicFileWriter() {
    Discard();
}

AtomicFileWriter::AtomicFileWriter(AtomicFileWriter&& other) noexcept
    : target_(std::move(other.target_)), tempPath_(std::move(other.tempPath_)), fd_(other.fd_),
      buffer_(std::move(other.buffer_)), mode_(other.mode_), modeSet_(other.modeSet_),
      committed_(other.committed_), sync_(other.sync_) {
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
        sync_ = other.sync_;
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

void AtomicFileWriter::Finish() {
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
    if (sync_ && ::fsync(fd_) != 0) {
        fail("Cannot write", errno);
    }
    if (::close(fd_) != 0) {
        fd_ = -1;
        fail("Cannot write", errno);
    }
    fd_ = -1;
    CallHook("before-rename");
}

bool AtomicFileWriter::Rename() {
    if (::rename(tempPath_.c_str(), target_.c_str()) != 0) {
        return false;
    }
    committed_ = true;
    tempPath_.clear();
    if (sync_) {
        SyncFolder(FolderOf(target_));
    }
    return true;
}

void AtomicFileWriter::Commit() {
    Finish();
    if (!Rename()) {
        int err = errno;
        Discard();
        ThrowSystemError("Cannot save", target_, err);
    }
}

bool AtomicFileWriter::CommitOrKeep() {
    Finish();
    if (Rename()) {
        return true;
    }
    committed_ = true; // the finished file now belongs to the caller
    return false;
}

} // namespace platform
