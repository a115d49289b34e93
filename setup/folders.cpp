#include "setup/folders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/fileio.h"
#include "platform/pathnames.h"
#include "platform/systemfolders.h"
#include "platform/tempfolder.h"
#include "setup/packagenames.h"
#include "setup/packagereader.h"
#include "setup/setuperrors.h"
#include "setup/uistrings.h"

namespace setup {

namespace {

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void CheckListable(const std::string& path) {
    for (char c : path)
        if (c == '\n' || c == '\r' || c == '\t')
            throw ESetupError("The path " + path + " cannot be recorded for the next start.");
}

} // namespace

bool ForceFolders(const std::string& input) {
    std::string folder = platform::ExcludeTrailingSeparator(input, platform::kNativeSeparators);
    if (folder.empty() || folder == "/" || IsDirectory(folder))
        return true;
    std::string parent = ExtractFileDir(folder);
    if (parent == folder || parent == ".")
        return false;
    if (!ForceFolders(parent))
        return false;
    if (::mkdir(folder.c_str(), 0755) == 0)
        return true;
    return errno == EEXIST && IsDirectory(folder);
}

const std::string* DeepestRoot(const std::string& path, const std::vector<std::string>& roots) {
    const std::string* deepest = nullptr;
    for (const auto& r : roots)
        if (IsPathUnder(path, r) && (!deepest || r.size() > deepest->size()))
            deepest = &r;
    return deepest;
}

namespace {

[[noreturn]] void FolderError(const std::string& folder, const std::string& reason,
                              const TUiStrings* ui) {
    std::string text;
    if (ui != nullptr && !ui->Get(ui::kFolderError).empty())
        text = ui->Format(ui::kFolderError, {folder + "  (" + reason + ")"}) + "\r\r" +
               ui->Get(ui::kFileErrorClosing);
    else
        text = "The folder " + folder + " could not be created (" + reason + ").";
    throw ESetupError(text);
}

} // namespace

void CreateFolder(const std::string& folder, const TUiStrings* ui,
                  const std::vector<std::string>& roots) {
    std::string path = NormalisePath(folder);
    const std::string* root = path.empty() ? nullptr : DeepestRoot(path, roots);
    if (!root)
        FolderError(folder, "it lies outside the folders of the installation", ui);
    if (!ForceFolders(*root))
        FolderError(folder, std::strerror(errno), ui);
    for (std::size_t pos = *root == "/" ? 0 : root->size(); pos < path.size();) {
        std::size_t end = path.find('/', pos + 1);
        if (end == std::string::npos)
            end = path.size();
        std::string step = path.substr(0, end);
        struct stat st {};
        if (::lstat(step.c_str(), &st) != 0) {
            if (errno != ENOENT || (::mkdir(step.c_str(), 0755) != 0 && errno != EEXIST))
                FolderError(folder, std::strerror(errno), ui);
            if (::lstat(step.c_str(), &st) != 0)
                FolderError(folder, std::strerror(errno), ui);
        }
        if (S_ISLNK(st.st_mode))
            FolderError(folder, step + " is a symbolic link", ui);
        if (!S_ISDIR(st.st_mode))
            FolderError(folder, step + " is not a folder", ui);
        pos = end;
    }
}

void RemoveEmptyFolders(const std::string& input, const std::vector<std::string>& roots) {
    std::string folder = NormalisePath(input);
    while (!folder.empty() && folder != "/") {
        bool inside = false;
        for (const auto& root : roots) {
            std::string r = NormalisePath(root);
            if (r.empty() || r == folder)
                return; // a root itself stays
            if (IsPathUnder(folder, r))
                inside = true;
        }
        if (!inside || ::rmdir(folder.c_str()) != 0)
            return;
        folder = ExtractFileDir(folder);
    }
}

TPendingFileOperations::TPendingFileOperations(const platform::SystemRoots& roots)
    : listPath_(roots.pendingRenames.string()), confinedTo_(roots.sandbox.string()) {}

void TPendingFileOperations::AddRename(const std::string& source, const std::string& target) {
    CheckListable(source);
    CheckListable(target);
    auto entries = Entries();
    entries.push_back(Entry{true, source, target});
    Save(entries);
}

void TPendingFileOperations::AddDelete(const std::string& path) {
    CheckListable(path);
    auto entries = Entries();
    entries.push_back(Entry{false, path, {}});
    Save(entries);
}

std::vector<TPendingFileOperations::Entry> TPendingFileOperations::Entries() const {
    std::vector<Entry> entries;
    std::error_code ec;
    if (!std::filesystem::exists(listPath_, ec))
        return entries;
    std::string text = platform::ReadFileBytes(listPath_);
    for (const std::string& line : SplitLines(text)) {
        if (line.size() > 2 && line[0] == 'R' && line[1] == '\t') {
            std::size_t tab = line.find('\t', 2);
            if (tab != std::string::npos)
                entries.push_back(Entry{true, line.substr(2, tab - 2), line.substr(tab + 1)});
        } else if (line.size() > 2 && line[0] == 'D' && line[1] == '\t') {
            entries.push_back(Entry{false, line.substr(2), {}});
        }
    }
    return entries;
}

void TPendingFileOperations::Save(const std::vector<Entry>& entries) const {
    std::string text;
    for (const auto& e : entries)
        text += e.rename ? "R\t" + e.source + "\t" + e.target + "\n" : "D\t" + e.source + "\n";
    if (confinedTo_.empty())
        ForceFolders(ExtractFileDir(listPath_));
    else
        platform::CreateFolderBelow(confinedTo_, ExtractFileDir(listPath_));
    platform::WriteFileAtomic(listPath_, text);
}

namespace {

// Whether a listed path may be changed: a normal absolute path strictly
// inside one of `roots`, reached through real folders only (no link below
// the root).
bool MayChange(const std::string& path, const std::vector<std::string>& roots) {
    std::string norm = NormalisePath(path);
    if (norm.empty() || norm != path || norm[0] != '/')
        return false;
    const std::string* root = nullptr;
    for (const auto& r : roots)
        if (IsPathUnder(norm, r) && norm != NormalisePath(r) && (!root || r.size() > root->size()))
            root = &r;
    if (!root)
        return false;
    std::string from = NormalisePath(*root);
    for (std::size_t pos = from == "/" ? 1 : from.size() + 1;
         (pos = norm.find('/', pos)) != std::string::npos; ++pos) {
        struct stat st {};
        if (::lstat(norm.substr(0, pos).c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return false;
    }
    return true;
}

} // namespace

std::size_t TPendingFileOperations::Apply(const std::vector<std::string>& roots) {
    std::vector<Entry> entries = Entries();
    if (entries.empty())
        return 0;
    std::vector<Entry> left;
    std::size_t done = 0;
    for (const auto& e : entries) {
        // Only what a run of ours could have listed: a replacement beside
        // its target, inside the folders it may change. Anything else is
        // dropped unread.
        bool allowed = e.rename ? MayChange(e.source, roots) && MayChange(e.target, roots) &&
                                      ExtractFileDir(e.source) == ExtractFileDir(e.target)
                                : MayChange(e.source, roots);
        if (!allowed)
            continue;
        bool ok = e.rename ? ::rename(e.source.c_str(), e.target.c_str()) == 0
                           : (::unlink(e.source.c_str()) == 0 || errno == ENOENT);
        if (ok)
            ++done;
        else if (!(e.rename && errno == ENOENT)) // a replacement that is gone has nothing to do
            left.push_back(e);
    }
    Save(left);
    return done;
}

std::vector<std::string> PendingOperationRoots(const platform::SystemRoots& roots) {
    if (!roots.sandbox.empty())
        return {NormalisePath(roots.sandbox.string())};
    std::vector<std::string> folders;
    auto add = [&](const std::filesystem::path& p) {
        std::string n = NormalisePath(p.string());
        if (!n.empty() && n != "/")
            folders.push_back(n);
    };
    for (const auto& v : platform::SystemFolderVariables(roots))
        add(v.path);
    add(roots.temp);
    add(platform::SystemTempDirectory());
    return folders;
}

std::size_t ApplyPendingFileOperations(const platform::SystemRoots& roots) {
    if (roots.pendingRenames.empty())
        return 0;
    std::error_code ec;
    if (!std::filesystem::exists(roots.pendingRenames, ec))
        return 0;
    return TPendingFileOperations(roots).Apply(PendingOperationRoots(roots));
}

std::string ReplaceFileOnReboot(const std::string& target, TPendingFileOperations& pending) {
    std::filesystem::path temp;
    try {
        ::close(
            platform::CreateUniqueFile(ExtractFileDir(target), kTempPrefix, ".tmp", 0644, temp));
    } catch (const std::exception& e) {
        throw ESetupError("The file " + target + " cannot be replaced (" + e.what() + ").");
    }
    pending.AddRename(temp.string(), target);
    return temp.string();
}

void DeleteFileOrOnReboot(const std::string& path, TPendingFileOperations& pending,
                          const std::vector<std::string>& roots) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return;
    if (::unlink(path.c_str()) == 0) {
        RemoveEmptyFolders(ExtractFileDir(path), roots);
        return;
    }
    pending.AddDelete(path);
}

} // namespace setup
