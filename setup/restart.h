#pragma once
// "Restart now" after an installation left files for the next start. Here
// the pending replacements and deletions are carried out at once; a restart
// of the machine is then only offered, and done only on the person's Yes.
#include <cstddef>
#include <memory>
#include <string>

#include "platform/machinerestart.h"

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
// After the number of operations that still wait (one, or more).
inline constexpr const char* kRestartQuestionRemainingOne =
    " file operation can only be completed after a restart. Restart the computer now?";
inline constexpr const char* kRestartQuestionRemaining =
    " file operations can only be completed after a restart. Restart the computer now?";

// A sandboxed run (VEXLOR_SANDBOX) never restarts the machine: "restarting"
// appends a line to this file inside the sandbox instead.
std::string RestartRecordPath(const platform::SystemRoots& roots);

class TRecordedMachineRestart : public platform::IMachineRestart {
public:
    explicit TRecordedMachineRestart(std::string recordPath) : path_(std::move(recordPath)) {}
    bool RestartMachine(std::string& error) override;

private:
    std::string path_;
};

// The restart of these roots: recorded in a sandbox, else the platform's.
std::unique_ptr<platform::IMachineRestart> MachineRestartFor(const platform::SystemRoots& roots);

TRestartOutcome RestartNow(const platform::SystemRoots& roots, const std::string& caption,
                           components::IMessenger& messenger, platform::IMachineRestart& restart);

} // namespace setup
