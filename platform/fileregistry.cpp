// The registry kept in REGEDIT4 hive files.
//
// Each process works on an in-memory copy of each hive and keeps a journal
// of its own changes. A flush takes an exclusive flock on "<hive>.lock",
// reads the hive again (another process may have written it since), replays
// the journal on top, and saves through a temporary file that is fsynced and
// renamed over the hive. So two processes never lose each other's values,
// and a crash at any point leaves either the old or the new hive.
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <mutex>

#include "platform/codepage.h"
#include "platform/diagnostics.h"
#include "platform/errors.h"
#include "platform/fileio.h"
#include "platform/registry.h"
#include "platform/systemfolders.h"

namespace fs = std::filesystem;

namespace platform {

namespace {

using KeyPath = std::vector<std::string>;

struct KeyNode {
    std::string name;
    std::map<std::string, std::unique_ptr<KeyNode>> children; // by folded name
    struct NamedValue {
        std::string name;
        RegistryValue value;
    };
    std::map<std::string, NamedValue> values; // by folded name
};

std::string Fold(std::string_view s) {
    return AnsiLowerCase(s);
}

void CheckName(std::string_view name, const char* what) {
    for (char c : name) {
        if (c == '\0' || c == '\r' || c == '\n') {
            throw PlatformError(std::string("The registry ") + what +
                                " name contains a line break or NUL byte");
        }
    }
}

// Splits "A\\B\\C"; empty components (doubled or outer backslashes) are
// ignored.
KeyPath SplitKeyParts(std::string_view key) {
    KeyPath parts;
    size_t pos = 0;
    while (pos <= key.size()) {
        size_t end = key.find('\\', pos);
        if (end == std::string_view::npos) {
            end = key.size();
        }
        if (end > pos) {
            parts.emplace_back(key.substr(pos, end - pos));
        }
        pos = end + 1;
    }
    return parts;
}

// SplitKeyParts for a key a caller names: refused beyond the registry's
// limits or with a NUL or line break in a name.
KeyPath SplitKey(std::string_view key) {
    if (std::string problem = KeyPathProblem(key); !problem.empty()) {
        throw PlatformError("The registry key \"" + std::string(key.substr(0, 200)) +
                            (key.size() > 200 ? "..." : "") + "\" cannot be used: " + problem);
    }
    return SplitKeyParts(key);
}

KeyNode* FindKey(KeyNode& root, const KeyPath& path) {
    KeyNode* node = &root;
    for (const std::string& part : path) {
        auto it = node->children.find(Fold(part));
        if (it == node->children.end()) {
            return nullptr;
        }
        node = it->second.get();
    }
    return node;
}

KeyNode& CreatePath(KeyNode& root, const KeyPath& path) {
    KeyNode* node = &root;
    for (const std::string& part : path) {
        auto& slot = node->children[Fold(part)];
        if (!slot) {
            slot = std::make_unique<KeyNode>();
            slot->name = part;
        }
        node = slot.get();
    }
    return *node;
}

bool RemovePath(KeyNode& root, const KeyPath& path) {
    if (path.empty()) {
        return false;
    }
    KeyPath parentPath(path.begin(), path.end() - 1);
    KeyNode* parent = FindKey(root, parentPath);
    return parent && parent->children.erase(Fold(path.back())) > 0;
}

struct JournalEntry {
    enum Kind { CreateKey, SetValue, DeleteValue, DeleteKey } kind;
    KeyPath path;
    std::string name;
    RegistryValue value;
};

void Apply(KeyNode& root, const JournalEntry& entry) {
    switch (entry.kind) {
    case JournalEntry::CreateKey:
        CreatePath(root, entry.path);
        break;
    case JournalEntry::SetValue: {
        KeyNode& node = CreatePath(root, entry.path);
        auto& slot = node.values[Fold(entry.name)];
        if (slot.name.empty() && !entry.name.empty()) {
            slot.name = entry.name; // a new value keeps the case it was written with
        }
        slot.value = entry.value;
        break;
    }
    case JournalEntry::DeleteValue:
        if (KeyNode* node = FindKey(root, entry.path)) {
            node->values.erase(Fold(entry.name));
        }
        break;
    case JournalEntry::DeleteKey:
        RemovePath(root, entry.path);
        break;
    }
}

struct FileSignature {
    bool exists = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    struct timespec mtime {};
    struct timespec ctime {};
    bool operator==(const FileSignature& o) const {
        return exists == o.exists && dev == o.dev && ino == o.ino && size == o.size &&
               mtime.tv_sec == o.mtime.tv_sec && mtime.tv_nsec == o.mtime.tv_nsec &&
               ctime.tv_sec == o.ctime.tv_sec && ctime.tv_nsec == o.ctime.tv_nsec;
    }
};

FileSignature SignatureOf(const fs::path& path) {
    FileSignature sig;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        sig.exists = true;
        sig.dev = st.st_dev;
        sig.ino = st.st_ino;
        sig.size = st.st_size;
        sig.mtime = st.st_mtim;
        sig.ctime = st.st_ctim;
    }
    return sig;
}

// Makes the hive's folder; below `confinedTo` (when given) without
// following a link (PlatformError).
void MakeHiveFolder(const fs::path& hive, const fs::path& confinedTo) {
    if (!confinedTo.empty()) {
        CreateFolderBelow(confinedTo, hive.parent_path());
        return;
    }
    std::error_code ec;
    fs::create_directories(hive.parent_path(), ec);
}

// Holds an exclusive flock on the hive's lock file.
class HiveLock {
public:
    HiveLock(const fs::path& hive, const fs::path& confinedTo) {
        MakeHiveFolder(hive, confinedTo);
        fs::path lockPath = hive;
        lockPath += ".lock";
        fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd_ < 0) {
            ThrowSystemError("Cannot open the registry lock file", lockPath, errno);
        }
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                int err = errno;
                ::close(fd_);
                ThrowSystemError("Cannot lock the registry file", lockPath, err);
            }
        }
    }
    ~HiveLock() {
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
    }
    HiveLock(const HiveLock&) = delete;
    HiveLock& operator=(const HiveLock&) = delete;

