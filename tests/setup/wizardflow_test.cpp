// The wizard's decisions without a window: welcome buttons, page order and
// Back, component choice and disk space, folder cleaning, file types and
// the portable page.
#include "setup/wizardflow.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <memory>
#include <set>

#include "components/scriptedmessenger.h"
#include "setup/setuppackage.h"
#include "setup/setupsession.h"
#include "wizard_support.h"

using components::TScriptedMessenger;
using setup::TWizardPage;
using namespace setuptest;

namespace {

class WizardFlowTest : public ::testing::Test {
protected:
    // Opens the package and builds the welcome page; `prepare` reads the
    // tables as the wizard does after its first show.
    setup::TWizardFlow& Open(const std::string& json, bool prepare = true,
                             platform::Registry* registry = nullptr,
                             const std::vector<std::string>& faults = {}) {
        path_ = sb_.Path("p.exe");
        BuildPackage(json, path_, faults);
        flow_.reset();
        session_ = std::make_unique<setup::TSetupSession>(
            sb_.Roots(), registry ? *registry : sb_.Registry(), messenger_, sb_.SelfPath());
        session_->Open(path_);
        package_ = &session_->Package();
        flow_ = std::make_unique<setup::TWizardFlow>(*session_, sb_.Environment());
        flow_->BuildWelcome();
        if (prepare) {
            EXPECT_TRUE(flow_->PrepareInstallation());
        }
        return *flow_;
    }
    std::vector<bool> Selection() const {
        std::vector<bool> s;
        for (const auto& c : package_->Tables().components)
            s.push_back(c.selected);
        return s;
    }
    std::size_t ComponentIndex(const std::string& name) const {
        const auto& comps = package_->Tables().components;
        for (std::size_t i = 0; i < comps.size(); ++i)
            if (comps[i].name == name)
                return i;
        ADD_FAILURE() << name;
        return 0;
    }

