// How the run maps what a package says onto this system: literal folders,
// unknown variables, paths after a folder, text encodings, the log's
// sections after No, the files of file types, replacements left for the
// next start, and the uninstall registration's folder.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include <gtest/gtest.h>

#include "components/scriptedmessenger.h"
#include "install_support.h"
#include "platform/codepage.h"
#include "setup/folders.h"
#include "setup/installlog.h"
#include "setup/setupmain.h"

using namespace setuptest;
namespace fs = std::filesystem;
using platform::RootKey;

namespace {

std::string Uninstall(const std::string& product) {
    return std::string(setup::kUninstallKey) + "\\" + product;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// The four sections of a log (installed paths, registry values, file types,
// registered libraries), as written.
std::vector<std::vector<std::string>> LogSections(const std::string& logPath) {
    std::vector<std::string> lines = Lines(ReadFile(logPath));
    std::size_t i = 0;
    while (i < lines.size() && !lines[i].empty() && lines[i][0] == ';')
        ++i;
    i += 15; // format, title, date, publisher, product, version, six texts, command
    i += 1 + 3 * std::stoul(lines.at(i));
    i += 1 + 2 * std::stoul(lines.at(i));
    std::vector<std::vector<std::string>> sections(1);
    for (; i < lines.size(); ++i) {
        if (lines[i] == setup::kSectionEnd)
            sections.emplace_back();
        else
            sections.back().push_back(lines[i]);
    }
    sections.pop_back(); // after the last end line
    return sections;
}

std::string App(const std::string& folder = "%PROGRAMFILES%\\\\Demo") {
    return R"({"settings": {"product": "Demo", "appFolder": ")" + folder + R"("},
      "files": [{"name": "a.txt", "text": "a"}],
      "components": [{"name": "Main", "folders": [{"name": "%APPFOLDER%",
         "items": [{"file": "a.txt"}]}]}]})";
}

} // namespace

TEST(InstallMapping, LiteralFolderWithoutSandboxGoesWhereTheDriveMapPutsIt) {
    TInstallSandbox sb;
    platform::SystemRoots roots = sb.Roots();
    roots.sandbox.clear();
    fs::create_directories(roots.xdgConfigHome / "vexlor");
    std::ofstream(roots.xdgConfigHome / "vexlor" / "drives.conf")
        << "C=" << sb.Path("cdrive") << "\n";
    BuildPackage(App("C:\\\\Apps\\\\Dup"), sb.Path("p.exe"));
    components::TScriptedMessenger messenger;
    setup::TInstallAnswers answers;
    auto r = setup::InstallPackage(sb.Path("p.exe"), answers, roots, sb.Registry(), messenger);
    ASSERT_TRUE(r.completed) << r.errorMessage;
    EXPECT_EQ(ReadFile(sb.Path("cdrive/Apps/Dup/a.txt")), "a");
    EXPECT_EQ(r.logPath, sb.Path("cdrive/Apps/Dup/Cargon.log"));
    EXPECT_EQ(sb.Registry().ReadString(RootKey::LocalMachine, Uninstall("Demo"), "InstallLocation"),
              sb.Path("cdrive/Apps/Dup"));
}

