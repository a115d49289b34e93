#include "setup/setupsession.h"

#include <filesystem>

#include "components/messengerseam.h"
#include "platform/pathnames.h"
#include "platform/registry.h"
#include "platform/rights.h"
#include "platform/systemfolders.h"
#include "platform/tempfolder.h"
#include "setup/folders.h"
#include "setup/foldervariables.h"
#include "setup/packagenames.h"
#include "setup/portablerun.h"
#include "setup/prerequisites.h"
#include "setup/setuperrors.h"
#include "setup/setuppackage.h"
#include "setup/supportlibrary.h"

namespace setup {

namespace fs = std::filesystem;

bool IsInsideFolder(const std::string& path, const std::string& folder) {
    if (path.empty() || folder.empty())
        return false;
    std::error_code ec;
    fs::path p = fs::weakly_canonical(fs::absolute(path), ec);
    if (ec)
        return false;
    fs::path f = fs::weakly_canonical(fs::absolute(folder), ec);
    if (ec)
        return false;
    auto [fi, pi] = std::mismatch(f.begin(), f.end(), p.begin(), p.end());
    // A trailing separator leaves an empty last element in `f`.
    return (fi == f.end() || (std::next(fi) == f.end() && fi->empty())) && pi != p.end();
}

TSetupSession::TSetupSession(const platform::SystemRoots& roots, platform::Registry& registry,
                             components::IMessenger& messenger, std::string selfPath)
    : roots_(roots), registry_(registry), messenger_(messenger), selfPath_(std::move(selfPath)),
      package_(std::make_unique<TSetupPackage>(roots)),
      library_(std::make_unique<TSupportLibrary>(messenger)) {}

TSetupSession::~TSetupSession() {
    try {
        CloseDown();
    } catch (...) {
    }
}

void TSetupSession::Open(const std::string& packagePath) {
    // What an earlier run left for the next start happens now, on a start
    // with a package (never on one without).
    ApplyPendingFileOperations(roots_);
    package_->Open(packagePath);
    installMode_ = package_->Header().installMode;
    prerequisites_ = std::make_unique<TPrerequisites>(
        *package_, registry_, platform::ExtractFileDir(packagePath, platform::kNativeSeparators));
}

TRightsResult TSetupSession::CheckRights() {
    package_->ExtractSupportFiles();
    TRightsResult result = TRightsResult::Allowed;
    if (installMode_ != TInstallMode::PortableOnly &&
        !platform::ProbeSetupRights(registry_, selfPath_)) {
        if (installMode_ == TInstallMode::NormalOrPortable) {
            installMode_ = TInstallMode::PortableOnly;
            result = TRightsResult::PortableOnly;
        } else {
            result = TRightsResult::NotAllowed;
        }
    }
    allowed_ = result != TRightsResult::NotAllowed;
    if (allowed_)
        package_->InitAppFolderVariables();
    return result;
}

bool TSetupSession::PrepareInstallation(void* window) {
    if (prepared_)
        return prepareAnswer_;
    prepared_ = true;
    package_->InitAppFolderVariables();
    if (!StartSupportLibrary(*library_, *package_, window))
        return prepareAnswer_ = false;
    package_->ReadTables();
    previous_ = ReadPreviousInstallLog(*package_, registry_);
    ApplySupportComponentSelection(*library_, *package_);
    package_->FinishComponents();
    return prepareAnswer_ = true;
}

std::string TSetupSession::PortableFolder() const {
    if (!portableFolder_.empty())
        return portableFolder_;
    // Without a drive page the folder is taken from the home folder (the
    // sandbox's own root when sandboxed), never from the file system's root.
    std::string base = roots_.sandbox.empty() ? roots_.home.string() : roots_.sandbox.string();
    const std::string& folder = package_->Header().portableFolder;
    if (ClimbsOutOfBase(folder))
        throw EInvalidPackage("This is not a valid setup package: the portable folder \"" +
                              folder.substr(0, 64) + "\" leads outside " + base + ".");
    return PortableTargetFolder(base, PackageTextToNative(folder));
}

void TSetupSession::SetPortable(bool portable, const std::string& folder) {
    portable_ = portable;
    TFolderVariables& folders = package_->Folders();
    portableFolder_ = portable ? platform::ExcludeTrailingSeparator(folders.Confine(folder),
                                                                    platform::kNativeSeparators)
                               : std::string();
    folders.SetPortable(portable, portableFolder_);
    // The components' folders expand anew into (or out of) the portable folder.
    if (package_->TablesRead())
        package_->FinishComponents();
}

TPrerequisites& TSetupSession::Prerequisites() {
    return *prerequisites_;
}

TInstallResult TSetupSession::RunInstallation() {
    TInstallResult result;
    if (!PrepareInstallation()) {
        result.aborted = true;
        return result;
    }
    if (portable_) {
        TPortableRun run(*package_, messenger_, portableFolder_);
        result = run.Run();
    } else {
        TInstallRun run(*package_, registry_, roots_, messenger_, previous_);
        if (!installDate_.empty())
            run.SetInstallDate(installDate_);
        result = run.Run();
    }
    if (result.completed)
        library_->FinishDeployment(result.logPath);
    return result;
}

void TSetupSession::CloseDown() {
    if (closed_)
        return;
    closed_ = true;
    // An installer still running is left to finish on its own terms only
    // as long as the runner lives; it goes before the package's files.
    prerequisites_.reset();
    library_->Unload();
    package_->Close();
    ScheduleSelfDeletion(roots_, selfPath_);
}

bool ScheduleSelfDeletion(const platform::SystemRoots& roots, const std::string& selfPath) {
    // The setup executable extracted this program to the temporary folder:
    // it goes at the next start. A copy started from anywhere else (an
    // installed one, a build) is not ours to delete.
    bool extracted = IsInsideFolder(selfPath, roots.temp.string()) ||
                     IsInsideFolder(selfPath, platform::SystemTempDirectory().string());
    if (!extracted || roots.pendingRenames.empty())
        return false;
    // Only where the next start may delete it (inside a sandbox: not the
    // system's temporary folder).
    bool deletable = false;
    for (const auto& root : PendingOperationRoots(roots))
        deletable = deletable || IsInsideFolder(selfPath, root);
    if (!deletable)
        return false;
    TPendingFileOperations(roots).AddDelete(selfPath);
    return true;
}

} // namespace setup
