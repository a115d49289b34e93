#include "setup/wizardflow.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "components/messengerseam.h"
#include "platform/codepage.h"
#include "platform/pathnames.h"
#include "platform/textutil.h"
#include "setup/packagenames.h"
#include "setup/portablerun.h"
#include "setup/setuperrors.h"
#include "setup/setuppackage.h"
#include "setup/setupsession.h"

namespace setup {

namespace {

namespace fs = std::filesystem;

// UI strings of the wizard (format arguments in brackets).
constexpr std::size_t kWelcomeIntro = 1, kWelcomeOutro = 2, kReleasedOn = 3;
constexpr std::size_t kButtonTexts = 4; // caption, hint pairs from Install to Exit
constexpr std::size_t kNoRights = 14, kNoNormalInstall = 15;
constexpr std::size_t kFileTypesTitle = 34, kOk = 35;
constexpr std::size_t kSpaceLine = 37; // (size, percentage)
constexpr std::size_t kInstalled = 45, kDoneButton = 46, kRebootNeeded = 47;
constexpr std::size_t kRebootNow = 48, kRebootLater = 49;
constexpr std::size_t kAborted = 68, kInstalledWithErrors = 69;
constexpr std::size_t kInvalidFolder = 75;
constexpr std::size_t kNoSpace = 76; // (drive, needed, free)
constexpr std::size_t kPortableCaption = 77, kPortableHint = 78, kChooseDrive = 79;
constexpr std::size_t kNoVolumeInformation = 83, kPortableOnly = 90;

constexpr std::uint64_t kKiB = 1024, kMiB = kKiB * 1024, kGiB = kMiB * 1024;

std::string Fixed2(double value, const char* unit) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f %s", value, unit);
    return buf;
}

// The nearest folder of `path` that exists (the drive's free space is
// asked there before the target folder is made).
fs::path ExistingAncestor(const std::string& path) {
    fs::path p(path);
    std::error_code ec;
    while (!p.empty() && !fs::exists(p, ec) && p.has_parent_path() && p.parent_path() != p)
        p = p.parent_path();
    return p;
}

void SumFolderSizes(const TComponentFolder& folder, const TFileTable& files, std::uint64_t& total) {
    for (const auto& item : folder.items)
        if (const auto* copy = std::get_if<TCopyItem>(&item))
            if (copy->fileIndex < files.files.size())
                total += files.files[copy->fileIndex].size;
    for (const auto& sub : folder.folders)
        SumFolderSizes(sub, files, total);
}

bool FolderInstallsSomething(const TComponentFolder& folder, bool portable) {
    for (const auto& item : folder.items)
        if (!portable || std::holds_alternative<TCopyItem>(item))
            return true;
    for (const auto& sub : folder.folders)
        if (FolderInstallsSomething(sub, portable))
            return true;
    return false;
}

} // namespace

std::string FormatByteSizeIn(std::uint64_t bytes, std::uint64_t unitOf) {
    if (unitOf > kGiB)
        return Fixed2(static_cast<double>(bytes) / kGiB, "GB");
    if (unitOf > kMiB)
        return Fixed2(static_cast<double>(bytes) / kMiB, "MB");
    return Fixed2(static_cast<double>(bytes) / kKiB, "kB");
}

std::string FormatByteSize(std::uint64_t bytes) {
    return FormatByteSizeIn(bytes, bytes);
}

std::string CleanFolderText(const std::string& text, bool& changed) {
    std::string trimmed = platform::Trim(text);
    std::string out;
    changed = false;
    for (std::size_t i = 0; i < trimmed.size(); ++i) {
        char c = trimmed[i];
        bool bad = c == '"' || c == '*' || c == '<' || c == '>' || c == '?' || c == '|' ||
                   (c == ':' && i != 1);
        if (bad)
            changed = true;
        else
            out += c;
    }
    if (out.size() > 1 && (out.back() == '\\' || out.back() == '/'))
        out.pop_back();
    return out;
}

std::string StripAccelerators(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&')
                out += text[++i];
            continue;
        }
        out += text[i];
    }
    return out;
}

