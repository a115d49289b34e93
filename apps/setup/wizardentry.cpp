#include "apps/setup/wizardentry.h"

#include "components/ui/windowedmessenger.h"
#include "platform/machinerestart.h"
#include "platform/registry.h"
#include "platform/systemfolders.h"
#include "setup/ui/setupwizard.h"
#include "setup/wizardhooks.h"

int RunSetupWizard(const std::string& packagePath, const platform::SystemRoots& roots,
                   platform::Registry& registry) {
    components::ui::TWindowedMessenger messenger;
    std::unique_ptr<platform::IMachineRestart> restart = platform::SystemMachineRestart();
    setup::TWizardServices services(roots, registry, messenger, *restart);
    setup::ui::TWizardOptions options;
    options.hooks = services.Hooks();
    options.messenger = &messenger;
    return setup::ui::RunWizard(packagePath, roots, registry, options);
}
