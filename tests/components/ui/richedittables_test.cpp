// Tables in the rich-edit control: shown as QTextTables with the cells' edges
// as column widths, typed into, walked with Tab, and stored back as the rows
// they came as.
#include <gtest/gtest.h>

#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "components/rtf/rtfdocument.h"
#include "components/rtf/rtfwriter.h"
#include "components/rtf/stringlisttransfer.h"
#include "components/ui/richeredit.h"
#include "components/ui/rtfqtdocument.h"

using namespace components::ui;

namespace {

std::string Fixture() {
    std::ifstream in(std::string(BW_TEST_DATA) + "/rtf/tables.rtf", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The table part of written RTF: every line from the first row to the last.
std::string TablePart(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines)
        if (line.find("\\intbl") != std::string::npos || line.find("\\trowd") != std::string::npos)
            out += line + "\n";
    return out;
}

// Rows and cells of a model: depth, "|" for a cell end, cell edges at a row end.
std::string Shape(const rtf::RtfDocument& doc) {
    std::string out;
    for (const rtf::Paragraph& p : doc.Paragraphs()) {
        out += std::to_string(p.depth) + (p.cellEnd ? "|" : " ");
        if (p.row)
            for (const rtf::CellFormat& c : p.row->cells)
                out += " " + std::to_string(c.rightEdge);
        out += "\n";
    }
    return out;
}

std::vector<QTextTable*> Tables(QTextFrame* frame) {
    std::vector<QTextTable*> found;
    for (QTextFrame* child : frame->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(child))
            found.push_back(table);
        for (QTextTable* inner : Tables(child))
            found.push_back(inner);
    }
    return found;
}

class RicherEditTables : public ::testing::Test {
protected:
    void SetUp() override {
        lines = rtf::SplitLines(Fixture());
        model = rtf::RtfDocument::Parse(Fixture());
        stored = rtf::WriteRtfLines(model);
        edit.resize(700, 500);
        edit.LoadFromStrings(stored);
    }
    std::vector<std::string> lines;
    rtf::RtfDocument model;
    std::vector<std::string> stored;
    TRicherEdit edit;
};

} // namespace

