#pragma once
// Whether this process may make machine-wide changes: a value is written
// under HKEY_LOCAL_MACHINE, saved to the hive, read back and compared.
#include <string_view>

#include "platform/registry.h"

namespace platform {

// Writes `value` as `name` under HKLM `key`, flushes the machine hive and
// reads it back; true only when every step works and the value read equals
// the one written. With `removeAfter` the value is deleted again (and the
// key too when the probe created it). Never throws.
bool ProbeRegistryWrite(Registry& registry, std::string_view key, std::string_view name,
                        const RegistryValue& value, bool removeAfter);

// The machine-settings probe: the DWORD "Test" = 1234567890 under HKLM
// Software\Vexlor, read back and deleted.
bool ProbeAdministratorRights(Registry& registry);
bool ProbeAdministratorRights(); // on DefaultRegistry()

// The setup engine's probe: the string "Setup" = the running program's path
// under HKLM Software\Vexlor\Tollvane, read back and compared exactly. The
// value stays: the uninstall registration keeps it in that key.
bool ProbeSetupRights(Registry& registry, std::string_view programPath);

} // namespace platform
