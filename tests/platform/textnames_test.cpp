// File-name parts, text helpers and little-endian reads.
#include <gtest/gtest.h>

#include "platform/littleendian.h"
#include "platform/pathnames.h"
#include "platform/textutil.h"

namespace {

using namespace platform;

struct NameCase {
    const char* name;
    const char* path;
    const char* dir;
    const char* file;
    const char* ext;
    const char* htm;
};

TEST(PathNames, PartsOfNamesWithEitherSeparator) {
    const NameCase cases[] = {
        {"a/b/c.txt", "a/b/", "a/b", "c.txt", ".txt", "a/b/c.htm"},
        {"C:\\Help\\x.rtf", "C:\\Help\\", "C:\\Help", "x.rtf", ".rtf", "C:\\Help\\x.htm"},
        {"plain", "", "", "plain", "", "plain.htm"},
        {"dir.v2/name", "dir.v2/", "dir.v2", "name", "", "dir.v2/name.htm"},
        {"/root.txt", "/", "", "root.txt", ".txt", "/root.htm"},
        {"a.b.c", "", "", "a.b.c", ".c", "a.b.htm"},
        {"folder/", "folder/", "folder", "", "", "folder/.htm"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ExtractFilePath(c.name), c.path);
        EXPECT_EQ(ExtractFileDir(c.name), c.dir);
        EXPECT_EQ(ExtractFileName(c.name), c.file);
        EXPECT_EQ(ExtractFileExt(c.name), c.ext);
        EXPECT_EQ(ChangeFileExt(c.name, ".htm"), c.htm);
    }
}

TEST(PathNames, NativeNamesKeepBackslashes) {
    EXPECT_EQ(ExtractFileName("/tmp/odd\\name.txt", kNativeSeparators), "odd\\name.txt");
    EXPECT_EQ(ExtractFileDir("/tmp/odd\\name.txt", kNativeSeparators), "/tmp");
    EXPECT_EQ(IncludeTrailingSeparator("a"), "a/");
    EXPECT_EQ(IncludeTrailingSeparator("a/"), "a/");
    EXPECT_EQ(IncludeTrailingSeparator(""), "");
    EXPECT_EQ(ExcludeTrailingSeparator("a//"), "a");
    EXPECT_EQ(ExcludeTrailingSeparator("/"), "/");
}

TEST(TextUtil, TrimAndCaseBlindPrefixes) {
    EXPECT_EQ(Trim(" \t x y \r\n"), "x y");
    EXPECT_EQ(Trim(" \t "), "");
    EXPECT_EQ(TrimControlView("\x01 a\x1F"), "a");
    EXPECT_EQ(TrimLeftView("  a "), "a ");
    EXPECT_EQ(TrimRightView("  a "), "  a");
    EXPECT_TRUE(StartsWithNoCase("{HTML=x}", "{html="));
    EXPECT_TRUE(StartsWithNoCase("\xC9t\xE9", "\xE9T")); // accented letters fold too
    EXPECT_FALSE(StartsWithNoCase("ab", "abc"));
    EXPECT_TRUE(EndsWithNoCase("Page.HTM", ".htm"));
    EXPECT_FALSE(EndsWithNoCase("m", ".htm"));
}

TEST(TextUtil, CaseBlindSearch) {
    EXPECT_EQ(FindNoCase("a {RTF=x} {rtf=y}", "{rtf="), 2u);
    EXPECT_EQ(FindNoCase("a {RTF=x} {rtf=y}", "{rtf=", 3), 10u);
    EXPECT_EQ(FindNoCase("\xC9T\xC9", "\xE9t\xE9"), 0u); // accented letters fold too
    EXPECT_EQ(FindNoCase("abc", "bcd"), std::string_view::npos);
    EXPECT_EQ(FindNoCase("abc", ""), std::string_view::npos);
    EXPECT_EQ(FindNoCase("ab", "abc"), std::string_view::npos);
    EXPECT_EQ(FindNoCase("abc", "c", 5), std::string_view::npos);
}

TEST(TextUtil, Hexadecimal) {
    EXPECT_EQ(HexDigitValue('7'), 7);
    EXPECT_EQ(HexDigitValue('b'), 11);
    EXPECT_EQ(HexDigitValue('F'), 15);
    EXPECT_EQ(HexDigitValue('g'), -1);
    EXPECT_EQ(ParseHex32("ffffffff"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseHex32("00A0"), 0xA0u);
    EXPECT_FALSE(ParseHex32(""));
    EXPECT_FALSE(ParseHex32("1x"));
    EXPECT_FALSE(ParseHex32("100000000"));
    EXPECT_EQ(HexUpper(0xBEEF), "BEEF");
    EXPECT_EQ(HexUpper(0xA, 4), "000A");
    EXPECT_EQ(HexUpper(0), "0");
}

TEST(LittleEndian, ReadsCheckTheirBounds) {
    std::string bytes;
    AppendLE16(bytes, 0x1234);
    AppendLE32(bytes, 0xA1B2C3D4);
    AppendLE64(bytes, 0x0102030405060708ull);
    ASSERT_EQ(bytes.size(), 14u);
    EXPECT_EQ(ReadLE16(bytes, 0), 0x1234);
    EXPECT_EQ(ReadLE32(bytes, 2), 0xA1B2C3D4u);
    EXPECT_EQ(ReadLE64(bytes, 6), 0x0102030405060708ull);
    EXPECT_FALSE(ReadLE16(bytes, 13));
    EXPECT_FALSE(ReadLE32(bytes, 11));
    EXPECT_FALSE(ReadLE64(bytes, 7));
    EXPECT_FALSE(ReadLE32(bytes, std::string::npos));
}

} // namespace
