#include "speller/ui/richedittarget.h"

#include <QApplication>
#include <gtest/gtest.h>

#include "components/ui/richeredit.h"
#include "speller/brindlewovenparser.h"
#include "speller/parser.h"

namespace speller::ui {
namespace {

struct Finding {
    std::string word;
    int line;
    int column;
    int start;
    bool operator==(const Finding&) const = default;
};

std::vector<Finding> Walk(TParser& parser) {
    std::vector<Finding> found;
    while (auto word = parser.GetNextWord())
        found.push_back({*word, parser.Line(), parser.Column(), parser.WordStart()});
    return found;
}

TEST(RichEditTarget, SameFindingsAsTheTextInMemory) {
    const std::vector<std::string> paragraphs = {"Click the hotspot{linkID=12} to see more.",
                                                 "",
                                                 "mail me at joe@example.com, or",
                                                 "visit http://www.example.com/x(1) today",
                                                 "a \"quoted\" word's end-",
                                                 "last"};
    components::ui::TRicherEdit edit;
    edit.LoadFromStrings(paragraphs);
    std::string text;
    for (std::size_t i = 0; i < paragraphs.size(); ++i)
        text += (i ? "\r\n" : "") + paragraphs[i];
    TMemoTarget memo(text);
    TRichEditTarget rich(edit);
    ASSERT_EQ(rich.LineCount(), memo.LineCount());
    for (int i = 0; i <= memo.LineCount(); ++i) {
        EXPECT_EQ(rich.Line(i), memo.Line(i));
        EXPECT_EQ(rich.LineStart(i), memo.LineStart(i));
    }
    EXPECT_EQ(rich.TextRange(38, 12), memo.TextRange(38, 12));
    EXPECT_EQ(rich.LineFromChar(45), memo.LineFromChar(45));

    for (bool topic : {false, true}) {
        SCOPED_TRACE(topic ? "topic parser" : "rich-edit parser");
        std::unique_ptr<TParser> onRich, onMemo;
        if (topic) {
            onRich = std::make_unique<TBrindlewovenRichEditParser>(rich);
            onMemo = std::make_unique<TBrindlewovenRichEditParser>(memo);
        } else {
            onRich = std::make_unique<TCustomRichEditParser>(rich);
            onMemo = std::make_unique<TCustomRichEditParser>(memo);
        }
        std::vector<Finding> expected = Walk(*onMemo);
        EXPECT_EQ(Walk(*onRich), expected);
        EXPECT_GT(expected.size(), 10u);
    }

    // A replacement lands in the same place and keeps the control's positions.
    TCustomRichEditParser parser(rich);
    while (auto word = parser.GetNextWord())
        if (*word == "today")
            break;
    parser.ReplaceWord("tomorrow");
    EXPECT_EQ(edit.GetText().substr(static_cast<std::size_t>(rich.LineStart(3))),
              "visit http://www.example.com/x(1) tomorrow\r\na \"quoted\" word's end-\r\nlast");
    EXPECT_EQ(edit.GetSelStart(), rich.LineStart(3) + 42);
}

TEST(RichEditTarget, HiddenTextAndCodesAreNotChecked) {
    components::ui::TRicherEdit edit;
    edit.LoadFromStrings({"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}", "{\\colortbl ;}",
                          "\\pard Click here{\\v \\{macro=Zorgle(Wrongg)\\}} to go.\\par",
                          "\\pard {\\v \\{keepn\\}}Titel {\\v secrett}after\\par",
                          "\\pard see \\{bmc pic.bmp\\} and \\{linkFile=readme.txt\\}\\par"});
    TRichEditTarget target(edit);
    ASSERT_EQ(target.LineCount(), 3);
    EXPECT_EQ(target.HiddenRanges(0), (ITextTarget::TColumnRanges{{10, 32}}));
    TBrindlewovenRichEditParser parser(target);
    std::vector<std::string> words;
    while (auto word = parser.GetNextWord())
        words.push_back(*word);
    EXPECT_EQ(words, (std::vector<std::string>{"Click", "here", "to", "go", "Titel", "after", "see",
                                               "and"}));
}

TEST(RichEditTarget, ReplacementKeepsTheWordsFormat) {
    components::ui::TRicherEdit edit;
    edit.LoadFromStrings({"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}", "{\\colortbl ;}",
                          "\\pard plain {\\b bolld} plain\\par"});
    TRichEditTarget target(edit);
    target.Select(6, 5);
    target.ReplaceSelection("bold");
    EXPECT_EQ(edit.GetText(), "plain bold plain");
    target.Select(7, 1);
    EXPECT_TRUE(edit.GetSelAttributes().bold);
    target.Select(11, 1);
    EXPECT_FALSE(edit.GetSelAttributes().bold);
}

} // namespace
} // namespace speller::ui
