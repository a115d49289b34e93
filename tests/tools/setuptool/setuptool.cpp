// setuptool dump PACKAGE
// setuptool extract PACKAGE FILE-INDEX TARGET
// setuptool install PACKAGE (see installcmd.cpp)
//
// Prints what the setup engine reads from a package (header, support files,
// tables and folder variables) in a stable text form. Unless VEXLOR_SANDBOX
// is set, folders are shown as they would be in a user-scope sandbox at
// /sandbox, so the text does not depend on the machine.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "platform/diagnostics.h"
#include "platform/systemfolders.h"
#include "platform/tempfolder.h"
#include "setup/packagedump.h"
#include "setup/setuppackage.h"

int InstallCommand(const std::string& packagePath);

namespace {

// Reads and prints: no folder is made and no file written, sandbox or not.
int Dump(const std::string& path) {
    platform::SystemRoots roots = std::getenv("VEXLOR_SANDBOX")
                                      ? platform::SystemRoots::FromEnvironment()
                                      : platform::SystemRoots::InSandbox("/sandbox");
    setup::TSetupPackage package(roots);
    package.SetReadOnly(true);
    package.Open(path);
    package.PrepareInstallation();
    std::fputs(setup::DumpPackage(package).c_str(), stdout);
    return 0;
}

// Extracts one packaged file the way an installation does (through a
// temporary file in the target's folder, checked against size and CRC-32).
int Extract(const std::string& path, const std::string& index, const std::string& target) {
    platform::SystemRoots roots = std::getenv("VEXLOR_SANDBOX")
                                      ? platform::SystemRoots::FromEnvironment()
                                      : platform::SystemRoots::InSandbox("/sandbox");
    if (!std::getenv("VEXLOR_SANDBOX"))
        roots.temp = platform::SystemTempDirectory();
    setup::TSetupPackage package(roots);
    package.Open(path);
    package.PrepareInstallation();
    std::string temp =
        package.InstallPackageFile(static_cast<std::uint16_t>(std::stoul(index)), target);
    if (!temp.empty())
        std::printf("replaced at the next start: %s\n", temp.c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // The core's warnings (a damaged hive set aside, a failed save at exit).
    platform::SetWarningHandler(
        [](const std::string& text) { std::fprintf(stderr, "Warning: %s\n", text.c_str()); });
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "dump") {
        try {
            return Dump(args[1]);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "setuptool: %s\n", e.what());
            return 1;
        }
    }
    if (args.size() == 4 && args[0] == "extract") {
        try {
            return Extract(args[1], args[2], args[3]);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "setuptool: %s\n", e.what());
            return 1;
        }
    }
    if (args.size() == 2 && args[0] == "install")
        return InstallCommand(args[1]);
    std::fprintf(stderr, "usage: setuptool dump PACKAGE\n       setuptool install PACKAGE\n       "
                         "setuptool extract PACKAGE "
                         "FILE-INDEX TARGET\n");
    return 2;
}