TWizardEnvironment MachineEnvironment() {
    TWizardEnvironment env;
    env.freeSpace = [](const std::string& path) -> std::optional<std::uint64_t> {
        auto space = platform::DiskSpaceOf(ExistingAncestor(path));
        if (!space)
            return std::nullopt;
        return space->freeBytes;
    };
    env.driveName = [](const std::string& path) {
        auto drive = platform::DriveOfPath(ExistingAncestor(path));
        return drive ? drive->root.string() : path;
    };
    env.drives = [] { return platform::ListDrives(); };
    return env;
}

TWizardFlow::TWizardFlow(TSetupSession& session, TWizardEnvironment environment)
    : session_(session), package_(session.Package()), messenger_(session.Messenger()),
      env_(std::move(environment)) {}

TInstallMode TWizardFlow::Mode() const {
    return session_.InstallMode();
}

bool TWizardFlow::Portable() const {
    return session_.Portable();
}

std::string TWizardFlow::PortableTarget() const {
    return session_.Portable() ? session_.PortableFolder() : std::string();
}

const TWelcomeData& TWizardFlow::BuildWelcome() {
    const TUiStrings& ui = package_.Ui();
    const TSettings& s = package_.Settings();
    TWelcomeData& w = welcome_;
    w.intro = ui.Get(kWelcomeIntro) + " ";
    w.publisher = s.publisherName;
    w.publisherUrl = s.publisherUrl;
    w.productLine = s.productName + (s.productVersion.empty() ? "" : " " + s.productVersion);
    w.productUrl = s.productUrl;
    w.outro = " " + ui.Get(kWelcomeOutro);
    w.fullTitle = s.publisherName.empty() ? w.productLine : s.publisherName + " " + w.productLine;
    w.windowCaption = ui.Format(ui::kWindowCaption, {w.fullTitle});
    w.releaseFormat = ui.Get(kReleasedOn) + " ";
    std::int32_t day = 0;
    if (s.ReleaseDay(day))
        DayToDate(day, w.releaseYear, w.releaseMonth, w.releaseDay);
    w.extraLine = s.extraLine;
    for (int b = 0; b < wbCount; ++b) {
        w.buttons[b].caption = ui.Get(kButtonTexts + 2 * b);
        w.buttons[b].hint = ui.Get(kButtonTexts + 2 * b + 1);
        w.buttons[b].slot = b;
    }
    w.buttons[wbInstall].hint = ui.Format(kButtonTexts + 1, {w.fullTitle});

    const TRightsResult rights = session_.CheckRights();
    allowed_ = session_.InstallationAllowed();
    if (!HasReadme()) {
        w.buttons[wbReadme].visible = false;
        for (int b = wbComponents; b < wbCount; ++b)
            --w.buttons[b].slot;
    }
    if (rights != TRightsResult::Allowed) {
        w.buttons[wbComponents].enabled = false;
        w.buttons[wbAdvanced].enabled = false;
        w.rightsLines.push_back(ui.Get(kNoRights));
        if (rights == TRightsResult::PortableOnly) {
            w.rightsLines.push_back(ui.Get(kPortableOnly));
        } else {
            w.rightsLines.push_back(ui.Get(kNoNormalInstall));
            w.buttons[wbInstall].enabled = false;
        }
    }
    return welcome_;
}

bool TWizardFlow::PrepareInstallation(void* window) {
    if (prepared_ || !allowed_)
        return allowed_;
    if (!session_.PrepareInstallation(window)) {
        allowed_ = false;
        return false;
    }
    prepared_ = true;
    const TPreviousInstall& previous = session_.Previous();
    welcome_.earlierLines = previous.welcomeLines;
    welcome_.buttons[wbInstall].hint += previous.installHintAppend;
    welcome_.buttons[wbComponents].hint += previous.componentsHintAppend;
    if (previous.defaultButton == TWelcomeDefault::Exit)
        welcome_.defaultButton = wbExit;
    else if (previous.defaultButton == TWelcomeDefault::Components)
        welcome_.defaultButton = wbComponents;
    ApplyInstallModeButtons();
    return true;
}

