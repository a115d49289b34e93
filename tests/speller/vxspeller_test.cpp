#include "speller/vxspeller.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "components/scriptedmessenger.h"
#include "tests/speller/dicbuilder_support.h"
#include "tests/speller/speller_support.h"

namespace speller {
namespace {

using testing::TempDir;
using testing::WriteBytes;

// The check dialog, scripted: it records what the engine shows and lets the
// test click.
class FakeForm : public IVXSpellerForm {
public:
    void SetCallbacks(TSpellerFormCallbacks c) override { callbacks = std::move(c); }
    void SetBusy(bool on) override {
        busy = on;
        if (on)
            ++searches;
    }
    void SetButtonVisible(TSpellButton b, bool v) override { visible[b] = v; }
    void SetButtonEnabled(TSpellButton b, bool e) override { enabled[b] = e; }
    void ShowWord(const std::string& w, bool r, bool u) override {
        word = w;
        repeated = r;
        canUndo = u;
        suggestions.clear();
        for (auto b : {TSpellButton::Ignore, TSpellButton::IgnoreAlways, TSpellButton::Learn,
                       TSpellButton::Replace, TSpellButton::ReplaceAlways,
                       TSpellButton::ReplaceLearn, TSpellButton::Suggest})
            enabled[b] = true;
        enabled[TSpellButton::Undo] = u;
        visible[TSpellButton::Delete] = r;
        visible[TSpellButton::Replace] = !r;
        ++shown;
    }
    void ShowProblem(const std::string& message) override {
        problem = message;
        word.clear();
        DisableAll();
        enabled[TSpellButton::Resume] = true;
    }
    void SetLearnAllowed(bool allowed) override { learnAllowed = allowed; }
    std::string GetReplacement() const override { return replacement; }
    void AddSuggestion(const std::string& s) override {
        if (std::find(suggestions.begin(), suggestions.end(), s) == suggestions.end())
            suggestions.push_back(s);
    }
    int SuggestionCount() const override { return static_cast<int>(suggestions.size()); }
    void SetSuggestions(const std::vector<std::string>& list) override {
        for (const auto& s : list)
            AddSuggestion(s);
    }
    void ClearSuggestions() override { suggestions.clear(); }
    int LanguageIndex() const override { return language; }
    void SetLanguages(const std::vector<std::string>& l, int index) override {
        languages = l;
        language = index;
    }
    void DisableAll() override {
        for (auto& [button, on] : enabled)
            if (button != TSpellButton::Abort && button != TSpellButton::WordList)
                on = false;
        replacement.clear();
    }
    void Place(const TPlacementRequest& request) override { placements.push_back(request); }
    bool Visible() const override { return isVisible; }
    void SetVisible(bool v) override { isVisible = v; }

    void Click(TSpellButton b) { callbacks.clicked(b); }

