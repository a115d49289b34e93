// TRicherEdit as the topic editor uses it: positions where a paragraph end
// counts twice, selections beyond 64K, lines and scrolling, the redraw
// lock, word wrap, RTF lines in and out, files, the clipboard and keys.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "components/rtf/rtfdocument.h"
#include "components/rtf/rtfwriter.h"
#include "components/rtf/stringlisttransfer.h"
#include "components/ui/richeredit.h"

using namespace components::ui;

namespace {

const std::string kHeader = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}";

std::vector<std::string> Lines(const std::string& body) {
    return rtf::SplitLines(kHeader + "\r\n" + body + "}");
}

// Plain paragraphs "line 0", "line 1", ...
std::vector<std::string> NumberedLines(int count) {
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i)
        lines.push_back("line " + std::to_string(i));
    return lines;
}

std::filesystem::path TempFile(const std::string& name) {
    return std::filesystem::temp_directory_path() /
           ("richeredit_test_" + std::to_string(::getpid()) + "_" + name);
}

class RicherEdit : public ::testing::Test {
protected:
    void Show(int width = 400, int height = 200) {
        edit.resize(width, height);
        edit.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    }
    TRicherEdit edit;
};

} // namespace

TEST_F(RicherEdit, PositionsCountAParagraphEndTwice) {
    edit.LoadFromStrings({"abc", "de", "", "x"}); // plain text: four paragraphs
    EXPECT_EQ(edit.GetText(), "abc\r\nde\r\n\r\nx");
    EXPECT_EQ(edit.GetTextLen(), 12);
    const QTextDocument& doc = *edit.document();
    struct Case {
        int part, qt;
    };
    // "abc" 0-2, its end 3-4, "de" 5-6, end 7-8, empty paragraph's end 9-10, "x" 11.
    const Case cases[] = {{0, 0}, {3, 3},  {4, 4},  {5, 4},  {6, 5},  {7, 6}, {8, 7},
                          {9, 7}, {10, 8}, {11, 8}, {12, 9}, {-4, 0}, {99, 9}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.part);
        EXPECT_EQ(QtFromPart(doc, c.part), c.qt);
    }
    for (int qt = 0; qt <= 9; ++qt)
        EXPECT_EQ(QtFromPart(doc, PartFromQt(doc, qt)), qt) << qt;
    EXPECT_EQ(PartFromQt(doc, 8), 11);

    edit.SetSelStart(5);
    edit.SetSelLength(7);
    EXPECT_EQ(edit.GetSelStart(), 5);
    EXPECT_EQ(edit.GetSelLength(), 7);
    EXPECT_EQ(edit.GetSelText(), "de\r\n\r\nx");
    // A position between CR and LF starts the next paragraph.
    edit.SetSelStart(4);
    EXPECT_EQ(edit.GetSelStart(), 5);
}

TEST_F(RicherEdit, SelectionOf70000BeyondPosition65535) {
    // Three paragraphs of 60,000 characters each: the selection starts in
    // the second, crosses a paragraph end and ends in the third.
    std::vector<std::string> lines;
    for (char c : {'a', 'b', 'c'}) {
        std::string line(60000, c);
        for (std::size_t i = 0; i < line.size(); i += 1000)
            line[i] = static_cast<char>('0' + (i / 1000) % 10);
        lines.push_back(line);
    }
    edit.LoadFromStrings(lines);
    const std::string all = edit.GetText();
    ASSERT_EQ(edit.GetTextLen(), 180004);
    ASSERT_EQ(static_cast<int>(all.size()), edit.GetTextLen());

    const int start = 70000;
    edit.SetSelStart(start);
    edit.SetSelLength(70000);
    EXPECT_EQ(edit.GetSelStart(), start);
    EXPECT_EQ(edit.GetSelLength(), 70000);
    const std::string selected = edit.GetSelText();
    EXPECT_EQ(selected, all.substr(start, 70000));
    EXPECT_NE(selected.find("\r\n"), std::string::npos);

    std::vector<char> buffer(70001 + 1, '#');
    EXPECT_EQ(edit.GetSelTextBuf(buffer.data(), 70001), 70000);
    EXPECT_EQ(std::string(buffer.data()), selected);
    char small[5] = {'#', '#', '#', '#', '#'};
    EXPECT_EQ(edit.GetSelTextBuf(small, 4), 3);
    EXPECT_EQ(std::string(small), selected.substr(0, 3));
    EXPECT_EQ(edit.GetSelTextBuf(small, 0), 0);

    // A length past the end stops at the end.
    edit.SetSelStart(170000);
    edit.SetSelLength(70000);
    EXPECT_EQ(edit.GetSelLength(), 10004);
}

