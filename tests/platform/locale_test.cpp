#include <gtest/gtest.h>

#include <set>

#include "platform/codepage.h"
#include "platform/locale.h"

using namespace platform;

namespace {

TEST(Locale, AnsiCodePages) {
    const std::pair<uint32_t, int> cases[] = {
        {0x0409, 1252}, {0x0407, 1252},    {0x0405, 1250}, {0x0415, 1250}, {0x0419, 1251},
        {0x0402, 1251}, {0x0408, 1253},    {0x041F, 1254}, {0x040D, 1255}, {0x0401, 1256},
        {0x0429, 1256}, {0x0425, 1257},    {0x0427, 1257}, {0x042A, 1258}, {0x041E, 874},
        {0x0411, 932},  {0x0804, 936},     {0x1004, 936},  {0x0412, 949},  {0x0404, 950},
        {0x0C04, 950},  {0x0439, 0},       {0x042B, 0},    {0x0437, 0},    {0x0449, 0},
        {0x0445, 0},    {0x00020804, 936}, // Chinese with stroke sorting
        {0x9999, -1},   {0, -1},
    };
    for (auto [lcid, codePage] : cases) {
        SCOPED_TRACE(lcid);
        EXPECT_EQ(AnsiCodePageForLocale(lcid), codePage);
    }
}

TEST(Locale, OptionListHasTheDropDownForm) {
    std::vector<std::string> options = LocaleOptionStrings();
    ASSERT_GE(options.size(), 100u);
    EXPECT_EQ(options[0], "0x0436   Afrikaans");
    EXPECT_EQ(options[1], "0x041C   Albanian");
    auto has = [&](const char* entry) {
        return std::find(options.begin(), options.end(), entry) != options.end();
    };
    EXPECT_TRUE(has("0x0409   English (U.S.)"));
    EXPECT_TRUE(has("0x0407   German (Germany)"));
    EXPECT_TRUE(has("0x0411   Japanese"));

    std::set<uint32_t> seen;
    for (size_t i = 0; i < options.size(); ++i) {
        SCOPED_TRACE(options[i]);
        std::optional<uint32_t> lcid = ParseLocaleOption(options[i]);
        ASSERT_TRUE(lcid.has_value());
        EXPECT_TRUE(seen.insert(*lcid).second) << "duplicate";
        EXPECT_NE(AnsiCodePageForLocale(*lcid), -1);
        EXPECT_EQ(options[i].substr(6, 3), "   ");
        if (i > 0) {
            EXPECT_LT(AnsiCompareText(options[i - 1].substr(9), options[i].substr(9)), 0);
        }
    }
}

TEST(Locale, ParseLocaleOption) {
    EXPECT_EQ(ParseLocaleOption("0x0409   English (U.S.)"), 0x0409u);
    EXPECT_EQ(ParseLocaleOption("  0X041c"), 0x041Cu);
    EXPECT_EQ(ParseLocaleOption("English"), std::nullopt);
    EXPECT_EQ(ParseLocaleOption("0x"), std::nullopt);
    EXPECT_EQ(ParseLocaleOption("0xZZ"), std::nullopt);
    EXPECT_EQ(ParseLocaleOption("0x123456789"), std::nullopt);
}

} // namespace
