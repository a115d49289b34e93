#pragma once
// One run of `setup` without its windows: the open package, the rights
// check of the welcome page, the preparation (support library, folders,
// tables, the earlier installation), the prerequisites, the installation
// run (normal or portable), the end of the run, and the close-down. The
// wizard and the silent mode both drive this object; everything it shows
// or asks goes through the messenger.
#include <memory>
#include <string>

#include "setup/installlog.h"
#include "setup/installrun.h"
#include "setup/packageheader.h"

namespace components {
class IMessenger;
}

namespace platform {
class Registry;
struct SystemRoots;
} // namespace platform

namespace setup {

class TPrerequisites;
class TSetupPackage;
class TSupportLibrary;

// What the welcome page's rights check found.
enum class TRightsResult {
    Allowed,      // the probe succeeded, or the package is portable-only
    PortableOnly, // no rights, and a package that allows both became portable-only
    NotAllowed,   // no rights for a normal-only package
};

class TSetupSession {
public:
    // `selfPath`: the running setup program (the rights probe writes it;
    // the close-down deletes it when it was extracted to the temporary
    // folder).
    TSetupSession(const platform::SystemRoots& roots, platform::Registry& registry,
                  components::IMessenger& messenger, std::string selfPath);
    ~TSetupSession();
    TSetupSession(const TSetupSession&) = delete;
    TSetupSession& operator=(const TSetupSession&) = delete;

    // Opens the package and reads its header (the window's creation).
    // Throws ESetupError (or a platform error) for a package that cannot be
    // read.
    void Open(const std::string& packagePath);

    // The welcome page's data: extracts the support files (icon, readme,
    // licence, support library, backdrop picture) and runs the rights
    // probe, unless the package is portable-only. PortableOnly switches the
    // install mode to portable-only.
    TRightsResult CheckRights();
    bool InstallationAllowed() const { return allowed_; }
    // The header's install mode, or portable-only after the switch above.
    TInstallMode InstallMode() const { return installMode_; }

    // Once (a second call returns the first answer): loads the support
    // library and asks whether to go on (false: end without installing);
    // the system folders and the library's folders; the tables; the earlier
    // installation; the library's component selection; the required flags
    // and expanded folders. `window`: the wizard's native handle, or null.
    bool PrepareInstallation(void* window = nullptr);
    bool Prepared() const { return prepared_; }

    // The portable choice of the drive page (or a portable-only package):
    // every folder variable expands into `folder`.
    void SetPortable(bool portable, const std::string& folder);
    bool Portable() const { return portable_; }
    // The folder a portable run installs into (the header's by default;
    // EInvalidPackage when that one climbs out of its base with "..").
    std::string PortableFolder() const;

    // The .NET requirement and the external installers (run them before
    // RunInstallation; not for a portable run).
    TPrerequisites& Prerequisites();

    // The installation run (portable or normal), then the end of the run:
    // "FinishDeployment" with the log (or the marker in a portable run).
    TInstallResult RunInstallation();

    // The close-down: unloads the support library, closes the package,
    // deletes the temporary files, and deletes the setup program itself at
    // the next start when it runs from the temporary folder (where the
    // setup executable extracted it). Idempotent.
    void CloseDown();

    TSetupPackage& Package() { return *package_; }
    const TSetupPackage& Package() const { return *package_; }
    TSupportLibrary& SupportLibrary() { return *library_; }
    const TPreviousInstall& Previous() const { return previous_; }
    components::IMessenger& Messenger() { return messenger_; }
    const std::string& SelfPath() const { return selfPath_; }
    const platform::SystemRoots& Roots() const { return roots_; }
    platform::Registry& Registry() { return registry_; }

    // For tests: a fixed install date ("yyyymmdd") in the uninstall entry.
    void SetInstallDate(std::string date) { installDate_ = std::move(date); }

private:
    const platform::SystemRoots& roots_;
    platform::Registry& registry_;
    components::IMessenger& messenger_;
    std::string selfPath_;
    std::unique_ptr<TSetupPackage> package_;
    std::unique_ptr<TSupportLibrary> library_;
    std::unique_ptr<TPrerequisites> prerequisites_;
    TPreviousInstall previous_;
    std::string installDate_;
    bool allowed_ = false;
    bool prepared_ = false;
    bool prepareAnswer_ = false;
    bool portable_ = false;
    std::string portableFolder_;
    TInstallMode installMode_ = TInstallMode::NormalOnly;
    bool closed_ = false;
};

// The close-down's last step: the running setup program is deleted at the
// next start (recorded with the pending file operations) when it runs from
// the temporary folder, where the setup executable extracted it. True when
// recorded.
bool ScheduleSelfDeletion(const platform::SystemRoots& roots, const std::string& selfPath);
// Whether `path` lies inside `folder` (both made absolute and normal).
bool IsInsideFolder(const std::string& path, const std::string& folder);

} // namespace setup
