#include "setup/installlog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "platform/codepage.h"
#include "platform/fileio.h"
#include "platform/pathnames.h"
#include "setup/folders.h"
#include "setup/foldervariables.h"
#include "setup/packagenames.h"
#include "setup/setuperrors.h"
#include "setup/setuppackage.h"
#include "setup/uistrings.h"

namespace setup {

namespace {

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::string StripTrailingSeparator(std::string path) {
    if (path.size() > 1 && (path.back() == '/' || path.back() == '\\'))
        path.pop_back();
    return path;
}

// A log line source that fails with "EOF" at the end of the file.
class TLineReader {
public:
    explicit TLineReader(const std::string& path) : in_(path, std::ios::binary) {}
    bool Good() const { return static_cast<bool>(in_); }
    bool Next(std::string& line) {
        if (!std::getline(in_, line))
            return false;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return true;
    }
    std::string Line() {
        std::string line;
        if (!Next(line))
            throw ESetupError("EOF");
        return line;
    }
    int Number() {
        std::string line = Line();
        std::size_t used = 0;
        int value = std::stoi(line, &used);
        if (used != line.size())
            throw ESetupError("not a number");
        return value;
    }

private:
    std::ifstream in_;
};

} // namespace

bool TNoCaseLess::operator()(const std::string& a, const std::string& b) const {
    int c = platform::AnsiCompareText(a, b);
    return c != 0 ? c < 0 : a < b;
}

void CheckSingleLine(std::string_view text, std::string_view what) {
    if (text.find_first_of("\r\n") != std::string_view::npos)
        throw ESetupError(std::string(what) + " holds a line break: " +
                          std::string(text.substr(0, text.find_first_of("\r\n"))));
}

TInstallLog::~TInstallLog() {
    if (file_) {
        std::fclose(file_);
        ::unlink(tempPath_.c_str());
    }
}

void TInstallLog::Create(const std::string& path) {
    if (file_)
        Close();
    path_ = path;
    // Written beside the log and put in its place only when whole: a run
    // that cannot finish it (a full disk) leaves the earlier log as it was,
    // and a link planted in the log's place is replaced, not followed.
    std::filesystem::path temp;
    int fd = -1;
    try {
        fd = platform::CreateUniqueFile(std::filesystem::path(path).parent_path(), "cgn", ".log",
                                        0644, temp);
    } catch (const std::exception& e) {
        throw ESetupError("Cannot create the installation log " + path + ": " + e.what());
    }
    ::fchmod(fd, 0644);
    tempPath_ = temp.string();
    if (!(file_ = ::fdopen(fd, "wb"))) {
        ::close(fd);
        ::unlink(tempPath_.c_str());
        throw ESetupError("Cannot create the installation log " + path + ": " +
                          std::strerror(errno));
    }
}

void TInstallLog::WriteLine(std::string_view line) {
    if (!file_)
        throw ESetupError("The installation log is not open.");
    CheckSingleLine(line, "A line of the installation log");
    if (std::fwrite(line.data(), 1, line.size(), file_) != line.size() ||
        std::fputc('\n', file_) == EOF) {
        failed_ = true;
        throw ESetupError("Cannot write the installation log " + path_ + ": " +
                          std::strerror(errno));
    }
}

void TInstallLog::Close() {
    if (!file_)
        return;
    std::FILE* f = file_;
    file_ = nullptr;
    const bool written = std::fflush(f) == 0 && ::fsync(::fileno(f)) == 0;
    const int error = errno;
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed || failed_ || ::rename(tempPath_.c_str(), path_.c_str()) != 0) {
        const int why = !written ? error : errno;
        ::unlink(tempPath_.c_str());
        failed_ = false;
        throw ESetupError("Cannot write the installation log " + path_ + ": " + std::strerror(why));
    }
}

void DayToDate(std::int32_t day, int& year, int& month, int& dayOfMonth) {
    // Days since 1 March 0000 style civil conversion, from the Unix day.
    long long z = static_cast<long long>(day) - 25569 + 719468;
    long long era = (z >= 0 ? z : z - 146096) / 146097;
    long long doe = z - era * 146097;
    long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long y = yoe + era * 400;
    long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    long long mp = (5 * doy + 2) / 153;
    dayOfMonth = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(month <= 2 ? y + 1 : y);
}

std::int32_t DateToDay(int year, int month, int day) {
    long long y = month <= 2 ? year - 1 : year;
    long long era = (y >= 0 ? y : y - 399) / 400;
    long long yoe = y - era * 400;
    long long doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return static_cast<std::int32_t>(era * 146097 + doe - 719468 + 25569);
}

