// What stops a WinHelp import and what does not: a missing [FILES] section,
// files that are not RTF or hold nothing, the user's abort, a broken
// contents file (reported, the import goes on), and COMPRESS= spellings.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "helpproject/writers/winhelpimport.h"
#include "platform/tempfolder.h"

using namespace helpproject;
namespace fs = std::filesystem;

namespace {

const char* const kTopicRtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\r\n"
                              "#{\\footnote one}${\\footnote One}\\pard One.\\par\r\n\\page\r\n"
                              "#{\\footnote two}${\\footnote Two}\\pard Two.\\par\r\n}\r\n";

class WinHelpImportErrors : public ::testing::Test {
protected:
    void Write(const std::string& name, const std::string& bytes) {
        std::ofstream(folder.Path() / name, std::ios::binary) << bytes;
    }
    std::string Hpj() const { return (folder.Path() / "p.hpj").string(); }
    std::unique_ptr<TBrindlewovenProject> Empty() {
        auto project = std::make_unique<TBrindlewovenProject>();
        project->DeleteTopic(10);
        return project;
    }
    std::string ImportError(TImportProgress* progress = nullptr) {
        auto project = Empty();
        try {
            ImportWinHelpProject(*project, Hpj(), progress);
        } catch (const std::exception& e) {
            return e.what();
        }
        return "no error";
    }
    platform::TempFolder folder{"bwimport"};
};

TEST_F(WinHelpImportErrors, StoppingFaults) {
    struct Case {
        const char* name;
        const char* hpj;
        const char* rtf;
        const char* message;
    };
    const Case cases[] = {
        {"no [FILES]", "[OPTIONS]\r\nTITLE=x\r\n", kTopicRtf,
         "[FILES] section missing in HPJ file"},
        {"not RTF", "[FILES]\r\nt.rtf\r\n", "plain text\r\n",
         "Invalid RTF file.\r(/rtf not found)"},
        {"empty body", "[FILES]\r\nt.rtf\r\n", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\r\n}",
         "RTF file seems to be empty"},
    };
    for (const Case& c : cases) {
        Write("p.hpj", c.hpj);
        Write("t.rtf", c.rtf);
        EXPECT_EQ(ImportError(), c.message) << c.name;
    }
}

TEST_F(WinHelpImportErrors, MissingTopicFileNamesIt) {
    Write("p.hpj", "[FILES]\r\nC:\\HELP\\nowhere.rtf\r\n");
    EXPECT_NE(ImportError().find("nowhere.rtf"), std::string::npos);
}

TEST_F(WinHelpImportErrors, WindowsPathInFilesFallsBackToHpjFolder) {
    Write("p.hpj", "[FILES]\r\nQ:\\Old\\Place\\T.RTF\r\n");
    Write("t.rtf", kTopicRtf);
    auto project = Empty();
    EXPECT_EQ(ImportWinHelpProject(*project, Hpj()).TopicsImported, 2);
}

class AbortAfter : public TImportProgress {
public:
    explicit AbortAfter(int polls) : polls_(polls) {}
    void Start(const std::string& text, int maxValue) override {
        stages += text + "/" + std::to_string(maxValue) + ";";
    }
    bool AbortRequested() override { return --polls_ < 0; }
    std::string stages;

private:
    int polls_;
};

TEST_F(WinHelpImportErrors, AbortKeepsTopicsAlreadyAdded) {
    Write("p.hpj", "[FILES]\r\nt.rtf\r\n");
    Write("t.rtf", kTopicRtf);
    auto project = Empty();
    AbortAfter progress(1);
    EXPECT_THROW(ImportWinHelpProject(*project, Hpj(), &progress), EImportAborted);
    ASSERT_EQ(project->TopicCount(), 1);
    EXPECT_EQ(project->Topics()[0]->TopicID, "one");
    EXPECT_EQ(progress.stages, "Reading topics from RTF file.../2;");
    EXPECT_EQ(ImportError(&progress), "Import aborted by user");
}

