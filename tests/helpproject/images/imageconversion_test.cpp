#include "helpproject/images/imageconversion.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "components/messengerseam.h"
#include "components/scriptedmessenger.h"
#include "helpproject/brindlewovenproject.h"
#include "helpproject/images/bmpreader.h"
#include "helpproject/images/flashmovie.h"
#include "helpproject/images/imagecodecs.h"
#include "helpproject/shg.h"

namespace fs = std::filesystem;
using helpproject::TBitmap;
using helpproject::TBrindlewovenHotspot;
using helpproject::TRgb;
using helpproject::TStringList;

namespace {

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

TBitmap Picture(int w, int h, uint8_t seed) {
    TBitmap b;
    b.SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixel(x, y,
                       {static_cast<uint8_t>(seed + x * 40), static_cast<uint8_t>(y * 60),
                        static_cast<uint8_t>(seed)});
    return b;
}

TBrindlewovenHotspot Spot(uint8_t type, const char* target, uint16_t l, uint16_t t, uint16_t w,
                          uint16_t h) {
    TBrindlewovenHotspot s;
    s.HotspotType = type;
    s.Name = target;
    s.Target = target;
    s.Left = l;
    s.Top = t;
    s.Width = w;
    s.Height = h;
    return s;
}

std::string FlashFile() {
    // FWS, 15-bit fields: 0, 11000, 0, 8000 twips.
    const std::string rect = {0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, static_cast<char>(0xA0),
                              0x00};
    std::string s = "FWS\x06";
    s += std::string("\x20\x00\x00\x00", 4);
    return s + rect + std::string(10, 'x');
}

class ImageConversion : public testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() /
               ("bw_images_" +
                std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root);
        fs::create_directories(root);
        project.FileName = (root / "proj.bwv").string();
        project.BitmapPaths = " pics ; other,third ";
    }
    void TearDown() override { fs::remove_all(root); }

    fs::path root;
    helpproject::TBrindlewovenProject project;
    helpproject::TBuildReport report;
};

TEST_F(ImageConversion, SearchPathSplitsAtSemicolonsAndCommas) {
    const auto folders = helpproject::PictureSearchFolders(project);
    ASSERT_EQ(folders.size(), 5u);
    EXPECT_EQ(folders[0], root / "pics");
    EXPECT_EQ(folders[1], root / "other");
    EXPECT_EQ(folders[2], root / "third");
    EXPECT_EQ(folders[3], root);
    EXPECT_EQ(folders[4], fs::path());

    WriteAll(root / "other" / "Pic.bmp", "x");
    WriteAll(root / "Pic.bmp", "y");
    // The first folder that holds the name wins; names match ignoring case.
    EXPECT_EQ(helpproject::FindPictureFile(project, "pic.BMP"), root / "other" / "Pic.bmp");
    EXPECT_EQ(helpproject::FindPictureFile(project, (root / "Pic.bmp").string()), root / "Pic.bmp");
    EXPECT_EQ(helpproject::FindPictureFile(project, "none.bmp"), fs::path());
}

