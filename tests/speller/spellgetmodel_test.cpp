#include "speller/spellgetmodel.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "speller/vxspeller.h"
#include "tests/speller/dicbuilder_support.h"
#include "tests/speller/speller_support.h"

namespace speller {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;
using W = std::vector<std::string>;

TEST(CatalogueReply, KindsAndLanguages) {
    TCatalogueReply list = ParseCatalogueReply("LIST\r\n2\r\nEnglish\r\n'\r\n';'s\r\nen.dic|en2.dic"
                                               "\r\nwin1252\r\nDeutsch\r\n\r\n\r\nde.dic\r\n\r\n");
    EXPECT_EQ(list.Kind, TCatalogueReply::List);
    ASSERT_EQ(list.Offered.size(), 2u);
    EXPECT_EQ(list.Offered[0].Name, "English");
    EXPECT_EQ(list.Offered[0].FileNames(), (W{"en.dic", "en2.dic"}));
    EXPECT_EQ(list.Offered[1].DataFormat, "win1252"); // not given
    EXPECT_EQ(list.Offered[1].IgnoreSuffixes, "");

    TCatalogueReply error = ParseCatalogueReply("ERROR\nThe server is down.\nTry later.");
    EXPECT_EQ(error.Kind, TCatalogueReply::Error);
    EXPECT_EQ(error.Message, "The server is down.\r\nTry later.");
    TCatalogueReply refusal = ParseCatalogueReply("666\nThis version may not download.");
    EXPECT_EQ(refusal.Kind, TCatalogueReply::Refusal);
    EXPECT_EQ(refusal.Message, "This version may not download.");
    EXPECT_EQ(ParseCatalogueReply("<html>proxy error</html>").Kind, TCatalogueReply::Other);
    EXPECT_EQ(ParseCatalogueReply("").Kind, TCatalogueReply::Other);

    // A count beyond the lines sent, and one that is no number.
    EXPECT_EQ(ParseCatalogueReply("LIST\n99999999999\nA\n\n\na.dic\n\n").Offered.size(), 1u);
    EXPECT_TRUE(ParseCatalogueReply("LIST\n-3\nA\n\n\na.dic\n\n").Offered.empty());
}

TEST(CatalogueReply, FileNamesMustBePlainDictionaryNames) {
    // Beside unsafe names, any that is no dictionary's: the user word lists
    // and the catalogue lie beside the dictionaries.
    for (const char* files : {"../evil.dic", "sub/x.dic", "..\\x.dic", "C:x.dic", "/etc/passwd",
                              "ok.dic|..", "a.dic|b/c.dic", "", "en.udt", "en.dic|en.udt",
                              "VXSpell.ini", "en", ".dic", "en.dic.udt"}) {
        SCOPED_TRACE(files);
        TCatalogueReply reply =
            ParseCatalogueReply(std::string("LIST\n1\nBad\n\n\n") + files + "\n\n");
        EXPECT_TRUE(reply.Offered.empty());
        EXPECT_EQ(reply.Refused, (W{"Bad"}));
    }
    EXPECT_TRUE(IsPlainFileName("en_US-large.dic"));
    EXPECT_FALSE(IsPlainFileName("."));
    EXPECT_FALSE(IsPlainFileName("x.dic "));
    EXPECT_TRUE(IsDictionaryFileName("en_US-large.dic"));
    EXPECT_TRUE(IsDictionaryFileName("ENGLISH.DIC"));
    EXPECT_FALSE(IsDictionaryFileName("en.udt"));
    EXPECT_FALSE(IsDictionaryFileName("../en.dic"));
}

// Files "on the server": a folder the fetcher copies from; names listed in
// `failing` fail, those in `answers` bring the bytes given there.
class FolderFetcher : public IDictionaryFetcher {
public:
    explicit FolderFetcher(fs::path source) : source_(std::move(source)) {}
    void Fetch(const std::string& name, const fs::path& target) override {
        fetched.push_back(name);
        if (failing.count(name))
            throw std::runtime_error("the server went away");
        auto answer = answers.find(name);
        WriteBytes(target, answer != answers.end() ? answer->second : ReadBytes(source_ / name));
    }
    std::set<std::string> failing;
    std::map<std::string, std::string> answers;
    W fetched;

private:
    fs::path source_;
};

class SpellGetTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir_ / "server");
        testing::DicBuildOptions options;
        WriteBytes(dir_ / "server" / "en.dic", testing::BuildDictionary({"hello", "world"}));
        WriteBytes(dir_ / "server" / "de.dic", testing::BuildDictionary({"hallo", "welt"}));
        WriteBytes(dir_ / "server" / "common.dic", testing::BuildDictionary({"okay"}));
        registry_ = platform::OpenMemoryRegistry();
    }
    TDictionaryPlaces Places(bool portable = false) {
        fs::create_directories(dir_ / "program");
        return {dir_ / "program", portable, dir_ / "appdata", platform::RootKey::CurrentUser};
    }
    static TSpellGetRow Row(const std::string& name, const std::string& files) {
        TSpellGetRow row;
        row.Language = name;
        row.Header.Name = name;
        row.Header.Files = files;
        return row;
    }
    // The languages the engine finds.
    W EngineLanguages(const TDictionaryPlaces& places) {
        class Speller : public TVXSpeller {
        public:
            using TVXSpeller::TVXSpeller;

        protected:
            std::unique_ptr<IVXSpellerForm> CreateSpellerForm() override { return nullptr; }
        } speller(*registry_, places);
        W names;
        for (const auto& language : speller.LanguageList())
            names.push_back(language.name);
        return names;
    }

    TempDir dir_;
    std::unique_ptr<platform::Registry> registry_;
};

