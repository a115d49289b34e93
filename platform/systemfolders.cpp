#include "platform/systemfolders.h"

#include <fcntl.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>

#include "platform/codepage.h"
#include "platform/fileio.h"
#include "platform/registry.h"

extern char** environ;

namespace fs = std::filesystem;

namespace platform {

namespace {

std::optional<std::string> RealEnv(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    if (!value) {
        return std::nullopt;
    }
    return std::string(value);
}

// Runs a program (found on PATH, no shell) and returns its standard output,
// or nullopt when it cannot be run or fails.
std::optional<std::string> RunCapture(const std::vector<std::string>& args) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        return std::nullopt;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    int rc = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (rc != 0) {
        ::close(pipeFds[0]);
        return std::nullopt;
    }
    std::string output;
    char buffer[4096];
    for (;;) {
        ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        if (output.size() < 65536) {
            output.append(buffer, static_cast<size_t>(n));
        }
    }
    ::close(pipeFds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return output;
}

bool OnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    if (!path) {
        return false;
    }
    std::string_view rest = path;
    while (!rest.empty()) {
        size_t colon = rest.find(':');
        std::string_view dir = rest.substr(0, colon);
        if (!dir.empty() && ::access((fs::path(dir) / program).c_str(), X_OK) == 0) {
            return true;
        }
        if (colon == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(colon + 1);
    }
    return false;
}

std::optional<fs::path> RealUserDir(const std::string& name) {
    static const bool available = OnPath("xdg-user-dir");
    if (!available) {
        return std::nullopt;
    }
    std::optional<std::string> out = RunCapture({"xdg-user-dir", name});
    if (!out) {
        return std::nullopt;
    }
    while (!out->empty() && (out->back() == '\n' || out->back() == '\r')) {
        out->pop_back();
    }
    if (out->empty() || (*out)[0] != '/') {
        return std::nullopt;
    }
    return fs::path(*out);
}

// An XDG variable counts only when it holds an absolute path.
fs::path XdgOr(const SystemRoots::EnvLookup& env, const char* name, const fs::path& fallback) {
    if (std::optional<std::string> v = env(name); v && !v->empty() && (*v)[0] == '/') {
        return fs::path(*v);
    }
    return fallback;
}

fs::path HomeOf(const SystemRoots::EnvLookup& env) {
    if (std::optional<std::string> home = env("HOME"); home && !home->empty()) {
        return fs::path(*home);
    }
    if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_dir) {
        return fs::path(pw->pw_dir);
    }
    return fs::path("/");
}

// Fills the folders that follow from home, the XDG folders, the prefix and
// the scope.
void DeriveFolders(SystemRoots& r, const SystemRoots::UserDirLookup& userDirs) {
    const bool system = r.scope == InstallScope::System;
    const fs::path& prefix = r.systemPrefix;
    auto userDir = [&](const char* name, const char* fallback) {
        if (userDirs) {
            if (std::optional<fs::path> dir = userDirs(name); dir && *dir != r.home) {
                return *dir;
            }
        }
        return r.home / fallback;
    };

    r.desktop = userDir("DESKTOP", "Desktop");
    r.documents = userDir("DOCUMENTS", "Documents");
    r.templates = userDir("TEMPLATES", "Templates");
    r.pictures = userDir("PICTURES", "Pictures");
    r.music = userDir("MUSIC", "Music");
    r.videos = userDir("VIDEOS", "Videos");
    r.downloads = userDir("DOWNLOAD", "Downloads");

    r.appData = r.xdgConfigHome;
    r.localAppData = r.xdgDataHome;
    r.startMenu = r.xdgDataHome / "applications";
    r.programsMenu = r.startMenu;
    r.startup = r.xdgConfigHome / "autostart";
    r.sendTo = r.xdgDataHome / "nautilus" / "scripts";
    r.quickLaunch = r.xdgDataHome / "vexlor" / "quicklaunch";
    r.userRegistry = r.xdgConfigHome / "vexlor" / "registry";

    if (system) {
        r.programFiles = prefix / "opt";
        r.commonStartMenu = prefix / "usr/local/share/applications";
        r.commonPrograms = r.commonStartMenu;
        r.commonStartup = prefix / "etc/xdg/autostart";
        r.commonAppData = prefix / "var/lib";
        // Linux has no desktop shared by every user.
        r.commonDesktop.clear();
        r.windows = prefix / "opt/vexlor/windows";
        r.fonts = prefix / "usr/local/share/fonts";
        r.mimePackages = prefix / "usr/local/share/mime";
        r.machineRegistry = prefix / "var/lib/vexlor/registry";
        r.pendingRenames = prefix / "var/lib/vexlor/pending-renames";
    } else {
        r.programFiles = r.home / ".local/opt";
        r.commonStartMenu.clear();
        r.commonPrograms.clear();
        r.commonStartup.clear();
        r.commonDesktop.clear();
        r.commonAppData = r.appData;
        r.windows = r.xdgDataHome / "vexlor/windows";
        r.fonts = r.xdgDataHome / "fonts";
        r.mimePackages = r.xdgDataHome / "mime";
        r.machineRegistry = r.xdgDataHome / "vexlor/registry";
        r.pendingRenames = r.xdgDataHome / "vexlor/pending-renames";
    }
    r.commonFiles = r.programFiles / "common";
    r.system = r.windows / "system";
}

std::mutex defaultRootsMutex;
std::optional<SystemRoots> defaultRoots;

std::string RemoveBlanks(std::string_view s) {
    std::string out;
    for (char c : s) {
        if (c != ' ') {
            out += c;
        }
    }
    return out;
}

} // namespace

