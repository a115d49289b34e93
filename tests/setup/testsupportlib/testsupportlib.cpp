// A support library for the tests. BW_TEST_SUPPORT_MODE picks how it
// behaves: "refuse" (no installation), "throw" (every entry point raises),
// "nonul" (fills the whole folder buffer, no NUL), anything else answers
// normally. BW_TEST_SUPPORT_RECORD names a file each call appends a line to.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>

namespace {

std::string Mode() {
    const char* mode = std::getenv("BW_TEST_SUPPORT_MODE");
    return mode ? mode : "";
}

void Record(const std::string& line) {
    if (const char* path = std::getenv("BW_TEST_SUPPORT_RECORD"))
        std::ofstream(path, std::ios::app) << line << "\n";
}

void MaybeThrow(const char* entry) {
    if (Mode() == "throw")
        throw std::runtime_error(std::string("the test library fails in ") + entry);
}

void Fill(char* buffer, std::int32_t size, const char* text) {
    if (Mode() == "nonul") {
        std::memset(buffer, 'X', static_cast<std::size_t>(size));
        return;
    }
    std::strncpy(buffer, text, static_cast<std::size_t>(size) - 1);
}

} // namespace

extern "C" {

unsigned char AllowInstallation(void* window) {
    Record(window ? "AllowInstallation with a window" : "AllowInstallation");
    MaybeThrow("AllowInstallation");
    return Mode() == "refuse" ? 0 : 1;
}

void GetSystemFolders(char* buffer, std::int32_t size) {
    Record("GetSystemFolders " + std::to_string(size));
    MaybeThrow("GetSystemFolders");
    Fill(buffer, size, "");
}

void GetInstallFolders(char* buffer, std::int32_t size) {
    Record("GetInstallFolders " + std::to_string(size));
    MaybeThrow("GetInstallFolders");
    Fill(buffer, size, "%DATAFOLDER%|Data|%APPFOLDER%\\Data|");
}

void GetComponentSelection(const char* name, std::int32_t* userMayChoose, std::int32_t* selected,
                           unsigned char previouslyInstalled) {
    Record(std::string("GetComponentSelection ") + name + " " + std::to_string(*userMayChoose) +
           " " + std::to_string(*selected) + " " + std::to_string(previouslyInstalled));
    MaybeThrow("GetComponentSelection");
    // "Extras" becomes a fixed, selected component.
    if (std::strcmp(name, "Extras") == 0) {
        *userMayChoose = 0;
        *selected = 1;
    }
}

void FinishDeployment(const char* path) {
    Record(std::string("FinishDeployment ") + path);
    MaybeThrow("FinishDeployment");
}
}
