#include "helpproject/shg.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "components/messengerseam.h"
#include "components/scriptedmessenger.h"
#include "helpproject/helputils.h"

using helpproject::ESHGError;
using helpproject::TBrindlewovenHotspot;
using helpproject::TRgb;
using helpproject::TSHG;
namespace shg = helpproject::shg;

namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s += static_cast<char>(v);
    return s;
}

std::string Hex(const std::string& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
        out += ' ';
    }
    return out;
}

void ExpectRefused(std::string_view bytes, const std::string& reason) {
    TSHG s;
    try {
        s.LoadFromBytes(bytes);
        FAIL() << "accepted, expected " << reason;
    } catch (const ESHGError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot understand SHG file.\r(" + reason + ")");
    }
}

// ---- hand-assembled files: they pin the format without our writer -------

// 4-bit DIB under the old magic, unpacked, two palette entries, 3 x 2.
std::string FourBitOldMagic() {
    return Bytes({0x6C, 0x50, 0x01, 0x00, 0x08, 0x00, 0x00, 0x00, // file header
                  0x06, 0x00,                                     // DIB, unpacked
                  0xC0, 0x00, 0xC0, 0x00,                         // 96 dpi, 96 dpi
                  0x02, 0x08,                                     // 1 plane, 4 bits
                  0x06, 0x00, 0x04, 0x00,                         // 3 x 2
                  0x04, 0x00, 0x00, 0x00,                         // 2 colours, 0 important
                  0x10, 0x00, 0x00, 0x00,                         // 8 bytes, no hotspots
                  0x24, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, // pixels at 8 + 36
                  0x00, 0x00, 0xFF, 0x00, 0x00, 0xFF, 0x00, 0x00, // red, green
                  0x10, 0x10, 0x00, 0x00,                         // bottom row: 1 0 1
                  0x00, 0x10, 0x00, 0x00});                       // top row: 0 0 1
}