void TWizardFlow::ApplyInstallModeButtons() {
    const TUiStrings& ui = package_.Ui();
    const TPackageHeader& h = package_.Header();
    auto& b = welcome_.buttons;
    const bool anyChoice = package_.Tables().AnyUserChoice();
    if (Mode() == TInstallMode::PortableOnly) {
        b[wbInstall].caption = ui.Get(kPortableCaption);
        b[wbInstall].hint = ui.Get(kPortableHint);
        b[wbExit].slot = b[wbComponents].slot;
        b[wbComponents].visible = false;
        b[wbAdvanced].visible = false;
        return;
    }
    if (Mode() == TInstallMode::NormalOrPortable) {
        b[wbComponents].caption = ui.Get(kPortableCaption);
        b[wbComponents].hint = ui.Get(kPortableHint);
    } else if (!anyChoice) {
        b[wbExit].slot = b[wbAdvanced].slot;
        b[wbAdvanced].slot = b[wbComponents].slot;
        b[wbComponents].visible = false;
    }
    if (!h.advancedPage) {
        b[wbExit].slot = b[wbAdvanced].slot;
        b[wbAdvanced].visible = false;
    }
}

bool TWizardFlow::HasReadme() const {
    return package_.ReadmeIndex() >= 0;
}
bool TWizardFlow::HasLicence() const {
    return package_.LicenceIndex() >= 0;
}
std::string TWizardFlow::ReadmePath() const {
    return HasReadme() ? package_.SupportPaths().at(package_.ReadmeIndex()) : std::string();
}
std::string TWizardFlow::LicencePath() const {
    return HasLicence() ? package_.SupportPaths().at(package_.LicenceIndex()) : std::string();
}
std::string TWizardFlow::IconPath() const {
    int i = package_.IconIndex();
    return i >= 0 ? package_.SupportPaths().at(i) : std::string();
}
std::string TWizardFlow::BackdropPicturePath() const {
    int i = package_.BackdropPictureIndex();
    return i >= 0 ? package_.SupportPaths().at(i) : std::string();
}

bool TWizardFlow::ReadmeShownInside() const {
    std::string ext = platform::AnsiLowerCase(platform::ExtractFileExt(ReadmePath()));
    return ext == ".rtf" || ext == ".txt";
}

TWizardPage TWizardFlow::Readme() {
    if (HasReadme() && ReadmeShownInside())
        page_ = TWizardPage::Readme;
    return page_;
}

TWizardPage TWizardFlow::Install() {
    if (!prepared_)
        return page_;
    if (Mode() == TInstallMode::PortableOnly)
        return page_ = TWizardPage::Portable;
    if (!CheckDiskSpace())
        return page_;
    licenceOrigin_ = TWizardPage::Welcome;
    return LicenceStep();
}

TWizardPage TWizardFlow::LicenceStep() {
    if (HasLicence())
        return page_ = TWizardPage::Licence;
    return LicenceYes();
}

TWizardPage TWizardFlow::LicenceYes() {
    page_ = TWizardPage::Installing;
    ran_ = false;
    return page_;
}

TWizardPage TWizardFlow::Components() {
    if (!prepared_)
        return page_;
    if (Mode() == TInstallMode::NormalOrPortable)
        return page_ = TWizardPage::Portable;
    return OpenComponents(TWizardPage::Welcome);
}

TWizardPage TWizardFlow::OpenComponents(TWizardPage origin) {
    componentsOrigin_ = origin;
    RememberSelection();
    page_ = TWizardPage::Components;
    return page_;
}

TWizardPage TWizardFlow::Advanced() {
    if (!prepared_)
        return page_;
    if (!package_.Folders().Defined().empty())
        return page_ = TWizardPage::Advanced;
    if (HasFileTypePage())
        return page_ = TWizardPage::FileTypes;
    return OpenComponents(TWizardPage::Advanced);
}

bool TWizardFlow::HasFileTypePage() const {
    for (const auto& t : package_.Tables().fileTypes)
        if (!t.carriedOver)
            return true;
    return false;
}

