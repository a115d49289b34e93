#pragma once
// A sandbox for the wizard's tests: packages built from JSON, a registry of
// its own, and the machine's facts (free space, drives, the rights probe)
// as the test sets them.
#include <cstdint>
#include <string>
#include <vector>

#include "install_support.h"
#include "platform/drives.h"
#include "setup/wizardflow.h"

namespace setuptest {

class TWizardSandbox : public TInstallSandbox {
public:
    // Builds the package as Dir()/NAME.exe; returns its path.
    std::string Build(const std::string& json, const std::string& name = "p");
    setup::TWizardEnvironment Environment();

    std::uint64_t freeBytes = std::uint64_t(1) << 40;
    bool rights = true;
    std::vector<platform::DriveInfo> drives;
    std::vector<std::string> freeSpaceAsked; // the paths asked about
};

// A package with two components the person may choose (Docs selected,
// Extras not), one fixed, a readme, a licence, the advanced page, one file
// type and the portable choice (install mode 1).
std::string WizardPackageJson();

} // namespace setuptest