    TWizardSandbox sb_;
    TScriptedMessenger messenger_;
    std::string path_;
    std::unique_ptr<setup::TSetupSession> session_;
    setup::TSetupPackage* package_ = nullptr;
    std::unique_ptr<setup::TWizardFlow> flow_;
};

// A package description with the given readme, install mode, advanced flag
// and whether its component may be chosen.
std::string ButtonPackage(bool readme, int mode, bool advanced, bool choice) {
    std::string json = R"({"settings": {"product": "Demo", "version": "1",)";
    if (readme)
        json += R"("readme": "readme.txt",)";
    json += R"("appFolder": "%PROGRAMFILES%\\Demo"},)";
    if (readme)
        json += R"("supportFiles": {"readme": {"text": "r"}},)";
    json += "\"installMode\": " + std::to_string(mode) +
            ", \"advancedPage\": " + std::to_string(advanced ? 1 : 0) + ",";
    json +=
        R"("files": [{"name": "a.txt", "text": "a"}],
      "components": [{"name": "Main", "userMayChoose": )" +
        std::string(choice ? "true" : "false") +
        R"(, "selected": true, "folders": [{"name": "%APPFOLDER%", "items": [{"file": "a.txt"}]}]}]})";
    return json;
}

} // namespace

TEST_F(WizardFlowTest, WelcomeButtonsFollowReadmeModeAndAdvancedFlag) {
    // Visible buttons as (id, slot) pairs in id order; -1 = hidden.
    struct Case {
        bool readme;
        int mode;
        bool advanced;
        bool choice;
        std::array<int, setup::wbCount> slots; // Install, Readme, Components, Advanced, Exit
    };
    const Case cases[] = {
        {true, 0, true, true, {0, 1, 2, 3, 4}},
        // Without a readme the buttons below it move up one place each.
        {false, 0, true, true, {0, -1, 1, 2, 3}},
        // No component to choose: Exit to Advanced's place, Advanced to Components'.
        {true, 0, true, false, {0, 1, -1, 2, 3}},
        // No advanced page: Exit takes its place.
        {true, 0, false, true, {0, 1, 2, -1, 3}},
        {false, 0, false, false, {0, -1, -1, -1, 1}},
        // Portable only: Exit takes the Components button's place.
        {true, 2, true, true, {0, 1, -1, -1, 2}},
        {false, 1, false, false, {0, -1, 1, -1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "readme " << c.readme << " mode " << c.mode
                                          << " advanced " << c.advanced << " choice " << c.choice);
        auto& flow = Open(ButtonPackage(c.readme, c.mode, c.advanced, c.choice));
        const auto& buttons = flow.Welcome().buttons;
        for (int b = 0; b < setup::wbCount; ++b) {
            if (c.slots[b] < 0) {
                EXPECT_FALSE(buttons[b].visible) << b;
            } else {
                EXPECT_TRUE(buttons[b].visible) << b;
                EXPECT_EQ(buttons[b].slot, c.slots[b]) << b;
            }
        }
        // No two visible buttons share a place.
        std::set<int> used;
        for (const auto& b : buttons)
            if (b.visible) {
                EXPECT_TRUE(used.insert(b.slot).second) << b.caption;
            }
    }
}

TEST_F(WizardFlowTest, FailedRightsProbeBlocksNormalInstallOrTurnsPortable) {
    auto& normal = Open(ButtonPackage(true, 0, true, true), false, &sb_.BlockedRegistry());
    EXPECT_FALSE(normal.InstallationAllowed());
    EXPECT_FALSE(normal.Welcome().buttons[setup::wbInstall].enabled);
    EXPECT_FALSE(normal.Welcome().buttons[setup::wbComponents].enabled);
    ASSERT_EQ(normal.Welcome().rightsLines.size(), 2u);
    EXPECT_EQ(normal.Welcome().rightsLines[1], package_->Ui().Get(15));
    EXPECT_FALSE(normal.PrepareInstallation());
    EXPECT_EQ(normal.Install(), TWizardPage::Welcome);

    auto& both = Open(ButtonPackage(true, 1, true, true), true, &sb_.BlockedRegistry());
    EXPECT_TRUE(both.InstallationAllowed());
    EXPECT_EQ(session_->InstallMode(), setup::TInstallMode::PortableOnly);
    ASSERT_EQ(both.Welcome().rightsLines.size(), 2u);
    EXPECT_EQ(both.Welcome().rightsLines[1], package_->Ui().Get(90));
    EXPECT_EQ(both.Welcome().buttons[setup::wbInstall].caption, package_->Ui().Get(77));
    EXPECT_EQ(both.Install(), TWizardPage::Portable);
}

TEST_F(WizardFlowTest, BackOnTheComponentsPageRestoresTheSelection) {
    auto& flow = Open(NormalPackageJson());
    EXPECT_EQ(flow.Components(), TWizardPage::Components);
    const auto before = Selection();
    const std::size_t docs = ComponentIndex("Docs"), extras = ComponentIndex("Extras");
    auto shown = flow.TreeComponents();
    EXPECT_EQ(shown, (std::vector<std::size_t>{docs, extras})) << "only what may be chosen";
    EXPECT_FALSE(flow.Toggle(ComponentIndex("Program"))) << "a fixed component stays";
    EXPECT_TRUE(flow.Toggle(docs));
    EXPECT_TRUE(flow.Toggle(extras));
    EXPECT_NE(Selection(), before);
    EXPECT_EQ(flow.Back(), TWizardPage::Welcome);
    EXPECT_EQ(Selection(), before);

    // From the advanced road Back returns to the file-type page.
    EXPECT_EQ(flow.Advanced(), TWizardPage::Advanced);
    std::vector<std::string> texts;
    for (const auto& row : flow.FolderRows())
        texts.push_back(row.path);
    int focus = 0;
    EXPECT_EQ(flow.ProceedAdvanced(texts, focus), TWizardPage::FileTypes);
    EXPECT_EQ(flow.ProceedFileTypes({true}), TWizardPage::Components);
    EXPECT_TRUE(flow.Toggle(extras));
    EXPECT_EQ(flow.Back(), TWizardPage::FileTypes);
    EXPECT_EQ(Selection(), before);
    EXPECT_EQ(flow.Back(), TWizardPage::Advanced);
    EXPECT_EQ(flow.Back(), TWizardPage::Welcome);
}

TEST_F(WizardFlowTest, SpaceLineAndDiskSpaceQuestion) {
    auto& flow = Open(NormalPackageJson());
    flow.Components();
    // Program (fixed) and Docs: the script and 200,000 bytes.
    const std::uint64_t size = flow.SelectedSize();
    EXPECT_EQ(size, 200000u + std::string("#!/bin/sh\necho demo\n").size());
    sb_.freeBytes = 2 * size;
    auto line = flow.SpaceLine();
    EXPECT_EQ(line.text, "Space needed: 195.33 kB (50%)");
    EXPECT_FALSE(line.warn);
    sb_.freeBytes = size + 1000;
    EXPECT_TRUE(flow.SpaceLine().warn) << "91 % and more is a warning";
    ASSERT_FALSE(sb_.freeSpaceAsked.empty());
    EXPECT_EQ(sb_.freeSpaceAsked.back(), sb_.AppFolder());

    // Enough space: no question.
    EXPECT_TRUE(flow.CheckDiskSpace());
    EXPECT_TRUE(messenger_.Records.empty());

    // Too little: the question names both amounts in the free space's unit;
    // No stays on the page, Yes goes on.
    flow.Toggle(ComponentIndex("Extras"));
    sb_.freeBytes = 100000;
    messenger_.QueueAnswer(components::mrNo);
    EXPECT_EQ(flow.Proceed(), TWizardPage::Components);
    ASSERT_EQ(messenger_.Records.size(), 1u);
    EXPECT_EQ(messenger_.Records[0].Text,
              "Not enough space on /: 292.99 kB needed, 97.66 kB free.\r\rDo you want to "
              "continue?");
    EXPECT_EQ(messenger_.Records[0].Icon, components::TMessageKind::Warning);
    messenger_.QueueAnswer(components::mrYes);
    EXPECT_EQ(flow.Proceed(), TWizardPage::Licence);
}

TEST_F(WizardFlowTest, FolderCleaningRejectsOnceThenAccepts) {
    auto& flow = Open(WizardPackageJson());
    EXPECT_EQ(flow.Advanced(), TWizardPage::Advanced);
    auto rows = flow.FolderRows();
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0].name, "%APPFOLDER%");
    std::vector<std::string> texts;
    for (const auto& r : rows)
        texts.push_back(r.path);
    const std::string wanted = sb_.Path("root/chosen") + "/Demo";
    texts[0] = "  " + wanted + "?/ ";
    int focus = -1;
    EXPECT_EQ(flow.ProceedAdvanced(texts, focus), TWizardPage::Advanced);
    EXPECT_EQ(focus, 0);
    EXPECT_EQ(texts[0], wanted) << "the cleaned text goes back into the edit";
    ASSERT_EQ(messenger_.Records.size(), 1u);
    EXPECT_EQ(messenger_.Records[0].Text, package_->Ui().Get(75));
    EXPECT_EQ(messenger_.Records[0].Caption, setup::StripAccelerators(rows[0].caption));
    // The cleaned text passes without another message.
    EXPECT_EQ(flow.ProceedAdvanced(texts, focus), TWizardPage::FileTypes);
    EXPECT_EQ(messenger_.Records.size(), 1u);
    EXPECT_EQ(package_->Folders().Find("%APPFOLDER%")->path, wanted);

