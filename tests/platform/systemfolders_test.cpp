#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>

#include "platform/errors.h"
#include "platform/registry.h"
#include "platform/rights.h"
#include "platform/systemfolders.h"
#include "platform/tempfolder.h"

namespace fs = std::filesystem;
using namespace platform;

namespace {

std::vector<fs::path> AllRoots(const SystemRoots& r) {
    return {r.home,
            r.xdgConfigHome,
            r.xdgDataHome,
            r.xdgCacheHome,
            r.systemPrefix,
            r.programFiles,
            r.commonFiles,
            r.startMenu,
            r.programsMenu,
            r.startup,
            r.desktop,
            r.documents,
            r.sendTo,
            r.quickLaunch,
            r.appData,
            r.localAppData,
            r.commonAppData,
            r.commonDesktop,
            r.commonStartMenu,
            r.commonPrograms,
            r.commonStartup,
            r.windows,
            r.system,
            r.temp,
            r.fonts,
            r.templates,
            r.pictures,
            r.music,
            r.videos,
            r.downloads,
            r.mimePackages,
            r.userRegistry,
            r.machineRegistry,
            r.pendingRenames};
}

bool Under(const fs::path& folder, const fs::path& path) {
    auto rel = path.lexically_relative(folder);
    return !rel.empty() && *rel.begin() != "..";
}

SystemRoots::EnvLookup FakeEnv(std::map<std::string, std::string> vars) {
    return [vars](const std::string& name) -> std::optional<std::string> {
        auto it = vars.find(name);
        if (it == vars.end()) {
            return std::nullopt;
        }
        return it->second;
    };
}

TEST(SystemRoots, SandboxPutsEveryRootInside) {
    for (InstallScope scope : {InstallScope::User, InstallScope::System}) {
        SystemRoots r = SystemRoots::FromEnvironment(
            FakeEnv({{"VEXLOR_SANDBOX", "/sandbox/box"},
                     {"HOME", "/root"},
                     {"XDG_CONFIG_HOME", "/etc/x"}}),
            [](const std::string&) { return std::optional<fs::path>("/real/Desktop"); }, scope);
        EXPECT_EQ(r.sandbox, fs::path("/sandbox/box"));
        EXPECT_EQ(r.scope, scope);
        for (const fs::path& p : AllRoots(r)) {
            if (!p.empty()) {
                EXPECT_TRUE(Under("/sandbox/box", p) || p == "/sandbox/box") << p;
            }
        }
        EXPECT_EQ(r.home, fs::path("/sandbox/box/home"));
        EXPECT_EQ(r.desktop, fs::path("/sandbox/box/home/Desktop"));
    }
    SystemRoots system = SystemRoots::InSandbox("/s", InstallScope::System);
    EXPECT_EQ(system.programFiles, fs::path("/s/opt"));
    EXPECT_EQ(system.machineRegistry, fs::path("/s/var/lib/vexlor/registry"));
    EXPECT_EQ(system.windows, fs::path("/s/opt/vexlor/windows"));
    EXPECT_EQ(system.commonStartMenu, fs::path("/s/usr/local/share/applications"));
    EXPECT_EQ(system.commonStartup, fs::path("/s/etc/xdg/autostart"));
}

TEST(SystemRoots, UserScopeFollowsHomeAndXdg) {
    std::map<std::string, fs::path> userDirs = {{"DESKTOP", "/h/Schreibtisch"},
                                                {"DOCUMENTS", "/h"}};
    SystemRoots r = SystemRoots::FromEnvironment(
        FakeEnv({{"HOME", "/h"},
                 {"XDG_CONFIG_HOME", "/cfg"},
                 {"XDG_DATA_HOME", "relative/ignored"},
                 {"TMPDIR", "/scratch"}}),
        [&](const std::string& name) -> std::optional<fs::path> {
            auto it = userDirs.find(name);
            return it == userDirs.end() ? std::nullopt : std::optional<fs::path>(it->second);
        },
        InstallScope::User);
    EXPECT_TRUE(r.sandbox.empty());
    EXPECT_EQ(r.xdgConfigHome, fs::path("/cfg"));
    EXPECT_EQ(r.xdgDataHome, fs::path("/h/.local/share"));
    EXPECT_EQ(r.desktop, fs::path("/h/Schreibtisch"));
    // xdg-user-dir answers the home folder for a folder that is not set up.
    EXPECT_EQ(r.documents, fs::path("/h/Documents"));
    EXPECT_EQ(r.programFiles, fs::path("/h/.local/opt"));
    EXPECT_EQ(r.startMenu, fs::path("/h/.local/share/applications"));
    EXPECT_EQ(r.startup, fs::path("/cfg/autostart"));
    EXPECT_EQ(r.appData, fs::path("/cfg"));
    EXPECT_EQ(r.localAppData, fs::path("/h/.local/share"));
    EXPECT_EQ(r.windows, fs::path("/h/.local/share/vexlor/windows"));
    EXPECT_EQ(r.system, fs::path("/h/.local/share/vexlor/windows/system"));
    EXPECT_EQ(r.temp, fs::path("/scratch"));
    EXPECT_EQ(r.userRegistry, fs::path("/cfg/vexlor/registry"));
    EXPECT_EQ(r.machineRegistry, fs::path("/h/.local/share/vexlor/registry"));
    EXPECT_TRUE(r.commonStartMenu.empty());
}

TEST(SystemRoots, SystemScopeUsesSystemFolders) {
    SystemRoots r =
        SystemRoots::FromEnvironment(FakeEnv({{"HOME", "/root"}}), nullptr, InstallScope::System);
    EXPECT_EQ(r.programFiles, fs::path("/opt"));
    EXPECT_EQ(r.machineRegistry, fs::path("/var/lib/vexlor/registry"));
    EXPECT_EQ(r.userRegistry, fs::path("/root/.config/vexlor/registry"));
    EXPECT_EQ(r.windows, fs::path("/opt/vexlor/windows"));
    EXPECT_EQ(r.commonAppData, fs::path("/var/lib"));
    EXPECT_EQ(r.temp, fs::path("/tmp"));
}

TEST(SystemRoots, FolderVariablesAndShellFolders) {
    SystemRoots user = SystemRoots::InSandbox("/s", InstallScope::User);
    std::vector<SystemFolderVariable> vars = SystemFolderVariables(user);
    std::vector<std::string> names;
    for (const auto& v : vars) {
        names.push_back(v.name);
        EXPECT_FALSE(v.path.empty()) << v.name;
    }
    EXPECT_EQ(names, (std::vector<std::string>{
                         "PROGRAMFILES", "COMMONFILES", "STARTMENU", "PROGRAMSMENU", "DESKTOP",
                         "SENDTO", "STARTUP", "MYDOCUMENTS", "APPDATAROOT", "LOCALAPPDATAROOT",
                         "COMMONAPPDATAROOT", "WINDOWS", "SYSTEM", "SYSTEMDRIVE"}));
    auto find = [](const std::vector<SystemFolderVariable>& list, const char* name) {
        return *std::find_if(list.begin(), list.end(),
                             [&](const auto& v) { return v.name == name; });
    };
    EXPECT_TRUE(find(vars, "WINDOWS").shared);
    EXPECT_TRUE(find(vars, "COMMONFILES").shared);
    EXPECT_FALSE(find(vars, "DESKTOP").shared);
    EXPECT_EQ(find(vars, "STARTMENU").path, fs::path("/s/home/.local/share/applications"));
    EXPECT_EQ(find(vars, "COMMONAPPDATAROOT").path, user.appData);

    std::vector<SystemFolderVariable> systemVars =
        SystemFolderVariables(SystemRoots::InSandbox("/s", InstallScope::System));
    EXPECT_EQ(find(systemVars, "STARTMENU").path, fs::path("/s/usr/local/share/applications"));
    EXPECT_EQ(find(systemVars, "STARTUP").path, fs::path("/s/etc/xdg/autostart"));
    EXPECT_EQ(find(systemVars, "PROGRAMFILES").path, fs::path("/s/opt"));

    EXPECT_EQ(ShellFolderPath(user, "Personal"), user.documents);
    EXPECT_EQ(ShellFolderPath(user, "start menu"), user.startMenu);
    EXPECT_EQ(ShellFolderPath(user, "StartMenu"), user.startMenu);
    EXPECT_EQ(ShellFolderPath(user, "QuickLaunch"), user.quickLaunch);
    EXPECT_EQ(ShellFolderPath(user, "Local AppData"), user.localAppData);
    EXPECT_EQ(ShellFolderPath(user, "Common Start Menu"), std::nullopt); // none in user scope
    EXPECT_EQ(ShellFolderPath(user, "No Such Folder"), std::nullopt);
}

TEST(SystemRoots, PublishShellFoldersWritesTheShellFolderKey) {
    TempFolder temp("bw-roots");
    auto reg = OpenFileRegistry(temp.Path());
    SystemRoots roots = SystemRoots::InSandbox(temp.Path(), InstallScope::System);
    PublishShellFolders(roots, *reg);
    const char* key = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    EXPECT_EQ(reg->ReadString(RootKey::CurrentUser, key, "Desktop"), roots.desktop.string());
    EXPECT_EQ(reg->ReadString(RootKey::LocalMachine, key, "Common Start Menu"),
              roots.commonStartMenu.string());
    EXPECT_EQ(reg->ReadString(RootKey::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion",
                              "ProgramFilesDir"),
              roots.programFiles.string());
}

TEST(Rights, ProbeWritesReadsAndRemoves) {
    TempFolder temp("bw-rights");
    auto reg = OpenFileRegistry(temp.Path());
    EXPECT_TRUE(ProbeAdministratorRights(*reg));
    EXPECT_FALSE(reg->KeyExists(RootKey::LocalMachine, "Software\\Vexlor"));
    EXPECT_TRUE(ProbeSetupRights(*reg, "/media/cd/setup.exe"));
    EXPECT_EQ(OpenFileRegistry(temp.Path())
                  ->ReadString(RootKey::LocalMachine, "Software\\Vexlor\\Tollvane", "Setup"),
              "/media/cd/setup.exe");
}

TEST(Rights, ProbeFailsWhenTheMachineHiveCannotBeWritten) {
    TempFolder temp("bw-rights");
    // A file where the hive's folder would have to be.
    { std::ofstream(temp.Path() / "blocked") << "x"; }
    RegistryLocations locations = RegistryLocations::InFolder(temp.Path());
    locations.localMachine = temp.Path() / "blocked" / "HKLM.reg";
    auto reg = OpenFileRegistry(locations);
    reg->WriteString(RootKey::CurrentUser, "Software\\Kept", "V", "x");
    EXPECT_FALSE(ProbeAdministratorRights(*reg));
    EXPECT_FALSE(ProbeSetupRights(*reg, "/setup"));
    // The failed probe leaves nothing that would make later saves fail.
    EXPECT_NO_THROW(reg->Flush());
    EXPECT_EQ(OpenFileRegistry(locations)->ReadString(RootKey::CurrentUser, "Software\\Kept", "V"),
              "x");
}

TEST(RegistryLocations, EnvironmentChoosesTheHiveFolders) {
    const char* saved = std::getenv("VEXLOR_REGISTRY_DIR");
    std::optional<std::string> savedValue =
        saved ? std::optional<std::string>(saved) : std::nullopt;
    ::setenv("VEXLOR_REGISTRY_DIR", "/reg/dir", 1);
    RegistryLocations fromDir = RegistryLocations::FromEnvironment();
    ::unsetenv("VEXLOR_REGISTRY_DIR");
    SetDefaultSystemRoots(SystemRoots::InSandbox("/box", InstallScope::User));
    RegistryLocations fromRoots = RegistryLocations::FromEnvironment();
    SetDefaultSystemRoots(std::nullopt);
    if (savedValue) {
        ::setenv("VEXLOR_REGISTRY_DIR", savedValue->c_str(), 1);
    }
    EXPECT_EQ(fromDir.currentUser, fs::path("/reg/dir/HKCU.reg"));
    EXPECT_EQ(fromDir.localMachine, fs::path("/reg/dir/HKLM.reg"));
    EXPECT_EQ(fromRoots.currentUser, fs::path("/box/home/.config/vexlor/registry/HKCU.reg"));
    EXPECT_EQ(fromRoots.localMachine, fs::path("/box/home/.local/share/vexlor/registry/HKLM.reg"));
    EXPECT_EQ(fromRoots.confinedTo, fs::path("/box"));
}

TEST(RegistryLocations, WithASandboxTheHivesStayInsideIt) {
    const SystemRoots plain = SystemRoots::InSandbox("/box", InstallScope::User);
    SystemRoots unsandboxed = plain;
    unsandboxed.sandbox.clear();
    const fs::path ownUser = "/box/home/.config/vexlor/registry/HKCU.reg";
    const fs::path ownMachine = "/box/home/.local/share/vexlor/registry/HKLM.reg";
    struct Case {
        const char* name;
        const SystemRoots& roots;
        std::optional<std::string> registryDir;
        fs::path userHive;
        fs::path machineHive;
        fs::path confinedTo;
    } cases[] = {
        {"no folder given", plain, std::nullopt, ownUser, ownMachine, "/box"},
        {"a folder outside the sandbox", plain, "/reg/dir", ownUser, ownMachine, "/box"},
        {"a folder climbing out of the sandbox", plain, "/box/../reg", ownUser, ownMachine, "/box"},
        {"a folder inside the sandbox", plain, "/box/hives", "/box/hives/HKCU.reg",
         "/box/hives/HKLM.reg", "/box"},
        {"no sandbox", unsandboxed, "/reg/dir", "/reg/dir/HKCU.reg", "/reg/dir/HKLM.reg", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RegistryLocations locations = RegistryLocations::FromEnvironment(c.roots, c.registryDir);
        EXPECT_EQ(locations.currentUser, c.userHive);
        EXPECT_EQ(locations.localMachine, c.machineHive);
        EXPECT_EQ(locations.confinedTo, c.confinedTo);
    }
}

TEST(SystemRoots, CreateFoldersFollowsNoLinkBelowTheSandbox) {
    // The folders the programs write themselves, in both scopes: a link
    // at any of them (or above it, below the sandbox) stops the creation
    // with its name, and nothing lands outside.
    struct Case {
        InstallScope scope;
        const char* link;
    } cases[] = {
        {InstallScope::System, "var"},
        {InstallScope::System, "var/lib/vexlor"},
        {InstallScope::System, "var/lib/vexlor/registry"},
        {InstallScope::User, "home"},
        {InstallScope::User, "home/.local"},
        {InstallScope::User, "home/.config"},
        {InstallScope::User, "home/.cache"},
        {InstallScope::User, "tmp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.link);
        TempFolder temp("bw-roots");
        const fs::path box = temp.Path() / "box";
        const fs::path outside = temp.Path() / "outside";
        fs::create_directories(outside);
        fs::create_directories((box / c.link).parent_path());
        fs::create_directory_symlink(outside, box / c.link);
        const SystemRoots roots = SystemRoots::InSandbox(box, c.scope);
        try {
            roots.CreateFolders();
            ADD_FAILURE() << "made through the link";
        } catch (const PlatformError& e) {
            EXPECT_NE(std::string(e.what()).find((box / c.link).string() + "\" is a symbolic link"),
                      std::string::npos)
                << e.what();
        }
        EXPECT_TRUE(fs::is_empty(outside));
    }
}

} // namespace
