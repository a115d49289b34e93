#pragma once
// A sandbox for the wizard's tests: packages built from JSON, a registry of
// its own, and the machine's facts (free space, drives, the rights probe)
// as the test sets them.
#include <cstdint>
#include <memory>
#include <optional>
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

    // A registry whose machine hive cannot be written: the rights check fails.
    platform::Registry& BlockedRegistry();
    // What the sessions of the tests take as the running setup program.
    std::string SelfPath() const { return Path("setup"); }

    std::uint64_t freeBytes = std::uint64_t(1) << 40;
    std::vector<platform::DriveInfo> drives;
    std::vector<std::string> freeSpaceAsked; // the paths asked about

private:
    std::unique_ptr<platform::Registry> blocked_;
};

// A fixed drive at `root` with its label and free space (none: its volume
// information cannot be read).
platform::DriveInfo FixedDrive(const std::string& root, const std::string& label,
                               std::optional<std::uint64_t> freeBytes);

// A package with two components the person may choose (Docs selected,
// Extras not), one fixed, a readme, a licence, the advanced page, one file
// type and the portable choice (install mode 1).
std::string WizardPackageJson();
// The same package for normal installations only (install mode 0).
std::string NormalPackageJson();

} // namespace setuptest
