#include "editor/ui/spellactions.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include "components/ui/richeredit.h"
#include "editor/editorcontext.h"
#include "editor/ui/mainactions.h"
#include "speller/ui/brindlewovenspeller.h"
#include "speller/ui/vxspellerform.h"
#include "tests/editor/ui/form_support.h"
#include "tests/speller/dicbuilder_support.h"
#include "tests/speller/speller_support.h"
#include "tests/speller/ui/spellerui_support.h"

namespace editortest {
namespace {

namespace fs = std::filesystem;
using speller::TSpellButton;
using speller::ui::TVXSpellerForm;
using W = std::vector<std::string>;

helpproject::TStringList Rtf(const std::string& text) {
    return {"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}", "{\\colortbl ;}",
            "\\pard\\f0\\fs20 " + text + "\\par"};
}

class SpellActionsTest : public FormFixture {
protected:
    void SetUp() override {
        MakeForm();
        places_ = speller::testing::InstallEnglish(*registry, dir_.Path(),
                                                   speller::testing::SmallEnglish());
        form->SpellActions().SetPlaces(places_);
    }
    QAction* Action(const char* name) { return form->Actions().Action(name); }
    // Triggers the action; `answer` is called at each word the check window
    // shows (with the word), until the command returns.
    void Run(const char* action,
             const std::function<void(const std::string&, TVXSpellerForm&)>& answer) {
        QTimer timer;
        timer.setInterval(1);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            auto* speller = form->SpellActions().Speller();
            if (speller && speller->WaitingAtWord() && speller->SpellerForm() &&
                speller->SpellerForm()->isVisible()) {
                shown_.push_back(std::to_string(context->Session().CurrentTopic()->Number) + ":" +
                                 speller->CurrentWord());
                answer(speller->CurrentWord(), *speller->SpellerForm());
            }
        });
        timer.start();
        Action(action)->trigger();
    }
    W Messages() const { return messenger.Texts(components::TScriptedMessenger::TRecord::Message); }

    speller::testing::TempDir dir_;
    speller::TDictionaryPlaces places_;
    W shown_;
};

TEST_F(SpellActionsTest, F12ReplacesOneWordAndLearnsTheOther) {
    OpenFourTopics();
    context->Session().CurrentTopic()->SetText(Rtf("Helo the wrld is here{\\v \\{linkID=20\\}}"));
    context->TopicEditor().ShowTopic();
    EXPECT_EQ(Action("ActionTopicSpell")->shortcut(), QKeySequence("F12"));
    EXPECT_EQ(Action("ActionProjectSpell")->shortcut(), QKeySequence("Ctrl+F12"));
    EXPECT_TRUE(Action("ActionHelpDownloadSpell")->isEnabled());

    Run("ActionTopicSpell", [](const std::string& word, TVXSpellerForm& window) {
        if (word == "Helo") {
            auto found = window.ListSuggestions()->findItems("Hello", Qt::MatchExactly);
            ASSERT_FALSE(found.isEmpty());
            window.ListSuggestions()->setCurrentItem(found.front());
            QTest::mouseClick(window.Button(TSpellButton::Replace), Qt::LeftButton);
        } else {
            QTest::mouseClick(window.Button(TSpellButton::Learn), Qt::LeftButton);
        }
    });
    EXPECT_EQ(shown_, (W{"10:Helo", "10:wrld"}));
    EXPECT_EQ(Messages(), (W{"Spell check completed!"}));
    EXPECT_EQ(form->RichEdit().GetText(), "Hello the wrld is here{linkID=20}");
    // The user word list learned the word, on disk once the list is released.
    form->SpellActions().Commands().ApplicationDeactivated();
    const std::string list =
        speller::testing::ReadBytes(places_.AppDataFolder / "Vexlor" / "Dictionaries" / "en.udt");
    EXPECT_NE(list.find("IGN_0=wrld"), std::string::npos) << list;
    form->SpellActions().Commands().ApplicationActivated();
    EXPECT_TRUE(form->SpellActions().Speller()->IsWord("wrld"));

    // The language is kept at close.
    form->SpellActions().Commands().FreeSpeller();
    EXPECT_EQ(registry->ReadDword(platform::RootKey::CurrentUser,
                                  "Software\\Vexlor\\Brindlewoven\\Spell", "Language"),
              0u);
}

