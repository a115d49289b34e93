#pragma once
// The support library a package may carry: a shared library that the
// engine loads from the temporary folder and asks at five points of the
// installation. Every entry point is optional and bound by name; an
// exception raised inside one is shown (caption "Packwhistler Setup") and
// the installation goes on.
#include <cstdint>
#include <functional>
#include <string>

namespace components {
class IMessenger;
}

namespace setup {

class TSetupPackage;

// The C interface a support library exports (extern "C", the platform's
// default calling convention). "Boolean" is one byte, the 32-bit Booleans
// are non-zero for true.
extern "C" {
// Returns non-zero when the installation may go on. `window`: the wizard
// window's native handle, or null (silent mode).
typedef unsigned char (*TAllowInstallationProc)(void* window);
// Fills `buffer` (cleared to zero, `size` bytes) with text; the engine takes
// the bytes up to the first NUL, or all `size` bytes when there is none.
typedef void (*TGetFoldersProc)(char* buffer, std::int32_t size);
// `userMayChoose` and `selected` come in as 0 or -1 and go out changed.
typedef void (*TGetComponentSelectionProc)(const char* componentName, std::int32_t* userMayChoose,
                                           std::int32_t* selected,
                                           unsigned char previouslyInstalled);
// `path`: the installation log, or in a portable installation the marker file.
typedef void (*TFinishDeploymentProc)(const char* path);
}

inline constexpr const char* kAllowInstallationEntry = "AllowInstallation";
inline constexpr const char* kGetSystemFoldersEntry = "GetSystemFolders";
inline constexpr const char* kGetInstallFoldersEntry = "GetInstallFolders";
inline constexpr const char* kGetComponentSelectionEntry = "GetComponentSelection";
inline constexpr const char* kFinishDeploymentEntry = "FinishDeployment";
inline constexpr const char* kSupportLibraryCaption = "Packwhistler Setup";
inline constexpr std::size_t kSupportFolderBufferSize = 32768;

// The text a library left in a buffer: up to the first NUL, never past
// `size` bytes.
std::string TextUpToNul(const char* buffer, std::size_t size);

class TSupportLibrary {
public:
    explicit TSupportLibrary(components::IMessenger& messenger);
    ~TSupportLibrary();
    TSupportLibrary(const TSupportLibrary&) = delete;
    TSupportLibrary& operator=(const TSupportLibrary&) = delete;

    // Loads the library and binds its entry points. A library that cannot
    // be loaded has no entry points (false; LoadError says why).
    bool Load(const std::string& path);
    void Unload();
    bool Loaded() const { return handle_ != nullptr; }
    const std::string& LoadError() const { return loadError_; }

    bool HasAllowInstallation() const { return allow_ != nullptr; }
    bool HasGetSystemFolders() const { return systemFolders_ != nullptr; }
    bool HasGetInstallFolders() const { return installFolders_ != nullptr; }
    bool HasGetComponentSelection() const { return componentSelection_ != nullptr; }
    bool HasFinishDeployment() const { return finish_ != nullptr; }

    // True without the entry point, or when it raised an exception.
    bool AllowInstallation(void* window);
    // Empty without the entry point or when it failed.
    std::string GetSystemFolders();
    std::string GetInstallFolders();
    // Replaces the two flags with the library's answer; false (flags
    // unchanged) without the entry point or when it failed.
    bool GetComponentSelection(const std::string& componentName, bool previouslyInstalled,
                               bool& userMayChoose, bool& selected);
    void FinishDeployment(const std::string& path);

private:
    std::string GetFolders(TGetFoldersProc proc, const char* entry);
    // Calls into the library; an exception raised there is reported and
    // gives false.
    bool Call(const char* entry, const std::function<void()>& call);
    void ReportFailure(const char* entry, const std::string& message);

    components::IMessenger& messenger_;
    void* handle_ = nullptr;
    std::string loadError_;
    TAllowInstallationProc allow_ = nullptr;
    TGetFoldersProc systemFolders_ = nullptr;
    TGetFoldersProc installFolders_ = nullptr;
    TGetComponentSelectionProc componentSelection_ = nullptr;
    TFinishDeploymentProc finish_ = nullptr;
};

// The first step of preparing the installation: loads the package's support
// library (when it names one), asks "AllowInstallation", then takes its
// system folders and install folders into the package's folder variables
// (before the tables are read). False: the library refused.
bool StartSupportLibrary(TSupportLibrary& library, TSetupPackage& package, void* window);
// After the tables and the earlier log: the library's choice for every
// component, in component order.
void ApplySupportComponentSelection(TSupportLibrary& library, TSetupPackage& package);

} // namespace setup