TWizardPage TWizardFlow::Back() {
    switch (page_) {
    case TWizardPage::Readme:
    case TWizardPage::Advanced:
    case TWizardPage::Portable:
        page_ = TWizardPage::Welcome;
        break;
    case TWizardPage::Licence:
        page_ = licenceOrigin_;
        break;
    case TWizardPage::FileTypes:
        page_ = package_.Folders().Defined().empty() ? TWizardPage::Welcome : TWizardPage::Advanced;
        break;
    case TWizardPage::Components:
        RestoreSelection();
        if (componentsOrigin_ == TWizardPage::Advanced)
            page_ = HasFileTypePage()                       ? TWizardPage::FileTypes
                    : !package_.Folders().Defined().empty() ? TWizardPage::Advanced
                                                            : TWizardPage::Welcome;
        else
            page_ = Portable() ? TWizardPage::Portable : TWizardPage::Welcome;
        break;
    default:
        break;
    }
    if (page_ == TWizardPage::Welcome && Portable())
        session_.SetPortable(false, {});
    return page_;
}

TWizardPage TWizardFlow::Proceed() {
    switch (page_) {
    case TWizardPage::Components:
        if (CheckDiskSpace()) {
            licenceOrigin_ = TWizardPage::Components;
            return LicenceStep();
        }
        break;
    case TWizardPage::Prerequisite:
        // Still missing: the page stays.
        if (session_.Prerequisites().Continue()) {
            page_ = TWizardPage::Installing;
            ran_ = false;
        }
        break;
    default:
        break;
    }
    return page_;
}

std::vector<TFolderRow> TWizardFlow::FolderRows() const {
    std::vector<TFolderRow> rows;
    for (const auto& f : package_.Folders().Defined())
        rows.push_back({f.name, f.caption, f.path});
    return rows;
}

TWizardPage TWizardFlow::ProceedAdvanced(std::vector<std::string>& texts, int& focusRow) {
    focusRow = -1;
    const auto& defined = package_.Folders().Defined();
    std::vector<std::string> natives(texts.size());
    for (std::size_t i = 0; i < texts.size() && i < defined.size(); ++i) {
        bool changed = false;
        texts[i] = CleanFolderText(texts[i], changed);
        std::optional<std::string> native;
        if (!texts[i].empty() && texts[i][0] == '/')
            native = texts[i];
        else if (!texts[i].empty())
            native = package_.Folders().MapLiteralFolder(platform::Utf8ToCp1252(texts[i]));
        if (changed || texts[i].empty() || !native) {
            focusRow = static_cast<int>(i);
            messenger_.ShowMessage(components::TMessageKind::None,
                                   StripAccelerators(defined[i].caption),
                                   package_.Ui().Get(kInvalidFolder));
            return page_;
        }
        natives[i] = *native;
    }
    for (std::size_t i = 0; i < texts.size() && i < defined.size(); ++i) {
        TSpecialFolder f = defined[i];
        package_.Folders().DefineNative(f.name, f.caption, natives[i], f.shared);
    }
    package_.FinishComponents();
    if (HasFileTypePage())
        return page_ = TWizardPage::FileTypes;
    return OpenComponents(TWizardPage::Advanced);
}

std::vector<TFileTypeRow> TWizardFlow::FileTypeRows() const {
    std::vector<TFileTypeRow> rows;
    const auto& types = package_.Tables().fileTypes;
    for (std::size_t i = 0; i < types.size(); ++i)
        if (!types[i].carriedOver)
            rows.push_back({i, types[i].DisplayText(), types[i].registerType});
    return rows;
}

TWizardPage TWizardFlow::ProceedFileTypes(const std::vector<bool>& checked) {
    auto rows = FileTypeRows();
    auto& types = package_.Tables().fileTypes;
    for (std::size_t r = 0; r < rows.size() && r < checked.size(); ++r)
        types[rows[r].index].registerType = checked[r];
    return OpenComponents(TWizardPage::Advanced);
}

const std::vector<TDriveRow>& TWizardFlow::FillDriveList(bool all) {
    drives_.clear();
    if (!env_.drives)
        return drives_;
    for (const auto& d : env_.drives()) {
        if (!all && d.type != platform::DriveType::Removable)
            continue;
        TDriveRow row;
        row.root = d.root.string();
        if (d.freeBytes) {
            row.label = d.label;
            row.freeText = FormatByteSize(*d.freeBytes);
        } else {
            row.label = platform::Cp1252ToUtf8(package_.Ui().Get(kNoVolumeInformation));
            row.freeText = "0.00 MB";
        }
        drives_.push_back(row);
    }
    return drives_;
}

std::string TWizardFlow::PortableFolderText() const {
    return package_.Header().portableFolder;
}