TEST_F(RicherEdit, SelTextReplacesWithoutUndo) {
    edit.LoadFromStrings({"one two", "three"});
    Show();
    QTest::keyClicks(&edit, "x"); // an undoable step that SetSelText must drop
    ASSERT_TRUE(edit.document()->isUndoAvailable());
    edit.SetSelStart(5);
    edit.SetSelLength(3);
    edit.SetSelText("2\r\nnew\npara\rend");
    EXPECT_EQ(edit.GetText(), "xone 2\r\nnew\r\npara\r\nend\r\nthree");
    EXPECT_FALSE(edit.document()->isUndoAvailable());
    EXPECT_EQ(edit.GetSelLength(), 0);
    EXPECT_EQ(edit.GetSelStart(), 22); // after the inserted text
}

TEST_F(RicherEdit, FindTextInControlPositions) {
    edit.LoadFromStrings({"first line", "Second word, second", "words"});
    struct Case {
        const char* what;
        int start, length;
        bool matchCase, wholeWord;
        int found;
    };
    const Case cases[] = {
        {"second", 0, -1, false, false, 12},  {"second", 0, -1, true, false, 25},
        {"second", 13, -1, false, false, 25}, {"word", 0, -1, false, true, 19},
        {"words", 0, -1, false, true, 33},    {"second", 0, 18, false, false, 12},
        {"second", 0, 17, false, false, -1},  {"second", 0, 30, true, false, -1},
        {"missing", 0, -1, false, false, -1}, {"", 0, -1, false, false, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what + std::string(" from ") + std::to_string(c.start));
        rtf::FindOptions options;
        options.matchCase = c.matchCase;
        options.wholeWord = c.wholeWord;
        EXPECT_EQ(edit.FindText(c.what, c.start, c.length, options), c.found);
    }
}

TEST(RicherEditLines, ClampFirstVisibleLine) {
    struct Case {
        int line, count, visible, expected;
    };
    const Case cases[] = {
        {-5, 100, 10, 0},  {0, 100, 10, 0},   {40, 100, 10, 40},
        {91, 100, 10, 91}, {92, 100, 10, 91}, {5000, 100, 10, 91},
        {3, 5, 10, 0},     {3, 5, -1, 3}, // hidden control: no visible lines
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClampFirstVisibleLine(c.line, c.count, c.visible), c.expected)
            << c.line << " of " << c.count;
}

TEST_F(RicherEdit, FirstVisibleLineScrollsAndClamps) {
    EXPECT_EQ(edit.GetVisibleLines(), -1); // not shown yet
    edit.LoadFromStrings(NumberedLines(200));
    Show();
    const int visible = edit.GetVisibleLines();
    ASSERT_GT(visible, 3);
    ASSERT_EQ(edit.GetLineCount(), 200);
    EXPECT_EQ(edit.GetFirstVisibleLine(), 0);

    edit.SetFirstVisibleLine(50);
    EXPECT_EQ(edit.GetFirstVisibleLine(), 50);
    edit.SetFirstVisibleLine(51);
    EXPECT_EQ(edit.GetFirstVisibleLine(), 51);
    edit.SetFirstVisibleLine(-7);
    EXPECT_EQ(edit.GetFirstVisibleLine(), 0);
    EXPECT_EQ(edit.verticalScrollBar()->value(), 0);
    // Past the end: line count - visible lines + 1, unless the text ends
    // before that line can reach the top.
    edit.SetFirstVisibleLine(100000);
    const int clamped = ClampFirstVisibleLine(100000, 200, visible);
    const QScrollBar* bar = edit.verticalScrollBar();
    if (bar->value() < bar->maximum())
        EXPECT_EQ(edit.GetFirstVisibleLine(), clamped);
    else
        EXPECT_LE(edit.GetFirstVisibleLine(), clamped);
    EXPECT_GT(edit.GetFirstVisibleLine(), 200 - 2 * visible);
}

