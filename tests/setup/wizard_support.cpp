#include "wizard_support.h"

#include <filesystem>

namespace setuptest {

std::string TWizardSandbox::Build(const std::string& json, const std::string& name) {
    std::string path = Path(name + ".exe");
    BuildPackage(json, path);
    return path;
}

setup::TWizardEnvironment TWizardSandbox::Environment() {
    setup::TWizardEnvironment env;
    env.freeSpace = [this](const std::string& path) -> std::optional<std::uint64_t> {
        freeSpaceAsked.push_back(path);
        return freeBytes;
    };
    env.driveName = [](const std::string&) { return std::string("/"); };
    env.drives = [this] { return drives; };
    return env;
}

platform::Registry& TWizardSandbox::BlockedRegistry() {
    if (!blocked_) {
        // A file where the machine hive's folder would have to be.
        WriteFile(Path("blocked"), "x");
        auto locations = platform::RegistryLocations::InFolder(Path("blockedreg"));
        std::filesystem::create_directories(Path("blockedreg"));
        locations.localMachine = Path("blocked") + "/HKLM.reg";
        blocked_ = platform::OpenFileRegistry(locations);
    }
    return *blocked_;
}

platform::DriveInfo FixedDrive(const std::string& root, const std::string& label,
                               std::optional<std::uint64_t> freeBytes) {
    platform::DriveInfo drive;
    drive.root = root;
    drive.type = platform::DriveType::Fixed;
    drive.label = label;
    drive.freeBytes = freeBytes;
    return drive;
}

std::string WizardPackageJson() {
    return R"({
  "settings": {"publisher": "Vexlor", "publisherUrl": "http://vexlor.example", "product": "Demo",
               "version": "1.0", "releaseDate": "45000", "readme": "readme.txt",
               "licence": "licence.txt",
               "appFolder": "%PROGRAMFILES%\\Demo", "menuFolder": "%PROGRAMSMENU%\\Demo"},
  "supportFiles": {"readme": {"text": "Read me first."},
                   "licence": {"text": "You may use this program.\r\nLine two."}},
  "installMode": 1, "advancedPage": 1, "allDrives": 1, "portableFolder": "\\Portable\\Demo",
  "files": [{"name": "demo.sh", "text": "#!/bin/sh\necho demo\n"},
            {"name": "guide.txt", "generated": {"size": 200000, "seed": 3}},
            {"name": "extra.bin", "generated": {"size": 100000, "seed": 5}}],
  "components": [
    {"name": "Program", "description": "The program", "userMayChoose": false, "selected": true,
     "folders": [{"name": "%APPFOLDER%", "items": [{"file": "demo.sh"}]},
                 {"name": "%APPMENU%", "items": [{"shortcut": "demo.sh", "name": "Demo"}]}]},
    {"name": "Docs", "description": "The guide", "userMayChoose": true, "selected": true,
     "folders": [{"name": "%APPFOLDER%", "folders": [{"name": "Docs", "items": [{"file": "guide.txt"}]}]}]},
    {"name": "Extras", "description": "More things", "userMayChoose": true, "selected": false,
     "folders": [{"name": "%APPFOLDER%", "items": [{"file": "extra.bin"}]}]}],
  "fileTypes": [{"register": 1, "description": "Demo document", "extension": ".dmo",
                 "actions": [{"verb": "open", "program": "demo.sh", "command": "\"%1\""}]}]
})";
}

std::string NormalPackageJson() {
    std::string json = WizardPackageJson();
    const std::string mode = "\"installMode\": 1";
    json.replace(json.find(mode), mode.size(), "\"installMode\": 0");
    return json;
}

} // namespace setuptest
