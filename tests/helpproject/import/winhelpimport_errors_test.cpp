// What stops a WinHelp import and what does not: a missing [FILES] section,
// files that are not RTF or hold nothing, the user's abort, a broken
// contents file (reported, the import goes on), and COMPRESS= spellings.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <string>

#include "components/scriptedmessenger.h"
#include "helpproject/import/contentsimport.h"
#include "helpproject/import/hpjfile.h"
#include "helpproject/import/winhelpimport.h"
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
    std::string ImportError(components::IMessenger* messenger = nullptr) {
        auto project = Empty();
        try {
            ImportWinHelpProject(*project, Hpj(), messenger);
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

// The pages open on the first topic: the one CONTENTS= names becomes it.
// Numbers that [MAP] gives stay; topics numbered in turn make way.
TEST_F(WinHelpImportErrors, ContentsTopicComesFirst) {
    const char* const rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\r\n"
                            "#{\\footnote a}\\pard A.\\par\\page\r\n"
                            "#{\\footnote b}\\pard B.\\par\\page\r\n"
                            "#{\\footnote home}\\pard Home.\\par\r\n}\r\n";
    struct Case {
        const char* name;
        const char* map;
        std::vector<std::pair<std::string, std::int32_t>> topics; // in number order
        bool warned;
    };
    const Case cases[] = {
        {"numbered in turn: below the first", "", {{"home", 9}, {"a", 10}, {"b", 20}}, false},
        {"mapped: the topics numbered in turn move above it",
         "home=500\r\n",
         {{"home", 500}, {"a", 510}, {"b", 520}},
         false},
        {"mapped, a mapped topic below it: a warning",
         "home=500\r\nb=7\r\n",
         {{"b", 7}, {"home", 500}, {"a", 510}},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Write("p.hpj",
              std::string("[OPTIONS]\r\nCONTENTS=home\r\n[FILES]\r\nt.rtf\r\n[MAP]\r\n") + c.map);
        Write("t.rtf", rtf);
        auto project = Empty();
        components::TScriptedMessenger messenger;
        const TWinHelpImportResult result = ImportWinHelpProject(*project, Hpj(), &messenger);
        std::vector<std::pair<std::string, std::int32_t>> got;
        for (const auto& topic : project->Topics())
            got.emplace_back(topic->TopicID, topic->Number);
        EXPECT_EQ(got, c.topics);
        EXPECT_EQ(result.Warnings.size(), c.warned ? 1u : 0u);
        if (c.warned) {
            EXPECT_EQ(result.Warnings[0],
                      "The contents topic \"home\" keeps its number 500; the pages "
                      "open on topic 7, which is numbered below it.");
        }
    }
}

// Records each progress stage as "text/maximum;".
class StageRecorder : public components::TScriptedMessenger {
public:
    void BeginProgress(const std::string& text, std::int64_t maximum) override {
        stages += text + "/" + std::to_string(maximum) + ";";
        TScriptedMessenger::BeginProgress(text, maximum);
    }
    std::string stages;
};

TEST_F(WinHelpImportErrors, AbortKeepsTopicsAlreadyAdded) {
    Write("p.hpj", "[FILES]\r\nt.rtf\r\n");
    Write("t.rtf", kTopicRtf);
    auto project = Empty();
    StageRecorder messenger;
    messenger.AbortAfter(2); // the second page's poll finds the abort
    EXPECT_THROW(ImportWinHelpProject(*project, Hpj(), &messenger), components::EAbort);
    ASSERT_EQ(project->TopicCount(), 1);
    EXPECT_EQ(project->Topics()[0]->TopicID, "one");
    EXPECT_EQ(messenger.stages, "Reading topics from RTF file.../2;");
    EXPECT_FALSE(messenger.ProgressOpen);
    EXPECT_EQ(ImportError(&messenger), "Import aborted by user");
}

TEST_F(WinHelpImportErrors, ProgressStagesWithoutAbort) {
    Write("p.hpj", "[FILES]\r\nt.rtf\r\n");
    Write("t.rtf", kTopicRtf);
    Write("p.cnt", "1 One=one\r\n2 Two=two\r\n");
    auto project = Empty();
    StageRecorder messenger;
    ImportWinHelpProject(*project, Hpj(), &messenger);
    EXPECT_FALSE(messenger.ProgressOpen);
    EXPECT_EQ(messenger.stages,
              "Reading topics from RTF file.../2;Converting topics to Brindlewoven format.../2;"
              "Importing contents file.../2;");
}

TEST_F(WinHelpImportErrors, UnreadableContentsFileIsReportedAndImportGoesOn) {
    Write("p.hpj", "[OPTIONS]\r\nCNT=p.cnt\r\n[FILES]\r\nt.rtf\r\n");
    Write("t.rtf", kTopicRtf);
    fs::create_directory(folder.Path() / "p.cnt"); // exists, cannot be read
    auto project = Empty();
    components::TScriptedMessenger messenger;
    const TWinHelpImportResult result = ImportWinHelpProject(*project, Hpj(), &messenger);
    EXPECT_EQ(result.TopicsImported, 2);
    const std::vector<std::string> shown =
        messenger.Texts(components::TScriptedMessenger::TRecord::Message);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].starts_with("Error importing contents file.\r"));
    EXPECT_GT(shown[0].size(), std::string("Error importing contents file.\r").size());
    EXPECT_EQ(messenger.Records[0].Icon, components::TMessageKind::Error);
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

// Files the project names are read only when they are regular files of a
// sane size: a FIFO would block the import, a device or a huge file would
// fill the memory. The .hpj and topic files stop the import; a contents file
// is reported and the import goes on.
TEST_F(WinHelpImportErrors, OnlyRegularFilesOfASaneSizeAreRead) {
    enum class Kind { Fifo, TooLarge };
    struct Case {
        const char* file;
        Kind kind;
        const char* reason;
    };
    const Case cases[] = {
        {"p.hpj", Kind::Fifo, "not a regular file"}, {"p.hpj", Kind::TooLarge, "larger than 16 MB"},
        {"t.rtf", Kind::Fifo, "not a regular file"}, {"t.rtf", Kind::TooLarge, "larger than 64 MB"},
        {"p.cnt", Kind::Fifo, "not a regular file"}, {"p.cnt", Kind::TooLarge, "larger than 16 MB"},
    };
    const std::uint64_t limits[] = {kMaxHpjBytes, kMaxTopicFileBytes, kMaxContentsBytes};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.reason);
        for (const char* name : {"p.hpj", "t.rtf", "p.cnt"})
            fs::remove(folder.Path() / name);
        Write("p.hpj", "[FILES]\r\nt.rtf\r\n");
        Write("t.rtf", kTopicRtf);
        Write("p.cnt", "1 One=one\r\n");
        const fs::path hostile = folder.Path() / c.file;
        fs::remove(hostile);
        if (c.kind == Kind::Fifo) {
            ASSERT_EQ(::mkfifo(hostile.c_str(), 0600), 0);
        } else {
            Write(c.file, "");
            // Sparse: one byte over the limit costs no disk.
            const std::size_t which = std::string_view(c.file) == "p.hpj"   ? 0
                                      : std::string_view(c.file) == "t.rtf" ? 1
                                                                            : 2;
            fs::resize_file(hostile, limits[which] + 1);
        }
        const std::string expected =
            "Cannot read \"" + hostile.string() + "\": " + std::string(c.reason);
        auto project = Empty();
        components::TScriptedMessenger messenger;
        if (std::string_view(c.file) == "p.cnt") {
            EXPECT_EQ(ImportWinHelpProject(*project, Hpj(), &messenger).TopicsImported, 2);
            EXPECT_TRUE(project->ContentsLines.empty());
            EXPECT_EQ(messenger.Texts(components::TScriptedMessenger::TRecord::Message),
                      (std::vector<std::string>{"Error importing contents file.\r" + expected}));
        } else {
            EXPECT_EQ(ImportError(&messenger), expected);
        }
    }
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
