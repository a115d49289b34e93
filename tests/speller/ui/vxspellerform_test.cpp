#include "speller/ui/vxspellerform.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include "components/ui/richeredit.h"
#include "speller/ui/brindlewovenspeller.h"
#include "tests/speller/speller_support.h"
#include "tests/speller/ui/spellerui_support.h"

namespace speller::ui {
namespace {

TEST(VXSpellerForm, ChoosingAndTypingTheReplacement) {
    TVXSpellerForm form;
    std::vector<TSpellButton> clicks;
    form.SetCallbacks({[&](TSpellButton b) { clicks.push_back(b); }, {}, {}});
    for (TSpellButton b : {TSpellButton::Ignore, TSpellButton::Replace, TSpellButton::Learn})
        EXPECT_FALSE(form.Button(b)->isEnabled());
    EXPECT_TRUE(form.Button(TSpellButton::Abort)->isEnabled());
    EXPECT_TRUE(form.Button(TSpellButton::WordList)->isEnabled());
    form.SetLanguages({"English||'||';'s||en.dic", "Deutsch||||||de.dic"}, 1);
    EXPECT_EQ(form.ComboLanguage()->currentText(), "Deutsch");

    form.ShowWord("helo", false, false);
    EXPECT_TRUE(form.LabelNotInDict()->isVisibleTo(&form));
    EXPECT_FALSE(form.LabelRepeated()->isVisibleTo(&form));
    EXPECT_EQ(form.LabelNotFound()->text(), "helo");
    EXPECT_TRUE(form.Button(TSpellButton::Replace)->isEnabled());
    EXPECT_FALSE(form.Button(TSpellButton::Undo)->isEnabled());
    form.SetSuggestions({"hello", "help", "hello"});
    EXPECT_EQ(form.SuggestionCount(), 2);

    form.ListSuggestions()->setCurrentRow(1);
    EXPECT_EQ(form.EditReplace()->text(), "help");
    EXPECT_EQ(form.ListSuggestions()->currentRow(), 1);
    // Typing after choosing clears the choice.
    QTest::keyClick(form.EditReplace(), Qt::Key_S);
    EXPECT_EQ(form.EditReplace()->text(), "helps");
    EXPECT_EQ(form.ListSuggestions()->currentRow(), -1);
    EXPECT_EQ(form.GetReplacement(), "helps");

    // Double-click on a suggestion replaces.
    QListWidgetItem* item = form.ListSuggestions()->item(0);
    form.ListSuggestions()->setCurrentItem(item);
    emit form.ListSuggestions()->itemDoubleClicked(item);
    EXPECT_EQ(clicks, (std::vector<TSpellButton>{TSpellButton::Replace}));

    form.DisableAll();
    EXPECT_EQ(form.GetReplacement(), "");
    EXPECT_FALSE(form.Button(TSpellButton::Replace)->isEnabled());

    form.ShowWord("the", true, true);
    EXPECT_TRUE(form.LabelRepeated()->isVisibleTo(&form));
    EXPECT_TRUE(form.Button(TSpellButton::Delete)->isVisibleTo(&form));
    EXPECT_FALSE(form.Button(TSpellButton::Replace)->isVisibleTo(&form));
    EXPECT_TRUE(form.Button(TSpellButton::Undo)->isEnabled());

    // A language chosen waits for Resume.
    EXPECT_FALSE(form.Button(TSpellButton::Resume)->isEnabled());
    emit form.ComboLanguage()->activated(0);
    EXPECT_TRUE(form.Button(TSpellButton::Resume)->isEnabled());
}

// A repeated word has nothing to replace it with: the list and the field of
// the word before are emptied, and a double-click on a suggestion that
// turns up anyway does not reach the hidden Replace.
TEST(VXSpellerForm, RepeatedWordClearsTheSuggestionsAndCannotBeReplaced) {
    TVXSpellerForm form;
    std::vector<TSpellButton> clicks;
    form.SetCallbacks({[&](TSpellButton b) { clicks.push_back(b); }, {}, {}});
    form.ShowWord("wrld", false, false);
    form.SetSuggestions({"world", "word"});
    form.ListSuggestions()->setCurrentRow(0);
    ASSERT_EQ(form.GetReplacement(), "world");

    form.ShowWord("the", true, false);
    EXPECT_EQ(form.SuggestionCount(), 0);
    EXPECT_EQ(form.GetReplacement(), "");
    form.AddSuggestion("cheer");
    QListWidgetItem* item = form.ListSuggestions()->item(0);
    form.ListSuggestions()->setCurrentItem(item);
    EXPECT_TRUE(form.Button(TSpellButton::Replace)->isEnabled()); // the field's rule
    emit form.ListSuggestions()->itemDoubleClicked(item);
    EXPECT_TRUE(clicks.empty());
}

// A dictionary that cannot be read: the window says so where the word goes
// and offers only the language choice, Resume and Abort.
TEST(VXSpellerForm, AProblemLeavesTheLanguageChoiceOpen) {
    TVXSpellerForm form;
    form.SetLanguages({"English||'||';'s||en.dic", "Deutsch||||||de.dic"}, 0);
    form.ShowWord("helo", false, true);
    form.SetSuggestions({"hello"});
    form.ShowProblem("The dictionary \"en.dic\" is damaged.\r\n\r\nChoose a <b>language</b>.");
    EXPECT_FALSE(form.LabelNotInDict()->isVisibleTo(&form));
    EXPECT_FALSE(form.LabelRepeated()->isVisibleTo(&form));
    EXPECT_EQ(form.LabelNotFound()->text(),
              "The dictionary \"en.dic\" is damaged.\n\nChoose a <b>language</b>.");
    EXPECT_EQ(form.LabelNotFound()->textFormat(), Qt::PlainText);
    EXPECT_EQ(form.SuggestionCount(), 0);
    for (TSpellButton b : {TSpellButton::Ignore, TSpellButton::Replace, TSpellButton::Learn,
                           TSpellButton::Undo, TSpellButton::Suggest})
        EXPECT_FALSE(form.Button(b)->isEnabled());
    EXPECT_TRUE(form.Button(TSpellButton::Resume)->isEnabled());
    EXPECT_TRUE(form.Button(TSpellButton::Abort)->isEnabled());
    EXPECT_TRUE(form.ComboLanguage()->isEnabled());
    // The next word shows as words do.
    form.ShowWord("wrld", false, false);
    EXPECT_TRUE(form.LabelNotInDict()->isVisibleTo(&form));
    EXPECT_EQ(form.LabelNotFound()->text(), "wrld");
}

TEST(VXSpellerForm, AListThatCannotLearnKeepsLearnOff) {
    TVXSpellerForm form;
    form.SetLearnAllowed(false);
    form.ShowWord("helo", false, false);
    EXPECT_FALSE(form.Button(TSpellButton::Learn)->isEnabled());
    EXPECT_FALSE(form.Button(TSpellButton::ReplaceLearn)->isEnabled());
    QTest::keyClicks(form.EditReplace(), "hello");
    EXPECT_TRUE(form.Button(TSpellButton::ReplaceAlways)->isEnabled());
    EXPECT_FALSE(form.Button(TSpellButton::ReplaceLearn)->isEnabled());
    form.SetLearnAllowed(true);
    form.ShowWord("wrld", false, false);
    EXPECT_TRUE(form.Button(TSpellButton::Learn)->isEnabled());
}

class SpellerOnEdit : public ::testing::Test {
protected:
    void SetUp() override {
        registry_ = platform::OpenMemoryRegistry();
        places_ = testing::InstallEnglish(*registry_, dir_.Path(), testing::SmallEnglish());
        edit_.resize(600, 300);
        edit_.show();
    }
    // Runs a check of `text`; `answer` is called at each word the dialog
    // shows, until it returns.
    void Check(const std::string& text, const std::function<void(TVXSpellerForm&)>& answer) {
        edit_.LoadFromStrings({text});
        speller_ = std::make_unique<TBrindlewovenSpeller>(*registry_, places_);
        QTimer timer;
        timer.setInterval(1);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (speller_->WaitingAtWord() && speller_->SpellerForm() &&
                speller_->SpellerForm()->isVisible()) {
                words_.push_back(speller_->CurrentWord());
                answer(*speller_->SpellerForm());
            }
        });
        timer.start();
        speller_->CheckRichEdit(edit_);
    }