TWizardPage TWizardFlow::ProceedPortable(int driveRow, const std::string& folderText) {
    const TUiStrings& ui = package_.Ui();
    if (driveRow < 0 || static_cast<std::size_t>(driveRow) >= drives_.size()) {
        messenger_.ShowMessage(components::TMessageKind::None,
                               StripAccelerators(ui.Get(kPortableCaption)),
                               StripAccelerators(ui.Get(kChooseDrive)));
        return page_;
    }
    // The folder stays on the chosen drive: one that climbs out of it
    // with ".." is refused like any folder the advanced page refuses.
    if (ClimbsOutOfBase(folderText)) {
        messenger_.ShowMessage(components::TMessageKind::None,
                               StripAccelerators(ui.Get(kPortableCaption)), ui.Get(kInvalidFolder));
        return page_;
    }
    session_.SetPortable(
        true, PortableTargetFolder(drives_[driveRow].root, PackageTextToNative(folderText)));
    if (package_.Tables().AnyUserChoice())
        return OpenComponents(TWizardPage::Portable);
    if (!CheckDiskSpace())
        return page_;
    licenceOrigin_ = TWizardPage::Portable;
    return LicenceStep();
}

bool TWizardFlow::ComponentInstallsSomething(std::size_t component) const {
    for (const auto& f : package_.Tables().components[component].folders)
        if (FolderInstallsSomething(f, Portable()))
            return true;
    return false;
}

std::vector<std::size_t> TWizardFlow::TreeComponents() const {
    std::vector<std::size_t> shown;
    const auto& comps = package_.Tables().components;
    for (std::size_t i = 0; i < comps.size(); ++i)
        if (comps[i].userMayChoose && ComponentInstallsSomething(i))
            shown.push_back(i);
    return shown;
}

bool TWizardFlow::Toggle(std::size_t component) {
    auto& comps = package_.Tables().components;
    if (component >= comps.size())
        return false;
    TComponentData& c = comps[component];
    if (!c.userMayChoose || c.required)
        return false;
    c.selected = !c.selected;
    UpdateRequiredComponents(comps);
    return true;
}

void TWizardFlow::RememberSelection() {
    savedSelection_.clear();
    for (const auto& c : package_.Tables().components)
        savedSelection_.push_back(c.selected);
}

void TWizardFlow::RestoreSelection() {
    auto& comps = package_.Tables().components;
    for (std::size_t i = 0; i < comps.size() && i < savedSelection_.size(); ++i)
        comps[i].selected = savedSelection_[i];
    UpdateRequiredComponents(comps);
}

std::uint64_t TWizardFlow::SelectedSize() const {
    std::uint64_t total = 0;
    const auto& tables = package_.Tables();
    for (const auto& c : tables.components)
        if (c.selected || c.required)
            for (const auto& f : c.folders)
                SumFolderSizes(f, tables.fileTable, total);
    return total;
}

std::string TWizardFlow::TargetFolder() const {
    if (Portable())
        return session_.PortableFolder();
    const TSpecialFolder* app = package_.Folders().Find("%APPFOLDER%");
    return app ? app->path : std::string();
}

TSpaceLine TWizardFlow::SpaceLine() const {
    TSpaceLine line;
    std::string target = TargetFolder();
    if (target.empty() || target[0] != '/' || !env_.freeSpace)
        return line;
    std::uint64_t total = SelectedSize();
    std::string size = total >= kGiB + 1  ? Fixed2(static_cast<double>(total) / kGiB, "GB")
                       : total < kMiB + 1 ? Fixed2(static_cast<double>(total) / kKiB, "kB")
                                          : Fixed2(static_cast<double>(total) / kMiB, "MB");
    auto free = env_.freeSpace(target);
    std::int64_t percent = 0;
    if (free && *free > 0)
        percent = std::llround(100.0 * static_cast<double>(total) / static_cast<double>(*free));
    else if (total > 0)
        percent = 100;
    line.text = package_.Ui().Format(kSpaceLine, {size, percent});
    line.warn = percent >= 91;
    return line;
}