InstallScope CurrentScope() {
    return ::geteuid() == 0 ? InstallScope::System : InstallScope::User;
}

SystemRoots SystemRoots::FromEnvironment() {
    return FromEnvironment(RealEnv, RealUserDir);
}

SystemRoots SystemRoots::FromEnvironment(const EnvLookup& env, const UserDirLookup& userDirs,
                                         std::optional<InstallScope> scope) {
    const InstallScope effective = scope.value_or(CurrentScope());
    if (std::optional<std::string> sandbox = env("VEXLOR_SANDBOX"); sandbox && !sandbox->empty()) {
        std::error_code ec;
        fs::path dir = fs::absolute(fs::path(*sandbox), ec);
        return InSandbox(ec ? fs::path(*sandbox) : dir, effective);
    }
    SystemRoots r;
    r.scope = effective;
    r.home = HomeOf(env);
    r.xdgConfigHome = XdgOr(env, "XDG_CONFIG_HOME", r.home / ".config");
    r.xdgDataHome = XdgOr(env, "XDG_DATA_HOME", r.home / ".local/share");
    r.xdgCacheHome = XdgOr(env, "XDG_CACHE_HOME", r.home / ".cache");
    r.systemPrefix = "/";
    r.temp = XdgOr(env, "TMPDIR", "/tmp");
    DeriveFolders(r, userDirs);
    return r;
}

SystemRoots SystemRoots::InSandbox(const fs::path& sandboxDir, InstallScope scope) {
    SystemRoots r;
    r.scope = scope;
    r.sandbox = sandboxDir;
    r.home = sandboxDir / "home";
    r.xdgConfigHome = r.home / ".config";
    r.xdgDataHome = r.home / ".local/share";
    r.xdgCacheHome = r.home / ".cache";
    r.systemPrefix = sandboxDir;
    r.temp = sandboxDir / "tmp";
    // Never ask xdg-user-dir inside a sandbox: it would answer for the real home.
    DeriveFolders(r, nullptr);
    return r;
}

void SystemRoots::CreateFolders() const {
    std::error_code ec;
    for (const fs::path* p : {&home, &xdgConfigHome, &xdgDataHome, &xdgCacheHome, &temp,
                              &userRegistry, &machineRegistry}) {
        if (p->empty()) {
            continue;
        }
        if (sandbox.empty()) {
            fs::create_directories(*p, ec);
        } else {
            CreateFolderBelow(sandbox, *p);
        }
    }
}

const SystemRoots& DefaultSystemRoots() {
    std::lock_guard guard(defaultRootsMutex);
    if (!defaultRoots) {
        defaultRoots = SystemRoots::FromEnvironment();
    }
    return *defaultRoots;
}

void SetDefaultSystemRoots(std::optional<SystemRoots> roots) {
    std::lock_guard guard(defaultRootsMutex);
    defaultRoots = std::move(roots);
}

