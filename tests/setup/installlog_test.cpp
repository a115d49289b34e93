#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "install_support.h"
#include "setup/folders.h"
#include "setup/installlog.h"
#include "setup/setuppackage.h"

using namespace setuptest;
namespace fs = std::filesystem;

namespace {

std::string Package(const std::string& extra, const std::string& date = "45000") {
    return R"JSON({"settings": {"publisher": "Vexlor", "product": "Demo", "version": "2.0",
        "releaseDate": ")JSON" +
           date + R"JSON(", "appFolder": "%PROGRAMFILES%\\Demo"},
      "files": [{"name": "a.txt", "text": "a"}, {"name": "b.txt", "text": "b"},
                {"name": "viewer", "text": "#!/bin/sh\n"}],
      "components": [
        {"name": "Main", "userMayChoose": false, "folders": [{"name": "%APPFOLDER%",
           "items": [{"file": "a.txt"}, {"file": "viewer"}]}]},
        {"name": "Extra", "userMayChoose": true, "selected": true, "folders": [{"name": "%APPFOLDER%",
           "items": [{"file": "b.txt"}]}]}])JSON" +
           extra + "}";
}

// An earlier log as the engine writes it, with the given sections.
std::string EarlierLog(const std::string& appFolder, const std::string& files,
                       const std::string& types, const std::string& date = "2023\n3\n15") {
    return "; Packwhistler Installation Log\n; x\n; y\n; z\n; w\n1\nVexlor Demo 1.0\n" + date +
           "\nVexlor\nDemo\n1.0\n\n\n\n\n\n\n\n2\n%APPFOLDER%\nApplication folder\n" + appFolder +
           "/\n%OLDVAR%\nOld folder\n*/opt/old\n2\nMain\nSR\nExtra\nR\n" + files +
           "%%%\nHKEY_CURRENT_USER\\Software\\Old\tValue\n%%%\n" + types + "%%%\n%%%\n";
}

} // namespace

TEST(InstallLog, NameIsFirstFreeCargonLog) {
    TSandbox sb;
    setup::TPendingFileOperations pending(sb.Path("pending"));
    std::string app = sb.Path("app");
    fs::create_directories(app);
    std::string none;
    EXPECT_EQ(setup::ChooseLogName(app, none, pending, {sb.Dir()}), app + "/Cargon.log");
    WriteFile(app + "/Cargon.log", "");
    WriteFile(app + "/Cargon2.log", "");
    EXPECT_EQ(setup::ChooseLogName(app, none, pending, {sb.Dir()}), app + "/Cargon3.log");
    // An earlier log in the same folder is reused.
    std::string same = app + "/Cargon2.log";
    EXPECT_EQ(setup::ChooseLogName(app + "/", same, pending, {sb.Dir()}), app + "/Cargon2.log");
    // One elsewhere is deleted and forgotten.
    fs::create_directories(sb.Path("other"));
    WriteFile(sb.Path("other/Cargon.log"), "old");
    std::string elsewhere = sb.Path("other/Cargon.log");
    EXPECT_EQ(setup::ChooseLogName(app, elsewhere, pending, {sb.Dir()}), app + "/Cargon3.log");
    EXPECT_TRUE(elsewhere.empty());
    EXPECT_FALSE(Exists(sb.Path("other/Cargon.log")));
    // One outside the installation's folders is only forgotten.
    TSandbox outside;
    WriteFile(outside.Path("Cargon.log"), "not ours");
    std::string foreign = outside.Path("Cargon.log");
    EXPECT_EQ(setup::ChooseLogName(app, foreign, pending, {sb.Dir()}), app + "/Cargon3.log");
    EXPECT_TRUE(foreign.empty());
    EXPECT_EQ(ReadFile(outside.Path("Cargon.log")), "not ours");
}

TEST(InstallLog, LineBreaksAreRefused) {
    TSandbox sb;
    setup::TInstallLog log;
    log.Create(sb.Path("x.log"));
    log.WriteLine("fine");
    EXPECT_THROW(log.WriteLine("two\nlines"), setup::ESetupError);
    EXPECT_THROW(log.WriteLine("cr\rhere"), setup::ESetupError);
    log.Close();
    EXPECT_EQ(ReadFile(sb.Path("x.log")), "fine\n");
}

TEST(InstallLog, DayNumbersRoundTrip) {
    int y = 0, m = 0, d = 0;
    setup::DayToDate(45000, y, m, d);
    EXPECT_EQ(y, 2023);
    EXPECT_EQ(m, 3);
    EXPECT_EQ(d, 15);
    setup::DayToDate(1, y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, 18991231);
    for (std::int32_t day : {1, 60, 61, 36526, 45000, 73050}) {
        setup::DayToDate(day, y, m, d);
        EXPECT_EQ(setup::DateToDay(y, m, d), day);
    }
}

