#pragma once
// The installation log ("Cargon.log"): what an installation did, line by
// line, so that the uninstaller can undo it and a later package of the same
// product can find and update the installation. Also the product's entry
// under Software\Vexlor\Tollvane and the uninstall registration.
#include <array>
#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace setup {

class TSetupPackage;
class TPendingFileOperations;

inline constexpr const char* kTollvaneKey = "Software\\Vexlor\\Tollvane";
inline constexpr const char* kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr const char* kSharedDllsKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
inline constexpr const char* kSectionEnd = "%%%";

// Compares without regard to case (Windows-1252 case tables).
struct TNoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const;
};
using TNoCaseSet = std::set<std::string, TNoCaseLess>;

// Throws ESetupError when the text holds CR or LF: such a text would add
// lines of its own to a line-based file.
void CheckSingleLine(std::string_view text, std::string_view what);

// A log file written line by line; every write is checked.
class TInstallLog {
public:
    TInstallLog() = default;
    ~TInstallLog();
    TInstallLog(const TInstallLog&) = delete;
    TInstallLog& operator=(const TInstallLog&) = delete;

    // Starts the file: written under a temporary name beside `path` and
    // put in its place by Close, so the earlier file stays until the new one
    // is whole.
    void Create(const std::string& path);
    void WriteLine(std::string_view line);
    void EndSection() { WriteLine(kSectionEnd); }
    // Puts the written file in place; when any write failed the earlier
    // file stays and ESetupError is thrown.
    void Close();
    bool IsOpen() const { return file_ != nullptr; }
    const std::string& Path() const { return path_; }

private:
    std::FILE* file_ = nullptr;
    std::string path_;
    std::string tempPath_;
    bool failed_ = false;
};

// The head, the folder variables and the components.
void WriteLogHead(TInstallLog& log, const TSetupPackage& package,
                  const std::string& uninstallCommand);

// The log holds Windows-1252 like the package: native paths are converted
// on the way in and out.

// The log's path: an earlier log in the application folder is reused; an
// earlier log elsewhere is forgotten, and deleted when it lies under one of
// `roots`; otherwise the first free
// name of Cargon.log, Cargon2.log, Cargon3.log, ...
std::string ChooseLogName(const std::string& appFolder, std::string& previousLog,
                          TPendingFileOperations& pending, const std::vector<std::string>& roots);

// "HKEY_LOCAL_MACHINE\key" + tab + name.
std::string RegistryLogLine(platform::RootKey root, std::string_view key, std::string_view name);

// Release day number (days since 30 December 1899) <-> calendar date.
void DayToDate(std::int32_t day, int& year, int& month, int& day_);
std::int32_t DateToDay(int year, int month, int day);

// The paths are native; the registry gets them in Windows-1252.
struct TUninstallInfo {
    std::string logPath;
    std::string uninstallerPath; // empty: not installed (no "UninstallString")
    std::string installLocation; // the expanded %APPFOLDER%, else the Windows folder
    std::string displayIconFile; // empty: no desktop shortcut
    int displayIconIndex = 0;
    std::uint64_t totalSize = 0;
    std::string installDate; // "yyyymmdd"; empty: today
};

// Sets the product's Tollvane value and writes the uninstall registration,
// adding a log line for each value to `registryLines`.
void WriteUninstallRegistration(platform::Registry& registry, const TSetupPackage& package,
                                const TUninstallInfo& info, TNoCaseSet& registryLines);

struct TLoggedVerb {
    std::string verb; // lower case
    std::string previousCommand;
    std::array<std::string, 3> lines;
};

struct TLoggedFileType {
    std::string extension;
    std::string previousDescription;
    std::string previousIcon;
    std::array<std::string, 5> lines;
    std::vector<TLoggedVerb> verbs;
    const TLoggedVerb* FindVerb(std::string_view verb) const;
};

enum class TReleaseComparison { None, Newer, Same, Older };
enum class TWelcomeDefault { Install, Exit, Components };

// What the wizard learns from the earlier installation's log.
struct TPreviousInstall {
    bool found = false;  // the head was read and an earlier installation noted
    std::string logPath; // native
    std::string title;
    int year = 0, month = 0, day = 0;
    std::string publisher, product, version;

    // Welcome page: the lines to add, hint texts to append and the default button.
    TReleaseComparison comparison = TReleaseComparison::None;
    std::vector<std::string> welcomeLines;
    std::string installHintAppend;
    std::string componentsHintAppend;
    TWelcomeDefault defaultButton = TWelcomeDefault::Install;

    TNoCaseSet listedFiles; // every path of section 1 (native)
    TNoCaseSet oldFiles;    // those that still exist
    TNoCaseSet registryLines;
    std::vector<TLoggedFileType> fileTypes;
    std::vector<std::string> libraries; // section 4 (native)

    const TLoggedFileType* FindType(std::string_view extension) const;
};

// Reads the earlier log that the Tollvane value names and presets the
// package's folder variables, components and file types from it. Never
// throws for a damaged or missing log.
TPreviousInstall ReadPreviousInstallLog(TSetupPackage& package, platform::Registry& registry);
// The same from a given log file (no registry lookup).
TPreviousInstall ReadInstallLogFile(TSetupPackage& package, const std::string& logPath);

} // namespace setup
