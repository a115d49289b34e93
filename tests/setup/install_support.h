#pragma once
// Helpers for the installation-run tests: a sandbox with its own registry,
// a package built from JSON and installed with given answers.
#include <memory>
#include <string>

#include "components/scriptedmessenger.h"
#include "platform/registry.h"
#include "setup/setupmain.h"
#include "setup_support.h"

namespace setuptest {

class TInstallSandbox : public TSandbox {
public:
    TInstallSandbox();
    platform::Registry& Registry() { return *registry_; }
    // Builds the package (once per name) and installs it. Without a
    // messenger every question after an error is answered No.
    setup::TInstallResult Install(const std::string& json, const std::string& packageName = "p",
                                  setup::TInstallAnswers answers = {},
                                  components::TScriptedMessenger* messenger = nullptr);
    // The sandbox-relative form of a text: the sandbox folder becomes <SB>.
    std::string Relative(std::string text) const;
    // The hive files' text, flushed, sandbox-relative.
    std::string RegistryDump();
    std::string AppFolder() const { return Roots().programFiles.string() + "/Demo"; }

private:
    std::unique_ptr<platform::Registry> registry_;
};

// A messenger that answers the next `count` questions Yes (go on after an
// error).
components::TScriptedMessenger GoingOnAfterErrors(int count = 8);

// Bytes as upper-case hex digits (for "hex" fields of package descriptions).
std::string HexOf(const std::string& bytes);

// Whether a program can be found on PATH.
bool HaveProgram(const std::string& name);
// Runs a command line through the shell; returns its exit status.
int RunShell(const std::string& command, std::string* output = nullptr);
// Inode of a file (0 when missing).
unsigned long InodeOf(const std::string& path);

} // namespace setuptest