    // An empty or relative folder is refused as well.
    EXPECT_EQ(flow.Back(), TWizardPage::Advanced);
    texts[0] = "relative/folder";
    EXPECT_EQ(flow.ProceedAdvanced(texts, focus), TWizardPage::Advanced);
    EXPECT_EQ(messenger_.Records.size(), 2u);
}

TEST(WizardTexts, CleaningPortableFoldersAndSizes) {
    bool changed = false;
    EXPECT_EQ(setup::CleanFolderText(" C:\\Pro<gram>s|\\ ", changed), "C:\\Programs");
    EXPECT_TRUE(changed);
    EXPECT_EQ(setup::CleanFolderText("/opt/demo/", changed), "/opt/demo");
    EXPECT_FALSE(changed);
    EXPECT_EQ(setup::CleanFolderText("/a:b", changed), "/ab");
    EXPECT_TRUE(changed);
    EXPECT_EQ(setup::StripAccelerators("&Folder && more"), "Folder & more");
    EXPECT_EQ(setup::FormatByteSize(1024), "1.00 kB");
    EXPECT_EQ(setup::FormatByteSize(3u << 20), "3.00 MB");
    EXPECT_EQ(setup::FormatByteSize(std::uint64_t(5) << 30), "5.00 GB");
}

TEST_F(WizardFlowTest, FileTypeAndFolderChoicesReachTheInstallation) {
    auto& flow = Open(NormalPackageJson());
    EXPECT_EQ(flow.Advanced(), TWizardPage::Advanced);
    std::vector<std::string> texts;
    for (const auto& row : flow.FolderRows())
        texts.push_back(row.path);
    const std::string chosen = sb_.Path("root/elsewhere") + "/Demo";
    texts[0] = chosen;
    int focus = -1;
    ASSERT_EQ(flow.ProceedAdvanced(texts, focus), TWizardPage::FileTypes);
    auto types = flow.FileTypeRows();
    ASSERT_EQ(types.size(), 1u);
    EXPECT_TRUE(types[0].checked);
    EXPECT_EQ(types[0].text, ".dmo -> Demo document (open)");
    ASSERT_EQ(flow.ProceedFileTypes({false}), TWizardPage::Components);
    ASSERT_EQ(flow.Proceed(), TWizardPage::Licence);
    ASSERT_EQ(flow.LicenceYes(), TWizardPage::Installing);
    ASSERT_EQ(flow.Run(), TWizardPage::Done);
    ASSERT_TRUE(flow.Result().completed) << flow.Result().errorMessage;
    EXPECT_TRUE(Exists(chosen + "/demo.sh"));
    EXPECT_TRUE(Exists(chosen + "/Docs/guide.txt"));
    EXPECT_FALSE(Exists(chosen + "/extra.bin"));
    EXPECT_FALSE(Exists(sb_.AppFolder() + "/demo.sh"));
    EXPECT_FALSE(Exists(sb_.Roots().mimePackages.string() + "/packages/x-vexlor-dmo.xml"))
        << "the unticked file type is not registered";
    EXPECT_EQ(flow.Done().text, "Demo 1.0 has been installed.");
}

