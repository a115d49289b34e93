// Feeds arbitrary bytes to the setup package reader as a one-volume package:
// header, support files, tables, folder expansion and the extraction of
// every file must end in a clean error or a result, never a crash.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "platform/systemfolders.h"
#include "setup/setuppackage.h"

namespace {

struct Workspace {
    Workspace() {
        dir = (std::filesystem::temp_directory_path() / ("setupfuzz" + std::to_string(::getpid())))
                  .string();
        std::filesystem::create_directories(dir + "/out");
        roots = platform::SystemRoots::InSandbox(dir + "/root");
        roots.CreateFolders();
    }
    std::string dir;
    platform::SystemRoots roots;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Workspace ws;
    std::string package = ws.dir + "/p.exe";
    if (FILE* f = std::fopen(package.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    try {
        setup::TSetupPackage p(ws.roots);
        p.Open(package);
        p.PrepareInstallation();
        const auto& files = p.Tables().fileTable.files;
        for (std::size_t i = 0; i < files.size() && i < 16; ++i) {
            if (files[i].size > (1u << 20))
                continue;
            try {
                p.InstallPackageFile(static_cast<std::uint16_t>(i), ws.dir + "/out/f");
            } catch (const setup::ESetupError&) {
            }
        }
        (void)p.Folders().ExpandAllFolderVariables(p.Settings().appFolder);
    } catch (const setup::ESetupError&) {
    } catch (const std::exception&) {
        // Platform errors (a temporary folder that cannot be made) are clean
        // failures as well.
    }
    std::error_code ec;
    std::filesystem::remove(ws.dir + "/out/f", ec);
    return 0;
}