private:
    int fd_ = -1;
};

class Hive {
public:
    // The user's hive may hold passwords (proxy settings), so only its owner
    // may read it; the machine hive is readable by everyone.
    Hive(fs::path path, std::string rootName, unsigned mode, fs::path confinedTo)
        : path_(std::move(path)), rootName_(std::move(rootName)), mode_(mode),
          confinedTo_(std::move(confinedTo)) {}

    const fs::path& Path() const { return path_; }

    // The tree as this process sees it: the hive file (read again when it
    // changed on disk) plus this process's unsaved changes.
    KeyNode& Tree() {
        if (path_.empty()) {
            return tree_; // kept in memory only
        }
        FileSignature sig = SignatureOf(path_);
        if (!loaded_ || !(sig == signature_)) {
            Reload();
        }
        return tree_;
    }

    void Record(JournalEntry entry) {
        Apply(Tree(), entry);
        journal_.push_back(std::move(entry));
    }

    bool Dirty() const { return !journal_.empty(); }

    void Flush() {
        if (journal_.empty()) {
            return;
        }
        if (path_.empty()) {
            journal_.clear();
            return;
        }
        HiveLock lock(path_, confinedTo_);
        // A temporary file that exists now was left by a save that was
        // killed: every save holds this lock until its rename.
        RemoveStaleTempFiles(path_, fs::file_time_type::clock::now());
        // Always read the hive again under the lock: a change by another
        // process may not be visible in the file's times.
        LoadFromDisk(true);
        for (const JournalEntry& entry : journal_) {
            Apply(tree_, entry);
        }
        Save();
        journal_.clear();
    }

    void Discard() {
        if (path_.empty()) {
            return; // nothing on disk to go back to
        }
        journal_.clear();
        loaded_ = false;
    }

private:
    void Reload() {
        LoadFromDisk(false);
        for (const JournalEntry& entry : journal_) {
            Apply(tree_, entry);
        }
    }

