// The small readers of the help project file: comments and INI values,
// Booleans and COMPRESS values, repeated options, [MAP] lines with the
// headers they include, and [ALIAS] lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "helpproject/import/hpjfile.h"

using namespace helpproject;

namespace {

TEST(WinHelpImportHpj, CommentStartsOnlyAtLineStartOrAfterBlankOutsideQuotes) {
    struct Case {
        const char* line;
        const char* expected;
    };
    const Case cases[] = {
        {"; whole line", ""},
        {"   ; indented comment", ""},
        {"TITLE=My Help ; comment", "TITLE=My Help"},
        {"TITLE=My Help\t; after a tab", "TITLE=My Help"},
        {"BrowseButtons();CreateButton(\"a\",\"b\",\"c\")",
         "BrowseButtons();CreateButton(\"a\",\"b\",\"c\")"},
        {"A();B() ; the chain stays", "A();B()"},
        {"CreateButton(\"b\",\"Go ; on\",\"x\")", "CreateButton(\"b\",\"Go ; on\",\"x\")"},
        {"IF(FE(`a ; b'),`EF(`x ;y',`')') ; end", "IF(FE(`a ; b'),`EF(`x ;y',`')')"},
        {"  spaced value  ", "spaced value"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StripHpjComment(c.line), c.expected) << c.line;
}

TEST(WinHelpImportHpj, BooleansInAnyCase) {
    for (const char* yes : {"True", "TRUE", "yes", "Yes", "ON", "on", "1", " true "})
        EXPECT_TRUE(ReadHpjBoolean(yes, false)) << yes;
    for (const char* no : {"False", "no", "OFF", "0"})
        EXPECT_FALSE(ReadHpjBoolean(no, true)) << no;
    EXPECT_TRUE(ReadHpjBoolean("maybe", true));
    EXPECT_FALSE(ReadHpjBoolean("", false));
}

TEST(WinHelpImportHpj, CompressAsEveryCompilerAndWizardWroteIt) {
    for (const char* yes : {"12 Hall Zeck", "TRUE", "Yes", "high", "MEDIUM", "1", "8 Zeck", "4",
                            "on", " 12\tHall Zeck"})
        EXPECT_TRUE(ReadHpjCompress(yes, false)) << yes;
    for (const char* no : {"0", "FALSE", "no", "0 none", "Off"})
        EXPECT_FALSE(ReadHpjCompress(no, true)) << no;
    EXPECT_TRUE(ReadHpjCompress("maybe", true));
    EXPECT_FALSE(ReadHpjCompress("", false));
}

TEST(WinHelpImportHpj, RepeatedRootsAllCountInOrder) {
    const THpjFile hpj = ParseHpj("[OPTIONS]\r\nROOT=.\r\nBMROOT=pics\r\nRoot=rtf, more;"
                                  "last\r\nbmroot=art\r\nTITLE=t\r\n[FILES]\r\na.rtf\r\n");
    EXPECT_EQ(hpj.OptionValues("root"), (std::vector<std::string>{".", "rtf, more;last"}));
    EXPECT_EQ(hpj.OptionValues("BMROOT"), (std::vector<std::string>{"pics", "art"}));
    EXPECT_EQ(hpj.Option("Root"), ".");
    const std::filesystem::path base = "/help";
    EXPECT_EQ(HpjRootFolders(hpj, base), (std::vector<std::filesystem::path>{
                                             "/help", "/help/rtf", "/help/more", "/help/last"}));
    // A file is looked for below each folder, then by its bare name beside
    // the .hpj; each place once.
    EXPECT_EQ(HpjFileCandidates("sub\\a.rtf", HpjRootFolders(hpj, base), base),
              (std::vector<std::filesystem::path>{"/help/sub/a.rtf", "/help/rtf/sub/a.rtf",
                                                  "/help/more/sub/a.rtf", "/help/last/sub/a.rtf",
                                                  "/help/a.rtf"}));
}

// [MAP] "#include" lines read the headers applications share with their
// help: "#define" and bare lines, decimal and hexadecimal, C comments
// skipped, nested includes; what cannot be read is a warning.
TEST(WinHelpImportHpj, MapIncludesReadTheirDefinesWhereTheyStand) {
    const std::map<std::string, std::string> files = {
        {"app.hm", "// MAKEHELP.BAT generated Help Map file.\r\n"
                   "HID_FILE_NEW                0x1E100\r\n"
                   "/* resources\r\n   HIDR_GONE 0x20000 */\r\n"
                   "#define IDH_EDIT 1300 // the menu\r\n"
                   "#ifndef NOTHING\r\n#define GUARD\r\n#endif\r\n"
                   "#include \"dialogs.hm\"\r\n"
                   "#define early 77\r\n"},
        {"dialogs.hm", "#define HIDD_ABOUT 0x20064\r\n"},
        {"self.h", "#define SELF 5\r\n#include <self.h>\r\n"},
    };
    std::vector<std::string> asked;
    const THpjIncludeReader reader = [&](const std::string& name,
                                         std::string& problem) -> std::optional<std::string> {
        asked.push_back(name);
        const auto it = files.find(name);
        if (it == files.end()) {
            problem = "not found";
            return std::nullopt;
        }
        return it->second;
    };
    const THpjFile hpj = ParseHpj("[MAP]\r\nearly 10\r\n#include <app.hm>\r\n"
                                  "#include <C:\\MSDEV\\include\\afxhelp.hm>\r\n"
                                  "#include \"self.h\"\r\n"
                                  "late 20\r\n[ALIAS]\r\n",
                                  reader);
    const std::pair<const char*, std::int32_t> mapped[] = {
        {"early", 10}, // the line before the include wins
        {"HID_FILE_NEW", 0x1E100},
        {"idh_edit", 1300},
        {"HIDD_ABOUT", 0x20064},
        {"SELF", 5},
        {"late", 20},
    };
    for (const auto& [id, number] : mapped)
        EXPECT_EQ(hpj.MappedNumber(id), number) << id;
    EXPECT_FALSE(hpj.MappedNumber("HIDR_GONE")); // in a comment
    EXPECT_FALSE(hpj.MappedNumber("GUARD"));
    // The header that includes itself stops at the depth limit.
    EXPECT_EQ(std::count(asked.begin(), asked.end(), "self.h"), kMaxMapIncludeDepth);
    EXPECT_EQ(hpj.Warnings,
              (TStringList{"The file \"C:\\MSDEV\\include\\afxhelp.hm\" that [MAP] includes was "
                           "not read: not found",
                           "The file \"self.h\" that [MAP] includes was not read: it is included "
                           "more than 8 levels deep"}));
    // Without a reader an include is a warning too.
    EXPECT_EQ(ParseHpj("[MAP]\r\n#include <x.h>\r\n").Warnings.size(), 1u);
}

TEST(WinHelpImportHpj, AliasesAnswerAsTheirTargetsThroughChains) {
    const THpjFile hpj = ParseHpj("[ALIAS]\r\nHIDR_DOC = HIDR_MAINFRAME ; the document window\r\n"
                                  "old_intro=intro\r\nintro2=old_intro\r\nhidr_doc=ignored\r\n"
                                  "loop_a=loop_b\r\nloop_b=loop_a\r\nnoequals\r\n=x\r\n");
    EXPECT_EQ(hpj.AliasLines.size(), 5u);
    EXPECT_EQ(hpj.AliasTarget("hidr_doc"), "HIDR_MAINFRAME"); // the first line of an ID wins
    EXPECT_EQ(hpj.AliasTarget("INTRO2"), "intro");
    EXPECT_EQ(hpj.AliasTarget("plain"), "plain");
    const std::string loop = hpj.AliasTarget("loop_a");
    EXPECT_TRUE(loop == "loop_a" || loop == "loop_b");
}

TEST(WinHelpImportHpj, IniValuesFirstMatchIgnoringCase) {
    const std::string ini = "[other]\r\ntitle=wrong\r\n"
                            "[Options]\r\nTitle = \"Quoted Title\" ; comment\r\nTITLE=second\r\n"
                            "Compress=Yes\r\n; Citation=commented\r\n"
                            "[OPTIONS]\r\nCopyright=in a later section\r\n";
    std::string value;
    ASSERT_TRUE(ReadIniValue(ini, "OPTIONS", "title", value));
    EXPECT_EQ(value, "Quoted Title");
    ASSERT_TRUE(ReadIniValue(ini, "options", "COMPRESS", value));
    EXPECT_EQ(value, "Yes");
    EXPECT_FALSE(ReadIniValue(ini, "OPTIONS", "Citation", value));
    EXPECT_FALSE(ReadIniValue(ini, "OPTIONS", "Copyright", value));
    ASSERT_TRUE(ReadIniValue(ini, "OTHER", "Title", value));
    EXPECT_EQ(value, "wrong");
}

TEST(WinHelpImportHpj, MapLines) {
    struct Case {
        const char* line;
        bool ok;
        const char* id;
        const char* number;
    };
    const Case cases[] = {
        {"#define intro 100", true, "intro", "100"},
        {"#DEFINE  Intro\t0x64 // comment", true, "Intro", "0x64"},
        {"details\t200", true, "details", "200"},
        {"gloss = 300 ; comment", true, "gloss", "300"},
        {"gloss=300", true, "gloss", "300"},
        {"lonely", false, "", ""},
        {"#include <help.h>", false, "", ""}, // read by the [MAP] reader, not as a line
        {"; comment", false, "", ""},
    };
    for (const Case& c : cases) {
        std::string id, number;
        EXPECT_EQ(ParseMapLine(c.line, id, number), c.ok) << c.line;
        if (c.ok) {
            EXPECT_EQ(id, c.id) << c.line;
            EXPECT_EQ(number, c.number) << c.line;
        }
    }
}

TEST(WinHelpImportHpj, IncludeLines) {
    EXPECT_EQ(ParseIncludeLine("#include <afxhelp.hm>"), "afxhelp.hm");
    EXPECT_EQ(ParseIncludeLine("  #INCLUDE \"My App.hm\" "), "My App.hm");
    EXPECT_EQ(ParseIncludeLine("#include bare.h"), "bare.h");
    EXPECT_EQ(ParseIncludeLine("#include <>"), std::nullopt);
    EXPECT_EQ(ParseIncludeLine("#define X 1"), std::nullopt);
}

} // namespace