TEST(InstallLog, SecondInstallIntoAnotherFolderMovesTheLog) {
    TInstallSandbox sb;
    ASSERT_TRUE(sb.Install(Package("")).completed);
    std::string first = sb.AppFolder() + "/Cargon.log";
    ASSERT_TRUE(Exists(first));
    setup::TInstallAnswers answers;
    answers.folders["%APPFOLDER%"] = sb.Roots().sandbox.string() + "/elsewhere";
    auto r = sb.Install(Package(""), "p2", answers);
    ASSERT_TRUE(r.completed) << r.errorMessage;
    EXPECT_EQ(r.logPath, sb.Roots().sandbox.string() + "/elsewhere/Cargon.log");
    EXPECT_FALSE(Exists(first));
    EXPECT_EQ(
        sb.Registry().ReadString(platform::RootKey::LocalMachine, setup::kTollvaneKey, "Demo"),
        r.logPath);
}

TEST(InstallLog, ProductWithoutVersionPublisherOrUrlsLeavesThoseValuesOut) {
    TInstallSandbox sb;
    auto r =
        sb.Install(R"JSON({"settings": {"product": "Bare", "appFolder": "%PROGRAMFILES%\\Bare"},
        "files": [{"name": "a.txt", "text": "a"}],
        "components": [{"name": "Main", "folders": [{"name": "%APPFOLDER%", "items": [{"file": "a.txt"}]}]}]})JSON");
    ASSERT_TRUE(r.completed) << r.errorMessage;
    auto names = sb.Registry().ValueNames(platform::RootKey::LocalMachine,
                                          std::string(setup::kUninstallKey) + "\\Bare");
    std::vector<std::string> expected = {"DisplayName",     "EstimatedSize", "InstallDate",
                                         "InstallLocation", "NoModify",      "NoRepair",
                                         "UninstallString"};
    EXPECT_EQ(names, expected);
}

struct ReleaseCase {
    const char* earlierDate;
    setup::TReleaseComparison comparison;
    std::vector<std::string> lines;
    setup::TWelcomeDefault button;
};

TEST(InstallLog, PreviousLogPresetsAndComparesRelease) {
    const std::vector<ReleaseCase> cases = {
        {"2023\n3\n14",
         setup::TReleaseComparison::Newer,
         {"Vexlor Demo 1.0 is already installed.", "This package is newer.",
          "Install to update it."},
         setup::TWelcomeDefault::Install},
        {"2023\n3\n15",
         setup::TReleaseComparison::Same,
         {"Vexlor Demo 1.0 is already installed.", "This package is the same.",
          "You may change the components.", "Choose the components."},
         setup::TWelcomeDefault::Components},
        {"2024\n1\n1",
         setup::TReleaseComparison::Older,
         {"Vexlor Demo 1.0 is already installed.", "This package is older.",
          "Installing it is not recommended."},
         setup::TWelcomeDefault::Exit},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.earlierDate);
        TInstallSandbox sb;
        std::string app = sb.Roots().sandbox.string() + "/earlier";
        fs::create_directories(app);
        WriteFile(app + "/kept.txt", "k");
        WriteFile(sb.Path("log"),
                  EarlierLog(app, app + "/kept.txt\n" + app + "/gone.txt\n", "", c.earlierDate));
        sb.Registry().WriteString(platform::RootKey::LocalMachine, setup::kTollvaneKey, "Demo",
                                  sb.Path("log"));
        BuildPackage(Package(""), sb.Path("p.exe"));
        setup::TSetupPackage package(sb.Roots());
        package.Open(sb.Path("p.exe"));
        package.ReadTables();
        auto prev = setup::ReadPreviousInstallLog(package, sb.Registry());
        EXPECT_TRUE(prev.found);
        EXPECT_EQ(prev.comparison, c.comparison);
        EXPECT_EQ(prev.welcomeLines, c.lines);
        EXPECT_EQ(prev.defaultButton, c.button);
        EXPECT_EQ(package.Folders().Find("%APPFOLDER%")->path, app) << "trailing separator cut";
        // Recorded outside this sandbox (by a run in another one): not taken
        // in as a folder inside it.
        EXPECT_EQ(package.Folders().Find("%OLDVAR%"), nullptr);
        const auto& comps = package.Tables().components;
        EXPECT_FALSE(comps[1].selected) << "a choosable component follows its earlier S mark";
        EXPECT_TRUE(comps[1].previouslyInstalled);
        EXPECT_EQ(prev.oldFiles.size(), 1u);
        EXPECT_EQ(prev.listedFiles.size(), 2u);
        EXPECT_EQ(prev.registryLines.count("HKEY_CURRENT_USER\\Software\\Old\tValue"), 1u);
    }
}