    // Reads the hive file into tree_. A damaged file is set aside and the
    // values read before the damage are written back as the hive.
    void LoadFromDisk(bool locked) {
        tree_ = KeyNode{};
        loaded_ = true;
        if (!confinedTo_.empty() && !ReachedWithoutLinks(confinedTo_, path_)) {
            // Read as unreadable: never through a link planted below the
            // sandbox, and so never written over either.
            signature_ = FileSignature{};
            if (locked) {
                throw PlatformError("The registry file \"" + path_.string() +
                                    "\" cannot be used: it is reached through a symbolic link, "
                                    "and no link below \"" +
                                    confinedTo_.string() + "\" is followed");
            }
            return;
        }
        signature_ = SignatureOf(path_);
        if (!signature_.exists) {
            return;
        }
        std::string text;
        try {
            text = ReadFileBytes(path_);
        } catch (const PlatformError&) {
            // An unreadable hive reads as empty, but is never written over:
            // that would lose every value in it.
            if (locked) {
                throw;
            }
            return;
        }
        HiveParseResult parsed = ParseHiveText(text);
        for (const HiveEntry& entry : parsed.entries) {
            AddEntry(entry);
        }
        if (parsed.damaged) {
            if (locked) {
                if (!SetAside(parsed)) {
                    throw PlatformError("The damaged registry file \"" + path_.string() +
                                        "\" cannot be set aside, so it is not written over");
                }
            } else {
                try {
                    HiveLock lock(path_, confinedTo_);
                    // Another process may have repaired it meanwhile.
                    if (ReadFileBytes(path_) == text) {
                        SetAside(parsed);
                    } else {
                        LoadFromDisk(true);
                    }
                } catch (const std::exception& e) {
                    Warn(e.what());
                }
            }
        }
    }

    // Renames the damaged file to "<hive>.damaged-<n>" and saves what was
    // read; false when the file could not be renamed.
    bool SetAside(const HiveParseResult& parsed) {
        fs::path aside;
        for (int n = 1; n < 10000; ++n) {
            aside = path_;
            aside += ".damaged-" + std::to_string(n);
            if (!fs::exists(fs::symlink_status(aside))) {
                break;
            }
        }
        if (::rename(path_.c_str(), aside.c_str()) != 0) {
            Warn(SystemErrorMessage("Cannot set aside the damaged registry file", path_, errno));
            return false;
        }
        Warn("the registry file \"" + path_.string() + "\" was damaged (line " +
             std::to_string(parsed.damagedLine) + ": " + parsed.problem + "); it was kept as \"" +
             aside.string() + "\" and the values before the damage were kept.");
        Save();
        return true;
    }

    void AddEntry(const HiveEntry& entry) {
        KeyPath path;
        if (entry.rootName == rootName_) {
            path = SplitKeyParts(entry.key);
        } else if (rootName_ == "HKEY_LOCAL_MACHINE" && entry.rootName == "HKEY_CLASSES_ROOT") {
            path = {"Software", "Classes"};
            for (std::string& p : SplitKeyParts(entry.key)) {
                path.push_back(std::move(p));
            }
        } else {
            return; // a key of another hive does not belong here
        }
        if (!entry.name) {
            CreatePath(tree_, path);
        } else {
            Apply(tree_, {JournalEntry::SetValue, path, *entry.name, entry.value});
        }
    }

    // Every key in the order the hive lists them: a key, then its subkeys
    // in name order. Iterative, so no hive can exhaust the stack.
    static void WriteKeys(std::string& out, const KeyNode& root, const std::string& rootName) {
        struct Pending {
            const KeyNode* node;
            std::string fullName;
        };
        std::vector<Pending> stack;
        stack.push_back({&root, rootName});
        while (!stack.empty()) {
            Pending current = std::move(stack.back());
            stack.pop_back();
            const KeyNode& node = *current.node;
            if (current.node != &root || !node.values.empty()) {
                out += "[" + current.fullName + "]\r\n";
                for (const auto& [folded, named] : node.values) {
                    out += FormatHiveValue(named.name, named.value);
                    out += "\r\n";
                }
                out += "\r\n";
            }
            for (auto it = node.children.rbegin(); it != node.children.rend(); ++it) {
                stack.push_back({it->second.get(), current.fullName + "\\" + it->second->name});
            }
        }
    }