TEST(InstallMapping, PathsAfterAFolderAreNativeAndOtherBackslashesStay) {
    TInstallSandbox sb;
    auto r =
        sb.Install(R"({"settings": {"product": "Demo", "appFolder": "%PROGRAMFILES%\\Kettle Timer",
                         "menuFolder": "%PROGRAMSMENU%\\Demo"},
      "files": [{"name": "k.sh", "text": "#!/bin/sh\n"}],
      "components": [{"name": "Main", "folders": [
        {"name": "%APPFOLDER%", "items": [{"file": "k.sh"}]},
        {"name": "%APPMENU%", "items": [{"shortcut": "k.sh", "name": "Kettle",
                                          "arguments": "--presets %APPFOLDER%\\x.ini /q"}]}]}],
      "registry": [{"root": "HKEY_CURRENT_USER", "keys": [{"name": "Software\\Kettle",
        "values": [{"name": "Presets", "string": "%APPFOLDER%\\My Presets"},
                   {"name": "Command", "string": "\"%APPFOLDER%\\k.sh\" \\q"},
                   {"name": "Pattern", "string": "a\\b"}]}]}]})");
    ASSERT_TRUE(r.completed) << r.errorMessage;
    std::string app = sb.Roots().programFiles.string() + "/Kettle Timer";
    auto value = [&](const char* name) {
        return sb.Registry().ReadString(RootKey::CurrentUser, "Software\\Kettle", name);
    };
    EXPECT_EQ(value("Presets"), app + "/My Presets");
    EXPECT_EQ(value("Command"), "\"" + app + "/k.sh\" \\q");
    EXPECT_EQ(value("Pattern"), "a\\b") << "not a path: left as it is";
    // The expanded folder holds a blank, and stays one argument.
    std::string launcher = ReadFile(sb.Roots().programsMenu.string() + "/Demo/Kettle.desktop");
    EXPECT_NE(launcher.find("Exec=\"" + app + "/k.sh\" --presets \"" + app + "/x.ini\" /q\n"),
              std::string::npos)
        << launcher;
}

TEST(InstallMapping, RegistryAndLogHoldWindows1252FilesUtf8) {
    TInstallSandbox sb;
    const std::string json = R"({"settings": {"product": "Caf\u00e9", "publisher": "Vexlor",
                                             "appFolder": "%PROGRAMFILES%\\Caf\u00e9"},
      "files": [{"name": "cr\u00e8me.txt", "text": "c"}],
      "components": [{"name": "Main", "folders": [{"name": "%APPFOLDER%",
         "items": [{"file": "cr\u00e8me.txt"}]}]}]})";
    auto r = sb.Install(json);
    ASSERT_TRUE(r.completed) << r.errorMessage;
    const std::string utf8 = sb.Roots().programFiles.string() + "/Caf\xC3\xA9";
    const std::string ansi = platform::Utf8ToCp1252(utf8);
    EXPECT_EQ(ReadFile(utf8 + "/cr\xC3\xA8me.txt"), "c") << "file names are UTF-8 on disk";
    EXPECT_EQ(r.logPath, utf8 + "/Cargon.log");
    std::string log = ReadFile(r.logPath);
    EXPECT_NE(log.find("\nVexlor Caf\xE9\n"), std::string::npos);
    EXPECT_NE(log.find("\n" + ansi + "/cr\xE8me.txt\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("\xC3"), std::string::npos) << "no UTF-8 in the log";
    const std::string key = Uninstall("Caf\xE9");
    EXPECT_EQ(sb.Registry().ReadString(RootKey::LocalMachine, key, "InstallLocation"), ansi);
    EXPECT_EQ(sb.Registry().ReadString(RootKey::LocalMachine, setup::kTollvaneKey, "Caf\xE9"),
              ansi + "/Cargon.log");
    EXPECT_TRUE(sb.Registry().ValueExists(RootKey::LocalMachine, setup::kSharedDllsKey,
                                          platform::Utf8ToCp1252(sb.Roots().windows.string()) +
                                              "/RetraxalV.exe"));

    // Read back, the earlier log finds its own files: a reinstall reuses it.
    auto again = sb.Install(json, "p2");
    ASSERT_TRUE(again.completed) << again.errorMessage;
    EXPECT_EQ(again.logPath, r.logPath);
    EXPECT_EQ(ReadFile(again.logPath), log);

    // A folder Windows-1252 cannot hold cannot be recorded: refused, with
    // nothing written there.
    setup::TInstallAnswers answers;
    std::string foreign = sb.Roots().programFiles.string() + "/\xE6\x9D\x8E";
    answers.folders["%APPFOLDER%"] = foreign;
    auto refused = sb.Install(json, "p3", answers);
    EXPECT_FALSE(refused.completed);
    EXPECT_NE(refused.errorMessage.find("Windows-1252"), std::string::npos) << refused.errorMessage;
    EXPECT_FALSE(Exists(foreign));
}

TEST(InstallMapping, AnUpdateThatStopsKeepsTheEarlierInstallationInItsLog) {
    // The first version installs a launcher, a registry value and a file
    // type; the update stops at its first file (No after the error). Its
    // log must still list everything the earlier one left installed.
    auto package = [](const std::string& version, const std::string& docs) {
        return R"({"settings": {"product": "Demo", "version": ")" + version +
               R"(", "appFolder": "%PROGRAMFILES%\\Demo", "menuFolder": "%PROGRAMSMENU%\\Demo"},
      "files": [{"name": "demo.sh", "text": "#!/bin/sh\n"}, {"name": "b.txt", "text": "b"}],
      "components": [{"name": "Main", "folders": [
        {"name": "%APPFOLDER%", "items": [{"file": "demo.sh"}], "folders": [)" +
               docs + R"(]},
        {"name": "%APPMENU%", "items": [{"shortcut": "demo.sh", "name": "Demo"}]}]}],
      "registry": [{"root": "HKEY_CURRENT_USER", "keys": [{"name": "Software\\Demo",
         "values": [{"name": "V", "dword": 1}]}]}],
      "fileTypes": [{"register": 1, "description": "Demo document", "extension": ".dmo",
                     "actions": [{"verb": "open", "program": "demo.sh", "command": "\"%1\""}]}]})";
    };
    TInstallSandbox sb;
    auto first = sb.Install(package("1.0", ""), "v1");
    ASSERT_TRUE(first.completed) << first.errorMessage;
    const auto earlier = LogSections(first.logPath);
    ASSERT_EQ(earlier.size(), 4u);
    // A file where the update's new folder must go: its first file fails.
    WriteFile(sb.AppFolder() + "/Docs", "in the way");
    auto update =
        sb.Install(package("2.0", R"({"name": "Docs", "items": [{"file": "b.txt"}]})"), "v2");
    EXPECT_TRUE(update.aborted);
    EXPECT_EQ(update.logPath, first.logPath);
    const auto sections = LogSections(update.logPath);
    ASSERT_EQ(sections.size(), 4u) << ReadFile(update.logPath);
    auto has = [](const std::vector<std::string>& lines, const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    for (const auto& path : earlier[0])
        if (Exists(path)) {
            EXPECT_TRUE(has(sections[0], path)) << "still installed: " << path;
        }
    EXPECT_TRUE(has(sections[0], sb.Roots().programsMenu.string() + "/Demo/Demo.desktop"));
    EXPECT_TRUE(has(sections[1], "HKEY_CURRENT_USER\\Software\\Demo\tV"));
    EXPECT_TRUE(has(sections[2], ".dmo"));
    EXPECT_EQ(sections[2], earlier[2]) << "the type as the earlier log recorded it";
}

