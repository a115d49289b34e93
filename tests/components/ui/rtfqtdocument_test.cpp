// The bridge between the RTF engine's document model and QTextDocument:
// every attribute survives model -> QTextDocument -> model, for the engine's
// fixtures, the sample project's topics and a topic holding every attribute.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "components/rtf/rtfdocument.h"
#include "components/rtf/rtfwriter.h"
#include "components/rtf/stringlisttransfer.h"
#include "components/ui/rtfobjectrenderer.h"
#include "components/ui/rtfqtdocument.h"
#include "helpproject/brindlewovenproject.h"
#include "helpproject/textstylemacro.h"

using namespace components::ui;

namespace {

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A topic with every attribute the model knows, in odd values (indents
// that are no whole number of pixels, tab kinds and leaders, fonts with
// character sets and pitches), two equal fields and two equal pictures side
// by side, and an empty paragraph whose mark is formatted.
const char* const kEveryAttribute =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
    "{\\f1\\fmodern\\fprq1\\fcharset0 Courier New;}{\\f2\\froman\\fcharset2\\fprq2 Symbol;}"
    "{\\f3\\fnil\\fcharset238 Odd Face;}}\r\n"
    "{\\colortbl ;\\red0\\green0\\blue0;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}\r\n"
    "\\pard\\qc\\fi-217\\li733\\ri17\\sb7\\sa13\\sl-250\\slmult0\\keepn"
    "\\tqr\\tldot\\tx1003\\tqc\\tx2011\\tqdec\\tlhyph\\tx3001\\tb4000\\tx5000 "
    "\\f0\\fs20 plain \\b bold\\b0  \\i italic\\i0  \\ul single\\ulnone  \\uldb double\\ulnone  "
    "\\uld dotted\\ulnone  \\strike strike\\strike0  \\v hidden\\v0  \\super sup\\nosupersub  "
    "\\sub sub\\nosupersub  \\up6 up\\up0  \\dn4 down\\dn0\\par\r\n"
    "\\pard\\qj\\li360\\sl360\\slmult1 \\f1\\fs17 courier \\f2 symbol \\f3 odd \\f0\\cf2 red\\cf0  "
    "\\cf1 black\\cf0  \\highlight3 marked\\highlight0  a\\line b\\tab c \\'e9\\'80\\'a0\\par\r\n"
    "\\pard{\\pntext\\f2\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'b7}}"
    "\\fi-360\\li360 bullet one\\par\r\n"
    "\\pard{\\pntext\\f2\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'b7}}"
    "\\fi-360\\li360 bullet two\\par\r\n"
    "\\pard\\qr\\b\\fs32\\par\r\n"
    "\\pard\\b0\\fs20 field {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link \\b text}} after "
    "{\\field{\\*\\fldinst PAGE}{\\fldrslt 7}}{\\field{\\*\\fldinst PAGE}{\\fldrslt 8}} pic "
    "{\\pict\\wmetafile8\\picw100\\pich50\\picwgoal600\\pichgoal300 0102ff}"
    "{\\pict\\wmetafile8\\picw100\\pich50\\picwgoal600\\pichgoal300 0102ff} end\\par\r\n"
    "}";

// Parses and normalises, as the model read back from Qt is normalised.
rtf::RtfDocument Model(const std::string& rtfText) {
    rtf::RtfDocument model = rtf::RtfDocument::Parse(rtfText);
    model.Normalize();
    return model;
}

rtf::RtfDocument ThroughQt(const rtf::RtfDocument& model) {
    QTextDocument document;
    ModelToQTextDocument(model, document);
    return QTextDocumentToModel(document);
}

void ExpectSameDocument(const rtf::RtfDocument& expected, const rtf::RtfDocument& actual) {
    EXPECT_EQ(rtf::WriteRtf(actual), rtf::WriteRtf(expected));
    EXPECT_TRUE(actual == expected);
}

bool AnyRun(const rtf::RtfDocument& model, bool (*test)(const rtf::Run&)) {
    for (const rtf::Paragraph& paragraph : model.Paragraphs())
        if (std::any_of(paragraph.runs.begin(), paragraph.runs.end(), test))
            return true;
    return false;
}

} // namespace

TEST(RtfQtRoundTrip, KeepsEveryAttribute) {
    const rtf::RtfDocument model = Model(kEveryAttribute);
    // The fixture really holds what the round trip must keep.
    ASSERT_TRUE(AnyRun(model, [](const rtf::Run& r) { return r.format.hidden; }));
    ASSERT_TRUE(AnyRun(
        model, [](const rtf::Run& r) { return r.format.underline == rtf::UnderlineKind::Double; }));
    ASSERT_TRUE(AnyRun(model, [](const rtf::Run& r) { return r.format.offset != 0; }));
    ASSERT_TRUE(AnyRun(model, [](const rtf::Run& r) { return r.IsObject(); }));
    ASSERT_TRUE(AnyRun(model, [](const rtf::Run& r) { return r.field != nullptr; }));
    ASSERT_EQ(model.Paragraphs()[0].format.tabs.size(), 5u);
    ASSERT_TRUE(model.Paragraphs()[2].format.bullet);

    const rtf::RtfDocument back = ThroughQt(model);
    ExpectSameDocument(model, back);
    // Neighbouring fields of equal instruction stay two fields.
    const std::vector<rtf::Run>& runs = back.Paragraphs()[5].runs;
    std::vector<const std::string*> fields;
    for (const rtf::Run& run : runs)
        if (run.field && (fields.empty() || fields.back() != run.field.get()))
            fields.push_back(run.field.get());
    EXPECT_EQ(fields.size(), 3u);
}

TEST(RtfQtRoundTrip, EngineFixtures) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(BW_TEST_DATA "/rtf")) {
        if (entry.path().extension() != ".rtf")
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        const rtf::RtfDocument model = Model(ReadBytes(entry.path()));
        ExpectSameDocument(model, ThroughQt(model));
        ++count;
    }
    EXPECT_GE(count, 5);
}

