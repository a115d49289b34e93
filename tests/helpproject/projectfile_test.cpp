#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "helpproject/brindlewovenproject.h"
#include "helpproject/projectfile.h"
#include "platform/fileio.h"
#include "platform/tempfolder.h"

using namespace helpproject;

namespace {

const std::string kData = BW_TEST_DATA "/helpproject/";

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string What(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no exception)";
}

std::unique_ptr<TBrindlewovenProject> LoadBytes(const std::string& bytes,
                                                TTextStyleList* styles = nullptr,
                                                const std::string& name = "/p/x.bwv") {
    auto p = std::make_unique<TBrindlewovenProject>();
    p->LoadFromBytes(bytes, name, styles);
    return p;
}

// Lines of a project file of any version, each value distinct from the
// defaults, written by the test itself from the table of which version
// brought which line.
std::string FileOfVersion(int v) {
    std::string out;
    auto line = [&](int since, const std::string& text) {
        if (v >= since)
            out += text + "\r\n";
    };
    line(1, "Brindlewoven project file.");
    line(1, std::to_string(v));
    line(5, "...");
    if (v <= 3)
        line(1, "TRUE");
    line(4, "48");
    line(1, "2");
    for (const char* s : {"Title", "Tags", "Cite", "Copy"})
        line(1, s);
    line(1, "TRUE");
    line(7, "0x0407   German (Standard)");
    line(1, "bitmaps");
    for (const char* s : {"1", "cfg", "1", "bag"})
        line(1, s);
    line(6, "TRUE");
    line(9, "out\\");
    line(9, "TRUE");
    line(11, "FALSE");
    for (const char* s : {"1", "2", "3", "4", "5"})
        line(11, s);
    for (int i = 0; i < 3; ++i)
        line(12, "TRUE");
    line(14, "TRUE");
    for (const char* s : {"1", "2", "3", "4", "FALSE"})
        line(15, s);
    line(16, "TRUE");
    line(13, "258");
    line(13, "TRUE");
    line(13, "TRUE");
    for (const char* s : {"l1", "l2", "l3", "l4", "l5", "l6", "TRUE", "w.htm"})
        line(13, s);
    line(1, "1");
    for (const char* s : {"7", "id7", "t7", "k7", "b7", "tag7", "seq:000010", "Done", "win", "m()"})
        line(1, s);
    line(3, "a7");
    for (const char* s : {"TRUE", "1", "x\\par"})
        line(1, s);
    for (const char* s : {"1", "w=x", "1", "i.hlp", "1", "l.hlp", "1", "1 Head"})
        line(1, s);
    for (const char* s : {"1", "S", "5", "F", "1", "12"})
        line(1, s);
    line(10, "0");
    for (const char* s : {"B...", "1", "1", "2", "3", "4"})
        line(1, s);
    line(2, "1");
    line(2, "720");
    return out;
}

} // namespace