TEST_F(ImageConversion, ConvertsCopiesAndMapsEveryKind) {
    const TBitmap logo = Picture(2, 2, 10);
    WriteAll(root / "pics" / "LOGO.BMP", helpproject::WriteBmp(logo));
    helpproject::TSHG shg;
    shg.Bitmap = Picture(4, 3, 99);
    shg.BitCount = 24;
    shg.Hotspots = {Spot(0xE3, "topic_a", 1, 1, 2, 1), Spot(0xE6, "TOPIC_B", 0, 0, 1, 1),
                    Spot(0xEA, "topic_b>win@x.hlp", 2, 0, 2, 2), Spot(0xE3, "nowhere", 0, 0, 1, 1),
                    Spot(0xC8, "Exit()", 0, 0, 1, 1)};
    fs::create_directories(root / "other");
    shg.SaveToFile((root / "other" / "map.shg").string(), false);
    WriteAll(root / "photo.jpg", "JPEG bytes");
    const std::string icon = helpproject::EncodePng(Picture(3, 2, 1));
    WriteAll(root / "icon.png", icon);
    const std::string anim = helpproject::EncodeGif(Picture(5, 4, 2));
    WriteAll(root / "anim.gif", anim);
    WriteAll(root / "movie.swf", FlashFile());
    WriteAll(root / "notes.txt", "text");

    const TStringList names = {"anim.gif",    "icon.png",  "logo.bmp",  "map.shg",
                               "missing.bmp", "movie.swf", "notes.txt", "photo.jpg"};
    const TStringList targets = {"topic_a=bw12.htm", "topic_b=bw14.htm"};
    TStringList pictures;
    components::TScriptedMessenger progress;
    const fs::path out = root / "out";
    helpproject::ConvertImagesForHtml(project, report, names, pictures, true, true, out, &targets,
                                      &progress, helpproject::TPictureFormat::Png);

    const TStringList expected = {
        "anim.gif=<IMG SRC=\"../images/anim.gif\" WIDTH=\"5\" HEIGHT=\"4\" BORDER=\"0\" "
        "ALT=\"anim\">",
        "icon.png=<IMG SRC=\"../images/icon.png\" WIDTH=\"3\" HEIGHT=\"2\" BORDER=\"0\" "
        "ALT=\"icon\">",
        "logo.bmp=<IMG SRC=\"../images/LOGO.png\" WIDTH=\"2\" HEIGHT=\"2\" BORDER=\"0\" "
        "ALT=\"logo\">",
        "map.shg=\r\n<MAP NAME=\"map\">\r\n"
        "<AREA SHAPE=\"RECT\" COORDS=\"1,1,2,1\" HREF=\"bw12.htm\" ALT=\"topic_a\">\r\n"
        "<AREA SHAPE=\"RECT\" COORDS=\"0,0,0,0\" HREF=\"javascript:popuplink('bw14.htm')\" "
        "ALT=\"TOPIC_B\">\r\n"
        "<AREA SHAPE=\"RECT\" COORDS=\"2,0,3,1\" HREF=\"javascript:popuplink('bw14.htm')\" "
        "ALT=\"topic_b&gt;win@x.hlp\">\r\n"
        "</MAP><IMG SRC=\"../images/map.png\" WIDTH=\"4\" HEIGHT=\"3\" BORDER=\"0\" "
        "ALT=\"map\" ISMAP USEMAP=\"#map\">",
        "movie.swf=" + helpproject::FlashMovieMarkup("../images/movie.swf",
                                                     helpproject::TFlashFrameSize{550, 400}),
        "photo.jpg=<IMG SRC=\"../images/photo.jpg\" BORDER=\"0\" ALT=\"photo\">",
    };
    EXPECT_EQ(pictures, expected);
    EXPECT_EQ(report.MissingImages, TStringList{"missing.bmp"});
    EXPECT_EQ(progress.ProgressTexts, TStringList{"Converting BMPs and SHGs to PNGs..."});
    EXPECT_EQ(progress.ProgressMaximum, 8);
    const fs::path imagesFolder = out / "images";
    EXPECT_EQ(report.FilesWritten,
              (TStringList{
                  (imagesFolder / "anim.gif").string(), (imagesFolder / "icon.png").string(),
                  (imagesFolder / "LOGO.png").string(), (imagesFolder / "map.png").string(),
                  (imagesFolder / "movie.swf").string(), (imagesFolder / "photo.jpg").string()}));

    const fs::path images = out / "images";
    EXPECT_EQ(helpproject::DecodePng(ReadAll(images / "LOGO.png")).Pixels(), logo.Pixels());
    EXPECT_EQ(helpproject::DecodePng(ReadAll(images / "map.png")).Pixels(), shg.Bitmap.Pixels());
    EXPECT_EQ(ReadAll(images / "icon.png"), icon);
    EXPECT_EQ(ReadAll(images / "anim.gif"), anim);
    EXPECT_EQ(ReadAll(images / "photo.jpg"), "JPEG bytes");
    EXPECT_EQ(ReadAll(images / "movie.swf"), FlashFile());
    EXPECT_FALSE(fs::exists(images / "notes.txt"));

    // GIF output straight into the folder, without a target list: no map.
    TStringList gifPictures;
    helpproject::ConvertImagesForHtml(project, report, {"logo.bmp", "map.shg"}, gifPictures, true,
                                      false, out, nullptr, nullptr,
                                      helpproject::TPictureFormat::Gif);
    EXPECT_EQ(gifPictures,
              (TStringList{"logo.bmp=<IMG SRC=\"LOGO.gif\" WIDTH=\"2\" HEIGHT=\"2\" BORDER=\"0\" "
                           "ALT=\"logo\">",
                           "map.shg=<IMG SRC=\"map.gif\" WIDTH=\"4\" HEIGHT=\"3\" BORDER=\"0\" "
                           "ALT=\"map\">"}));
    EXPECT_EQ(helpproject::DecodeGif(ReadAll(out / "LOGO.gif")).Pixels(), logo.Pixels());
}