TEST(RtfQtRoundTrip, SampleProjectTopics) {
    helpproject::TTextStyleList styles;
    const auto project = helpproject::TBrindlewovenProject::Load(
        BW_SOURCE_DIR "/examples/sample/sample.bwv", &styles);
    ASSERT_GE(project->TopicCount(), 5);
    bool anyHidden = false;
    for (const auto& topic : project->Topics()) {
        SCOPED_TRACE("topic " + std::to_string(topic->Number));
        rtf::RtfDocument model = rtf::LoadFromStrings(topic->Text);
        model.Normalize();
        anyHidden = anyHidden || AnyRun(model, [](const rtf::Run& r) { return r.format.hidden; });
        const rtf::RtfDocument back = ThroughQt(model);
        EXPECT_EQ(rtf::SaveToStrings(back), rtf::SaveToStrings(model));
        EXPECT_TRUE(back == model);
    }
    EXPECT_TRUE(anyHidden); // the sample keeps its markup codes as hidden text
}

TEST(RtfQtRoundTrip, TextOfEveryByte) {
    std::string bytes;
    for (int i = 1; i < 256; ++i)
        if (i != '\r' && i != '\n')
            bytes += static_cast<char>(i);
    EXPECT_EQ(QtTextToModel(ModelTextToQt(bytes)), bytes);
    EXPECT_EQ(ModelTextToQt("a\x0B"
                            "b"),
              QString::fromUtf16(u"a\u2028b"));
    // What Windows-1252 lacks is one "?" per character, also beyond the BMP.
    EXPECT_EQ(QtTextToModel(QString::fromUtf16(u"\u4E2D x \U0001F600 \u20AC")), "? x ? \x80");
    EXPECT_EQ(QtTextToModel(QString::fromUtf16(u"a\u2029b"), "\r\n"), "a\r\nb");
}

TEST(RtfQtFormats, ReadsQtsOwnFormatsWhereNoModelRidesAlong) {
    // Text that came from elsewhere (here Qt's HTML import) has only Qt's
    // own properties; they are read for what they show.
    QTextDocument document;
    document.setHtml("<p align=center><b>bold</b> <u>under</u> <s>gone</s> "
                     "<span style='color:#ff0000'>red</span> <sup>up</sup></p>");
    const rtf::RtfDocument model = QTextDocumentToModel(document);
    ASSERT_EQ(model.Paragraphs().size(), 1u);
    const rtf::Paragraph& paragraph = model.Paragraphs()[0];
    EXPECT_EQ(paragraph.format.alignment, rtf::Alignment::Center);
    auto formatOf = [&](const std::string& text) {
        for (const rtf::Run& run : paragraph.runs)
            if (run.text == text)
                return run.format;
        ADD_FAILURE() << "no run " << text;
        return rtf::CharFormat{};
    };
    EXPECT_TRUE(formatOf("bold").bold);
    EXPECT_EQ(formatOf("under").underline, rtf::UnderlineKind::Single);
    EXPECT_TRUE(formatOf("gone").strike);
    EXPECT_EQ(formatOf("red").color, rtf::Color::Rgb(255, 0, 0));
    EXPECT_EQ(formatOf("up").script, rtf::ScriptKind::Super);
    EXPECT_TRUE(formatOf(" ").color.isAuto);
}

TEST(RtfQtFormats, TypingIntoAnEmptyParagraphUsesItsMark) {
    const rtf::RtfDocument model = Model("{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}}"
                                         "\\pard\\fs20 first\\par\\pard\\b\\fs32\\par\\pard\\b0 "
                                         "last\\par}");
    QTextDocument document;
    ModelToQTextDocument(model, document);
    QTextCursor cursor(document.findBlockByNumber(1));
    cursor.insertText("typed");
    const rtf::RtfDocument back = QTextDocumentToModel(document);
    ASSERT_EQ(back.Paragraphs()[1].runs.size(), 1u);
    EXPECT_TRUE(back.Paragraphs()[1].runs[0].format.bold);
    EXPECT_EQ(back.Paragraphs()[1].runs[0].format.size, 32);
}