// 8-bit DIB, RLE, colours used 0 (a full 256-entry palette follows), 2 x 2,
// with an X resolution in the long compressed form and the control bytes 0
// and 2 that our writer never produces.
std::string EightBitRle() {
    std::string s = Bytes({0x6C, 0x70, 0x01, 0x00, 0x08, 0x00, 0x00, 0x00,
                           0x06, 0x01, 0x81, 0x38, 0x01, 0x00, // 40000 dpi
                           0xC0, 0x00, 0x02, 0x10, 0x04, 0x00, 0x04, 0x00,
                           0x00, 0x00, 0x00, 0x00, 0x18, 0x00, 0x00, 0x00, // 12 packed bytes
                           0x1E, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    for (int i = 0; i < 256; ++i)
        s += Bytes({i / 2, 255 - i, i, 0}); // blue, green, red
    s += Bytes({0x00, 0xAA, 0x82, 0x05, 0x06, 0x02, 0x00, 0x82, 0x07, 0x08, 0x02, 0x00});
    return s;
}

// 16-bit DDB (no palette in the file), 2 x 1, unpacked.
std::string SixteenBitDdb() {
    return Bytes({0x6C, 0x70, 0x01, 0x00, 0x08, 0x00, 0x00, 0x00, 0x05, 0x00,
                  0xC0, 0x00, 0xC0, 0x00, 0x02, 0x20, 0x04, 0x00, 0x02, 0x00,
                  0x00, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00, 0x1C, 0x00,
                  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x7C, 0x01, 0x02});
}

// 24-bit DIB, RLE, one zero palette entry, 2 x 2, with a jump and a macro
// hotspot and 3 bytes of macro data the reader skips.
std::string TwentyFourBitWithHotspots() {
    std::string s =
        Bytes({0x6C, 0x70, 0x01, 0x00, 0x08, 0x00, 0x00, 0x00, 0x06, 0x01, 0xC0, 0x00, 0xC0, 0x00,
               0x02, 0x30, 0x04, 0x00, 0x04, 0x00, 0x02, 0x00, 0x00, 0x00, 0x22, 0x00, 0x20, 0x00,
               0x20, 0x00, 0x00, 0x00, 0x31, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    s += Bytes({0x90, 0x03, 0x02, 0x01, 0x03, 0x02, 0x01, 0x00, 0x00, // bottom row
                0x30, 0x20, 0x10, 0x30, 0x20, 0x10, 0x00, 0x00});     // top row
    s += Bytes({0x01, 0x02, 0x00, 0x03, 0x00, 0x00, 0x00});           // version, 2 spots, 3 bytes
    s += Bytes(
        {0xE3, 0x00, 0x77, 0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x04, 0x00, 0xDE, 0xAD, 0xBE, 0xEF});
    s += Bytes(
        {0xCC, 0x04, 0x00, 0x10, 0x00, 0x20, 0x00, 0x30, 0x00, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00});
    s += "xyz";
    s += std::string("a\0topic_1>main\0m\0Exit()\0", 24);
    return s;
}

// 32-bit DIB, unpacked, 1 x 1.
std::string ThirtyTwoBit() {
    return Bytes({0x6C, 0x70, 0x01, 0x00, 0x08, 0x00, 0x00, 0x00, 0x06, 0x00,
                  0xC0, 0x00, 0xC0, 0x00, 0x02, 0x40, 0x02, 0x00, 0x02, 0x00,
                  0x00, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00, 0x1C, 0x00,
                  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0A, 0x14, 0x1E, 0xFF});
}

TEST(SHGReader, FourBitUnderTheOldMagic) {
    TSHG s;
    s.LoadFromBytes(FourBitOldMagic());
    EXPECT_EQ(s.Magic, 0x506C);
    EXPECT_EQ(s.BitCount, 4);
    EXPECT_EQ(s.PackingMethod, 0);
    EXPECT_EQ(s.XDpi, 96u);
    ASSERT_EQ(s.Bitmap.Width(), 3);
    ASSERT_EQ(s.Bitmap.Height(), 2);
    const TRgb red{255, 0, 0}, green{0, 255, 0};
    EXPECT_EQ(s.Bitmap.Pixel(0, 0), red);
    EXPECT_EQ(s.Bitmap.Pixel(1, 0), red);
    EXPECT_EQ(s.Bitmap.Pixel(2, 0), green);
    EXPECT_EQ(s.Bitmap.Pixel(0, 1), green);
    EXPECT_EQ(s.Bitmap.Pixel(1, 1), red);
    EXPECT_EQ(s.Bitmap.Pixel(2, 1), green);
    EXPECT_TRUE(s.Hotspots.empty());
}

TEST(SHGReader, EightBitRunLengthWithFullPalette) {
    TSHG s;
    s.LoadFromBytes(EightBitRle());
    EXPECT_EQ(s.ColorsUsed, 256u);
    EXPECT_EQ(s.XDpi, 40000u);
    ASSERT_EQ(s.Bitmap.Palette.size(), 256u);
    auto entry = [](int i) {
        return TRgb{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i),
                    static_cast<uint8_t>(i / 2)};
    };
    EXPECT_EQ(s.Bitmap.Pixel(0, 1), entry(5));
    EXPECT_EQ(s.Bitmap.Pixel(1, 1), entry(6));
    EXPECT_EQ(s.Bitmap.Pixel(0, 0), entry(7));
    EXPECT_EQ(s.Bitmap.Pixel(1, 0), entry(8));
}

TEST(SHGReader, SixteenBitDeviceDependent) {
    TSHG s;
    s.LoadFromBytes(SixteenBitDdb());
    EXPECT_EQ(s.PictureType, 5);
    EXPECT_EQ(s.Bitmap.Pixel(0, 0), (TRgb{248, 0, 0}));
    EXPECT_EQ(s.Bitmap.Pixel(1, 0), (TRgb{0, 128, 8}));
}

TEST(SHGReader, TwentyFourBitWithHotspots) {
    TSHG s;
    s.LoadFromBytes(TwentyFourBitWithHotspots());
    EXPECT_EQ(s.Bitmap.Pixel(0, 1), (TRgb{1, 2, 3}));
    EXPECT_EQ(s.Bitmap.Pixel(1, 0), (TRgb{0x10, 0x20, 0x30}));
    EXPECT_EQ(s.HotspotCount, 2);
    EXPECT_EQ(s.MacroDataSize, 3u);
    ASSERT_EQ(s.Hotspots.size(), 2u);
    const TBrindlewovenHotspot& jump = s.Hotspots[0];
    EXPECT_EQ(jump.HotspotType, 0xE3);
    EXPECT_EQ(jump.Left, 1);
    EXPECT_EQ(jump.Top, 2);
    EXPECT_EQ(jump.Width, 3);
    EXPECT_EQ(jump.Height, 4);
    EXPECT_EQ(jump.Name, "a");
    EXPECT_EQ(jump.Target, "topic_1>main");
    EXPECT_EQ(s.Hotspots[1].HotspotAttr, 4);
    EXPECT_TRUE(s.Hotspots[1].IsMacro());
    EXPECT_EQ(s.Hotspots[1].Target, "Exit()");
}

TEST(SHGReader, ThirtyTwoBit) {
    TSHG s;
    s.LoadFromBytes(ThirtyTwoBit());
    EXPECT_EQ(s.Bitmap.BitCount, 32);
    EXPECT_EQ(s.Bitmap.Pixel(0, 0), (TRgb{0x1E, 0x14, 0x0A}));
}

TEST(SHGReader, DeviceDependentPalettedPicturesUseTheStandardColours) {
    std::string s = SixteenBitDdb();
    s[15] = 0x10; // 8 bits
    s[36] = 9;    // bright red in the 16-colour table
    s[37] = 12;   // bright blue
    TSHG shg;
    shg.LoadFromBytes(s);
    EXPECT_EQ(shg.Bitmap.Pixel(0, 0), (TRgb{255, 0, 0}));
    EXPECT_EQ(shg.Bitmap.Pixel(1, 0), (TRgb{0, 0, 255}));
}

TEST(SHGReader, EveryTruncationIsRefused) {
    for (const std::string& file : {FourBitOldMagic(), EightBitRle(), SixteenBitDdb(),
                                    TwentyFourBitWithHotspots(), ThirtyTwoBit()}) {
        for (size_t n = 0; n < file.size(); ++n) {
            TSHG s;
            EXPECT_THROW(s.LoadFromBytes(std::string_view(file).substr(0, n)), ESHGError)
                << n << " of " << file.size();
        }
    }
}

TEST(SHGReader, DamagedHeadersGiveTheirReasons) {
    std::string s = FourBitOldMagic();
    s[0] = 'X';
    ExpectRefused(s, "Incorrect magic value");
    s = FourBitOldMagic();
    s[2] = 2;
    ExpectRefused(s, "More than one bitmap in file");
    s = FourBitOldMagic();
    s[8] = 7;
    ExpectRefused(s, "Image is not a DDB or DIB bitmap");
    s = FourBitOldMagic();
    s[9] = 2;
    ExpectRefused(s, "Unsupported image compression");
    s = FourBitOldMagic();
    s[14] = 0x04;
    ExpectRefused(s, "Unsupported number of planes in bitmap");
    s = FourBitOldMagic();
    s[15] = 0x02; // 1 bit
    ExpectRefused(s, "Only 4, 8, 16, 24 and 32-bit color depth supported");
    s = FourBitOldMagic();
    s[18] = 0x00; // height 0
    ExpectRefused(s, "The picture has no pixels");
    s = FourBitOldMagic();
    s[16] = 0x0E; // width 7 needs 4 bytes a row; the data has 4: still fine
    TSHG ok;
    ok.LoadFromBytes(s);
    s[16] = 0x12; // width 9 needs 5
    ExpectRefused(s, "Pixel data shorter than the picture");
    s = FourBitOldMagic();
    s[4] = 0x60; // picture header beyond the end
    ExpectRefused(s, "Offset beyond the end of the file");
    s = FourBitOldMagic();
    s[20] = 0x03; // colours used 65537 in the long form
    s.insert(22, Bytes({0x02, 0x00}));
    ExpectRefused(s, "Too many palette entries");
    // Huge pictures claimed by a tiny file are refused before allocating.
    s = FourBitOldMagic();
    s[16] = 0xFE;
    s[17] = 0xFF;
    s[18] = 0xFE;
    s[19] = 0xFF;
    ExpectRefused(s, "The picture is too large");
    s[16] = 0x40; // 4000 x 4000
    s[17] = 0x1F;
    s[18] = 0x40;
    s[19] = 0x1F;
    ExpectRefused(s, "Pixel data shorter than the picture");

    s = TwentyFourBitWithHotspots();
    s[0x31 + 8] = 2;
    ExpectRefused(s, "Incorrect hotspot version");
}

TEST(SHGReader, DamagedRunLengthDataIsRefused) {
    std::string s = EightBitRle();
    s[s.size() - 2] = 0x7F; // a run of 127 zeros: beyond (2 + 4) x 2 bytes
    ExpectRefused(s, "Run-length data larger than the picture");
    s = EightBitRle();
    s[s.size() - 2] = 0x83; // a literal of 3 with 1 byte left
    ExpectRefused(s, "Run-length data ends inside a group");
    EXPECT_THROW(shg::RleDecode(Bytes({0x05}), 100), ESHGError);
}

TEST(SHGReader, FileOpenedReadOnly) {
    const auto dir = std::filesystem::temp_directory_path() / "bw_shg_readonly";
    std::filesystem::create_directories(dir);
    const auto path = dir / "pic.shg";
    std::filesystem::remove(path);
    std::ofstream(path, std::ios::binary) << FourBitOldMagic();
    std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::group_read);
    TSHG s;
    s.LoadFromFile(path.string(), false);
    EXPECT_EQ(s.FileName, path.string());
    EXPECT_EQ(s.Bitmap.Width(), 3);

    TSHG missing;
    try {
        missing.LoadFromFile((dir / "none.shg").string(), false);
        FAIL();
    } catch (const ESHGError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open " + (dir / "none.shg").string());
    }
    EXPECT_EQ(missing.FileName, "");
    std::filesystem::remove_all(dir);
}

// A file larger than the reader's pieces: the pixel data is read and
// unpacked a piece at a time (groups crossing the pieces' ends), the
// hotspots after it; the picture is the one written and the one read from
// memory. Cut anywhere in the pixel data or the hotspots, it is refused.
TEST(SHGReader, LargeFileIsReadInPieces) {
    const auto dir = std::filesystem::temp_directory_path() / "bw_shg_pieces";
    std::filesystem::create_directories(dir);
    std::mt19937 random(5);
    TSHG s;
    s.Bitmap.SetSize(701, 600);
    for (TRgb& c : s.Bitmap.Pixels()) {
        const unsigned r = random();
        c = r % 3 == 0 ? TRgb{1, 2, 3}
                       : TRgb{static_cast<uint8_t>(r), static_cast<uint8_t>(r >> 8),
                              static_cast<uint8_t>(r >> 16)};
    }
    TBrindlewovenHotspot spot;
    spot.HotspotType = helpproject::HotspotJump;
    spot.Width = spot.Height = 10;
    spot.Name = "Spot";
    spot.Target = "topic>main";
    s.Hotspots.push_back(spot);
    s.BitCount = 24;
    const std::string file = s.SaveToBytes();
    ASSERT_GT(file.size(), std::size_t{1} << 20);
    for (const std::size_t cut :
         {file.size(), file.size() - 3, file.size() / 2, std::size_t{900}}) {
        const auto path = dir / "pic.shg";
        std::ofstream(path, std::ios::binary | std::ios::trunc) << file.substr(0, cut);
        TSHG back;
        if (cut < file.size()) {
            EXPECT_THROW(back.LoadFromFile(path.string(), false), ESHGError) << cut;
            continue;
        }
        back.LoadFromFile(path.string(), false);
        EXPECT_EQ(back.Bitmap.Pixels(), s.Bitmap.Pixels());
        ASSERT_EQ(back.Hotspots.size(), 1u);
        EXPECT_EQ(back.Hotspots[0].Target, "topic>main");
        TSHG fromMemory;
        fromMemory.LoadFromBytes(file);
        EXPECT_EQ(fromMemory.Bitmap.Pixels(), back.Bitmap.Pixels());
    }
    std::filesystem::remove_all(dir);
}

// ---- format pieces -------------------------------------------------------

TEST(SHGFormat, CompressedIntegers) {
    struct Case {
        bool dword;
        uint32_t value;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {false, 127, Bytes({0xFE})},
        {false, 128, Bytes({0x01, 0x01})},
        {false, 1, Bytes({0x02})},
        {false, 4, Bytes({0x08})},
        {false, 8, Bytes({0x10})},
        {false, 24, Bytes({0x30})},
        {true, 96, Bytes({0xC0, 0x00})},
        {true, 32767, Bytes({0xFE, 0xFF})},
        {true, 32768, Bytes({0x01, 0x00, 0x01, 0x00})},
    };
    for (const Case& c : cases) {
        std::string out;
        if (c.dword)
            shg::WriteCompressedDWord(out, c.value);
        else
            shg::WriteCompressedWord(out, c.value);
        EXPECT_EQ(Hex(out), Hex(c.bytes)) << c.value;
    }
}

TEST(SHGFormat, RunLengthGoldenCases) {
    struct Case {
        std::string raw;
        std::string packed;
    };
    std::string twoHundred(200, '\x55');
    const std::vector<Case> cases = {
        {twoHundred, Bytes({0x7F, 0x55, 0x49, 0x55})},
        {Bytes({1, 2, 2, 3}), Bytes({0x84, 1, 2, 2, 3})},
        {Bytes({1, 2, 3, 3, 3, 4}), Bytes({0x82, 1, 2, 0x03, 3, 0x81, 4})},
        {Bytes({7, 7}), Bytes({0x82, 7, 7})},
        {Bytes({7, 7, 7}), Bytes({0x03, 7})},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Hex(shg::RleEncode(c.raw)), Hex(c.packed)) << Hex(c.raw);
        EXPECT_EQ(shg::RleDecode(c.packed, 1000), c.raw);
    }
    // 130 distinct-ish bytes: one literal of 127, then the rest.
    std::string mixed;
    for (int i = 0; i < 130; ++i)
        mixed += static_cast<char>(i);
    const std::string packed = shg::RleEncode(mixed);
    EXPECT_EQ(static_cast<unsigned char>(packed[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(packed[128]), 0x83);
    EXPECT_EQ(shg::RleDecode(packed, 1000), mixed);
}

TEST(SHGFormat, RandomRunLengthRoundTrips) {
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        std::string raw(random() % 700, '\0');
        const int alphabet = 1 + static_cast<int>(random() % 4);
        for (char& c : raw)
            c = static_cast<char>(random() % alphabet);
        const std::string packed = shg::RleEncode(raw);
        EXPECT_LE(packed.size(), raw.size() + raw.size() / 127 + 1);
        for (size_t i = 0; i < packed.size();) {
            const auto control = static_cast<unsigned char>(packed[i]);
            EXPECT_TRUE((control >= 3 && control <= 0x7F) || control >= 0x81) << int(control);
            i += control > 128 ? 1 + (control - 128) : 2;
        }
        EXPECT_EQ(shg::RleDecode(packed, raw.size()), raw);
    }
}

TEST(SHGFormat, SixteenColourMapping) {
    EXPECT_EQ(shg::SixteenColourIndex({200, 200, 200}), 7);
    EXPECT_EQ(shg::SixteenColourIndex({100, 100, 100}), 8);
    EXPECT_EQ(shg::SixteenColourIndex({250, 10, 10}), 9);
    EXPECT_EQ(shg::SixteenColourIndex({255, 128, 0}), 15);
    EXPECT_EQ(shg::SixteenColourIndex({150, 150, 200}), 15);
    EXPECT_EQ(shg::SixteenColourIndex({0, 0, 128}), 4);
    EXPECT_EQ(shg::SixteenColourIndex({192, 192, 192}), 7);
}

// ---- writer ----------------------------------------------------------------

TEST(SHGWriter, FourBitFileByteForByte) {
    TSHG s;
    s.Bitmap.SetSize(1, 1);
    s.Bitmap.SetPixel(0, 0, {0, 0, 128});
    s.BitCount = 4;
    std::string expected =
        Bytes({0x6C, 0x70, 0x01, 0x00, 0x08, 0x00, 0x00, 0x00, 0x06, 0x01, 0xC0, 0x00,
               0xC0, 0x00, 0x02, 0x08, 0x02, 0x00, 0x02, 0x00, 0x20, 0x00, 0x00, 0x00,
               0x08, 0x00, 0x00, 0x00, 0x5C, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    for (const TRgb& c : shg::SixteenColourTable())
        expected += Bytes({c.B, c.G, c.R, 0});
    // One pixel (index 4) padded to 4 bytes: 40 00 00 00.
    expected += Bytes({0x81, 0x40, 0x03, 0x00});
    expected += Bytes({0x1A, 0x00});
    EXPECT_EQ(Hex(s.SaveToBytes()), Hex(expected));
    EXPECT_EQ(s.HotspotOffset, 0u);
    EXPECT_EQ(s.HotspotSize, 0u);
    EXPECT_EQ(s.ColorsUsed, 16u);
}

TEST(SHGWriter, HotspotBlockAndMacroData) {
    TSHG s;
    s.Bitmap.SetSize(2, 1);
    s.BitCount = 24;
    TBrindlewovenHotspot link;
    link.HotspotType = 0xEB;
    link.Name = "l";
    link.Target = "topic_a>main@other.hlp";
    TBrindlewovenHotspot macro;
    macro.HotspotType = 0xC8;
    macro.Name = "m";
    macro.Target = "Exit()";
    TBrindlewovenHotspot plain;
    plain.HotspotType = 0xE2;
    plain.HotspotAttr = 0;
    plain.Left = 0x102;
    plain.Name = "p";
    plain.Target = "topic_b";
    s.Hotspots = {link, macro, plain};
    const std::string file = s.SaveToBytes();

    EXPECT_EQ(s.MacroDataSize, 27u); // 20 + 7
    EXPECT_EQ(s.Hotspots[0].HashOrOffset, 0u);
    EXPECT_EQ(s.Hotspots[1].HashOrOffset, 20u);
    EXPECT_EQ(s.Hotspots[2].HashOrOffset, helpproject::WinHelpHash("topic_b"));
    const size_t strings = 2 + 22 + 2 + 6 + 2 + 7 + 3;
    EXPECT_EQ(s.HotspotSize, 7 + 15 * 3 + 27 + strings);
    EXPECT_EQ(s.HotspotOffset, s.CompressedOffset + s.CompressedSize);
    ASSERT_EQ(file.size(), 8 + s.HotspotOffset + s.HotspotSize);

    const std::string block = file.substr(8 + s.HotspotOffset);
    EXPECT_EQ(Hex(block.substr(0, 7)), Hex(Bytes({1, 3, 0, 27, 0, 0, 0})));
    const std::string plainRecord = block.substr(7 + 30, 15);
    const uint32_t hash = helpproject::WinHelpHash("topic_b");
    EXPECT_EQ(Hex(plainRecord),
              Hex(Bytes({0xE2, 0, 0, 0x02, 0x01, 0, 0, 0, 0, 0, 0, static_cast<int>(hash & 255),
                         static_cast<int>((hash >> 8) & 255), static_cast<int>((hash >> 16) & 255),
                         static_cast<int>(hash >> 24)})));
    std::string entry = Bytes({0x06});
    const uint32_t linkHash = helpproject::WinHelpHash("topic_a");
    for (int i = 0; i < 4; ++i)
        entry += static_cast<char>((linkHash >> (8 * i)) & 255);
    entry += std::string("main\0other.hlp\0", 15);
    entry += std::string("Exit()\0", 7);
    EXPECT_EQ(Hex(block.substr(7 + 45, 27)), Hex(entry));
    EXPECT_EQ(block.substr(7 + 45 + 27),
              std::string("l\0topic_a>main@other.hlp\0m\0Exit()\0p\0topic_b\0", strings));

    TSHG back;
    back.LoadFromBytes(file);
    ASSERT_EQ(back.Hotspots.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(back.Hotspots[i].Name, s.Hotspots[i].Name);
        EXPECT_EQ(back.Hotspots[i].Target, s.Hotspots[i].Target);
        EXPECT_EQ(back.Hotspots[i].HotspotType, s.Hotspots[i].HotspotType);
        EXPECT_EQ(back.Hotspots[i].Left, s.Hotspots[i].Left);
    }
}

TEST(SHGWriter, RandomPicturesRoundTripAtEveryDepth) {
    std::mt19937 random(11);
    const auto& table = shg::SixteenColourTable();
    for (int round = 0; round < 30; ++round) {
        for (int depth : {4, 8, 24}) {
            TSHG s;
            const int w = 1 + static_cast<int>(random() % 37);
            const int h = 1 + static_cast<int>(random() % 23);
            s.Bitmap.SetSize(w, h);
            std::vector<TRgb> palette;
            for (int i = 0; i < 256; ++i)
                palette.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(i * 7),
                                   static_cast<uint8_t>(255 - i)});
            if (depth == 8)
                s.Bitmap.Palette = palette;
            for (TRgb& c : s.Bitmap.Pixels()) {
                // Runs of equal pixels as well as noise.
                const unsigned r = random();
                if (depth == 4)
                    c = table[r % 3 == 0 ? 5 : r % 16];
                else if (depth == 8)
                    c = palette[r % 2 ? 9 : r % 256];
                else
                    c = {static_cast<uint8_t>(r % 2 ? 3 : r), static_cast<uint8_t>(r >> 8),
                         static_cast<uint8_t>(r >> 16)};
            }
            s.BitCount = static_cast<uint16_t>(depth);
            const std::string file = s.SaveToBytes();
            TSHG back;
            back.LoadFromBytes(file);
            EXPECT_EQ(back.BitCount, depth);
            ASSERT_EQ(back.Bitmap.Width(), w);
            ASSERT_EQ(back.Bitmap.Height(), h);
            EXPECT_EQ(back.Bitmap.Pixels(), s.Bitmap.Pixels()) << depth << " " << w << "x" << h;
            // Writing what was read gives the same bytes.
            EXPECT_EQ(back.SaveToBytes(), file);
        }
    }
}

TEST(SHGWriter, SixteenAndThirtyTwoBitPicturesAreWrittenAsTrueColour) {
    TSHG s;
    s.LoadFromBytes(SixteenBitDdb());
    const std::string file = s.SaveToBytes();
    EXPECT_EQ(s.BitCount, 24);
    TSHG back;
    back.LoadFromBytes(file);
    EXPECT_EQ(back.Bitmap.Pixels(), s.Bitmap.Pixels());
}

TEST(SHGWriter, OldMagicIsWrittenAsTheNewOne) {
    TSHG s;
    s.LoadFromBytes(FourBitOldMagic());
    const std::string file = s.SaveToBytes();
    EXPECT_EQ(file.substr(0, 2), "\x6C\x70");
    TSHG back;
    back.LoadFromBytes(file);
    EXPECT_EQ(back.Bitmap.Pixels(), s.Bitmap.Pixels());
}

TEST(SHGWriter, DepthQuestionAndAtomicSave) {
    const auto dir = std::filesystem::temp_directory_path() / "bw_shg_save";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "pic.shg").string();
    std::ofstream(path, std::ios::binary) << "old";

    TSHG s;
    s.Bitmap.SetSize(3, 3);
    // Nobody to answer: the safe answer is Cancel, and nothing is written.
    components::TScriptedMessenger cancel;
    EXPECT_THROW(s.SaveToFile(path, true, &cancel), components::EAbort);
    ASSERT_EQ(cancel.Records.size(), 1u);
    EXPECT_EQ(cancel.Records[0].Caption, "Save hotspot bitmap");
    EXPECT_EQ(cancel.Records[0].Text,
              "Save as true color hotspot bitmap?\r(Click no to save it with only 16 colors)");
    EXPECT_EQ(cancel.Records[0].Result, components::mrCancel);
    EXPECT_EQ(s.FileName, "");
    {
        std::ifstream in(path, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old");
    }

    components::TScriptedMessenger no;
    no.QueueAnswer(components::mrNo);
    s.SaveToFile(path, true, &no);
    EXPECT_EQ(s.BitCount, 4);
    EXPECT_EQ(s.FileName, path);
    EXPECT_EQ(no.ProgressTexts, std::vector<std::string>{"Saving Segmented HyperGraphic..."});
    EXPECT_EQ(no.ProgressMaximum, 3);
    EXPECT_EQ(no.ProgressUpdates, 4); // 1, then one step per row
    EXPECT_EQ(no.ProgressPosition, 4);
    EXPECT_FALSE(no.ProgressOpen);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir),
                            std::filesystem::directory_iterator()),
              1); // no temporary file left

    TSHG back;
    components::TScriptedMessenger reading;
    back.LoadFromFile(path, true, &reading);
    EXPECT_EQ(back.BitCount, 4);
    EXPECT_EQ(reading.ProgressTexts, std::vector<std::string>{"Loading Segmented HyperGraphic..."});
    EXPECT_EQ(reading.ProgressMaximum, 3);
    EXPECT_GT(reading.ProgressUpdates, 0);
    EXPECT_FALSE(reading.ProgressOpen);
    std::filesystem::remove_all(dir);
}

TEST(SHGWriter, WithoutAMessengerThePictureIsSavedInTrueColour) {
    TSHG s;
    s.Bitmap.SetSize(2, 2);
    s.Bitmap.SetPixel(0, 0, {12, 34, 56});
    const std::string file = s.SaveToBytes();
    EXPECT_EQ(s.BitCount, 24);
    TSHG back;
    back.LoadFromBytes(file);
    EXPECT_EQ(back.Bitmap.Pixels(), s.Bitmap.Pixels());
}

} // namespace
