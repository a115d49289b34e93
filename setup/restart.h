#pragma once
// "Restart now" after an installation left files for the next start. Here
// the pending replacements and deletions are carried out at once; a restart
// of the machine is then only offered, and done only on the person's Yes.
#include <cstddef>
#include <string>

namespace components {
class IMessenger;
}

namespace platform {
class IMachineRestart;
struct SystemRoots;
} // namespace platform

namespace setup {

struct TRestartOutcome {
    std::size_t done = 0;      // pending operations carried out now
    std::size_t remaining = 0; // those that still could not be done
    bool accepted = false;     // the person said Yes to restarting the machine
    bool restarted = false;    // the restart was started
    std::string error;         // why it could not be started
};

inline constexpr const char* kRestartQuestion =
    "The files have been put in place. Restart the computer now?";
// After the number of operations that still wait.
inline constexpr const char* kRestartQuestionRemaining =
    " file operations can only be completed after a restart. Restart the computer now?";

TRestartOutcome RestartNow(const platform::SystemRoots& roots, const std::string& caption,
                           components::IMessenger& messenger, platform::IMachineRestart& restart);

} // namespace setup