TEST_F(SpellGetTest, InstalledAndOfferedRows) {
    TDictionaryRegistration registration(*registry_, Places());
    TSpellGetModel model(registration);
    FolderFetcher fetcher(dir_ / "server");
    model.Install(Row("English", "en.dic"), dir_ / "dicts", fetcher);
    model.Install(Row("Klingon", "common.dic"), dir_ / "dicts", fetcher);
    model.SetOffered({Row("English", "en.dic").Header, Row("Deutsch", "de.dic").Header});
    std::vector<std::pair<std::string, std::string>> rows;
    for (const TSpellGetRow& row : model.Rows())
        rows.emplace_back(row.Language, row.InstalledText);
    // Offered first (English once, installed), then what the server no longer offers.
    EXPECT_EQ(rows, (std::vector<std::pair<std::string, std::string>>{
                        {"English", "YES"}, {"Deutsch", "no"}, {"Klingon", "YES"}}));
    auto all = model.Rows();
    EXPECT_TRUE(TSpellGetModel::ButtonsFor(&all[0]).Uninstall);
    EXPECT_FALSE(TSpellGetModel::ButtonsFor(&all[0]).Install);
    EXPECT_TRUE(TSpellGetModel::ButtonsFor(&all[1]).Install);
    EXPECT_FALSE(TSpellGetModel::ButtonsFor(nullptr).Install);
    EXPECT_EQ(EngineLanguages(Places()), (W{"English", "Klingon"}));
}

TEST_F(SpellGetTest, PortableInstallIsWhatTheEngineReads) {
    // A portable program keeps its catalogue beside it, never the registry;
    // the engine reads the very same catalogue.
    TDictionaryRegistration registration(*registry_, Places(true));
    TSpellGetModel model(registration);
    EXPECT_EQ(model.Folder(), dir_ / "program");
    FolderFetcher fetcher(dir_ / "server");
    model.Install(Row("English", "en.dic|common.dic"), model.Folder(), fetcher);
    EXPECT_EQ(fetcher.fetched, (W{"en.dic", "common.dic"}));
    EXPECT_TRUE(fs::exists(dir_ / "program" / "VXSpell.ini"));
    EXPECT_FALSE(registry_->KeyExists(platform::RootKey::CurrentUser, kDictionariesKey));
    EXPECT_EQ(EngineLanguages(Places(true)), (W{"English"}));
    // The catalogue, once there, rules for an installed program too.
    EXPECT_EQ(EngineLanguages(Places(false)), (W{"English"}));
}

TEST_F(SpellGetTest, UninstallKeepsFilesAnotherLanguageNames) {
    // Two languages that share a file, registered so before a download
    // refused a file another language names.
    TDictionaryRegistration registration(*registry_, Places());
    fs::create_directories(dir_ / "dicts");
    for (const char* name : {"en.dic", "de.dic", "common.dic"})
        WriteBytes(dir_ / "dicts" / name, ReadBytes(dir_ / "server" / name));
    registration.Write(
        {Row("English", "en.dic|common.dic").Header, Row("Deutsch", "de.dic|common.dic").Header},
        dir_ / "dicts");
    TSpellGetModel model(registration);
    model.Uninstall(model.Rows()[0]);
    EXPECT_FALSE(fs::exists(dir_ / "dicts" / "en.dic"));
    EXPECT_TRUE(fs::exists(dir_ / "dicts" / "common.dic"));
    EXPECT_TRUE(fs::exists(dir_ / "dicts" / "de.dic"));
    EXPECT_EQ(EngineLanguages(Places()), (W{"Deutsch"}));
    model.Uninstall(model.Rows()[0]);
    EXPECT_FALSE(fs::exists(dir_ / "dicts" / "common.dic"));
    EXPECT_TRUE(EngineLanguages(Places()).empty());
}

