#pragma once
// Where the running program lives and whether that is a removable or a
// network drive (a portable installation). A folder holding the marker
// "RemovableDrive.sys" counts as removable whatever the drive.
#include <cstdint>
#include <string>

#include "platform/drives.h"

namespace components {

inline constexpr std::uint32_t kNoVolumeSerial = 0xDEADBEEF;

struct TAppLocation {
    std::string AppExePath;
    std::string AppFolder; // with a trailing separator
    std::string AppDrive;  // the mount point holding the program
    bool AppOnRemovableDrive = false;
    bool AppOnNetworkDrive = false;
    std::uint32_t AppVolumeSerial = kNoVolumeSerial;
};

// The location of a program file.
TAppLocation DetectAppLocation(const std::string& exePath,
                               const platform::DriveSources& sources = {});
// The running program's location, found once.
const TAppLocation& AppLocation();

} // namespace components
