#include "setup/restart.h"

#include <fstream>

#include "components/messengerseam.h"
#include "platform/machinerestart.h"
#include "platform/systemfolders.h"
#include "setup/folders.h"

namespace setup {

std::string RestartRecordPath(const platform::SystemRoots& roots) {
    return (roots.sandbox / "restart-requested").string();
}

bool TRecordedMachineRestart::RestartMachine(std::string& error) {
    std::ofstream out(path_, std::ios::app);
    out << "restart requested\n";
    out.close();
    if (!out) {
        error = "Cannot write " + path_ + ".";
        return false;
    }
    return true;
}

std::unique_ptr<platform::IMachineRestart> MachineRestartFor(const platform::SystemRoots& roots) {
    if (!roots.sandbox.empty())
        return std::make_unique<TRecordedMachineRestart>(RestartRecordPath(roots));
    return platform::SystemMachineRestart();
}

TRestartOutcome RestartNow(const platform::SystemRoots& roots, const std::string& caption,
                           components::IMessenger& messenger, platform::IMachineRestart& restart) {
    TRestartOutcome outcome;
    outcome.done = ApplyPendingFileOperations(roots);
    if (!roots.pendingRenames.empty())
        outcome.remaining = TPendingFileOperations(roots).Entries().size();
    std::string text = outcome.remaining == 0
                           ? std::string(kRestartQuestion)
                           : std::to_string(outcome.remaining) + (outcome.remaining == 1
                                                                      ? kRestartQuestionRemainingOne
                                                                      : kRestartQuestionRemaining);
    outcome.accepted = messenger.AskYesNo(caption, text) == components::mrYes;
    if (outcome.accepted)
        outcome.restarted = restart.RestartMachine(outcome.error);
    return outcome;
}

} // namespace setup
