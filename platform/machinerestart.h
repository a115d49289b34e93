#pragma once
// Restarting the whole machine, behind one small interface: the setup
// engine only ever asks for it after the person said yes. The backend here
// asks the init system for a reboot; a Windows backend would enable the
// shutdown privilege of the process token and call the system's exit with
// the reboot flag. Tests put a recorder in its place.
#include <memory>
#include <string>
#include <vector>

namespace platform {

class IMachineRestart {
public:
    virtual ~IMachineRestart() = default;
    // Starts a restart of the machine; false (with `error` set) when it
    // could not be started.
    virtual bool RestartMachine(std::string& error) = 0;
};

// The backend of this platform: runs the given command (by default
// "systemctl reboot", looked up on PATH) and waits for it to return.
class TCommandMachineRestart : public IMachineRestart {
public:
    TCommandMachineRestart();
    explicit TCommandMachineRestart(std::vector<std::string> argv) : argv_(std::move(argv)) {}
    bool RestartMachine(std::string& error) override;
    const std::vector<std::string>& Command() const { return argv_; }

private:
    std::vector<std::string> argv_;
};

// The process-wide backend (TCommandMachineRestart).
std::unique_ptr<IMachineRestart> SystemMachineRestart();

} // namespace platform
