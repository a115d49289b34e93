#pragma once
// The windowed half of `setup`: the wizard over the package, with the
// engine's prerequisites, support library, portable run and restart filled
// in. A QApplication must exist.
#include <string>

namespace platform {
class Registry;
struct SystemRoots;
} // namespace platform

// Runs the wizard until it closes; returns the exit status (0 done, 1
// aborted or left, 2 not allowed, 3 bad package).
int RunSetupWizard(const std::string& packagePath, const platform::SystemRoots& roots,
                   platform::Registry& registry);