    testing::TempDir dir_;
    std::unique_ptr<platform::Registry> registry_;
    TDictionaryPlaces places_;
    components::ui::TRicherEdit edit_;
    std::unique_ptr<TBrindlewovenSpeller> speller_;
    std::vector<std::string> words_;
};

TEST_F(SpellerOnEdit, ClosingTheWindowAbortsTheCheck) {
    Check("the cat sat on the matt and the dogg", [](TVXSpellerForm& form) { form.close(); });
    EXPECT_FALSE(speller_->Running());
    EXPECT_TRUE(speller_->Aborted());
    EXPECT_EQ(words_, (std::vector<std::string>{"matt"}));
    EXPECT_FALSE(speller_->SpellerForm()->isVisible());
}

TEST_F(SpellerOnEdit, ButtonsOfTheWindowDriveTheCheck) {
    Check("Helo there, the the wrld of chm and HelpContext", [](TVXSpellerForm& form) {
        if (form.LabelRepeated()->isVisible()) {
            QTest::mouseClick(form.Button(TSpellButton::Delete), Qt::LeftButton);
        } else if (form.LabelNotFound()->text() == "Helo") {
            QListWidget* list = form.ListSuggestions();
            auto found = list->findItems("Hello", Qt::MatchExactly);
            ASSERT_FALSE(found.isEmpty());
            list->setCurrentItem(found.front());
            QTest::mouseClick(form.Button(TSpellButton::Replace), Qt::LeftButton);
        } else {
            QTest::mouseClick(form.Button(TSpellButton::IgnoreAlways), Qt::LeftButton);
        }
    });
    EXPECT_FALSE(speller_->Aborted());
    EXPECT_EQ(words_, (std::vector<std::string>{"Helo", "the", "wrld"}));
    EXPECT_EQ(edit_.GetText(), "Hello there, the wrld of chm and HelpContext");
    EXPECT_TRUE(speller_->AlwaysIgnore().Contains("wrld"));
}

