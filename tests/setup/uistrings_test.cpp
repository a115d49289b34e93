#include "setup/uistrings.h"

#include <gtest/gtest.h>

namespace {

using setup::SafeFormat;
using setup::SplitLines;
using setup::TFormatArg;

struct FormatCase {
    const char* format;
    std::vector<TFormatArg> args;
    const char* expected;
};

TEST(SafeFormat, FormatsOrLeavesTheTextAlone) {
    const FormatCase cases[] = {
        {"Please insert volume %d.", {std::int64_t{2}}, "Please insert volume 2."},
        {"%s (%s)", {std::string("Vexlor"), std::string("x")}, "Vexlor (x)"},
        {"100%% of %s", {std::string("it")}, "100% of it"},
        {"[%5s|%-4d|%.3d]",
         {std::string("ab"), std::int64_t{7}, std::int64_t{5}},
         "[   ab|7   |005]"},
        {"%1:s %0:s", {std::string("a"), std::string("b")}, "b a"},
        {"%x", {std::int64_t{255}}, "ff"},
        // Mismatches: the text is shown as it stands.
        {"%d files", {std::string("seven")}, "%d files"},
        {"%s and %s", {std::string("one")}, "%s and %s"},
        {"%n%n%n%s", {std::string("x")}, "%n%n%n%s"},
        {"trailing %", {}, "trailing %"},
        {"%s", {}, "%s"},
        {"no placeholders", {std::int64_t{1}}, "no placeholders"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SafeFormat(c.format, c.args), c.expected) << c.format;
}

TEST(SplitLines, BreaksAtAnyLineEnd) {
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitLines(""), V{});
    EXPECT_EQ(SplitLines("a"), V{"a"});
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (V{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n"), V{"a"});
    EXPECT_EQ(SplitLines("\r\n\r\nx"), (V{"", "", "x"}));
}

TEST(UiStrings, ASentenceWithAnEmptyTextIsLeftOut) {
    const FormatCase cases[] = {
        {"The file %s could not be read. Please contact %s.",
         {std::string("a.txt"), std::string()},
         "The file a.txt could not be read."},
        {"The file %s could not be read. Please contact %s.",
         {std::string("a.txt"), std::string("Vexlor")},
         "The file a.txt could not be read. Please contact Vexlor."},
        {"Please contact %s! The file %s is damaged.",
         {std::string(), std::string("a.txt")},
         "The file a.txt is damaged."},
        {"Damaged: %s.\rAsk %s about it\rSorry.",
         {std::string("a.txt"), std::string()},
         "Damaged: a.txt.\r\rSorry."},
        {"Ask %s", {std::string()}, ""},
        // Nothing empty, or a text that fits no argument: as Format does.
        {"%s and %s", {std::string("one")}, "%s and %s"},
        {"%d files", {std::int64_t{2}}, "2 files"},
    };
    for (const auto& c : cases) {
        setup::TUiStrings ui({c.format});
        EXPECT_EQ(ui.FormatLeavingOutEmpty(0, c.args), c.expected) << c.format;
    }
}

TEST(UiStrings, MissingIndexIsEmpty) {
    setup::TUiStrings ui({"zero", "one %d"});
    EXPECT_EQ(ui.Get(1), "one %d");
    EXPECT_EQ(ui.Get(99), "");
    EXPECT_EQ(ui.Format(1, {std::int64_t{1}}), "one 1");
}

} // namespace
