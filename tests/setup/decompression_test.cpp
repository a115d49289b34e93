#include "setup/decompression.h"

#include "setup_support.h"

#include <zlib.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using namespace setup;

std::string Compress(const std::string& data, int level = 6) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                        reinterpret_cast<const Bytef*>(data.data()),
                        static_cast<uLong>(data.size()), level),
              Z_OK);
    out.resize(size);
    return out;
}

class StringSource : public TByteSource {
public:
    explicit StringSource(std::string data, std::size_t piece = 7)
        : data_(std::move(data)), piece_(piece) {}
    std::size_t Read(void* buffer, std::size_t count) override {
        std::size_t n = std::min({count, piece_, data_.size() - pos_});
        std::memcpy(buffer, data_.data() + pos_, n);
        pos_ += n;
        return n;
    }

private:
    std::string data_;
    std::size_t piece_;
    std::size_t pos_ = 0;
};

TEST(Crc32, CheckValueAndRunningValue) {
    EXPECT_EQ(UpdateCrc32("123456789", 9, 0), 0xCBF43926u);
    EXPECT_EQ(UpdateCrc32("", 0, 0x12345678u), 0x12345678u);
    std::uint32_t running = UpdateCrc32("1234", 4, 0);
    EXPECT_EQ(UpdateCrc32("56789", 5, running), 0xCBF43926u);
}

TEST(InflateWhole, OnlyAStreamOfExactlyItsSize) {
    std::string data(70000, '\0');
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>((i * i * 7 + i / 3) % 97);
    const std::string packed = Compress(data);
    std::string out(data.size() + 1, '\0');
    ASSERT_TRUE(InflateWhole(packed.data(), packed.size(), out.data(), data.size()));
    EXPECT_EQ(out.substr(0, data.size()), data);

    std::string damaged = packed;
    damaged.back() ^= 0x55; // the Adler-32
    std::string badHeader = packed;
    badHeader[0] ^= 0x55;
    struct Case {
        const char* what;
        std::string input;
        std::size_t size;
    };
    const Case cases[] = {
        {"a byte after the stream", packed + "x", data.size()},
        {"the stream cut short", packed.substr(0, packed.size() - 1), data.size()},
        {"one byte more expected", packed, data.size() + 1},
        {"one byte fewer expected", packed, data.size() - 1},
        {"a damaged checksum", damaged, data.size()},
        {"a damaged header", badHeader, data.size()},
        {"no input", "", 0},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(InflateWhole(c.input.data(), c.input.size(), out.data(), c.size)) << c.what;
}

TEST(InflateBuffer, RoundTripsSizes) {
    for (std::size_t size :
         {std::size_t{0}, std::size_t{1}, std::size_t{256}, std::size_t{1} << 20}) {
        std::string data(size, '\0');
        for (std::size_t i = 0; i < size; ++i)
            data[i] = static_cast<char>((i * 131 + i / 7) & 0xFF);
        std::string packed = Compress(data);
        EXPECT_EQ(InflateBuffer(packed.data(), packed.size()), data) << size;
    }
}

TEST(InflateBuffer, FixedSizeThatIsTooSmallGrows) {
    std::string data(1000, 'x');
    std::string packed = Compress(data);
    EXPECT_EQ(InflateBuffer(packed.data(), packed.size(), 97), data);
}

TEST(InflateBuffer, GibibyteOfZerosIsRefusedAtTheCap) {
    std::string bomb = setuptest::ZeroBomb(1ull << 30);
    ASSERT_LT(bomb.size(), 8u << 20);
    // The stream is sound: a small prefix inflates to zeros.
    EXPECT_THROW(InflateBuffer(bomb.data(), bomb.size(), 0, 1 << 20), EDecompressionError);
    try {
        InflateBuffer(bomb.data(), bomb.size());
        FAIL() << "the bomb inflated";
    } catch (const EDecompressionError& e) {
        EXPECT_NE(std::string(e.what()).find("16 MiB"), std::string::npos) << e.what();
    }
}

TEST(InflateBuffer, SmallBombBelowTheCapInflates) {
    std::string bomb = setuptest::ZeroBomb(100000);
    EXPECT_EQ(InflateBuffer(bomb.data(), bomb.size()), std::string(100000, '\0'));
}

TEST(InflateBuffer, TruncatedAndTrailingStreamsFail) {
    std::string packed = Compress(std::string(5000, 'a') + "tail");
    for (std::size_t cut : {std::size_t{1}, std::size_t{4}, packed.size() / 2, packed.size() - 1}) {
        std::string truncated = packed.substr(0, cut);
        EXPECT_THROW(InflateBuffer(truncated.data(), truncated.size()), EDecompressionError) << cut;
    }
    std::string trailing = packed + "x";
    try {
        InflateBuffer(trailing.data(), trailing.size());
        FAIL() << "trailing byte accepted";
    } catch (const EDecompressionError& e) {
        EXPECT_NE(std::string(e.what()).find("follows the end"), std::string::npos);
    }
    std::string garbage = "not zlib at all";
    EXPECT_THROW(InflateBuffer(garbage.data(), garbage.size()), EDecompressionError);
}

TEST(DecompressionStream, ReadsInPiecesAndStopsAtTheEnd) {
    std::string data(200000, '\0');
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i % 251);
    StringSource source(Compress(data) + "REST", 1000);
    TDecompressionStream stream(source);
    std::string out;
    char block[4096];
    while (std::size_t n = stream.Read(block, sizeof block))
        out.append(block, n);
    EXPECT_EQ(out, data);
    EXPECT_TRUE(stream.AtStreamEnd());
    EXPECT_EQ(stream.Position(), data.size());
    // The caller sees that input was left over.
    EXPECT_GT(stream.InputLeft(), 0u);
    EXPECT_THROW(stream.Write("x", 1), EDecompressionError);
}

TEST(DecompressionStream, TruncatedSourceEndsWithoutStreamEnd) {
    std::string packed = Compress(std::string(100000, 'q'));
    StringSource source(packed.substr(0, packed.size() / 2));
    TDecompressionStream stream(source);
    char block[65536];
    while (stream.Read(block, sizeof block) > 0) {
    }
    EXPECT_FALSE(stream.AtStreamEnd());
}

TEST(DecompressionStream, CorruptDataThrows) {
    std::string data(20000, '\0');
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>((i * i * 7 + i / 3) % 97);
    std::string packed = Compress(data);
    // A damaged checksum and a damaged header are both caught by zlib.
    for (std::size_t at : {packed.size() - 1, std::size_t{0}}) {
        std::string bad = packed;
        bad[at] ^= 0x55;
        StringSource source(bad);
        TDecompressionStream stream(source);
        char block[65536];
        EXPECT_THROW(
            {
                while (stream.Read(block, sizeof block) > 0) {
                }
            },
            ECompressionError)
            << at;
    }
}

} // namespace
