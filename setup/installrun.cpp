#include "setup/installrun.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>

#include "components/messengerseam.h"
#include "platform/codepage.h"
#include "platform/littleendian.h"
#include "platform/pathnames.h"
#include "platform/registry.h"
#include "platform/systemfolders.h"
#include "setup/comregistration.h"
#include "setup/decompression.h"
#include "setup/desktopentry.h"
#include "setup/folders.h"
#include "setup/packagenames.h"
#include "setup/setuperrors.h"
#include "setup/setuppackage.h"
#include "setup/uistrings.h"

namespace setup {

namespace {

using platform::RootKey;

std::string FolderOf(const std::string& path) {
    return platform::ExtractFileDir(path, platform::kNativeSeparators);
}

std::string FileNameOf(const std::string& path) {
    return platform::ExtractFileName(path, platform::kNativeSeparators);
}

std::string ChangeExtension(const std::string& name, const std::string& ext) {
    return platform::ChangeFileExt(name, ext, platform::kNativeSeparators);
}

bool PathExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::string ExtensionOf(const std::string& name) {
    return platform::AnsiLowerCase(platform::ExtractFileExt(name, platform::kNativeSeparators));
}

void CheckFileIndex(std::uint16_t index, const std::vector<TPackageFile>& table) {
    if (index >= table.size())
        throw EInvalidPackage("This is not a valid setup package: file " + std::to_string(index) +
                              " does not exist.");
}

} // namespace

std::time_t DosDateToTime(std::uint32_t dosDate) {
    std::tm tm{};
    tm.tm_year = static_cast<int>((dosDate >> 25) & 0x7F) + 80;
    tm.tm_mon = static_cast<int>((dosDate >> 21) & 0x0F) - 1;
    tm.tm_mday = static_cast<int>((dosDate >> 16) & 0x1F);
    tm.tm_hour = static_cast<int>((dosDate >> 11) & 0x1F);
    tm.tm_min = static_cast<int>((dosDate >> 5) & 0x3F);
    tm.tm_sec = static_cast<int>((dosDate & 0x1F) * 2);
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

void SetPackagedDate(const std::string& path, std::uint32_t dosDate) {
    struct timespec times[2];
    // The files of a package mostly share a few dates: converting one asks
    // for the time zone each time.
    thread_local std::uint32_t lastDate = 0;
    thread_local std::time_t lastTime = DosDateToTime(0);
    if (dosDate != lastDate) {
        lastDate = dosDate;
        lastTime = DosDateToTime(dosDate);
    }
    times[0].tv_sec = times[1].tv_sec = lastTime;
    times[0].tv_nsec = times[1].tv_nsec = 0;
    ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

bool KeepsExistingTarget(const std::string& target, bool exists, std::uint8_t replaceRule,
                         const TPackageFile& file) {
    if (!exists)
        return false;
    if (replaceRule != 0 &&
        (replaceRule != 1 || !IsOlderFile(target, file.date, file.HasVersion(), file.Version())))
        return true;
    return IsSameFile(target, file.size, file.crc);
}

const std::string& InstalledFolderPath(const TComponentFolder& folder) {
    if (folder.path.empty())
        throw EInvalidPackage(folder.expandProblem.empty()
                                  ? "The folder " + folder.name + " is not known."
                                  : folder.expandProblem);
    return folder.path;
}

TCopyData CopyDataFor(const std::string& folderPath, const TComponentFolder& folder,
                      const TCopyItem& item, const std::vector<TPackageFile>& table) {
    CheckFileIndex(item.fileIndex, table);
    CheckComponentName(table[item.fileIndex].name, "file name");
    TCopyData d;
    d.target = folderPath + "/" + PackageTextToNative(table[item.fileIndex].name);
    d.fileIndex = item.fileIndex;
    d.shared = folder.shared;
    d.replaceRule = item.replaceRule;
    d.notLogged = item.notLogged;
    d.registerAfterCopy = item.registerAfterCopy;
    return d;
}

namespace {

void CheckFolderTree(const TComponentFolder& folder, const std::vector<TPackageFile>& table) {
    for (const auto& sub : folder.folders) {
        CheckComponentName(sub.name, "folder name");
        CheckFolderTree(sub, table);
    }
    for (const auto& item : folder.items) {
        if (const auto* copy = std::get_if<TCopyItem>(&item)) {
            CheckFileIndex(copy->fileIndex, table);
            CheckComponentName(table[copy->fileIndex].name, "file name");
        } else if (const auto* sc = std::get_if<TShortcutItem>(&item)) {
            CheckFileIndex(sc->targetIndex, table);
        } else if (const auto* url = std::get_if<TUrlItem>(&item)) {
            CheckComponentName(url->name + ".url", "Internet shortcut name");
        }
    }
}

} // namespace

void CheckComponentFolders(const TPackageTables& tables) {
    for (const auto& component : tables.components)
        for (const auto& folder : component.folders) {
            InstalledFolderPath(folder);
            CheckFolderTree(folder, tables.fileTable.files);
        }
}

void GoOnAfterError(const TSetupPackage& package, components::IMessenger& messenger,
                    const std::string& message, bool& errorAsked) {
    errorAsked = true;
    if (!ConfirmContinue(package, messenger, message))
        throw EAbortInstallation();
}

bool InstallOrGoOn(const TSetupPackage& package, components::IMessenger& messenger,
                   const std::string& target, bool& errorAsked,
                   const std::function<void()>& install) {
    try {
        install();
        return true;
    } catch (const components::EAbort&) {
        throw;
    } catch (const std::exception& e) {
        GoOnAfterError(package, messenger, e.what(), errorAsked);
    }
    // The write failed: only an earlier copy, which it left, can be there.
    struct stat st {};
    return ::lstat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void InsertByFileIndex(std::vector<TCopyData>& files, const TCopyData& data) {
    auto at =
        std::upper_bound(files.begin(), files.end(), data.fileIndex,
                         [](std::uint16_t idx, const TCopyData& e) { return idx < e.fileIndex; });
    files.insert(at, data);
}

void PrepareTarget(const std::string& target, bool exists, const TSetupPackage& package,
                   std::string& madeFolder) {
    struct stat st {};
    if (exists && ::lstat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        (st.st_mode & 0222) == 0)
        ::chmod(target.c_str(), (st.st_mode & 07777) | S_IWUSR);
    std::string folder = FolderOf(target);
    if (folder == madeFolder)
        return;
    CreateFolder(folder, &package.Ui(), package.Folders().TrustedRoots());
    madeFolder = folder;
}

bool ConfirmContinue(const TSetupPackage& package, components::IMessenger& messenger,
                     const std::string& message) {
    const TUiStrings& ui = package.Ui();
    std::string title = package.Settings().FullProductTitle();
    components::TQuestion question;
    question.Kind = components::TMessageKind::Error;
    question.Caption = ui.Format(ui::kWindowCaption, {title});
    question.Text = ui.Format(ui::kErrorIntroduction, {title}) + "\r\r" + message + "\r\r" +
                    ui.Format(ui::kContinueQuestion, {title});
    question.Buttons = components::YesNoButtons();
    return messenger.Ask(question) == components::mrYes;
}

bool ReadFileVersion(const std::string& path, std::uint64_t& version) {
    // The fixed file information block: signature 0xFEEF04BD, structure
    // version, then the file version's high and low 32 bits.
    static const char kSignature[4] = {'\xBD', '\x04', '\xEF', '\xFE'};
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    constexpr std::size_t kBlock = 1 << 16;
    constexpr std::uint64_t kLimit = 64ull << 20;
    std::string carry;
    std::uint64_t total = 0;
    std::vector<char> block(kBlock);
    while (in && total < kLimit) {
        in.read(block.data(), kBlock);
        std::size_t n = static_cast<std::size_t>(in.gcount());
        if (n == 0)
            break;
        total += n;
        std::string data = carry + std::string(block.data(), n);
        for (std::size_t pos = data.find(std::string_view(kSignature, 4)); pos != std::string::npos;
             pos = data.find(std::string_view(kSignature, 4), pos + 1)) {
            if (pos + 16 > data.size())
                break;
            auto u32 = [&](std::size_t at) {
                return platform::GetLE32(platform::BytesAt(data, at));
            };
            version = (static_cast<std::uint64_t>(u32(pos + 8)) << 32) | u32(pos + 12);
            return true;
        }
        carry = data.size() > 15 ? data.substr(data.size() - 15) : data;
    }
    return false;
}

bool IsOlderFile(const std::string& target, std::uint32_t packagedDate, bool packagedHasVersion,
                 std::uint64_t packagedVersion) {
    // Only a real file is compared: a link, a folder or a device in the
    // target's place is replaced, never read.
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return true;
    bool older = st.st_mtime < DosDateToTime(packagedDate);
    if (!packagedHasVersion)
        return older;
    std::uint64_t existing = 0;
    if (ReadFileVersion(target, existing))
        older = existing < packagedVersion;
    return older;
}

bool IsSameFile(const std::string& target, std::uint32_t size, std::uint32_t crc) {
    int fd = ::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st {};
    bool same = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                static_cast<std::uint64_t>(st.st_size) == size;
    if (same) {
        std::vector<char> block(32768);
        std::uint32_t running = 0;
        for (;;) {
            ssize_t n = ::read(fd, block.data(), block.size());
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                same = false;
                break;
            }
            if (n == 0)
                break;
            running = UpdateCrc32(block.data(), static_cast<std::size_t>(n), running);
        }
        same = same && running == crc;
    }
    ::close(fd);
    return same;
}

bool MarkExecutableIfProgram(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    char head[4] = {};
    ssize_t n = ::read(fd, head, sizeof head);
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0;
    bool program = (n == 4 && std::memcmp(head,
                                          "\x7F"
                                          "ELF",
                                          4) == 0) ||
                   (n >= 2 && head[0] == '#' && head[1] == '!');
    if (ok && program) {
        mode_t mode = st.st_mode & 07777;
        mode_t exec = ((mode & 0444) >> 2) & 0111;
        if ((mode | exec) != mode)
            ok = ::fchmod(fd, mode | exec) == 0;
    }
    ::close(fd);
    return ok && program;
}

TInstallRun::TInstallRun(TSetupPackage& package, platform::Registry& registry,
                         const platform::SystemRoots& roots, components::IMessenger& messenger,
                         TPreviousInstall previous)
    : package_(package), registry_(registry), roots_(roots), messenger_(messenger),
      previous_(std::move(previous)) {}

components::TProgressScope TInstallRun::Step(const std::string& label, std::uint64_t maximum) {
    position_ = 0;
    return components::TProgressScope(&messenger_, label, static_cast<std::int64_t>(maximum));
}

void TInstallRun::Advance(std::uint64_t amount) {
    position_ += amount;
    messenger_.SetProgress(static_cast<std::int64_t>(position_));
    messenger_.ProcessEvents();
    // The person may stop the run while it copies.
    if (messenger_.AbortRequested())
        throw EAbortInstallation();
}

bool TInstallRun::Installed(std::uint16_t index) const {
    return index < targets_.size() && !targets_[index].empty();
}

void TInstallRun::LogInstalled(const std::string& path) {
    installed_.insert(path);
    LogPath(path);
}

void TInstallRun::LogPath(const std::string& path) {
    CheckSingleLine(path, "A file name");
    log_.WriteLine(NativeToPackageText(path, "The file name"));
    logged_.insert(path);
}

void TInstallRun::Section(const char* /*what*/, const std::function<void()>& body) {
    try {
        body();
    } catch (const components::EAbort&) {
        throw;
    } catch (const std::exception& e) {
        GoOnAfterError(package_, messenger_, e.what(), result_.errorAsked);
    }
}

void TInstallRun::CollectFolderItems(const std::string& folderPath, const TComponentFolder& folder,
                                     bool topLevel) {
    for (const auto& sub : folder.folders) {
        CheckComponentName(sub.name, "folder name");
        CollectFolderItems(folderPath + "/" + PackageTextToNative(sub.name), sub, false);
    }
    const auto& table = package_.Tables().fileTable.files;
    for (const auto& item : folder.items) {
        if (const auto* copy = std::get_if<TCopyItem>(&item)) {
            TCopyData d = CopyDataFor(folderPath, folder, *copy, table);
            InsertByFileIndex(files_, d);
            targets_[d.fileIndex] = d.target;
        } else if (const auto* sc = std::get_if<TShortcutItem>(&item)) {
            CheckFileIndex(sc->targetIndex, table);
            TShortcutData s;
            s.targetIndex = sc->targetIndex;
            s.iconFile = sc->iconFile;
            s.linkPath = folderPath + "/" +
                         ChangeExtension(PackageTextToNative(table[sc->targetIndex].name), ".lnk");
            s.name = sc->name;
            s.description = sc->description;
            s.arguments = sc->arguments;
            s.iconIndex = sc->iconIndex;
            shortcuts_.push_back(s);
            // Only the folder named exactly so, not one below the desktop.
            if (topLevel && folder.name == "%DESKTOP%") {
                haveDesktopShortcut_ = true;
                desktopShortcut_ = s;
            }
        } else if (const auto* url = std::get_if<TUrlItem>(&item)) {
            CheckComponentName(url->name + ".url", "Internet shortcut name");
            TURLData u;
            u.url = url->url;
            u.name = url->name;
            u.path = folderPath + "/" + PackageTextToNative(url->name) + ".url";
            u.iconFile = url->iconFile;
            u.iconIndex = url->iconIndex;
            urls_.push_back(u);
        }
    }
}

void TInstallRun::Collect() {
    const auto& tables = package_.Tables();
    targets_.assign(tables.fileTable.files.size(), {});
    for (const auto& c : tables.components) {
        if (!c.selected && !c.required)
            continue;
        for (const auto& f : c.folders) {
            CollectFolderItems(InstalledFolderPath(f), f, true);
        }
    }
    // The uninstaller first.
    if (tables.fileTable.files.size() >= 2) {
        TCopyData u;
        u.fileIndex = tables.fileTable.UninstallerVIndex();
        u.target = windowsFolder_ + "/RetraxalV.exe";
        u.shared = true;
        u.replaceRule = 1;
        files_.insert(files_.begin(), u);
        targets_[u.fileIndex] = u.target;
    }
    for (const auto& f : files_)
        totalSize_ += tables.fileTable.files[f.fileIndex].size;
}

void TInstallRun::UpdateSharedCount(const TCopyData& data, bool existed) {
    const std::string name = NativeToPackageText(data.target, "The file name");
    std::optional<std::uint32_t> stored;
    try {
        stored = registry_.ReadDword(RootKey::LocalMachine, kSharedDllsKey, name);
    } catch (const std::exception&) {
        return; // the key cannot be opened: no counts
    }
    bool shared = data.shared;
    std::uint32_t count = 0;
    if (!stored) {
        count = existed ? 2 : 1;
    } else {
        shared = true;
        // A reinstall over our own earlier installation does not add a user.
        if (previous_.listedFiles.count(data.target)) {
            count = std::max<std::uint32_t>(*stored, 1);
        } else {
            count = *stored + 1;
            if (existed)
                count = std::max<std::uint32_t>(count, 2);
            count = std::max<std::uint32_t>(count, 1);
        }
    }
    if (shared && (!stored || *stored != count))
        registry_.WriteDword(RootKey::LocalMachine, kSharedDllsKey, name, count);
}

void TInstallRun::CreateTargetFolder(const std::string& folder) {
    CreateFolder(folder, &package_.Ui(), package_.Folders().TrustedRoots());
}

void TInstallRun::InstallFile(const TCopyData& data, bool exists) {
    PrepareTarget(data.target, exists, package_, madeFolder_);
    std::string temp = package_.InstallPackageFile(data.fileIndex, data.target,
                                                   [this](std::size_t n) { Advance(n); });
    const TPackageFile& file = package_.Tables().fileTable.files[data.fileIndex];
    std::string written = temp.empty() ? data.target : temp;
    if (!temp.empty())
        result_.rebootNeeded = true;
    else if (data.registerAfterCopy)
        registerList_.push_back(data.target);
    SetPackagedDate(written, file.date);
}

void TInstallRun::InstallFiles() {
    const auto& table = package_.Tables().fileTable.files;
    const TUiStrings& ui = package_.Ui();
    auto step = Step({}, totalSize_);
    for (const auto& data : files_) {
        const TPackageFile& file = table[data.fileIndex];
        messenger_.SetProgressText(ui.Format(ui::kCopyingFile, {data.target}));
        struct stat st {};
        bool existed = ::lstat(data.target.c_str(), &st) == 0;
        // Going on after an error means the next files; nothing is made
        // later for this one unless an earlier copy still stands there.
        if (!InstallOrGoOn(package_, messenger_, data.target, result_.errorAsked, [&] {
                if (KeepsExistingTarget(data.target, existed, data.replaceRule, file))
                    Advance(file.size);
                else
                    InstallFile(data, existed);
            })) {
            if (targets_[data.fileIndex] == data.target)
                targets_[data.fileIndex].clear();
            continue;
        }
        UpdateSharedCount(data, existed);
        if (!data.notLogged) {
            LogInstalled(data.target);
            if (ExtensionOf(data.target) == ".hlp")
                LogInstalled(ChangeExtension(data.target, ".gid"));
        } else {
            previous_.oldFiles.erase(data.target);
        }
    }
}

void TInstallRun::CreateShortcuts() {
    if (shortcuts_.empty() && urls_.empty())
        return;
    const TUiStrings& ui = package_.Ui();
    auto step = Step({}, shortcuts_.size() + urls_.size());
    for (const auto& s : shortcuts_) {
        if (!Installed(s.targetIndex)) {
            Advance(1);
            continue;
        }
        const std::string& target = targets_[s.targetIndex];
        messenger_.SetProgressText(ui.Format(ui::kCreatingShortcut, {target}));
        TLauncher l;
        l.description = s.description;
        CheckSingleLine(s.arguments, "Shortcut arguments");
        // Split first, so that a folder with a blank in it stays one argument.
        for (const auto& argument : SplitArguments(s.arguments))
            l.arguments.push_back(package_.Folders().ExpandAllToNative(argument));
        l.target = target;
        l.document = OpensAsDocument(target);
        l.workingDirectory = FolderOf(target);
        if (s.iconFile != kNoFile && Installed(s.iconFile))
            l.icon = targets_[s.iconFile];
        std::string folder = FolderOf(s.linkPath);
        std::string fileName;
        if (!s.name.empty()) {
            l.name = s.name;
            CheckComponentName(s.name + ".desktop", "shortcut name");
            fileName = PackageTextToNative(s.name) + ".desktop";
        } else {
            std::string base = ChangeExtension(FileNameOf(target), "");
            l.name = platform::Utf8ToCp1252(base);
            fileName = base + ".desktop";
        }
        std::string text = LauncherText(l);
        CreateTargetFolder(folder);
        std::string path = folder + "/" + fileName;
        WriteLauncherFile(path, text);
        result_.launchers.push_back(path);
        LogInstalled(path);
        Advance(1);
    }
    for (const auto& u : urls_) {
        std::string icon;
        if (u.iconFile != kNoFile && Installed(u.iconFile))
            icon = targets_[u.iconFile];
        std::string text = LinkLauncherText(u.name, u.url, icon);
        std::string folder = FolderOf(u.path);
        CreateTargetFolder(folder);
        std::string path = ChangeExtension(u.path, ".desktop");
        WriteLauncherFile(path, text);
        result_.launchers.push_back(path);
        LogInstalled(path);
        Advance(1);
    }
}

std::vector<std::string> TInstallRun::RemovalRoots() const {
    std::vector<std::string> roots;
    auto tooWide = [&](const std::string& r) {
        return r == "/" || r == NormalisePath(roots_.home.string()) ||
               r == NormalisePath(roots_.systemPrefix.string()) ||
               (!roots_.sandbox.empty() && r == NormalisePath(roots_.sandbox.string()));
    };
    // The package's own folder is where setup was started from, not a
    // place the installation owns.
    std::vector<std::string> notOurs;
    for (const char* v : {"%SETUPFOLDER%", "%SETUPDRIVE%"})
        if (auto f = package_.Folders().VariableFolder(v))
            notOurs.push_back(NormalisePath(*f));
    for (const auto& r : package_.Folders().Roots())
        if (!tooWide(r) && std::find(notOurs.begin(), notOurs.end(), r) == notOurs.end())
            roots.push_back(r);
    return roots;
}

bool TInstallRun::DeleteOldFile(const std::string& path) {
    std::string norm = NormalisePath(path);
    if (norm.empty() || norm != path)
        return false;
    auto roots = RemovalRoots();
    const std::string* root = nullptr;
    for (const auto& r : roots)
        if (IsPathUnder(norm, r) && norm != r && (!root || r.size() > root->size()))
            root = &r;
    if (!root)
        return false;
    // Every folder between the system's folder and the file must be a real
    // folder, so a link planted in between cannot lead the deletion
    // elsewhere.
    auto trusted = package_.Folders().TrustedRoots();
    const std::string* from = DeepestRoot(norm, trusted);
    if (!from || from->size() > root->size())
        from = root;
    for (std::size_t pos = from->size() + 1; (pos = norm.find('/', pos)) != std::string::npos;
         ++pos) {
        struct stat st {};
        if (::lstat(norm.substr(0, pos).c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return false;
    }
    struct stat st {};
    if (::lstat(norm.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    if (::unlink(norm.c_str()) != 0) {
        package_.Pending().AddDelete(norm);
        result_.rebootNeeded = true;
        return true;
    }
    RemoveEmptyFolders(FolderOf(norm) + "/", roots);
    return true;
}

void TInstallRun::RemoveOldFiles() {
    std::vector<std::string> remaining;
    for (const auto& p : previous_.oldFiles)
        if (!installed_.count(p))
            remaining.push_back(p);
    if (remaining.empty())
        return;
    if (package_.Tables().uninstallOptions.DeleteOldFiles()) {
        auto step = Step(package_.Ui().Get(ui::kRemoveOldFilesStep), remaining.size());
        for (const auto& p : remaining) {
            DeleteOldFile(p);
            Advance(1);
        }
    } else {
        for (const auto& p : remaining)
            LogPath(p);
    }
}

void TInstallRun::LogFileTypeFiles() {
    for (const auto& type : package_.Tables().fileTypes)
        if (WillRegister(type))
            for (const auto& path : FileTypeFiles(roots_, type.extension))
                LogInstalled(path);
}

bool TInstallRun::WillRegister(const TFileType& type) const {
    if (type.carriedOver || !type.registerType)
        return false;
    for (const auto& a : type.actions)
        if (a.programFile != kNoFile && Installed(a.programFile))
            return true;
    return false;
}

void TInstallRun::WriteRegistryLevels(int rootIndex, std::size_t& pos, bool write) {
    const std::string& t = package_.Tables().registryTable;
    bool active = rootIndex >= 0;
    RootKey root = static_cast<RootKey>(std::max(rootIndex, 0));
    auto invalid = [](const std::string& detail) {
        return EInvalidPackage("This is not a valid setup package: the registry table " + detail +
                               ".");
    };
    auto readText = [&]() {
        std::size_t end = t.find('\0', pos);
        if (end == std::string::npos)
            end = t.size();
        std::string s = t.substr(pos, end - pos);
        pos = end < t.size() ? end + 1 : end;
        return s;
    };
    auto need = [&](std::size_t n) {
        if (t.size() - pos < n)
            throw invalid("ends inside a value");
    };
    auto readDword = [&]() {
        need(4);
        std::uint32_t v = platform::GetLE32(platform::BytesAt(t, pos));
        pos += 4;
        return v;
    };
    // One entry per open level: its key and the value name its operations
    // use. A loop, not recursion, and never deeper than the registry allows.
    struct Level {
        std::string keyPath;
        std::string valueName;
    };
    std::vector<Level> levels(1);
    // Within the registry's own limits, or the package is refused before
    // anything is written.
    auto checkValue = [&](const std::string& name, std::size_t dataSize) {
        if (std::string problem = platform::ValueProblem(name, dataSize); !problem.empty())
            throw invalid("names a value that cannot be written (" + problem + ")");
    };
    // A text's size as written, with its folders in it (a folder that
    // cannot be written fails at writing, in its own section).
    auto expandedSize = [&](const std::string& text) -> std::size_t {
        if (text.find('%') == std::string::npos)
            return text.size();
        try {
            return package_.Folders().ExpandAllFolderVariables(text).size();
        } catch (const std::exception&) {
            return text.size();
        }
    };
    auto logValue = [&](const std::string& name) {
        CheckSingleLine(levels.back().keyPath + name, "A registry name");
        if (write)
            registryLines_.insert(RegistryLogLine(root, levels.back().keyPath, name));
    };
    while (pos < t.size()) {
        auto op = static_cast<TRegistryOp>(t[pos++]);
        std::string& valueName = levels.back().valueName;
        const std::string& keyPath = levels.back().keyPath;
        switch (op) {
        case TRegistryOp::EndOfLevel:
            levels.pop_back();
            if (levels.empty())
                return;
            break;
        case TRegistryOp::OpenKey: {
            std::string name = readText();
            CheckSingleLine(name, "A registry key name");
            std::string sub = keyPath.empty() ? name : keyPath + "\\" + name;
            if (std::string problem = platform::KeyPathProblem(sub); !problem.empty())
                throw invalid("names a key that cannot be made (" + problem + ")");
            if (levels.size() >= platform::kMaxKeyDepth)
                throw invalid("nests keys more than " + std::to_string(platform::kMaxKeyDepth) +
                              " levels deep");
            if (active && write)
                registry_.CreateKey(root, sub);
            levels.push_back({std::move(sub), {}});
            break;
        }
        case TRegistryOp::ValueName:
            valueName = readText();
            if (platform::AnsiCompareText(valueName, kDefaultValueName) == 0)
                valueName.clear();
            checkValue(valueName, 0);
            break;
        case TRegistryOp::LogValue:
            if (active)
                logValue(valueName);
            break;
        case TRegistryOp::StringValue: {
            std::string text = readText();
            if (active) {
                if (write) {
                    std::string value = package_.Folders().ExpandAllFolderVariables(text);
                    checkValue(valueName, value.size());
                    registry_.WriteString(root, keyPath, valueName, value);
                } else {
                    checkValue(valueName, expandedSize(text));
                }
                logValue(valueName);
            }
            break;
        }
        case TRegistryOp::DwordValue: {
            std::uint32_t v = readDword();
            if (active) {
                if (write)
                    registry_.WriteDword(root, keyPath, valueName, v);
                logValue(valueName);
            }
            break;
        }
        case TRegistryOp::BinaryValue: {
            std::uint32_t len = readDword();
            need(len);
            std::string bytes = t.substr(pos, len);
            pos += len;
            if (active) {
                checkValue(valueName, bytes.size());
                if (write)
                    registry_.WriteBinary(root, keyPath, valueName, bytes);
                logValue(valueName);
            }
            break;
        }
        case TRegistryOp::LogWholeKey:
            if (active)
                logValue("*");
            break;
        default:
            break;
        }
    }
}

void TInstallRun::WriteRegistryEntries(bool write) {
    const std::string& t = package_.Tables().registryTable;
    if (t.empty())
        return;
    std::optional<components::TProgressScope> step;
    if (write)
        step.emplace(&messenger_, package_.Ui().Get(ui::kRegistryStep),
                     static_cast<std::int64_t>(t.size()));
    position_ = 0;
    std::size_t pos = 0;
    std::size_t reported = 0;
    while (t.size() - pos >= 2) {
        ++pos; // passed over
        std::size_t start = pos;
        while (pos < t.size() && static_cast<std::uint8_t>(t[pos]) >= kRootNameFirst &&
               static_cast<std::uint8_t>(t[pos]) <= kRootNameLast)
            ++pos;
        std::string name = t.substr(start, pos - start);
        int root = -1;
        if (platform::AnsiCompareText(name, "HKEY_CURRENT_USER") == 0)
            root = static_cast<int>(RootKey::CurrentUser);
        else if (platform::AnsiCompareText(name, "HKEY_LOCAL_MACHINE") == 0)
            root = static_cast<int>(RootKey::LocalMachine);
        else if (platform::AnsiCompareText(name, "HKEY_CLASSES_ROOT") == 0)
            root = static_cast<int>(RootKey::ClassesRoot);
        // An unsupported root's level is walked without writing.
        WriteRegistryLevels(root, pos, write);
        if (write)
            Advance(pos - reported);
        reported = pos;
    }
}

void TInstallRun::CheckTables() {
    try {
        CheckComponentFolders(package_.Tables());
        WriteRegistryEntries(false);
        for (const auto& s : shortcuts_) {
            CheckSingleLine(s.description, "A shortcut description");
            CheckSingleLine(s.arguments, "Shortcut arguments");
            if (!s.name.empty())
                CheckComponentName(s.name + ".desktop", "shortcut name");
        }
        for (const auto& u : urls_) {
            CheckSingleLine(u.name, "An Internet shortcut name");
            CheckSingleLine(u.url, "An Internet shortcut address");
        }
        for (const auto& type : package_.Tables().fileTypes) {
            if (!WillRegister(type))
                continue;
            CheckSingleLine(type.extension, "A file extension");
            CheckSingleLine(type.description, "A file type description");
            for (const auto& a : type.actions) {
                CheckSingleLine(a.verb, "A file type verb");
                CheckSingleLine(a.command, "A file type command");
            }
        }
    } catch (const EInvalidPackage&) {
        throw;
    } catch (const std::exception& e) {
        throw EInvalidPackage("This is not a valid setup package: " + std::string(e.what()));
    }
}

void TInstallRun::WriteFileTypes() {
    const auto& types = package_.Tables().fileTypes;
    if (types.empty())
        return;
    auto step = Step(package_.Ui().Get(ui::kFileTypesStep), types.size());
    const RootKey cr = RootKey::ClassesRoot;
    for (typesDone_ = 0; typesDone_ < types.size(); ++typesDone_) {
        const TFileType& type = types[typesDone_];
        const TLoggedFileType* rec = previous_.FindType(type.extension);
        typeLines_.clear();
        typeLogged_ = false;
        if (!WillRegister(type)) {
            if (rec)
                WriteRecordedType(*rec);
            Advance(1);
            continue;
        }
        CheckSingleLine(type.extension, "A file extension");
        CheckSingleLine(type.description, "A file type description");
        std::string className;
        auto existing = registry_.ReadString(cr, type.extension, "");
        if (existing && !existing->empty() && existing->size() <= 256) {
            className = *existing;
        } else {
            className = type.extension.substr(type.extension.empty() ? 0 : 1) + "file";
            registry_.WriteString(cr, type.extension, "", className);
        }
        CheckSingleLine(className, "A file class name");
        registry_.CreateKey(cr, className);
        auto previousDesc = registry_.ReadString(cr, className, "");
        typeLines_.push_back(type.extension);
        typeLines_.push_back(rec ? rec->previousDescription : previousDesc.value_or(""));
        typeLines_.push_back(type.description);
        registry_.WriteString(cr, className, "", type.description);
        std::string iconKey = className + "\\DefaultIcon";
        std::string icon;
        auto previousIcon = registry_.ReadString(cr, iconKey, "");
        std::string recordedIcon = rec ? rec->previousIcon : previousIcon.value_or("");
        if (type.iconFile != kNoFile && Installed(type.iconFile)) {
            icon = NativeToPackageText(targets_[type.iconFile], "The icon file") + "," +
                   std::to_string(type.iconIndex);
            typeLines_.push_back(recordedIcon);
            typeLines_.push_back(icon);
            registry_.WriteString(cr, iconKey, "", icon);
        } else {
            typeLines_.push_back(recordedIcon);
            typeLines_.push_back("");
        }
        TMimeProjection projection;
        projection.extension = type.extension;
        projection.description = type.description;
        if (type.iconFile != kNoFile && Installed(type.iconFile))
            projection.icon = targets_[type.iconFile];
        for (const auto& a : type.actions) {
            const TLoggedVerb* recVerb = rec ? rec->FindVerb(a.verb) : nullptr;
            if (a.programFile == kNoFile || !Installed(a.programFile)) {
                if (recVerb)
                    for (const auto& l : recVerb->lines)
                        typeLines_.push_back(l);
                continue;
            }
            CheckSingleLine(a.verb, "A file type verb");
            CheckSingleLine(a.command, "A file type command");
            std::string key = className + "\\shell\\" + a.verb + "\\command";
            auto previousCommand = registry_.ReadString(cr, key, "");
            std::string command = "\"" +
                                  NativeToPackageText(targets_[a.programFile], "The program") +
                                  "\" " + a.command;
            typeLines_.push_back(a.verb);
            typeLines_.push_back(recVerb ? recVerb->previousCommand : previousCommand.value_or(""));
            typeLines_.push_back(command);
            registry_.WriteString(cr, key, "", command);
            if (projection.openCommandTarget.empty() || a.verb == "open") {
                projection.openCommandTarget = targets_[a.programFile];
                projection.openArguments = a.command;
            }
        }
        for (const auto& line : typeLines_)
            log_.WriteLine(line);
        log_.WriteLine("%");
        typeLines_.clear();
        typeLogged_ = true;
        ProjectFileType(roots_, projection);
        Advance(1);
    }
}

void TInstallRun::RegisterLibraries() {
    for (const auto& path : registerList_) {
        if (ExtensionOf(path) == ".tlb") {
            RegisterTypeLibrary(path);
            LogPath(path);
        } else if (RegisterComServer(path)) {
            LogPath(path);
        }
    }
}

void TInstallRun::WriteRecordedType(const TLoggedFileType& rec) {
    for (const auto& l : rec.lines)
        log_.WriteLine(l);
    for (const auto& v : rec.verbs)
        for (const auto& l : v.lines)
            log_.WriteLine(l);
    log_.WriteLine("%");
}

void TInstallRun::BeginLogSection(int section) {
    openSection_ = section;
}

void TInstallRun::EndLogSection() {
    const int section = openSection_;
    openSection_ = 0;
    if (section == 0)
        return;
    sectionsEnded_ = section;
    switch (section) {
    case 1:
        // What the earlier installation left and this run did not reach
        // (or keeps): still installed, so still in the log.
        for (const auto& path : previous_.oldFiles)
            if (!installed_.count(path) && !logged_.count(path) && PathExists(path))
                LogPath(path);
        break;
    case 2:
        for (const auto& line : registryLines_)
            log_.WriteLine(line);
        break;
    case 3: {
        // The types this run did not get to keep what the earlier log
        // recorded of them.
        const auto& types = package_.Tables().fileTypes;
        for (std::size_t i = typesDone_; i < types.size(); ++i) {
            if (i == typesDone_ && typeLogged_)
                continue;
            if (i == typesDone_ && typeLines_.size() >= 3) {
                typeLines_.resize(std::max<std::size_t>(typeLines_.size(), 5));
                for (const auto& line : typeLines_)
                    log_.WriteLine(line);
                log_.WriteLine("%");
            } else if (const TLoggedFileType* rec = previous_.FindType(types[i].extension)) {
                WriteRecordedType(*rec);
            }
        }
        typesDone_ = types.size();
        typeLines_.clear();
        break;
    }
    case 4:
        // A run that ended early leaves the earlier installation's servers
        // registered.
        if (ending_)
            for (const auto& path : previous_.libraries)
                if (!logged_.count(path) && PathExists(path))
                    LogPath(path);
        break;
    default:
        break;
    }
    log_.EndSection();
}

TInstallResult TInstallRun::Run() {
    const TUiStrings& ui = package_.Ui();
    try {
        auto win = package_.Folders().VariableFolder("%WINDOWS%");
        windowsFolder_ = win && !win->empty() ? *win : roots_.windows.string();
        const TSpecialFolder* app = package_.Folders().Find("%APPFOLDER%");
        appFolder_ = app && !app->path.empty() && app->path[0] == '/' ? app->path : windowsFolder_;
        std::string previousLog = previous_.logPath;
        registryLines_ = previous_.registryLines;
        // Every table is checked before anything is written: a bad package
        // is refused whole.
        try {
            Collect();
            CheckTables();
        } catch (const components::EAbort&) {
            throw;
        } catch (const std::exception& e) {
            result_.invalidPackage = true;
            throw;
        }

        const auto& tables = package_.Tables();
        std::string logPath =
            ChooseLogName(appFolder_, previousLog, package_.Pending(), RemovalRoots());
        CheckSingleLine(logPath, "The log path");
        std::string logText = NativeToPackageText(logPath, "The log path");
        result_.logPath = logPath;

        if (tables.uninstallCommand.createShortcut) {
            auto menu = package_.Folders().VariableFolder("%APPMENU%");
            if (menu && !menu->empty()) {
                TShortcutData s;
                s.targetIndex = tables.fileTable.UninstallerVIndex();
                s.linkPath = *menu + "/Retraxal.lnk";
                s.name = ui.Format(ui::kUninstallShortcutName, {package_.Settings().productName});
                s.description = ui.Format(ui::kUninstallShortcutDescription,
                                          {package_.Settings().FullProductTitle()});
                s.arguments = "\"" + logText + "\"";
                shortcuts_.insert(shortcuts_.begin(), s);
            }
        }

        CreateTargetFolder(appFolder_);
        std::string uninstallCommand;
        if (tables.uninstallCommand.programFile != 0 &&
            Installed(tables.uninstallCommand.programFile)) {
            std::string p = NativeToPackageText(targets_[tables.uninstallCommand.programFile],
                                                "The uninstall command");
            uninstallCommand = p.find(' ') != std::string::npos ? "\"" + p + "\"" : p;
            if (!tables.uninstallCommand.parameters.empty())
                uninstallCommand += " " + tables.uninstallCommand.parameters;
        }
        log_.Create(logPath);
        WriteLogHead(log_, package_, uninstallCommand);

        BeginLogSection(1);
        Section("files", [&] { InstallFiles(); });
        Section("shortcuts", [&] { CreateShortcuts(); });
        Section("file type files", [&] { LogFileTypeFiles(); });
        Section("old files", [&] { RemoveOldFiles(); });
        EndLogSection();

        BeginLogSection(2);
        Section("registry", [&] { WriteRegistryEntries(); });
        Section("uninstall", [&] {
            TUninstallInfo info;
            info.logPath = logPath;
            if (!files_.empty() && Installed(files_.front().fileIndex))
                info.uninstallerPath = files_.front().target;
            info.installLocation = appFolder_;
            if (haveDesktopShortcut_ && Installed(desktopShortcut_.targetIndex)) {
                info.displayIconFile =
                    desktopShortcut_.iconFile != kNoFile && Installed(desktopShortcut_.iconFile)
                        ? targets_[desktopShortcut_.iconFile]
                        : targets_[desktopShortcut_.targetIndex];
                info.displayIconIndex = desktopShortcut_.iconIndex;
            }
            info.totalSize = totalSize_;
            info.installDate = installDate_;
            WriteUninstallRegistration(registry_, package_, info, registryLines_);
        });
        EndLogSection();

        BeginLogSection(3);
        Section("file types", [&] { WriteFileTypes(); });
        EndLogSection();

        BeginLogSection(4);
        Section("registration", [&] { RegisterLibraries(); });
        EndLogSection();
        log_.Close();
        registry_.Flush();
        result_.completed = true;
    } catch (const components::EAbort&) {
        result_.aborted = true;
    } catch (const std::exception& e) {
        result_.errorMessage = e.what();
    }
    // A run that ended early still leaves a whole log: the section it was
    // in gets its end line, and the sections it did not reach keep what the
    // earlier installation recorded, which is still installed.
    try {
        if (log_.IsOpen()) {
            ending_ = true;
            EndLogSection();
            for (int section = sectionsEnded_ + 1; section <= 4; ++section) {
                BeginLogSection(section);
                EndLogSection();
            }
        }
        log_.Close();
    } catch (const std::exception&) {
    }
    result_.targets = targets_;
    try {
        registry_.Flush();
    } catch (const std::exception& e) {
        if (result_.errorMessage.empty() && result_.completed) {
            result_.completed = false;
            result_.errorMessage = e.what();
        }
    }
    return result_;
}

} // namespace setup
