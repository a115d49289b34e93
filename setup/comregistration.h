#pragma once
// Self-registration of the libraries a package marks for it: a shared
// library exporting "DllRegisterServer" with the C ABI, and type libraries,
// which are checked and recorded for the uninstaller.
#include <string>

namespace setup {

// True only when the library loads, exports DllRegisterServer and that call
// returns 0. The library is unloaded again.
bool RegisterComServer(const std::string& path);
// Checks that the file is a type library ("MSFT" or "SLTG" signature);
// throws ESetupError with the registration message otherwise.
void RegisterTypeLibrary(const std::string& path);

} // namespace setup