    TSpellerFormCallbacks callbacks;
    std::string word;
    std::string problem;
    bool repeated = false;
    bool canUndo = false;
    bool busy = false;
    int searches = 0;
    int shown = 0;
    std::vector<std::string> suggestions;
    std::string replacement;
    int language = 0;
    std::vector<std::string> languages;
    std::map<TSpellButton, bool> visible;
    std::map<TSpellButton, bool> enabled;
    std::vector<TPlacementRequest> placements;
    bool isVisible = false;
    bool learnAllowed = true;
};

class TestSpeller : public TVXSpeller {
public:
    using TVXSpeller::TVXSpeller;
    FakeForm* form = nullptr;
    int wordListCalls = 0;

protected:
    std::unique_ptr<IVXSpellerForm> CreateSpellerForm() override {
        auto created = std::make_unique<FakeForm>();
        form = created.get();
        return created;
    }
    void EditWordList() override { ++wordListCalls; }
};

const std::vector<std::string> kEnglish = {
    "the", "cat",     "sat",   "on",    "mat",   "hello", "world", "Paris", "don't",
    "dog", "is",      "a",     "an",    "and",   "to",    "in",    "it",    "bat",
    "eat", "fat",     "hat",   "oat",   "pat",   "rat",   "vat",   "at",    "cot",
    "cut", "receive", "their", "there", "check", "text",  "word",  "words", "this"};
const std::vector<std::string> kGerman = {"der", "die", "das", "Katze", "Hund", "und"};

class SpellerTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir_ / "dicts");
        WriteDictionary("en.dic", kEnglish, "etaoinsrhldcumfpgwybvkxjqz'0123456789");
        WriteDictionary("de.dic", kGerman, "enisratdhulcgmobwfkz\xE4\xF6\xFC\xDFvpjyxq");
        registry_ = platform::OpenFileRegistry(dir_ / "reg");
        registry_->WriteString(platform::RootKey::CurrentUser, kDictionariesKey, "InstallPath",
                               (dir_ / "dicts").string());
        AddLanguage(0, "English", "en.dic", "'", "';'s");
        AddLanguage(1, "Deutsch", "de.dic", "", "");
        SetCount(2);
    }

    void WriteDictionary(const std::string& name, const std::vector<std::string>& words,
                         const std::string& alphabet) {
        testing::DicBuildOptions options;
        options.alphabet = alphabet;
        WriteBytes(dir_ / "dicts" / name, testing::BuildDictionary(words, options));
    }
    void AddLanguage(int i, const std::string& name, const std::string& files,
                     const std::string& prefixes, const std::string& suffixes) {
        auto key = kDictionariesKey;
        auto root = platform::RootKey::CurrentUser;
        std::string n = std::to_string(i);
        registry_->WriteString(root, key, "Name" + n, name);
        registry_->WriteString(root, key, "Files" + n, files);
        registry_->WriteString(root, key, "IgnorePrefixes" + n, prefixes);
        registry_->WriteString(root, key, "IgnoreSuffixes" + n, suffixes);
    }
    void SetCount(uint32_t count) {
        registry_->WriteDword(platform::RootKey::CurrentUser, kDictionariesKey, "Count", count);
    }

    TestSpeller& Speller() {
        if (!speller_) {
            speller_ = std::make_unique<TestSpeller>(*registry_, dir_ / "appdata");
            speller_->SetWaitForCompletion(false);
        }
        return *speller_;
    }

    // Starts a check of `text`; returns at the first problem word.
    void Start(std::string_view text) {
        target_ = std::make_unique<TMemoTarget>(text);
        Speller().SetParser(std::make_unique<TCustomMemoParser>(*target_));
        Speller().Check();
    }
    FakeForm& Form() { return *Speller().form; }
    std::string Text() const { return target_->Text(); }

    // Every word reported in `text`, Ignore clicked at each; repeated words
    // are marked with "=".
    std::vector<std::string> Reported(std::string_view text) {
        std::vector<std::string> reported;
        Start(text);
        while (Speller().Running()) {
            reported.push_back((Form().repeated ? "=" : "") + Form().word);
            Form().Click(TSpellButton::Ignore);
        }
        return reported;
    }

    TempDir dir_;
    std::unique_ptr<platform::Registry> registry_;
    std::unique_ptr<TMemoTarget> target_;
    std::unique_ptr<TestSpeller> speller_;
};

using W = std::vector<std::string>;

TEST_F(SpellerTest, RegistrationListsInstalledLanguages) {
    AddLanguage(2, "Missing", "none.dic|en.dic", "", "");
    AddLanguage(3, "", "en.dic", "", ""); // no name
    SetCount(4);
    auto& speller = Speller();
    ASSERT_TRUE(speller.DictionariesAvailable());
    EXPECT_EQ(speller.Languages(), (W{"English||'||';'s||en.dic", "Deutsch||||||de.dic"}));
    EXPECT_EQ(speller.Language(), 0);
    EXPECT_EQ(speller.MainDictionary()->FileName(), dir_ / "dicts" / "en.dic");
    EXPECT_FALSE(speller.MainDictionary()->Loaded());
}

TEST_F(SpellerTest, NothingRegisteredMeansNoDictionaries) {
    registry_->WriteString(platform::RootKey::CurrentUser, kDictionariesKey, "InstallPath",
                           (dir_ / "gone").string());
    auto& speller = Speller();
    EXPECT_FALSE(speller.DictionariesAvailable());
    target_ = std::make_unique<TMemoTarget>("text");
    speller.SetParser(std::make_unique<TCustomMemoParser>(*target_));
    try {
        speller.Check();
        FAIL() << "checked without dictionaries";
    } catch (const ESpellerError& e) {
        EXPECT_STREQ(e.what(), "No dictionaries found");
    }
    EXPECT_FALSE(speller.Running());
}

