#include "editor/shgcanvas.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "helpproject/images/bmpreader.h"
#include "platform/fileio.h"

using editor::TCanvasCursor;
using editor::TCanvasPoint;
using editor::TCanvasRect;
using editor::TCanvasResult;
using editor::THotspotFields;
using editor::TSHGCanvas;
using editor::TSHGHotspotKind;
using helpproject::TBrindlewovenHotspot;
using helpproject::TSHG;

namespace {

TSHG Picture(int width, int height) {
    TSHG shg;
    shg.Bitmap.SetSize(width, height);
    return shg;
}

TBrindlewovenHotspot At(int left, int top, int width, int height) {
    return editor::NewHotspot({left, top, width, height});
}

// Drags with the button held from one displayed point to another.
TCanvasResult Drag(TSHGCanvas& canvas, TCanvasPoint from, TCanvasPoint to) {
    canvas.MouseDown(from);
    canvas.MouseMove(to);
    return canvas.MouseUp(to);
}

} // namespace

TEST(SHGCanvasTest, DrawingMakesAHotspotOnlyFromFourPixelsUp) {
    struct Case {
        TCanvasPoint From, To;
        int Zoom;
        bool Made;
        TCanvasRect Rect;
    };
    const Case cases[] = {
        {{10, 10}, {13, 30}, 1, false, {}},                // 3 pixels wide
        {{10, 10}, {30, 13}, 1, false, {}},                // 3 pixels high
        {{10, 10}, {14, 14}, 1, true, {10, 10, 4, 4}},     // the smallest
        {{30, 40}, {10, 20}, 1, true, {10, 20, 20, 20}},   // drawn backwards
        {{10, 10}, {500, 500}, 1, true, {10, 10, 90, 70}}, // clamped to 100 x 80
        {{8, 8}, {14, 14}, 2, false, {}},                  // 3 picture pixels at 200 %
        {{8, 8}, {24, 24}, 2, true, {4, 4, 8, 8}},
    };
    for (const Case& c : cases) {
        TSHG shg = Picture(100, 80);
        TSHGCanvas canvas(shg);
        for (int i = 1; i < c.Zoom; ++i)
            canvas.ZoomIn();
        const TCanvasResult result = Drag(canvas, c.From, c.To);
        ASSERT_EQ(shg.Hotspots.size(), c.Made ? 1u : 0u) << c.From.X << "," << c.To.X;
        if (!c.Made) {
            EXPECT_EQ(result, TCanvasResult::Nothing);
            EXPECT_EQ(canvas.Selected(), -1);
            continue;
        }
        EXPECT_EQ(result, TCanvasResult::Created);
        EXPECT_EQ(canvas.Selected(), 0);
        EXPECT_EQ(editor::HotspotRect(shg.Hotspots[0]), c.Rect);
        EXPECT_EQ(shg.Hotspots[0].Name, "<new hotspot>");
    }
}

// A new hotspot is a visible link: its attribute agrees with its type.
TEST(SHGCanvasTest, NewHotspotIsAVisibleLinkThroughout) {
    const TBrindlewovenHotspot h = At(0, 0, 10, 10);
    EXPECT_EQ(h.HotspotType, 227);
    EXPECT_EQ(h.HotspotAttr, 0);
    const THotspotFields fields = editor::LoadHotspotFields(h);
    EXPECT_EQ(fields.Kind, TSHGHotspotKind::Link);
    EXPECT_FALSE(fields.Invisible);
}

TEST(SHGCanvasTest, ZoomMapsDisplayedPointsToPicturePoints) {
    TSHG shg = Picture(100, 80);
    TSHGCanvas canvas(shg);
    EXPECT_FALSE(canvas.ZoomOut());
    ASSERT_TRUE(canvas.ZoomIn());
    ASSERT_TRUE(canvas.ZoomIn());
    EXPECT_EQ(canvas.ZoomLevel(), 3);
    EXPECT_EQ(canvas.Scale(), 4);
    EXPECT_EQ(canvas.ToPicture({40, 20}), (TCanvasPoint{10, 5}));
    EXPECT_EQ(canvas.ToPicture({43, 23}), (TCanvasPoint{10, 5}));
    EXPECT_EQ(canvas.ToPicture({-1, -4}), (TCanvasPoint{-1, -1}));
    EXPECT_EQ(canvas.ToDisplay({10, 5, 2, 3}), (TCanvasRect{40, 20, 8, 12}));
    EXPECT_EQ(canvas.DisplayWidth(), 400);
    // Only the pixels under a displayed area are painted, clipped to the picture.
    EXPECT_EQ(canvas.PictureArea({41, 21, 10, 10}), (TCanvasRect{10, 5, 3, 3}));
    EXPECT_EQ(canvas.PictureArea({380, 300, 400, 400}), (TCanvasRect{95, 75, 5, 5}));
}