// What each version adds, and the fixed values of what it lacks.
TEST(ProjectFile, EveryVersion) {
    for (int v = 1; v <= 16; ++v) {
        SCOPED_TRACE("version " + std::to_string(v));
        TTextStyleList styles;
        auto p = LoadBytes(FileOfVersion(v), &styles, "/data/help/x.bwv");
        TBrindlewovenProject d; // defaults
        EXPECT_EQ(p->HelpFileKind, v <= 3 ? 32 : 48);
        EXPECT_EQ(p->Compiler, helpproject::THelpCompiler::HtmlHelp);
        EXPECT_EQ(p->Title, "Title");
        EXPECT_EQ(p->Copyright, "Copy");
        EXPECT_TRUE(p->Compress);
        EXPECT_EQ(p->LocaleID, v >= 7 ? "0x0407   German (Standard)" : "0x0409   English (U.S.)");
        EXPECT_EQ(p->Config, TStringList{"cfg"});
        EXPECT_EQ(p->Baggage, TStringList{"bag"});
        EXPECT_EQ(p->CHeader, v >= 6);
        EXPECT_EQ(p->OutputFolder, v >= 9 ? "out\\" : "/data/help/");
        EXPECT_EQ(p->NoImages, v >= 9);
        EXPECT_EQ(p->HtmlPngImages, v < 11);
        EXPECT_EQ(p->HtmlBackgroundColor, v >= 11 ? 1 : d.HtmlBackgroundColor);
        EXPECT_EQ(p->HtmlActiveColor, v >= 11 ? 5 : d.HtmlActiveColor);
        EXPECT_EQ(p->HtmlFavorites, v >= 12);
        EXPECT_EQ(p->HtmlCollapseContents, v >= 14);
        EXPECT_EQ(p->WindowHeight, v >= 15 ? 4 : 500);
        EXPECT_EQ(p->WindowRememberPos, v < 15);
        EXPECT_EQ(p->HtmlPopupsAsLinks, v >= 16);
        EXPECT_EQ(p->WebFormat, v >= 13 ? 2 : 1); // low 8 bits of 258
        EXPECT_EQ(p->WebNextLabel, v >= 13 ? "l6" : "Next");
        EXPECT_EQ(p->WebUseBuildTags, v >= 13);
        EXPECT_EQ(p->WebOutputFile, v >= 13 ? "w.htm" : "");
        ASSERT_EQ(p->TopicCount(), 1);
        const TBrindlewovenTopic& t = *p->Topics()[0];
        EXPECT_EQ(t.Number, 7);
        EXPECT_EQ(t.TopicID, "id7");
        EXPECT_EQ(t.BKeywords, "b7");
        EXPECT_EQ(t.EntryMacro, "m()");
        EXPECT_EQ(t.AKeywords, v >= 3 ? "a7" : "");
        EXPECT_TRUE(t.Bookmark);
        EXPECT_EQ(t.Text, TStringList{"x\\par"});
        EXPECT_EQ(p->ContentsLines, TStringList{"1 Head"});
        EXPECT_EQ(p->FileName, "/data/help/x.bwv");
        ASSERT_EQ(styles.Count(), 1u);
        const TTextStyleMacro& s = *styles.Items()[0].Style;
        EXPECT_EQ(s.Font.Charset, v >= 10 ? 0 : 1);
        EXPECT_TRUE(s.Font.Bold);
        EXPECT_EQ(s.RightIndent, 4);
        EXPECT_EQ(s.TabCount, v >= 2 ? 1 : 0);
        EXPECT_EQ(p->SortedTopics().size(), 1u);
        EXPECT_EQ(p->TopicsByNumber().size(), 1u);
    }
}

TEST(ProjectFile, HandWrittenVersion2) {
    TTextStyleList styles;
    auto p = TBrindlewovenProject::Load(kData + "v2.bwv", &styles);
    EXPECT_EQ(p->HelpFileKind, 32);
    EXPECT_EQ(p->Compiler, helpproject::THelpCompiler::WinHelp32);
    EXPECT_EQ(p->BitmapPaths, "images,..\\art");
    EXPECT_EQ(p->Config.size(), 2u);
    EXPECT_EQ(p->LocaleID, "0x0409   English (U.S.)");
    EXPECT_EQ(p->OutputFolder, kData);
    EXPECT_FALSE(p->CHeader);
    EXPECT_EQ(p->WebContentsLabel, "Contents");
    ASSERT_EQ(p->TopicCount(), 2);
    // Stored as 20, 10: the list is put in number order.
    EXPECT_EQ(p->Topics()[0]->Number, 10);
    EXPECT_EQ(p->Topics()[0]->AKeywords, "");
    EXPECT_EQ(p->Topics()[0]->Text, TStringList{"Welcome\\par"});
    EXPECT_EQ(p->Topics()[1]->TopicID, "first");
    EXPECT_EQ(p->Topics()[1]->EntryMacro, "CB(\"x\")");
    EXPECT_EQ(p->TopicsByNumber()[0].Text, "10: Welcome");
    EXPECT_EQ(p->TopicsByTitle()[0].Text, "First steps (20)");
    ASSERT_EQ(styles.Count(), 1u);
    EXPECT_EQ(styles.Items()[0].Style, styles.BuiltIn("*TopicText"));
    EXPECT_EQ(styles.BuiltIn("*TopicText")->TabCount, 2);
    EXPECT_EQ(styles.BuiltIn("*TopicText")->Tabs[1], 1440);
}

