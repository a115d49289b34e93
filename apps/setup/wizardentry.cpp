#include "apps/setup/wizardentry.h"

#include <memory>

#include "components/ui/windowedmessenger.h"
#include "platform/machinerestart.h"
#include "platform/registry.h"
#include "platform/systemfolders.h"
#include "setup/restart.h"
#include "setup/ui/setupwizard.h"

int RunSetupWizard(const std::string& packagePath, const std::string& selfPath,
                   const platform::SystemRoots& roots, platform::Registry& registry) {
    components::ui::TWindowedMessenger messenger;
    // A sandboxed run only records "Restart now".
    std::unique_ptr<platform::IMachineRestart> restart = setup::MachineRestartFor(roots);
    setup::ui::TWizardOptions options;
    options.messenger = &messenger;
    options.restart = restart.get();
    return setup::ui::RunWizard(packagePath, selfPath, roots, registry, options);
}