TEST(RtfQtRanges, CopyAndInsertKeepFormatsAndParagraphs) {
    const rtf::RtfDocument model = Model("{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}}"
                                         "\\pard\\qc one \\v\\{linkID=20\\}\\v0  two\\par"
                                         "\\pard\\li720 three \\uldb four\\ulnone\\par"
                                         "\\pard\\qr target\\par}");
    QTextDocument document;
    ModelToQTextDocument(model, document);
    // From "two" to the middle of "four": one whole paragraph end inside.
    const QString text = document.toPlainText();
    const int from = static_cast<int>(text.indexOf("two"));
    const int to = static_cast<int>(text.indexOf("four")) + 2;
    const rtf::RtfDocument piece = QTextRangeToModel(document, from, to);
    ASSERT_EQ(piece.Paragraphs().size(), 2u);
    EXPECT_EQ(piece.Paragraphs()[0].Text(), "two");
    EXPECT_EQ(piece.Paragraphs()[1].Text(), "three fo"); // the open tail

    // Into "target" after "tar": "tar" + "two" closes a paragraph of the
    // copied format, the tail "three fo" joins "get" in the old paragraph.
    QTextCursor cursor(document.lastBlock());
    cursor.setPosition(document.lastBlock().position() + 3);
    InsertModel(cursor, piece);
    const rtf::RtfDocument back = QTextDocumentToModel(document);
    ASSERT_EQ(back.Paragraphs().size(), 4u);
    EXPECT_EQ(back.Paragraphs()[2].Text(), "tartwo");
    EXPECT_EQ(back.Paragraphs()[2].format.alignment, rtf::Alignment::Center);
    EXPECT_EQ(back.Paragraphs()[3].Text(), "three foget");
    EXPECT_EQ(back.Paragraphs()[3].format.alignment, rtf::Alignment::Right);
    EXPECT_EQ(back.Paragraphs()[3].format.leftIndent, 0);
    bool doubled = false;
    for (const rtf::Run& run : back.Paragraphs()[3].runs)
        doubled =
            doubled || (run.text == "fo" && run.format.underline == rtf::UnderlineKind::Double);
    EXPECT_TRUE(doubled);
}

TEST(RtfQtRanges, BulletsFollowTheirParagraphs) {
    QTextDocument document;
    ModelToQTextDocument(Model("{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}}"
                               "\\pard a\\par\\pard b\\par\\pard c\\par}"),
                         document);
    rtf::ParaFormat bullet;
    bullet.bullet = true;
    bullet.leftIndent = 360;
    SetBlockParaFormat(document.findBlockByNumber(1), bullet);
    SetBlockParaFormat(document.findBlockByNumber(2), bullet);
    EXPECT_EQ(document.findBlockByNumber(1).textList(), document.findBlockByNumber(2).textList());
    rtf::RtfDocument back = QTextDocumentToModel(document);
    EXPECT_FALSE(back.Paragraphs()[0].format.bullet);
    EXPECT_TRUE(back.Paragraphs()[1].format.bullet);
    EXPECT_EQ(back.Paragraphs()[2].format.leftIndent, 360);
    SetBlockParaFormat(document.findBlockByNumber(1), rtf::ParaFormat{});
    back = QTextDocumentToModel(document);
    EXPECT_FALSE(back.Paragraphs()[1].format.bullet);
    EXPECT_TRUE(back.Paragraphs()[2].format.bullet);
}

TEST(RtfObjects, PicturesAndBoxes) {
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    const std::string pngRtf =
        "{\\pict\\pngblip\\picw3\\pich2\\picwgoal90\\pichgoal60 " + png.toHex().toStdString() + "}";
    const RtfObjectPicture picture = DecodeRtfObject(pngRtf);
    ASSERT_FALSE(picture.image.isNull());
    EXPECT_EQ(picture.image.size(), QSize(3, 2));
    EXPECT_EQ(picture.size, QSizeF(6, 4)); // 90 x 60 twips

    struct Case {
        const char* rtf;
        QSizeF size;
        const char* label;
    };
    const Case cases[] = {
        {"{\\pict\\wmetafile8\\picw2540\\pich1270 0102}", {96, 48}, "picture"},
        {"{\\pict\\pngblip\\picwgoal150\\pichgoal300 00ff}", {10, 20}, "picture"}, // bad data
        {"{\\object\\objemb{\\*\\objdata 00}}", {32, 32}, "object"},
        {"{\\pict\\picwgoal999999999\\pichgoal15 00}", {4096, 1}, "picture"},
        {"{\\footnote\\pard x}", {}, "footnote"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rtf);
        const RtfObjectPicture box = DecodeRtfObject(c.rtf);
        EXPECT_TRUE(box.image.isNull());
        EXPECT_EQ(box.size, c.size);
        EXPECT_EQ(box.label, QString::fromLatin1(c.label));
    }
}
