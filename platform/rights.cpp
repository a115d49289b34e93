#include "platform/rights.h"

#include <exception>

namespace platform {

bool ProbeRegistryWrite(Registry& registry, std::string_view key, std::string_view name,
                        const RegistryValue& value, bool removeAfter) {
    constexpr RootKey root = RootKey::LocalMachine;
    bool keyExisted = false;
    bool ok = false;
    try {
        keyExisted = registry.KeyExists(root, key);
        registry.WriteValue(root, key, name, value);
        registry.FlushKey(root);
        std::optional<RegistryValue> readBack = registry.ReadValue(root, key, name);
        ok = readBack && *readBack == value;
    } catch (const std::exception&) {
        ok = false;
    }
    try {
        if (removeAfter || !ok) {
            if (!removeAfter) {
                // A failed probe leaves nothing behind either way.
                registry.DiscardChanges(root);
                return false;
            }
            registry.DeleteValue(root, key, name);
            if (!keyExisted && registry.SubKeyNames(root, key).empty() &&
                registry.ValueNames(root, key).empty()) {
                registry.DeleteKey(root, key);
            }
            registry.FlushKey(root);
        }
    } catch (const std::exception&) {
        registry.DiscardChanges(root);
    }
    return ok;
}

bool ProbeAdministratorRights(Registry& registry) {
    RegistryValue value;
    value.type = static_cast<uint32_t>(RegistryValueType::Dword);
    const uint32_t test = 1234567890;
    for (int i = 0; i < 4; ++i) {
        value.data += static_cast<char>((test >> (8 * i)) & 0xFF);
    }
    return ProbeRegistryWrite(registry, "Software\\Vexlor", "Test", value, true);
}

bool ProbeAdministratorRights() {
    return ProbeAdministratorRights(DefaultRegistry());
}

bool ProbeSetupRights(Registry& registry, std::string_view programPath) {
    RegistryValue value{static_cast<uint32_t>(RegistryValueType::String), std::string(programPath)};
    return ProbeRegistryWrite(registry, "Software\\Vexlor\\Tollvane", "Setup", value, false);
}

} // namespace platform