TEST_F(ImageConversion, PopupsWithoutScriptAndUnknownTargets) {
    std::vector<TBrindlewovenHotspot> spots = {Spot(0xE6, "topic_b", 0, 0, 1, 1),
                                               Spot(0xEE, "x>y", 0, 0, 1, 1),
                                               Spot(0xE3, ">odd", 5, 5, 1, 1)};
    // The picture's words are its name; a hotspot's, its title.
    spots[0].Name = "Brewing \"green\" tea";
    EXPECT_EQ(helpproject::ImageMapMarkup("sub\\m.shg", spots, {"topic_b=p.htm", ">odd=q.htm"},
                                          false, "m.png", 9, 8),
              "\r\n<MAP NAME=\"sub\\m\">\r\n"
              "<AREA SHAPE=\"RECT\" COORDS=\"0,0,0,0\" HREF=\"p.htm\" "
              "ALT=\"Brewing &quot;green&quot; tea\">\r\n"
              "<AREA SHAPE=\"RECT\" COORDS=\"5,5,5,5\" HREF=\"q.htm\" ALT=\"&gt;odd\">\r\n"
              "</MAP><IMG SRC=\"m.png\" WIDTH=\"9\" HEIGHT=\"8\" BORDER=\"0\" ALT=\"m\" ISMAP "
              "USEMAP=\"#sub\\m\">");
    EXPECT_EQ(helpproject::ImageMapMarkup("m.shg", spots, {}, true, "m.png", 1, 1),
              "\r\n<MAP NAME=\"m\">\r\n</MAP><IMG SRC=\"m.png\" WIDTH=\"1\" HEIGHT=\"1\" "
              "BORDER=\"0\" ALT=\"m\" ISMAP USEMAP=\"#m\">");
}