TEST(InstallMapping, FileTypeFilesAreLoggedAndKeptInTheScopesFolders) {
    TSandbox sb;
    platform::SystemRoots roots =
        platform::SystemRoots::InSandbox(sb.Path("sys"), platform::InstallScope::System);
    roots.CreateFolders();
    auto registry = platform::OpenFileRegistry(fs::path(sb.Path("reg")));
    BuildPackage(R"({"settings": {"product": "Demo", "appFolder": "%PROGRAMFILES%\\Demo"},
      "files": [{"name": "demo.sh", "text": "#!/bin/sh\n"}],
      "components": [{"name": "Main", "folders": [{"name": "%APPFOLDER%", "items": [{"file": "demo.sh"}]}]}],
      "fileTypes": [{"description": "Demo document", "extension": ".dmo",
                     "actions": [{"verb": "open", "program": "demo.sh", "command": "\"%1\""}]}]})",
                 sb.Path("p.exe"));
    components::TScriptedMessenger messenger;
    auto r = setup::InstallPackage(sb.Path("p.exe"), {}, roots, *registry, messenger);
    ASSERT_TRUE(r.completed) << r.errorMessage;
    const std::string launcher = sb.Path("sys/usr/local/share/applications/x-vexlor-dmo.desktop");
    const std::string mime = sb.Path("sys/usr/local/share/mime/packages/x-vexlor-dmo.xml");
    EXPECT_TRUE(Exists(launcher)) << "the launcher of a system-wide type is system-wide";
    EXPECT_TRUE(Exists(mime));
    EXPECT_FALSE(Exists(roots.xdgDataHome.string() + "/applications/x-vexlor-dmo.desktop"));
    auto files = LogSections(r.logPath).at(0);
    EXPECT_NE(std::find(files.begin(), files.end(), launcher), files.end());
    EXPECT_NE(std::find(files.begin(), files.end(), mime), files.end());
}

