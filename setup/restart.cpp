#include "setup/restart.h"

#include <fcntl.h>
#include <unistd.h>

#include <string_view>

#include "components/messengerseam.h"
#include "platform/machinerestart.h"
#include "platform/systemfolders.h"
#include "setup/folders.h"

namespace setup {

std::string RestartRecordPath(const platform::SystemRoots& roots) {
    return (roots.sandbox / "restart-requested").string();
}

bool TRecordedMachineRestart::RestartMachine(std::string& error) {
    // Never through a link planted in the record's place.
    const int fd =
        ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    static constexpr std::string_view kLine = "restart requested\n";
    bool written =
        fd >= 0 && ::write(fd, kLine.data(), kLine.size()) == static_cast<ssize_t>(kLine.size());
    if (fd >= 0)
        written = ::close(fd) == 0 && written;
    if (!written) {
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