TEST_F(RicherEdit, WrappedLinesCount) {
    std::string words;
    for (int i = 0; i < 300; ++i)
        words += "word ";
    edit.LoadFromStrings({words, "short"});
    Show(300, 200);
    const int wrapped = edit.GetLineCount();
    EXPECT_GT(wrapped, 5);
    edit.SetWordWrap(false);
    EXPECT_EQ(edit.GetLineCount(), 2);
    edit.SetWordWrap(true);
    EXPECT_EQ(edit.GetLineCount(), wrapped);
}

// A run of more than 2,000 characters without a blank is broken anywhere
// (broken at word boundaries first, the rest of it is measured again for
// every line, and its layout grows with the square of its length); a text
// of ordinary words keeps them whole, and the next one gets that back.
TEST_F(RicherEdit, ALongRunWithoutBlanksIsBrokenAnywhere) {
    std::string words;
    for (int i = 0; i < 100; ++i)
        words += "word ";
    Show(300, 200);
    edit.LoadFromStrings({words});
    EXPECT_EQ(edit.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    const int wordLines = edit.GetLineCount();
    edit.LoadFromStrings({words + std::string(20000, 'w') + " " + words});
    EXPECT_EQ(edit.wordWrapMode(), QTextOption::WrapAnywhere);
    EXPECT_EQ(edit.document()->defaultTextOption().wrapMode(), QTextOption::WrapAnywhere);
    EXPECT_GT(edit.GetLineCount(), 2 * wordLines + 50); // the run wraps at the edge
    edit.SetWordWrap(false);
    EXPECT_EQ(edit.GetLineCount(), 1);
    edit.SetWordWrap(true);
    edit.LoadFromStrings({words});
    EXPECT_EQ(edit.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    EXPECT_EQ(edit.GetLineCount(), wordLines);
    // A long address or path is no reason.
    edit.LoadFromStrings({std::string(2000, 'w')});
    EXPECT_EQ(edit.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
}

TEST_F(RicherEdit, WordWrapToggleKeepsSelectionAndModifiedFlag) {
    std::string words;
    for (int i = 0; i < 200; ++i)
        words += "word" + std::to_string(i) + " ";
    edit.LoadFromStrings({words, words, words});
    Show(300, 150);
    EXPECT_TRUE(edit.GetWordWrap());
    for (bool modified : {false, true}) {
        SCOPED_TRACE(modified);
        edit.SetModified(modified);
        edit.SetSelStart(900);
        edit.SetSelLength(1500);
        edit.SetWordWrap(false);
        EXPECT_FALSE(edit.GetWordWrap());
        EXPECT_EQ(edit.GetSelStart(), 900);
        EXPECT_EQ(edit.GetSelLength(), 1500);
        EXPECT_EQ(edit.GetModified(), modified);
        edit.SetWordWrap(true);
        EXPECT_EQ(edit.GetSelStart(), 900);
        EXPECT_EQ(edit.GetSelLength(), 1500);
        EXPECT_EQ(edit.GetModified(), modified);
    }
}

TEST_F(RicherEdit, RedrawLock) {
    Show();
    // The first lock takes effect (the control starts unlocked).
    edit.SetRedraw(false);
    EXPECT_FALSE(edit.updatesEnabled());
    edit.SetRedraw(false);
    EXPECT_FALSE(edit.updatesEnabled());
    edit.SetRedraw(true);
    EXPECT_TRUE(edit.updatesEnabled());
    EXPECT_TRUE(edit.GetRedraw());
    edit.SetRedraw(true);
    EXPECT_TRUE(edit.updatesEnabled());
}

TEST_F(RicherEdit, ScrollEventsFollowTheScroll) {
    edit.LoadFromStrings(NumberedLines(300));
    Show();
    struct Seen {
        TScrollCode code;
        int position;
        int barValue;
        int firstLine;
    };
    std::vector<Seen> seen;
    QScrollBar* bar = edit.verticalScrollBar();
    QObject::connect(
        &edit, &TRicherEdit::OnVScroll, [&](TRicherEdit* sender, TScrollCode code, int position) {
            EXPECT_EQ(sender, &edit);
            seen.push_back({code, position, bar->value(), sender->GetFirstVisibleLine()});
        });
    const struct {
        QAbstractSlider::SliderAction action;
        TScrollCode code;
    } cases[] = {
        {QAbstractSlider::SliderSingleStepAdd, TScrollCode::scLineDown},
        {QAbstractSlider::SliderPageStepAdd, TScrollCode::scPageDown},
        {QAbstractSlider::SliderSingleStepSub, TScrollCode::scLineUp},
        {QAbstractSlider::SliderToMaximum, TScrollCode::scBottom},
        {QAbstractSlider::SliderPageStepSub, TScrollCode::scPageUp},
        {QAbstractSlider::SliderToMinimum, TScrollCode::scTop},
    };
    for (const auto& c : cases)
        bar->triggerAction(c.action);
    ASSERT_EQ(seen.size(), std::size(cases));
    for (std::size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].code, cases[i].code) << i;
        EXPECT_EQ(seen[i].position, seen[i].barValue) << i;
    }
    // The text had moved when the event came. A line step may be shorter than
    // the first line in some fonts, so the page step shows it for certain.
    EXPECT_GT(seen[0].barValue, 0);
    EXPECT_GT(seen[1].firstLine, 0);
    EXPECT_EQ(seen[3].position, bar->maximum());
    EXPECT_EQ(seen[5].position, 0);

    std::vector<TScrollCode> horizontal;
    QObject::connect(&edit, &TRicherEdit::OnHScroll,
                     [&](TRicherEdit*, TScrollCode code, int) { horizontal.push_back(code); });
    edit.SetWordWrap(false);
    edit.LoadFromStrings({std::string(3000, 'h')});
    edit.horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    ASSERT_EQ(horizontal.size(), 1u);
    EXPECT_EQ(horizontal[0], TScrollCode::scLineDown);
}

TEST_F(RicherEdit, StringsInAndOut) {
    const std::vector<std::string> lines =
        Lines("\\pard\\b Title\\b0\\v\\{keepn\\}\\v0\\par\r\n"
              "\\pard To begin, read \\uldb Installing\\ulnone\\v\\{linkID=20\\}\\v0 .\\par");
    edit.SetModified(true);
    edit.LoadFromStrings(lines);
    EXPECT_FALSE(edit.GetModified());
    EXPECT_EQ(edit.GetText(), "Title{keepn}\r\nTo begin, read Installing{linkID=20}.");
    std::vector<std::string> saved;
    edit.SaveToStrings(saved);
    EXPECT_EQ(saved, rtf::SaveToStrings(rtf::LoadFromStrings(lines)));
    EXPECT_EQ(saved.size(), 4u); // header, colours, one line per paragraph

    // Plain text lines are paragraphs.
    edit.LoadFromStrings({"plain", "text"});
    EXPECT_EQ(edit.GetText(), "plain\r\ntext");
}

TEST_F(RicherEdit, PlainTextFilesOfEitherByteOrder) {
    const std::u16string text = u"caf\u00E9 \u20AC\r\nline two";
    auto utf16 = [&](bool bigEndian) {
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (char16_t c : text) {
            const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
            bytes += bigEndian ? std::string{high, low} : std::string{low, high};
        }
        return bytes;
    };
    for (bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian);
        const auto path = TempFile(bigEndian ? "be.txt" : "le.txt");
        std::ofstream(path, std::ios::binary) << utf16(bigEndian);
        edit.LoadFromFile(path);
        EXPECT_EQ(edit.GetText(), "caf\xE9 \x80\r\nline two");
        std::filesystem::remove(path);
    }
    // A file of one byte loads as it is.
    const auto path = TempFile("one.txt");
    std::ofstream(path, std::ios::binary) << "Z";
    edit.LoadFromFile(path);
    EXPECT_EQ(edit.GetText(), "Z");
    // Saving writes RTF that loads to the same document.
    edit.LoadFromStrings(Lines("\\pard\\qc \\v hidden\\v0  text\\par"));
    edit.SaveToFile(path);
    std::ifstream in(path, std::ios::binary);
    const std::string written{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(written, rtf::WriteRtf(edit.GetDocument()));
    EXPECT_TRUE(rtf::RtfDocument::Parse(written) == edit.GetDocument());
    std::filesystem::remove(path);
}

TEST_F(RicherEdit, SelectionFormats) {
    edit.LoadFromStrings(Lines("\\pard plain text here\\par\\pard second\\par"));
    edit.SetSelStart(6);
    edit.SetSelLength(4);
    rtf::CharFormat format;
    format.hidden = true;
    format.underline = rtf::UnderlineKind::Double;
    format.color = rtf::Color::Rgb(128, 0, 0);
    format.bold = true; // not in the mask
    edit.SetSelAttributes(format, rtf::kCharHidden | rtf::kCharUnderline | rtf::kCharColor);
    const rtf::CharFormat read = edit.GetSelAttributes();
    EXPECT_TRUE(read.hidden);
    EXPECT_EQ(read.underline, rtf::UnderlineKind::Double);
    EXPECT_EQ(read.color, rtf::Color::Rgb(128, 0, 0));
    EXPECT_FALSE(read.bold);
    const rtf::RtfDocument model = edit.GetDocument();
    ASSERT_EQ(model.Paragraphs()[0].runs.size(), 3u);
    EXPECT_EQ(rtf::RunText(model.Paragraphs()[0], 1), "text");
    EXPECT_TRUE(model.FormatOf(model.Paragraphs()[0].runs[1]).hidden);

    // Over a paragraph end: the mark changes with the text.
    edit.SetSelStart(11);
    edit.SetSelLength(7); // "here", CR LF, "s"
    rtf::CharFormat big;
    big.size = 40;
    edit.SetSelAttributes(big, rtf::kCharSize);
    const rtf::RtfDocument sized = edit.GetDocument();
    EXPECT_EQ(sized.MarkFormatOf(sized.Paragraphs()[0]).size, 40);
    EXPECT_EQ(sized.MarkFormatOf(sized.Paragraphs()[1]).size,
              model.MarkFormatOf(model.Paragraphs()[1]).size);
    EXPECT_EQ(rtf::RunText(sized.Paragraphs()[1], 0), "s");
    EXPECT_EQ(sized.FormatOf(sized.Paragraphs()[1].runs[0]).size, 40);

    // Paragraph formats of every paragraph the selection touches.
    edit.SetSelStart(2);
    edit.SetSelLength(20);
    rtf::ParaFormat para;
    para.alignment = rtf::Alignment::Center;
    para.leftIndent = 725;
    para.bullet = true;
    edit.SetParagraph(para, rtf::kParaAlignment | rtf::kParaLeftIndent | rtf::kParaBullet);
    EXPECT_EQ(edit.GetParagraph().leftIndent, 725);
    const rtf::RtfDocument aligned = edit.GetDocument();
    for (const rtf::Paragraph& paragraph : aligned.Paragraphs()) {
        EXPECT_EQ(aligned.ParaFormatOf(paragraph).alignment, rtf::Alignment::Center);
        EXPECT_TRUE(aligned.ParaFormatOf(paragraph).bullet);
    }
}

TEST_F(RicherEdit, KeysTypeTabsAndRefuseWhatTheTextCannotHold) {
    edit.LoadFromStrings(Lines("\\pard{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}"
                               "\\fi-360\\li360 item\\par"));
    Show();
    edit.setFocus();
    edit.SetSelStart(0);
    QTest::keyClick(&edit, Qt::Key_Tab);
    for (QChar c : QString::fromUtf16(u"\u00E9\u0105\u20AC"))
        QTest::sendKeyEvent(QTest::Click, &edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    EXPECT_EQ(edit.GetText(), "\t\xE9\x80item");
    EXPECT_TRUE(edit.GetParagraph().bullet);
}

TEST_F(RicherEdit, ClipboardKeepsHiddenTextAndDoubleUnderline) {
    edit.LoadFromStrings(Lines("\\pard read \\uldb Installing\\ulnone\\v\\{linkID=20\\}\\v0 .\\par"
                               "\\pard\\qr end\\par"));
    edit.SetSelStart(5);
    edit.SetSelLength(22); // "Installing{linkID=20}."
    edit.copy();
    ASSERT_TRUE(QApplication::clipboard()->mimeData()->hasFormat("text/rtf"));
    EXPECT_EQ(QApplication::clipboard()->text(), "Installing{linkID=20}.");
    edit.SetSelStart(edit.GetTextLen());
    edit.paste();
    const rtf::RtfDocument model = edit.GetDocument();
    ASSERT_EQ(model.Paragraphs().size(), 2u); // the tail joined the last paragraph
    const rtf::Paragraph& last = model.Paragraphs()[1];
    EXPECT_EQ(last.Text(), "endInstalling{linkID=20}.");
    EXPECT_EQ(model.ParaFormatOf(last).alignment, rtf::Alignment::Right);
    ASSERT_EQ(last.runs.size(), 4u);
    EXPECT_EQ(model.FormatOf(last.runs[1]).underline, rtf::UnderlineKind::Double);
    EXPECT_TRUE(model.FormatOf(last.runs[2]).hidden);
    EXPECT_EQ(rtf::RunText(last, 2), "{linkID=20}");
}

// A long topic is laid out as far as the screen shows and the rest later;
// the marks are drawn in its first picture all the same, and at its end.
TEST_F(RicherEdit, MarksOfALongTopicOnTheFirstPaint) {
    auto render = [&](const std::string& first, const std::string& last, bool atEnd) {
        std::string body = "\\pard\\fs28 " + first + "\\par";
        for (int i = 0; i < 3000; ++i)
            body += "\\pard line " + std::to_string(i) + " of the topic\\par";
        edit.LoadFromStrings(Lines(body + "\\pard\\fs28 " + last + "\\par"));
        edit.SetSelStart(atEnd ? edit.GetTextLen() : 0);
        if (atEnd)
            edit.ScrollCaret(); // to the end, where the caret is
        return edit.viewport()->grab().toImage();
    };
    Show(300, 120);
    edit.setReadOnly(true);
    edit.setCursorWidth(0);
    EXPECT_NE(render("\\v hidden\\v0", "end", false), render("hidden", "end", false));
    EXPECT_NE(render("start", "\\v hidden\\v0", true), render("start", "hidden", true));
    EXPECT_NE(render("\\uldb jump\\ulnone", "end", false),
              render("\\ul jump\\ulnone", "end", false));
}

TEST_F(RicherEdit, HiddenTextIsShownAndMarked) {
    // The same words plain, hidden and double underlined look different, and
    // hidden words are drawn, not left out.
    auto render = [&](const std::string& body) {
        edit.LoadFromStrings(Lines("\\pard\\fs28 " + body + "\\par"));
        return edit.viewport()->grab().toImage();
    };
    Show(300, 80);
    edit.setReadOnly(true); // no caret in the pictures
    edit.setCursorWidth(0);
    const QImage empty = render("");
    const QImage plain = render("hidden");
    const QImage hidden = render("\\v hidden\\v0");
    const QImage single = render("\\ul hidden\\ulnone");
    const QImage doubled = render("\\uldb hidden\\ulnone");
    EXPECT_NE(plain, empty);
    EXPECT_NE(hidden, plain);
    EXPECT_NE(doubled, single);
    // Hidden text is drawn as plain text is, with its mark added.
    ASSERT_EQ(hidden.size(), plain.size());
    int glyphPixels = 0;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x)
            if (plain.pixel(x, y) != empty.pixel(x, y)) {
                ++glyphPixels;
                EXPECT_EQ(hidden.pixel(x, y), plain.pixel(x, y)) << x << "," << y;
            }
    EXPECT_GT(glyphPixels, 20);
    if (const char* folder = std::getenv("BW_SCREENSHOTS")) {
        render("plain \\v\\{linkID=20\\}\\v0  and \\uldb jump\\ulnone\\v\\{linkID=30\\}\\v0")
            .save(QString::fromLocal8Bit(folder) + "/richeredit-marks.png");
    }
}
