#pragma once
// What the setup wizard decides, without a window: which welcome buttons
// show and where, the order of the pages and what Back restores, the
// component choice and its space line, the disk-space question, cleaning
// and checking the folders of the advanced page, the file-type choice, the
// drive list of the portable page, and the installation run with its done
// page. The wizard window only lays these out and forwards clicks.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/drives.h"
#include "setup/installlog.h"
#include "setup/installrun.h"
#include "setup/packageheader.h"
#include "setup/prerequisites.h"

namespace components {
class IMessenger;
}

namespace setup {

class TSetupPackage;
class TSetupSession;

enum class TWizardPage {
    Welcome,
    Readme,
    Licence,
    Components,
    Advanced,
    FileTypes,
    Portable,
    Prerequisite, // a prerequisite is missing; the run waits
    Installing,
    Done,
};

// The five welcome buttons in their vertical order.
enum TWelcomeButtonId { wbInstall = 0, wbReadme, wbComponents, wbAdvanced, wbExit, wbCount };

struct TWelcomeButton {
    std::string caption;
    std::string hint;
    bool visible = true;
    bool enabled = true;
    int slot = 0; // vertical place, 0 at the top
};

// The welcome page's texts (Windows-1252).
struct TWelcomeData {
    std::string windowCaption; // UI string 0 with the full title
    std::string fullTitle;
    std::string intro;     // UI string 1 + " "
    std::string publisher; // empty: none
    std::string publisherUrl;
    std::string productLine; // product + " " + version
    std::string productUrl;
    std::string outro;         // " " + UI string 2
    std::string releaseFormat; // UI string 3 + " ": one %s for the long date
    int releaseYear = 0, releaseMonth = 0, releaseDay = 0; // 0: no date
    std::string extraLine;                                 // settings field 7
    std::vector<std::string> rightsLines;                  // UI 14, then 15 or 90
    std::vector<std::string> earlierLines;                 // an earlier installation
    std::array<TWelcomeButton, wbCount> buttons;
    TWelcomeButtonId defaultButton = wbInstall;
};

// The line under the component tree.
struct TSpaceLine {
    std::string text;  // empty without a target drive
    bool warn = false; // 91 % of the free space or more: red and bold
};

struct TDriveRow {
    std::string root;  // native mount point
    std::string label; // UTF-8; UI string 83 when unreadable
    std::string freeText;
};

struct TFolderRow {
    std::string name;    // "%APPFOLDER%"
    std::string caption; // Windows-1252, may hold "&"
    std::string path;    // native (UTF-8)
};

struct TFileTypeRow {
    std::size_t index = 0; // into the package's file types
    std::string text;      // the type's display line
    bool checked = false;
};

// Done page: what shows and which button.
struct TDonePage {
    std::string text;
    bool reboot = false;
    std::string rebootText, rebootNow, rebootLater;
    std::string doneCaption;
    bool doneExits = false;   // the abort page: Done acts like Exit
    bool closeAtOnce = false; // finish flag 7 clear and no restart needed
};

// What Done starts: a folder to open, a program to run.
struct TFinishAction {
    bool openFolder = false;
    std::string path;       // native
    std::string parameters; // program only
    std::string workingFolder;
};

// Where the answers and the machine's facts come from; tests replace them.
struct TWizardEnvironment {
    // Free bytes of the drive holding a native path; nullopt when unknown.
    std::function<std::optional<std::uint64_t>(const std::string&)> freeSpace;
    // The drive a native path lies on, as shown in the space question.
    std::function<std::string(const std::string&)> driveName;
    // Every drive of the machine (the portable page filters them).
    std::function<std::vector<platform::DriveInfo>()> drives;
};
// The real machine: statvfs and mountinfo.
TWizardEnvironment MachineEnvironment();

std::string FormatByteSize(std::uint64_t bytes); // "%.2f GB|MB|kB"
// The drive page's and space question's unit: chosen by `unitOf`.
std::string FormatByteSizeIn(std::uint64_t bytes, std::uint64_t unitOf);
// Removes the characters a folder cannot hold (", *, <, >, ?, | and every
// colon but the second character), trims, and strips one trailing
// separator; `changed` tells whether a character was removed.
std::string CleanFolderText(const std::string& text, bool& changed);
// Removes "&" accelerator marks ("&&" stays as one "&").
std::string StripAccelerators(const std::string& text);

class TWizardFlow {
public:
    // The session must be open; its messenger shows the boxes.
    TWizardFlow(TSetupSession& session, TWizardEnvironment environment);