TEST_F(SpellActionsTest, ProjectCheckFollowsTheGridAndAbortLeavesTheTopicOnScreen) {
    OpenFourTopics();
    for (int number : {10, 20, 30, 40})
        context->Project().TopicByNumber(number)->SetText(
            Rtf("topic " + std::to_string(number) + " wordd" + std::to_string(number / 10 * 11)));
    context->Session().SortByColumn(helpproject::TTopicColumn::Title); // 20, 40, 30, 10
    context->TopicEditor().ShowTopic();

    // Ignored throughout: every topic in the grid's order, then back home.
    const std::int32_t home = context->Session().CurrentTopic()->Number;
    Run("ActionProjectSpell", [](const std::string&, TVXSpellerForm& window) {
        QTest::mouseClick(window.Button(TSpellButton::Ignore), Qt::LeftButton);
    });
    EXPECT_EQ(shown_, (W{"20:wordd", "40:wordd", "30:wordd", "10:wordd"}));
    EXPECT_EQ(Messages(), (W{"Spell check completed!"}));
    EXPECT_EQ(context->Session().CurrentTopic()->Number, home);
    EXPECT_FALSE(form->SpellActions().Speller()->SpellerForm()->isVisible());

    // Aborted in the second topic: it stays on screen, nothing is said.
    shown_.clear();
    messenger.Records.clear();
    Run("ActionProjectSpell", [this](const std::string&, TVXSpellerForm& window) {
        if (shown_.size() == 2)
            QTest::mouseClick(window.Button(TSpellButton::Abort), Qt::LeftButton);
        else
            QTest::mouseClick(window.Button(TSpellButton::Ignore), Qt::LeftButton);
    });
    EXPECT_EQ(shown_, (W{"20:wordd", "40:wordd"}));
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(context->Session().CurrentTopic()->Number, 40);
    EXPECT_NE(form->RichEdit().GetText().find("topic 40"), std::string::npos);
    EXPECT_FALSE(form->SpellActions().Speller()->SpellerForm()->isVisible());
}

// English's dictionary was damaged after it was installed: F12 still opens
// the check window, at the language choice, and Deutsch checks the topic.
TEST_F(SpellActionsTest, F12WithADamagedDictionaryStillReachesTheLanguageChoice) {
    const fs::path dicts = dir_.Path() / "dicts";
    speller::testing::WriteBytes(dicts / "de.dic",
                                 speller::testing::BuildDictionary({"der", "Hund", "und"}));
    speller::TDictionaryRegistration registration(*registry, places_);
    registration.Read();
    std::vector<speller::TDictionaryHeader> installed = registration.Installed();
    speller::TDictionaryHeader deutsch;
    deutsch.Name = "Deutsch";
    deutsch.Files = "de.dic";
    installed.push_back(deutsch);
    registration.Write(installed, dicts);
    speller::testing::WriteBytes(dicts / "en.dic", std::string(5000, 'x'));
    form->SpellActions().SetPlaces(places_);
    OpenFourTopics();
    context->Session().CurrentTopic()->SetText(Rtf("der Hund und Hunde"));
    context->TopicEditor().ShowTopic();

    QString problem;
    QTimer timer;
    timer.setInterval(1);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* speller = form->SpellActions().Speller();
        TVXSpellerForm* window = speller ? speller->SpellerForm() : nullptr;
        if (!window || !window->isVisible())
            return;
        if (!speller->DictionaryProblem().empty() && problem.isEmpty()) {
            problem = window->LabelNotFound()->text();
            window->ComboLanguage()->setCurrentIndex(1);
            emit window->ComboLanguage()->activated(1);
            QTest::mouseClick(window->Button(TSpellButton::Resume), Qt::LeftButton);
        } else if (speller->WaitingAtWord()) {
            shown_.push_back(speller->CurrentWord());
            QTest::mouseClick(window->Button(TSpellButton::Ignore), Qt::LeftButton);
        }
    });
    timer.start();
    Action("ActionTopicSpell")->trigger();
    EXPECT_TRUE(problem.contains("en.dic")) << problem.toStdString();
    EXPECT_TRUE(problem.contains("Choose a language")) << problem.toStdString();
    EXPECT_EQ(shown_, (W{"Hunde"}));
    EXPECT_EQ(Messages(), (W{"Spell check completed!"}));
    form->SpellActions().Commands().FreeSpeller();
    EXPECT_EQ(registry->ReadDword(platform::RootKey::CurrentUser,
                                  "Software\\Vexlor\\Brindlewoven\\Spell", "Language"),
              1u);
}

TEST_F(SpellActionsTest, WithoutDictionariesTheDownloadIsOffered) {
    registry->DeleteKey(platform::RootKey::CurrentUser, speller::kDictionariesKey);
    form->SpellActions().SetPlaces(places_);
    messenger.QueueAnswer(components::mrCancel);
    Action("ActionTopicSpell")->trigger();
    ASSERT_EQ(messenger.Records.size(), 1u);
    EXPECT_EQ(messenger.Records[0].Caption, "Spell Check");
    EXPECT_EQ(messenger.Records[0].Text.rfind("Since you did not yet install any spell check "
                                              "dictionaries, spell check is not available.",
                                              0),
              0u);
    EXPECT_EQ(form->SpellActions().DownloadWindow(), nullptr);
}

} // namespace
} // namespace editortest
