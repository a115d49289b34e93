#include "speller/brindlewovenparser.h"

#include <gtest/gtest.h>

#include "speller/brindlewovenspellersettings.h"

namespace speller {
namespace {

using W = std::vector<std::string>;

W Words(TMemoTarget& target) {
    TBrindlewovenRichEditParser parser(target);
    W words;
    while (auto word = parser.GetNextWord())
        words.push_back(*word);
    return words;
}

W Words(std::string_view text) {
    TMemoTarget target(text);
    return Words(target);
}

TEST(BrindlewovenParser, CodesAreSkippedUpToTheirBrace) {
    struct Case {
        const char* text;
        W words;
    } cases[] = {
        // Only hidden codes: nothing inside them is a word.
        {"{keepn}{button Caption,JumpID(`x')}", {}},
        {"see hotspot{linkID=12>main} here", {"see", "hotspot", "here"}},
        // The two codes the writers know beside the classic list.
        {"file{linkFile=readme.txt} movie{flash=intro.swf 20 30}", {"file", "movie"}},
        {"pic {bmct key.bmp} and {bml left.bmp}", {"pic", "and"}},
        // Keywords compare without regard to case, as the writers do.
        {"x {LINKID=5 abcdefg} y", {"x", "y"}},
        // A keyword without its brace is prose, as is one starting the line.
        {"the link works", {"the", "link", "works"}},
        {"link{linkID=3}", {"link"}},
        // A code the list does not name is checked as prose.
        {"{title=Zorgle}", {"title", "Zorgle"}},
        // No closing brace: the rest of the line only.
        {"a {link=topic@other.hlp\r\nnext line", {"a", "next", "line"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Words(c.text), c.words);
    }
}

TEST(BrindlewovenParser, HiddenTextIsNeverChecked) {
    TMemoTarget target("Click here{macro=Zorgle(1)} to go\r\nnext lne");
    // "{macro=Zorgle(1)}" is hidden, as the markup commands format it.
    target.SetHiddenRanges(0, {{10, 27}});
    // A hidden tail of a word: only the visible letters are checked.
    target.SetHiddenRanges(1, {{7, 8}});
    EXPECT_EQ(Words(target), (W{"Click", "here", "to", "go", "next", "ln"}));
}

TEST(BrindlewovenParser, AcceptedWordsAndSettings) {
    auto registry = platform::OpenMemoryRegistry();
    class Speller : public TVXSpeller {
    public:
        using TVXSpeller::TVXSpeller;

    protected:
        std::unique_ptr<IVXSpellerForm> CreateSpellerForm() override { return nullptr; }
    } speller(*registry, "/nonexistent");
    ApplyBrindlewovenSettings(speller);
    EXPECT_EQ(speller.SelBehavior(), TSelBehavior::sbAvoidUpDown);
    EXPECT_EQ(speller.Options(),
              soUpcase | soNumbers | soInternet | soAutoSuggest | soRecheck | soRepeated);
    EXPECT_EQ(BrindlewovenAcceptedWords().size(), 63u);
    for (const char* word : {"chm", "CHM", "helpcontext", "HelpContext", "e-mail", "unindent"})
        EXPECT_TRUE(speller.IsWord(word)) << word;
    EXPECT_FALSE(speller.IsWord("helpcontexts"));
}

} // namespace
} // namespace speller
