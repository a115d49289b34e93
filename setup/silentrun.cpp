#include "setup/silentrun.h"

#include "components/messengerseam.h"
#include "setup/prerequisites.h"
#include "setup/setupmain.h"
#include "setup/setuppackage.h"
#include "setup/setupsession.h"
#include "setup/uistrings.h"

namespace setup {

namespace {

constexpr std::size_t kNoRights = 14;
constexpr std::size_t kCannotInstall = 15;
constexpr std::size_t kRestartNeeded = 47;

// Installs what is missing when an installer can run; false when something
// is still missing afterwards (its prompt is shown as a message).
bool SettlePrerequisites(TSetupSession& session, int installerTimeoutMs) {
    TPrerequisites& prerequisites = session.Prerequisites();
    while (auto prompt = prerequisites.Check()) {
        if (prompt->installerStarted)
            prerequisites.WaitForInstaller(installerTimeoutMs);
        if (prerequisites.Continue())
            continue;
        std::string text = prompt->text;
        if (!prompt->problem.empty())
            text += "\r" + prompt->problem;
        if (!prompt->downloadUrl.empty())
            text += "\r" + prompt->statusText + " " + prompt->downloadUrl;
        const TSetupPackage& package = session.Package();
        session.Messenger().ShowMessage(
            components::TMessageKind::Error,
            package.Ui().Format(ui::kWindowCaption, {package.Settings().FullProductTitle()}), text);
        return false;
    }
    return true;
}

} // namespace

TSilentExit RunSilent(TSetupSession& session, int installerTimeoutMs) {
    components::IMessenger& messenger = session.Messenger();
    try {
        if (session.CheckRights() == TRightsResult::NotAllowed) {
            const TUiStrings& ui = session.Package().Ui();
            messenger.ShowMessage(components::TMessageKind::None, {},
                                  ui.Get(kNoRights) + "\r" + ui.Get(kCannotInstall));
            return TSilentExit::NotAllowed;
        }
        if (!session.PrepareInstallation(nullptr))
            return TSilentExit::NotAllowed;
        if (session.InstallMode() == TInstallMode::PortableOnly)
            session.SetPortable(true, session.PortableFolder());
    } catch (const std::exception& e) {
        messenger.ShowMessage(components::TMessageKind::Error, kSetupCaption, e.what());
        return TSilentExit::BadPackage;
    }
    if (!session.Portable() && !SettlePrerequisites(session, installerTimeoutMs))
        return TSilentExit::Aborted;
    TInstallResult result = session.RunInstallation();
    if (result.completed) {
        // No done page: the package's restart text says what still waits.
        if (result.rebootNeeded)
            messenger.Warning(session.Package().Ui().Get(kRestartNeeded));
        // Nobody chose the folder of a portable run: say where it went.
        if (session.Portable())
            messenger.ShowMessage(components::TMessageKind::Information, kSetupCaption,
                                  "Installed as a portable installation into " +
                                      session.PortableFolder() + ".");
        // Going on after an error is not success.
        return result.errorAsked ? TSilentExit::Aborted : TSilentExit::Done;
    }
    if (!result.errorMessage.empty()) {
        const TSetupPackage& package = session.Package();
        const TUiStrings& ui = package.Ui();
        messenger.ShowMessage(
            components::TMessageKind::Error, kSetupCaption,
            ui.Format(ui::kErrorIntroduction, {package.Settings().FullProductTitle()}) + "\r\r" +
                result.errorMessage);
    }
    return result.invalidPackage ? TSilentExit::BadPackage : TSilentExit::Aborted;
}

} // namespace setup