TEST_F(WizardFlowTest, TickedFileTypeIsRegistered) {
    auto& flow = Open(NormalPackageJson());
    flow.Advanced();
    std::vector<std::string> texts;
    for (const auto& row : flow.FolderRows())
        texts.push_back(row.path);
    int focus = -1;
    flow.ProceedAdvanced(texts, focus);
    flow.ProceedFileTypes({true});
    flow.Proceed();
    flow.LicenceYes();
    ASSERT_EQ(flow.Run(), TWizardPage::Done);
    ASSERT_TRUE(flow.Result().completed) << flow.Result().errorMessage;
    EXPECT_TRUE(Exists(sb_.Roots().mimePackages.string() + "/packages/x-vexlor-dmo.xml"));
}

TEST_F(WizardFlowTest, PortablePageChoosesDriveAndFolder) {
    sb_.drives = {FixedDrive(sb_.Path("root/disk"), "disk", 5u << 20)};
    auto& flow = Open(WizardPackageJson());
    EXPECT_EQ(flow.Components(), TWizardPage::Portable) << "install mode 1";
    EXPECT_TRUE(flow.FillDriveList(false).empty()) << "no removable drive";
    ASSERT_EQ(flow.FillDriveList(true).size(), 1u);
    EXPECT_EQ(flow.Drives()[0].freeText, "5.00 MB");
    EXPECT_EQ(flow.PortableFolderText(), "\\Portable\\Demo");

    // Without a selected drive a box asks for one.
    EXPECT_EQ(flow.ProceedPortable(-1, "x"), TWizardPage::Portable);
    ASSERT_EQ(messenger_.Records.size(), 1u);
    EXPECT_EQ(messenger_.Records[0].Text, "Drive:");
    EXPECT_EQ(messenger_.Records[0].Caption, "Portable");

    // A folder that climbs off the drive is refused like an invalid one.
    EXPECT_EQ(flow.ProceedPortable(0, "\\Portable\\..\\..\\escape"), TWizardPage::Portable);
    ASSERT_EQ(messenger_.Records.size(), 2u);
    EXPECT_EQ(messenger_.Records[1].Text, "Invalid folder.");
    EXPECT_EQ(messenger_.Records[1].Caption, "Portable");
    EXPECT_FALSE(flow.Portable()) << "no portable folder taken";

    EXPECT_EQ(flow.ProceedPortable(0, "Z:\\Portable\\Demo\\"), TWizardPage::Components);
    EXPECT_EQ(flow.PortableTarget(), sb_.Path("root/disk") + "/Portable/Demo");
    EXPECT_EQ(flow.Back(), TWizardPage::Portable) << "Back from components of a portable run";
    EXPECT_EQ(flow.ProceedPortable(0, "\\Portable\\Demo"), TWizardPage::Components);
    EXPECT_EQ(flow.Proceed(), TWizardPage::Licence);
    EXPECT_EQ(flow.LicenceYes(), TWizardPage::Installing);
    EXPECT_EQ(flow.Run(), TWizardPage::Done);
    ASSERT_TRUE(flow.Result().completed) << flow.Result().errorMessage;
    const std::string target = sb_.Path("root/disk") + "/Portable/Demo";
    EXPECT_TRUE(Exists(target + "/demo.sh"));
    EXPECT_TRUE(Exists(target + "/Docs/guide.txt"));
    EXPECT_FALSE(Exists(target + "/Cargon.log")) << "a portable run keeps no log";
    EXPECT_FALSE(Exists(sb_.AppFolder() + "/demo.sh"));
    EXPECT_TRUE(flow.FinishActions().empty()) << "finish flags 0";
}

