#pragma once
// File-system routines of the setup engine: creating folder chains,
// removing folders left empty (never above the folder-variable roots), and
// replacing or deleting files at the next start when that cannot be done now.
#include <string>
#include <vector>

namespace setup {

class TUiStrings;

// Creates the folder and its missing parents; false when that fails.
bool ForceFolders(const std::string& folder);
// ForceFolders, with the package's folder error (UI string 74) on failure.
void CreateFolder(const std::string& folder, const TUiStrings* ui);
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

    void AddRename(const std::string& source, const std::string& target);
    void AddDelete(const std::string& path);
    std::vector<Entry> Entries() const;
    // Carries out every entry that can be done now, keeps the rest; returns
    // how many were done.
    std::size_t Apply();
    const std::string& ListPath() const { return listPath_; }

private:
    void Save(const std::vector<Entry>& entries) const;
    std::string listPath_;
};

// A new empty "cgn" temporary file in the target's folder that replaces the
// target at the next start; returns its path.
std::string ReplaceFileOnReboot(const std::string& target, TPendingFileOperations& pending);
// Deletes the file now (then removes folders left empty), or at the next start
// when it cannot be deleted now. Nothing happens when it does not exist.
void DeleteFileOrOnReboot(const std::string& path, TPendingFileOperations& pending,
                          const std::vector<std::string>& roots);

} // namespace setup
