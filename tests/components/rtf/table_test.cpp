// Tables in the document model: rows, cells, cell edges and the row words
// come through reading, writing and editing.
#include <gtest/gtest.h>

#include <iterator>

#include "components/rtf/rtfdocument.h"
#include "components/rtf/rtferror.h"
#include "components/rtf/rtfwriter.h"
#include "rtf_support.h"

using namespace rtf;

namespace {

// A compact picture of a document's tables: one line per paragraph with its
// depth, "|" for a cell end, "#" and the cell edges for a row end.
std::string Shape(const RtfDocument& doc) {
    std::string out;
    for (const Paragraph& p : doc.Paragraphs()) {
        out += std::to_string(p.depth);
        out += p.cellEnd ? "|" : " ";
        out += p.text;
        if (p.row) {
            out += " #";
            for (const CellFormat& c : p.row->cells)
                out += " " + std::to_string(c.rightEdge);
        }
        out += "\n";
    }
    return out;
}

const char* const kFixtureShape = "0 Keys and options\n"
                                  "0 Press a key:\n"
                                  "1|Key\n"
                                  "1|\n"
                                  "1|Action # 2000 4000 6500\n"
                                  "1|F1\n"
                                  "1|Help\n"
                                  "1 Opens Helphelp_index here\n"
                                  "1|Second paragraph {linkID=20} # 2000 4000 6500\n"
                                  "1|F2\n"
                                  "1|Find\n"
                                  "1|Searches hidden # 2000 4000 6500\n"
                                  "0 Between the tables.\n"
                                  "1|Outer one\n"
                                  "1 Inner before\n"
                                  "2|Inner A\n"
                                  "2|Inner B # 4000 5500\n"
                                  "1|After inner # 3000 6000\n"
                                  "0 After all.\n";

} // namespace

TEST(Tables, TheFixtureReadsAsRowsAndCells) {
    const RtfDocument doc = RtfDocument::Parse(rtftest::ReadFixture("tables.rtf"));
    EXPECT_EQ(Shape(doc), kFixtureShape);
    // Cells are paragraphs in the plain text, not tabs.
    EXPECT_EQ(doc.Text().find('\t'), std::string::npos);

    const RowFormat& header = *doc.Paragraphs()[4].row;
    EXPECT_EQ(header.gap, 108);
    EXPECT_EQ(header.left, -108);
    EXPECT_EQ(header.alignment, Alignment::Center);
    EXPECT_TRUE(header.header);
    EXPECT_TRUE(header.keep);
    EXPECT_EQ(header.borders[kBorderTop].style, BorderStyle::Single);
    EXPECT_EQ(header.borders[kBorderTop].width, 10);
    ASSERT_EQ(header.cells.size(), 3u);
    const CellFormat& first = header.cells[0];
    EXPECT_EQ(first.borders[kBorderTop].color, Color::Rgb(255, 0, 0));
    EXPECT_EQ(first.borders[kBorderBottom].style, BorderStyle::Double);
    EXPECT_EQ(first.borders[kBorderBottom].width, 15);
    EXPECT_EQ(first.background, Color::Rgb(192, 192, 192));
    EXPECT_EQ(first.shading, 2000);
    EXPECT_TRUE(first.mergeFirst);
    EXPECT_TRUE(header.cells[1].merged);
    // A word the program does not know stays in the row as it came.
    bool unknownKept = false;
    for (const RowWord& w : header.words)
        unknownKept = unknownKept || (w.name == "clxyzzy" && w.param == 7);
    EXPECT_TRUE(unknownKept);

    // Hidden text in a cell is hidden text as anywhere else.
    const std::size_t hidden = doc.Text().find(" hidden");
    EXPECT_TRUE(doc.CharFormatAt(hidden).hidden);
    EXPECT_FALSE(doc.CharFormatAt(hidden - 1).hidden);
}

