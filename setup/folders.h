#pragma once
// File-system routines of the setup engine: creating folder chains,
// removing folders left empty (never above the folder-variable roots), and
// replacing or deleting files at the next start when that cannot be done now.
#include <string>
#include <vector>

namespace platform {
struct SystemRoots;
}

namespace setup {

class TUiStrings;

// Creates the folder and its missing parents; false when that fails.
bool ForceFolders(const std::string& folder);
// The deepest of `roots` (normalised folders) that holds `path`, or null.
const std::string* DeepestRoot(const std::string& path, const std::vector<std::string>& roots);
// Creates `folder` and its missing parents for the installation. The
// deepest of `roots` that holds it is made with ForceFolders; below it each
// folder is made, or must already be a real folder: a symbolic link (or a
// file) there is refused, so a link planted in the target tree cannot lead
// a write elsewhere. A folder under no root is refused. Failures throw
// ESetupError with the package's folder error: UI string 74 formatted with
// the folder and the reason, then UI string 70.
void CreateFolder(const std::string& folder, const TUiStrings* ui,
                  const std::vector<std::string>& roots);
// Removes `folder` while it is empty, then its parents, stopping at the first
// that cannot be removed and never removing a root or anything outside one.
void RemoveEmptyFolders(const std::string& folder, const std::vector<std::string>& roots);

// The list of renames and deletions deferred to the next start, kept in one
// file (SystemRoots::pendingRenames) and saved through a temporary file.
class TPendingFileOperations {
public:
    struct Entry {
        bool rename = false;
        std::string source; // the file to move or delete
        std::string target; // rename only
    };

    explicit TPendingFileOperations(std::string listPath) : listPath_(std::move(listPath)) {}
    // The list of these roots; inside a sandbox its folder is made without
    // following a link below the sandbox.
    explicit TPendingFileOperations(const platform::SystemRoots& roots);

    void AddRename(const std::string& source, const std::string& target);
    void AddDelete(const std::string& path);
    std::vector<Entry> Entries() const;
    // Carries out every entry that can be done now inside `roots` (no
    // link followed below one of them; a rename only beside its target),
    // keeps the rest that may still be done later and drops the others;
    // returns how many were done.
    std::size_t Apply(const std::vector<std::string>& roots);
    const std::string& ListPath() const { return listPath_; }

private:
    void Save(const std::vector<Entry>& entries) const;
    std::string listPath_;
    std::string confinedTo_;
};

// The folders the listed operations may change: the sandbox when there is
// one, else the scope's system folders and the temporary folders.
std::vector<std::string> PendingOperationRoots(const platform::SystemRoots& roots);
// Carries out the replacements and deletions that an earlier run left for
// the next start (SystemRoots::pendingRenames), inside
// PendingOperationRoots: what `setup` does when it starts on a package and
// after a restart. Linux renames over a file in use, so only an obstacle
// such as a folder in the target's place defers one; what still cannot be
// done stays listed. Returns how many were done.
std::size_t ApplyPendingFileOperations(const platform::SystemRoots& roots);

// A new empty "cgn" temporary file in the target's folder that replaces the
// target at the next start; returns its path.
std::string ReplaceFileOnReboot(const std::string& target, TPendingFileOperations& pending);
// Deletes the file now (then removes folders left empty), or at the next start
// when it cannot be deleted now. Nothing happens when it does not exist.
void DeleteFileOrOnReboot(const std::string& path, TPendingFileOperations& pending,
                          const std::vector<std::string>& roots);

} // namespace setup