TEST_F(WizardFlowTest, MissingPrerequisiteWaitsOnItsPage) {
    std::string json = NormalPackageJson();
    json.insert(json.rfind('}'), R"(, "thirdParty": [{"name": "Tool",
        "filePath": "%APPCOMMONFOLDER%\\tool.flag"}])");
    json.replace(json.find("\"menuFolder\""), 0, R"("commonAppFolder": "%COMMONFILES%\\Tool",)");
    auto& flow = Open(json);
    flow.Install();
    EXPECT_EQ(flow.Page(), TWizardPage::Licence);
    flow.LicenceYes();
    EXPECT_EQ(flow.Run(), TWizardPage::Prerequisite);
    EXPECT_EQ(flow.Prerequisite().text, "Tool must be installed first.");
    EXPECT_FALSE(flow.Result().completed);
    EXPECT_EQ(flow.Proceed(), TWizardPage::Prerequisite) << "still missing";
    const auto* common = package_->Folders().Find("%APPCOMMONFOLDER%");
    ASSERT_NE(common, nullptr);
    std::filesystem::create_directories(common->path);
    WriteFile(common->path + "/tool.flag", "");
    EXPECT_EQ(flow.Proceed(), TWizardPage::Installing);
    EXPECT_EQ(flow.Run(), TWizardPage::Done);
    EXPECT_TRUE(flow.Result().completed) << flow.Result().errorMessage;
}

namespace {

TEST_F(WizardFlowTest, FinishStartsTheProgramTheRunInstalledNotADecoy) {
    // The program goes into the common folder; an old copy of the same
    // name waits in a backup folder below the application folder.
    std::string json = NormalPackageJson();
    json.replace(json.find("\"menuFolder\""), 0,
                 R"("commonAppFolder": "%COMMONFILES%\\DemoTools",)");
    const std::string program = R"({"name": "%APPFOLDER%", "items": [{"file": "demo.sh"}]})";
    json.replace(json.find(program), program.size(),
                 R"({"name": "%APPCOMMONFOLDER%", "items": [{"file": "demo.sh"}]})");
    json.insert(json.rfind('}'), R"(, "finish": {"flags": 134, "program": "demo.sh",
                                     "parameters": "--first-run %APPFOLDER%"})");
    std::filesystem::create_directories(sb_.AppFolder() + "/backup");
    WriteFile(sb_.AppFolder() + "/backup/demo.sh", "#!/bin/sh\necho old\n");
    auto& flow = Open(json);
    flow.Install();
    flow.LicenceYes();
    ASSERT_EQ(flow.Run(), TWizardPage::Done);
    ASSERT_TRUE(flow.Result().completed) << flow.Result().errorMessage;
    const std::string installed = package_->Folders().Find("%APPCOMMONFOLDER%")->path + "/demo.sh";
    ASSERT_TRUE(Exists(installed));
    auto actions = flow.FinishActions();
    ASSERT_EQ(actions.size(), 2u);
    EXPECT_TRUE(actions[0].openFolder);
    EXPECT_EQ(actions[0].path, package_->Folders().Find("%APPMENU%")->path);
    EXPECT_FALSE(actions[1].openFolder);
    EXPECT_EQ(actions[1].path, installed);
    EXPECT_EQ(actions[1].workingFolder, package_->Folders().Find("%APPCOMMONFOLDER%")->path);
    EXPECT_EQ(actions[1].parameters, "--first-run " + sb_.AppFolder());
}

