// The progress bar's model: clamping, the estimate of the time left, when
// the picture is repainted, the speed colour and the texts it draws.
#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "components/powerprogress.h"

namespace {

using components::TPowerProgress;
using components::TRgbColor;

TEST(PowerProgress, SettersKeepTheRangesOrdered) {
    struct Case {
        const char* name;
        std::function<void(TPowerProgress&)> act;
        int min, max, progress;
    } cases[] = {
        {"max below min moves min", [](TPowerProgress& p) { p.SetProgress(40), p.SetMaxValue(-5); },
         -6, -5, -5},
        {"min above max moves max", [](TPowerProgress& p) { p.SetMinValue(150); }, 150, 151, 150},
        {"progress clamped high", [](TPowerProgress& p) { p.SetProgress(200); }, 0, 100, 100},
        {"progress clamped low", [](TPowerProgress& p) { p.SetProgress(-3); }, 0, 100, 0},
        {"max lowers progress", [](TPowerProgress& p) { p.SetProgress(80), p.SetMaxValue(50); }, 0,
         50, 50},
        {"smallest int as max", [](TPowerProgress& p) { p.SetMaxValue(INT_MIN); }, INT_MIN,
         INT_MIN + 1, INT_MIN + 1},
        {"largest int as min", [](TPowerProgress& p) { p.SetMinValue(INT_MAX); }, INT_MAX - 1,
         INT_MAX, INT_MAX - 1},
    };
    for (const Case& c : cases) {
        TPowerProgress p;
        c.act(p);
        EXPECT_EQ(p.MinValue(), c.min) << c.name;
        EXPECT_EQ(p.MaxValue(), c.max) << c.name;
        EXPECT_EQ(p.Progress(), c.progress) << c.name;
    }
    TPowerProgress speed;
    speed.SetMaxSpeed(10);
    EXPECT_EQ(speed.Speed(), 10);
    speed.SetMinSpeed(200);
    EXPECT_EQ(speed.MaxSpeed(), 201);
    EXPECT_EQ(speed.Speed(), 200);
    speed.SetSpeed(-7);
    EXPECT_EQ(speed.Speed(), 200);
}

TEST(PowerProgress, SecondsLeftFollowsSecondsDoneRoundingTiesToEven) {
    struct Case {
        int secondsDone, progress, max, expected;
    } cases[] = {
        {30, 25, 100, 90},              // the documented example
        {1, 2, 3, 0},                   // 0.5 -> 0
        {3, 2, 3, 2},                   // 1.5 -> 2
        {5, 2, 3, 2},                   // 2.5 -> 2
        {7, 2, 3, 4},                   // 3.5 -> 4
        {10, 3, 4, 3},                  // 3.33 -> 3
        {0, 50, 100, -1},               // nothing spent yet
        {30, 0, 100, -1},               // no progress yet
        {INT_MAX, 1, INT_MAX, INT_MAX}, // far too long: capped, not overflowed
    };
    for (const Case& c : cases) {
        TPowerProgress p;
        p.SetMaxValue(c.max);
        p.SetProgress(c.progress);
        p.SetSecondsDone(c.secondsDone);
        EXPECT_EQ(p.SecondsLeft(), c.expected)
            << c.secondsDone << "s for " << c.progress << " of " << c.max;
    }
    TPowerProgress p;
    p.SetProgress(25);
    p.SetSecondsDone(30);
    p.SetProgress(50); // the estimate follows the progress
    EXPECT_EQ(p.SecondsLeft(), 30);
    p.SetSecondsDone(-1); // unknown again: the estimate stays
    EXPECT_EQ(p.SecondsLeft(), 30);
    p.SetSecondsLeft(12);
    EXPECT_EQ(p.SecondsDone(), -1);
}

// With progress 1000 of 2000 the estimate equals the seconds done, so each
// case can put one estimate on screen and offer the next.
TEST(PowerProgress, NewEstimateIsShownOnlyWhenItMovedClearly) {
    struct Case {
        int shown, fresh;
        bool accepted;
    } cases[] = {
        {100, 103, false}, {100, 94, true}, {100, 96, false}, {100, 111, true}, {100, 110, false},
        {10, 4, true},     {10, 9, true},   {10, 12, false},  {10, 13, true},   {50, 0, true},
    };
    for (const Case& c : cases) {
        TPowerProgress p;
        p.SetMaxValue(2000);
        p.SetProgress(1000);
        p.SetSecondsDone(c.shown);
        ASSERT_EQ(p.ShownSecondsLeft(), c.shown);
        int repaints = 0;
        p.OnRepaint = [&] { ++repaints; };
        p.SetSecondsDone(c.fresh);
        int expected = c.fresh > 0 ? c.fresh : -1;
        EXPECT_EQ(p.SecondsLeft(), expected);
        EXPECT_EQ(p.ShownSecondsLeft(), c.accepted ? expected : c.shown)
            << c.shown << " -> " << c.fresh;
        EXPECT_EQ(repaints, c.accepted ? 1 : 0) << c.shown << " -> " << c.fresh;
    }
}

TEST(PowerProgress, EstimatesFromTheCallerAreWeighedToo) {
    TPowerProgress p;
    p.SetSecondsLeft(3725);
    EXPECT_EQ(p.ShownSecondsLeft(), 3725);
    EXPECT_EQ(p.TimeLeftText(), "1h02'05\"");
    p.SetSecondsLeft(3726); // within the tolerance
    EXPECT_EQ(p.ShownSecondsLeft(), 3725);
    p.SetSecondsLeft(100);
    EXPECT_EQ(p.ShownSecondsLeft(), 100);
}

TEST(PowerProgress, AMillionUpdatesRepaintOncePerPercent) {
    TPowerProgress p;
    int repaints = 0;
    p.OnRepaint = [&] { ++repaints; };
    p.SetMaxValue(1000000);
    repaints = 0;
    for (int i = 1; i <= 1000000; ++i)
        p.SetProgress(i);
    EXPECT_LE(repaints, 101);
    EXPECT_GE(repaints, 100); // every percent reaches the screen
    EXPECT_EQ(p.ShownPercent(), 100);
}

TEST(PowerProgress, CaptionRepaintsAtMostEveryHundredMilliseconds) {
    std::int64_t now = 5000;
    TPowerProgress p([&] { return now; });
    int repaints = 0;
    p.OnRepaint = [&] { ++repaints; };
    for (int ms = 0; ms < 1000; ++ms) {
        now = 5000 + ms;
        p.SetCaption("file " + std::to_string(ms));
    }
    EXPECT_EQ(repaints, 10); // at 0, 101, 202, ..., 909 ms
}

TEST(PowerProgress, SpeedRepaintsOutsideTenPercent) {
    TPowerProgress p;
    int repaints = 0;
    p.OnRepaint = [&] { ++repaints; };
    p.SetSpeed(54);
    EXPECT_EQ(repaints, 0);
    p.SetSpeed(56);
    EXPECT_EQ(repaints, 1);
    p.SetSpeed(60); // within 10% of the 56 shown
    EXPECT_EQ(repaints, 1);
}

TEST(PowerProgress, SpeedColourFromOrangeToPaleGreen) {
    struct Case {
        int min, max, speed;
        TRgbColor expected;
    } cases[] = {
        {0, 100, 0, {0xFF, 0x80, 0x80}},   // slow: orange
        {0, 100, 25, {0xFF, 191, 0x80}},   //
        {0, 100, 50, {0xFF, 0xFF, 0x80}},  // middle: pale yellow
        {0, 100, 100, {0x80, 0xFF, 0x80}}, // fast: pale green
        {0, 1, 0, {0xFF, 0x80, 0x80}},     // a range of one step: no division by zero
        {0, 1, 1, {0x80, 0xFF, 0x80}},     {INT_MIN, INT_MAX, INT_MAX, {0x80, 0xFF, 0x80}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(components::SpeedColor(c.min, c.max, c.speed), c.expected)
            << c.min << ".." << c.max << " at " << c.speed;

    TPowerProgress p;
    p.SetMaxSpeed(1); // the mended case, through the model
    p.SetSpeed(0);
    EXPECT_EQ(p.FrontColor(), (TRgbColor{0xFF, 0x80, 0x80}));
    EXPECT_EQ(p.BackColor(), (TRgbColor{0x7F, 0x40, 0x40}));
    p.SetColorBack(TRgbColor{1, 2, 3});
    EXPECT_EQ(p.BackColor(), (TRgbColor{1, 2, 3}));
}

TEST(PowerProgress, TextsOnTheBar) {
    struct Case {
        int seconds;
        const char* text;
    } cases[] = {{0, "0\""},          {59, "59\""},        {60, "1'00\""}, {3599, "59'59\""},
                 {3600, "1h00'00\""}, {3725, "1h02'05\""}, {-1, ""}};
    for (const Case& c : cases)
        EXPECT_EQ(components::FormatSecondsLeft(c.seconds), c.text);

    TPowerProgress p;
    p.SetMaxValue(3);
    p.SetProgress(2);
    EXPECT_EQ(p.PercentText(), "66%");
    EXPECT_EQ(p.BarWidth(300), 200);
}

TEST(PowerProgress, LongCaptionIsCutAtSeparators) {
    auto width = [](std::string_view text) { return int(text.size()) * 10; };
    const std::string path = "C:\\dir\\sub\\file.txt"; // 19 characters
    struct Case {
        std::string caption;
        int available;
        std::string expected;
    } cases[] = {
        {path, 190, path},
        {path, 150, "C:\\dir\\sub..."},
        {path, 100, "C:\\dir..."},
        {path, 50, "C:..."},
        {path, 40, ""}, // no separator left at the second position or later
        {"one, two; three", 100, "one,..."},
        {" leading", 50, ""},
        {"nosep", 40, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(components::FitProgressCaption(c.caption, c.available, width), c.expected)
            << c.caption << " in " << c.available;
}

} // namespace