std::vector<ShellFolder> ShellFolders(const SystemRoots& r) {
    std::vector<ShellFolder> folders = {
        {"AppData", r.appData, false},
        {"Cache", r.xdgCacheHome, false},
        {"Desktop", r.desktop, false},
        {"Fonts", r.fonts, r.scope == InstallScope::System},
        {"Local AppData", r.localAppData, false},
        {"My Music", r.music, false},
        {"My Pictures", r.pictures, false},
        {"My Video", r.videos, false},
        {"Downloads", r.downloads, false},
        {"Personal", r.documents, false},
        {"Programs", r.programsMenu, false},
        {"SendTo", r.sendTo, false},
        {"Start Menu", r.startMenu, false},
        {"Startup", r.startup, false},
        {"Templates", r.templates, false},
        {"Quick Launch", r.quickLaunch, false},
        {"Common AppData", r.commonAppData, true},
        {"Common Desktop", r.commonDesktop, true},
        {"Common Programs", r.commonPrograms, true},
        {"Common Start Menu", r.commonStartMenu, true},
        {"Common Startup", r.commonStartup, true},
        {"Windows", r.windows, true},
        {"System", r.system, true},
        {"Program Files", r.programFiles, false},
        {"Common Files", r.commonFiles, true},
        {"Temp", r.temp, false},
    };
    return folders;
}

std::optional<fs::path> ShellFolderPath(const SystemRoots& roots, std::string_view name) {
    // Accepts both the shell-folder key's value names ("Start Menu") and the
    // same names run together ("StartMenu"), and the usual aliases.
    std::string wanted = RemoveBlanks(name);
    if (AnsiSameText(wanted, "MyDocuments") || AnsiSameText(wanted, "Documents")) {
        wanted = "Personal";
    }
    for (const ShellFolder& folder : ShellFolders(roots)) {
        if (AnsiSameText(RemoveBlanks(folder.name), wanted)) {
            if (folder.path.empty()) {
                return std::nullopt;
            }
            return folder.path;
        }
    }
    return std::nullopt;
}

std::vector<SystemFolderVariable> SystemFolderVariables(const SystemRoots& r) {
    const bool system = r.scope == InstallScope::System;
    // In system scope the folders of every user take the place of the
    // current user's, as the all-users shell folders do.
    auto pick = [&](const fs::path& common, const fs::path& user) {
        return system && !common.empty() ? common : user;
    };
    return {
        {"PROGRAMFILES", r.programFiles, false},
        {"COMMONFILES", r.commonFiles, true},
        {"STARTMENU", pick(r.commonStartMenu, r.startMenu), false},
        {"PROGRAMSMENU", pick(r.commonPrograms, r.programsMenu), false},
        {"DESKTOP", pick(r.commonDesktop, r.desktop), false},
        {"SENDTO", r.sendTo, false},
        {"STARTUP", pick(r.commonStartup, r.startup), false},
        {"MYDOCUMENTS", r.documents, false},
        {"APPDATAROOT", r.appData, false},
        {"LOCALAPPDATAROOT", r.localAppData, false},
        {"COMMONAPPDATAROOT", pick(r.commonAppData, r.appData), false},
        {"WINDOWS", r.windows, true},
        {"SYSTEM", r.system, true},
        {"SYSTEMDRIVE", r.systemPrefix, false},
    };
}

void PublishShellFolders(const SystemRoots& roots, Registry& registry) {
    static constexpr const char* kShellFolders =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    static constexpr const char* kCurrentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";
    auto text = [](const fs::path& p) { return Utf8ToCp1252(p.string()); };
    for (const ShellFolder& folder : ShellFolders(roots)) {
        if (folder.path.empty() || folder.name == "Windows" || folder.name == "System" ||
            folder.name == "Program Files" || folder.name == "Common Files" ||
            folder.name == "Temp") {
            continue;
        }
        const bool common = folder.name.rfind("Common ", 0) == 0;
        if (common) {
            if (roots.scope == InstallScope::System) {
                registry.WriteString(RootKey::LocalMachine, kShellFolders, folder.name,
                                     text(folder.path));
            }
        } else {
            registry.WriteString(RootKey::CurrentUser, kShellFolders, folder.name,
                                 text(folder.path));
        }
    }
    registry.WriteString(RootKey::LocalMachine, kCurrentVersion, "ProgramFilesDir",
                         text(roots.programFiles));
    registry.WriteString(RootKey::LocalMachine, kCurrentVersion, "CommonFilesDir",
                         text(roots.commonFiles));
}

} // namespace platform
