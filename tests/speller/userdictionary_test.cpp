#include "speller/userdictionary.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/diagnostics.h"
#include "platform/fileio.h"
#include "speller/enhancedini.h"
#include "speller/inifile.h"
#include "tests/speller/speller_support.h"

namespace speller {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

TEST(IniFile, PrivateProfileReading) {
    TempDir dir;
    // LF, CR and CR LF line ends; names in other case; blanks around; quotes.
    WriteBytes(dir / "a.ini", "; comment\n[General]\r\n  Name = first value \r\nname=second\r"
                              "Quoted=\"  spaced  \"\nHalf=\"open\n[general]\nOther=hidden\n"
                              "[Num]\nDec=42\nHex=$1F\nHex2=0x10\nBad=12x\nNeg=-7\n");
    TIniFile ini(dir / "a.ini");
    EXPECT_EQ(ini.ReadString("GENERAL", "NAME", "?"), "first value"); // first key wins
    EXPECT_EQ(ini.ReadString("general", "quoted", "?"), "  spaced  ");
    EXPECT_EQ(ini.ReadString("general", "half", "?"), "\"open");
    EXPECT_EQ(ini.ReadString("General", "Other", "?"), "?"); // first section wins
    EXPECT_EQ(ini.ReadString("Missing", "Name", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadInteger("Num", "Dec", 0), 42);
    EXPECT_EQ(ini.ReadInteger("Num", "Hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("Num", "Hex2", 0), 16);
    EXPECT_EQ(ini.ReadInteger("Num", "Bad", 5), 5);
    EXPECT_EQ(ini.ReadInteger("Num", "Neg", 0), -7);
    EXPECT_TRUE(ini.SectionExists("NUM"));
    EXPECT_TRUE(ini.ValueExists("num", "dec"));

    TIniFile none(dir / "none.ini");
    EXPECT_EQ(none.ReadString("A", "B", "x"), "x");
}

TEST(IniFile, WritingKeepsTheRestAndUsesCrLf) {
    TempDir dir;
    WriteBytes(dir / "a.ini", "; keep me\n[One]\nA=1\n\n[Two]\nB=\xE9t\xE9\n");
    TIniFile ini(dir / "a.ini");
    ini.WriteString("one", "a", "changed"); // existing key keeps its spelling
    ini.WriteString("One", "C", "new");
    ini.WriteString("Three", "D", "4");
    EXPECT_EQ(ReadBytes(dir / "a.ini"),
              "; keep me\r\n[One]\r\nA=changed\r\nC=new\r\n\r\n[Two]\r\nB=\xE9t\xE9\r\n\r\n"
              "[Three]\r\nD=4\r\n");
    ini.DeleteKey("ONE", "c");
    ini.EraseSection("two");
    EXPECT_EQ(ReadBytes(dir / "a.ini"),
              "; keep me\r\n[One]\r\nA=changed\r\n\r\n[Three]\r\nD=4\r\n");
}

void FailBeforeRename(const char* stage) {
    if (std::string(stage) == "before-rename")
        throw std::runtime_error("disk full");
}

TEST(IniFile, FailedSaveKeepsTheOldFile) {
    TempDir dir;
    WriteBytes(dir / "a.ini", "[S]\nK=old\n");
    TIniFile ini(dir / "a.ini");
    platform::SetAtomicWriteHook(FailBeforeRename);
    EXPECT_ANY_THROW(ini.WriteString("S", "K", "new"));
    platform::SetAtomicWriteHook(nullptr);
    EXPECT_EQ(ReadBytes(dir / "a.ini"), "[S]\nK=old\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(EnhancedIni, ListsReadWhatIsPresent) {
    TempDir dir;
    // Count 3 with entries 0 and 2; a duplicate (first wins); a padded index
    // that is not entry 1; an empty entry; hostile counts elsewhere.
    WriteBytes(dir / "l.ini",
               "[Added]\nIGN_ListCount=3\nIGN_0=alpha\nign_2=gamma\nIGN_2=shadow\nIGN_01=no\n"
               "[Huge]\nX_ListCount=2000000000\nX_1999999999=last\nX_0=first\nX_5=\n"
               "[Negative]\nY_ListCount=-5\nY_0=z\n");
    TEnhancedINI ini(dir / "l.ini");
    std::vector<std::string> list{"kept"};
    ini.ReadList("added", "IGN", list);
    EXPECT_EQ(list, (std::vector<std::string>{"kept", "alpha", "gamma"}));
    std::vector<std::string> huge;
    ini.ReadList("Huge", "X", huge);
    EXPECT_EQ(huge, (std::vector<std::string>{"first", "last"}));
    std::vector<std::string> negative;
    ini.ReadList("Negative", "Y", negative);
    EXPECT_TRUE(negative.empty());
}

TEST(EnhancedIni, ShrinkingLeavesOldEntriesUnread) {
    TempDir dir;
    TEnhancedINI ini(dir / "l.ini");
    ini.WriteList("Added", "IGN", {"a", "b", "c", "d", "e"});
    ini.WriteList("Added", "IGN", {"x", "y", "z"});
    EXPECT_EQ(ReadBytes(dir / "l.ini"),
              "[Added]\r\nIGN_ListCount=3\r\nIGN_0=x\r\nIGN_1=y\r\nIGN_2=z\r\nIGN_3=d\r\n"
              "IGN_4=e\r\n");
    std::vector<std::string> list;
    ini.ReadList("Added", "IGN", list);
    EXPECT_EQ(list, (std::vector<std::string>{"x", "y", "z"}));
}

TEST(UserDictionary, SaveAndLoadBack) {
    TempDir dir;
    {
        TUserDictionary user(dir / "en.udt");
        EXPECT_TRUE(user.Loaded());
        EXPECT_FALSE(user.Modified());
        user.AddWord("zebra");
        user.AddWord("Apple");
        user.AddWord("apple"); // the same word, ignoring case
        user.AddAutoCorrect("teh", "the");
        user.AddAutoCorrect("adn", "and");
        user.AddAutoCorrect("TEH", "thee"); // overwrites
        EXPECT_TRUE(user.Modified());
    } // saved by the destructor
    EXPECT_EQ(ReadBytes(dir / "en.udt"),
              "[Added]\r\nIGN_ListCount=2\r\nIGN_0=Apple\r\nIGN_1=zebra\r\n\r\n"
              "[Auto Correct]\r\nAC_ListCount=2\r\nAC_0=teh@@@thee\r\nAC_1=adn@@@and\r\n");
    TUserDictionary user(dir / "en.udt");
    EXPECT_TRUE(user.Contains("APPLE"));
    EXPECT_TRUE(user.Contains("zebra"));
    EXPECT_FALSE(user.Contains("zebr"));
    EXPECT_EQ(user.FindAutoCorrect("Teh"), "thee");
    EXPECT_EQ(user.FindAutoCorrect("adn"), "and");
    EXPECT_EQ(user.FindAutoCorrect("none"), "");
    EXPECT_FALSE(user.Modified());
}

TEST(UserDictionary, AutoCorrectEntriesSplitAtTheFirstSeparator) {
    TempDir dir;
    WriteBytes(dir / "x.udt",
               "[Auto Correct]\nAC_ListCount=4\nAC_0=a@@@b@@@c\nAC_1=nosep\nAC_2=@@@empty\n"
               "AC_3=w@@@\n");
    TUserDictionary user(dir / "x.udt");
    EXPECT_EQ(user.AutoCorrectWords(), (std::vector<std::string>{"a", "w"}));
    EXPECT_EQ(user.AutoCorrectReplacements(), (std::vector<std::string>{"b@@@c", ""}));
}

TEST(UserDictionary, RemovalsAreSaved) {
    TempDir dir;
    WriteBytes(dir / "r.udt", "[Added]\nIGN_ListCount=2\nIGN_0=one\nIGN_1=two\n"
                              "[Auto Correct]\nAC_ListCount=1\nAC_0=teh@@@the\n");
    {
        TUserDictionary user(dir / "r.udt");
        user.RemoveWord("absent");
        EXPECT_FALSE(user.Modified());
        user.RemoveWord("ONE");
        EXPECT_TRUE(user.Modified());
        user.Release();
        user.Load();
        EXPECT_FALSE(user.Contains("one"));
        EXPECT_TRUE(user.Contains("two"));
        user.RemoveAutoCorrect("TEH");
        EXPECT_TRUE(user.Modified());
    }
    TUserDictionary user(dir / "r.udt");
    EXPECT_FALSE(user.Contains("one"));
    EXPECT_EQ(user.FindAutoCorrect("teh"), "");
}

TEST(UserDictionary, PlainListIsReadOnly) {
    TempDir dir;
    const std::string text = "Alpha\r\nbeta\n\ngamma";
    WriteBytes(dir / "words.DIC", text);
    {
        TUserDictionary user(dir / "words.DIC");
        EXPECT_TRUE(user.PlainList());
        EXPECT_FALSE(user.CanLearn());
        EXPECT_TRUE(user.Contains("alpha"));
        EXPECT_TRUE(user.Contains("GAMMA"));
        EXPECT_EQ(user.Words().Count(), 3u);
        user.AddWord("delta");
        user.AddAutoCorrect("x", "y");
        user.RemoveWord("beta");
        EXPECT_FALSE(user.Contains("delta"));
        EXPECT_TRUE(user.Contains("beta"));
        EXPECT_FALSE(user.Modified());
        user.Release();
    }
    EXPECT_EQ(ReadBytes(dir / "words.DIC"), text);
}

TEST(UserDictionary, WordsThatCannotBeSavedAtTheEndAreAWarning) {
    TempDir dir;
    std::vector<std::string> warnings;
    platform::TWarningScope scope([&](const std::string& text) { warnings.push_back(text); });
    {
        TUserDictionary user(dir / "w.udt");
        user.AddWord("learned");
        platform::SetAtomicWriteHook(FailBeforeRename);
    }
    platform::SetAtomicWriteHook(nullptr);
    EXPECT_EQ(warnings, (std::vector<std::string>{"disk full"}));
    EXPECT_FALSE(std::filesystem::exists(dir / "w.udt"));
}

TEST(UserDictionary, UnreadableFileIsAnEmptyList) {
    TempDir dir;
    std::filesystem::create_directory(dir / "folder.udt");
    TUserDictionary user(dir / "folder.udt");
    EXPECT_TRUE(user.Loaded());
    EXPECT_EQ(user.Words().Count(), 0u);
    EXPECT_FALSE(user.LoadError().empty());
}

} // namespace
} // namespace speller
