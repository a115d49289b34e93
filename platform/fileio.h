#pragma once
// Reading whole files and saving over existing ones without ever losing the
// old file: the new contents go to a temporary file in the same folder, are
// flushed to disk and then renamed over the target in one step.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// The file's bytes; throws PlatformError when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);

// The bytes of a file that outside data names (a project's list of files,
// say): only a regular file of at most `maxBytes` is read. Anything else (a
// folder, a FIFO, a device) or a larger file throws PlatformError naming the
// file, as does a failed read; opening never waits on a FIFO.
std::string ReadRegularFile(const std::filesystem::path& path, std::uint64_t maxBytes);

// "64 MB", "512 KB", "100 bytes": a size limit as messages name it.
std::string SizeLimitText(std::uint64_t bytes);

// Replaces (or creates) `target` with `bytes`. On any failure the old file is
// left as it was, the temporary file is removed and PlatformError is thrown.
void WriteFileAtomic(const std::filesystem::path& target, std::string_view bytes);

// Streaming form of WriteFileAtomic. Nothing is visible at `target` until
// Commit; destroying the writer without Commit discards what was written.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::filesystem::path target);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
    AtomicFileWriter(AtomicFileWriter&& other) noexcept;
    AtomicFileWriter& operator=(AtomicFileWriter&& other) noexcept;

    void Write(std::string_view bytes);
    // Flushes, fsyncs, renames over the target and fsyncs the folder.
    void Commit();
    // Drops the temporary file (also done by the destructor).
    void Discard() noexcept;

    const std::filesystem::path& Target() const { return target_; }
    const std::filesystem::path& TempPath() const { return tempPath_; }
    // Permissions the new file gets (default: those of the old file, else 0644
    // minus the umask).
    void SetMode(unsigned mode);

private:
    void FlushBuffer();

    std::filesystem::path target_;
    std::filesystem::path tempPath_;
    int fd_ = -1;
    std::string buffer_;
    unsigned mode_ = 0;
    bool modeSet_ = false;
    bool committed_ = false;
};

// Test hook: when set, WriteFileAtomic/Commit call it with the name of a
// stage ("before-rename") so tests can inject a crash or failure there.
using AtomicWriteHook = void (*)(const char* stage);
void SetAtomicWriteHook(AtomicWriteHook hook);

} // namespace platform
