#pragma once
// The portable installation: only the files of the chosen components, into
// one folder on a chosen drive, with no log, no registry entries and no
// uninstall registration. Every file streams from the package into a
// temporary file beside its target, so any size fits and the package may
// span volumes. A marker file may tell the help program to treat the drive
// as removable.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/drives.h"
#include "setup/installrun.h"

namespace components {
class IMessenger;
}

namespace setup {

class TSetupPackage;

inline constexpr const char* kPortableMarkerName = "RemovableDrive.sys";
inline constexpr const char* kPortableMarkerText =
    "The existence of this file forces portable applications installed by Packwhistler in "
    "this folder to treat the drive as removable, even if it isn't.";

// Whether a portable run writes the marker: kind 2 always, kind 1 unless the
// drive is removable, kind 0 never.
bool PortableMarkerWanted(std::uint8_t markerKind, platform::DriveType driveType);
// The marker's path in a portable folder.
std::string PortableMarkerPath(const std::string& portableFolder);
// Writes the marker (one line) unless a file of that name exists; true when
// it was written now.
bool WritePortableMarker(const std::string& portableFolder);

// The portable folder from the drive page: the drive's root and the typed
// folder without leading separators, drive part or trailing separator.
std::string PortableTargetFolder(const std::string& driveRoot, const std::string& typedFolder);

class TPortableRun {
public:
    using TDriveTypeOf = std::function<platform::DriveType(const std::string& path)>;

    // The package's folder variables must already be portable
    // (TFolderVariables::SetPortable with `portableFolder`, a native folder).
    TPortableRun(TSetupPackage& package, components::IMessenger& messenger,
                 std::string portableFolder);

    // For tests: the drive type of the portable folder.
    void SetDriveTypeLookup(TDriveTypeOf lookup) { driveTypeOf_ = std::move(lookup); }

    // Installs the files; `logPath` of the result is the marker's path (what
    // "FinishDeployment" gets), whether or not a marker was written.
    TInstallResult Run();

    const std::vector<TCopyData>& Files() const { return files_; }

private:
    void Collect();
    void CollectFolder(const std::string& folderPath, const TComponentFolder& folder);
    void InstallFiles();
    void InstallPortableFile(const TCopyData& data, bool exists);
    void Advance(std::uint64_t amount);

    TSetupPackage& package_;
    components::IMessenger& messenger_;
    std::string portableFolder_;
    TDriveTypeOf driveTypeOf_;
    std::vector<TCopyData> files_;
    std::uint64_t totalSize_ = 0;
    std::uint64_t position_ = 0;
    std::string madeFolder_; // the target folder made last
    TInstallResult result_;
};

} // namespace setup
