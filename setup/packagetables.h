#pragma once
// The nine tables that follow the header and the support files: components,
// file table, folder trees, registry table, file types, prerequisites, finish
// options, uninstall command and uninstall options. Every count and index is
// checked while reading.
#include <array>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace setup {

class TPackageReader;

inline constexpr std::uint16_t kNoFile = 0xFFFF;
// A version whose low part is this means "no version".
inline constexpr std::uint32_t kNoVersion = 0xB669FD2E;
inline constexpr std::uint32_t kSupportFilePosition = 0xFFFFFFFF;

// One entry of the file index space: support files first, then package files.
struct TPackageFile {
    std::string name; // packaged name (one path component)
    std::uint32_t position = kSupportFilePosition;
    std::uint32_t date = 0; // packed DOS date and time
    std::uint32_t versionLow = kNoVersion;
    std::uint32_t versionHigh = 0;
    std::uint32_t size = 0;
    std::uint32_t crc = 0;

    bool IsSupportFile() const { return position == kSupportFilePosition; }
    bool HasVersion() const { return versionLow != kNoVersion; }
    std::uint64_t Version() const {
        return (static_cast<std::uint64_t>(versionHigh) << 32) | versionLow;
    }
};

struct TFileTable {
    std::uint32_t supportCount = 0;
    std::vector<TPackageFile> files;

    // The two uninstallers are the last two entries.
    std::uint16_t UninstallerIndex() const { return static_cast<std::uint16_t>(files.size() - 2); }
    std::uint16_t UninstallerVIndex() const { return static_cast<std::uint16_t>(files.size() - 1); }
};

// A file item (kind bytes 0x80-0x8F).
struct TCopyItem {
    std::uint8_t kind = 0x80;
    std::uint16_t fileIndex = 0;
    std::uint8_t replaceRule = 0; // 0 always, 1 older only, 2 and 3 never
    bool notLogged = false;
    bool registerAfterCopy = false;
};

// A shortcut item (kind bytes 0x40-0x4F).
struct TShortcutItem {
    std::uint8_t kind = 0x40;
    std::uint16_t targetIndex = 0;
    std::string name; // empty: the target's file name
    std::string description;
    std::string arguments;
    std::uint8_t iconIndex = 0;
    std::uint16_t iconFile = kNoFile;
};

// An Internet shortcut item (kind bytes 0x20-0x2F).
struct TUrlItem {
    std::uint8_t kind = 0x20;
    std::string url;
    std::string name; // the file is name + ".url"
    std::uint8_t iconIndex = 0;
    std::uint16_t iconFile = kNoFile;
};

using TFolderItem = std::variant<TCopyItem, TShortcutItem, TUrlItem>;

// The operations of the registry table, one byte each; texts after them end
// with a NUL byte.
enum class TRegistryOp : std::uint8_t {
    OpenKey = 1,      // key name: create or open the sub-key, then its own level
    ValueName = 2,    // value name for the operations that follow
    LogValue = 3,     // log the current value without writing anything
    StringValue = 4,  // text: a string value, folder variables expanded
    DwordValue = 5,   // 4 bytes: a 32-bit number value
    BinaryValue = 6,  // 32-bit length, then that many bytes: a binary value
    LogWholeKey = 31, // log the whole key as removed at uninstallation
    EndOfLevel = 255,
};
// The value name that stands for a key's default value.
inline constexpr const char* kDefaultValueName = "(Default)";
// The bytes a root's name in the registry table is made of.
inline constexpr std::uint8_t kRootNameFirst = 32;
inline constexpr std::uint8_t kRootNameLast = 254;

struct TComponentFolder {
    // As packaged: on the top level a path that starts with a folder
    // variable ("%APPFOLDER%\Help"), below one path component.
    std::string name;
    // Top level only: the folder variable ("%APPFOLDER%", upper case) and,
    // once expanded, the folder's full path ('/'-separated).
    std::string variable;
    std::string path;
    // Top level only: why the name could not be expanded (an unknown
    // variable, one that stands for no full path); the folder's component
    // cannot be installed then, the others can.
    std::string expandProblem;
    bool shared = false;
    bool hasItemData = false; // the level ended with 254
    std::vector<TComponentFolder> folders;
    std::vector<TFolderItem> items;
};