TEST(SHGCanvasTest, ZoomInStopsAtTheLargestDisplayedSize) {
    struct Case {
        int Width, Height, Levels;
    };
    // Level n is allowed while both sides at level n-1 are below 16384.
    const Case cases[] = {{100, 80, 9}, {4000, 4000, 4}, {16384, 1, 1}, {1, 8192, 2}};
    for (const Case& c : cases) {
        TSHG shg;
        shg.Bitmap.SetSize(c.Width, c.Height);
        TSHGCanvas canvas(shg);
        while (canvas.ZoomIn()) {
        }
        EXPECT_EQ(canvas.ZoomLevel(), c.Levels) << c.Width << "x" << c.Height;
    }
}

TEST(SHGCanvasTest, ButtonDownSelectsMovesOrResizes) {
    TSHG shg = Picture(100, 80);
    shg.Hotspots = {At(10, 10, 20, 20), At(50, 10, 20, 20), At(55, 15, 5, 5)};
    TSHGCanvas canvas(shg);

    // Another hotspot: the first in list order is selected.
    EXPECT_EQ(Drag(canvas, {56, 16}, {56, 16}), TCanvasResult::Nothing);
    EXPECT_EQ(canvas.Selected(), 1);

    // Inside the selected one: moved, and kept inside the picture.
    canvas.Select(0);
    EXPECT_EQ(canvas.CursorAt({20, 20}), TCanvasCursor::Move);
    EXPECT_EQ(Drag(canvas, {20, 20}, {-50, 25}), TCanvasResult::Moved);
    EXPECT_EQ(editor::HotspotRect(shg.Hotspots[0]), (TCanvasRect{0, 15, 20, 20}));
    EXPECT_EQ(Drag(canvas, {5, 20}, {500, 500}), TCanvasResult::Moved);
    EXPECT_EQ(editor::HotspotRect(shg.Hotspots[0]), (TCanvasRect{80, 60, 20, 20}));

    // Corners: 1 outside to 3 inside at the left and top, 4 inside at the
    // right and bottom; the opposite corner stays.
    shg.Hotspots[0] = At(10, 10, 20, 20);
    struct Case {
        TCanvasPoint Down, Up;
        TCanvasCursor Cursor;
        TCanvasRect Result;
    };
    const Case cases[] = {
        {{9, 9}, {5, 5}, TCanvasCursor::SizeNWSE, {5, 5, 25, 25}},
        {{13, 13}, {15, 15}, TCanvasCursor::SizeNWSE, {15, 15, 15, 15}},
        {{29, 29}, {40, 35}, TCanvasCursor::SizeNWSE, {10, 10, 30, 25}},
        {{26, 10}, {40, 0}, TCanvasCursor::SizeNESW, {10, 0, 30, 30}},
        {{10, 26}, {0, 40}, TCanvasCursor::SizeNESW, {0, 10, 30, 30}},
        {{29, 29}, {0, 0}, TCanvasCursor::SizeNWSE, {0, 0, 10, 10}}, // pulled across
    };
    for (const Case& c : cases) {
        shg.Hotspots[0] = At(10, 10, 20, 20);
        canvas.Select(0);
        EXPECT_EQ(canvas.CursorAt(c.Down), c.Cursor) << c.Down.X << "," << c.Down.Y;
        EXPECT_EQ(Drag(canvas, c.Down, c.Up), TCanvasResult::Resized) << c.Down.X;
        EXPECT_EQ(editor::HotspotRect(shg.Hotspots[0]), c.Result) << c.Down.X << "," << c.Down.Y;
    }
    // Just outside the corner bands: moving or drawing, not resizing.
    shg.Hotspots[0] = At(10, 10, 20, 20);
    canvas.Select(0);
    EXPECT_EQ(canvas.CursorAt({14, 14}), TCanvasCursor::Move);
    EXPECT_EQ(canvas.CursorAt({25, 25}), TCanvasCursor::Move);
    EXPECT_EQ(canvas.CursorAt({8, 8}), TCanvasCursor::Cross);

    // Elsewhere: deselects and draws.
    canvas.MouseDown({90, 70});
    EXPECT_EQ(canvas.Selected(), -1);
    EXPECT_EQ(canvas.Mode(), editor::TCanvasMode::Drawing);
    canvas.MouseUp({90, 70});
}

