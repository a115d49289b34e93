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

// Creates a new empty file in `folder` named `prefix`, eight random letters
// or digits, then `suffix`; exclusively and without following links, with
// `mode` (before the umask). Returns the open (write-only) descriptor and
// sets `path`; throws PlatformError. The one way the programs make a
// temporary file beside another.
int CreateUniqueFile(const std::filesystem::path& folder, std::string_view prefix,
                     std::string_view suffix, unsigned mode, std::filesystem::path& path);

// Creates `path`, where nothing may exist yet, for writing: exclusively and
// never through a link, with `mode` (before the umask). Returns the
// descriptor, or -1 with errno set (EEXIST: something is there already).
int CreateNewFile(const std::filesystem::path& path, unsigned mode = 0666);

// Writes `bytes` as the new file `path` in one go, under its final name.
// Only for a folder that no one else writes and no one reads before the
// work is done (a make's private temporary folder): there a file written in
// place is as good as one renamed into place, at a third of the system
// calls. Returns false, writing nothing, when something exists at `path`;
// throws PlatformError for any other failure, after removing the file.
bool WriteNewFile(const std::filesystem::path& path, std::string_view bytes);

// Streaming form of WriteFileAtomic. Nothing is visible at `target` until
// Commit; destroying the writer without Commit discards what was written.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::filesystem::path target);
    // The temporary file is named `tempPrefix`, random characters and ".tmp"
    // (the setup engine's "cgn" files) instead of ".<name>.tmp...".
    AtomicFileWriter(std::filesystem::path target, std::string_view tempPrefix);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
    AtomicFileWriter(AtomicFileWriter&& other) noexcept;
    AtomicFileWriter& operator=(AtomicFileWriter&& other) noexcept;

    void Write(std::string_view bytes);
    // Flushes, fsyncs, renames over the target and fsyncs the folder.
    void Commit();
    // Commit, except that a failed rename keeps the finished temporary file
    // (TempPath() names it, the writer no longer owns it) and returns false,
    // so that the caller can put it in place later.
    bool CommitOrKeep();
    // Drops the temporary file (also done by the destructor).
    void Discard() noexcept;

    const std::filesystem::path& Target() const { return target_; }
    const std::filesystem::path& TempPath() const { return tempPath_; }
    // Permissions the new file gets (default: those of the old file, else 0644
    // minus the umask).
    void SetMode(unsigned mode);
    // False skips the fsync of the file and its folder: for bulk writes
    // (installed files) where the old file is not the only copy of anything.
    void SetSync(bool sync) { sync_ = sync; }

private:
    void FlushBuffer();
    // Everything of Commit up to the rename; the file is complete and closed.
    void Finish();
    // The rename and what follows it; false (errno set) when it failed.
    bool Rename();

    std::filesystem::path target_;
    std::filesystem::path tempPath_;
    int fd_ = -1;
    std::string buffer_;
    unsigned mode_ = 0;
    bool modeSet_ = false;
    bool committed_ = false;
    bool sync_ = true;
};

// The file a save of `file` writes: `file` itself, or, when it is a
// symbolic link, the file the link (and any link that one names) leads to,
// so that the save replaces the target and the link stays. The target need
// not exist. Throws PlatformError for a loop of links.
std::filesystem::path SaveTargetOf(const std::filesystem::path& file);

// Removes the temporary files AtomicFileWriter makes for `target`
// (".<name>.tmp" and eight letters or digits beside it) that were last
// changed before `before`: what a killed save left. A writer holds a lock on
// its temporary file until it closes it, so a save under way in another
// process keeps its file. Returns how many it removed.
std::size_t RemoveStaleTempFiles(const std::filesystem::path& target,
                                 std::filesystem::file_time_type before);

// Folders below a trusted folder `base`, reached without following links:
// every step below `base` is opened with O_NOFOLLOW | O_DIRECTORY, so a
// symbolic link there (or anything that is no folder) is refused however it
// got there. `base` itself, and the path that leads to it, are taken as they
// are. `folder` must be `base` or lie inside it (compared lexically).
//
// Opens `folder` so and returns its descriptor (O_DIRECTORY | O_CLOEXEC);
// with `create`, `base` and the missing steps are made (0755 before the
// umask). Throws PlatformError naming the step that is a link or no folder.
int OpenFolderBelow(const std::filesystem::path& base, const std::filesystem::path& folder,
                    bool create);
// Whether `path` is `folder` or lies inside it, compared lexically (after
// removing "." and ".." steps and trailing separators).
bool LiesInsideFolder(const std::filesystem::path& path, const std::filesystem::path& folder);
// Makes `folder` below `base` as OpenFolderBelow does (nothing more).
void CreateFolderBelow(const std::filesystem::path& base, const std::filesystem::path& folder);
// Whether `path` lies inside `base` (or is it) and what exists of it is
// reached from `base` through real folders only: false when a step below
// `base`, `path` itself included, is a symbolic link, or a step before the
// last is no folder. Steps that do not exist yet count as reached.
bool ReachedWithoutLinks(const std::filesystem::path& base, const std::filesystem::path& path);

// Test hook: when set, WriteFileAtomic/Commit call it with the name of a
// stage ("before-rename") so tests can inject a crash or failure there.
using AtomicWriteHook = void (*)(const char* stage);
void SetAtomicWriteHook(AtomicWriteHook hook);

} // namespace platform
