#include <gtest/gtest.h>

#include "editor/formatbar.h"
#include "editorfixture_support.h"

using namespace editor;
using editortest::EditorFixture;

namespace {

// A widget that reports its own programmatic changes as the user's, as
// Qt's boxes do when their value is set.
class TEchoingBarView : public IFormatBarView {
public:
    TFormatBar* bar = nullptr;
    int shown = 0;
    void ShowFormat(const TFormatBarState& state) override {
        ++shown;
        bar->SetFontSize(state.FontSize + 2);
        bar->SetFontName("Courier New");
        bar->SetColorIndex(state.ColorIndex + 1);
        bar->ToggleBold();
        bar->AlignRight();
        bar->ToggleBullet();
    }
};

// Keeps what the bar showed last.
class TRecordingBarView : public IFormatBarView {
public:
    TFormatBarState last;
    void ShowFormat(const TFormatBarState& state) override { last = state; }
};

class FormatBarTest : public EditorFixture {
protected:
    void SetUp() override {
        Open({10});
        view.text.LoadDocument(rtf::RtfDocument::FromPlainText("red and blue"));
    }
    void Color(std::size_t pos, std::size_t count, helpproject::TColor color) {
        rtf::CharFormat f;
        f.color = rtf::Color::FromTColor(static_cast<std::uint32_t>(color));
        view.text.SetRangeFormat(pos, count, f, rtf::kCharColor);
        view.text.SetModified(false);
    }
};

} // namespace

TEST(FormatBar, ColorEntries) {
    struct Case {
        std::uint32_t color; // 0xFF...: the automatic colour
        bool uniform;
        int index;
    };
    const Case cases[] = {
        {0xFF000008, true, 0}, {0x000000, true, 1},  {0x000080, true, 2}, {0x008000, true, 3},
        {0xFF0000, true, 13},  {0xFFFF00, true, 15}, {0x123456, true, 0}, {0x0000FF, false, 0},
    };
    for (const Case& c : cases) {
        TSelectionFormat format;
        format.Format.color = rtf::Color::FromTColor(c.color);
        if (!c.uniform)
            format.Uniform &= ~rtf::kCharColor;
        EXPECT_EQ(TextColorIndex(format), c.index) << std::hex << c.color;
    }
}

TEST(FormatBar, MirrorShowsTheSelectionsFormat) {
    TSelectionFormat format;
    format.Format.face = "Courier New";
    format.Format.size = 22;
    format.Format.bold = true;
    format.Format.strike = true;
    format.Format.underline = rtf::UnderlineKind::Double;
    rtf::ParaFormat paragraph;
    paragraph.alignment = rtf::Alignment::Center;
    paragraph.bullet = true;
    TFormatBarState state = MirrorFormat(format, paragraph, 3);
    EXPECT_TRUE(state.HasSelection);
    EXPECT_EQ(state.FontName, "Courier New");
    EXPECT_EQ(state.FontSize, 11);
    EXPECT_TRUE(state.Bold && state.StrikeOut && state.Underline && !state.Italic);
    EXPECT_TRUE(state.AlignCenter && !state.AlignLeft && !state.AlignRight && state.Bullet);

    // What varies over the selection shows as off, or empty.
    format.Uniform &= ~(rtf::kCharBold | rtf::kCharFace | rtf::kCharSize);
    state = MirrorFormat(format, paragraph, 0);
    EXPECT_FALSE(state.HasSelection);
    EXPECT_FALSE(state.Bold);
    EXPECT_EQ(state.FontName, "");
    EXPECT_EQ(state.FontSize, 0);
}

TEST_F(FormatBarTest, MixedColoursShowTheFirstEntry) {
    Color(0, 3, 0x0000FF);
    Color(8, 4, 0xFF0000);
    TRecordingBarView recorder;
    TFormatBar bar(*editor, recorder);
    view.text.SetSelection(0, 3);
    bar.Mirror();
    EXPECT_EQ(recorder.last.ColorIndex, 10);
    view.text.SetSelection(0, 12);
    bar.Mirror();
    EXPECT_EQ(recorder.last.ColorIndex, 0);
}

// Showing the format never writes into the text, whatever the widget does
// while it is being updated.
TEST_F(FormatBarTest, MirroringNeverModifiesTheText) {
    TEchoingBarView echo;
    TFormatBar bar(*editor, echo);
    echo.bar = &bar;
    view.text.SetSelection(0, 3);
    const rtf::RtfDocument before = view.text.Document();
    bar.Mirror();
    EXPECT_EQ(echo.shown, 1);
    EXPECT_FALSE(view.text.Modified());
    EXPECT_TRUE(view.text.Document() == before);
}

TEST_F(FormatBarTest, CommandsFormatTheSelection) {
    TRecordingBarView recorder;
    TFormatBar bar(*editor, recorder);
    view.text.SetSelection(0, 3);
    bar.Mirror();
    bar.ToggleBold();
    EXPECT_TRUE(view.text.Document().CharFormatAt(1).bold);
    EXPECT_TRUE(recorder.last.Bold);
    bar.ToggleBold();
    EXPECT_FALSE(view.text.Document().CharFormatAt(1).bold);

    for (int size : {3, 100})
        bar.SetFontSize(size);
    EXPECT_EQ(view.text.Document().CharFormatAt(1).size, 20);
    bar.SetFontSize(99);
    EXPECT_EQ(view.text.Document().CharFormatAt(1).size, 198);

    bar.SetColorIndex(3);
    EXPECT_EQ(view.text.Document().CharFormatAt(1).color, rtf::Color::FromTColor(clGreen));
    bar.SetColorIndex(0);
    EXPECT_TRUE(view.text.Document().CharFormatAt(1).color.isAuto);
    EXPECT_FALSE(view.text.Document().CharFormatAt(4).bold);
}

TEST(FormatBar, BulletsSetIndentsAndTheFirstTab) {
    struct Case {
        int leftIndent, firstIndent; // twips
        std::vector<int> tabs;
        int expectedLeft, expectedFirst;
        std::vector<int> expectedTabs;
    };
    const Case cases[] = {
        {0, 0, {}, 160, -160, {160}},      // no indent: 8 points
        {200, -200, {}, 200, -200, {200}}, // 10 points already: a tab there
        {0, 0, {240}, 240, -240, {240}},   // a tab 12 points in gives the indent
        {0, 0, {100}, 160, -160, {160}},   // a tab 5 points in is too close
        {400, 0, {}, 560, -160, {560}},    // first line indented 20 points
    };
    for (const Case& c : cases) {
        rtf::ParaFormat p;
        p.leftIndent = c.leftIndent;
        p.firstIndent = c.firstIndent;
        for (int t : c.tabs)
            p.tabs.push_back({t});
        const rtf::ParaFormat on = BulletParagraph(p, true);
        EXPECT_TRUE(on.bullet);
        EXPECT_EQ(on.leftIndent, c.expectedLeft);
        EXPECT_EQ(on.firstIndent, c.expectedFirst);
        std::vector<int> tabs;
        for (const auto& t : on.tabs)
            tabs.push_back(t.position);
        EXPECT_EQ(tabs, c.expectedTabs);
        const rtf::ParaFormat off = BulletParagraph(on, false);
        EXPECT_FALSE(off.bullet);
        EXPECT_EQ(off.leftIndent, on.leftIndent);
    }
}