    // Welcome data from the header and settings, the rights check and the
    // install mode (the session extracts the support files and defines the
    // package's folder variables). Call once.
    const TWelcomeData& BuildWelcome();
    // Tables, earlier log, component flags and the buttons by install mode;
    // false when the support library refused (the wizard then closes).
    // `window`: the wizard's native handle, handed to the support library.
    bool PrepareInstallation(void* window = nullptr);
    bool InstallationAllowed() const { return allowed_; }
    bool Prepared() const { return prepared_; }
    const TWelcomeData& Welcome() const { return welcome_; }
    TWizardPage Page() const { return page_; }
    bool Portable() const;
    bool Busy() const { return busy_; }
    bool HasReadme() const;
    bool HasLicence() const;
    std::string ReadmePath() const;
    std::string LicencePath() const;
    std::string IconPath() const;
    std::string BackdropPicturePath() const;
    // The readme is shown in the wizard (.txt, .rtf) rather than opened.
    bool ReadmeShownInside() const;

    // Page moves. Each returns the page now shown.
    TWizardPage Install();    // welcome Install (mode 2: the portable page)
    TWizardPage Components(); // welcome Components (mode 1: the portable page)
    TWizardPage Advanced();   // welcome Advanced
    TWizardPage Readme();
    TWizardPage LicenceYes(); // the run follows: the caller calls Run
    TWizardPage Back();
    // Proceed on the components, advanced, file-type, portable and
    // prerequisite pages; the advanced page takes the edits' texts and
    // writes the cleaned ones back.
    TWizardPage Proceed();
    TWizardPage ProceedAdvanced(std::vector<std::string>& texts, int& focusRow);
    TWizardPage ProceedFileTypes(const std::vector<bool>& checked);
    TWizardPage ProceedPortable(int driveRow, const std::string& folderText);
    bool RunPending() const { return page_ == TWizardPage::Installing && !ran_; }

    // Components page.
    std::vector<std::size_t> TreeComponents() const; // indices shown in the tree
    bool Toggle(std::size_t component);
    TSpaceLine SpaceLine() const;
    std::uint64_t SelectedSize() const;
    bool CheckDiskSpace();

    // Advanced page.
    std::vector<TFolderRow> FolderRows() const;
    // File-type page.
    std::vector<TFileTypeRow> FileTypeRows() const;
    // Portable page.
    const std::vector<TDriveRow>& Drives() const { return drives_; }
    const std::vector<TDriveRow>& FillDriveList(bool all);
    std::string PortableTarget() const;
    std::string PortableFolderText() const; // the header's folder

    // The run: prerequisites first (the prerequisite page when one is
    // missing), then the installation or the portable run, then the done
    // page. Call while RunPending.
    TWizardPage Run();
    // The prompt of the prerequisite page.
    const TPrerequisitePrompt& Prerequisite() const { return prerequisite_; }
    // The installer started for it has ended (the page's timer asks).
    bool PrerequisiteInstallerEnded();
    const TInstallResult& Result() const { return result_; }
    const TDonePage& Done() const { return done_; }
    // What Done starts (finish flags 1 and 2); empty on the abort page.
    std::vector<TFinishAction> FinishActions() const;
    TSetupSession& Session() { return session_; }

private:
    void ApplyInstallModeButtons();
    void ShowWelcomeButtons();
    TWizardPage OpenComponents(TWizardPage origin);
    TWizardPage LicenceStep();
    void RememberSelection();
    void RestoreSelection();
    bool HasFileTypePage() const;
    bool ComponentInstallsSomething(std::size_t component) const;
    std::string TargetFolder() const;
    void ShowDonePage(bool aborted);

    TInstallMode Mode() const;

    TSetupSession& session_;
    TSetupPackage& package_;
    components::IMessenger& messenger_;
    TWizardEnvironment env_;
    TWelcomeData welcome_;
    TWizardPage page_ = TWizardPage::Welcome;
    TWizardPage componentsOrigin_ = TWizardPage::Welcome;
    TWizardPage licenceOrigin_ = TWizardPage::Welcome;
    std::vector<bool> savedSelection_;
    std::vector<TDriveRow> drives_;
    TPrerequisitePrompt prerequisite_;
    TInstallResult result_;
    TDonePage done_;
    bool allowed_ = false;
    bool prepared_ = false;
    bool busy_ = false;
    bool ran_ = false;
};

} // namespace setup
