#include "setup/restart.h"

#include "components/messengerseam.h"
#include "platform/machinerestart.h"
#include "platform/systemfolders.h"
#include "setup/folders.h"

namespace setup {

TRestartOutcome RestartNow(const platform::SystemRoots& roots, const std::string& caption,
                           components::IMessenger& messenger, platform::IMachineRestart& restart) {
    TRestartOutcome outcome;
    outcome.done = ApplyPendingFileOperations(roots);
    if (!roots.pendingRenames.empty())
        outcome.remaining = TPendingFileOperations(roots.pendingRenames.string()).Entries().size();
    std::string text = outcome.remaining == 0
                           ? std::string(kRestartQuestion)
                           : std::to_string(outcome.remaining) + kRestartQuestionRemaining;
    outcome.accepted = messenger.AskYesNo(caption, text) == components::mrYes;
    if (outcome.accepted)
        outcome.restarted = restart.RestartMachine(outcome.error);
    return outcome;
}

} // namespace setup