TEST_F(SpellerTest, HostileCountIsBoundedByTheValuesPresent) {
    SetCount(2000000000u);
    EXPECT_EQ(Speller().LanguageList().size(), 2u);
}

// A damaged main dictionary does not keep the person from the window: it
// opens with the problem where the word goes, and the language chosen there
// is the way on.
TEST_F(SpellerTest, UnreadableMainDictionaryOpensTheWindowAtTheLanguageChoice) {
    auto& speller = Speller();
    std::string bytes = testing::ReadBytes(dir_ / "dicts" / "en.dic");
    WriteBytes(dir_ / "dicts" / "en.dic", bytes.substr(0, bytes.size() / 2));
    Start("der Hund und the mistake");
    ASSERT_TRUE(speller.Running());
    EXPECT_FALSE(speller.WaitingAtWord());
    FakeForm& form = Form();
    EXPECT_TRUE(form.isVisible);
    EXPECT_NE(form.problem.find("en.dic"), std::string::npos) << form.problem;
    EXPECT_NE(form.problem.find("cannot be read"), std::string::npos) << form.problem;
    EXPECT_EQ(speller.DictionaryProblem(), form.problem);
    EXPECT_EQ(form.languages.size(), 2u);
    EXPECT_FALSE(form.enabled[TSpellButton::Ignore]);

    // Resume with the same language tries it again: still damaged.
    form.Click(TSpellButton::Resume);
    EXPECT_TRUE(speller.Running());
    EXPECT_EQ(form.word, "");
    EXPECT_NE(form.problem.find("en.dic"), std::string::npos);

    // Another language checks the text from its start.
    form.language = 1;
    form.Click(TSpellButton::Resume);
    EXPECT_TRUE(speller.DictionaryProblem().empty());
    EXPECT_EQ(speller.Language(), 1);
    ASSERT_TRUE(speller.WaitingAtWord());
    EXPECT_EQ(form.word, "the");
    form.Click(TSpellButton::Ignore);
    EXPECT_EQ(form.word, "mistake");
    form.Click(TSpellButton::Abort);
    EXPECT_FALSE(speller.Running());

    // Abort from the problem ends the check as aborted.
    speller.SetLanguage(0);
    Start("the cat");
    ASSERT_FALSE(speller.DictionaryProblem().empty());
    form.Click(TSpellButton::Abort);
    EXPECT_FALSE(speller.Running());
    EXPECT_TRUE(speller.Aborted());
    EXPECT_TRUE(speller.DictionaryProblem().empty());
}

// Switching during a check to a language whose dictionary is damaged shows
// the problem instead of throwing out of the button's click; choosing a
// good language again goes on from the cursor.
TEST_F(SpellerTest, SwitchingToADamagedLanguageMidCheck) {
    WriteBytes(dir_ / "dicts" / "de.dic", "not a dictionary at all");
    Start("the mistake cat blunder");
    FakeForm& form = Form();
    ASSERT_EQ(form.word, "mistake");
    form.language = 1;
    form.Click(TSpellButton::Resume);
    EXPECT_TRUE(Speller().Running());
    EXPECT_NE(form.problem.find("de.dic"), std::string::npos) << form.problem;
    form.language = 0;
    target_->Select(12, 0); // before "cat"
    form.Click(TSpellButton::Resume);
    EXPECT_TRUE(Speller().DictionaryProblem().empty());
    EXPECT_EQ(form.word, "blunder");
}

TEST_F(SpellerTest, DamagedSecondDictionaryIsReportedAndSkipped) {
    WriteBytes(dir_ / "dicts" / "extra.dic", "not a dictionary");
    registry_->WriteString(platform::RootKey::CurrentUser, kDictionariesKey, "Files0",
                           "en.dic|extra.dic|de.dic");
    std::vector<std::string> warnings;
    Speller().OnWarning = [&](const std::string& m) { warnings.push_back(m); };
    int inits = 0;
    Speller().OnInitSpeller = [&] { ++inits; };
    EXPECT_EQ(Reported("the cat und Hund mistake"), (W{"mistake"}));
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("extra.dic"), std::string::npos);
    EXPECT_EQ(inits, 1);
}