// "The the cat" after a misspelling: at the repeated word the list holds
// nothing of the word before, so no double-click can put one of its
// suggestions in place of the repeated word.
TEST_F(SpellerOnEdit, RepeatedWordAfterAMisspellingOffersNoSuggestions) {
    std::vector<int> countsAtRepeated;
    Check("Helo there. The the cat sat", [&](TVXSpellerForm& form) {
        if (form.LabelRepeated()->isVisible()) {
            countsAtRepeated.push_back(form.SuggestionCount());
            // What the author tried: choose a suggestion, double-click it.
            if (QListWidgetItem* item = form.ListSuggestions()->item(0)) {
                form.ListSuggestions()->setCurrentItem(item);
                emit form.ListSuggestions()->itemDoubleClicked(item);
            }
            if (speller_->WaitingAtWord())
                QTest::mouseClick(form.Button(TSpellButton::Ignore), Qt::LeftButton);
            return;
        }
        ASSERT_GT(form.SuggestionCount(), 0);
        form.ListSuggestions()->setCurrentRow(0);
        QTest::mouseClick(form.Button(TSpellButton::Ignore), Qt::LeftButton);
    });
    EXPECT_FALSE(speller_->Aborted());
    EXPECT_EQ(words_, (std::vector<std::string>{"Helo", "the"}));
    EXPECT_EQ(countsAtRepeated, (std::vector<int>{0}));
    EXPECT_EQ(edit_.GetText(), "Helo there. The the cat sat");
}

} // namespace
} // namespace speller::ui
