#include "setup/supportlibrary.h"

#include <dlfcn.h>

#include <cstring>
#include <exception>
#include <vector>

#include "components/messengerseam.h"
#include "setup/foldervariables.h"
#include "setup/setuppackage.h"

namespace setup {

std::string TextUpToNul(const char* buffer, std::size_t size) {
    const void* nul = std::memchr(buffer, 0, size);
    return std::string(buffer, nul ? static_cast<const char*>(nul) - buffer : size);
}

TSupportLibrary::TSupportLibrary(components::IMessenger& messenger) : messenger_(messenger) {}

TSupportLibrary::~TSupportLibrary() {
    Unload();
}

bool TSupportLibrary::Load(const std::string& path) {
    Unload();
    handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char* why = ::dlerror();
        loadError_ = why ? why : "the library cannot be loaded";
        return false;
    }
    loadError_.clear();
    auto bind = [this](const char* name) { return ::dlsym(handle_, name); };
    allow_ = reinterpret_cast<TAllowInstallationProc>(bind(kAllowInstallationEntry));
    systemFolders_ = reinterpret_cast<TGetFoldersProc>(bind(kGetSystemFoldersEntry));
    installFolders_ = reinterpret_cast<TGetFoldersProc>(bind(kGetInstallFoldersEntry));
    componentSelection_ =
        reinterpret_cast<TGetComponentSelectionProc>(bind(kGetComponentSelectionEntry));
    finish_ = reinterpret_cast<TFinishDeploymentProc>(bind(kFinishDeploymentEntry));
    return true;
}

void TSupportLibrary::Unload() {
    allow_ = nullptr;
    systemFolders_ = installFolders_ = nullptr;
    componentSelection_ = nullptr;
    finish_ = nullptr;
    if (handle_)
        ::dlclose(handle_);
    handle_ = nullptr;
}

void TSupportLibrary::ReportFailure(const char* entry, const std::string& message) {
    messenger_.ShowMessage(components::TMessageKind::Error, kSupportLibraryCaption,
                           std::string("An error occurred while calling the routine ") + entry +
                               "() in the support DLL: \r" + message);
}

bool TSupportLibrary::Call(const char* entry, const std::function<void()>& call) {
    try {
        call();
        return true;
    } catch (const std::exception& e) {
        ReportFailure(entry, e.what());
    } catch (...) {
        ReportFailure(entry, "unknown exception");
    }
    return false;
}

bool TSupportLibrary::AllowInstallation(void* window) {
    if (!allow_)
        return true;
    unsigned char answer = 1;
    if (!Call(kAllowInstallationEntry, [&] { answer = allow_(window); }))
        return true;
    return answer != 0;
}

std::string TSupportLibrary::GetFolders(TGetFoldersProc proc, const char* entry) {
    if (!proc)
        return {};
    std::vector<char> buffer(kSupportFolderBufferSize, 0);
    if (!Call(entry, [&] { proc(buffer.data(), static_cast<std::int32_t>(buffer.size())); }))
        return {};
    return TextUpToNul(buffer.data(), buffer.size());
}

std::string TSupportLibrary::GetSystemFolders() {
    return GetFolders(systemFolders_, kGetSystemFoldersEntry);
}

std::string TSupportLibrary::GetInstallFolders() {
    return GetFolders(installFolders_, kGetInstallFoldersEntry);
}

bool TSupportLibrary::GetComponentSelection(const std::string& componentName,
                                            bool previouslyInstalled, bool& userMayChoose,
                                            bool& selected) {
    if (!componentSelection_)
        return false;
    std::int32_t mayChoose = userMayChoose ? -1 : 0;
    std::int32_t isSelected = selected ? -1 : 0;
    if (!Call(kGetComponentSelectionEntry, [&] {
            componentSelection_(componentName.c_str(), &mayChoose, &isSelected,
                                previouslyInstalled ? 1 : 0);
        }))
        return false;
    userMayChoose = mayChoose != 0;
    selected = isSelected != 0;
    return true;
}

void TSupportLibrary::FinishDeployment(const std::string& path) {
    if (!finish_)
        return;
    Call(kFinishDeploymentEntry, [&] { finish_(path.c_str()); });
}

bool StartSupportLibrary(TSupportLibrary& library, TSetupPackage& package, void* window) {
    package.ExtractSupportFiles();
    int index = package.SupportLibraryIndex();
    if (index >= 0)
        library.Load(package.SupportPaths().at(static_cast<std::size_t>(index)));
    if (!library.AllowInstallation(window))
        return false;
    TFolderVariables& folders = package.Folders();
    folders.SetSupportSystemFolders(library.GetSystemFolders());
    std::string installFolders = library.GetInstallFolders();
    if (!installFolders.empty())
        folders.DefineFromSupportLibrary(installFolders);
    return true;
}

void ApplySupportComponentSelection(TSupportLibrary& library, TSetupPackage& package) {
    if (!library.HasGetComponentSelection())
        return;
    for (auto& c : package.Tables().components)
        library.GetComponentSelection(c.name, c.previouslyInstalled, c.userMayChoose, c.selected);
}

} // namespace setup
