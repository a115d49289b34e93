#include "setup/desktopentry.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <algorithm>
#include <filesystem>

#include "platform/codepage.h"
#include "platform/fileio.h"
#include "platform/systemfolders.h"
#include "platform/textutil.h"
#include "setup/folders.h"
#include "setup/installlog.h"
#include "setup/packagenames.h"
#include "setup/packagereader.h"
#include "setup/setuperrors.h"

extern char** environ;

namespace setup {

namespace {

std::string Utf8(std::string_view cp1252) {
    return platform::Cp1252ToUtf8(cp1252);
}

bool IconUsable(const std::string& icon) {
    auto dot = icon.find_last_of('.');
    if (icon.empty() || dot == std::string::npos)
        return false;
    std::string ext = platform::AnsiLowerCase(icon.substr(dot));
    return ext == ".png" || ext == ".svg" || ext == ".xpm";
}

} // namespace

std::string EscapeDesktopValue(std::string_view value) {
    CheckSingleLine(value, "A launcher value");
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (c == '\\')
            out += "\\\\";
        else if (c == '\t')
            out += "\\t";
        else if (c == ' ' && i == 0)
            out += "\\s";
        else
            out += c;
    }
    return out;
}

std::string QuoteExecArgument(std::string_view argument) {
    static const std::string_view reserved = " \t\n\"'\\><~|&;$*?#()`";
    bool quote = argument.empty() || argument.find_first_of(reserved) != std::string_view::npos;
    std::string out;
    if (quote)
        out += '"';
    for (char c : argument) {
        if (quote && (c == '"' || c == '`' || c == '$' || c == '\\'))
            out += '\\';
        if (c == '%')
            out += '%';
        out += c;
    }
    if (quote)
        out += '"';
    return out;
}

std::vector<std::string> SplitArguments(std::string_view text) {
    std::vector<std::string> out;
    std::string current;
    bool inQuotes = false, any = false;
    for (char c : text) {
        if (c == '"') {
            inQuotes = !inQuotes;
            any = true;
        } else if ((c == ' ' || c == '\t') && !inQuotes) {
            if (any)
                out.push_back(current);
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (any)
        out.push_back(current);
    return out;
}

bool IsWindowsProgramName(const std::string& path) {
    auto dot = path.find_last_of("./");
    if (dot == std::string::npos || path[dot] != '.')
        return false;
    std::string ext = platform::AnsiLowerCase(path.substr(dot));
    return ext == ".exe" || ext == ".com" || ext == ".bat" || ext == ".cmd";
}

bool OpensAsDocument(const std::string& path) {
    if (IsWindowsProgramName(path))
        return false;
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 0111) == 0;
}

std::string LauncherText(const TLauncher& l) {
    CheckSingleLine(l.name, "A shortcut name");
    CheckSingleLine(l.description, "A shortcut description");
    std::string exec = QuoteExecArgument(l.target);
    if (l.document) {
        exec = "xdg-open " + exec;
    } else {
        for (const auto& arg : l.arguments) {
            CheckSingleLine(arg, "A shortcut argument");
            exec += " " + QuoteExecArgument(arg);
        }
    }
    std::string text = "[Desktop Entry]\nType=Application\nVersion=1.0\n";
    text += "Name=" + EscapeDesktopValue(Utf8(l.name)) + "\n";
    if (!l.description.empty())
        text += "Comment=" + EscapeDesktopValue(Utf8(l.description)) + "\n";
    text += "Exec=" + EscapeDesktopValue(exec) + "\n";
    if (!l.workingDirectory.empty())
        text += "Path=" + EscapeDesktopValue(l.workingDirectory) + "\n";
    if (IconUsable(l.icon))
        text += "Icon=" + EscapeDesktopValue(l.icon) + "\n";
    text += "Terminal=false\n";
    return text;
}

std::string LinkLauncherText(const std::string& name, const std::string& url,
                             const std::string& icon) {
    CheckSingleLine(name, "An Internet shortcut name");
    CheckSingleLine(url, "An Internet shortcut address");
    std::string text = "[Desktop Entry]\nType=Link\nVersion=1.0\n";
    text += "Name=" + EscapeDesktopValue(Utf8(name)) + "\n";
    text += "URL=" + EscapeDesktopValue(Utf8(url)) + "\n";
    if (IconUsable(icon))
        text += "Icon=" + EscapeDesktopValue(icon) + "\n";
    return text;
}

bool WriteLauncherFile(const std::string& path, const std::string& text) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        try {
            if (platform::ReadFileBytes(path) == text)
                return false;
        } catch (const std::exception&) {
        }
    }
    platform::AtomicFileWriter writer(path);
    writer.SetMode(0755);
    writer.Write(text);
    writer.Commit();
    return true;
}