TEST(InstallLog, MissingOrDamagedEarlierLogIsNoInstallation) {
    TInstallSandbox sb;
    BuildPackage(Package(""), sb.Path("p.exe"));
    setup::TSetupPackage package(sb.Roots());
    package.Open(sb.Path("p.exe"));
    package.ReadTables();
    sb.Registry().WriteString(platform::RootKey::LocalMachine, setup::kTollvaneKey, "Demo",
                              sb.Path("missing.log"));
    EXPECT_FALSE(setup::ReadPreviousInstallLog(package, sb.Registry()).found);
    WriteFile(sb.Path("bad.log"), "; only\n; comments\nnot a number\n");
    sb.Registry().WriteString(platform::RootKey::LocalMachine, setup::kTollvaneKey, "Demo",
                              sb.Path("bad.log"));
    EXPECT_FALSE(setup::ReadPreviousInstallLog(package, sb.Registry()).found);
    // A log that ends inside section 1 keeps what was read before.
    WriteFile(sb.Path("cut.log"), EarlierLog(sb.Path("x"), "", "").substr(0, 200));
    sb.Registry().WriteString(platform::RootKey::LocalMachine, setup::kTollvaneKey, "Demo",
                              sb.Path("cut.log"));
    EXPECT_NO_THROW(setup::ReadPreviousInstallLog(package, sb.Registry()));
}

TEST(InstallLog, FileTypeKeepsValuesFromBeforeTheFirstInstallation) {
    TInstallSandbox sb;
    std::string app = sb.AppFolder();
    fs::create_directories(app);
    std::string types =
        ".dmo\nOriginal description\nDemo file\nold.ico,0\n\nopen\nold-open %1\n\"x\" "
        "%1\nprint\nold-print\nnew-print\n%\n.zzz\nZ before\nZ now\n\n\n%\n";
    WriteFile(sb.Path("log"), EarlierLog(app, "", types));
    sb.Registry().WriteString(platform::RootKey::LocalMachine, setup::kTollvaneKey, "Demo",
                              sb.Path("log"));
    // The registry now holds what the earlier installation wrote.
    sb.Registry().WriteString(platform::RootKey::ClassesRoot, "dmofile", "", "Demo file");
    auto r = sb.Install(Package(R"JSON(, "fileTypes": [{"register": 0, "description": "Demo file",
        "extension": ".dmo", "actions": [{"verb": "open", "program": "viewer", "command": "%1"}]}])JSON"));
    ASSERT_TRUE(r.completed) << r.errorMessage;
    std::string log = ReadFile(r.logPath);
    auto section3 = log.substr(log.find("%%%\n", log.find("%%%\n") + 1) + 4);
    EXPECT_EQ(section3.substr(0, section3.find("%%%")),
              ".dmo\nOriginal description\nDemo file\nold.ico,0\n\nopen\nold-open %1\n"
              "\"" +
                  app +
                  "/viewer\" %1\nprint\nold-print\nnew-print\n%\n"
                  ".zzz\nZ before\nZ now\n\n\n%\n");
    EXPECT_EQ(sb.Registry().ReadString(platform::RootKey::ClassesRoot,
                                       "dmofile\\shell\\open\\command", ""),
              "\"" + app + "/viewer\" %1");
}

TEST(InstallLog, OldFilesAreDeletedOnlyUnderRootsAndNeverThroughLinks) {
    TInstallSandbox sb;
    std::string app = sb.AppFolder();
    fs::create_directories(app + "/sub");
    WriteFile(app + "/obsolete.txt", "o");
    WriteFile(app + "/sub/obsolete2.txt", "o");
    // Outside every folder-variable root.
    WriteFile(sb.Path("outside.txt"), "keep");
    // A link inside the application folder pointing outside: only the link goes.
    fs::create_directories(sb.Path("target"));
    WriteFile(sb.Path("target/precious.txt"), "keep");
    fs::create_symlink(sb.Path("target/precious.txt"), app + "/link.txt");
    // A folder link: files "below" it are not deleted.
    fs::create_directory_symlink(sb.Path("target"), app + "/dirlink");
    std::string files = app + "/obsolete.txt\n" + app + "/sub/obsolete2.txt\n" +
                        sb.Path("outside.txt") + "\n" + app + "/link.txt\n" + app +
                        "/dirlink/precious.txt\n" + app + "/../../../../outside.txt\n" + app +
                        "/a.txt\n";
    WriteFile(sb.Path("log"), EarlierLog(app, files, ""));
    sb.Registry().WriteString(platform::RootKey::LocalMachine, setup::kTollvaneKey, "Demo",
                              sb.Path("log"));
    auto r = sb.Install(Package(R"JSON(, "uninstallOptions": {"bytes": [1, 0, 0]})JSON"));
    ASSERT_TRUE(r.completed) << r.errorMessage;
    EXPECT_FALSE(Exists(app + "/obsolete.txt"));
    EXPECT_FALSE(Exists(app + "/sub/obsolete2.txt"));
    EXPECT_FALSE(Exists(app + "/sub")) << "an emptied folder is removed";
    EXPECT_TRUE(Exists(sb.Path("outside.txt")));
    EXPECT_FALSE(Exists(app + "/link.txt"));
    EXPECT_EQ(ReadFile(sb.Path("target/precious.txt")), "keep");
    EXPECT_TRUE(Exists(app + "/a.txt")) << "a file this run installed stays";
}