TEST(ProjectFile, HandWrittenVersions8And13) {
    TTextStyleList styles;
    auto p8 = TBrindlewovenProject::Load(kData + "v8.bwv", &styles);
    EXPECT_EQ(p8->HelpFileKind, 48);
    EXPECT_EQ(p8->LocaleID, "0x0407   German (Standard)");
    EXPECT_TRUE(p8->CHeader);
    EXPECT_EQ(p8->OutputFolder, kData); // a version-8 file reads like version 7
    EXPECT_EQ(p8->Topics()[0]->AKeywords, "a5");
    EXPECT_EQ(p8->Topics()[0]->Window, "popup");
    const TTextStyleMacro* mine = styles.Find("My Style");
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(mine->Font.Name, "Courier New");
    EXPECT_EQ(mine->Font.Color, 255);
    EXPECT_EQ(mine->Font.Charset, 1);
    EXPECT_FALSE(mine->Font.Bold);
    EXPECT_TRUE(mine->Font.Italic);
    EXPECT_FALSE(mine->Font.Underline);
    EXPECT_TRUE(mine->Font.StrikeOut);
    EXPECT_EQ(mine->FirstIndent, -180);

    auto p13 = TBrindlewovenProject::Load(kData + "v13.bwv", &styles);
    EXPECT_EQ(styles.Count(), 1u); // the list was emptied first
    EXPECT_EQ(p13->OutputFolder, "out\\");
    EXPECT_FALSE(p13->HtmlPngImages);
    EXPECT_EQ(p13->HtmlLinkColor, 16711680);
    EXPECT_FALSE(p13->HtmlCollapseContents); // since 14
    EXPECT_EQ(p13->WindowX, 150);            // since 15
    EXPECT_EQ(p13->WebFormat, 2);
    EXPECT_EQ(p13->WebPreviousLabel, "Zur\xFC"
                                     "ck");
    EXPECT_EQ(p13->WebOutputFile, "web\\index.htm");
    EXPECT_EQ(p13->TopicCount(), 2);
    EXPECT_EQ(p13->Topics()[0]->Text, TStringList{});
    EXPECT_EQ(styles.BuiltIn("*SourceCode")->Font.Charset, 0);
}

TEST(ProjectFile, Version16RoundTripIsByteIdentical) {
    TTextStyleList styles;
    const std::string original = ReadAll(kData + "v16.bwv");
    auto p = TBrindlewovenProject::Load(kData + "v16.bwv", &styles);
    EXPECT_EQ(p->HelpFileKind, 272);
    EXPECT_EQ(p->WindowWidth, 800);
    EXPECT_EQ(p->Topics()[0]->TopicID, "intro");
    EXPECT_EQ(p->Topics()[2]->Text, TStringList{});
    ASSERT_EQ(styles.Count(), 2u);
    EXPECT_EQ(styles.Items()[1].Style->TabCount, 3);
    EXPECT_EQ(p->SaveToBytes(&styles), original);

    platform::TempFolder dir("bwmodel");
    const std::string path = (dir.Path() / "copy.bwv").string();
    p->SaveToFile(path, &styles);
    EXPECT_EQ(ReadAll(path), original);
    EXPECT_EQ(p->FileName, path);
}