// The caches update-mime-database makes in a MIME folder: everything but
// its packages folder. They belong to the database, not to a package.
bool IsMimeCache(const platform::SystemRoots& roots, const fs::path& path) {
    std::string mime = roots.mimePackages.string() + "/";
    std::string p = path.string();
    return p.rfind(mime, 0) == 0 && p.rfind(mime + "packages/", 0) != 0;
}

std::set<std::string> FilesIn(const fs::path& folder) {
    std::set<std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        if (!e.is_directory() || e.is_symlink())
            files.insert(e.path().string());
    return files;
}

// Every value below a key, as "key\tname".
void ValuesBelow(platform::Registry& reg, RootKey root, const std::string& key,
                 std::vector<std::string>& out) {
    for (const auto& name : reg.ValueNames(root, key))
        out.push_back(key + "\t" + name);
    for (const auto& sub : reg.SubKeyNames(root, key))
        ValuesBelow(reg, root, key.empty() ? sub : key + "\\" + sub, out);
}

TEST(InstallMapping, ReinstallAndUninstallOfFileTypesLeaveNothingTheLogDoesNotName) {
    const std::string json =
        R"({"settings": {"product": "Demo", "appFolder": "%PROGRAMFILES%\\Demo",
                    "menuFolder": "%PROGRAMSMENU%\\Demo"},
      "files": [{"name": "demo.sh", "text": "#!/bin/sh\n"}, {"name": "icon.png", "hex": "89504E47"}],
      "components": [{"name": "Main", "folders": [
        {"name": "%APPFOLDER%", "items": [{"file": "demo.sh"}, {"file": "icon.png"}]},
        {"name": "%APPMENU%", "items": [{"shortcut": "demo.sh", "name": "Demo"}]}]}],
      "registry": [{"root": "HKEY_CURRENT_USER", "keys": [{"name": "Software\\Demo",
         "values": [{"name": "Path", "string": "%APPFOLDER%"}]}]}],
      "fileTypes": [{"description": "Demo document", "extension": ".dmo", "iconFile": "icon.png",
                     "actions": [{"verb": "open", "program": "demo.sh", "command": "\"%1\""}]}],
      "uninstallShortcut": 1})";
    TInstallSandbox sb;
    const fs::path box = sb.Roots().sandbox;
    std::set<std::string> before = FilesIn(box);
    ASSERT_TRUE(sb.Install(json).completed);
    auto r = sb.Install(json, "p2");
    ASSERT_TRUE(r.completed) << r.errorMessage;
    auto sections = LogSections(r.logPath);
    ASSERT_EQ(sections.size(), 4u);

    // What the uninstaller does with the log: remove every file it names,
    // the log itself, the registry values and keys it names, the file
    // types and the shared-file counts of its files.
    auto& reg = sb.Registry();
    for (const auto& line : sections[0]) {
        fs::remove(platform::Cp1252ToUtf8(line));
        reg.DeleteValue(RootKey::LocalMachine, setup::kSharedDllsKey, line);
    }
    fs::remove(r.logPath);
    for (const auto& line : sections[1]) {
        std::size_t slash = line.find('\\'), tab = line.find('\t');
        auto root = platform::ParseRootKeyName(line.substr(0, slash));
        ASSERT_TRUE(root) << line;
        std::string key = line.substr(slash + 1, tab - slash - 1);
        std::string name = line.substr(tab + 1);
        if (name == "*")
            reg.DeleteKey(*root, key);
        else
            reg.DeleteValue(*root, key, name);
    }
    ASSERT_FALSE(sections[2].empty());
    const std::string extension = sections[2][0];
    auto className = reg.ReadString(RootKey::ClassesRoot, extension, "");
    ASSERT_TRUE(className);
    reg.DeleteKey(RootKey::ClassesRoot, *className);
    reg.DeleteKey(RootKey::ClassesRoot, extension);

    for (const auto& file : FilesIn(box))
        if (!before.count(file) && !IsMimeCache(sb.Roots(), file))
            ADD_FAILURE() << "left behind: " << file;
    for (RootKey root : {RootKey::CurrentUser, RootKey::LocalMachine}) {
        std::vector<std::string> values;
        ValuesBelow(reg, root, "", values);
        for (const auto& v : values)
            ADD_FAILURE() << "registry value left behind: " << platform::RootKeyName(root) << "\\"
                          << v;
    }
}