std::string MimeTypeForExtension(std::string_view extension) {
    std::string name;
    for (char c : platform::AnsiLowerCase(extension)) {
        unsigned char u = static_cast<unsigned char>(c);
        if ((u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || c == '-' || c == '+')
            name += c;
        else if (c != '.')
            name += '_';
    }
    return "application/x-vexlor-" + name;
}

bool UpdateMimeDatabase(const std::string& mimeFolder) {
    std::vector<std::string> args = {"update-mime-database", mimeFolder};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int rc = posix_spawnp(&pid, "update-mime-database", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return false;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

namespace {

// Where the launchers every desktop reads live in this scope.
std::string ApplicationsFolder(const platform::SystemRoots& roots) {
    bool system = roots.scope == platform::InstallScope::System && !roots.commonPrograms.empty();
    return (system ? roots.commonPrograms : roots.programsMenu).string();
}

std::string MimeStem(const std::string& extension) {
    std::string mime = MimeTypeForExtension(extension);
    return mime.substr(mime.find('/') + 1);
}

// Whether a link stands among the entries of the folder.
bool HoldsLinks(const std::string& folder) {
    std::error_code ec;
    for (auto it = std::filesystem::directory_iterator(folder, ec);
         !ec && it != std::filesystem::directory_iterator(); it.increment(ec))
        if (it->is_symlink(ec))
            return true;
    return static_cast<bool>(ec);
}

} // namespace

std::vector<std::string> FileTypeFolderRoots(const platform::SystemRoots& roots) {
    if (!roots.sandbox.empty())
        return {NormalisePath(roots.sandbox.string())};
    return {NormalisePath(roots.mimePackages.string()), NormalisePath(ApplicationsFolder(roots))};
}

std::vector<std::string> FileTypeFiles(const platform::SystemRoots& roots,
                                       const std::string& extension) {
    std::string stem = MimeStem(extension);
    return {roots.mimePackages.string() + "/packages/" + stem + ".xml",
            ApplicationsFolder(roots) + "/" + stem + ".desktop"};
}

std::vector<std::string> ProjectFileType(const platform::SystemRoots& roots,
                                         const TMimeProjection& type) {
    CheckSingleLine(type.description, "A file type description");
    CheckSingleLine(type.extension, "A file extension");
    std::vector<std::string> written;
    std::string mime = MimeTypeForExtension(type.extension);
    const std::vector<std::string> files = FileTypeFiles(roots, type.extension);
    std::string mimeFolder = roots.mimePackages.string();
    // Made like every target folder: no link below the sandbox (or below
    // the scope's own MIME and launcher folders) is followed.
    const std::vector<std::string> trusted = FileTypeFolderRoots(roots);
    CreateFolder(ExtractFileDir(files[0]), nullptr, trusted);
    std::string glob = "*" + Utf8(platform::AnsiLowerCase(type.extension));
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        "  <mime-type type=\"" +
        platform::HtmlEscape(mime) + "\">\n    <comment>" +
        platform::HtmlEscape(Utf8(type.description)) + "</comment>\n    <glob pattern=\"" +
        platform::HtmlEscape(glob) + "\"/>\n  </mime-type>\n</mime-info>\n";
    platform::WriteFileAtomic(files[0], xml);
    written.push_back(files[0]);
    if (!type.openCommandTarget.empty()) {
        CreateFolder(ExtractFileDir(files[1]), nullptr, trusted);
        TLauncher l;
        l.name = type.description.empty() ? type.extension : type.description;
        l.target = type.openCommandTarget;
        l.icon = type.icon;
        std::string text = LauncherText(l);
        // The verb's command text carries "%1" for the document.
        std::string exec = QuoteExecArgument(type.openCommandTarget);
        for (const auto& arg : SplitArguments(type.openArguments))
            exec += " " + (arg == "%1" ? std::string("%f") : QuoteExecArgument(Utf8(arg)));
        if (type.openArguments.find("%1") == std::string::npos)
            exec += " %f";
        auto pos = text.find("Exec=");
        auto end = text.find('\n', pos);
        text.replace(pos, end - pos, "Exec=" + EscapeDesktopValue(exec));
        text += "MimeType=" + mime + ";\nNoDisplay=true\n";
        WriteLauncherFile(files[1], text);
        written.push_back(files[1]);
    }
    // The database is written below the MIME folder: not through a link
    // planted there.
    if (!HoldsLinks(mimeFolder))
        UpdateMimeDatabase(mimeFolder);
    return written;
}

} // namespace setup
