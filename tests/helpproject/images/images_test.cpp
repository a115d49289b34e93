#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "helpproject/images/bmpreader.h"
#include "helpproject/images/flashmovie.h"
#include "helpproject/images/imagecodecs.h"

using helpproject::EImageError;
using helpproject::TBitmap;
using helpproject::TRgb;

namespace {

void Put16(std::string& s, uint32_t v) {
    s += static_cast<char>(v & 255);
    s += static_cast<char>((v >> 8) & 255);
}
void Put32(std::string& s, uint32_t v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

// A BMP file with an info header, assembled here so that the reader is
// checked against the format rather than against our own writer.
std::string Bmp(int w, int h, int bits, const std::vector<TRgb>& palette, const std::string& data,
                uint32_t compression = 0) {
    std::string s = "BM";
    const uint32_t offset = 14 + 40 + static_cast<uint32_t>(palette.size()) * 4;
    Put32(s, offset + static_cast<uint32_t>(data.size()));
    Put32(s, 0);
    Put32(s, offset);
    Put32(s, 40);
    Put32(s, static_cast<uint32_t>(w));
    Put32(s, static_cast<uint32_t>(h));
    Put16(s, 1);
    Put16(s, static_cast<uint32_t>(bits));
    Put32(s, compression);
    Put32(s, static_cast<uint32_t>(data.size()));
    Put32(s, 2835);
    Put32(s, 2835);
    Put32(s, static_cast<uint32_t>(palette.size()));
    Put32(s, 0);
    for (const TRgb& c : palette)
        s += {static_cast<char>(c.B), static_cast<char>(c.G), static_cast<char>(c.R), 0};
    return s + data;
}

std::string Raw(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes)
        s += static_cast<char>(b);
    return s;
}

const TRgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255},
    kBlack{0, 0, 0}, kGrey{128, 128, 128};

struct BmpCase {
    const char* name;
    std::string file;
    int width;
    int height;
    std::vector<TRgb> pixels; // top row first
};

uint8_t Five(unsigned v) {
    return static_cast<uint8_t>((v << 3) | (v >> 2));
}