TEST(Tables, WritingGivesTheTableBackAndIsStable) {
    const RtfDocument doc = RtfDocument::Parse(rtftest::ReadFixture("tables.rtf"));
    const std::string written = WriteRtf(doc);
    // The row definitions come out word for word (colours renumbered for the
    // written colour table), before the first cell of their row.
    EXPECT_NE(written.find("\\trowd\\trgaph108\\trleft-108\\trqc\\trhdr\\trkeep\\trbrdrt\\brdrs"
                           "\\brdrw10\\trbrdrb\\brdrs\\brdrw10\\clbrdrt\\brdrs\\brdrw10\\brdrcf"),
              std::string::npos);
    EXPECT_NE(written.find("\\clxyzzy7\\cellx6500\\pard\\intbl"), std::string::npos);
    EXPECT_NE(written.find("\\cell\\row"), std::string::npos);
    EXPECT_NE(written.find("\\pard\\intbl\\itap2 Inner A\\nestcell"), std::string::npos);
    EXPECT_NE(written.find("{\\*\\nesttableprops\\trowd\\trgaph50"), std::string::npos);
    EXPECT_NE(written.find("\\nestrow}{\\nonesttables\\par}"), std::string::npos);
    // The row that holds the nested table: its paragraphs name their depth,
    // and its own definition follows the nested one again before "\row", as
    // readers of nested tables take the definition read last.
    EXPECT_NE(written.find("\\pard\\intbl\\itap1 Outer one\\cell"), std::string::npos);
    EXPECT_NE(written.find("\\pard\\intbl\\itap1 After inner\\cell\\trowd\\trgaph70\\cellx3000"
                           "\\cellx6000\\row"),
              std::string::npos)
        << written;
    // Rows without nested tables stay as they were.
    EXPECT_EQ(written.find("\\itap1 F1"), std::string::npos);
    EXPECT_NE(written.find("\\pard\\intbl\\f1 F1"), std::string::npos) << written;

    const RtfDocument again = RtfDocument::Parse(written);
    EXPECT_EQ(Shape(again), kFixtureShape);
    EXPECT_TRUE(again == doc);
    EXPECT_EQ(rtftest::DumpDocument(again), rtftest::DumpDocument(doc));
    EXPECT_EQ(WriteRtf(again), written);
    // The colour of a cell's border keeps its colour, not its number.
    EXPECT_EQ(again.Paragraphs()[4].row->cells[0].borders[kBorderTop].color, Color::Rgb(255, 0, 0));
}

TEST(Tables, EditsKeepTheCells) {
    RtfDocument doc = RtfDocument::Parse(rtftest::ReadFixture("tables.rtf"));
    const std::string before = doc.Text();
    const std::size_t f1 = before.find("F1");

    // Typing in a cell and in another paragraph changes no cell.
    doc.InsertText(f1 + 2, "0");
    doc.InsertText(before.find("Press"), "Now ");
    std::string shape = kFixtureShape;
    shape.replace(shape.find("F1"), 2, "F10");
    shape.replace(shape.find("Press"), 5, "Now Press");
    EXPECT_EQ(Shape(doc), shape);

    // A new paragraph in a cell stays in the cell; the cell end stays last.
    std::string text = doc.Text();
    doc.InsertText(text.find("Help\r"), "Quick\r\n");
    text = doc.Text();
    EXPECT_NE(Shape(doc).find("1 Quick\n1|Help\n"), std::string::npos);

    // Erasing across cells takes their text but keeps every cell end, and
    // the mark before a table stays.
    const std::size_t from = text.find("F10");
    const std::size_t to = text.find("Find");
    doc.Erase(from, to - from);
    shape = Shape(doc);
    EXPECT_NE(shape.find("1|Action # 2000 4000 6500\n1|\n1|\n1| # 2000 4000 6500\n1|\n1|Find"),
              std::string::npos)
        << shape;
    text = doc.Text();
    doc.Erase(0, text.find("Key\r"));
    EXPECT_EQ(Shape(doc).substr(0, 8), "0 \n1|Key");

    // Everything written after the edits reads back the same.
    const RtfDocument again = RtfDocument::Parse(WriteRtf(doc));
    EXPECT_EQ(Shape(again), Shape(doc));
}