TEST_F(RicherEditTables, ShownAsTablesWithTheCellEdges) {
    const std::vector<QTextTable*> tables = Tables(edit.document()->rootFrame());
    ASSERT_EQ(tables.size(), 3u); // two tables, one nested in the second
    EXPECT_EQ(tables[0]->rows(), 3);
    EXPECT_EQ(tables[0]->columns(), 3);
    EXPECT_EQ(tables[0]->format().headerRowCount(), 1);
    EXPECT_EQ(tables[0]->format().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    const QList<QTextLength> widths = tables[0]->format().columnWidthConstraints();
    ASSERT_EQ(widths.size(), 3);
    EXPECT_DOUBLE_EQ(widths[0].rawValue(), 2108 / kTwipsPerPixel); // from the left offset -108
    EXPECT_DOUBLE_EQ(widths[1].rawValue(), 2000 / kTwipsPerPixel);
    EXPECT_DOUBLE_EQ(widths[2].rawValue(), 2500 / kTwipsPerPixel);
    // Borders and shading as the row gives them.
    const QTextTableCellFormat key = tables[0]->cellAt(0, 0).format().toTableCellFormat();
    EXPECT_EQ(key.topBorderBrush().color(), QColor(255, 0, 0));
    EXPECT_EQ(key.bottomBorderStyle(), QTextFrameFormat::BorderStyle_Double);
    EXPECT_EQ(key.background().color(), QColor(192, 192, 192));
    EXPECT_EQ(tables[1]->rows(), 1);
    EXPECT_EQ(tables[1]->columns(), 2);
    EXPECT_EQ(tables[2]->columns(), 2);
    EXPECT_EQ(tables[2]->cellAt(0, 0).firstCursorPosition().block().text(), "Inner A");
    // Positions of the control are those of the model.
    EXPECT_EQ(static_cast<std::size_t>(edit.document()->characterCount()), model.TextLength());
    EXPECT_EQ(edit.GetText().find('\t'), std::string::npos);
}

TEST_F(RicherEditTables, StoredUnchangedTheTableIsByteIdentical) {
    std::vector<std::string> back;
    edit.SaveToStrings(back);
    EXPECT_EQ(TablePart(back), TablePart(stored));
    EXPECT_EQ(back, stored);
    EXPECT_TRUE(edit.GetDocument() == model);
}

TEST_F(RicherEditTables, TypingElsewhereAndInACellKeepsTheRows) {
    edit.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    edit.setFocus();
    // Model positions are those of the QTextDocument.
    auto caretAt = [&](const std::string& what, int offset) {
        QTextCursor cursor(edit.document());
        cursor.setPosition(static_cast<int>(edit.GetDocument().Text().find(what)) + offset);
        edit.setTextCursor(cursor);
    };
    // A character in another paragraph of the topic.
    caretAt("Press", 0);
    QTest::keyClicks(&edit, "x");
    std::vector<std::string> back;
    edit.SaveToStrings(back);
    EXPECT_EQ(TablePart(back), TablePart(stored));
    EXPECT_EQ(Shape(edit.GetDocument()), Shape(model));

    // Typing in a cell, Tab to the next, typing there; Tab from the last
    // cell of the table leaves it.
    caretAt("F2", 2);
    QTest::keyClicks(&edit, "1");
    QTest::keyClick(&edit, Qt::Key_Tab);
    QTest::keyClicks(&edit, "*");
    QTest::keyClick(&edit, Qt::Key_Tab);
    QTest::keyClick(&edit, Qt::Key_Backtab);
    QTest::keyClicks(&edit, "-");
    QTest::keyClick(&edit, Qt::Key_Tab);
    QTest::keyClick(&edit, Qt::Key_Tab);
    QTest::keyClicks(&edit, "!");
    const rtf::RtfDocument typed = edit.GetDocument();
    EXPECT_EQ(Shape(typed), Shape(model));
    const std::string typedText = typed.Text();
    EXPECT_NE(typedText.find("\rF21\r-*Find\rSearches hidden\r!Between"), std::string::npos)
        << typedText;
    // Hidden text in the cell is still hidden.
    EXPECT_TRUE(typed.CharFormatAt(typedText.find(" hidden")).hidden);
    // Written and read again, the same rows.
    EXPECT_EQ(Shape(rtf::RtfDocument::Parse(rtf::WriteRtf(typed))), Shape(model));
}

TEST_F(RicherEditTables, EnterInACellAddsAParagraphToTheCell) {
    const std::string text = model.Text();
    QTextCursor cursor(edit.document());
    cursor.setPosition(static_cast<int>(text.find("Help\r")) + 4);
    edit.setTextCursor(cursor);
    QTest::keyClick(&edit, Qt::Key_Return);
    QTest::keyClicks(&edit, "more");
    const rtf::RtfDocument typed = edit.GetDocument();
    const std::string shape = Shape(typed);
    EXPECT_NE(Shape(typed).find("1|\n1 \n1|\n"), std::string::npos) << shape;
    EXPECT_NE(typed.Text().find("Help\rmore\rOpens"), std::string::npos);
}

// Any mix of table words: the QTextDocument made from the model has the
// model's positions and gives the model back.
TEST(RtfQtTables, AnyMixOfTableWordsComesBack) {
    static const char* const kPieces[] = {"\\trowd",     "\\cellx1000", "\\cellx2500",
                                          "\\intbl",     "\\itap2",     "\\itap3",
                                          "\\cell",      "\\nestcell",  "\\row",
                                          "\\nestrow",   "\\par",       "\\pard",
                                          " text",       "{",           "}",
                                          "\\b",         "\\cellx400",  "{\\*\\nesttableprops",
                                          "\\trleft-300"};
    unsigned state = 777;
    auto next = [&state](unsigned range) {
        state = state * 1103515245u + 12345u;
        return (state >> 16) % range;
    };
    for (int round = 0; round < 200; ++round) {
        std::string rtf = "{\\rtf1 start\\par";
        const unsigned count = 5 + next(40);
        for (unsigned i = 0; i < count; ++i)
            rtf += kPieces[next(std::size(kPieces))];
        rtf += "}";
        SCOPED_TRACE(rtf);
        const rtf::RtfDocument model = rtf::RtfDocument::Parse(rtf);
        QTextDocument document;
        ModelToQTextDocument(model, document);
        EXPECT_EQ(static_cast<std::size_t>(document.characterCount()), model.TextLength());
        const rtf::RtfDocument back = QTextDocumentToModel(document);
        EXPECT_EQ(Shape(back), Shape(model));
        EXPECT_EQ(rtf::WriteRtf(back), rtf::WriteRtf(model));
    }
}

TEST_F(RicherEditTables, CopiedRowsPasteAsRows) {
    // "Press a key:" with the table after it, up to "Between".
    const std::string text = model.Text();
    const int from = static_cast<int>(text.find("Press"));
    const int to = static_cast<int>(text.find("Between"));
    QTextCursor cursor(edit.document());
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    edit.setTextCursor(cursor);
    edit.copy();
    // Pasted at the end of the last paragraph: "After all." then the rows,
    // then the empty rest of that paragraph.
    cursor.setPosition(edit.document()->characterCount() - 1);
    edit.setTextCursor(cursor);
    edit.paste();
    const rtf::RtfDocument pasted = edit.GetDocument();
    EXPECT_EQ(static_cast<std::size_t>(edit.document()->characterCount()), pasted.TextLength());
    const std::string shape = Shape(pasted);
    // The first table's three rows, twice now.
    std::size_t rows = 0;
    for (std::size_t at = shape.find("1| 2000 4000 6500\n"); at != std::string::npos;
         at = shape.find("1| 2000 4000 6500\n", at + 1))
        ++rows;
    EXPECT_EQ(rows, 6u) << shape;
    // The rest of the paragraph pasted into follows the rows.
    EXPECT_TRUE(shape.ends_with("1| 2000 4000 6500\n0 \n")) << shape;
    EXPECT_NE(pasted.Text().find("After all.Press a key:\rKey\r"), std::string::npos);
    // In a cell, pasted cells are paragraphs of that cell.
    cursor.setPosition(static_cast<int>(pasted.Text().find("Find")));
    edit.setTextCursor(cursor);
    edit.paste();
    EXPECT_EQ(static_cast<std::size_t>(edit.document()->characterCount()),
              edit.GetDocument().TextLength());
    EXPECT_EQ(Tables(edit.document()->rootFrame()).size(), 4u);
}

namespace {

// One side of a cell as the widget draws it: width, style, colour, or
// "-" for none.
std::string SideOf(const QTextTable& table, int row, int column, QTextFormat::Property width) {
    const QTextTableCellFormat format = table.cellAt(row, column).format().toTableCellFormat();
    if (!format.hasProperty(width) || format.doubleProperty(width) <= 0)
        return "-";
    const int offset = width - QTextFormat::TableCellTopBorder; // top, left, bottom, right
    const auto style = static_cast<QTextFrameFormat::BorderStyle>(
        format.intProperty(QTextFormat::TableCellTopBorderStyle + offset));
    const QColor color =
        format.brushProperty(QTextFormat::TableCellTopBorderBrush + offset).color();
    return std::to_string(qRound(format.doubleProperty(width))) + "/" +
           std::to_string(static_cast<int>(style)) + "/" + color.name().toStdString();
}

QTextTable* OnlyTable(const QTextDocument& document) {
    const std::vector<QTextTable*> tables = Tables(document.rootFrame());
    return tables.size() == 1 ? tables.front() : nullptr;
}

} // namespace

// Where two cells meet one line is drawn, the stronger of their borders: the
// wider, of equal width the more solid. With rows of the same cells the line
// is given to the left or upper cell; rows of different cells leave it to Qt.
TEST(RtfQtTables, ALineBetweenTwoCellsIsDrawnOnce) {
    const std::string solid = std::to_string(QTextFrameFormat::BorderStyle_Solid);
    const std::string dotted = std::to_string(QTextFrameFormat::BorderStyle_Dotted);
    const std::string black = "/#000000";
    const rtf::RtfDocument model = rtf::RtfDocument::Parse(
        "{\\rtf1\\ansi{\\colortbl;\\red255\\green0\\blue0;}\\pard before\\par\n"
        // row 0: A with a thin bottom and a double right, B with a wide left
        // and a red top
        "\\trowd\\clbrdrb\\brdrs\\brdrw10 \\clbrdrr\\brdrdb\\brdrw30 \\cellx1000"
        "\\clbrdrl\\brdrs\\brdrw60 \\clbrdrt\\brdrs\\brdrw15\\brdrcf1 \\cellx2000"
        "\\pard\\intbl a\\cell b\\cell\\row\n"
        // row 1: C with a wider top and a dotted right, D with a dotted top
        // and a solid left of the same width
        "\\trowd\\clbrdrt\\brdrs\\brdrw45 \\clbrdrr\\brdrdot\\brdrw15 \\cellx1000"
        "\\clbrdrt\\brdrdot\\brdrw15 \\clbrdrl\\brdrs\\brdrw15 \\cellx2000"
        "\\pard\\intbl c\\cell d\\cell\\row\\pard after\\par}");
    QTextDocument document;
    ModelToQTextDocument(model, document);
    QTextTable* table = OnlyTable(document);
    ASSERT_NE(table, nullptr);
    EXPECT_FALSE(table->format().borderCollapse());
    struct Case {
        int row, column;
        QTextFormat::Property side;
        std::string shown;
    };
    const Case cases[] = {
        {0, 0, QTextFormat::TableCellRightBorder, "4/" + solid + black}, // B's wider left
        {0, 1, QTextFormat::TableCellLeftBorder, "-"},
        {0, 0, QTextFormat::TableCellBottomBorder, "3/" + solid + black}, // C's wider top
        {1, 0, QTextFormat::TableCellTopBorder, "-"},
        {0, 1, QTextFormat::TableCellBottomBorder, "1/" + dotted + black}, // D's top, B none
        {1, 1, QTextFormat::TableCellTopBorder, "-"},
        {1, 0, QTextFormat::TableCellRightBorder, "1/" + solid + black}, // solid over dotted
        {1, 1, QTextFormat::TableCellLeftBorder, "-"},
        {0, 1, QTextFormat::TableCellTopBorder, "1/" + solid + "/#ff0000"}, // the outside
        {0, 0, QTextFormat::TableCellTopBorder, "-"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SideOf(*table, c.row, c.column, c.side), c.shown)
            << c.row << "," << c.column << " side " << c.side;
    // The rows still come back word for word.
    EXPECT_EQ(rtf::WriteRtf(QTextDocumentToModel(document)), rtf::WriteRtf(model));

    // Rows of different cells: each cell keeps its borders, Qt joins them.
    const rtf::RtfDocument uneven = rtf::RtfDocument::Parse(
        "{\\rtf1\\ansi\\pard before\\par\n"
        "\\trowd\\clbrdrb\\brdrs\\brdrw30 \\cellx1000\\cellx2000\\pard\\intbl a\\cell "
        "b\\cell\\row\n"
        "\\trowd\\clbrdrt\\brdrs\\brdrw15 \\cellx1500\\cellx2000\\pard\\intbl c\\cell d\\cell\\row"
        "\\pard after\\par}");
    QTextDocument unevenDocument;
    ModelToQTextDocument(uneven, unevenDocument);
    table = OnlyTable(unevenDocument);
    ASSERT_NE(table, nullptr);
    EXPECT_TRUE(table->format().borderCollapse());
    EXPECT_EQ(SideOf(*table, 0, 0, QTextFormat::TableCellBottomBorder), "2/" + solid + black);
    EXPECT_EQ(SideOf(*table, 1, 0, QTextFormat::TableCellTopBorder), "1/" + solid + black);
    EXPECT_EQ(rtf::WriteRtf(QTextDocumentToModel(unevenDocument)), rtf::WriteRtf(uneven));

    // A table without borders: its faint grid, one line between two cells.
    const rtf::RtfDocument plain = rtf::RtfDocument::Parse(
        "{\\rtf1\\ansi\\trowd\\cellx1000\\cellx2000\\pard\\intbl a\\cell b\\cell\\row"
        "\\trowd\\cellx1000\\cellx2000\\pard\\intbl c\\cell d\\cell\\row\\pard after\\par}");
    QTextDocument plainDocument;
    ModelToQTextDocument(plain, plainDocument);
    table = OnlyTable(plainDocument);
    ASSERT_NE(table, nullptr);
    const std::string faint = "1/" + dotted + "/#c0c0c0";
    EXPECT_EQ(SideOf(*table, 0, 0, QTextFormat::TableCellRightBorder), faint);
    EXPECT_EQ(SideOf(*table, 0, 1, QTextFormat::TableCellLeftBorder), "-");
    EXPECT_EQ(SideOf(*table, 0, 1, QTextFormat::TableCellBottomBorder), faint);
    EXPECT_EQ(SideOf(*table, 1, 1, QTextFormat::TableCellTopBorder), "-");
    EXPECT_EQ(SideOf(*table, 1, 1, QTextFormat::TableCellRightBorder), faint);
}

// A nested table as Word 2000 wrote it (the outer row's definition again at
// the row's end, "\itap1" after the nested rows) and a row cut short by the
// end of the text: the editor shows each table with its own cell widths and
// stores the rows back as they came.
TEST(RicherEditNestedTables, WordRowsKeepTheirOwnCellsThroughTheEditor) {
    const std::string word =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard Keys:\\par\r\n"
        "\\trowd\\trgaph108\\trleft-108\\cellx3000\\cellx8000\\pard\\intbl {Editing\\cell }"
        "\\pard\\intbl\\itap2 {Undo\\nestcell }{Ctrl+Z\\nestcell }\r\n"
        "\\pard\\intbl\\itap2 {{\\*\\nesttableprops\\trowd\\trgaph108\\trleft-108\\cellx1500"
        "\\cellx4500\\nestrow}{\\nonesttables \\par }}\r\n"
        "\\pard\\intbl\\itap1 {\\cell }\\pard\\intbl {\\trowd\\trgaph108\\trleft-108\\cellx3000"
        "\\cellx8000\\row }\\pard See also.\\par\r\n"
        "\\trowd\\trgaph108\\trleft-108\\cellx2000\\cellx4000\\pard\\intbl {Title bar\\cell }"
        "{Shows the name\\cell }\r\n\\par }";
    const rtf::RtfDocument model = rtf::RtfDocument::Parse(word);
    TRicherEdit edit;
    edit.LoadFromStrings(rtf::WriteRtfLines(model));
    const std::vector<QTextTable*> tables = Tables(edit.document()->rootFrame());
    ASSERT_EQ(tables.size(), 3u); // the outer table, the one nested in it, the row cut short
    const auto widths = [](const QTextTable* table) {
        std::vector<double> pixels;
        for (const QTextLength& width : table->format().columnWidthConstraints())
            pixels.push_back(width.rawValue());
        return pixels;
    };
    EXPECT_EQ(widths(tables[0]),
              (std::vector<double>{3108 / kTwipsPerPixel, 5000 / kTwipsPerPixel}));
    EXPECT_EQ(widths(tables[1]),
              (std::vector<double>{1608 / kTwipsPerPixel, 3000 / kTwipsPerPixel}));
    EXPECT_EQ(tables[1]->rows(), 1);
    EXPECT_EQ(tables[1]->cellAt(0, 1).firstCursorPosition().block().text(), "Ctrl+Z");
    EXPECT_EQ(widths(tables[2]),
              (std::vector<double>{2108 / kTwipsPerPixel, 2000 / kTwipsPerPixel}));
    EXPECT_EQ(tables[2]->cellAt(0, 1).firstCursorPosition().block().text(), "Shows the name");

    std::vector<std::string> back;
    edit.SaveToStrings(back);
    EXPECT_EQ(Shape(rtf::RtfDocument::Parse(rtf::JoinLines(back))), Shape(model));
    const std::string stored = rtf::JoinLines(back);
    EXPECT_NE(stored.find("\\pard\\intbl\\itap1\\cell\\trowd\\trgaph108\\trleft-108\\cellx3000"
                          "\\cellx8000\\row"),
              std::string::npos)
        << stored;
}