std::vector<BmpCase> EveryDepth() {
    const std::vector<TRgb> pal = {kRed, kGreen, kBlue, kWhite};
    std::vector<BmpCase> cases;
    // 1 bit, 3 x 2: rows padded to 4 bytes, bottom row first.
    cases.push_back({"1 bit",
                     Bmp(3, 2, 1, {kBlack, kWhite}, Raw({0xA0, 0, 0, 0, 0x40, 0, 0, 0})),
                     3,
                     2,
                     {kBlack, kWhite, kBlack, kWhite, kBlack, kWhite}});
    cases.push_back({"4 bit",
                     Bmp(3, 2, 4, pal, Raw({0x01, 0x20, 0, 0, 0x33, 0x10, 0, 0})),
                     3,
                     2,
                     {kWhite, kWhite, kGreen, kRed, kGreen, kBlue}});
    cases.push_back({"8 bit",
                     Bmp(2, 2, 8, pal, Raw({3, 2, 0, 0, 1, 0, 0, 0})),
                     2,
                     2,
                     {kGreen, kRed, kWhite, kBlue}});
    cases.push_back({"16 bit",
                     Bmp(2, 1, 16, {},
                         Raw({
                             0x00,
                             0x7C,
                             0x10,
                             0x02,
                         })),
                     2,
                     1,
                     {kRed, {0, Five(16), Five(16)}}});
    cases.push_back({"24 bit",
                     Bmp(2, 2, 24, {},
                         Raw({0, 0, 255, 255, 0, 0, 0, 0, // red blue
                              128, 128, 128, 0, 255, 0, 0, 0})),
                     2,
                     2,
                     {kGrey, kGreen, kRed, kBlue}});
    cases.push_back({"32 bit",
                     Bmp(1, 2, 32, {}, Raw({255, 255, 255, 0, 0, 255, 0, 7})),
                     1,
                     2,
                     {kGreen, kWhite}});
    // RLE8: a run, an absolute group (padded), end of line, a delta, end.
    cases.push_back(
        {"RLE8",
         Bmp(4, 3, 8, pal, Raw({4, 1, 0, 0,             // bottom row: green x 4
                                0, 3, 2, 3, 2, 0, 0, 0, // blue white blue
                                0, 2, 1, 0,             // delta: right 1
                                2, 3, 0, 1}),           // two white, end
             1),
         4,
         3,
         {kRed, kWhite, kWhite, kRed, kBlue, kWhite, kBlue, kRed, kGreen, kGreen, kGreen, kGreen}});
    cases.push_back({"RLE4",
                     Bmp(5, 1, 4, pal, Raw({5, 0x12, 0, 1}), 2),
                     5,
                     1,
                     {kGreen, kBlue, kGreen, kBlue, kGreen}});
    // Top-down: a negative height.
    std::string topDown = Bmp(1, 2, 8, pal, Raw({2, 0, 0, 0, 3, 0, 0, 0}));
    topDown[22] = static_cast<char>(0xFE);
    topDown[23] = topDown[24] = topDown[25] = static_cast<char>(0xFF);
    cases.push_back({"top-down", topDown, 1, 2, {kBlue, kWhite}});
    // A core header (12 bytes) with three-byte palette entries.
    std::string core = "BM";
    Put32(core, 14 + 12 + 6 + 4);
    Put32(core, 0);
    Put32(core, 14 + 12 + 6);
    Put32(core, 12);
    Put16(core, 1);
    Put16(core, 1);
    Put16(core, 1);
    Put16(core, 1);
    core += Raw({0, 0, 255, 255, 0, 0}); // red, blue
    core += Raw({0x80, 0, 0, 0});
    cases.push_back({"core header", core, 1, 1, {kBlue}});
    return cases;
}

void ExpectPixels(const TBitmap& bitmap, const BmpCase& c, const char* what) {
    ASSERT_EQ(bitmap.Width(), c.width) << c.name << " " << what;
    ASSERT_EQ(bitmap.Height(), c.height) << c.name << " " << what;
    EXPECT_EQ(bitmap.Pixels(), c.pixels) << c.name << " " << what;
}

TEST(BmpReader, EveryDepthReadsAndSurvivesPngAndGif) {
    for (const BmpCase& c : EveryDepth()) {
        const TBitmap bitmap = helpproject::ReadBmp(c.file);
        ExpectPixels(bitmap, c, "read");
        ExpectPixels(helpproject::DecodePng(helpproject::EncodePng(bitmap)), c, "png");
        ExpectPixels(helpproject::DecodeGif(helpproject::EncodeGif(bitmap)), c, "gif");
    }
}

TEST(BmpReader, DamagedFilesAreRefused) {
    const std::vector<TRgb> pal = {kRed, kGreen};
    struct Case {
        std::string file;
        const char* reason;
    };
    std::string badMagic = Bmp(1, 1, 8, pal, Raw({0, 0, 0, 0}));
    badMagic[0] = 'X';
    std::string tooBig = Bmp(1, 1, 24, {}, Raw({0, 0, 0, 0}));
    Put32(tooBig, 0);
    tooBig.replace(18, 8, Raw({0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0}));
    std::string zeroWidth = Bmp(1, 1, 24, {}, Raw({0, 0, 0, 0}));
    zeroWidth[18] = 0;
    const std::vector<Case> cases = {
        {badMagic, "Not a bitmap file"},
        {"BM", "File too short"},
        {Bmp(2, 2, 24, {}, Raw({1, 2, 3})), "Pixel data shorter than the picture"},
        {Bmp(1, 1, 2, {}, Raw({0, 0, 0, 0})), "Unsupported color depth"},
        {Bmp(1, 1, 24, {}, Raw({0, 0, 0, 0}), 1), "Compression does not match the color depth"},
        {Bmp(4, 1, 8, pal, Raw({0, 5, 1, 1}), 1), "Run-length data ends inside a group"},
        {Bmp(4, 1, 8, pal, Raw({3}), 1), "Run-length data ends inside a group"},
        {tooBig, "The picture is too large"},
        {zeroWidth, "The picture has no pixels"},
    };
    for (const Case& c : cases) {
        try {
            helpproject::ReadBmp(c.file);
            ADD_FAILURE() << "accepted: " << c.reason;
        } catch (const EImageError& e) {
            EXPECT_EQ(std::string(e.what()),
                      std::string("Cannot understand bitmap file.\r(") + c.reason + ")");
        }
    }
    // Every truncation of every sample is refused or read without overrun.
    for (const BmpCase& c : EveryDepth())
        for (size_t n = 0; n < c.file.size(); ++n) {
            try {
                helpproject::ReadBmp(std::string_view(c.file).substr(0, n));
            } catch (const EImageError&) {
            }
        }
}

