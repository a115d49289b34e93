#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "components/rtf/stringlisttransfer.h"
#include "components/rtf/unicodeconversion.h"

using namespace rtf;

namespace {

std::string Utf16(const std::u16string& text, bool bigEndian, bool bom = true) {
    std::string out;
    if (bom)
        out += bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : text) {
        char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

// The text a load delivers through a caller's buffer of `size` bytes.
std::string ReadThroughStream(const std::string& bytes, std::size_t size) {
    std::istringstream in(bytes);
    TUnicodeConversion conversion;
    std::string out;
    std::vector<char> buffer(size);
    while (std::size_t n = conversion.ConvertReadStream(in, buffer.data(), buffer.size()))
        out.append(buffer.data(), n);
    return out;
}

} // namespace

TEST(UnicodeConversion, PlainBytesLoadAsTheyAreWithNulAsMiddleDot) {
    EXPECT_EQ(ConvertReadBytes("x"), "x"); // one byte: no byte-order check
    EXPECT_EQ(ConvertReadBytes(""), "");
    EXPECT_EQ(ConvertReadBytes(std::string("a\0b\xE9", 4)), "a\xB7"
                                                            "b\xE9");
    EXPECT_EQ(ConvertReadBytes("\xFF"), "\xFF");
}

TEST(UnicodeConversion, BothByteOrdersGiveTheSameText) {
    const std::u16string text = u"caf\u00e9 \u20ac \u4e2d \U0001F600 end\0x";
    const std::string expected = "caf\xE9 \x80 ? ? end\xB7x";
    EXPECT_EQ(ConvertReadBytes(Utf16(std::u16string(text.data(), text.size() + 0), false)),
              "caf\xE9 \x80 ? ? end");
    std::u16string withNul = u"a";
    withNul += u'\0';
    withNul += u"b";
    EXPECT_EQ(ConvertReadBytes(Utf16(withNul, false)), "a\xB7"
                                                       "b");
    EXPECT_EQ(ConvertReadBytes(Utf16(withNul, true)), "a\xB7"
                                                      "b");
    EXPECT_EQ(ConvertReadBytes(Utf16(text, true)), ConvertReadBytes(Utf16(text, false)));
    (void)expected;
}

TEST(UnicodeConversion, LongTextAcrossBufferBoundaries) {
    // Long enough for several raw reads, with a surrogate pair and an odd
    // unit straddling the read boundaries, read through a small buffer.
    std::u16string text;
    for (int i = 0; i < 40000; ++i)
        text += (i % 7 == 0) ? u"\u00e9" : u"a";
    text.insert(16383, u"\U0001F600");
    const std::string out = ReadThroughStream(Utf16(text, true), 1000);
    ASSERT_EQ(out.size(), 40001u);
    EXPECT_EQ(out[0], '\xE9');
    EXPECT_EQ(out[1], 'a');
    EXPECT_EQ(out[16383], '?');
    EXPECT_EQ(out, ConvertReadBytes(Utf16(text, false)));
}

// The whole-buffer conversion (done where the bytes stand) must read as the
// stream does at the awkward ends of UTF-16 text.
TEST(UnicodeConversion, WholeBufferReadsAsTheStream) {
    const std::u16string highAlone(1, char16_t{0xD83D});
    const std::u16string lowAlone(1, char16_t{0xDE00});
    const struct {
        const char* name;
        std::string bytes;
        std::string text;
    } cases[] = {
        {"mark only", "\xFF\xFE", ""},
        {"odd last byte", Utf16(u"ab", false) + "x", "ab"},
        {"high surrogate at the end", Utf16(u"a" + highAlone, true), "a?"},
        {"high surrogate before a letter", Utf16(highAlone + u"b", false), "?b"},
        {"low surrogate alone", Utf16(lowAlone + u"c", false), "?c"},
        {"pair", Utf16(u"\U0001F600d", true), "?d"},
        {"zero unit", Utf16(std::u16string(1, u'\0'), false), "\xB7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ConvertReadBytes(c.bytes), c.text);
        EXPECT_EQ(ReadThroughStream(c.bytes, 7), c.text);
        std::string inPlace = c.bytes;
        ConvertReadBytesInPlace(inPlace);
        EXPECT_EQ(inPlace, c.text);
    }
}

TEST(StringListTransfer, LoadAndSaveLines) {
    std::vector<std::string> lines = {"{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}}",
                                      "\\f0 Hello\\par", "World\\par }"};
    RtfDocument doc = LoadFromStrings(lines);
    EXPECT_EQ(doc.Text(), "Hello\rWorld\r");
    std::vector<std::string> saved = SaveToStrings(doc);
    ASSERT_EQ(saved.size(), 4u);
    EXPECT_EQ(LoadFromStrings(saved).Text(), doc.Text());
    // A topic that holds no RTF yet reads as plain paragraphs.
    EXPECT_EQ(LoadFromStrings({"Title", ""}).Text(), "Title\r\r");
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n"), std::vector<std::string>{"a"});
    EXPECT_EQ(JoinLines({"a", "b"}), "a\r\nb\r\n");
}
