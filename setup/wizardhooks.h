#pragma once
// The engine's parts the wizard calls at its steps: the support library,
// the prerequisites with their installers, the portable run and the
// restart. One object per wizard run owns them and hands out the hooks.
#include <memory>
#include <string>

#include "setup/restart.h"
#include "setup/wizardflow.h"

namespace components {
class IMessenger;
}

namespace platform {
class IMachineRestart;
class Registry;
struct SystemRoots;
} // namespace platform

namespace setup {

class TPrerequisites;
class TSetupPackage;
class TSupportLibrary;

class TWizardServices {
public:
    // `messenger` shows the support library's errors and asks about the
    // restart; `restart` is the machine's restart (a recorder in tests).
    TWizardServices(const platform::SystemRoots& roots, platform::Registry& registry,
                    components::IMessenger& messenger, platform::IMachineRestart& restart);
    ~TWizardServices();
    TWizardServices(const TWizardServices&) = delete;
    TWizardServices& operator=(const TWizardServices&) = delete;

    // The hooks over this object; it must outlive the wizard.
    TWizardHooks Hooks();

    // Each hook, callable on its own.
    bool AllowInstallation(TSetupPackage& package);
    void ComponentSelection(TSetupPackage& package);
    // Polls a running installer, then checks what is still missing (and
    // starts its installer).
    TPrerequisiteState CheckPrerequisites(TSetupPackage& package);
    TInstallResult PortableRun(TSetupPackage& package, components::IMessenger& messenger);
    void FinishDeployment(const std::string& path);
    void Restart();

    TSupportLibrary& SupportLibrary() { return *library_; }
    // Null until the first prerequisite check.
    TPrerequisites* Prerequisites() { return prerequisites_.get(); }
    const TRestartOutcome& LastRestart() const { return lastRestart_; }

private:
    const platform::SystemRoots& roots_;
    platform::Registry& registry_;
    components::IMessenger& messenger_;
    platform::IMachineRestart& restart_;
    std::unique_ptr<TSupportLibrary> library_;
    std::unique_ptr<TPrerequisites> prerequisites_;
    std::string caption_; // the wizard's caption, for the restart question
    TRestartOutcome lastRestart_;
};

} // namespace setup
