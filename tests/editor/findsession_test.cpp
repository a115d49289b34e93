// Find and Replace without its window: the search over topics and
// selections, the replacements, the prompt, the histories and the faults a
// long run can meet.
#include "editor/findsession.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "components/pcreregex.h"
#include "components/rtf/stringlisttransfer.h"
#include "components/scriptedmessenger.h"
#include "editor/findplacement.h"
#include "editor/findsettings.h"
#include "editorfixture_support.h"
#include "platform/registry.h"

namespace {

using components::TScriptedMessenger;
using editor::TFindButton;
using editor::TFindOrigin;
using editor::TFindRequest;
using editor::TFindScope;

class TRecordingFindView : public editor::IFindView {
public:
    int locks = 0, unlocks = 0, hidden = 0, shown = 0, begun = 0, ended = 0, polls = 0;
    int changes = 0;
    int abortAtPoll = -1; // the n-th poll (1-based) reports Abort
    std::function<void()> onPoll;

    void LockUpdates(bool locked) override { ++(locked ? locks : unlocks); }
    void HideForm() override { ++hidden; }
    void ShowForm() override { ++shown; }
    void EditorChanged() override { ++changes; }
    void BeginReplaceAll(const std::string& text) override {
        ++begun;
        progressText = text;
    }
    bool ReplaceAllAborted() override {
        ++polls;
        if (onPoll)
            onPoll();
        return polls == abortAtPoll;
    }
    void EndReplaceAll() override { ++ended; }
    std::string progressText;
};

class FindFixture : public editortest::EditorFixture {
protected:
    // Topics with the given plain texts; the first is shown.
    void OpenTexts(std::initializer_list<std::pair<std::int32_t, std::string>> topics) {
        find.reset();
        editor.reset();
        auto project = std::make_unique<helpproject::TBrindlewovenProject>();
        project->ClearTopics();
        for (const auto& [number, text] : topics)
            project->AddTopic(number, "T" + std::to_string(number))->SetText({text});
        session = std::make_unique<helpproject::TEditingSession>(std::move(project));
        session->SetCurrentTopic(session->Project().Topics().front().get());
        styles.Clear();
        editor::AddDefaultTextStyles(styles, true);
        editor = std::make_unique<editor::TTopicEditor>(*session, view, styles, settings);
        session->SetModified(false);
        findView = TRecordingFindView{};
        find = std::make_unique<editor::TFindSession>(*editor, messenger, findView);
    }
    // The plain text of a topic as stored, without its final paragraph end.
    std::string Stored(std::int32_t number) {
        const rtf::RtfDocument document = rtf::LoadFromStrings(Topic(number).Text);
        std::string text = document.TextRange(0, document.TextLength());
        text.pop_back();
        return text;
    }
    std::string Shown() {
        std::string text = EditorText();
        text.pop_back();
        return text;
    }
    static TFindRequest Request(std::string findText, std::string replaceText = {},
                                TFindScope scope = TFindScope::CurrentTopic) {
        TFindRequest request;
        request.FindText = std::move(findText);
        request.ReplaceText = std::move(replaceText);
        request.Scope = scope;
        return request;
    }
    std::vector<std::string> NotFoundMessages() const {
        std::vector<std::string> out;
        for (const auto& record : messenger.Records)
            if (record.Caption == "Searching for Text...")
                out.push_back(record.Text);
        return out;
    }

