#pragma once
// What must be on the machine before the installation run: the .NET
// Framework versions a package accepts and the external installers it
// names. A missing one stops the run with a prompt; its installer (beside
// the setup executable, or the packaged copy written to the temporary
// folder) is started through the process runner and polled, and its end
// resumes the run. Nothing here shows anything: the wizard shows the
// prompt, the silent mode waits.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "setup/packagetables.h"

namespace components {
class IExecutor;
class TAppRunner;
class TQueuedExecutor;
} // namespace components

namespace platform {
class Registry;
}

namespace setup {

class TFolderVariables;
class TSetupPackage;

// Whether one accepted version (bit 0 = 1.0 ... bit 4 = 3.5) is installed,
// by its registry value under HKEY_LOCAL_MACHINE.
bool IsDotNetVersionInstalled(platform::Registry& registry, int bit);
// Whether any flagged version is installed (tested from the newest down).
// True when no version is flagged.
bool IsDotNetInstalled(platform::Registry& registry, std::uint8_t versions);
// "3.5", "3.0", "2.0", "1.1" or "1.0" for the highest flagged bit; "??.??"
// when none is flagged.
std::string DotNetVersionText(std::uint8_t versions);

// Whether an external installer's product is present: its registry key
// (with the value check) and its file. One with neither counts as missing.
bool Is3rdPartyInstalled(const T3rdParty& installer, platform::Registry& registry,
                         const TFolderVariables& folders);

// Finds a program by name on PATH; nullopt when there is none.
using TProgramLookup = std::function<std::optional<std::string>(const std::string& name)>;
std::optional<std::string> FindProgramOnPath(const std::string& name);

// How an installer file is started: a ".msi" through "msiexec /i PATH"
// (its parameters are not used; msiexec must be found on PATH), anything
// else directly with its parameters split like a command line.
struct TInstallerCommand {
    std::vector<std::string> argv; // empty: it cannot be run here
    std::string problem;           // why not
};
TInstallerCommand InstallerCommand(const std::string& path, const std::string& parameters,
                                   const TProgramLookup& lookup = FindProgramOnPath);

// The engine's own download page for the .NET Framework. A package that
// names it gets the link with the version asked for ("?v=3.5").
inline constexpr const char* kDotNetDownloadPage = "http://www.vexlor.example/packwhistler/dotnet";
// The link shown for a .NET download URL of the package.
std::string DotNetDownloadLink(const std::string& url, const std::string& versionText);

// The prompt a missing prerequisite leaves on the wizard's done area.
struct TPrerequisitePrompt {
    bool dotNet = false;     // the .NET requirement, else an external installer
    std::string name;        // the version text ("3.5") or the installer's name
    std::string text;        // UI string 86 or 89, formatted
    std::string statusText;  // UI string 87 (installer started) or 88 (download)
    std::string downloadUrl; // the link to show with UI string 88; empty: none
    bool installerStarted = false;
    std::string installerPath;        // empty when none was found or it did not start
    std::vector<std::string> command; // the argv it was started with
    std::string problem;              // why no installer runs (cannot be run here, failed start)
};

class TPrerequisites {
public:
    // `setupFolder`: the folder of the setup executable, where an installer
    // file of the package's name is looked for first.
    TPrerequisites(TSetupPackage& package, platform::Registry& registry, std::string setupFolder);
    ~TPrerequisites();
    TPrerequisites(const TPrerequisites&) = delete;
    TPrerequisites& operator=(const TPrerequisites&) = delete;

    // Tests the .NET requirement, then each external installer from the
    // current one on. nullopt: every one is met and the run may start.
    // Otherwise the installer of the first missing one is started when one
    // can be found and run, and the prompt returned; the run waits.
    std::optional<TPrerequisitePrompt> Check();
    // Lets the process runner deliver the installer's end (the wizard's
    // timer calls this); true once the installer Check started has ended,
    // which acts like the Proceed button.
    bool PollInstallerEnded();
    // Waits (pumping) until the installer has ended or `timeoutMs` passed;
    // for the silent mode. True when it ended.
    bool WaitForInstaller(int timeoutMs);
    bool InstallerRunning() const;
    // The Proceed button: re-tests what is waiting. False while it is still
    // missing (nothing changes). True when it is met now: a copy written to
    // the temporary folder is deleted and the next one is considered; the
    // caller then calls Check again.
    bool Continue();

    // Where msiexec is looked up (tests).
    void SetProgramLookup(TProgramLookup lookup) { lookup_ = std::move(lookup); }
    // The index of the next external installer to consider.
    std::size_t NextInstaller() const { return next_; }

private:
    bool WaitingOneMet();
    TPrerequisitePrompt Prompt(bool dotNet, const std::string& name, const std::string& fileName,
                               const std::string& parameters, const std::string& url,
                               std::uint32_t size, std::uint32_t position);
    std::string LocateInstaller(const std::string& fileName, std::uint32_t size,
                                std::uint32_t position);
    void Start(TPrerequisitePrompt& prompt, const std::string& path, const std::string& parameters);
    void DeleteTemporaryCopy();

    TSetupPackage& package_;
    platform::Registry& registry_;
    std::string setupFolder_;
    TProgramLookup lookup_ = FindProgramOnPath;
    // The runner is destroyed first: it may still post to the executor.
    std::unique_ptr<components::TQueuedExecutor> executor_;
    std::unique_ptr<components::TAppRunner> runner_;
    bool dotNetDone_ = false;
    std::size_t next_ = 0;
    bool waiting_ = false;
    bool ended_ = false;
    std::string temporaryCopy_;
    TPrerequisitePrompt lastPrompt_;
};

} // namespace setup
