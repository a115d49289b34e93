#pragma once
// The registry the programs keep their settings in. On Linux it is a set of
// hive files in the REGEDIT4 text format; see fileregistry.cpp. Key paths and
// names are Windows-1252 bytes with backslashes between keys
// ("Software\\Vexlor\\Brindlewoven"); names are compared ignoring case and
// keep the case they were created with; values are kept byte for byte.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class RootKey { CurrentUser, LocalMachine, ClassesRoot, Users };

// The limits of the registry the programs were made for: keys nest at most
// 512 levels deep and a key's name holds at most 255 characters. A path
// beyond them is refused (PlatformError) when a key is created or named,
// and a hive that holds one counts as damaged.
inline constexpr std::size_t kMaxKeyDepth = 512;
inline constexpr std::size_t kMaxKeyNameLength = 255;
// Empty when the key path (without its root) is within the limits and its
// names hold no NUL or line break; else what is wrong with it.
std::string KeyPathProblem(std::string_view key);
// A value's name holds at most 16,383 characters and its data at most 1 MB
// (the limits of the standard hive format); a value beyond them is refused
// (PlatformError) when it is written.
inline constexpr std::size_t kMaxValueNameLength = 16383;
inline constexpr std::size_t kMaxValueDataSize = 1024 * 1024;
// Empty when a value of this name and data size is within the limits; else
// what is wrong with it.
std::string ValueProblem(std::string_view name, std::size_t dataSize);

// The value types, with the numbers the hive format uses (hex(N)).
enum class RegistryValueType : uint32_t {
    None = 0,
    String = 1,       // REG_SZ
    ExpandString = 2, // REG_EXPAND_SZ
    Binary = 3,       // REG_BINARY
    Dword = 4,        // REG_DWORD (little-endian)
    DwordBigEndian = 5,
    Link = 6,
    MultiString = 7, // REG_MULTI_SZ
    Qword = 11,
};

// A value as stored: its type and its data bytes. For the string types the
// data is the text without a terminating NUL; for MultiString it is each
// string followed by NUL, then a final NUL; for Dword four little-endian bytes.
struct RegistryValue {
    uint32_t type = 0;
    std::string data;
    bool operator==(const RegistryValue&) const = default;
};

// "HKEY_CURRENT_USER" and friends.
const char* RootKeyName(RootKey root);
// Accepts the long names and HKCU/HKLM/HKCR/HKU, ignoring case.
std::optional<RootKey> ParseRootKeyName(std::string_view name);

std::string EncodeMultiString(const std::vector<std::string>& strings);
std::vector<std::string> DecodeMultiString(std::string_view data);

class Registry {
public:
    virtual ~Registry() = default;

    virtual bool KeyExists(RootKey root, std::string_view key) = 0;
    // Creates the key and any missing parents; existing keys are left alone.
    virtual void CreateKey(RootKey root, std::string_view key) = 0;

    // The raw value, whatever its type; nullopt when the key or value is missing.
    virtual std::optional<RegistryValue> ReadValue(RootKey root, std::string_view key,
                                                   std::string_view name) = 0;
    // Stores a value, creating the key as needed. An empty name is the key's
    // default value.
    virtual void WriteValue(RootKey root, std::string_view key, std::string_view name,
                            const RegistryValue& value) = 0;
    // True when the value existed.
    virtual bool DeleteValue(RootKey root, std::string_view key, std::string_view name) = 0;
    // Deletes the key with all its subkeys; true when it existed.
    virtual bool DeleteKey(RootKey root, std::string_view key) = 0;
    // Names as stored (case preserved), sorted ignoring case.
    virtual std::vector<std::string> SubKeyNames(RootKey root, std::string_view key) = 0;
    virtual std::vector<std::string> ValueNames(RootKey root, std::string_view key) = 0;
    // Makes every change so far durable in the hive files.
    virtual void Flush() = 0;
    // Makes the changes under one root key durable (the hive holding it).
    virtual void FlushKey(RootKey /*root*/) { Flush(); }
    // Forgets the changes under one root key's hive that were not saved yet
    // (after a flush failed, so they do not fail every later flush).
    virtual void DiscardChanges(RootKey /*root*/) {}

