#include "setup/ui/setupwizard.h"

#include <QEventLoop>
#include <exception>
#include <memory>

#include "components/ui/windowedmessenger.h"
#include "setup/setupmain.h"
#include "setup/setupsession.h"
#include "setup/ui/formsetup.h"
#include "setup/ui/wizardmessenger.h"

namespace setup::ui {

namespace {

TWizardEnvironment CompleteEnvironment(TWizardEnvironment env) {
    TWizardEnvironment machine = MachineEnvironment();
    if (!env.freeSpace)
        env.freeSpace = machine.freeSpace;
    if (!env.driveName)
        env.driveName = machine.driveName;
    if (!env.drives)
        env.drives = machine.drives;
    return env;
}

int StatusOf(const TWizardFlow& flow) {
    const TInstallResult& result = flow.Result();
    // A run that went on after an error ("installed with errors") did not
    // do all it should have: that is not success.
    if (result.completed && !result.errorAsked)
        return kWizardDone;
    if (result.invalidPackage)
        return kWizardBadPackage;
    return flow.InstallationAllowed() ? kWizardAborted : kWizardNotAllowed;
}

} // namespace

int RunWizard(const std::string& packagePath, const std::string& selfPath,
              const platform::SystemRoots& roots, platform::Registry& registry,
              const TWizardOptions& options) {
    std::unique_ptr<components::IMessenger> ownBoxes;
    components::IMessenger* boxes = options.messenger;
    if (!boxes) {
        ownBoxes = std::make_unique<components::ui::TWindowedMessenger>();
        boxes = ownBoxes.get();
    }
    TWizardMessenger messenger(*boxes);
    TSetupSession session(roots, registry, messenger, selfPath);
    int status = kWizardAborted;
    try {
        session.Open(packagePath);
        TFormSetup form(session, messenger, CompleteEnvironment(options.environment),
                        options.restart);
        form.show();
        if (!form.Start())
            return kWizardNotAllowed;
        QEventLoop loop;
        QObject::connect(&form, &TFormSetup::Closed, &loop, &QEventLoop::quit,
                         Qt::QueuedConnection);
        if (form.isVisible())
            loop.exec();
        status = StatusOf(form.Flow());
    } catch (const std::exception& e) {
        boxes->ShowMessage(components::TMessageKind::Error, kSetupCaption, e.what());
        status = kWizardBadPackage;
    }
    session.CloseDown();
    return status;
}

} // namespace setup::ui
