#pragma once
// Where the programs' standard folders live on Linux. Every root comes from
// one SystemRoots object: the programs build it from the environment, tests
// build their own inside a sandbox folder so they never touch /opt or the
// real home folder.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// System scope when the effective user is root, user scope otherwise.
enum class InstallScope { User, System };
InstallScope CurrentScope();

struct SystemRoots {
    InstallScope scope = InstallScope::User;
    // When not empty, everything below lives under this folder (VEXLOR_SANDBOX).
    std::filesystem::path sandbox;

    std::filesystem::path home;
    std::filesystem::path xdgConfigHome; // ~/.config
    std::filesystem::path xdgDataHome;   // ~/.local/share
    std::filesystem::path xdgCacheHome;  // ~/.cache
    std::filesystem::path systemPrefix;  // "/" normally; the sandbox folder when sandboxed

    std::filesystem::path programFiles;    // /opt or ~/.local/opt
    std::filesystem::path commonFiles;     // programFiles/common
    std::filesystem::path startMenu;       // applications folder (menus)
    std::filesystem::path programsMenu;    // the same folder: menus are flat
    std::filesystem::path startup;         // autostart
    std::filesystem::path desktop;         // xdg-user-dir DESKTOP or ~/Desktop
    std::filesystem::path documents;       // xdg-user-dir DOCUMENTS or ~/Documents
    std::filesystem::path sendTo;          // file-manager scripts folder
    std::filesystem::path quickLaunch;     // a folder of launchers (no equivalent)
    std::filesystem::path appData;         // $XDG_CONFIG_HOME
    std::filesystem::path localAppData;    // $XDG_DATA_HOME
    std::filesystem::path commonAppData;   // /var/lib (system) or $XDG_DATA_HOME
    std::filesystem::path commonDesktop;   // (system) /usr/local/share/applications
    std::filesystem::path commonStartMenu; // /usr/local/share/applications
    std::filesystem::path commonPrograms;  // same as commonStartMenu
    std::filesystem::path commonStartup;   // /etc/xdg/autostart
    std::filesystem::path windows;         // ~/.local/share/vexlor/windows or /opt/vexlor/windows
    std::filesystem::path system;          // windows/system
    std::filesystem::path temp;            // $TMPDIR or /tmp (sandbox/tmp)
    std::filesystem::path fonts;           // ~/.local/share/fonts or /usr/local/share/fonts
    std::filesystem::path templates;       // xdg-user-dir TEMPLATES or ~/Templates
    std::filesystem::path pictures;        // xdg-user-dir PICTURES or ~/Pictures
    std::filesystem::path music;           // xdg-user-dir MUSIC or ~/Music
    std::filesystem::path videos;          // xdg-user-dir VIDEOS or ~/Videos
    std::filesystem::path downloads;       // xdg-user-dir DOWNLOAD or ~/Downloads
    std::filesystem::path mimePackages;    // $XDG_DATA_HOME/mime or /usr/local/share/mime
    std::filesystem::path userRegistry;    // folder of HKCU.reg
    std::filesystem::path machineRegistry; // folder of HKLM.reg (and HKU.reg)
    std::filesystem::path pendingRenames;  // file listing renames deferred to the next start

    // Looks a variable up; by default the real environment.
    using EnvLookup = std::function<std::optional<std::string>(const std::string&)>;
    // Asks xdg-user-dir for NAME (DESKTOP, DOCUMENTS, ...); by default runs
    // the program when it exists. nullopt means "not known".
    using UserDirLookup = std::function<std::optional<std::filesystem::path>(const std::string&)>;

    // The roots of this process: scope from the effective user, HOME and the
    // XDG variables, xdg-user-dir for desktop and documents; VEXLOR_SANDBOX=DIR
    // puts every root (the registry too) under DIR, with DIR/home as home
    // and DIR/tmp as temp.
    static SystemRoots FromEnvironment();
    static SystemRoots FromEnvironment(const EnvLookup& env, const UserDirLookup& userDirs,
                                       std::optional<InstallScope> scope = std::nullopt);
    // Every root under `sandboxDir` (as VEXLOR_SANDBOX does), for tests.
    static SystemRoots InSandbox(const std::filesystem::path& sandboxDir,
                                 InstallScope scope = InstallScope::User);

    // Creates the folders that the programs write into directly (home,
    // XDG folders, registry folders, temp); used by sandboxes. Inside a
    // sandbox no link below it is followed: a link (or a file) in the way
    // throws PlatformError naming it.
    void CreateFolders() const;
};

// The roots the process uses (SystemRoots::FromEnvironment() once), unless
// a test put others in place.
const SystemRoots& DefaultSystemRoots();
void SetDefaultSystemRoots(std::optional<SystemRoots> roots);

// One standard folder: the names the programs ask for ("Desktop",
// "Personal", "Common AppData", ...) as in the shell-folder registry key,
// and whether it is shared by every user.
struct ShellFolder {
    std::string name; // shell-folder value name, e.g. "Start Menu"
    std::filesystem::path path;
    bool shared = false;
};
// Every shell folder, in the order of the shell-folder key.
std::vector<ShellFolder> ShellFolders(const SystemRoots& roots);
// A shell folder by value name (ignoring case); nullopt when unknown.
std::optional<std::filesystem::path> ShellFolderPath(const SystemRoots& roots,
                                                     std::string_view name);

// The system folder variables (WINDOWS, SYSTEM, SYSTEMDRIVE, PROGRAMFILES,
// COMMONFILES, STARTMENU, PROGRAMSMENU, STARTUP, DESKTOP, SENDTO,
// MYDOCUMENTS, APPDATAROOT, LOCALAPPDATAROOT, COMMONAPPDATAROOT) with their
// Linux paths and shared flags, in lookup order.
struct SystemFolderVariable {
    std::string name; // without the percent signs, upper case
    std::filesystem::path path;
    bool shared = false;
};
std::vector<SystemFolderVariable> SystemFolderVariables(const SystemRoots& roots);

// Writes the shell folders into HKCU (user folders) and, for system scope,
// HKLM (the "Common ..." folders) under
// Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders, and the
// program-files folders under Software\Microsoft\Windows\CurrentVersion,
// as UTF-8 paths, so code that reads them from the registry finds them.
class Registry;
void PublishShellFolders(const SystemRoots& roots, Registry& registry);

} // namespace platform
