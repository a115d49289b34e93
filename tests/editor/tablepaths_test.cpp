// A topic with tables on its way through the program: imported from a
// WinHelp project (and so passed through the editor), edited in another
// paragraph and stored, then written as the flat RTF manual, as HTML, as web
// help and as the WinHelp topic file. Its rows, cells and cell edges never change.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "components/rtf/rtfdocument.h"
#include "components/rtf/stringlisttransfer.h"
#include "editorfixture_support.h"
#include "helpproject/import/winhelpimport.h"
#include "helpproject/writers/rtfmanual.h"
#include "helpproject/writers/rtftohtml.h"
#include "helpproject/writers/webhelpwriter.h"
#include "helpproject/writers/winhelpwriter.h"
#include "platform/tempfolder.h"

namespace {

namespace fs = std::filesystem;
using helpproject::TBrindlewovenTopic;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Rows and cells: the depth, "|" for a cell end, the text (unless
// `withText` is false) and the edges of a row end, one line per table
// paragraph.
std::string TableShape(const rtf::RtfDocument& doc, bool withText = true) {
    std::string out;
    for (const rtf::Paragraph& p : doc.Paragraphs()) {
        if (p.depth == 0)
            continue;
        out += std::to_string(p.depth) + (p.cellEnd ? "|" : " ") + (withText ? p.text : "");
        if (p.row)
            for (const rtf::CellFormat& c : p.row->cells)
                out += " " + std::to_string(c.rightEdge);
        out += "\n";
    }
    return out;
}

std::string TableShape(const helpproject::TStringList& lines) {
    return TableShape(rtf::LoadFromStrings(lines));
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

class TablePaths : public editortest::EditorFixture {
protected:
    void SetUp() override {
        // The table fixture as one topic of a WinHelp project.
        const std::string fixture = ReadBytes(BW_TEST_DATA "/rtf/tables.rtf");
        const std::size_t header = fixture.find('\n') + 1;
        std::string body = fixture.substr(header);
        body.erase(body.rfind('}'));
        WriteBytes(folder.Path() / "tables.rtf",
                   fixture.substr(0, header) + "#{\\footnote tables}\n${\\footnote Tables}\n" +
                       body + "\\page\n#{\\footnote other}\n${\\footnote Other}\n\\pard x\\par\n}");
        WriteBytes(folder.Path() / "tables.hpj", "[OPTIONS]\nTITLE=Tables\n[FILES]\ntables.rtf\n");
        skeleton = TableShape(rtf::RtfDocument::Parse(fixture), false);

        auto project = std::make_unique<helpproject::TBrindlewovenProject>();
        project->ClearTopics();
        helpproject::ImportWinHelpProject(*project, (folder.Path() / "tables.hpj").string());
        session = std::make_unique<helpproject::TEditingSession>(std::move(project));
        styles.Clear();
        editor::AddDefaultTextStyles(styles, true);
        editor = std::make_unique<editor::TTopicEditor>(*session, view, styles, settings);
    }

    TBrindlewovenTopic& TableTopic() { return *Project().TopicsByNumber().front().Topic; }

    platform::TempFolder folder{"bwtables"};
    std::string skeleton; // the fixture's rows, cells and edges
    std::string expected; // the imported topic's tables
};

} // namespace

TEST_F(TablePaths, ImportEditManualAndHtmlKeepTheTable) {
    TBrindlewovenTopic& topic = TableTopic();
    // Imported: the rows as they were, hotspots turned into link codes.
    EXPECT_EQ(TableShape(rtf::LoadFromStrings(topic.Text), false), skeleton);
    expected = TableShape(topic.Text);
    EXPECT_NE(expected.find("1 Opens Help{link=help_index} here\n"), std::string::npos);

    // The import's pass through the editor.
    for (const auto& item : Project().TopicsByNumber())
        editor->PassThroughEditor(*item.Topic);
    EXPECT_EQ(TableShape(topic.Text), expected);
    const helpproject::TStringList passed = topic.Text;

    // Shown and stored unchanged: the same lines.
    session->GoToTopic(topic.Number);
    editor->ShowTopic();
    editor->StoreTopic();
    EXPECT_EQ(topic.Text, passed);

    // One character typed in another paragraph of the topic.
    const std::string text = EditorText();
    view.text.SetSelection(text.find("Press"), 0);
    Type("x");
    editor->StoreTopic();
    EXPECT_NE(TableShape(topic.Text), ""); // stored
    EXPECT_EQ(TableShape(topic.Text), expected);
    helpproject::TStringList tableLines, passedTableLines;
    for (const std::string& line : topic.Text)
        if (line.find("\\intbl") != std::string::npos)
            tableLines.push_back(line);
    for (const std::string& line : passed)
        if (line.find("\\intbl") != std::string::npos)
            passedTableLines.push_back(line);
    EXPECT_EQ(tableLines, passedTableLines); // the table part byte for byte
    EXPECT_EQ(tableLines.size(), 15u);

    // The flat RTF manual holds the rows (the link codes are gone, as they
    // are from all its text).
    // The row that holds the nested table has its definition again before
    // its "\row", so that readers of nested tables keep its own cells.
    const std::string manual = helpproject::RtfManualBytes(Project(), false);
    EXPECT_EQ(Count(manual, "\\trowd"), 6u);
    EXPECT_EQ(Count(manual, "\\row"), 4u);
    EXPECT_EQ(Count(manual, "\\nestrow"), 1u);
    EXPECT_EQ(Count(manual, "\\nestcell"), 2u);
    EXPECT_EQ(TableShape(rtf::RtfDocument::Parse(manual), false), skeleton);

    // The HTML page holds the tables.
    helpproject::TStringList html;
    helpproject::RtfToHtml(Project(), topic, html, true);
    std::string page;
    for (const std::string& line : html)
        page += line + "\n";
    EXPECT_EQ(Count(page, "<TABLE"), 3u);
    EXPECT_EQ(Count(page, "<TD"), 13u);

    // So do the web help pages.
    const fs::path web = folder.Path() / "web";
    fs::create_directories(web);
    Project().WebOutputFile = (web / "index.htm").string();
    helpproject::ExportWebHelp(Project());
    std::size_t webTables = 0;
    for (const auto& entry : fs::directory_iterator(web))
        webTables += Count(ReadBytes(entry.path()), "<TABLE");
    EXPECT_EQ(webTables, 3u);

    // So does the WinHelp topic file.
    helpproject::WriteWinHelpSources(
        Project(), {(folder.Path() / "out.hpj").string(), (folder.Path() / "out.rtf").string(), {}},
        false);
    const std::string topicFile = ReadBytes(folder.Path() / "out.rtf");
    EXPECT_EQ(Count(topicFile, "\\trowd"), 6u);
    EXPECT_EQ(TableShape(rtf::RtfDocument::Parse(topicFile), false), skeleton);
}