TEST_F(WizardFlowTest, AfterGoingOnFromAFileThatFailedNothingLeadsToIt) {
    // demo.sh cannot be read from the package; the person goes on.
    std::string json = NormalPackageJson();
    json.insert(json.rfind('}'), R"(, "finish": {"flags": 4, "program": "demo.sh"})");
    for (int i = 0; i < 4; ++i)
        messenger_.QueueAnswer(components::mrYes);
    auto& flow = Open(json, true, nullptr, {"--fault", "wrong-crc=0"});
    flow.Install();
    flow.LicenceYes();
    ASSERT_EQ(flow.Run(), TWizardPage::Done);
    const setup::TInstallResult& result = flow.Result();
    EXPECT_TRUE(result.completed) << result.errorMessage;
    EXPECT_TRUE(result.errorAsked);
    EXPECT_EQ(flow.Done().text, "Demo 1.0 was installed with errors.");
    // The files after it are there; nothing points at the one that is not.
    EXPECT_FALSE(Exists(sb_.AppFolder() + "/demo.sh"));
    EXPECT_TRUE(Exists(sb_.AppFolder() + "/Docs/guide.txt"));
    EXPECT_FALSE(Exists(sb_.Roots().programsMenu.string() + "/Demo/Demo.desktop"));
    EXPECT_FALSE(sb_.Registry().KeyExists(platform::RootKey::ClassesRoot, ".dmo"));
    EXPECT_TRUE(flow.FinishActions().empty());
    EXPECT_TRUE(
        sb_.Registry().KeyExists(platform::RootKey::LocalMachine,
                                 "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Demo"));
}

TEST_F(WizardFlowTest, AnErrorOutsideTheStepsIsIntroducedOnce) {
    // A file where the application folder must go: the run stops before
    // its first step.
    auto& flow = Open(NormalPackageJson());
    std::filesystem::create_directories(std::filesystem::path(sb_.AppFolder()).parent_path());
    WriteFile(sb_.AppFolder(), "a file");
    flow.Install();
    flow.LicenceYes();
    ASSERT_EQ(flow.Run(), TWizardPage::Done);
    EXPECT_FALSE(flow.Result().completed);
    ASSERT_EQ(messenger_.Records.size(), 1u);
    const std::string& text = messenger_.Records[0].Text;
    const std::string intro = "An error occurred while installing Vexlor Demo 1.0:";
    EXPECT_EQ(text.find(intro), 0u) << text;
    EXPECT_EQ(text.find(intro, 1), std::string::npos) << "introduced twice: " << text;
    EXPECT_NE(text.find("could not be created"), std::string::npos) << text;
}

TEST_F(WizardFlowTest, FinishWithoutTheProgramInstalledStartsNothing) {
    // The program belongs to a component that was not chosen.
    std::string json = NormalPackageJson();
    json.insert(json.rfind('}'), R"(, "finish": {"flags": 4, "program": "extra.bin"})");
    WriteFile(sb_.Path("extra.bin"), "decoy");
    auto& flow = Open(json);
    flow.Install();
    flow.LicenceYes();
    ASSERT_EQ(flow.Run(), TWizardPage::Done);
    ASSERT_TRUE(flow.Result().completed) << flow.Result().errorMessage;
    EXPECT_TRUE(flow.FinishActions().empty());
}

} // namespace