void WriteLogHead(TInstallLog& log, const TSetupPackage& package,
                  const std::string& uninstallCommand) {
    const TSettings& s = package.Settings();
    const TUiStrings& ui = package.Ui();
    std::string title = s.FullProductTitle();
    log.WriteLine("; Packwhistler Installation Log");
    log.WriteLine("; Please do not delete or alter this file.");
    log.WriteLine(
        SafeFormat("; It is needed whenever you want to update or uninstall %s", {title}));
    log.WriteLine("; Written by the Packwhistler setup engine; the uninstaller reads it");
    log.WriteLine("; to remove the files, shortcuts and registry entries listed below.");
    log.WriteLine("1");
    log.WriteLine(title);
    std::int32_t day = 0;
    int y = 0, m = 0, d = 0;
    if (s.ReleaseDay(day))
        DayToDate(day, y, m, d);
    log.WriteLine(std::to_string(y));
    log.WriteLine(std::to_string(m));
    log.WriteLine(std::to_string(d));
    log.WriteLine(s.publisherName);
    log.WriteLine(s.productName);
    log.WriteLine(s.productVersion);
    for (std::size_t i = ui::kUninstallerTextFirst; i <= ui::kUninstallerTextLast; ++i)
        log.WriteLine(ui.Get(i));
    log.WriteLine(uninstallCommand);
    const auto& vars = package.Folders().Defined();
    log.WriteLine(std::to_string(vars.size()));
    for (const auto& v : vars) {
        log.WriteLine(v.name);
        log.WriteLine(v.caption);
        log.WriteLine((v.shared ? "*" : "") +
                      (v.native ? NativeToPackageText(v.path, "The folder " + v.name) : v.path));
    }
    const auto& components = package.Tables().components;
    log.WriteLine(std::to_string(components.size()));
    for (const auto& c : components) {
        log.WriteLine(c.name);
        log.WriteLine(std::string(c.selected ? "S" : "") + (c.required ? "R" : ""));
    }
}

std::string ChooseLogName(const std::string& appFolder, std::string& previousLog,
                          TPendingFileOperations& pending, const std::vector<std::string>& roots) {
    if (!previousLog.empty() &&
        platform::AnsiCompareText(
            platform::ExtractFileDir(previousLog, platform::kNativeSeparators),
            StripTrailingSeparator(appFolder)) != 0) {
        // Only a log inside the installation's folders is ours to delete.
        std::string norm = NormalisePath(previousLog);
        if (!norm.empty() && DeepestRoot(norm, roots) != nullptr)
            DeleteFileOrOnReboot(norm, pending, roots);
        previousLog.clear();
    }
    if (!previousLog.empty())
        return previousLog;
    std::string base = StripTrailingSeparator(appFolder) + "/Cargon";
    std::string name = base + ".log";
    for (int n = 2; FileExists(name); ++n)
        name = base + std::to_string(n) + ".log";
    return name;
}

std::string RegistryLogLine(platform::RootKey root, std::string_view key, std::string_view name) {
    std::string line = platform::RootKeyName(root);
    if (!key.empty())
        line += "\\" + std::string(key);
    line += '\t';
    line += name;
    return line;
}