TEST_F(SpellerTest, AcceptanceRules) {
    struct Case {
        TSpellOptions options;
        const char* text;
        W reported;
    };
    const TSpellOptions d = kDefaultSpellOptions;
    const Case cases[] = {
        {d, "x q the cat", {}},                 // one letter: never reported
        {d, "Hello WORLD hello", {}},           // dictionary word in any capitals
        {d, "paris Paris is PARIS", {"paris"}}, // a capitalised entry stays so
        {d & ~soUpcase, "PARIS NASA", {"PARIS", "NASA"}},
        {d, "NASA B52 1999", {}},
        {d & ~soNumbers & ~soUpcase, "NASA B52 1999", {"NASA", "B52"}},
        {d, "dog's 'cat' --the-- don't", {}}, // stripped prefixes and suffixes
        {d, "dogs' cats", {"dogs", "cats"}},
        {d, "the the cat", {"=the"}},
        {d, "The the cat", {"=the"}},
        {d & ~soRepeated, "the the cat", {}},
        {d | soHTML, "the <b>the</b> cat", {}}, // a tag between: no repeat
        {d, "the\r\n\r\nthe", {"=the"}},
        {d, "a a", {}},
        {d, "mail to me@exampel.com and http://exampel.com", {"mail"}},
        {d & ~soInternet, "see me@exampel.com", {"see", "me", "exampel", "com"}},
        {d, "recieve thier", {"recieve", "thier"}},
    };
    for (const auto& c : cases) {
        Speller().SetOptions(c.options);
        EXPECT_EQ(Reported(c.text), c.reported) << c.text;
    }
}

TEST_F(SpellerTest, AutoCorrectionReplacesSilentlyInTheWordsCase) {
    Speller().AddAutoCorrect("teh", "the");
    Speller().AddAlwaysReplace("wrold", "world");
    EXPECT_EQ(Reported("Teh cat, TEH dog; hello wrold Wrold 'teh'"), W{});
    EXPECT_EQ(Text(), "The cat, THE dog; hello world World 'the'");
}

TEST_F(SpellerTest, QuickAndExtendedSuggestions) {
    Start("Cst");
    ASSERT_TRUE(Speller().WaitingAtWord());
    EXPECT_EQ(Form().word, "Cst");
    EXPECT_FALSE(Form().repeated);
    EXPECT_FALSE(Form().busy);
    EXPECT_EQ(Form().searches, 1);
    // Suggestions for "cst" take the word's capital; all come from the dictionary.
    for (const char* s : {"Cat", "Cot", "Cut"})
        EXPECT_NE(std::find(Form().suggestions.begin(), Form().suggestions.end(), s),
                  Form().suggestions.end())
            << s;
    for (const auto& s : Form().suggestions)
        EXPECT_TRUE(std::isupper(static_cast<unsigned char>(s[0]))) << s;

    // Suggest Similar looks up the replacement field instead.
    Form().replacement = "rst";
    Form().Click(TSpellButton::Suggest);
    EXPECT_TRUE(Speller().WaitingAtWord());
    EXPECT_EQ(Form().suggestions, (W{"rat"}));
}

TEST_F(SpellerTest, ExtendedSearchStopsAfterOneMoreThanMaxSuggestions) {
    Speller().SetOptions(kDefaultSpellOptions & ~soAutoSuggest);
    Speller().SetMaxSuggestions(5);
    Start("xat");
    EXPECT_EQ(Form().SuggestionCount(), 6);
    Speller().SetMaxSuggestions(20);
    Form().Click(TSpellButton::Ignore);
    Start("xat");
    EXPECT_EQ(Form().SuggestionCount(), 12); // every one-edit neighbour
}

TEST_F(SpellerTest, IgnoreAndUndo) {
    Start("aaa bbb ccc");
    EXPECT_EQ(Form().word, "aaa");
    EXPECT_FALSE(Form().canUndo);
    Form().Click(TSpellButton::Ignore);
    EXPECT_EQ(Form().word, "bbb");
    EXPECT_TRUE(Form().canUndo);
    Form().Click(TSpellButton::Undo);
    EXPECT_EQ(Form().word, "aaa");
    Form().Click(TSpellButton::Ignore);
    Form().Click(TSpellButton::Ignore);
    Form().Click(TSpellButton::Ignore);
    EXPECT_FALSE(Speller().Running());
    EXPECT_FALSE(Speller().Aborted());
}