TEST(InstallLog, OldFilesAreLoggedWhenNotDeleted) {
    TInstallSandbox sb;
    std::string app = sb.AppFolder();
    fs::create_directories(app);
    WriteFile(app + "/obsolete.txt", "o");
    WriteFile(sb.Path("log"), EarlierLog(app, app + "/obsolete.txt\n", ""));
    sb.Registry().WriteString(platform::RootKey::LocalMachine, setup::kTollvaneKey, "Demo",
                              sb.Path("log"));
    auto r = sb.Install(Package(""));
    ASSERT_TRUE(r.completed);
    EXPECT_TRUE(Exists(app + "/obsolete.txt"));
    std::string log = ReadFile(r.logPath);
    EXPECT_NE(log.find(app + "/obsolete.txt\n%%%\n"), std::string::npos) << log;
    // The earlier installation's registry values stay in the log.
    EXPECT_NE(log.find("HKEY_CURRENT_USER\\Software\\Old\tValue\n"), std::string::npos);
}

namespace {

TEST(InstallLog, ARunInAnotherSandboxDoesNotNestTheEarlierFolderInsideItsOwn) {
    // One registry shared by runs in two sandboxes: the second finds the
    // first one's log, but its folders lie outside the second sandbox.
    TSandbox dirs;
    auto a = platform::SystemRoots::InSandbox(dirs.Path("boxA"), platform::InstallScope::User);
    auto b = platform::SystemRoots::InSandbox(dirs.Path("boxB"), platform::InstallScope::User);
    a.CreateFolders();
    b.CreateFolders();
    auto registry = platform::OpenFileRegistry(fs::path(dirs.Path("reg")));
    BuildPackage(R"({"settings": {"product": "Demo", "appFolder": "%PROGRAMFILES%\\Demo"},
      "files": [{"name": "a.txt", "text": "a"}],
      "components": [{"name": "Main", "folders": [{"name": "%APPFOLDER%", "items": [{"file": "a.txt"}]}]}]})",
                 dirs.Path("p.exe"));
    setup::TInstallAnswers answers;
    components::TScriptedMessenger messenger;
    auto first = setup::InstallPackage(dirs.Path("p.exe"), answers, a, *registry, messenger);
    ASSERT_TRUE(first.completed) << first.errorMessage;
    auto second = setup::InstallPackage(dirs.Path("p.exe"), answers, b, *registry, messenger);
    ASSERT_TRUE(second.completed) << second.errorMessage;
    const std::string app = b.programFiles.string() + "/Demo";
    EXPECT_EQ(second.logPath, app + "/Cargon.log");
    EXPECT_EQ(ReadFile(app + "/a.txt"), "a");
    EXPECT_FALSE(Exists(dirs.Path("boxB") + dirs.Path("boxA"))) << "no box inside the box";
    EXPECT_TRUE(Exists(first.logPath)) << "the other sandbox's log is not ours to delete";
    EXPECT_EQ(ReadFile(second.logPath).find(dirs.Path("boxA")), std::string::npos)
        << "nor are its files";
}

} // namespace

namespace {

TEST(InstallLog, TheEarlierLogStaysUntilTheNewOneIsWhole) {
    TSandbox sb;
    const std::string path = sb.Path("Cargon.log");
    WriteFile(path, "earlier\n");
    {
        setup::TInstallLog log;
        log.Create(path);
        log.WriteLine("new");
        EXPECT_EQ(ReadFile(path), "earlier\n") << "not yet";
        // Left without Close (a run that could not finish it).
    }
    EXPECT_EQ(ReadFile(path), "earlier\n");
    for (const auto& name : ListFolder(sb.Dir()))
        EXPECT_NE(name.rfind("cgn", 0), 0u) << "no temporary file left: " << name;
    setup::TInstallLog log;
    log.Create(path);
    log.WriteLine("new");
    log.Close();
    EXPECT_EQ(ReadFile(path), "new\n");
}

} // namespace
