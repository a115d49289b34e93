#pragma once
// The start of `setup` as far as it needs no window: the argument rules
// with their two messages, and a core entry that installs a package with
// answers given in advance (tests, the test tool, batch runs).
#include <map>
#include <string>
#include <vector>

#include "setup/installrun.h"

namespace components {
class IMessenger;
}

namespace platform {
class Registry;
struct SystemRoots;
} // namespace platform

namespace setup {

inline constexpr const char* kSetupCaption = "Vexlor Packwhistler";
inline constexpr const char* kNoPackageMessage =
    "This executable is part of an installation program and serves no purpose on its own.\r"
    "It will be automatically deleted the next time you start your computer.";

enum class TStartAction { ShowMessage, Wizard, Silent };

struct TStartDecision {
    TStartAction action = TStartAction::ShowMessage;
    std::string message; // ShowMessage: the text of the error box
    std::string packagePath;
};

// `args` are the arguments after the program name.
TStartDecision DecideStart(const std::vector<std::string>& args);

struct TInstallAnswers {
    // Component name -> selected (only components the user may choose).
    std::map<std::string, bool> components;
    // Folder variable ("%APPFOLDER%") -> native path.
    std::map<std::string, std::string> folders;
    std::string installDate; // "yyyymmdd" for a fixed uninstall entry; empty: today
};

// Opens the package, reads the earlier installation's log, applies the
// answers and runs the installation; progress and the questions after
// errors go to `messenger` (TScriptedMessenger in batch runs and tests: its
// safe answer to them is No). Errors before the run (a damaged or unsafe
// package) are thrown before anything is written.
TInstallResult InstallPackage(const std::string& packagePath, const TInstallAnswers& answers,
                              const platform::SystemRoots& roots, platform::Registry& registry,
                              components::IMessenger& messenger);

} // namespace setup