TEST_F(SpellerTest, AlwaysIgnoreAndUndo) {
    Start("zzz yyy zzz");
    Form().Click(TSpellButton::IgnoreAlways);
    EXPECT_TRUE(Speller().AlwaysIgnore().Contains("ZZZ"));
    EXPECT_EQ(Form().word, "yyy");
    Form().Click(TSpellButton::Undo);
    EXPECT_FALSE(Speller().AlwaysIgnore().Contains("zzz"));
    EXPECT_EQ(Form().word, "zzz");
    Form().Click(TSpellButton::IgnoreAlways);
    Form().Click(TSpellButton::Ignore); // yyy; the second zzz is accepted
    EXPECT_FALSE(Speller().Running());
}

TEST_F(SpellerTest, LearnAndUndoReachTheUserList) {
    Start("qwerty asdf");
    Form().Click(TSpellButton::Learn);
    auto* user = Speller().UserDictionary();
    EXPECT_TRUE(user->Contains("qwerty"));
    Form().Click(TSpellButton::Undo);
    EXPECT_FALSE(user->Contains("qwerty"));
    EXPECT_TRUE(user->Modified());
    Form().Click(TSpellButton::Learn);
    Form().Click(TSpellButton::Learn);
    EXPECT_FALSE(Speller().Running());
    Speller().ReleaseUserDictionary();
    TUserDictionary reread(dir_ / "appdata" / "Vexlor" / "Dictionaries" / "en.udt");
    EXPECT_TRUE(reread.Contains("qwerty"));
    EXPECT_TRUE(reread.Contains("asdf"));
}

TEST_F(SpellerTest, ReplaceAndUndo) {
    Start("the catt sat");
    Form().replacement = "cat";
    Form().Click(TSpellButton::Replace);
    EXPECT_EQ(Text(), "the cat sat");
    EXPECT_FALSE(Speller().Running());

    Start("'catt' dgo");
    Form().replacement = "cat";
    Form().Click(TSpellButton::Replace);
    EXPECT_EQ(Text(), "'cat' dgo");
    EXPECT_EQ(Form().word, "dgo");
    Form().Click(TSpellButton::Undo);
    EXPECT_EQ(Text(), "'catt' dgo");
    EXPECT_EQ(Form().word, "catt");
    Form().Click(TSpellButton::Abort);
    EXPECT_TRUE(Speller().Aborted());
}

TEST_F(SpellerTest, ALongerReplacementInTheMiddleLeavesTheLaterWordsChecked) {
    struct Case {
        TSpellButton button;
        bool autoCorrection; // set up before the check instead of clicking
    };
    const Case cases[] = {
        {TSpellButton::Replace, false},
        {TSpellButton::ReplaceAlways, false},
        {TSpellButton::ReplaceLearn, false},
        {TSpellButton::Replace, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << static_cast<int>(c.button) << " auto " << c.autoCorrection);
        speller_.reset();
        if (c.autoCorrection)
            Speller().AddAlwaysReplace("recve", "receive");
        Start("the cat recve the text qqqq and\r\nzzzz here");
        if (!c.autoCorrection) {
            ASSERT_EQ(Form().word, "recve");
            Form().replacement = "receive";
            Form().Click(c.button);
        }
        std::vector<std::string> later;
        while (Speller().Running()) {
            later.push_back(Form().word);
            Form().Click(TSpellButton::Ignore);
        }
        EXPECT_EQ(later, (W{"qqqq", "zzzz", "here"}));
        EXPECT_FALSE(Speller().Aborted());
        EXPECT_EQ(Text(), "the cat receive the text qqqq and\r\nzzzz here");
    }
}

TEST_F(SpellerTest, ReplacementIsCheckedAgain) {
    Start("teh end");
    Form().replacement = "thw";
    Form().Click(TSpellButton::Replace);
    EXPECT_EQ(Form().word, "thw"); // the replacement is misspelt too
    Form().replacement = "the";
    Form().Click(TSpellButton::Replace);
    EXPECT_EQ(Form().word, "end");

    Speller().SetOptions(kDefaultSpellOptions & ~soRecheck);
    Form().Click(TSpellButton::Abort);
    Start("teh end");
    Form().replacement = "thw";
    Form().Click(TSpellButton::Replace);
    EXPECT_EQ(Form().word, "end");
}

