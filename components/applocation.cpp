#include "components/applocation.h"

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace components {

TAppLocation DetectAppLocation(const std::string& exePath, const platform::DriveSources& sources) {
    TAppLocation loc;
    loc.AppExePath = exePath;
    auto slash = exePath.find_last_of('/');
    loc.AppFolder = slash == std::string::npos ? std::string("./") : exePath.substr(0, slash + 1);
    auto drive = platform::DriveOfPath(loc.AppFolder, sources);
    if (drive)
        loc.AppDrive = drive->root.string();
    struct stat st {};
    if (::stat((loc.AppFolder + "RemovableDrive.sys").c_str(), &st) == 0) {
        loc.AppOnRemovableDrive = true;
    } else {
        platform::DriveType type = drive ? drive->type : platform::DriveType::Unknown;
        loc.AppOnNetworkDrive = type == platform::DriveType::Remote;
        loc.AppOnRemovableDrive = type != platform::DriveType::Fixed && !loc.AppOnNetworkDrive;
    }
    if (drive && drive->serial)
        loc.AppVolumeSerial = *drive->serial;
    return loc;
}

const TAppLocation& AppLocation() {
    static const TAppLocation location = [] {
        std::vector<char> buffer(4096);
        ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
        std::string path = n > 0 ? std::string(buffer.data(), static_cast<std::size_t>(n)) : "";
        return DetectAppLocation(path);
    }();
    return location;
}

} // namespace components