TEST(SHGCanvasTest, PanelFieldsComposeTypeAttributeAndTarget) {
    struct Case {
        THotspotFields Fields;
        int Type, Attr;
        const char* Target;
    };
    const Case cases[] = {
        {{TSHGHotspotKind::Link, false, "intro", "", "", ""}, 227, 0, "intro"},
        {{TSHGHotspotKind::Link, false, "intro", "main", "other.hlp", ""},
         235,
         0,
         "intro>main@other.hlp"},
        {{TSHGHotspotKind::Link, true, "intro", "main", "", ""}, 239, 4, "intro>main"},
        {{TSHGHotspotKind::Popup, false, "pop", "", "", ""}, 226, 0, "pop"},
        {{TSHGHotspotKind::Popup, true, "pop", "", "x.hlp", ""}, 238, 4, "pop@x.hlp"},
        {{TSHGHotspotKind::Macro, false, "", "", "", "About()"}, 200, 0, "About()"},
        {{TSHGHotspotKind::Macro, true, "", "", "", "Back()"}, 204, 4, "Back()"},
    };
    for (const Case& c : cases) {
        TBrindlewovenHotspot h = At(0, 0, 5, 5);
        editor::StoreHotspotFields(h, c.Fields);
        EXPECT_EQ(h.HotspotType, c.Type) << c.Target;
        EXPECT_EQ(h.HotspotAttr, c.Attr) << c.Target;
        EXPECT_EQ(h.Target, c.Target);
        const THotspotFields back = editor::LoadHotspotFields(h);
        EXPECT_EQ(back.Kind, c.Fields.Kind) << c.Target;
        EXPECT_EQ(back.Invisible, c.Fields.Invisible) << c.Target;
        EXPECT_EQ(back.TopicID, c.Fields.TopicID) << c.Target;
        EXPECT_EQ(back.Window, c.Fields.Window) << c.Target;
        EXPECT_EQ(back.File, c.Fields.File) << c.Target;
        EXPECT_EQ(back.Macro, c.Fields.Macro) << c.Target;
    }
}

TEST(SHGCanvasTest, AutomaticNamesFollowTheChosenTopic) {
    EXPECT_EQ(editor::StoredHotspotName("<new hotspot>", "", "Intro"), "Intro");
    EXPECT_EQ(editor::StoredHotspotName("Intro", "Intro", "Index"), "Index");
    EXPECT_EQ(editor::StoredHotspotName("My spot", "Intro", "Index"), "My spot");
    EXPECT_EQ(editor::StoredHotspotName("<new hotspot>", "", ""), "<new hotspot>");
}

TEST(SHGCanvasTest, AddDeleteAndWrapAround) {
    TSHG shg = Picture(100, 80);
    TSHGCanvas canvas(shg);
    EXPECT_EQ(canvas.Next(), -1);
    EXPECT_EQ(canvas.AddHotspot(), 0);
    EXPECT_EQ(editor::HotspotRect(shg.Hotspots[0]), (TCanvasRect{0, 0, 50, 40}));
    canvas.AddHotspot();
    canvas.AddHotspot();
    canvas.Select(2);
    EXPECT_EQ(canvas.Next(), 0);
    canvas.Select(0);
    EXPECT_EQ(canvas.Previous(), 2);
    canvas.Select(2);
    EXPECT_EQ(canvas.DeleteSelected(), 1);
    EXPECT_EQ(canvas.DeleteSelected(), 0);
    EXPECT_EQ(canvas.DeleteSelected(), -1);
    EXPECT_TRUE(shg.Hotspots.empty());
}

TEST(SHGCanvasTest, ReplacingThePictureKeepsTheHotspots) {
    TSHG shg = Picture(100, 80);
    shg.Hotspots = {At(1, 2, 30, 40)};
    shg.Hotspots[0].Target = "intro";
    TSHGCanvas canvas(shg);
    helpproject::TBitmap other;
    other.SetSize(60, 50);
    other.SetPixel(3, 3, {255, 0, 0});
    canvas.ReplacePicture(other);
    EXPECT_EQ(canvas.PictureWidth(), 60);
    EXPECT_EQ(shg.Bitmap.Pixel(3, 3), (helpproject::TRgb{255, 0, 0}));
    ASSERT_EQ(shg.Hotspots.size(), 1u);
    EXPECT_EQ(shg.Hotspots[0].Target, "intro");
    EXPECT_EQ(editor::HotspotRect(shg.Hotspots[0]), (TCanvasRect{1, 2, 30, 40}));
}

// A smaller picture: every hotspot that reaches beyond it moves into it,
// keeping its size where it fits and shrinking to the picture where not.
TEST(SHGCanvasTest, SmallerPictureMovesEveryHotspotInside) {
    TSHG shg = Picture(200, 100);
    shg.Hotspots = {At(10, 10, 20, 20), At(150, 20, 40, 30), At(90, 70, 30, 25), At(5, 5, 180, 90),
                    At(199, 99, 1, 1)};
    TSHGCanvas canvas(shg);
    canvas.Select(1);
    helpproject::TBitmap small;
    small.SetSize(100, 60);
    EXPECT_EQ(canvas.ReplacePicture(small), 4);
    const TCanvasRect expected[] = {
        {10, 10, 20, 20}, {60, 20, 40, 30}, {70, 35, 30, 25}, {0, 0, 100, 60}, {99, 59, 1, 1}};
    for (std::size_t i = 0; i < std::size(expected); ++i)
        EXPECT_EQ(editor::HotspotRect(shg.Hotspots[i]), expected[i]) << i;
    // A larger picture moves nothing.
    helpproject::TBitmap large;
    large.SetSize(300, 300);
    EXPECT_EQ(canvas.ReplacePicture(large), 0);
}