TEST_F(SpellerTest, AlwaysReplaceAndUndo) {
    Start("wrod and wrod");
    Form().replacement = "word";
    Form().Click(TSpellButton::ReplaceAlways);
    // The second one was replaced without asking.
    EXPECT_EQ(Text(), "word and word");
    EXPECT_FALSE(Speller().Running());

    Start("wrod and wrod zzzz");
    EXPECT_EQ(Text(), "word and word zzzz"); // the pair still applies
    Form().Click(TSpellButton::Undo);        // nothing before zzzz to take back
    EXPECT_EQ(Form().word, "zzzz");
    Form().Click(TSpellButton::Abort);

    Start("wrdo zzzz");
    Form().replacement = "word";
    Form().Click(TSpellButton::ReplaceAlways);
    EXPECT_EQ(Form().word, "zzzz");
    Form().Click(TSpellButton::Undo);
    EXPECT_EQ(Text(), "wrdo zzzz");
    EXPECT_EQ(Speller().FindAutoCorrection("wrdo"), "");
    EXPECT_EQ(Form().word, "wrdo");
}

TEST_F(SpellerTest, LearnReplaceAndUndo) {
    Start("recieve zzzz");
    Form().replacement = "receive";
    Form().Click(TSpellButton::ReplaceLearn);
    EXPECT_EQ(Text(), "receive zzzz");
    EXPECT_EQ(Speller().UserDictionary()->FindAutoCorrect("recieve"), "receive");
    Form().Click(TSpellButton::Undo);
    EXPECT_EQ(Text(), "recieve zzzz");
    EXPECT_EQ(Speller().UserDictionary()->FindAutoCorrect("recieve"), "");
    EXPECT_TRUE(Speller().UserDictionary()->Modified());
}

TEST_F(SpellerTest, DeleteRepeatedWordAndUndo) {
    struct Case {
        const char* text;
        const char* deleted;
        int kind;
    };
    const Case cases[] = {
        {"the the cat zzzz", "the cat zzzz", ukRepeatDeletedTwo},
        {"cat the the\r\nzzzz", "cat the \r\nzzzz", ukRepeatDeleted},
    };
    for (const auto& c : cases) {
        Start(c.text);
        ASSERT_TRUE(Form().repeated) << c.text;
        EXPECT_TRUE(Form().visible[TSpellButton::Delete]);
        EXPECT_FALSE(Form().visible[TSpellButton::Replace]);
        Form().Click(TSpellButton::Delete);
        EXPECT_EQ(Text(), c.deleted);
        EXPECT_EQ(Form().word, "zzzz");
        EXPECT_TRUE(Form().visible[TSpellButton::Replace]);
        EXPECT_FALSE(Form().visible[TSpellButton::Delete]);
        Form().Click(TSpellButton::Undo);
        EXPECT_EQ(Text(), c.text);
        EXPECT_EQ(Form().word, "the");
        EXPECT_TRUE(Form().repeated);
        Form().Click(TSpellButton::Abort);
    }
}

TEST_F(SpellerTest, IgnoredRepeatIsUndoneToARepeatAgain) {
    Start("the the zzzz");
    Form().Click(TSpellButton::Ignore);
    EXPECT_EQ(Form().word, "zzzz");
    Form().Click(TSpellButton::Undo);
    EXPECT_TRUE(Form().repeated);
    EXPECT_EQ(Form().word, "the");
}

TEST_F(SpellerTest, ReplaceAfterTheTextChangedResumesAtTheCursor) {
    Start("the catt sat zzzz");
    ASSERT_EQ(Form().word, "catt");
    // The user edits while the dialog waits: the word moved.
    target_->SetText("xx the catt sat zzzz");
    target_->Select(0, 0);
    Form().replacement = "cat";
    Form().Click(TSpellButton::Replace);
    EXPECT_EQ(Text(), "xx the catt sat zzzz"); // nothing written at the old place
    EXPECT_EQ(Form().word, "xx");              // checking went on from the cursor
}

TEST_F(SpellerTest, ResumeFromTheCursorInAnotherLanguage) {
    Start("the Katze und zzzz");
    EXPECT_EQ(Form().word, "Katze");
    EXPECT_EQ(Form().languages.size(), 2u);
    Form().language = 1;
    target_->Select(4, 0);
    Form().Click(TSpellButton::Resume);
    EXPECT_EQ(Speller().Language(), 1);
    EXPECT_FALSE(Form().enabled[TSpellButton::Resume]);
    EXPECT_EQ(Form().word, "zzzz");
    EXPECT_EQ(Speller().MainDictionary()->FileName().filename(), "de.dic");
}