TEST_F(SpellGetTest, AnotherFolderMovesTheInstalledDictionariesFirst) {
    TDictionaryRegistration registration(*registry_, Places());
    TSpellGetModel model(registration);
    FolderFetcher fetcher(dir_ / "server");
    model.Install(Row("English", "en.dic"), dir_ / "old", fetcher);
    model.Install(Row("Deutsch", "de.dic"), dir_ / "new", fetcher);
    EXPECT_FALSE(fs::exists(dir_ / "old" / "en.dic"));
    EXPECT_TRUE(fs::exists(dir_ / "new" / "en.dic"));
    EXPECT_EQ(registration.RegisteredFolder(), dir_ / "new");
    EXPECT_EQ(EngineLanguages(Places()), (W{"English", "Deutsch"}));
}

TEST_F(SpellGetTest, AFailedMoveLeavesEverythingInTheOldFolder) {
    TDictionaryRegistration registration(*registry_, Places());
    TSpellGetModel model(registration);
    FolderFetcher fetcher(dir_ / "server");
    model.Install(Row("English", "en.dic|common.dic"), dir_ / "old", fetcher);
    // The second file cannot be written in the new folder.
    fs::create_directories(dir_ / "new" / "common.dic.part-move" / "blocker");
    try {
        model.Install(Row("Deutsch", "de.dic"), dir_ / "new", fetcher);
        FAIL() << "no error";
    } catch (const ESpellGetError& e) {
        EXPECT_NE(std::string(e.what()).find("Unable to move dictionary file"), std::string::npos);
    }
    EXPECT_TRUE(fs::exists(dir_ / "old" / "en.dic"));
    EXPECT_TRUE(fs::exists(dir_ / "old" / "common.dic"));
    EXPECT_FALSE(fs::exists(dir_ / "new" / "en.dic"));
    EXPECT_FALSE(fs::exists(dir_ / "new" / "en.dic.part-move"));
    EXPECT_EQ(registration.RegisteredFolder(), dir_ / "old");
    EXPECT_EQ(EngineLanguages(Places()), (W{"English"}));
}

TEST_F(SpellGetTest, DownloadErrorsAndFolderRules) {
    TDictionaryRegistration registration(*registry_, Places());
    TSpellGetModel model(registration);
    FolderFetcher fetcher(dir_ / "server");
    auto message = [&](const TSpellGetRow& row, const fs::path& folder) {
        try {
            model.Install(row, folder, fetcher);
        } catch (const ESpellGetError& e) {
            return std::string(e.what());
        }
        return std::string("installed");
    };
    EXPECT_EQ(message(Row("English", "en.dic"), {}),
              "Please specify the folder where the dictionaries should be installed");
    WriteBytes(dir_ / "afile", "x");
    EXPECT_EQ(message(Row("English", "en.dic"), dir_ / "afile" / "sub"),
              "Cannot create the folder " + (dir_ / "afile" / "sub").string());
    fetcher.failing = {"de.dic"};
    EXPECT_EQ(message(Row("Deutsch", "common.dic|de.dic"), dir_ / "dicts"),
              "Unable to download dictionary file de.dic\r\n\r\nthe server went away");
    EXPECT_TRUE(model.Installed().empty());
    EXPECT_EQ(message(Row("Evil", "../../evil.dic"), dir_ / "dicts")
                  .rfind("Unable to download dictionary file ../../evil.dic", 0),
              0u);
    EXPECT_FALSE(fs::exists(dir_ / "evil.dic"));
}

