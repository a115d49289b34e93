#include "platform/machinerestart.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace platform {

TCommandMachineRestart::TCommandMachineRestart() : argv_{"systemctl", "reboot"} {}

bool TCommandMachineRestart::RestartMachine(std::string& error) {
    if (argv_.empty()) {
        error = "No restart command is set.";
        return false;
    }
    std::vector<char*> argv;
    for (auto& a : argv_)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    int rc = ::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
    if (rc != 0) {
        error = argv_[0] + ": " + std::strerror(rc);
        return false;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            error = argv_[0] + ": " + std::strerror(errno);
            return false;
        }
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        error = argv_[0] + " could not restart the computer.";
        return false;
    }
    return true;
}

std::unique_ptr<IMachineRestart> SystemMachineRestart() {
    return std::make_unique<TCommandMachineRestart>();
}

} // namespace platform