TEST_F(SpellerTest, CompletionHidesTheDialogAndTellsTheOwner) {
    int completed = 0;
    Speller().OnCompleteCheck = [&] { ++completed; };
    Start("zzzz");
    EXPECT_TRUE(Form().isVisible);
    ASSERT_EQ(Form().placements.size(), 1u);
    EXPECT_TRUE(Form().placements[0].firstShowing);
    Form().Click(TSpellButton::Abort);
    EXPECT_EQ(completed, 1);
    EXPECT_TRUE(Speller().Aborted());
    EXPECT_FALSE(Form().isVisible);

    Speller().SetKeepFormVisible(true);
    Start("yyyy");
    EXPECT_FALSE(Form().placements.back().firstShowing);
    Form().callbacks.closed(); // the close box
    EXPECT_TRUE(Speller().Aborted());
    EXPECT_FALSE(Speller().Running());
    EXPECT_TRUE(Form().isVisible);
    EXPECT_EQ(completed, 2);

    Form().Click(TSpellButton::WordList);
    EXPECT_EQ(Speller().wordListCalls, 1);
}

// A messenger whose event pumping is the person at the dialog.
class PumpingMessenger : public components::TScriptedMessenger {
public:
    std::function<void()> OnEvents;
    void ProcessEvents() override {
        TScriptedMessenger::ProcessEvents();
        if (OnEvents)
            OnEvents();
    }
};

TEST_F(SpellerTest, WaitForCompletionPumpsAndReplaysClicksAfterTheSearch) {
    auto& speller = Speller();
    speller.SetWaitForCompletion(true);
    std::vector<std::string> seen;
    bool clickedDuringSearch = false;
    PumpingMessenger messenger;
    messenger.OnEvents = [&] {
        FakeForm& form = *speller.form;
        if (form.busy && !clickedDuringSearch) {
            clickedDuringSearch = true;
            form.Click(TSpellButton::IgnoreAlways); // held until the search stops
            return;
        }
        if (speller.WaitingAtWord()) {
            seen.push_back(form.word);
            form.Click(TSpellButton::Ignore);
        }
    };
    speller.SetMessenger(&messenger);
    // Long words so that the extended search (and its message pumping) runs.
    target_ = std::make_unique<TMemoTarget>("abcdefghij the klmnopqrst abcdefghij");
    speller.SetParser(std::make_unique<TCustomMemoParser>(*target_));
    speller.Check();
    EXPECT_FALSE(speller.Running());
    EXPECT_TRUE(clickedDuringSearch);
    EXPECT_TRUE(speller.AlwaysIgnore().Contains("abcdefghij"));
    EXPECT_EQ(seen, (W{"klmnopqrst"}));
}

TEST_F(SpellerTest, AWaitEndsWithoutAMessengerOrWhenItReportsAStop) {
    components::TScriptedMessenger stopped;
    stopped.RequestAbort();
    for (components::IMessenger* messenger : {static_cast<components::IMessenger*>(nullptr),
                                              static_cast<components::IMessenger*>(&stopped)}) {
        SCOPED_TRACE(messenger ? "stopped" : "none");
        Speller().SetWaitForCompletion(true);
        Speller().SetMessenger(messenger);
        Start("zzzz yyyy");
        // The check stays at its word for the owner to carry on or abort.
        EXPECT_TRUE(Speller().Running());
        EXPECT_TRUE(Speller().WaitingAtWord());
        EXPECT_EQ(Form().word, "zzzz");
        Form().Click(TSpellButton::Abort);
    }
    EXPECT_EQ(stopped.EventPumps, 0);
}

TEST_F(SpellerTest, PlainUserListCannotLearn) {
    WriteBytes(dir_ / "words.dic", "qwerty\n");
    Speller().UseUserDictionary(dir_ / "words.dic");
    Start("qwerty asdf");
    EXPECT_EQ(Form().word, "asdf");
    EXPECT_FALSE(Form().enabled[TSpellButton::Learn]);
    EXPECT_FALSE(Form().enabled[TSpellButton::ReplaceLearn]);
    EXPECT_FALSE(Form().learnAllowed);
    EXPECT_TRUE(Form().enabled[TSpellButton::IgnoreAlways]);
    Form().Click(TSpellButton::Learn); // a click that slips through changes nothing
    EXPECT_TRUE(Speller().WaitingAtWord());
    EXPECT_FALSE(Speller().UserDictionary()->Contains("asdf"));
    EXPECT_EQ(testing::ReadBytes(dir_ / "words.dic"), "qwerty\n");
}

