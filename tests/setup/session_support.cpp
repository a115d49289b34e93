#include "session_support.h"

#include <cstdlib>

namespace setuptest {

bool TReadOnlyRegistry::KeyExists(platform::RootKey root, std::string_view key) {
    return inner_.KeyExists(root, key);
}

void TReadOnlyRegistry::CreateKey(platform::RootKey, std::string_view) {
    throw std::runtime_error("the registry is read-only");
}

std::optional<platform::RegistryValue>
TReadOnlyRegistry::ReadValue(platform::RootKey root, std::string_view key, std::string_view name) {
    return inner_.ReadValue(root, key, name);
}

void TReadOnlyRegistry::WriteValue(platform::RootKey, std::string_view, std::string_view,
                                   const platform::RegistryValue&) {
    throw std::runtime_error("the registry is read-only");
}

bool TReadOnlyRegistry::DeleteValue(platform::RootKey, std::string_view, std::string_view) {
    throw std::runtime_error("the registry is read-only");
}

bool TReadOnlyRegistry::DeleteKey(platform::RootKey, std::string_view) {
    throw std::runtime_error("the registry is read-only");
}

std::vector<std::string> TReadOnlyRegistry::SubKeyNames(platform::RootKey root,
                                                        std::string_view key) {
    return inner_.SubKeyNames(root, key);
}

std::vector<std::string> TReadOnlyRegistry::ValueNames(platform::RootKey root,
                                                       std::string_view key) {
    return inner_.ValueNames(root, key);
}

std::unique_ptr<setup::TSetupSession> TSessionSandbox::Open(const std::string& json,
                                                            platform::Registry* registry,
                                                            const std::string& packageName) {
    std::string package = Path(packageName + ".exe");
    BuildPackage(json, package);
    auto session = std::make_unique<setup::TSetupSession>(
        Roots(), registry ? *registry : Registry(), messenger, SelfPath());
    session->Open(package);
    session->SetInstallDate("20260101");
    return session;
}

std::string TestSupportLibrary() {
    return BW_TEST_SUPPORT_LIBRARY;
}

TSupportLibraryMode::TSupportLibraryMode(const std::string& mode, const std::string& recordPath) {
    ::setenv("BW_TEST_SUPPORT_MODE", mode.c_str(), 1);
    ::setenv("BW_TEST_SUPPORT_RECORD", recordPath.c_str(), 1);
}

TSupportLibraryMode::~TSupportLibraryMode() {
    ::unsetenv("BW_TEST_SUPPORT_MODE");
    ::unsetenv("BW_TEST_SUPPORT_RECORD");
}

} // namespace setuptest