// Changed means: differs from the file as last opened or saved, by what
// the file keeps; a picture from outside the file is a change by itself.
TEST(SHGCanvasTest, ModifiedFollowsWhatTheFileHolds) {
    TSHG shg = Picture(100, 80);
    shg.Hotspots = {At(1, 1, 10, 10)};
    TSHGCanvas canvas(shg);
    canvas.MarkSaved();
    EXPECT_FALSE(canvas.Modified());
    shg.Hotspots[0].HashOrOffset = 1234; // the writer's, not the author's
    EXPECT_FALSE(canvas.Modified());
    shg.Hotspots[0].Name = "Other";
    EXPECT_TRUE(canvas.Modified());
    shg.Hotspots[0].Name = editor::kNewHotspotName;
    EXPECT_FALSE(canvas.Modified()); // changed back
    canvas.AddHotspot();
    EXPECT_TRUE(canvas.Modified());
    canvas.DeleteSelected();
    EXPECT_FALSE(canvas.Modified());
    canvas.Select(0);
    canvas.SetSelectedRect({2, 1, 10, 10});
    EXPECT_TRUE(canvas.Modified());
    canvas.MarkSaved();
    EXPECT_FALSE(canvas.Modified());
    canvas.ReplacePicture(helpproject::TBitmap(shg.Bitmap));
    EXPECT_TRUE(canvas.Modified());
    canvas.MarkSaved();
    canvas.MarkPictureChanged();
    EXPECT_TRUE(canvas.Modified());
}

TEST(SHGCanvasTest, PlainPicturesByExtension) {
    const auto dir = std::filesystem::temp_directory_path() / "bw_shgcanvas_test";
    std::filesystem::create_directories(dir);
    helpproject::TBitmap bitmap;
    bitmap.SetSize(7, 5);
    bitmap.SetPixel(6, 4, {0, 0, 255});
    for (auto [name, format] : {std::pair{"a.BMP", editor::TPictureExport::BMP},
                                std::pair{"a.png", editor::TPictureExport::PNG},
                                std::pair{"a.gif", editor::TPictureExport::GIF}}) {
        const std::string path = (dir / name).string();
        editor::ExportPicture(bitmap, path, format);
        const helpproject::TBitmap back = editor::LoadPlainPicture(path);
        EXPECT_EQ(back.Width(), 7) << name;
        EXPECT_EQ(back.Pixel(6, 4), (helpproject::TRgb{0, 0, 255})) << name;
    }
    try {
        editor::LoadPlainPicture((dir / "a.jpg").string());
        ADD_FAILURE() << "a JPEG file was taken";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(),
                     "Brindlewoven's SHG editor can only open SHG, BMP, GIF and PNG files.");
    }
    platform::WriteFileAtomic(dir / "bad.bmp", "BMnonsense");
    EXPECT_THROW(editor::LoadPlainPicture((dir / "bad.bmp").string()), std::exception);
    EXPECT_TRUE(editor::IsSHGFileName("x/Y.ShG"));
    EXPECT_FALSE(editor::IsSHGFileName("x.shg.bmp"));
    std::filesystem::remove_all(dir);
}

// The repository's hotspot bitmaps come back byte for byte when the panel is
// stored into every hotspot without an edit.
TEST(SHGCanvasTest, FixturesRoundTripUnchanged) {
    const std::filesystem::path dir =
        std::filesystem::path(BW_SOURCE_DIR) / "tests/fuzz/corpus/shg_fuzz";
    int seen = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (!editor::IsSHGFileName(entry.path().string()))
            continue;
        ++seen;
        const std::string bytes = platform::ReadFileBytes(entry.path());
        TSHG shg;
        shg.LoadFromBytes(bytes);
        TSHGCanvas canvas(shg);
        for (std::size_t i = 0; i < shg.Hotspots.size(); ++i) {
            canvas.Select(static_cast<int>(i));
            auto& h = shg.Hotspots[i];
            editor::StoreHotspotFields(h, editor::LoadHotspotFields(h));
            canvas.SetSelectedRect(editor::HotspotRect(h));
        }
        EXPECT_EQ(shg.SaveToBytes(), bytes) << entry.path();
    }
    EXPECT_GE(seen, 3);
}