    void Save() {
        std::string text = "REGEDIT4\r\n\r\n";
        WriteKeys(text, tree_, rootName_);
        MakeHiveFolder(path_, confinedTo_);
        AtomicFileWriter writer(path_);
        writer.SetMode(mode_);
        writer.Write(text);
        writer.Commit();
        signature_ = SignatureOf(path_);
    }

    fs::path path_;
    std::string rootName_;
    unsigned mode_;
    fs::path confinedTo_;
    KeyNode tree_;
    bool loaded_ = false;
    FileSignature signature_;
    std::vector<JournalEntry> journal_;
};

class FileRegistry final : public Registry {
public:
    explicit FileRegistry(const RegistryLocations& locations)
        : currentUser_(locations.currentUser, "HKEY_CURRENT_USER", 0600, locations.confinedTo),
          localMachine_(locations.localMachine, "HKEY_LOCAL_MACHINE", 0644, locations.confinedTo),
          users_(locations.users, "HKEY_USERS", 0644, locations.confinedTo) {}

    ~FileRegistry() override {
        try {
            Flush();
        } catch (const std::exception& e) {
            Warn(std::string("the registry could not be saved: ") + e.what());
        }
    }

    bool KeyExists(RootKey root, std::string_view key) override {
        std::lock_guard guard(mutex_);
        auto [hive, path] = Locate(root, key);
        return FindKey(hive.Tree(), path) != nullptr;
    }

    void CreateKey(RootKey root, std::string_view key) override {
        std::lock_guard guard(mutex_);
        auto [hive, path] = Locate(root, key);
        hive.Record({JournalEntry::CreateKey, std::move(path), {}, {}});
    }

    std::optional<RegistryValue> ReadValue(RootKey root, std::string_view key,
                                           std::string_view name) override {
        std::lock_guard guard(mutex_);
        auto [hive, path] = Locate(root, key);
        KeyNode* node = FindKey(hive.Tree(), path);
        if (!node) {
            return std::nullopt;
        }
        auto it = node->values.find(Fold(name));
        if (it == node->values.end()) {
            return std::nullopt;
        }
        return it->second.value;
    }

    void WriteValue(RootKey root, std::string_view key, std::string_view name,
                    const RegistryValue& value) override {
        CheckName(name, "value");
        if (std::string problem = ValueProblem(name, value.data.size()); !problem.empty()) {
            throw PlatformError("The registry value \"" + std::string(name.substr(0, 200)) +
                                (name.size() > 200 ? "..." : "") +
                                "\" cannot be written: " + problem);
        }
        std::lock_guard guard(mutex_);
        auto [hive, path] = Locate(root, key);
        hive.Record({JournalEntry::SetValue, std::move(path), std::string(name), value});
    }

    bool DeleteValue(RootKey root, std::string_view key, std::string_view name) override {
        std::lock_guard guard(mutex_);
        auto [hive, path] = Locate(root, key);
        KeyNode* node = FindKey(hive.Tree(), path);
        if (!node || node->values.find(Fold(name)) == node->values.end()) {
            return false;
        }
        hive.Record({JournalEntry::DeleteValue, std::move(path), std::string(name), {}});
        return true;
    }

    bool DeleteKey(RootKey root, std::string_view key) override {
        std::lock_guard guard(mutex_);
        auto [hive, path] = Locate(root, key);
        if (path.empty() || (root == RootKey::ClassesRoot && path.size() == 2)) {
            throw PlatformError(std::string("The root key ") + RootKeyName(root) +
                                " cannot be deleted");
        }
        if (!FindKey(hive.Tree(), path)) {
            return false;
        }
        hive.Record({JournalEntry::DeleteKey, std::move(path), {}, {}});
        return true;
    }

    std::vector<std::string> SubKeyNames(RootKey root, std::string_view key) override {
        std::lock_guard guard(mutex_);
        auto [hive, path] = Locate(root, key);
        std::vector<std::string> names;
        if (KeyNode* node = FindKey(hive.Tree(), path)) {
            for (const auto& [folded, child] : node->children) {
                names.push_back(child->name);
            }
        }
        return names;
    }