void WriteUninstallRegistration(platform::Registry& registry, const TSetupPackage& package,
                                const TUninstallInfo& info, TNoCaseSet& registryLines) {
    using platform::RootKey;
    const TSettings& s = package.Settings();
    const std::string& product = s.productName;
    CheckSingleLine(product, "The product name");
    registry.CreateKey(RootKey::LocalMachine, kTollvaneKey);
    registry.WriteString(RootKey::LocalMachine, kTollvaneKey, product,
                         NativeToPackageText(info.logPath, "The log path"));
    registryLines.insert(RegistryLogLine(RootKey::LocalMachine, kTollvaneKey, product));

    std::string key = std::string(kUninstallKey) + "\\" + product;
    registry.CreateKey(RootKey::LocalMachine, key);
    auto str = [&](const char* name, const std::string& value) {
        registry.WriteString(RootKey::LocalMachine, key, name, value);
        registryLines.insert(RegistryLogLine(RootKey::LocalMachine, key, name));
    };
    auto dword = [&](const char* name, std::uint32_t value) {
        registry.WriteDword(RootKey::LocalMachine, key, name, value);
        registryLines.insert(RegistryLogLine(RootKey::LocalMachine, key, name));
    };
    auto path = [](const std::string& native) { return NativeToPackageText(native, "A path"); };
    str("DisplayName", s.FullProductTitle());
    if (!info.displayIconFile.empty())
        str("DisplayIcon",
            path(info.displayIconFile) + "," + std::to_string(info.displayIconIndex));
    // Not to an uninstaller that is not there (its copy failed).
    if (!info.uninstallerPath.empty())
        str("UninstallString", path(info.uninstallerPath) + " \"" + path(info.logPath) + "\"");
    dword("NoModify", 1);
    dword("NoRepair", 1);
    dword("EstimatedSize", static_cast<std::uint32_t>(info.totalSize / 1024));
    std::string date = info.installDate;
    if (date.empty()) {
        std::time_t now = std::time(nullptr);
        std::tm tm{};
        ::localtime_r(&now, &tm);
        char buffer[32];
        date.assign(buffer, std::strftime(buffer, sizeof buffer, "%Y%m%d", &tm));
    }
    str("InstallDate", date);
    str("InstallLocation", path(info.installLocation));
    if (!s.productVersion.empty())
        str("DisplayVersion", s.productVersion);
    if (!s.publisherName.empty())
        str("Publisher", s.publisherName);
    const std::string& help = !s.productUrl.empty() ? s.productUrl : s.publisherUrl;
    if (!help.empty()) {
        str("HelpLink", help);
        str("URLInfoUpdate", help);
    }
    const std::string& about = !s.publisherUrl.empty() ? s.publisherUrl : s.productUrl;
    if (!about.empty())
        str("URLInfoAbout", about);
}

const TLoggedVerb* TLoggedFileType::FindVerb(std::string_view verb) const {
    for (const auto& v : verbs)
        if (platform::AnsiCompareText(v.verb, verb) == 0)
            return &v;
    return nullptr;
}

const TLoggedFileType* TPreviousInstall::FindType(std::string_view extension) const {
    for (const auto& t : fileTypes)
        if (platform::AnsiCompareText(t.extension, extension) == 0)
            return &t;
    return nullptr;
}

TPreviousInstall ReadPreviousInstallLog(TSetupPackage& package, platform::Registry& registry) {
    std::optional<std::string> value;
    try {
        value = registry.ReadString(platform::RootKey::LocalMachine, kTollvaneKey,
                                    package.Settings().productName);
    } catch (const std::exception&) {
    }
    if (!value || value->empty() || value->size() > 256)
        return {};
    std::string path = platform::Cp1252ToUtf8(value->substr(0, value->find('\0')));
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    return ReadInstallLogFile(package, path);
}