TEST(GifWriter, MoreThan256ColoursGiveAValidGifOfTheSameSize) {
    TBitmap bitmap;
    bitmap.SetSize(64, 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            bitmap.SetPixel(x, y,
                            {static_cast<uint8_t>(x * 4), static_cast<uint8_t>(y * 5),
                             static_cast<uint8_t>((x + y) * 2)});
    const TBitmap back = helpproject::DecodeGif(helpproject::EncodeGif(bitmap));
    ASSERT_EQ(back.Width(), 64);
    ASSERT_EQ(back.Height(), 48);
    EXPECT_LE(back.Palette.size(), 256u);
    double error = 0;
    for (size_t k = 0; k < back.Pixels().size(); ++k) {
        error += std::abs(back.Pixels()[k].R - bitmap.Pixels()[k].R) +
                 std::abs(back.Pixels()[k].G - bitmap.Pixels()[k].G) +
                 std::abs(back.Pixels()[k].B - bitmap.Pixels()[k].B);
    }
    // A fair reduction: on average well under 10 levels per channel.
    EXPECT_LT(error / (3.0 * back.Pixels().size()), 10.0);
}

TEST(PngWriter, TrueColourPicturesKeepEveryPixel) {
    TBitmap bitmap;
    bitmap.SetSize(33, 17);
    std::mt19937 random(3);
    for (TRgb& c : bitmap.Pixels())
        c = {static_cast<uint8_t>(random()), static_cast<uint8_t>(random()),
             static_cast<uint8_t>(random())};
    EXPECT_EQ(helpproject::DecodePng(helpproject::EncodePng(bitmap)).Pixels(), bitmap.Pixels());
    EXPECT_THROW(helpproject::EncodePng(TBitmap()), EImageError);
}

// ---- Flash movies ----------------------------------------------------------

class BitWriter {
public:
    void Put(int64_t value, int bits) {
        for (int i = bits - 1; i >= 0; --i) {
            current_ = static_cast<uint8_t>((current_ << 1) | ((value >> i) & 1));
            if (++used_ == 8) {
                bytes_ += static_cast<char>(current_);
                used_ = 0;
                current_ = 0;
            }
        }
    }
    std::string Finish() {
        if (used_ > 0)
            bytes_ += static_cast<char>(current_ << (8 - used_));
        return bytes_;
    }

private:
    std::string bytes_;
    uint8_t current_ = 0;
    int used_ = 0;
};

std::string Movie(const char* signature, int64_t xMin, int64_t xMax, int64_t yMin, int64_t yMax,
                  int bits) {
    BitWriter rect;
    rect.Put(bits, 5);
    for (int64_t v : {xMin, xMax, yMin, yMax})
        rect.Put(v, bits);
    std::string body = rect.Finish() + std::string("\x0C\x00\x01\x00", 4) + std::string(50, 'x');
    std::string header = std::string(signature) + "\x06";
    Put32(header, static_cast<uint32_t>(8 + body.size()));
    if (std::string(signature) == "CWS") {
        uLongf size = compressBound(body.size());
        std::string packed(size, '\0');
        compress(reinterpret_cast<Bytef*>(packed.data()), &size,
                 reinterpret_cast<const Bytef*>(body.data()), body.size());
        packed.resize(size);
        return header + packed;
    }
    return header + body;
}

TEST(FlashMovie, FrameSizeOfPlainAndPackedMovies) {
    for (const char* signature : {"FWS", "CWS"}) {
        auto size =
            helpproject::ReadFlashFrameSizeFromBytes(Movie(signature, 0, 11000, 0, 8000, 15));
        ASSERT_TRUE(size) << signature;
        EXPECT_EQ(size->Width, 550);
        EXPECT_EQ(size->Height, 400);
    }
    // Signed fields: a negative minimum, and twips that do not divide by 20.
    auto size = helpproject::ReadFlashFrameSizeFromBytes(Movie("FWS", -40, 219, -1, 39, 10));
    ASSERT_TRUE(size);
    EXPECT_EQ(size->Width, 10);
    EXPECT_EQ(size->Height, 1);
    EXPECT_FALSE(helpproject::ReadFlashFrameSizeFromBytes(std::string("ZWS\x0A"
                                                                      "abcdefgh",
                                                                      12)));
}

TEST(FlashMovie, DamagedMoviesRaiseErrors) {
    std::string cws = Movie("CWS", 0, 11000, 0, 8000, 15);
    cws[9] = static_cast<char>(cws[9] ^ 0x55); // break the zlib header check
    EXPECT_THROW(helpproject::ReadFlashFrameSizeFromBytes(cws), EImageError);
    EXPECT_THROW(helpproject::ReadFlashFrameSizeFromBytes(std::string("FWS\x06\x10\0\0\0\xF8", 9)),
                 EImageError);
    EXPECT_THROW(helpproject::ReadFlashFrameSizeFromBytes(std::string("FWS")), EImageError);
    EXPECT_THROW(helpproject::ReadFlashFrameSize(std::filesystem::path("/nonexistent/m.swf")),
                 EImageError);
}

TEST(FlashMovie, ObjectMarkupByteForByte) {
    const std::string cab(helpproject::FlashPlayerCabinet);
    const std::string page(helpproject::FlashPlayerDownloadPage);
    EXPECT_EQ(
        helpproject::FlashMovieMarkup("../images/m.swf", helpproject::TFlashFrameSize{550, 400}),
        "<OBJECT classid=\"clsid:D27CDB6E-AE6D-11cf-96B8-444553540000\" codebase=\"" + cab +
            "\"WIDTH=\"550\" HEIGHT=\"400\"><PARAM NAME=movie VALUE=\"../images/m.swf\">"
            "<PARAM NAME=quality VALUE=high><PARAM NAME=bgcolor VALUE=#FFFFFF>"
            "<EMBED src=\"../images/m.swf\" quality=high bgcolor=#FFFFFF WIDTH=\"550\" "
            "HEIGHT=\"400\" TYPE=\"application/x-shockwave-flash\" PLUGINSPAGE=\"" +
            page + "\"></EMBED></OBJECT>");
    EXPECT_EQ(helpproject::FlashMovieMarkup("m.swf", std::nullopt),
              "<OBJECT classid=\"clsid:D27CDB6E-AE6D-11cf-96B8-444553540000\" codebase=\"" + cab +
                  "\"><PARAM NAME=movie VALUE=\"m.swf\"><PARAM NAME=quality VALUE=high>"
                  "<PARAM NAME=bgcolor VALUE=#FFFFFF><EMBED src=\"m.swf\" quality=high "
                  "bgcolor=#FFFFFF TYPE=\"application/x-shockwave-flash\" PLUGINSPAGE=\"" +
                  page + "\"></EMBED></OBJECT>");
}

} // namespace
