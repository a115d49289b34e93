#include "setup/portablerun.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "components/messengerseam.h"
#include "platform/pathnames.h"
#include "platform/textutil.h"
#include "setup/folders.h"
#include "setup/foldervariables.h"
#include "setup/packagenames.h"
#include "setup/setuperrors.h"
#include "setup/setuppackage.h"
#include "setup/uistrings.h"

namespace setup {

bool PortableMarkerWanted(std::uint8_t markerKind, platform::DriveType driveType) {
    return markerKind == 2 || (markerKind == 1 && driveType != platform::DriveType::Removable);
}

std::string PortableMarkerPath(const std::string& portableFolder) {
    return platform::IncludeTrailingSeparator(portableFolder) + kPortableMarkerName;
}

bool WritePortableMarker(const std::string& portableFolder) {
    std::string path = PortableMarkerPath(portableFolder);
    // O_EXCL: an existing marker (or anything else of that name) stays.
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (errno == EEXIST)
            return false;
        throw ESetupError("The file " + path + " cannot be written (" + std::strerror(errno) +
                          ").");
    }
    std::string line = std::string(kPortableMarkerText) + "\r\n";
    bool ok = ::write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        ::unlink(path.c_str());
        throw ESetupError("The file " + path + " cannot be written.");
    }
    return true;
}

std::string PortableTargetFolder(const std::string& driveRoot, const std::string& typedFolder) {
    std::string folder = platform::Trim(typedFolder);
    if (folder.size() >= 2 && folder[1] == ':')
        folder.erase(0, 2);
    std::replace(folder.begin(), folder.end(), '\\', '/');
    folder.erase(0, folder.find_first_not_of('/'));
    std::string root = platform::ExcludeTrailingSeparator(driveRoot, platform::kNativeSeparators);
    std::string result = folder.empty() ? root : (root == "/" ? root : root + "/") + folder;
    return platform::ExcludeTrailingSeparator(result, platform::kNativeSeparators);
}

TPortableRun::TPortableRun(TSetupPackage& package, components::IMessenger& messenger,
                           std::string portableFolder)
    : package_(package), messenger_(messenger), portableFolder_(std::move(portableFolder)),
      driveTypeOf_([](const std::string& path) { return platform::DriveTypeOfPath(path); }) {}

void TPortableRun::Advance(std::uint64_t amount) {
    position_ += amount;
    messenger_.SetProgress(static_cast<std::int64_t>(position_));
    messenger_.ProcessEvents();
    if (messenger_.AbortRequested())
        throw EAbortInstallation();
}

void TPortableRun::CollectFolder(const std::string& folderPath, const TComponentFolder& folder) {
    for (const auto& sub : folder.folders) {
        CheckComponentName(sub.name, "folder name");
        CollectFolder(folderPath + "/" + PackageTextToNative(sub.name), sub);
    }
    const auto& table = package_.Tables().fileTable.files;
    for (const auto& item : folder.items) {
        const auto* copy = std::get_if<TCopyItem>(&item);
        if (!copy)
            continue; // launchers belong to the machine, not to the portable folder
        InsertByFileIndex(files_, CopyDataFor(folderPath, folder, *copy, table));
    }
}

void TPortableRun::Collect() {
    for (const auto& c : package_.Tables().components) {
        if (!c.selected && !c.required)
            continue;
        for (const auto& f : c.folders) {
            CollectFolder(InstalledFolderPath(f), f);
        }
    }
    for (const auto& f : files_)
        totalSize_ += package_.Tables().fileTable.files[f.fileIndex].size;
}

void TPortableRun::InstallPortableFile(const TCopyData& data, bool exists) {
    PrepareTarget(data.target, exists, package_, madeFolder_);
    // Streamed block by block through a temporary file beside the target:
    // memory stays small whatever the size, and a package in volumes is
    // followed from one volume to the next. Nothing waits for a restart.
    package_.InstallPackageFile(
        data.fileIndex, data.target, [this](std::size_t n) { Advance(n); }, false);
    SetPackagedDate(data.target, package_.Tables().fileTable.files[data.fileIndex].date);
}

void TPortableRun::InstallFiles() {
    const auto& table = package_.Tables().fileTable.files;
    const TUiStrings& ui = package_.Ui();
    components::TProgressScope step(&messenger_, {}, static_cast<std::int64_t>(totalSize_));
    for (const auto& data : files_) {
        const TPackageFile& file = table[data.fileIndex];
        messenger_.SetProgressText(ui.Format(ui::kCopyingFile, {data.target}));
        const bool inPlace =
            InstallOrGoOn(package_, messenger_, data.target, result_.errorAsked, [&] {
                struct stat st {};
                bool existed = ::lstat(data.target.c_str(), &st) == 0;
                if (KeepsExistingTarget(data.target, existed, data.replaceRule, file))
                    Advance(file.size);
                else
                    InstallPortableFile(data, existed);
            });
        // Nothing is started later from where this file is not.
        if (!inPlace && result_.targets[data.fileIndex] == data.target)
            result_.targets[data.fileIndex].clear();
    }
}

TInstallResult TPortableRun::Run() {
    try {
        try {
            Collect();
            CheckComponentFolders(package_.Tables());
        } catch (const std::exception&) {
            result_.invalidPackage = true; // refused before anything was written
            throw;
        }
        result_.targets.assign(package_.Tables().fileTable.files.size(), {});
        for (const auto& f : files_)
            result_.targets[f.fileIndex] = f.target;
        InstallFiles();
        CreateFolder(portableFolder_, &package_.Ui(), package_.Folders().TrustedRoots());
        if (PortableMarkerWanted(package_.Header().portableMarkerKind,
                                 driveTypeOf_(portableFolder_)))
            WritePortableMarker(portableFolder_);
        result_.logPath = PortableMarkerPath(portableFolder_);
        result_.completed = true;
    } catch (const components::EAbort&) {
        result_.aborted = true;
    } catch (const std::exception& e) {
        result_.errorMessage = e.what();
    }
    return result_;
}

} // namespace setup
