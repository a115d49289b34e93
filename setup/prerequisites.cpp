#include "setup/prerequisites.h"

#include <sys/stat.h>
#include <unistd.h>

#include <charconv>

#include "components/apprunner.h"
#include "components/executor.h"
#include "platform/codepage.h"
#include "platform/pathnames.h"
#include "platform/registry.h"
#include "setup/desktopentry.h"
#include "setup/foldervariables.h"
#include "setup/installrun.h"
#include "setup/setuppackage.h"
#include "setup/uistrings.h"

namespace setup {

namespace {

using platform::RootKey;

// The prompt's texts (UI string indices).
constexpr std::size_t kDotNetMissing = 86; // (version)
constexpr std::size_t kInstallerStarted = 87;
constexpr std::size_t kDownloadFrom = 88;
constexpr std::size_t kThirdPartyMissing = 89; // (name)

struct TDotNetProbe {
    int bit;
    const char* key;
    const char* value;
    const char* version;
};

// Newest first.
constexpr TDotNetProbe kDotNetProbes[] = {
    {4, "Software\\Microsoft\\NET Framework Setup\\NDP\\v3.5", "Install", "3.5"},
    {3, "Software\\Microsoft\\NET Framework Setup\\NDP\\v3.0\\Setup", "InstallSuccess", "3.0"},
    {2, "Software\\Microsoft\\NET Framework Setup\\NDP\\v2.0.50727", "Install", "2.0"},
    {1, "Software\\Microsoft\\NET Framework Setup\\NDP\\v1.1.4322", "Install", "1.1"},
    {0, "Software\\Microsoft\\.NETFramework\\policy\\v1.0", "Install", "1.0"},
};

// The registry readers of the system these packages were made for read
// values into fixed buffers: a longer value is not read at all.
constexpr std::size_t kPolicyBufferSize = 11;
constexpr std::size_t kInstallSuccessBufferSize = 261;

std::optional<RootKey> RootOfKeyText(const std::string& text, std::string& subKey) {
    static const struct {
        const char* name;
        std::optional<RootKey> root;
    } kRoots[] = {
        {"HKEY_CURRENT_USER", RootKey::CurrentUser}, {"HKEY_LOCAL_MACHINE", RootKey::LocalMachine},
        {"HKEY_CLASSES_ROOT", RootKey::ClassesRoot}, {"HKEY_USERS", RootKey::Users},
        {"HKEY_CURRENT_CONFIG", std::nullopt}, // no such hive here
    };
    std::string upper = platform::AnsiUpperCase(text);
    for (const auto& r : kRoots) {
        std::string_view name = r.name;
        if (upper.compare(0, name.size(), name) != 0)
            continue;
        subKey = text.size() > name.size() ? text.substr(name.size() + 1) : std::string();
        return r.root;
    }
    return std::nullopt;
}

// A value read as text, as a fixed buffer of `bufferSize` bytes holds it
// (NUL included); nullopt when it does not fit.
std::optional<std::string> ValueText(const platform::RegistryValue& value, std::size_t bufferSize) {
    std::string text = value.data.substr(0, value.data.find('\0'));
    if (text.size() + 1 > bufferSize)
        return std::nullopt;
    return text;
}

bool RegistryCheckPasses(const T3rdParty& installer, platform::Registry& registry) {
    std::string subKey;
    std::optional<RootKey> root = RootOfKeyText(installer.registryKey, subKey);
    if (!root || !registry.KeyExists(*root, subKey))
        return false;
    if (installer.valueCheck.empty())
        return true;
    auto value = registry.ReadValue(*root, subKey, "InstallSuccess");
    if (!value || value->data.size() > kInstallSuccessBufferSize)
        return false;
    if (installer.expectedValue.empty())
        return true;
    if (value->type == static_cast<std::uint32_t>(platform::RegistryValueType::Dword)) {
        std::int32_t expected = 0;
        const std::string& e = installer.expectedValue;
        auto [end, error] = std::from_chars(e.data(), e.data() + e.size(), expected);
        if (error != std::errc() || end != e.data() + e.size() || value->data.size() != 4)
            return false;
        auto stored =
            static_cast<std::int32_t>(*registry.ReadDword(*root, subKey, "InstallSuccess"));
        return stored == expected;
    }
    auto text = ValueText(*value, kInstallSuccessBufferSize);
    return text && platform::AnsiCompareText(*text, installer.expectedValue) == 0;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

bool IsDotNetVersionInstalled(platform::Registry& registry, int bit) {
    for (const auto& probe : kDotNetProbes) {
        if (probe.bit != bit)
            continue;
        try {
            if (bit == 0) {
                auto value = registry.ReadValue(RootKey::LocalMachine, probe.key, probe.value);
                auto text = value ? ValueText(*value, kPolicyBufferSize) : std::nullopt;
                return text && *text == "3321-3705";
            }
            auto number = registry.ReadDword(RootKey::LocalMachine, probe.key, probe.value);
            return number && *number == 1;
        } catch (const std::exception&) {
            return false; // the key cannot be opened
        }
    }
    return false;
}

bool IsDotNetInstalled(platform::Registry& registry, std::uint8_t versions) {
    if (versions == 0)
        return true;
    for (const auto& probe : kDotNetProbes)
        if ((versions >> probe.bit) & 1)
            if (IsDotNetVersionInstalled(registry, probe.bit))
                return true;
    return false;
}

std::string DotNetVersionText(std::uint8_t versions) {
    for (const auto& probe : kDotNetProbes)
        if ((versions >> probe.bit) & 1)
            return probe.version;
    return "??.??";
}

bool Is3rdPartyInstalled(const T3rdParty& installer, platform::Registry& registry,
                         const TFolderVariables& folders) {
    if (installer.registryKey.empty() && installer.filePath.empty())
        return false;
    try {
        if (!installer.registryKey.empty() && !RegistryCheckPasses(installer, registry))
            return false;
    } catch (const std::exception&) {
        return false;
    }
    return installer.filePath.empty() ||
           FileExists(folders.ExpandFolderVariable(installer.filePath));
}

std::optional<std::string> FindProgramOnPath(const std::string& name) {
    std::string path;
    int errorNumber = 0;
    if (name.find('/') != std::string::npos || !components::ResolveProgram(name, path, errorNumber))
        return std::nullopt;
    return path;
}

TInstallerCommand InstallerCommand(const std::string& path, const std::string& parameters,
                                   const TProgramLookup& lookup) {
    TInstallerCommand command;
    std::string extension =
        platform::AnsiLowerCase(platform::ExtractFileExt(path, platform::kNativeSeparators));
    if (extension == ".msi") {
        std::optional<std::string> msiexec = lookup ? lookup("msiexec") : std::nullopt;
        if (!msiexec) {
            command.problem = "The installer " + path +
                              " is a Windows Installer package and cannot be run here: "
                              "no msiexec was found on PATH.";
            return command;
        }
        command.argv = {*msiexec, "/i", path};
        return command;
    }
    command.argv.push_back(path);
    for (auto& argument : SplitArguments(parameters))
        command.argv.push_back(std::move(argument));
    return command;
}

TPrerequisites::TPrerequisites(TSetupPackage& package, platform::Registry& registry,
                               std::string setupFolder)
    : package_(package), registry_(registry), setupFolder_(std::move(setupFolder)),
      executor_(std::make_unique<components::TQueuedExecutor>()) {}

TPrerequisites::~TPrerequisites() = default;

bool TPrerequisites::InstallerRunning() const {
    return runner_ && runner_->Running();
}

std::string TPrerequisites::LocateInstaller(const std::string& fileName, std::uint32_t size,
                                            std::uint32_t position) {
    if (fileName.empty())
        return {};
    std::string name = PackageTextToNative(fileName);
    if (name.find('/') != std::string::npos || name == "." || name == "..")
        return {};
    std::string beside = platform::IncludeTrailingSeparator(setupFolder_) + name;
    if (!setupFolder_.empty() && FileExists(beside))
        return beside;
    if (size == 0)
        return {};
    std::string copy = package_.EnsureTempFolder() + "/" + name;
    ::unlink(copy.c_str());
    package_.ExtractRawBytes(position, size, copy);
    MarkExecutableIfProgram(copy);
    temporaryCopy_ = copy;
    return copy;
}

void TPrerequisites::Start(TPrerequisitePrompt& prompt, const std::string& path,
                           const std::string& parameters) {
    TInstallerCommand command = InstallerCommand(path, parameters, lookup_);
    if (command.argv.empty()) {
        prompt.problem = command.problem;
        return;
    }
    if (!runner_)
        runner_ = std::make_unique<components::TAppRunner>(*executor_);
    runner_->SetApplicationName(command.argv.front());
    runner_->SetCommandLine(command.argv);
    runner_->OnTerminated = [this](components::TAppRunner&) { ended_ = true; };
    ended_ = false;
    prompt.command = command.argv;
    if (!runner_->Run()) {
        prompt.problem = runner_->LastError();
        return;
    }
    prompt.installerStarted = true;
    prompt.installerPath = path;
}

std::string DotNetDownloadLink(const std::string& url, const std::string& versionText) {
    if (platform::AnsiCompareText(url, kDotNetDownloadPage) == 0)
        return url + "?v=" + versionText;
    return url;
}

TPrerequisitePrompt TPrerequisites::Prompt(bool dotNet, const std::string& name,
                                           const std::string& fileName,
                                           const std::string& parameters, const std::string& url,
                                           std::uint32_t size, std::uint32_t position) {
    const TUiStrings& ui = package_.Ui();
    TPrerequisitePrompt prompt;
    prompt.dotNet = dotNet;
    prompt.name = name;
    prompt.text = ui.Format(dotNet ? kDotNetMissing : kThirdPartyMissing, {name});
    std::string path;
    try {
        path = LocateInstaller(fileName, size, position);
    } catch (const std::exception& e) {
        prompt.problem = e.what();
    }
    if (!path.empty())
        Start(prompt, path, parameters);
    if (prompt.installerStarted) {
        prompt.statusText = ui.Get(kInstallerStarted);
    } else if (!url.empty()) {
        prompt.statusText = ui.Get(kDownloadFrom);
        prompt.downloadUrl = dotNet ? DotNetDownloadLink(url, name) : url;
    }
    return prompt;
}

std::optional<TPrerequisitePrompt> TPrerequisites::Check() {
    if (waiting_) {
        if (!Continue())
            return lastPrompt_;
    }
    const TPackageTables& tables = package_.Tables();
    if (!dotNetDone_) {
        if (IsDotNetInstalled(registry_, tables.dotNet.versions)) {
            dotNetDone_ = true;
        } else {
            waiting_ = true;
            const TDotNetRequirement& d = tables.dotNet;
            lastPrompt_ = Prompt(true, DotNetVersionText(d.versions), d.installerFile, {},
                                 d.downloadUrl, d.size, d.position);
            return lastPrompt_;
        }
    }
    for (; next_ < tables.thirdParty.size(); ++next_) {
        const T3rdParty& t = tables.thirdParty[next_];
        if (Is3rdPartyInstalled(t, registry_, package_.Folders()))
            continue;
        waiting_ = true;
        lastPrompt_ =
            Prompt(false, t.name, t.installerFile, t.parameters, t.downloadUrl, t.size, t.position);
        return lastPrompt_;
    }
    return std::nullopt;
}

bool TPrerequisites::PollInstallerEnded() {
    executor_->RunPending();
    return ended_;
}

bool TPrerequisites::WaitForInstaller(int timeoutMs) {
    if (!runner_)
        return false;
    return executor_->PumpUntil([this] { return ended_; }, std::chrono::milliseconds(timeoutMs));
}

bool TPrerequisites::WaitingOneMet() {
    const TPackageTables& tables = package_.Tables();
    if (!dotNetDone_)
        return IsDotNetInstalled(registry_, tables.dotNet.versions);
    return next_ < tables.thirdParty.size() &&
           Is3rdPartyInstalled(tables.thirdParty[next_], registry_, package_.Folders());
}

void TPrerequisites::DeleteTemporaryCopy() {
    if (!temporaryCopy_.empty())
        ::unlink(temporaryCopy_.c_str());
    temporaryCopy_.clear();
}

bool TPrerequisites::Continue() {
    if (!waiting_)
        return true;
    if (!WaitingOneMet())
        return false;
    DeleteTemporaryCopy();
    waiting_ = false;
    ended_ = false;
    if (!dotNetDone_)
        dotNetDone_ = true;
    else
        ++next_;
    return true;
}

} // namespace setup
