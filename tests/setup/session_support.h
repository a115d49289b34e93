#pragma once
// Helpers for the tests of the setup session and its parts: a sandbox that
// opens sessions on packages built from JSON, a registry whose writes fail
// (no rights), and the test support library.
#include <memory>
#include <string>

#include "components/scriptedmessenger.h"
#include "install_support.h"
#include "platform/registry.h"
#include "setup/setupsession.h"

namespace setuptest {

// Reads pass through to another registry; every write fails.
class TReadOnlyRegistry : public platform::Registry {
public:
    explicit TReadOnlyRegistry(platform::Registry& inner) : inner_(inner) {}
    bool KeyExists(platform::RootKey root, std::string_view key) override;
    void CreateKey(platform::RootKey root, std::string_view key) override;
    std::optional<platform::RegistryValue> ReadValue(platform::RootKey root, std::string_view key,
                                                     std::string_view name) override;
    void WriteValue(platform::RootKey root, std::string_view key, std::string_view name,
                    const platform::RegistryValue& value) override;
    bool DeleteValue(platform::RootKey root, std::string_view key, std::string_view name) override;
    bool DeleteKey(platform::RootKey root, std::string_view key) override;
    std::vector<std::string> SubKeyNames(platform::RootKey root, std::string_view key) override;
    std::vector<std::string> ValueNames(platform::RootKey root, std::string_view key) override;
    void Flush() override {}

private:
    platform::Registry& inner_;
};

class TSessionSandbox : public TInstallSandbox {
public:
    // Builds the package and opens a session on it with `registry` (the
    // sandbox's own by default) and the sandbox's messenger.
    std::unique_ptr<setup::TSetupSession> Open(const std::string& json,
                                               platform::Registry* registry = nullptr,
                                               const std::string& packageName = "p");
    // A program path for the rights probe and the self-deletion step.
    // In the sandbox's temporary folder, where the setup executable would
    // have extracted it.
    std::string SelfPath() const { return Roots().temp.string() + "/setup"; }

    components::TScriptedMessenger messenger;
};

// The path of the test support library (built beside the tests).
std::string TestSupportLibrary();

// Sets BW_TEST_SUPPORT_MODE and BW_TEST_SUPPORT_RECORD for the test
// library while it lives.
class TSupportLibraryMode {
public:
    TSupportLibraryMode(const std::string& mode, const std::string& recordPath);
    ~TSupportLibraryMode();
};

} // namespace setuptest
