#pragma once
// The installation run: installs the files of the selected components and
// the uninstaller, creates launchers for shortcuts and Internet shortcuts,
// keeps shared-file counts, writes the package's registry entries, the
// uninstall registration and the file types, self-registers libraries, and
// records every step in the installation log. Everything it shows or asks
// goes through the messenger seam: one progress step per section, and a
// Yes/No question after an error inside a section.
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "setup/installlog.h"
#include "setup/packagetables.h"

namespace components {
class IMessenger;
class TProgressScope;
} // namespace components

namespace platform {
class Registry;
struct SystemRoots;
} // namespace platform

namespace setup {

class TSetupPackage;

struct TCopyData {
    std::string target;
    std::uint16_t fileIndex = 0;
    bool shared = false;
    std::uint8_t replaceRule = 0;
    bool notLogged = false;
    bool registerAfterCopy = false;
};

struct TShortcutData {
    std::uint16_t targetIndex = 0;
    std::uint16_t iconFile = 0xFFFF;
    std::string linkPath; // the folder + the target's name with ".lnk"
    std::string name;
    std::string description;
    std::string arguments;
    std::uint8_t iconIndex = 0;
};

struct TURLData {
    std::string url;
    std::string name;
    std::string path; // the folder + name + ".url"
    std::uint16_t iconFile = 0xFFFF;
    std::uint8_t iconIndex = 0;
};

struct TInstallResult {
    bool completed = false;    // the run reached its end
    bool aborted = false;      // ended by the user's No (or EAbortInstallation)
    bool rebootNeeded = false; // a file waits for the next start
    bool errorAsked = false;   // the user was asked whether to continue
    std::string logPath;
    bool invalidPackage = false; // refused before anything was written
    // An error outside the sections, without the package's error
    // introduction (whoever shows it puts that first).
    std::string errorMessage;
    std::vector<std::string> launchers; // the launchers written
    // The path each file index was installed to; empty: not installed.
    std::vector<std::string> targets;
};

// Packed DOS date and time <-> local time.
std::time_t DosDateToTime(std::uint32_t dosDate);
// The 64-bit file version of a file's version resource (the fixed file
// information block), false when it has none.
bool ReadFileVersion(const std::string& path, std::uint64_t& version);
// Whether the existing target is older than the packaged file: by version
// when both have one (unsigned 64-bit), else by date.
bool IsOlderFile(const std::string& target, std::uint32_t packagedDate, bool packagedHasVersion,
                 std::uint64_t packagedVersion);
// Whether the target has exactly the packaged size and CRC-32.
bool IsSameFile(const std::string& target, std::uint32_t size, std::uint32_t crc);
// Whether an existing target stays as it is: by the replace rule (never,
// or older only) and when it already is the packaged file.
bool KeepsExistingTarget(const std::string& target, bool exists, std::uint8_t replaceRule,
                         const TPackageFile& file);
// The expanded path of a top-level folder of an installed component;
// EInvalidPackage when it could not be expanded.
const std::string& InstalledFolderPath(const TComponentFolder& folder);
// The file to install for a file item of a folder at `folderPath`; checks
// the item's index and the file's name (EInvalidPackage).
TCopyData CopyDataFor(const std::string& folderPath, const TComponentFolder& folder,
                      const TCopyItem& item, const std::vector<TPackageFile>& table);
// Every component's folders, chosen or not, checked before the first file:
// each top-level folder expands (its variable is defined and it stays below
// that variable's folder), each sub-folder and file name is one safe name,
// each file index exists. EInvalidPackage at the first that is bad.
void CheckComponentFolders(const TPackageTables& tables);
// Adds a file to a list kept sorted by file index (equal indices keep their
// order).
void InsertByFileIndex(std::vector<TCopyData>& files, const TCopyData& data);
// Makes an existing target writable when it is read-only and creates its
// folder, unless it is `madeFolder`, the folder made last (then updated).
void PrepareTarget(const std::string& target, bool exists, const TSetupPackage& package,
                   std::string& madeFolder);
// Sets a written file's dates to the packed DOS date and time.
void SetPackagedDate(const std::string& path, std::uint32_t dosDate);
// The question after an error inside a step of a run: the package's error
// introduction, the message and whether to go on (Yes/No, error icon).
// True for Yes.
bool ConfirmContinue(const TSetupPackage& package, components::IMessenger& messenger,
                     const std::string& message);
// After an error inside a step of a run: sets `errorAsked` and asks whether
// to go on; No throws EAbortInstallation.
void GoOnAfterError(const TSetupPackage& package, components::IMessenger& messenger,
                    const std::string& message, bool& errorAsked);
// Installs one file with `install`; an error in it is answered as
// GoOnAfterError does. True when the file is in place afterwards: installed,
// kept, or an earlier copy that the failed write left.
bool InstallOrGoOn(const TSetupPackage& package, components::IMessenger& messenger,
                   const std::string& target, bool& errorAsked,
                   const std::function<void()>& install);
// Sets the executable bits (where readable) of an ELF file or a script.
bool MarkExecutableIfProgram(const std::string& path);

class TInstallRun {
public:
    // `previous` is what ReadPreviousInstallLog found (default: nothing).
    TInstallRun(TSetupPackage& package, platform::Registry& registry,
                const platform::SystemRoots& roots, components::IMessenger& messenger,
                TPreviousInstall previous = {});

