#include "setup/comregistration.h"

#include <dlfcn.h>

#include <fstream>

#include "setup/setuperrors.h"

namespace setup {

bool RegisterComServer(const std::string& path) {
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return false;
    using RegisterFn = long (*)();
    auto fn = reinterpret_cast<RegisterFn>(::dlsym(handle, "DllRegisterServer"));
    bool ok = fn != nullptr && fn() == 0;
    ::dlclose(handle);
    return ok;
}

void RegisterTypeLibrary(const std::string& path) {
    auto fail = [&](const std::string& message) {
        throw ESetupError("An error occurred while trying to register the type library " + path +
                          ":\r\r" + message);
    };
    std::ifstream in(path, std::ios::binary);
    if (!in)
        fail("The file cannot be opened.");
    char magic[4] = {};
    in.read(magic, 4);
    if (in.gcount() != 4)
        fail("The file is too short to be a type library.");
    std::string sig(magic, 4);
    if (sig != "MSFT" && sig != "SLTG")
        fail("The file is not a type library.");
}

} // namespace setup