TEST_F(SpellerTest, PropertiesReachDictionariesParserAndPlacement) {
    auto& speller = Speller();
    speller.LoadDictionaries();
    speller.SetMaxSuggestions(7);
    EXPECT_EQ(speller.MainDictionary()->SuggestLimit(), 7);
    speller.SetLanguage(1); // a new dictionary keeps its own limit
    EXPECT_EQ(speller.MainDictionary()->SuggestLimit(), 30);
    speller.SetLanguage(0);

    target_ = std::make_unique<TMemoTarget>("zzzz yyyy");
    target_->SetControlRect(std::nullopt); // not on screen
    speller.SetParser(std::make_unique<TCustomMemoParser>(*target_));
    speller.Check();
    ASSERT_EQ(Form().placements.size(), 1u);
    EXPECT_EQ(Form().placements[0].initialPos, TInitialPos::ipScreenCenter);
    EXPECT_EQ(speller.InitialPos(), TInitialPos::ipScreenCenter);
    EXPECT_EQ(speller.Parser()->MaxUndo(), 20);
    speller.SetMaxUndo(3);
    EXPECT_EQ(speller.Parser()->MaxUndo(), 3);
}

TEST_F(SpellerTest, UserListPlaceAndLanguageSetting) {
    std::filesystem::create_directories(dir_ / "appdata" / "Vexlor");
    WriteBytes(dir_ / "appdata" / "Vexlor" / "de.udt", "[Added]\nIGN_ListCount=1\nIGN_0=Maus\n");
    auto& speller = Speller();
    EXPECT_EQ(speller.UserDictionary()->FileName(),
              dir_ / "appdata" / "Vexlor" / "Dictionaries" / "en.udt");
    EXPECT_TRUE(std::filesystem::is_directory(dir_ / "appdata" / "Vexlor" / "Dictionaries"));
    speller.SetLanguage(7); // beyond the list: the last
    EXPECT_EQ(speller.Language(), 1);
    EXPECT_EQ(speller.UserDictionary()->FileName(), dir_ / "appdata" / "Vexlor" / "de.udt");
    EXPECT_TRUE(speller.IsWord("maus"));
    speller.SaveLanguage("Software\\Vexlor\\Brindlewoven\\Spell");
    speller.SetLanguage(-3);
    EXPECT_EQ(speller.Language(), 0);
    speller.LoadLanguage("Software\\Vexlor\\Brindlewoven\\Spell");
    EXPECT_EQ(speller.Language(), 1);
}

TEST_F(SpellerTest, LetterSetsAndPreparation) {
    registry_->WriteString(platform::RootKey::CurrentUser, kDictionariesKey, "Files0",
                           "en.dic|de.dic");
    auto& speller = Speller();
    speller.LoadDictionaries();
    std::string letters = speller.SuggestionLetters();
    EXPECT_EQ(letters.find('K'), std::string::npos); // A-Z left out
    EXPECT_NE(letters.find('z'), std::string::npos); // from the second dictionary
    std::string chars = speller.ParserWordChars();
    EXPECT_NE(chars.find('K'), std::string::npos);
    EXPECT_NE(chars.find('Z'), std::string::npos); // a capital of every letter

    struct Case {
        const char* word;
        const char* core;
        int leading, trailing;
    };
    const Case cases[] = {{"dog's", "dog", 0, 2}, {"'cat'", "cat", 1, 1},   {"--x--", "x", 2, 2},
                          {"''", "", 2, 0},       {"John'S", "John", 0, 2}, {"'s", "s", 1, 0}};
    for (const auto& c : cases) {
        auto prepared = speller.PrepareWord(c.word);
        EXPECT_EQ(prepared.core, c.core) << c.word;
        EXPECT_EQ(prepared.leading, c.leading) << c.word;
        EXPECT_EQ(prepared.trailing, c.trailing) << c.word;
    }
    EXPECT_EQ(TVXSpeller::AdaptCase("paris", "HELO"), "PARIS");
    EXPECT_EQ(TVXSpeller::AdaptCase("paris", "Helo"), "Paris");
    EXPECT_EQ(TVXSpeller::AdaptCase("Paris", "helo"), "Paris");
}

} // namespace
} // namespace speller