TEST_F(ImageConversion, OutputsNeverOverwriteSourcesOrEachOther) {
    const TBitmap first = Picture(2, 1, 1);
    WriteAll(root / "pics" / "a.bmp", helpproject::WriteBmp(first));
    helpproject::TSHG shg;
    shg.Bitmap = Picture(3, 1, 2);
    shg.BitCount = 24;
    fs::create_directories(root / "other");
    shg.SaveToFile((root / "other" / "a.shg").string(), false);
    const fs::path out = root / "out";
    TStringList pictures;
    try {
        helpproject::ConvertImagesForHtml(project, report, {"a.bmp", "a.shg"}, pictures, false,
                                          false, out, nullptr, nullptr,
                                          helpproject::TPictureFormat::Png);
        FAIL();
    } catch (const helpproject::EProjectError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "The following error occurred while trying to convert a.shg:\rIts output file "
                  "a.png would overwrite the one made for a.bmp.");
    }
    EXPECT_EQ(helpproject::DecodePng(ReadAll(out / "a.png")).Pixels(), first.Pixels());

    // The same file name in two folders.
    WriteAll(root / "pics" / "pic.bmp", helpproject::WriteBmp(first));
    WriteAll(root / "other" / "sub" / "pic.bmp", helpproject::WriteBmp(Picture(1, 1, 3)));
    try {
        helpproject::ConvertImagesForHtml(project, report, {"other/sub/pic.bmp", "pic.bmp"},
                                          pictures, false, false, out, nullptr);
        FAIL();
    } catch (const helpproject::EProjectError& e) {
        EXPECT_NE(std::string(e.what()).find("convert pic.bmp:\r"), std::string::npos) << e.what();
    }

    // Converting over the user's own picture in an output folder that is
    // also a picture folder.
    WriteAll(root / "own.bmp", helpproject::WriteBmp(first));
    WriteAll(root / "own.png", "the user's own");
    try {
        helpproject::ConvertImagesForHtml(project, report, {"own.bmp", "own.png"}, pictures, false,
                                          false, root, nullptr, nullptr,
                                          helpproject::TPictureFormat::Png);
        FAIL();
    } catch (const helpproject::EProjectError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "The following error occurred while trying to convert own.bmp:\rIts output "
                  "file own.png would overwrite the picture own.png.");
    }
    EXPECT_EQ(ReadAll(root / "own.png"), "the user's own");
}

TEST_F(ImageConversion, DamagedPictureStopsTheRunAndLeavesNoOutput) {
    WriteAll(root / "bad.bmp", "BMnot really a bitmap at all, too short?");
    WriteAll(root / "out" / "bad.png", "stale");
    TStringList pictures;
    try {
        helpproject::ConvertImagesForHtml(project, report, {"bad.bmp"}, pictures, false, false,
                                          root / "out", nullptr, nullptr,
                                          helpproject::TPictureFormat::Png);
        FAIL();
    } catch (const helpproject::EProjectError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("The following error occurred while trying to "
                                              "convert bad.bmp:\rCannot understand bitmap file.",
                                              0),
                  0u)
            << e.what();
    }
    EXPECT_FALSE(fs::exists(root / "out" / "bad.png"));
    EXPECT_TRUE(pictures.empty());
}

TEST_F(ImageConversion, AbortStopsBetweenPictures) {
    WriteAll(root / "a.jpg", "a");
    WriteAll(root / "b.jpg", "b");
    components::TScriptedMessenger progress;
    progress.AbortAfter(2); // with the check after the first picture
    TStringList pictures;
    try {
        helpproject::ConvertImagesForHtml(project, report, {"a.jpg", "b.jpg"}, pictures, false,
                                          false, root / "out", nullptr, &progress,
                                          helpproject::TPictureFormat::Gif);
        FAIL();
    } catch (const components::EAbort& e) {
        EXPECT_STREQ(e.what(), "HTML Export aborted by user");
    }
    EXPECT_EQ(progress.ProgressTexts, TStringList{"Converting BMPs and SHGs to GIFs..."});
    EXPECT_EQ(pictures.size(), 1u);
    EXPECT_FALSE(fs::exists(root / "out" / "b.jpg"));
}

TEST(CollectPictureNames, CollectsEachNameOnceIgnoringCase) {
    helpproject::TBrindlewovenProject project;
    TStringList names = {"zeta.bmp"};
    helpproject::CollectPictureNames(
        project,
        "a {bmc Pic.bmp} b {BML  other.shg } {bmct pic.BMP}{bmr} {flash= movie.swf } "
        "{FLASH=Movie.SWF} {bmc last.bmp",
        names);
    EXPECT_EQ(names, (TStringList{"last.bmp", "movie.swf", "other.shg", "Pic.bmp", "zeta.bmp"}));
}

} // namespace