    std::vector<std::string> ValueNames(RootKey root, std::string_view key) override {
        std::lock_guard guard(mutex_);
        auto [hive, path] = Locate(root, key);
        std::vector<std::string> names;
        if (KeyNode* node = FindKey(hive.Tree(), path)) {
            for (const auto& [folded, named] : node->values) {
                names.push_back(named.name);
            }
        }
        return names;
    }

    void Flush() override {
        std::lock_guard guard(mutex_);
        std::string errors;
        for (Hive* hive : {&currentUser_, &localMachine_, &users_}) {
            try {
                hive->Flush();
            } catch (const std::exception& e) {
                if (!errors.empty()) {
                    errors += "\n";
                }
                errors += e.what();
            }
        }
        if (!errors.empty()) {
            throw PlatformError(errors);
        }
    }

    void FlushKey(RootKey root) override {
        std::lock_guard guard(mutex_);
        Locate(root, {}).first.Flush();
    }

    void DiscardChanges(RootKey root) override {
        std::lock_guard guard(mutex_);
        Locate(root, {}).first.Discard();
    }

private:
    std::pair<Hive&, KeyPath> Locate(RootKey root, std::string_view key) {
        KeyPath path = SplitKey(key);
        switch (root) {
        case RootKey::CurrentUser:
            return {currentUser_, std::move(path)};
        case RootKey::LocalMachine:
            return {localMachine_, std::move(path)};
        case RootKey::Users:
            return {users_, std::move(path)};
        case RootKey::ClassesRoot:
            break;
        }
        KeyPath full = {"Software", "Classes"};
        for (std::string& p : path) {
            full.push_back(std::move(p));
        }
        return {localMachine_, std::move(full)};
    }

    std::mutex mutex_;
    Hive currentUser_;
    Hive localMachine_;
    Hive users_;
};

Registry* defaultOverride = nullptr;

} // namespace

RegistryLocations RegistryLocations::InFolder(const fs::path& folder) {
    return {folder / "HKCU.reg", folder / "HKLM.reg", folder / "HKU.reg", {}};
}

RegistryLocations RegistryLocations::ForRoots(const SystemRoots& roots) {
    return {roots.userRegistry / "HKCU.reg", roots.machineRegistry / "HKLM.reg",
            roots.machineRegistry / "HKU.reg", roots.sandbox};
}

RegistryLocations
RegistryLocations::FromEnvironment(const SystemRoots& roots,
                                   const std::optional<std::string>& registryDir) {
    if (!registryDir || registryDir->empty()) {
        return ForRoots(roots);
    }
    if (roots.sandbox.empty()) {
        return InFolder(*registryDir);
    }
    std::error_code ec;
    const fs::path folder = fs::absolute(fs::path(*registryDir), ec);
    if (ec || !LiesInsideFolder(folder, roots.sandbox)) {
        return ForRoots(roots);
    }
    RegistryLocations locations = InFolder(folder);
    locations.confinedTo = roots.sandbox;
    return locations;
}

RegistryLocations RegistryLocations::FromEnvironment() {
    const char* dir = std::getenv("VEXLOR_REGISTRY_DIR");
    return FromEnvironment(DefaultSystemRoots(),
                           dir ? std::optional<std::string>(dir) : std::nullopt);
}

std::unique_ptr<Registry> OpenFileRegistry(const RegistryLocations& locations) {
    return std::make_unique<FileRegistry>(locations);
}

std::unique_ptr<Registry> OpenMemoryRegistry() {
    return std::make_unique<FileRegistry>(RegistryLocations{});
}

std::unique_ptr<Registry> OpenFileRegistry(const fs::path& folder) {
    return OpenFileRegistry(RegistryLocations::InFolder(folder));
}

Registry& DefaultRegistry() {
    if (defaultOverride) {
        return *defaultOverride;
    }
    // Destroyed (and so flushed) when the program exits normally.
    static std::unique_ptr<Registry> registry =
        OpenFileRegistry(RegistryLocations::FromEnvironment());
    return *registry;
}

Registry* SetDefaultRegistryOverride(Registry* registry) {
    Registry* previous = defaultOverride;
    defaultOverride = registry;
    return previous;
}

} // namespace platform