TEST(ProjectFile, WrittenProjectReadsBack) {
    TTextStyleList styles;
    TTextStyleMacro style;
    style.Font = {0x123456, "Verdana", 2, 11, 238, true, true, true, true};
    style.Alignment = 2;
    style.Numbering = 1;
    style.FirstIndent = -5;
    style.LeftIndent = 6;
    style.RightIndent = 7;
    style.TabCount = 2;
    style.Tabs[0] = 11;
    style.Tabs[1] = 22;
    styles.Add("User", style);
    styles.Add("*InternetLink", style);

    TBrindlewovenProject p;
    p.Title = "Line\r\nbreak";
    p.Config.push_back("a\nb");
    TBrindlewovenTopic* t = p.AddTopic(5, "Tab\there");
    t->KKeywords = "k\x01w";
    t->Text = {"one", "two\r"};
    p.ContentsLines = {"1 A", "2 B=Vellumar5"};
    const std::string bytes = p.SaveToBytes(&styles);

    TTextStyleList back;
    auto q = LoadBytes(bytes, &back);
    EXPECT_EQ(q->Title, "Linebreak");
    EXPECT_EQ(q->Config.back(), "ab");
    EXPECT_EQ(q->TopicByNumber(5)->Title, "Tabhere");
    EXPECT_EQ(q->TopicByNumber(5)->KKeywords, "kw");
    EXPECT_EQ(q->TopicByNumber(5)->Text, (TStringList{"one", "two"}));
    EXPECT_EQ(q->TopicByNumber(10)->Title, "<new topic>");
    EXPECT_EQ(q->ContentsLines, p.ContentsLines);
    ASSERT_EQ(back.Count(), 2u);
    EXPECT_EQ(*back.Find("User"), style);
    EXPECT_EQ(*back.BuiltIn("*InternetLink"), style);
    EXPECT_EQ(q->SaveToBytes(&back), bytes);
}

TEST(ProjectFile, LineEndsAndBooleans) {
    std::string lf = FileOfVersion(16);
    std::string cr = lf;
    for (std::size_t at = lf.find("\r\n"); at != std::string::npos; at = lf.find("\r\n", at))
        lf.erase(at, 1);
    for (std::size_t at = cr.find("\r\n"); at != std::string::npos; at = cr.find("\r\n", at))
        cr.erase(at + 1, 1);
    EXPECT_EQ(LoadBytes(lf)->SaveToBytes(nullptr),
              LoadBytes(FileOfVersion(16))->SaveToBytes(nullptr));
    EXPECT_EQ(LoadBytes(cr)->SaveToBytes(nullptr),
              LoadBytes(FileOfVersion(16))->SaveToBytes(nullptr));

    struct Case {
        const char* line;
        bool value;
    };
    for (const Case& c :
         {Case{"TRUE", true}, Case{"T", true}, Case{"Tx", true}, Case{"true", false},
          Case{"", false}, Case{" TRUE", false}, Case{"FALSE", false}}) {
        std::string file = FileOfVersion(16);
        // The Compress line follows the copyright.
        std::size_t at = file.find("Copy\r\nTRUE\r\n") + 6;
        file.replace(at, 4, c.line);
        EXPECT_EQ(LoadBytes(file)->Compress, c.value) << c.line;
    }
}