    // Typed access. The readers return nullopt when the value is missing or
    // of another type (ReadString accepts String and ExpandString; ReadBinary
    // returns the bytes of a value of any type).
    std::optional<std::string> ReadString(RootKey root, std::string_view key,
                                          std::string_view name);
    std::optional<std::vector<std::string>> ReadMultiString(RootKey root, std::string_view key,
                                                            std::string_view name);
    std::optional<uint32_t> ReadDword(RootKey root, std::string_view key, std::string_view name);
    std::optional<std::string> ReadBinary(RootKey root, std::string_view key,
                                          std::string_view name);
    std::optional<RegistryValueType> ValueType(RootKey root, std::string_view key,
                                               std::string_view name);
    bool ValueExists(RootKey root, std::string_view key, std::string_view name);

    void WriteString(RootKey root, std::string_view key, std::string_view name,
                     std::string_view value);
    void WriteExpandString(RootKey root, std::string_view key, std::string_view name,
                           std::string_view value);
    void WriteMultiString(RootKey root, std::string_view key, std::string_view name,
                          const std::vector<std::string>& value);
    void WriteDword(RootKey root, std::string_view key, std::string_view name, uint32_t value);
    void WriteBinary(RootKey root, std::string_view key, std::string_view name,
                     std::string_view bytes);
};

// Where the hive files live. HKEY_CLASSES_ROOT is kept in the machine hive
// under Software\Classes.
struct SystemRoots;
struct RegistryLocations {
    std::filesystem::path currentUser;  // HKCU.reg
    std::filesystem::path localMachine; // HKLM.reg
    std::filesystem::path users;        // HKU.reg
    // When not empty (a sandbox), the hives lie inside this folder and no
    // link below it is followed: a hive reached through one reads as
    // unreadable and is never written, and its folder is made without
    // following links (OpenFolderBelow).
    std::filesystem::path confinedTo;

    // All three hives in one folder.
    static RegistryLocations InFolder(const std::filesystem::path& folder);
    // The hives where the roots keep them, confined to their sandbox.
    static RegistryLocations ForRoots(const SystemRoots& roots);
    // The hives of `roots` with `registryDir` (VEXLOR_REGISTRY_DIR) in their
    // place when one is given. With a sandbox the hives stay inside it: a
    // folder outside the sandbox is not used.
    static RegistryLocations FromEnvironment(const SystemRoots& roots,
                                             const std::optional<std::string>& registryDir);
    // The hives for this process: the above with DefaultSystemRoots() (which
    // honour VEXLOR_SANDBOX) and VEXLOR_REGISTRY_DIR.
    static RegistryLocations FromEnvironment();
};

// A registry kept in hive files. Hives are read when first used; a damaged
// hive is renamed to "<hive>.damaged-<n>" and the values read before the
// damage are kept (and written back at the next flush). The destructor
// flushes; failures there, like the damage, are reported through
// platform::Warn.
std::unique_ptr<Registry> OpenFileRegistry(const RegistryLocations& locations);
std::unique_ptr<Registry> OpenFileRegistry(const std::filesystem::path& folder);
// A registry that lives only in memory (for tests of code that uses one).
std::unique_ptr<Registry> OpenMemoryRegistry();

// The process-wide registry (RegistryLocations::FromEnvironment()), flushed
// at exit.
Registry& DefaultRegistry();
// Tests and tools may put another registry in its place; nullptr restores
// the file-backed one. Returns the previous override.
Registry* SetDefaultRegistryOverride(Registry* registry);

// Reads hive text (REGEDIT4) into (root-relative key path, name, value)
// entries; exposed for the test tool and tests.
struct HiveEntry {
    std::string rootName;            // "HKEY_CURRENT_USER", ...
    std::string key;                 // without the root
    std::optional<std::string> name; // nullopt for a key line without a value
    RegistryValue value;
};
struct HiveParseResult {
    std::vector<HiveEntry> entries;
    bool damaged = false;
    int damagedLine = 0; // 1-based
    std::string problem;
};
HiveParseResult ParseHiveText(std::string_view text);
// One value line as the hive writer writes it ("name"=..., @=...), without
// the line end; long hex data continues over lines ending in "\".
std::string FormatHiveValue(std::string_view name, const RegistryValue& value);

} // namespace platform