    TInstallResult Run();

    // For tests: a fixed install date ("yyyymmdd") in the uninstall entry.
    void SetInstallDate(std::string date) { installDate_ = std::move(date); }

    const std::vector<TCopyData>& Files() const { return files_; }
    const std::vector<TShortcutData>& Shortcuts() const { return shortcuts_; }
    const std::vector<TURLData>& Urls() const { return urls_; }

private:
    void Collect();
    void CollectFolderItems(const std::string& folderPath, const TComponentFolder& folder,
                            bool topLevel);
    void InstallFiles();
    void InstallFile(const TCopyData& data, bool exists);
    void UpdateSharedCount(const TCopyData& data, bool existed);
    void CreateShortcuts();
    void RemoveOldFiles();
    bool DeleteOldFile(const std::string& path);
    // Walks the registry table; without `write` it only checks it (before
    // anything is installed) and throws EInvalidPackage where it is bad.
    void WriteRegistryEntries(bool write = true);
    // The levels of one root block of the registry table, from `pos`.
    void WriteRegistryLevels(int root, std::size_t& pos, bool write);
    // Every table and name the run will use, checked before the first
    // file is written: EInvalidPackage when one is bad.
    void CheckTables();
    void WriteFileTypes();
    void RegisterLibraries();
    void LogInstalled(const std::string& path);
    // A native path as a log line (Windows-1252).
    void LogPath(const std::string& path);
    // The freedesktop files of the file types this run registers: logged
    // with the installed files so that the uninstaller removes them.
    void LogFileTypeFiles();
    bool WillRegister(const TFileType& type) const;
    // Creates a folder for a target, never through a planted link.
    void CreateTargetFolder(const std::string& folder);
    // Sections 1-4 of the log. Ending one writes what it still owes (the
    // earlier installation's entries that are still installed, the
    // registry lines) and its end line.
    void BeginLogSection(int section);
    void EndLogSection();
    void WriteRecordedType(const TLoggedFileType& rec);
    void Section(const char* what, const std::function<void()>& body);
    // One row of the progress area: a label (none when empty) and a gauge
    // that Advance moves from 0 to `maximum`; it ends with the scope.
    components::TProgressScope Step(const std::string& label, std::uint64_t maximum);
    void Advance(std::uint64_t amount);
    bool Installed(std::uint16_t index) const;
    std::vector<std::string> RemovalRoots() const;

    TSetupPackage& package_;
    platform::Registry& registry_;
    const platform::SystemRoots& roots_;
    components::IMessenger& messenger_;
    std::uint64_t position_ = 0; // of the current step's gauge
    TPreviousInstall previous_;
    TInstallResult result_;
    TInstallLog log_;
    int openSection_ = 0;   // 0: none
    int sectionsEnded_ = 0; // the last section ended
    bool ending_ = false;   // the run stopped early
    TNoCaseSet logged_;     // the paths written to the log
    std::size_t typesDone_ = 0;
    std::vector<std::string> typeLines_; // the lines of the file type in progress
    bool typeLogged_ = false;
    std::string installDate_;
    std::string madeFolder_; // the target folder made last

    std::vector<TCopyData> files_;
    std::vector<TShortcutData> shortcuts_;
    std::vector<TURLData> urls_;
    std::vector<std::string> registerList_;
    std::vector<std::string> targets_; // per file index; empty = not installed
    TNoCaseSet installed_;
    TNoCaseSet registryLines_;
    std::string windowsFolder_;
    std::string appFolder_;
    bool haveDesktopShortcut_ = false;
    TShortcutData desktopShortcut_;
    std::uint64_t totalSize_ = 0;
};

} // namespace setup