TEST(InstallMapping, ReplacementLeftForTheNextStartHappensAtTheNextRun) {
    TSandbox sb;
    const std::string box = sb.Path("box");
    const std::string tool = std::string(BW_TOOLS_DIR) + "/setuptool";
    // The tool's own roots: system scope when the tests run as root.
    const platform::SystemRoots roots =
        platform::SystemRoots::InSandbox(box, platform::CurrentScope());
    const std::string app = roots.programFiles.string() + "/Demo";
    const std::string target = app + "/a.txt";
    BuildPackage(App(), sb.Path("p1.exe"));
    BuildPackage(R"({"settings": {"product": "Other", "appFolder": "%PROGRAMFILES%\\Other"}})",
                 sb.Path("p2.exe"));
    // A folder stands where the file goes: it cannot be replaced now.
    fs::create_directories(target + "/in-the-way");
    std::string out;
    ASSERT_EQ(
        RunShell("VEXLOR_SANDBOX='" + box + "' '" + tool + "' install '" + sb.Path("p1.exe") + "'",
                 &out),
        0)
        << out;
    EXPECT_NE(out.find("restart needed"), std::string::npos) << out;
    auto waiting = [&] {
        std::vector<std::string> temps;
        for (const auto& name : ListFolder(app))
            if (name.rfind("cgn", 0) == 0)
                temps.push_back(name);
        return temps;
    };
    ASSERT_EQ(waiting().size(), 1u);

    // The obstacle is gone by the next start; any run of setup carries
    // the replacement out first.
    fs::remove_all(target);
    ASSERT_EQ(
        RunShell("VEXLOR_SANDBOX='" + box + "' '" + tool + "' install '" + sb.Path("p2.exe") + "'",
                 &out),
        0)
        << out;
    EXPECT_NE(out.find("pending file operations carried out: 1"), std::string::npos) << out;
    EXPECT_EQ(ReadFile(target), "a");
    EXPECT_TRUE(waiting().empty());
    EXPECT_TRUE(setup::TPendingFileOperations(roots.pendingRenames.string()).Entries().empty());
}

TEST(InstallMapping, UninstallEntryAndDesktopIconFollowThePart) {
    TInstallSandbox sb;
    // No %APPFOLDER%: the Windows folder takes its place. A shortcut in a
    // folder below the desktop is no desktop shortcut.
    auto r = sb.Install(R"({"settings": {"product": "Demo"},
      "files": [{"name": "a.sh", "text": "#!/bin/sh\n"}],
      "components": [{"name": "Main", "folders": [
        {"name": "%PROGRAMFILES%\\Demo", "items": [{"file": "a.sh"}]},
        {"name": "%DESKTOP%\\Sub", "items": [{"shortcut": "a.sh", "name": "A"}]}]}]})");
    ASSERT_TRUE(r.completed) << r.errorMessage;
    EXPECT_EQ(sb.Registry().ReadString(RootKey::LocalMachine, Uninstall("Demo"), "InstallLocation"),
              sb.Roots().windows.string());
    EXPECT_FALSE(
        sb.Registry().ValueExists(RootKey::LocalMachine, Uninstall("Demo"), "DisplayIcon"));
}