struct TComponentData {
    bool userMayChoose = false;
    bool selected = false;
    bool required = false;
    bool previouslyInstalled = false;
    std::string name;
    std::string description;
    std::vector<std::uint8_t> dependencies;
    // The top-level folders of the component's tree.
    std::vector<TComponentFolder> folders;

    // The tree's state image: 4 required or fixed+selected, 2 chosen,
    // 5 previously installed, 1 not chosen, 3 fixed and not selected.
    int StateImage() const;
};

struct TFileTypeAction {
    std::string verb; // lower case
    std::uint16_t programFile = kNoFile;
    std::string command;
};

struct TFileType {
    bool registerType = false;
    bool carriedOver = false; // known only from an earlier installation's log
    std::string description;
    std::string extension; // with its leading "."
    std::uint16_t iconFile = kNoFile;
    std::uint8_t iconIndex = 0;
    std::vector<TFileTypeAction> actions;

    // extension -> description (verbs), as the advanced page lists it.
    std::string DisplayText() const;
};

struct TDotNetRequirement {
    std::uint8_t versions = 0; // bit 4 = 3.5, 3 = 3.0, 2 = 2.0, 1 = 1.1, 0 = 1.0
    std::string installerFile;
    std::string downloadUrl;
    std::uint32_t size = 0; // 0: not packaged
    std::uint32_t position = 0;
};

struct T3rdParty {
    std::string name;
    std::string downloadUrl;
    std::string installerFile;
    std::string parameters;
    std::string registryKey;
    std::string valueCheck;
    std::string expectedValue;
    std::string filePath;
    std::uint32_t size = 0; // 0: not packaged
    std::uint32_t position = 0;
};

struct TFinishOptions {
    std::uint8_t flags = 0; // bit 0 reboot, 1 open folder, 2 run program, 7 keep page
    std::uint16_t programFile = kNoFile;
    std::string parameters;
};

struct TUninstallCommand {
    std::uint16_t programFile = 0; // 0: none
    std::string parameters;
    bool createShortcut = false;
};

struct TUninstallOptions {
    std::array<std::uint8_t, 3> bytes{};
    std::array<std::string, 3> reserved;
    bool DeleteOldFiles() const { return (bytes[0] & 1) != 0; }
};

struct TPackageTables {
    std::vector<TComponentData> components;
    TFileTable fileTable;
    std::string registryTable; // kept whole; the installation run interprets it
    std::vector<TFileType> fileTypes;
    TDotNetRequirement dotNet;
    std::vector<T3rdParty> thirdParty;
    TFinishOptions finish;
    TUninstallCommand uninstallCommand;
    TUninstallOptions uninstallOptions;

    bool AnyUserChoice() const;
};

// Each reader, in table order.
std::vector<TComponentData> ReadComponents(TPackageReader& reader);
TFileTable ReadFileTable(TPackageReader& reader, const std::vector<std::string>& supportFiles);
void ReadComponentFolders(TPackageReader& reader, std::vector<TComponentData>& components,
                          std::size_t fileCount);
std::vector<TFileType> ReadFileTypes(TPackageReader& reader, std::size_t fileCount);
void ReadPrerequisites(TPackageReader& reader, TPackageTables& tables);
TFinishOptions ReadFinishOptions(TPackageReader& reader, std::size_t fileCount);
TUninstallCommand ReadUninstallShortcut(TPackageReader& reader, std::size_t fileCount);
TUninstallOptions ReadUninstallOptions(TPackageReader& reader);

// All nine tables at the reader's position. `supportFiles` are the packaged
// names of the support files extracted so far (the start of the file index
// space).
TPackageTables ReadPackageTables(TPackageReader& reader,
                                 const std::vector<std::string>& supportFiles);

// Parses one folder's item data (the text after the byte 254).
std::vector<TFolderItem> ParseFolderItems(const std::string& data, std::size_t fileCount);
// Parses the file-type table text.
std::vector<TFileType> ParseFileTypes(const std::string& data, std::size_t fileCount);

// Recomputes the required flags until nothing changes: every component that
// is selected or required requires its dependencies.
void UpdateRequiredComponents(std::vector<TComponentData>& components);

// Splits a top-level folder name into its leading %NAME% (upper-cased) and
// the rest; false when it does not start with a folder variable.
bool SplitFolderVariable(const std::string& text, std::string& variable, std::string& rest);

} // namespace setup