    TScriptedMessenger messenger;
    TRecordingFindView findView;
    std::unique_ptr<editor::TFindSession> find;
};

// ---- escapes ---------------------------------------------------------------------------

struct EscapeCase {
    const char* typed;
    const char* decoded;
};

class UnescapeTest : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(UnescapeTest, DecodesAsTheWindowDefines) {
    EXPECT_EQ(editor::UnescapeSearchText(GetParam().typed), GetParam().decoded);
}

INSTANTIATE_TEST_SUITE_P(
    Escapes, UnescapeTest,
    ::testing::Values(EscapeCase{"a\\tb", "a\tb"}, EscapeCase{"a\\Tb", "a\tb"},
                      EscapeCase{"a\\nb", "a\r\nb"}, EscapeCase{"a\\Nb", "a\r\nb"},
                      EscapeCase{"a\\\\tb", "a\\tb"}, EscapeCase{"a\\\\Nb", "a\\Nb"},
                      EscapeCase{"a\\\\xb", "a\\\\xb"}, EscapeCase{"a\\\\\\tb", "a\\\\\tb"},
                      EscapeCase{"ab\\", "ab\\"}, EscapeCase{"a\\xb", "a\\xb"},
                      EscapeCase{"", ""}));

struct EscapedSearch {
    const char* text;  // the topic
    const char* typed; // the find text
    std::size_t pos;
    std::size_t length;
};

class EscapedSearchTest : public FindFixture,
                          public ::testing::WithParamInterface<EscapedSearch> {};

TEST_P(EscapedSearchTest, FindsWhatTheEscapesStandFor) {
    OpenTexts({{10, GetParam().text}});
    find->Search(TFindButton::Find, Request(GetParam().typed));
    ASSERT_TRUE(find->LastFound());
    EXPECT_EQ(view.text.SelStart(), GetParam().pos);
    EXPECT_EQ(view.text.SelLength(), GetParam().length);
}

INSTANTIATE_TEST_SUITE_P(Escapes, EscapedSearchTest,
                         ::testing::Values(EscapedSearch{"xx a\tb", "a\\tb", 3, 3},
                                           EscapedSearch{"a\tb a\\tb", "a\\\\tb", 4, 4},
                                           EscapedSearch{"y a\\\\xb", "a\\\\xb", 2, 5},
                                           EscapedSearch{"end\\", "d\\", 2, 2}));

TEST_F(FindFixture, ALineBreakFindsTheEndOfAParagraph) {
    OpenTexts({{10, "{\\rtf1 one\\par two\\par}"}});
    find->Search(TFindButton::ReplaceAll, Request("one\\ntwo", "one two"));
    EXPECT_EQ(Stored(10), "one two");
}

// ---- scopes ---------------------------------------------------------------------------------

TEST_F(FindFixture, AllTopicsGoesOnInTheNextTopicsAndEndsNotFound) {
    OpenTexts({{10, "x here"}, {20, "nothing"}, {30, "there x"}});
    const TFindRequest request = Request("x", "", TFindScope::AllTopics);
    find->Search(TFindButton::Find, request);
    EXPECT_EQ(Current(), 10);
    EXPECT_EQ(view.text.SelStart(), 0u);

    find->Search(TFindButton::FindNext, request);
    EXPECT_EQ(Current(), 30); // topic 20 was searched on the way
    EXPECT_EQ(Shown(), "there x");
    EXPECT_EQ(view.text.SelStart(), 6u);
    EXPECT_TRUE(find->Buttons().FindNextEnabled);
    EXPECT_TRUE(NotFoundMessages().empty());

    find->Search(TFindButton::FindNext, request);
    EXPECT_EQ(NotFoundMessages(), std::vector<std::string>{"Specified text cannot be found."});
    EXPECT_FALSE(find->LastFound());
    EXPECT_FALSE(find->Buttons().FindNextEnabled);
    EXPECT_FALSE(find->Buttons().ReplaceNextEnabled);
    EXPECT_FALSE(find->Buttons().ReplaceCurrentEnabled);
    EXPECT_TRUE(find->Buttons().FindDefault);
    EXPECT_FALSE(editor->BulkUpdate());
}

TEST_F(FindFixture, CurrentTopicStartsAtTheCursorWhenAsked) {
    OpenTexts({{10, "ab ab ab"}});
    view.text.SetSelection(4, 0);
    TFindRequest request = Request("ab");
    request.Origin = TFindOrigin::Cursor;
    find->Search(TFindButton::Find, request);
    EXPECT_EQ(view.text.SelStart(), 6u);
    request.Origin = TFindOrigin::TopicStart;
    find->Search(TFindButton::Find, request);
    EXPECT_EQ(view.text.SelStart(), 0u);
}

struct SelectionCase {
    const char* replaceWith;
    const char* expected;
};

class SelectionScopeTest : public FindFixture,
                           public ::testing::WithParamInterface<SelectionCase> {};

// The selection covers the first two occurrences; its end moves with each
// replacement, so the third stays as it was however the length changes.
TEST_P(SelectionScopeTest, TheSelectionEndMovesWithEachReplacement) {
    OpenTexts({{10, "aa aa aa"}});
    view.text.SetSelection(0, 5);
    find->Search(TFindButton::ReplaceAll,
                 Request("aa", GetParam().replaceWith, TFindScope::CurrentSelection));
    EXPECT_EQ(Shown(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Lengths, SelectionScopeTest,
                         ::testing::Values(SelectionCase{"xxxx", "xxxx xxxx aa"},
                                           SelectionCase{"a", "a a aa"},
                                           SelectionCase{"", "  aa"}));

TEST_F(FindFixture, CaseAndWholeWords) {
    OpenTexts({{10, "Cat cat concat CAT"}});
    TFindRequest request = Request("cat", "dog");
    request.WholeWords = true;
    find->Search(TFindButton::ReplaceAll, request);
    EXPECT_EQ(Shown(), "dog dog concat dog");
    OpenTexts({{10, "Cat cat concat CAT"}});
    request.WholeWords = false;
    request.MatchCase = true;
    find->Search(TFindButton::ReplaceAll, request);
    EXPECT_EQ(Shown(), "Cat dog condog CAT");
    // A replacement can make the next occurrence part of a word.
    OpenTexts({{10, "--"}});
    request = Request("-", "b");
    request.WholeWords = true;
    find->Search(TFindButton::ReplaceAll, request);
    EXPECT_EQ(Shown(), "b-");
}

// ---- replacing -------------------------------------------------------------------------------

TEST_F(FindFixture, ReplaceAllWithAnEmptyTextDeletesAndKeepsTheReplaceHistory) {
    OpenTexts({{10, "a-b-c-"}});
    find->ReplaceHistory() = {"old"};
    find->Search(TFindButton::ReplaceAll, Request("-", ""));
    EXPECT_EQ(Shown(), "abc");
    EXPECT_EQ(find->ReplaceHistory(), std::vector<std::string>{"old"});
    EXPECT_EQ(findView.begun, 1);
    EXPECT_EQ(findView.progressText, "Replacing all occurrences of \"-\" with \"\"...");
    EXPECT_EQ(findView.locks, 1);
    EXPECT_EQ(findView.unlocks, 1);
    EXPECT_EQ(findView.changes, 1);
}

TEST_F(FindFixture, ReplaceNextAndReplaceCurrentSelectTheInsertedText) {
    OpenTexts({{10, "one two one"}});
    const TFindRequest request = Request("one", "three");
    find->Search(TFindButton::Find, request);
    find->Search(TFindButton::ReplaceNext, request); // the second "one"
    EXPECT_EQ(Shown(), "one two three");
    EXPECT_EQ(view.text.SelText(), "three");

    view.text.SetSelection(0, 3);
    find->UpdateButtons(request);
    EXPECT_TRUE(find->Buttons().ReplaceCurrentEnabled);
    find->ReplaceCurrent(request);
    EXPECT_EQ(Shown(), "three two three");
    EXPECT_EQ(view.text.SelStart(), 0u);
    EXPECT_EQ(view.text.SelText(), "three");
    find->UpdateButtons(request);
    EXPECT_FALSE(find->Buttons().ReplaceCurrentEnabled);
}

TEST_F(FindFixture, ReplaceNextWithThePromptReplacesOnlyOnYes) {
    OpenTexts({{10, "x x"}});
    TFindRequest request = Request("x", "y");
    request.Prompt = true;
    messenger.QueueAnswer(components::mrNo);
    find->Search(TFindButton::Find, request);
    find->Search(TFindButton::ReplaceNext, request);
    EXPECT_EQ(Shown(), "x x");
    EXPECT_EQ(view.text.SelStart(), 2u); // left selected
    messenger.QueueAnswer(components::mrYes);
    find->Search(TFindButton::Find, request);
    find->Search(TFindButton::ReplaceNext, request);
    EXPECT_EQ(Shown(), "x y");
    EXPECT_EQ(messenger.Texts(TScriptedMessenger::TRecord::Question).back(),
              "Replace this occurrence of \"x\" ?");
}

TEST_F(FindFixture, AllInThePromptReplacesTheRestWithoutPromptsOrRepaints) {
    OpenTexts({{10, "x x"}, {20, "x x"}});
    TFindRequest request = Request("x", "y", TFindScope::AllTopics);
    request.Prompt = true;
    messenger.QueueAnswer(components::mrNo);
    messenger.QueueAnswer(components::mrAll);
    find->Search(TFindButton::ReplaceAll, request);
    EXPECT_EQ(messenger.Records.size(), 2u);
    EXPECT_EQ(Stored(10), "x y");
    EXPECT_EQ(Stored(20), "y y");
    EXPECT_EQ(findView.locks, 1);
    EXPECT_EQ(findView.unlocks, 1);
    EXPECT_EQ(findView.hidden, 1);
    EXPECT_EQ(findView.shown, 1);
    EXPECT_EQ(findView.begun, 0); // no progress box with the prompt
    EXPECT_TRUE(session->Modified());
}

TEST_F(FindFixture, StopInThePromptEndsTheRun) {
    OpenTexts({{10, "x x x"}});
    TFindRequest request = Request("x", "y");
    request.Prompt = true;
    messenger.QueueAnswer(components::mrYes);
    messenger.QueueAnswer(components::mrCancel);
    find->Search(TFindButton::ReplaceAll, request);
    EXPECT_EQ(Shown(), "y x x");
    EXPECT_EQ(findView.locks, 0);
    EXPECT_EQ(findView.shown, 1);
}

TEST_F(FindFixture, RegularExpressionsReplaceWithTheirGroups) {
    OpenTexts({{10, "mail ann@home and bob@work."}});
    TFindRequest request = Request("(\\w+)@(\\w+)", "$2 of $1");
    request.RegularExpressions = true;
    find->Search(TFindButton::ReplaceAll, request);
    EXPECT_EQ(Shown(), "mail home of ann and work of bob.");

    // Replace Current expands the groups of the selected match.
    OpenTexts({{10, "x ann@home"}});
    view.text.SetSelection(2, 8);
    find->UpdateButtons(request);
    EXPECT_TRUE(find->Buttons().ReplaceCurrentEnabled);
    find->ReplaceCurrent(request);
    EXPECT_EQ(Shown(), "x home of ann");
}

TEST_F(FindFixture, AnEmptyMatchOfAnExpressionIsNeverTaken) {
    OpenTexts({{10, "abc"}});
    TFindRequest request = Request("x*", "-");
    request.RegularExpressions = true;
    find->Search(TFindButton::ReplaceAll, request);
    EXPECT_EQ(Shown(), "abc");
    EXPECT_EQ(NotFoundMessages().size(), 1u);
}

// ---- histories -------------------------------------------------------------------------------

TEST_F(FindFixture, HistoryKeepsSixteenAndMovesAReusedTextToTheTop) {
    OpenTexts({{10, "text"}});
    for (int i = 1; i <= 17; ++i)
        find->Search(TFindButton::Find, Request("t" + std::to_string(i), "r"));
    ASSERT_EQ(find->FindHistory().size(), 16u);
    EXPECT_EQ(find->FindHistory().front(), "t17");
    EXPECT_EQ(find->FindHistory().back(), "t2"); // t1 was pushed out
    EXPECT_EQ(find->ReplaceHistory(), std::vector<std::string>{"r"});

    find->Search(TFindButton::Find, Request("T5"));
    ASSERT_EQ(find->FindHistory().size(), 16u);
    EXPECT_EQ(find->FindHistory().front(), "T5");
    EXPECT_EQ(std::count_if(find->FindHistory().begin(), find->FindHistory().end(),
                            [](const std::string& item) { return item == "t5"; }),
              0);
}

TEST(FindSettings, RoundTripAndDefaults) {
    auto registry = platform::OpenMemoryRegistry();
    editor::TFindSettings defaults;
    defaults.Load(*registry);
    EXPECT_TRUE(defaults.ShowOptions && defaults.ShowScope && defaults.ShowButtonText &&
                defaults.StayOnTop);
    EXPECT_FALSE(defaults.Left.has_value());

    editor::TFindSettings settings;
    settings.ShowScope = false;
    settings.StayOnTop = false;
    settings.Left = 12;
    settings.Top = 34;
    settings.HistoryFind = {"one", "two words"};
    settings.HistoryReplace = {};
    settings.Save(*registry);
    EXPECT_EQ(registry->ReadString(platform::RootKey::CurrentUser, editor::kFindReplaceKey,
                                   "HistoryFind"),
              "one\r\ntwo words\r\n");
    EXPECT_EQ(
        registry->ReadBinary(platform::RootKey::CurrentUser, editor::kFindReplaceKey, "ShowScope"),
        std::string(1, '\0'));

    editor::TFindSettings loaded;
    loaded.Load(*registry);
    EXPECT_TRUE(loaded.ShowOptions);
    EXPECT_FALSE(loaded.ShowScope);
    EXPECT_FALSE(loaded.StayOnTop);
    EXPECT_EQ(loaded.Left, 12);
    EXPECT_EQ(loaded.Top, 34);
    EXPECT_EQ(loaded.HistoryFind, (std::vector<std::string>{"one", "two words"}));
    EXPECT_TRUE(loaded.HistoryReplace.empty());

    // A history grown outside the program is cut to what the window keeps.
    std::string many;
    for (int i = 0; i < 40; ++i)
        many += "item" + std::to_string(i) + "\n";
    registry->WriteString(platform::RootKey::CurrentUser, editor::kFindReplaceKey, "HistoryReplace",
                          many);
    loaded.Load(*registry);
    EXPECT_EQ(loaded.HistoryReplace.size(), editor::kFindHistorySize);
}

// ---- buttons and radio buttons -------------------------------------------------------------

TEST(FindScopeControls, FollowTheSelectionAndTheScope) {
    using editor::FindScopeControls;
    auto c =
        FindScopeControls(false, TFindScope::CurrentSelection, TFindOrigin::SelectionStart, true);
    EXPECT_EQ(c.Scope, TFindScope::CurrentTopic);
    EXPECT_EQ(c.Origin, TFindOrigin::Cursor);
    EXPECT_FALSE(c.CurrentSelEnabled);
    EXPECT_FALSE(c.SelStartEnabled);

    c = FindScopeControls(true, TFindScope::AllTopics, TFindOrigin::TopicStart, false);
    EXPECT_FALSE(c.DocStartEnabled || c.SelStartEnabled || c.CursorEnabled);
    EXPECT_TRUE(c.CurrentSelEnabled);

    c = FindScopeControls(true, TFindScope::CurrentSelection, TFindOrigin::TopicStart, false);
    EXPECT_EQ(c.Origin, TFindOrigin::SelectionStart);
    EXPECT_TRUE(c.SelStartEnabled);
    EXPECT_FALSE(c.DocStartEnabled || c.CursorEnabled);

    c = FindScopeControls(true, TFindScope::CurrentTopic, TFindOrigin::SelectionStart, true);
    EXPECT_TRUE(c.DocStartEnabled && c.SelStartEnabled && c.CursorEnabled);
    EXPECT_EQ(c.Origin, TFindOrigin::SelectionStart);
}

TEST_F(FindFixture, ButtonsFollowTheTextAndTheLastSearch) {
    OpenTexts({{10, "abc"}});
    find->UpdateButtons(Request(""));
    EXPECT_FALSE(find->Buttons().FindEnabled || find->Buttons().ReplaceAllEnabled);
    find->UpdateButtons(Request("b"));
    EXPECT_TRUE(find->Buttons().FindEnabled && find->Buttons().FindDefault);
    EXPECT_FALSE(find->Buttons().FindNextEnabled);
    find->Search(TFindButton::Find, Request("b"));
    find->UpdateButtons(Request("B"));
    EXPECT_TRUE(find->Buttons().FindNextEnabled && find->Buttons().ReplaceNextEnabled);
    EXPECT_FALSE(find->Buttons().FindDefault);
    EXPECT_TRUE(find->Buttons().ReplaceCurrentEnabled); // "b" selected, compared lower-cased
}

// ---- faults of a long run ----------------------------------------------------------------------

TEST_F(FindFixture, ReplaceAllInAllTopicsStoresEveryTopicAndMarksTheProject) {
    OpenTexts({{10, "old 10"}, {20, "none"}, {30, "old old 30"}});
    find->Search(TFindButton::ReplaceAll, Request("old", "new", TFindScope::AllTopics));
    EXPECT_TRUE(session->Modified());
    EXPECT_EQ(Stored(10), "new 10");
    EXPECT_EQ(Stored(20), "none");
    EXPECT_EQ(Stored(30), "new new 30"); // the last topic too, though it stays shown
    EXPECT_EQ(Current(), 30);
    EXPECT_FALSE(view.text.Modified());
    EXPECT_FALSE(editor->BulkUpdate());
    EXPECT_EQ(NotFoundMessages().size(), 0u);
}

TEST_F(FindFixture, ReplaceNextInAnotherTopicStoresItAndMarksTheProject) {
    OpenTexts({{10, "a"}, {20, "b b"}});
    const TFindRequest request = Request("b", "c", TFindScope::AllTopics);
    find->Search(TFindButton::Find, request); // goes to topic 20
    find->Search(TFindButton::ReplaceNext, request);
    EXPECT_EQ(Current(), 20);
    EXPECT_TRUE(session->Modified());
    EXPECT_EQ(Stored(20), "b c");
}

TEST_F(FindFixture, AnErrorDuringARunClearsTheBulkUpdate) {
    OpenTexts({{10, "a a"}, {20, "a"}});
    TFindRequest bad = Request("(", "x", TFindScope::AllTopics);
    bad.RegularExpressions = true;
    EXPECT_THROW(find->Search(TFindButton::ReplaceAll, bad), components::EPcreRegEx);
    EXPECT_FALSE(editor->BulkUpdate());
    EXPECT_FALSE(find->Running());

    findView.onPoll = [] { throw std::runtime_error("window gone"); };
    EXPECT_THROW(find->Search(TFindButton::ReplaceAll, Request("a", "b", TFindScope::AllTopics)),
                 std::runtime_error);
    EXPECT_FALSE(editor->BulkUpdate());
    EXPECT_FALSE(find->Running());
    EXPECT_EQ(findView.begun, findView.ended);
    EXPECT_EQ(findView.locks, findView.unlocks);
    EXPECT_TRUE(session->Modified());
    EXPECT_EQ(Stored(10), "b a"); // what was replaced is kept

    // The window works again.
    findView.onPoll = nullptr;
    find->Search(TFindButton::ReplaceAll, Request("a", "b", TFindScope::AllTopics));
    EXPECT_EQ(Stored(10), "b b");
    EXPECT_EQ(Stored(20), "b");
}

TEST_F(FindFixture, AClickDuringARunIsIgnored) {
    OpenTexts({{10, "a a a"}});
    int nested = 0;
    findView.onPoll = [&] {
        ++nested;
        find->Search(TFindButton::ReplaceAll, Request("b", "c"));
        find->ReplaceCurrent(Request("b", "c"));
    };
    find->Search(TFindButton::ReplaceAll, Request("a", "b"));
    EXPECT_EQ(nested, 3);
    EXPECT_EQ(Shown(), "b b b");
    EXPECT_EQ(findView.begun, 1);
    EXPECT_FALSE(find->Running());
}

TEST_F(FindFixture, AbortKeepsTheReplacementsAndShowsTheCurrentTopic) {
    OpenTexts({{10, "a a"}, {20, "a a"}, {30, "a"}});
    findView.abortAtPoll = 3; // after the first replacement in topic 20
    find->Search(TFindButton::ReplaceAll, Request("a", "b", TFindScope::AllTopics));
    EXPECT_EQ(Stored(10), "b b");
    EXPECT_EQ(Stored(20), "b a");
    EXPECT_EQ(Stored(30), "a");
    EXPECT_EQ(Current(), 20);
    EXPECT_EQ(Shown(), "b a");
    EXPECT_TRUE(session->Modified());
    EXPECT_FALSE(editor->BulkUpdate());
    EXPECT_EQ(findView.ended, 1);
    EXPECT_EQ(findView.unlocks, 1);
}

// ---- placement ----------------------------------------------------------------------------------

TEST(FindPlacement, BesideTheEditorInTheFirstPlaceThatFits) {
    using editor::TFindPoint;
    using editor::TFindRect;
    const int sw = 1000, sh = 800;
    // Below the editor.
    EXPECT_EQ(editor::PlaceBesideEditor({100, 100, 500, 400}, 200, 100, sw, sh, {}, 10),
              (TFindPoint{100, 402}));
    // Right of it.
    EXPECT_EQ(editor::PlaceBesideEditor({100, 100, 500, 750}, 200, 100, sw, sh, {}, 10),
              (TFindPoint{502, 100}));
    // Above it.
    EXPECT_EQ(editor::PlaceBesideEditor({100, 300, 900, 750}, 200, 100, sw, sh, {}, 10),
              (TFindPoint{100, 198}));
    // Centred, then off the selection in the middle of the screen.
    const TFindRect selection{450, 380, 550, 400};
    EXPECT_EQ(editor::PlaceBesideEditor({0, 0, 1000, 800}, 200, 100, sw, sh, selection, 10),
              (TFindPoint{400, 430}));
    // Clamped onto the screen.
    EXPECT_EQ(editor::ClampToScreen({-5, 790}, 200, 100, sw, sh), (TFindPoint{0, 700}));
    // A window that covers no corner stays.
    EXPECT_FALSE(editor::MoveAwayFromSelection(selection, 10, {0, 0, 100, 100}, sw, sh));
    // Near the bottom the window goes above the text.
    EXPECT_EQ(editor::MoveAwayFromSelection({450, 740, 550, 760}, 10, {400, 700, 600, 800}, sw, sh),
              (TFindPoint{400, 610}));
    EXPECT_EQ(editor::PromptTop({450, 740, 550, 760}, 10, 120, sh), 740 - 120 - 30);
    EXPECT_EQ(editor::PromptTop(selection, 10, 120, sh), 430);
    // The prompt: centred across the screen, below the text, above it near
    // the bottom, and never off the screen.
    EXPECT_EQ(editor::PlacePrompt(selection, 10, 300, 120, sw, sh), (TFindPoint{350, 430}));
    EXPECT_EQ(editor::PlacePrompt({450, 740, 550, 760}, 10, 300, 120, sw, sh),
              (TFindPoint{350, 590}));
    EXPECT_EQ(editor::PlacePrompt({450, 20, 550, 700}, 10, 300, 120, sw, sh), (TFindPoint{350, 0}));
}

} // namespace