TEST(ProjectFile, Refusals) {
    const std::string good = FileOfVersion(16);
    auto withLine2 = [&](const std::string& version) {
        std::string f = good;
        f.replace(f.find("16\r\n"), 2, version);
        return f;
    };
    std::string dup = FileOfVersion(16);
    {
        // Two topics, both numbered 7.
        std::string block = "7\r\nid7\r\n";
        std::size_t at = dup.find("\r\n1\r\n" + block);
        dup.replace(at, 5, "\r\n2\r\n");
        std::size_t start = dup.find(block);
        std::size_t end = dup.find("x\\par\r\n") + 7;
        dup.insert(end, dup.substr(start, end - start));
    }
    std::string outOfOrder = dup;
    outOfOrder.replace(outOfOrder.find("7\r\nid7"), 1, "9");
    EXPECT_EQ(LoadBytes(outOfOrder)->Topics()[0]->Number, 7);
    EXPECT_EQ(LoadBytes(outOfOrder)->Topics()[1]->Number, 9);

    struct Case {
        std::string bytes;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"", "/p/x.bwv is not a Brindlewoven project file"},
        {"Brindlewoven project file\r\n16\r\n", "/p/x.bwv is not a Brindlewoven project file"},
        {"brindlewoven project file.\r\n16\r\n", "/p/x.bwv is not a Brindlewoven project file"},
        {withLine2("17"), "/p/x.bwv was created with a newer version of Brindlewoven.\rPlease "
                          "use that version to edit the project"},
        {withLine2("272"), "/p/x.bwv was created with a newer version of Brindlewoven.\rPlease "
                           "use that version to edit the project"},
        {withLine2("0"), "/p/x.bwv has the unknown project file version 0"},
        {withLine2("-3"), "/p/x.bwv has the unknown project file version -3"},
        {withLine2("1x"), "/p/x.bwv, line 2: Invalid numeric input \"1x\""},
        {withLine2("99999999999"), "/p/x.bwv, line 2: Invalid numeric input \"99999999999\""},
        {"Brindlewoven project file.\r\n", "/p/x.bwv, line 2: Read beyond end of file"},
        {good.substr(0, good.find("Title")), "/p/x.bwv, line 6: Read beyond end of file"},
        {good.substr(0, good.size() - 5), "/p/x.bwv, line 84: Read beyond end of file"},
        {dup, "/p/x.bwv holds topic number 7 more than once"},
    };
    for (const Case& c : cases) {
        TTextStyleList styles;
        styles.Add("Kept", TTextStyleMacro());
        TBrindlewovenProject open;
        open.Title = "open";
        EXPECT_EQ(What([&] { LoadBytes(c.bytes, &styles); }), c.message);
        // Neither the style list nor any other project changes.
        ASSERT_EQ(styles.Count(), 1u);
        EXPECT_EQ(styles.Items()[0].Name, "Kept");
        EXPECT_EQ(open.Title, "open");
    }
    std::string negative = good;
    negative.replace(negative.find("\r\n1\r\ncfg"), 5, "\r\n-1\r\n");
    EXPECT_EQ(What([&] { LoadBytes(negative); }), "/p/x.bwv, line 13: Invalid count -1");
    std::string huge = good;
    huge.replace(huge.find("\r\n1\r\ncfg"), 5, "\r\n2000000000\r\n");
    EXPECT_NE(What([&] { LoadBytes(huge); }).find("Read beyond end of file"), std::string::npos);
    EXPECT_NE(What([] {
                  TBrindlewovenProject::Load("/nonexistent/none.bwv", nullptr);
              }).find("/nonexistent/none.bwv"),
              std::string::npos);
}

namespace {
void FailBeforeRename(const char* stage) {
    if (std::string(stage) == "before-rename")
        throw std::runtime_error("injected failure");
}
} // namespace

TEST(ProjectFile, FailedSaveKeepsOldFileAndName) {
    platform::TempFolder dir("bwmodel");
    const std::string path = (dir.Path() / "p.bwv").string();
    TBrindlewovenProject p;
    p.SaveToFile(path, nullptr);
    const std::string before = ReadAll(path);
    p.Title = "changed";
    p.FileName = "old.bwv";
    platform::SetAtomicWriteHook(FailBeforeRename);
    EXPECT_THROW(p.SaveToFile(path, nullptr), std::exception);
    platform::SetAtomicWriteHook(nullptr);
    EXPECT_EQ(ReadAll(path), before);
    EXPECT_EQ(p.FileName, "old.bwv");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);
    EXPECT_THROW(p.SaveToFile((dir.Path() / "missing" / "p.bwv").string(), nullptr), EProjectError);
    EXPECT_EQ(p.FileName, "old.bwv");
}
