#pragma once
// Folder variables: %NAME% tokens at the start of every target path that
// stand for real folders. The package defines some (%APPFOLDER%, ...), the
// support library may add more, and the system folders of this scope
// answer the rest.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/resolvepath.h"

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
    // The path is a native folder (expanded, mapped and confined); until
    // then it is the package's text.
    bool native = false;
};

class TFolderVariables {
public:
    // The system folders of this scope (%WINDOWS%, %PROGRAMFILES%, ...),
    // the sandbox every folder is kept inside, and the drive map for folders
    // the package names literally.
    void InitSystemFolders(const platform::SystemRoots& roots);
    void SetDriveMap(platform::DriveMap drives) { drives_ = std::move(drives); }
    // One system folder by name ("%DESKTOP%" or "DESKTOP"); for tests and
    // for values the platform gives in another way.
    void SetSystemFolder(const std::string& name, const std::string& path, bool shared);
    // %SETUPFOLDER% (with trailing separator) and %SETUPDRIVE% from the
    // package path.
    void SetSetupPath(const std::string& packagePath);

    // %APPFOLDER%, %APPCOMMONFOLDER% and %APPMENU% from settings fields
    // 12-14, each only when its field is not empty.
    void InitAppFolderVariables(const TSettings& settings, const TUiStrings& ui);
    // Adds a variable or replaces the path, caption and flag of one. The
    // path is the package's text (Windows-1252, maybe starting with another
    // variable or naming a drive), expanded by ExpandDefinedFolders.
    TSpecialFolder& Define(const std::string& name, const std::string& caption,
                           const std::string& path, bool shared);
    // The same with a native folder (an earlier log, the user's choice),
    // kept inside the sandbox.
    void DefineNative(const std::string& name, const std::string& caption, const std::string& path,
                      bool shared);
    // The support library's "GetInstallFolders" text: NAME|caption|path|...
    void DefineFromSupportLibrary(const std::string& text);
    // The support library's "GetSystemFolders" text: %NAME%[*]path...
    void SetSupportSystemFolders(const std::string& text) { supportText_ = text; }
    // Expands each defined variable's path once, in list order: a leading
    // variable is replaced by its folder; a literal folder ("C:\Apps",
    // "\Apps", "/opt/x") is mapped through the drive map. A relative text
    // stays as it is (a folder that cannot be installed into).
    void ExpandDefinedFolders();

    const std::vector<TSpecialFolder>& Defined() const { return defined_; }
    const TSpecialFolder* Find(const std::string& name) const;

    // A portable run sends every variable into the portable folder.
    void SetPortable(bool portable, const std::string& folder);
    bool Portable() const { return portable_; }
    const std::string& PortableFolder() const { return portableFolder_; }

    // The expansions below replace a variable by its folder; the rest of
    // that path, up to the next double quote, gets "/" for "\" (so a folder
    // and what follows it make one native path); other "\" stay.

    // Expands a leading variable into a native (UTF-8) path; the text is
    // returned converted but otherwise unchanged when it does not start
    // with a known one.
    std::string ExpandFolderVariable(const std::string& text, bool* shared = nullptr) const;
    // Expands the variables at every position in one pass (inserted text is
    // never scanned again), in Windows-1252 like the package's text: for
    // registry data. Throws ESetupError when a folder holds a character
    // that Windows-1252 cannot hold.
    std::string ExpandAllFolderVariables(const std::string& text) const;
    // The same as native (UTF-8) text: for launcher arguments.
    std::string ExpandAllToNative(const std::string& text) const;

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
    // The folders the system gives (system folders, the package's own
    // folder and drive, the portable folder), normalised.
    std::vector<std::string> SystemFolderRoots() const;
    // The folders above which a link is the system's own and below which
    // one may have been planted: the system's folders, or, in a sandbox,
    // the sandbox root in place of every folder inside it.
    std::vector<std::string> TrustedRoots() const;
    // Whether a native path lies inside the sandbox (always without one).
    bool InsideSandbox(const std::string& nativePath) const;
    // A native folder as the run may use it: unchanged without a sandbox,
    // else inside the sandbox (a folder outside it is taken as relative to
    // the sandbox, as if the sandbox were the root).
    std::string Confine(const std::string& nativePath) const;
    // A literal folder of the package (Windows-1252) as a native folder:
    // a drive letter through the drive map, a leading separator from the
    // root, then confined; nullopt for a relative text or an unmapped drive.
    std::optional<std::string> MapLiteralFolder(const std::string& text) const;

private:
    struct Found {
        std::string value;
        bool shared = false;
        bool dropRest = false;
        std::size_t length = 0; // of the %NAME% token
    };
    std::optional<Found> Lookup(const std::string& text, std::size_t pos) const;
    // The text as package text and folders, in order; `leadingOnly` expands
    // only a variable at the start.
    struct Piece {
        std::string text; // Windows-1252, or a native folder
        bool folder = false;
    };
    std::vector<Piece> Pieces(const std::string& text, bool leadingOnly,
                              bool* shared = nullptr) const;

    std::vector<TSpecialFolder> defined_;
    std::vector<TSpecialFolder> system_;
    std::string supportText_;
    bool portable_ = false;
    std::string portableFolder_;
    std::string sandbox_;
    platform::DriveMap drives_;
};

// A packaged (Windows-1252) name as a native UTF-8 path component or path
// ("\" becomes "/").
std::string PackageTextToNative(const std::string& text);
// A native (UTF-8) text, a path most often, as Windows-1252 for the log and
// the registry; ESetupError naming `what` when Windows-1252 cannot hold it.
std::string NativeToPackageText(const std::string& native, const std::string& what);

} // namespace setup
