#include "wizard_support.h"

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
    env.rightsProbe = [this] { return rights; };
    return env;
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

} // namespace setuptest