// What a hostile server tries: the user's word list and another language's
// dictionary stay byte for byte, the registration stays, and nothing but
// the installed files is left in the folder.
TEST_F(SpellGetTest, HostileLanguagesChangeNothingOfTheUsers) {
    TDictionaryRegistration registration(*registry_, Places());
    TSpellGetModel model(registration);
    FolderFetcher fetcher(dir_ / "server");
    // The engine keeps the user word lists in the default dictionary folder.
    const fs::path folder = model.Folder();
    ASSERT_EQ(folder, DefaultDictionaryFolder(dir_ / "appdata"));
    model.Install(Row("English", "en.dic"), folder, fetcher);
    const std::string words = "[Added]\r\nIGN_ListCount=2\r\nIGN_0=Brindle\r\nIGN_1=wovens\r\n"
                              "[Auto Correct]\r\nAC_ListCount=0\r\n";
    WriteBytes(folder / "en.udt", words);
    const std::string english = ReadBytes(folder / "en.dic");
    // What the server sends is a good dictionary where a name is refused,
    // so that only the name rule stands in the way.
    const std::string other = testing::BuildDictionary({"impostor"});
    std::string zeros(kDictionaryHeaderSize + 2, '\0');
    std::string garbage(5000, '\0');
    for (std::size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>((i * 7919 + 13) >> 3);

    struct Case {
        const char* name;
        TSpellGetRow row;
        std::map<std::string, std::string> answers;
        std::string message; // the error begins so
        bool fetchesNothing;
    } cases[] = {
        {"a user word list",
         Row("Word list", "en.udt"),
         {{"en.udt", other}},
         "Unable to download dictionary file en.udt\r\n\r\nOnly dictionary files",
         true},
        {"the catalogue",
         Row("Catalogue", "VXSpell.ini"),
         {{"VXSpell.ini", other}},
         "Unable to download dictionary file VXSpell.ini",
         true},
        {"a word list after a good file",
         Row("Sneaky", "de.dic|en.udt"),
         {{"en.udt", other}},
         "Unable to download dictionary file en.udt",
         true},
        {"another language's file",
         Row("Impostor", "common.dic|en.dic"),
         {{"en.dic", other}},
         "Unable to install Impostor: the dictionary file en.dic belongs to English, which is "
         "installed.",
         true},
        {"another language's file in capitals",
         Row("Impostor", "EN.DIC"),
         {{"EN.DIC", other}},
         "Unable to install Impostor: the dictionary file EN.DIC belongs to English",
         true},
        {"garbage",
         Row("Garbage", "garbage.dic"),
         {{"garbage.dic", garbage}},
         "Unable to download dictionary file garbage.dic\r\n\r\nThe dictionary \"garbage.dic\" "
         "is damaged",
         false},
        {"a dictionary without words",
         Row("Empty", "zeros.dic"),
         {{"zeros.dic", zeros}},
         "Unable to download dictionary file zeros.dic\r\n\r\nThe dictionary \"zeros.dic\" holds "
         "no words.",
         false},
        {"garbage for the language's own file",
         Row("English", "en.dic"),
         {{"en.dic", garbage}},
         "Unable to download dictionary file en.dic\r\n\r\nThe dictionary \"en.dic\" is damaged",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fetcher.fetched.clear();
        fetcher.answers = c.answers;
        std::string message = "installed";
        try {
            model.Install(c.row, folder, fetcher);
        } catch (const ESpellGetError& e) {
            message = e.what();
        }
        EXPECT_EQ(message.rfind(c.message, 0), 0u) << message;
        EXPECT_EQ(fetcher.fetched.empty(), c.fetchesNothing);
        EXPECT_EQ(ReadBytes(folder / "en.udt"), words);
        EXPECT_EQ(ReadBytes(folder / "en.dic"), english);
        EXPECT_EQ(EngineLanguages(Places()), (W{"English"}));
        std::set<std::string> left;
        for (const auto& entry : fs::directory_iterator(folder))
            left.insert(entry.path().filename().string());
        EXPECT_EQ(left, (std::set<std::string>{"en.dic", "en.udt"}));
    }
}

// A registration written before the download kept to dictionary files may
// name a word list: neither an uninstall nor a move to another folder
// touches it.
TEST_F(SpellGetTest, RegisteredWordListsAreNeverMovedOrDeleted) {
    TDictionaryRegistration registration(*registry_, Places());
    fs::create_directories(dir_ / "dicts");
    WriteBytes(dir_ / "dicts" / "en.dic", ReadBytes(dir_ / "server" / "en.dic"));
    WriteBytes(dir_ / "dicts" / "en.udt", "[Added]\r\nIGN_ListCount=1\r\nIGN_0=mine\r\n");
    const std::string words = ReadBytes(dir_ / "dicts" / "en.udt");
    registration.Write({Row("English", "en.dic|en.udt").Header}, dir_ / "dicts");
    TSpellGetModel model(registration);
    FolderFetcher fetcher(dir_ / "server");
    model.Install(Row("Deutsch", "de.dic"), dir_ / "new", fetcher);
    EXPECT_TRUE(fs::exists(dir_ / "new" / "en.dic"));
    EXPECT_FALSE(fs::exists(dir_ / "new" / "en.udt"));
    EXPECT_EQ(ReadBytes(dir_ / "dicts" / "en.udt"), words);

    WriteBytes(dir_ / "new" / "en.udt", words);
    model.Uninstall(model.Rows()[0]);
    EXPECT_FALSE(fs::exists(dir_ / "new" / "en.dic"));
    EXPECT_EQ(ReadBytes(dir_ / "new" / "en.udt"), words);
}

} // namespace
} // namespace speller
