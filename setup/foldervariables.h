#pragma once
// Folder variables: %NAME% tokens at the start of every target path that
// stand for real folders. The package defines some (%APPFOLDER%, ...), the
// support library may add more, and the system folders of this scope
// answer the rest.
#include <optional>
#include <string>
#include <vector>

namespace platform {
struct SystemRoots;
}

namespace setup {

struct TSettings;
class TUiStrings;

struct TSpecialFolder {
    std::string name; // "%APPFOLDER%", upper case
    std::string caption;
    std::string path; // without trailing separator
    bool shared = false;
};

class TFolderVariables {
public:
    // The system folders of this scope (%WINDOWS%, %PROGRAMFILES%, ...).
    void InitSystemFolders(const platform::SystemRoots& roots);
    // One system folder by name ("%DESKTOP%" or "DESKTOP"); for tests and
    // for values the platform gives in another way.
    void SetSystemFolder(const std::string& name, const std::string& path, bool shared);
    // %SETUPFOLDER% (with trailing separator) and %SETUPDRIVE% from the
    // package path.
    void SetSetupPath(const std::string& packagePath);

    // %APPFOLDER%, %APPCOMMONFOLDER% and %APPMENU% from settings fields
    // 12-14, each only when its field is not empty.
    void InitAppFolderVariables(const TSettings& settings, const TUiStrings& ui);
    // Adds a variable or replaces the path, caption and flag of one.
    void Define(const std::string& name, const std::string& caption, const std::string& path,
                bool shared);
    // The support library's "GetInstallFolders" text: NAME|caption|path|...
    void DefineFromSupportLibrary(const std::string& text);
    // The support library's "GetSystemFolders" text: %NAME%[*]path...
    void SetSupportSystemFolders(const std::string& text) { supportText_ = text; }
    // Expands each defined variable's path once, in list order.
    void ExpandDefinedFolders();

    const std::vector<TSpecialFolder>& Defined() const { return defined_; }
    const TSpecialFolder* Find(const std::string& name) const;

    // A portable run sends every variable into the portable folder.
    void SetPortable(bool portable, const std::string& folder);
    bool Portable() const { return portable_; }

    // Expands a leading variable; the text is returned unchanged when it
    // does not start with a known one.
    std::string ExpandFolderVariable(const std::string& text, bool* shared = nullptr) const;
    // Expands the variables at every position in one pass; inserted text is
    // never scanned again.
    std::string ExpandAllFolderVariables(const std::string& text) const;

    // The folder a variable stands for, nullopt when unknown.
    std::optional<std::string> VariableFolder(const std::string& variable,
                                              bool* shared = nullptr) const;
    // A packaged path ("%APPFOLDER%\Help") as a native path: the variable's
    // folder, then the rest with "\" turned into "/" and its Windows-1252
    // bytes into UTF-8. Throws EInvalidPackage when the variable is unknown
    // or the result would leave the variable's folder.
    std::string ExpandPackagePath(const std::string& text, bool* shared = nullptr) const;
    // Every folder a variable expands to, normalised (the limits for
    // removing empty folders).
    std::vector<std::string> Roots() const;

private:
    struct Found {
        std::string value;
        bool shared = false;
        bool dropRest = false;
        std::size_t length = 0; // of the %NAME% token
    };
    std::optional<Found> Lookup(const std::string& text, std::size_t pos) const;

    std::vector<TSpecialFolder> defined_;
    std::vector<TSpecialFolder> system_;
    std::string supportText_;
    bool portable_ = false;
    std::string portableFolder_;
};

// A packaged (Windows-1252) name as a native UTF-8 path component or path
// ("\" becomes "/").
std::string PackageTextToNative(const std::string& text);

} // namespace setup