TEST_F(WinHelpImportErrors, ProgressStagesWithoutAbort) {
    Write("p.hpj", "[FILES]\r\nt.rtf\r\n");
    Write("t.rtf", kTopicRtf);
    Write("p.cnt", "1 One=one\r\n2 Two=two\r\n");
    auto project = Empty();
    AbortAfter progress(1000);
    ImportWinHelpProject(*project, Hpj(), &progress);
    EXPECT_EQ(progress.stages,
              "Reading topics from RTF file.../2;Converting topics to Brindlewoven format.../2;"
              "Importing contents file.../2;");
}

TEST_F(WinHelpImportErrors, UnreadableContentsFileIsReportedAndImportGoesOn) {
    Write("p.hpj", "[OPTIONS]\r\nCNT=p.cnt\r\n[FILES]\r\nt.rtf\r\n");
    Write("t.rtf", kTopicRtf);
    fs::create_directory(folder.Path() / "p.cnt"); // exists, cannot be read
    auto project = Empty();
    const TWinHelpImportResult result = ImportWinHelpProject(*project, Hpj());
    EXPECT_EQ(result.TopicsImported, 2);
    ASSERT_EQ(result.Warnings.size(), 1u);
    EXPECT_TRUE(result.Warnings[0].starts_with("Error importing contents file.\r"));
    EXPECT_GT(result.Warnings[0].size(), std::string("Error importing contents file.\r").size());
}

TEST_F(WinHelpImportErrors, ContentsFileFoundByOptionNameThenByHpjName) {
    Write("t.rtf", kTopicRtf);
    // The option names a folder that does not exist: the same name beside the .hpj.
    Write("p.hpj", "[OPTIONS]\r\nCNT=C:\\gone\\other.cnt\r\n[FILES]\r\nt.rtf\r\n");
    Write("other.cnt", "1 From option\r\n");
    Write("p.cnt", "1 From hpj name\r\n");
    auto project = Empty();
    ImportWinHelpProject(*project, Hpj());
    EXPECT_EQ(project->ContentsLines, (TStringList{"1 From option"}));
    Write("p.hpj", "[FILES]\r\nt.rtf\r\n");
    project = Empty();
    ImportWinHelpProject(*project, Hpj());
    EXPECT_EQ(project->ContentsLines, (TStringList{"1 From hpj name"}));
}

TEST_F(WinHelpImportErrors, CompressSpellings) {
    Write("t.rtf", kTopicRtf);
    struct Case {
        const char* value;
        bool expected;
    };
    for (const Case& c : {Case{"True", true}, Case{"YES", true}, Case{"on", true}, Case{"1", true},
                          Case{"False", false}, Case{"no", false}, Case{"0", false}}) {
        Write("p.hpj",
              std::string("[OPTIONS]\r\nCOMPRESS=") + c.value + "\r\n[FILES]\r\nt.rtf\r\n");
        auto project = Empty();
        project->Compress = !c.expected;
        ImportWinHelpProject(*project, Hpj());
        EXPECT_EQ(project->Compress, c.expected) << c.value;
    }
}

TEST_F(WinHelpImportErrors, ConfigSectionsReplaceDefaultsOnlyWhenPresent) {
    Write("t.rtf", kTopicRtf);
    Write("p.hpj", "[FILES]\r\nt.rtf\r\n");
    auto project = Empty();
    ImportWinHelpProject(*project, Hpj());
    EXPECT_EQ(project->Config, (TStringList{"BrowseButtons()"}));
    Write("p.hpj", "[CONFIG]\r\nA();B()\r\n[FILES]\r\nt.rtf\r\n[CONFIG]\r\nC()\r\n");
    project = Empty();
    ImportWinHelpProject(*project, Hpj());
    EXPECT_EQ(project->Config, (TStringList{"A();B()", "C()"}));
}

} // namespace
