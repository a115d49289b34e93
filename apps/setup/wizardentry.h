#pragma once
// The windowed half of `setup`: the wizard over the package in a setup
// session, with message dialogs and the platform's restart. A QApplication
// must exist.
#include <string>

namespace platform {
class Registry;
struct SystemRoots;
} // namespace platform

// Runs the wizard until it closes, then closes the session down (which
// schedules the deletion of `selfPath` when the setup executable extracted
// it); returns the exit status (0 done, 1 aborted or left, 2 not allowed,
// 3 bad package).
int RunSetupWizard(const std::string& packagePath, const std::string& selfPath,
                   const platform::SystemRoots& roots, platform::Registry& registry);