bool TWizardFlow::CheckDiskSpace() {
    std::string target = TargetFolder();
    if (target.empty() || target[0] != '/' || !env_.freeSpace)
        return true;
    std::uint64_t total = SelectedSize();
    auto freeBytes = env_.freeSpace(target);
    std::uint64_t free = freeBytes ? *freeBytes : 2147483647u;
    if (free > total)
        return true;
    std::string drive = env_.driveName ? env_.driveName(target) : target;
    const TUiStrings& ui = package_.Ui();
    std::string text =
        ui.Format(kNoSpace, {platform::Utf8ToCp1252(drive), FormatByteSizeIn(total, free),
                             FormatByteSizeIn(free, free)}) +
        "\r\r" + ui.Get(ui::kContinueQuestion);
    components::TQuestion q;
    q.Kind = components::TMessageKind::Warning;
    q.Caption = welcome_.windowCaption;
    q.Text = text;
    q.Buttons = components::YesNoButtons();
    return messenger_.Ask(q) == components::mrYes;
}

TWizardPage TWizardFlow::Run() {
    if (page_ != TWizardPage::Installing || ran_)
        return page_;
    if (!Portable()) {
        if (auto prompt = session_.Prerequisites().Check()) {
            prerequisite_ = *prompt;
            page_ = TWizardPage::Prerequisite;
            return page_;
        }
    }
    ran_ = true;
    busy_ = true;
    try {
        result_ = session_.RunInstallation();
    } catch (const components::EAbort&) {
        result_ = {};
        result_.aborted = true;
    } catch (const std::exception& e) {
        result_ = {};
        result_.errorMessage = e.what();
    }
    busy_ = false;
    if (!result_.completed && !result_.aborted && !result_.errorMessage.empty()) {
        const TUiStrings& ui = package_.Ui();
        messenger_.ShowMessage(components::TMessageKind::Error, welcome_.windowCaption,
                               ui.Format(ui::kErrorIntroduction, {welcome_.fullTitle}) + "\r\r" +
                                   result_.errorMessage);
    }
    ShowDonePage(!result_.completed);
    return page_;
}

bool TWizardFlow::PrerequisiteInstallerEnded() {
    return page_ == TWizardPage::Prerequisite && session_.Prerequisites().PollInstallerEnded();
}

void TWizardFlow::ShowDonePage(bool aborted) {
    const TUiStrings& ui = package_.Ui();
    const TSettings& s = package_.Settings();
    done_ = {};
    page_ = TWizardPage::Done;
    if (aborted) {
        done_.text = ui.Get(kAborted);
        done_.doneCaption = ui.Get(kOk);
        done_.doneExits = true;
        return;
    }
    std::string product = s.productName + " " + s.productVersion;
    done_.text = ui.Format(result_.errorAsked ? kInstalledWithErrors : kInstalled, {product});
    const std::uint8_t flags = package_.Tables().finish.flags;
    if (result_.rebootNeeded) {
        done_.reboot = true;
        done_.rebootText = ui.Get(kRebootNeeded);
        done_.rebootNow = ui.Get(kRebootNow);
        done_.rebootLater = ui.Get(kRebootLater);
    } else {
        done_.doneCaption = ui.Get(kDoneButton);
        done_.closeAtOnce = (flags & 0x80) == 0;
    }
}

std::vector<TFinishAction> TWizardFlow::FinishActions() const {
    std::vector<TFinishAction> actions;
    if (!result_.completed)
        return actions;
    const TPackageTables& t = package_.Tables();
    const std::uint8_t flags = t.finish.flags;
    if (flags & 0x02) {
        std::string folder;
        if (Portable())
            folder = session_.PortableFolder();
        else if (const TSpecialFolder* menu = package_.Folders().Find("%APPMENU%"))
            folder = menu->path;
        if (!folder.empty())
            actions.push_back({true, folder, {}, {}});
    }
    // The program is the file this run installed for that index, wherever
    // its folder variable put it; nothing else of the same name.
    const std::uint16_t program = t.finish.programFile;
    if ((flags & 0x04) && program != kNoFile && program < result_.targets.size() &&
        !result_.targets[program].empty()) {
        const std::string& path = result_.targets[program];
        actions.push_back({false, path, package_.Folders().ExpandAllToNative(t.finish.parameters),
                           platform::ExtractFileDir(path, platform::kNativeSeparators)});
    }
    return actions;
}

} // namespace setup
