#include "components/systemfolders.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "components/shelllink.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/registry.h"
#include "platform/resolvepath.h"
#include "platform/systemfolders.h"
#include "platform/textutil.h"

namespace components {

namespace {

bool IsDrivePath(const std::string& s) {
    return s.size() >= 2 && std::isalpha(static_cast<unsigned char>(s[0])) &&
           (s[1] == ':' || s[1] == '|');
}

bool HasDriveLetter(const std::string& s) {
    return s.size() >= 2 && std::isalpha(static_cast<unsigned char>(s[0])) && s[1] == ':';
}

// A drive-letter path as the folder the drive map gives that drive, each
// existing component in its real case. An unmapped drive keeps the path as
// it is: opening it then says what is wrong.
std::string MapDrivePath(const std::string& path) {
    try {
        return platform::resolvePath(platform::Utf8ToCp1252(path)).string();
    } catch (const platform::PlatformError&) {
        return path;
    }
}

std::string WithSeparator(std::string path) {
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path;
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

std::string FileUrlToPath(const std::string& url) {
    std::string rest = url.size() > 7 ? url.substr(7) : std::string();
    if (platform::StartsWithNoCase(rest, "localhost/"))
        rest.erase(0, 9);
    std::size_t skip = rest.find_first_not_of("/\\");
    if (skip == std::string::npos)
        skip = rest.size();
    std::string body = rest.substr(skip);
    // What follows the slashes is a drive path, or else a path from the root.
    bool drive = IsDrivePath(body);
    if (!drive && skip > 0)
        body = "/" + body;
    std::string out;
    for (std::size_t i = 0; i < body.size(); ++i) {
        char c = body[i];
        if (c == '%' && i + 2 < body.size()) {
            int hi = platform::HexDigitValue(body[i + 1]),
                lo = platform::HexDigitValue(body[i + 2]);
            char decoded = hi < 0 || lo < 0 ? '?' : static_cast<char>(hi * 16 + lo);
            if (hi == 0 && lo == 0)
                throw std::invalid_argument("A file URL may not contain %00: " + url);
            out += decoded;
            i += 2;
        } else if (c == '/' && drive) {
            out += '\\';
        } else {
            out += c;
        }
    }
    if (drive && out.size() >= 2 && out[1] == '|')
        out[1] = ':';
    return out;
}

std::string LongPathOf(const std::string& path) {
    if (path.empty() || path[0] != '/')
        return path;
    std::string result;
    std::size_t pos = 1;
    while (pos <= path.size()) {
        std::size_t next = path.find('/', pos);
        if (next == std::string::npos)
            next = path.size();
        std::string name = path.substr(pos, next - pos);
        std::string parent = result.empty() ? "/" : result;
        if (!name.empty()) {
            std::string candidate = WithSeparator(parent) + name;
            struct stat st {};
            if (::lstat(candidate.c_str(), &st) != 0) {
                // Look for the name in another letter case.
                std::string found;
                if (DIR* dir = ::opendir(parent.c_str())) {
                    int matches = 0;
                    while (dirent* e = ::readdir(dir)) {
                        std::string n = e->d_name;
                        if (platform::AnsiCompareText(platform::Utf8ToCp1252(n),
                                                      platform::Utf8ToCp1252(name)) == 0) {
                            found = n;
                            ++matches;
                        }
                    }
                    ::closedir(dir);
                    if (matches != 1)
                        found.clear();
                }
                if (found.empty())
                    return WithSeparator(parent) + path.substr(pos);
                candidate = WithSeparator(parent) + found;
            }
            result = candidate;
        }
        pos = next + 1;
    }
    if (!path.empty() && path.back() == '/' && !result.empty())
        result += '/';
    return result.empty() ? "/" : result;
}

std::string NormalizeFileArgument(const std::string& argument) {
    std::string path;
    if (platform::StartsWithNoCase(argument, "file://"))
        path = FileUrlToPath(argument);
    else if (argument.rfind("\\\\", 0) == 0 || argument.rfind("//", 0) == 0)
        path = argument;
    else if (HasDriveLetter(argument))
        path = argument;
    else
        path = LongPathOf(std::filesystem::absolute(argument).lexically_normal().string());
    // Drive letters name folders of the drive map; a shortcut is read there.
    if (HasDriveLetter(path))
        path = MapDrivePath(path);
    if (platform::EndsWithNoCase(path, ".lnk"))
        path = ResolveShortcut(path);
    return path;
}

TSystemFolders::TSystemFolders(platform::Registry& registry, const platform::SystemRoots& roots) {
    using platform::RootKey;
    Windows = roots.windows.empty() ? std::string("C:\\Windows\\")
                                    : WithSeparator(roots.windows.string());
    Desktop = Windows + "Desktop/";
    StartMenu = Windows + "Start Menu/";
    Programs = StartMenu + "Programs/";
    Startup = Programs + "StartUp/";
    SendTo = Windows + "SendTo/";
    QuickLaunch = Windows + "Application Data/Microsoft/Internet Explorer/Quick Launch/";
    Personal = WithSeparator(roots.documents.string());
    AppData = WithSeparator(roots.appData.string());
    const char* key = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    auto read = [&](RootKey root, const char* name) -> std::string {
        try {
            auto v = registry.ReadString(root, key, name);
            return v && !v->empty() ? WithSeparator(*v) : std::string();
        } catch (const std::exception&) {
            return {};
        }
    };
    auto take = [](std::string& field, const std::string& value) {
        if (!value.empty())
            field = value;
    };
    take(Personal, read(RootKey::CurrentUser, "Personal"));
    take(StartMenu, read(RootKey::CurrentUser, "Start Menu"));
    std::string programs = read(RootKey::CurrentUser, "Programs");
    Programs = programs.empty() ? StartMenu + "Programs/" : programs;
    std::string startup = read(RootKey::CurrentUser, "Startup");
    Startup = startup.empty() ? Programs + "StartUp/" : startup;
    take(Desktop, read(RootKey::CurrentUser, "Desktop"));
    take(SendTo, read(RootKey::CurrentUser, "SendTo"));
    std::string appData = read(RootKey::CurrentUser, "AppData");
    if (!appData.empty()) {
        AppData = appData;
        QuickLaunch = AppData + "Microsoft/Internet Explorer/Quick Launch/";
    }
    auto common = [&](std::string& field, const char* name) {
        std::string v = read(RootKey::LocalMachine, name);
        if (!v.empty() && IsFolder(v))
            field = v;
    };
    common(CommonAppData, "Common AppData");
    common(CommonStartMenu, "Common Start Menu");
    common(CommonPrograms, "Common Programs");
    common(CommonStartup, "Common Startup");
    common(CommonDesktop, "Common Desktop");
    Temp = roots.temp.empty() ? Windows + "Temp/" : WithSeparator(roots.temp.string());
}

} // namespace components
