#pragma once
// The entry of `setup` into its wizard: opens the package in a setup
// session, builds the wizard window (and its backdrop when the package has
// one), shows it and runs the event loop until it closes, then closes the
// session down. A QApplication must exist.
#include <string>

#include "setup/wizardflow.h"

namespace components {
class IMessenger;
}

namespace platform {
class IMachineRestart;
class Registry;
struct SystemRoots;
} // namespace platform

namespace setup::ui {

// Exit statuses, the same as the silent mode's.
enum TWizardExit : int {
    kWizardDone = 0,       // the installation completed
    kWizardAborted = 1,    // aborted, or left before installing
    kWizardNotAllowed = 2, // the rights check or the support library refused
    kWizardBadPackage = 3, // the package could not be opened or read
};

struct TWizardOptions {
    // Shows the boxes and answers the questions; null: message dialogs.
    components::IMessenger* messenger = nullptr;
    // Carries out "Restart now"; null: the platform's own.
    platform::IMachineRestart* restart = nullptr;
    // The machine's facts (free space, drives); empty members are taken
    // from MachineEnvironment.
    TWizardEnvironment environment;
};

// `selfPath` is the running setup program (the rights probe writes it; the
// close-down deletes it when the setup executable extracted it).
int RunWizard(const std::string& packagePath, const std::string& selfPath,
              const platform::SystemRoots& roots, platform::Registry& registry,
              const TWizardOptions& options = {});

} // namespace setup::ui
