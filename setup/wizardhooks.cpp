#include "setup/wizardhooks.h"

#include "components/messengerseam.h"
#include "platform/pathnames.h"
#include "setup/portablerun.h"
#include "setup/prerequisites.h"
#include "setup/setuppackage.h"
#include "setup/supportlibrary.h"
#include "setup/uistrings.h"

namespace setup {

TWizardServices::TWizardServices(const platform::SystemRoots& roots, platform::Registry& registry,
                                 components::IMessenger& messenger,
                                 platform::IMachineRestart& restart)
    : roots_(roots), registry_(registry), messenger_(messenger), restart_(restart),
      library_(std::make_unique<TSupportLibrary>(messenger)) {}

// The installer runner goes before the library.
TWizardServices::~TWizardServices() {
    prerequisites_.reset();
}

TWizardHooks TWizardServices::Hooks() {
    TWizardHooks hooks;
    hooks.allowInstallation = [this](TSetupPackage& p) { return AllowInstallation(p); };
    hooks.componentSelection = [this](TSetupPackage& p) { ComponentSelection(p); };
    hooks.prerequisites = [this](TSetupPackage& p) { return CheckPrerequisites(p); };
    hooks.portableRun = [this](TSetupPackage& p, components::IMessenger& m) {
        return PortableRun(p, m);
    };
    hooks.finishDeployment = [this](const std::string& path) { FinishDeployment(path); };
    hooks.restart = [this] { Restart(); };
    return hooks;
}

bool TWizardServices::AllowInstallation(TSetupPackage& package) {
    caption_ = package.Ui().Format(ui::kWindowCaption, {package.Settings().FullProductTitle()});
    return StartSupportLibrary(*library_, package, nullptr);
}

void TWizardServices::ComponentSelection(TSetupPackage& package) {
    ApplySupportComponentSelection(*library_, package);
}

TPrerequisiteState TWizardServices::CheckPrerequisites(TSetupPackage& package) {
    if (!prerequisites_)
        prerequisites_ = std::make_unique<TPrerequisites>(
            package, registry_,
            platform::ExtractFileDir(package.PackagePath(), platform::kNativeSeparators));
    prerequisites_->PollInstallerEnded();
    TPrerequisiteState state;
    auto prompt = prerequisites_->Check();
    if (!prompt)
        return state;
    state.ready = false;
    state.text = prompt->text;
    state.detail = prompt->statusText;
    if (!prompt->problem.empty())
        state.detail += (state.detail.empty() ? "" : "\r") + prompt->problem;
    state.url = prompt->downloadUrl;
    return state;
}

TInstallResult TWizardServices::PortableRun(TSetupPackage& package,
                                            components::IMessenger& messenger) {
    TPortableRun run(package, messenger, package.Folders().PortableFolder());
    return run.Run();
}

void TWizardServices::FinishDeployment(const std::string& path) {
    library_->FinishDeployment(path);
}

void TWizardServices::Restart() {
    lastRestart_ = RestartNow(roots_, caption_, messenger_, restart_);
    if (lastRestart_.accepted && !lastRestart_.restarted)
        messenger_.ShowMessage(components::TMessageKind::Error, caption_, lastRestart_.error);
}

} // namespace setup
