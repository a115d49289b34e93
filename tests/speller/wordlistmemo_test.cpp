#include "speller/wordlistmemo.h"

#include <gtest/gtest.h>

#include "tests/speller/speller_support.h"

namespace speller {
namespace {

using W = std::vector<std::string>;

TEST(WordListMemo, ShownAndTakenBack) {
    testing::TempDir dir;
    TUserDictionary list(dir / "en.udt");
    list.AddWord("wrld");
    list.AddAutoCorrect("teh", "the");
    TWordListMemo memo = WordListMemoOf(list);
    EXPECT_EQ(memo.Learned, "wrld");
    EXPECT_EQ(memo.Replacements, "teh=the");

    // One-letter lines are no words; a replacement needs text on both sides
    // of its first "=".
    ApplyWordListMemo(list, {"Zorgle\r\nx\n\nblurb", "adn=and\n=nothing\nkeep=\nab=c=d"});
    EXPECT_EQ(list.Words().Words(), (W{"blurb", "Zorgle"}));
    EXPECT_EQ(list.AutoCorrectWords(), (W{"adn", "ab"}));
    EXPECT_EQ(list.AutoCorrectReplacements(), (W{"and", "c=d"}));
    EXPECT_TRUE(list.Modified());

    // A plain list is never changed.
    testing::WriteBytes(dir / "words.dic", "alpha\n");
    TUserDictionary plain(dir / "words.dic");
    ApplyWordListMemo(plain, {"beta", "x=y"});
    EXPECT_EQ(plain.Words().Words(), (W{"alpha"}));
    EXPECT_FALSE(plain.Modified());
}

} // namespace
} // namespace speller
