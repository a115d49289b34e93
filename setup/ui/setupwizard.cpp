#include "setup/ui/setupwizard.h"

#include <QApplication>
#include <QEventLoop>
#include <exception>
#include <memory>

#include "components/ui/windowedmessenger.h"
#include "setup/setupmain.h"
#include "setup/setuppackage.h"
#include "setup/ui/formsetup.h"

namespace setup::ui {

namespace {

TWizardEnvironment CompleteEnvironment(TWizardEnvironment env, platform::Registry& registry) {
    TWizardEnvironment machine = MachineEnvironment(registry);
    if (!env.freeSpace)
        env.freeSpace = machine.freeSpace;
    if (!env.driveName)
        env.driveName = machine.driveName;
    if (!env.drives)
        env.drives = machine.drives;
    if (!env.rightsProbe)
        env.rightsProbe = machine.rightsProbe;
    return env;
}

} // namespace

int RunWizard(const std::string& packagePath, const platform::SystemRoots& roots,
              platform::Registry& registry, const TWizardOptions& options) {
    std::unique_ptr<components::IMessenger> ownMessenger;
    components::IMessenger* messenger = options.messenger;
    if (!messenger) {
        ownMessenger = std::make_unique<components::ui::TWindowedMessenger>();
        messenger = ownMessenger.get();
    }
    TSetupPackage package(roots);
    try {
        package.Open(packagePath);
    } catch (const std::exception& e) {
        messenger->ShowMessage(components::TMessageKind::Error, kSetupCaption, e.what());
        return kWizardBadPackage;
    }
    int status = kWizardAborted;
    {
        TFormSetup form(package, registry, roots, *messenger,
                        CompleteEnvironment(options.environment, registry), options.hooks);
        bool started = false;
        try {
            form.show();
            started = form.Start();
        } catch (const std::exception& e) {
            messenger->ShowMessage(components::TMessageKind::Error, kSetupCaption, e.what());
            return kWizardBadPackage;
        }
        if (!started)
            return kWizardNotAllowed;
        QEventLoop loop;
        QObject::connect(&form, &TFormSetup::Closed, &loop, &QEventLoop::quit,
                         Qt::QueuedConnection);
        if (form.isVisible())
            loop.exec();
        const TWizardFlow& flow = form.Flow();
        if (flow.Result().completed)
            status = kWizardDone;
        else if (!flow.InstallationAllowed())
            status = kWizardNotAllowed;
    }
    package.Close();
    return status;
}

} // namespace setup::ui