TPreviousInstall ReadInstallLogFile(TSetupPackage& package, const std::string& logPath) {
    TPreviousInstall prev;
    TLineReader in(logPath);
    if (!in.Good())
        return prev;
    prev.logPath = logPath;
    const TUiStrings& ui = package.Ui();
    // The head: a failure here leaves the rest of it unused.
    try {
        std::string line;
        do {
            line = in.Line();
        } while (line.empty() || line[0] == ';');
        (void)std::stoi(line); // format number
        prev.title = in.Line();
        prev.year = in.Number();
        prev.month = in.Number();
        prev.day = in.Number();
        prev.publisher = in.Line();
        prev.product = in.Line();
        prev.version = in.Line();
    } catch (const std::exception&) {
        return prev;
    }

    std::int32_t ours = 0;
    if (package.Settings().ReleaseDay(ours)) {
        std::int32_t theirs = DateToDay(prev.year, prev.month, prev.day);
        std::string first = ui.Format(ui::kEarlierInstallation, {prev.title});
        if (ours > theirs) {
            prev.comparison = TReleaseComparison::Newer;
            prev.welcomeLines = {first, ui.Get(ui::kNewerPackage), ui.Get(ui::kNewerPackageHint)};
            prev.installHintAppend = " " + ui.Get(ui::kNewerPackageHint);
            prev.componentsHintAppend = " " + ui.Get(ui::kComponentsHint);
        } else if (ours < theirs) {
            prev.comparison = TReleaseComparison::Older;
            prev.welcomeLines = {first, ui.Get(ui::kOlderPackage), ui.Get(ui::kOlderPackageHint)};
            prev.defaultButton = TWelcomeDefault::Exit;
        } else {
            prev.comparison = TReleaseComparison::Same;
            prev.welcomeLines = {first, ui.Get(ui::kSamePackage)};
            if (package.Tables().AnyUserChoice()) {
                prev.welcomeLines.push_back(ui.Get(ui::kSamePackageChoice));
                prev.welcomeLines.push_back(ui.Get(ui::kComponentsHint));
            }
            prev.componentsHintAppend = " " + ui.Get(ui::kComponentsHint);
            prev.defaultButton = TWelcomeDefault::Components;
        }
    }

    // Uninstaller texts and the uninstall command.
    try {
        for (int i = 0; i < 7; ++i)
            in.Line();
    } catch (const std::exception&) {
        return prev;
    }
    prev.found = true;

    auto& components = package.Tables().components;
    try {
        int count = in.Number();
        if (count < 0 || count > 100000)
            throw ESetupError("count");
        for (int i = 0; i < count; ++i) {
            std::string name = platform::AnsiUpperCase(in.Line());
            std::string caption = in.Line();
            std::string path = in.Line();
            bool shared = !path.empty() && path[0] == '*';
            if (shared)
                path.erase(0, 1);
            path = platform::Cp1252ToUtf8(StripTrailingSeparator(path));
            // A folder recorded outside this sandbox (by a run in another
            // one) is not this installation's: the package's folder stays.
            if (!path.empty() && !package.Folders().InsideSandbox(path))
                continue;
            const TSpecialFolder* known = package.Folders().Find(name);
            if (known) {
                if (!path.empty())
                    package.Folders().DefineNative(name, known->caption, path, shared);
            } else {
                package.Folders().DefineNative(name, caption, path, shared);
            }
        }
        count = in.Number();
        if (count < 0 || count > 100000)
            throw ESetupError("count");
        for (int i = 0; i < count; ++i) {
            std::string name = in.Line();
            std::string marks = in.Line();
            for (auto& c : components) {
                if (platform::AnsiCompareText(c.name, name) != 0)
                    continue;
                if (c.userMayChoose)
                    c.selected = marks.find('S') != std::string::npos;
                c.previouslyInstalled = marks.find_first_of("SR") != std::string::npos;
            }
        }
        UpdateRequiredComponents(components);

        for (std::string line = in.Line(); line != kSectionEnd; line = in.Line()) {
            if (line.empty())
                continue;
            std::string path = platform::Cp1252ToUtf8(line);
            // Files another sandbox's run recorded are not this one's.
            if (!package.Folders().InsideSandbox(path))
                continue;
            prev.listedFiles.insert(path);
            if (FileExists(path))
                prev.oldFiles.insert(path);
        }
        for (std::string line = in.Line(); line != kSectionEnd; line = in.Line())
            if (!line.empty())
                prev.registryLines.insert(line);

        auto& types = package.Tables().fileTypes;
        for (std::string line = in.Line(); line != kSectionEnd; line = in.Line()) {
            TLoggedFileType t;
            t.lines[0] = line;
            for (int i = 1; i < 5; ++i)
                t.lines[static_cast<std::size_t>(i)] = in.Line();
            t.extension = line;
            t.previousDescription = t.lines[1];
            t.previousIcon = t.lines[3];
            for (std::string verb = in.Line(); verb != "%"; verb = in.Line()) {
                TLoggedVerb v;
                v.verb = platform::AnsiLowerCase(verb);
                v.lines[0] = verb;
                v.lines[1] = in.Line();
                v.lines[2] = in.Line();
                v.previousCommand = v.lines[1];
                t.verbs.push_back(std::move(v));
            }
            bool known = false;
            for (auto& ft : types)
                if (platform::AnsiCompareText(ft.extension, t.extension) == 0) {
                    ft.registerType = true;
                    known = true;
                    for (const auto& v : t.verbs) {
                        bool has = false;
                        for (const auto& a : ft.actions)
                            has = has || platform::AnsiCompareText(a.verb, v.verb) == 0;
                        if (!has)
                            ft.actions.push_back({v.verb, kNoFile, {}});
                    }
                }
            if (!known) {
                TFileType carried;
                carried.carriedOver = true;
                carried.extension = t.extension;
                carried.description = t.lines[2];
                types.push_back(std::move(carried));
            }
            prev.fileTypes.push_back(std::move(t));
        }
        for (std::string line = in.Line(); line != kSectionEnd; line = in.Line())
            if (!line.empty())
                prev.libraries.push_back(platform::Cp1252ToUtf8(line));
    } catch (const std::exception&) {
        // The rest of a damaged log is not used.
    }
    return prev;
}

} // namespace setup
