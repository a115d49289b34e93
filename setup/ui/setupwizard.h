#pragma once
// The entry of `setup` into its wizard: opens the package, builds the
// wizard window (and its backdrop when the package has one), shows it and
// runs the event loop until it closes. A QApplication must exist.
#include <string>

#include "setup/wizardflow.h"

namespace components {
class IMessenger;
}

namespace platform {
class Registry;
struct SystemRoots;
} // namespace platform

namespace setup::ui {

// Exit statuses, the same as the silent mode's.
enum TWizardExit : int {
    kWizardDone = 0,       // the installation completed
    kWizardAborted = 1,    // aborted, or left before installing
    kWizardNotAllowed = 2, // the rights probe or the support library refused
    kWizardBadPackage = 3, // the package could not be opened or read
};

struct TWizardOptions {
    // Prerequisites, support library, portable run, restart; each optional.
    TWizardHooks hooks;
    // Shows the boxes and answers the questions; null: message dialogs.
    components::IMessenger* messenger = nullptr;
    // The machine's facts (free space, drives, rights probe); empty members
    // are taken from MachineEnvironment.
    TWizardEnvironment environment;
};

int RunWizard(const std::string& packagePath, const platform::SystemRoots& roots,
              platform::Registry& registry, const TWizardOptions& options = {});

} // namespace setup::ui