TEST(Tables, UnsoundTablesAreMadeSound) {
    struct Case {
        const char* name;
        const char* rtf;
        const char* shape;
    };
    const Case cases[] = {
        {"a table starts the document and ends it",
         "{\\rtf1\\trowd\\cellx1000\\pard\\intbl A\\cell\\row}", "0 \n1|A # 1000\n0 \n"},
        {"cells that never reach a row end keep their row; a paragraph after them leaves it",
         "{\\rtf1\\pard\\intbl A\\cell B\\par\\pard C\\par}", "0 \n1|A # 1440\n0 B\n0 C\n"},
        {"a row cut short by the end of the text keeps its cells and definition",
         "{\\rtf1 x\\par\\trowd\\cellx2000\\cellx4000\\pard\\intbl A\\cell B\\cell\\par}",
         "0 x\n1|A\n1|B # 2000 4000\n0 \n"},
        {"a nested row cut short by the end of its outer cell keeps its cells",
         "{\\rtf1 x\\par\\trowd\\cellx5000\\pard\\intbl o\\par\\pard\\intbl\\itap2 A\\nestcell"
         " B\\nestcell\\pard\\intbl\\itap1 c\\cell\\row\\pard y\\par}",
         "0 x\n1 o\n2|A\n2|B # 1440 2880\n1|c # 5000\n0 y\n"},
        {"a row without a definition gets cells an inch wide",
         "{\\rtf1 x\\par\\pard\\intbl A\\cell B\\cell\\row\\pard y\\par}",
         "0 x\n1|A\n1|B # 1440 2880\n0 y\n"},
        {"a nested row that no cell holds moves out",
         "{\\rtf1 x\\par\\pard\\intbl\\itap2 A\\nestcell{\\*\\nesttableprops\\trowd\\cellx900"
         "\\nestrow}\\pard y\\par}",
         "0 x\n1|A # 900\n0 y\n"},
        {"a nested table that starts a cell gets a paragraph before it",
         "{\\rtf1 x\\par\\trowd\\cellx3000\\pard\\intbl\\itap2 A\\nestcell{\\*\\nesttableprops"
         "\\trowd\\cellx900\\nestrow}{\\nonesttables\\par}\\pard\\intbl\\cell\\row\\pard y\\par}",
         "0 x\n1 \n2|A # 900\n1| # 3000\n0 y\n"},
        {"text after the last cell of a row ends the row's paragraph",
         "{\\rtf1 x\\par\\trowd\\cellx1000\\pard\\intbl A\\row\\pard y\\par}",
         "0 x\n1|A # 1000\n0 y\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RtfDocument doc = RtfDocument::Parse(c.rtf);
        EXPECT_EQ(Shape(doc), c.shape);
        // Written and read again, the sound table stays as it is.
        EXPECT_EQ(Shape(RtfDocument::Parse(WriteRtf(doc))), c.shape);
    }
}

TEST(Tables, InsertingRtfWithATable) {
    RtfDocument doc = RtfDocument::Parse("{\\rtf1 one\\par two\\par}");
    doc.InsertRtf(4, "{\\rtf1\\trowd\\cellx1000\\pard\\intbl A\\cell\\row\\pard\\par}");
    EXPECT_EQ(Shape(doc), "0 one\n0 \n1|A # 1000\n0 \n0 two\n");
    // Inside a cell, inserted paragraphs join the cell.
    const std::size_t a = doc.Text().find('A');
    doc.InsertRtf(a, "{\\rtf1\\trowd\\cellx1000\\pard\\intbl B\\cell\\row\\pard\\par}");
    EXPECT_EQ(Shape(doc).substr(0, 24), "0 one\n0 \n1 \n1 B\n1 \n1|A #");
}

// Table words in any order, nested or not, closed or not: the document read
// is sound (writing and reading it again gives it back) and never throws.
TEST(Tables, AnyMixOfTableWordsReadsSoundly) {
    static const char* const kPieces[] = {"\\trowd",
                                          "\\cellx1000",
                                          "\\cellx2500",
                                          "\\intbl",
                                          "\\itap2",
                                          "\\itap3",
                                          "\\cell",
                                          "\\nestcell",
                                          "\\row",
                                          "\\nestrow",
                                          "\\par",
                                          "\\pard",
                                          " text",
                                          "{",
                                          "}",
                                          "\\clcbpat1",
                                          "\\trhdr",
                                          "{\\*\\nesttableprops",
                                          "{\\nonesttables\\par}"};
    unsigned state = 12345;
    auto next = [&state](unsigned range) {
        state = state * 1103515245u + 12345u;
        return (state >> 16) % range;
    };
    for (int round = 0; round < 400; ++round) {
        std::string rtf = "{\\rtf1{\\colortbl;\\red1\\green2\\blue3;}";
        const unsigned count = 5 + next(40);
        for (unsigned i = 0; i < count; ++i)
            rtf += kPieces[next(std::size(kPieces))];
        rtf += "}";
        SCOPED_TRACE(rtf);
        RtfDocument doc;
        try {
            doc = RtfDocument::Parse(rtf);
        } catch (const ERtfError&) {
            continue;
        }
        // Sound: a table paragraph never ends the document, a cell end lies
        // in a table, a row end is a cell end.
        const auto& paragraphs = doc.Paragraphs();
        EXPECT_EQ(paragraphs.back().depth, 0);
        for (const Paragraph& p : paragraphs) {
            EXPECT_TRUE(!p.cellEnd || p.depth > 0);
            EXPECT_TRUE(!p.row || p.cellEnd);
        }
        const std::string written = WriteRtf(doc);
        const RtfDocument again = RtfDocument::Parse(written);
        EXPECT_EQ(Shape(again), Shape(doc));
        EXPECT_EQ(WriteRtf(again), written);
    }
}

// Rows repeat their definitions; one that returns after another comes back
// as it was, and those between as their own, also when one is the start of
// the other.
TEST(Tables, RepeatedAndAlternatingRowDefinitionsComeBack) {
    const std::string a = "\\trowd\\trgaph108\\clbrdrb\\brdrs\\brdrw10\\cellx1000\\cellx2000";
    const std::string b = "\\trowd\\trgaph50\\clcbpat1\\cellx1500\\cellx3000";
    const std::string longer = a + "\\cellx2500";
    const std::string shorter = "\\trowd\\trgaph108\\clbrdrb\\brdrs\\brdrw10\\cellx1000";
    const std::string cells = "\\pard\\intbl x\\cell y\\cell\\row\r\n";
    const std::string rtf =
        "{\\rtf1\\ansi{\\colortbl;\\red255\\green0\\blue0;}\\pard start\\par\r\n" + a + cells + a +
        cells + b + cells + a + cells + longer + cells + a + cells + shorter + cells +
        "\\pard end\\par}";
    const RtfDocument doc = RtfDocument::Parse(rtf);
    const std::string shape = Shape(doc);
    EXPECT_EQ(shape, "0 start\n"
                     "1|x\n1|y # 1000 2000\n"
                     "1|x\n1|y # 1000 2000\n"
                     "1|x\n1|y # 1500 3000\n"
                     "1|x\n1|y # 1000 2000\n"
                     "1|x\n1|y # 1000 2000 2500\n"
                     "1|x\n1|y # 1000 2000\n"
                     "1|x\n1|y # 1000\n"
                     "0 end\n");
    EXPECT_EQ(doc.Paragraphs()[6].row->cells[0].background, Color::Rgb(255, 0, 0));
    const std::string written = WriteRtf(doc);
    std::size_t count = 0;
    for (std::size_t at = written.find(a + "\\pard"); at != std::string::npos;
         at = written.find(a + "\\pard", at + 1))
        ++count;
    EXPECT_EQ(count, 4u) << written;
    EXPECT_NE(written.find("\\trowd\\trgaph50\\clcbpat"), std::string::npos) << written;
    EXPECT_NE(written.find(longer + "\\pard"), std::string::npos) << written;
    EXPECT_NE(written.find(shorter + "\\pard"), std::string::npos) << written;
    const RtfDocument again = RtfDocument::Parse(written);
    EXPECT_EQ(Shape(again), shape);
    EXPECT_TRUE(again == doc);
    EXPECT_EQ(WriteRtf(again), written);
}
