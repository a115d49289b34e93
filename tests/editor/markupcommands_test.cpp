#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "editor/defaulttextstyles.h"
#include "editor/documenttexteditor.h"
#include "editor/markupcommands.h"

using namespace editor;

namespace {

// A run as the tests compare it: text, colour (as a TColor, -1 for the
// automatic colour), underlined, struck out.
struct TRunLook {
    std::string text;
    std::int64_t color;
    bool underline;
    bool strike;
    bool operator==(const TRunLook&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TRunLook& r) {
    return out << '"' << r.text << "\" color " << r.color << (r.underline ? " underline" : "")
               << (r.strike ? " strike" : "");
}

std::vector<TRunLook> Runs(const TDocumentTextEditor& editor) {
    std::vector<TRunLook> runs;
    const auto& document = editor.Document();
    const auto& paragraph = document.Paragraphs().front();
    for (std::size_t i = 0; i < paragraph.runs.size(); ++i) {
        const rtf::CharFormat& format = document.FormatOf(paragraph.runs[i]);
        runs.push_back({std::string(rtf::RunText(paragraph, i)),
                        format.color.isAuto ? -1 : std::int64_t(format.color.ToTColor()),
                        format.underline != rtf::UnderlineKind::None, format.strike});
    }
    return runs;
}

// "Hello world" with "world" selected.
TDocumentTextEditor HelloWorld() {
    TDocumentTextEditor editor(rtf::RtfDocument::FromPlainText("Hello world"));
    editor.SetSelection(6, 5);
    return editor;
}

helpproject::TBrindlewovenTopic Target(const char* window) {
    helpproject::TBrindlewovenTopic topic(20, "Details");
    topic.Window = window;
    return topic;
}

} // namespace

TEST(MarkupCommands, JumpLinkIsGreenStruckOutWithAMaroonCode) {
    TDocumentTextEditor editor = HelloWorld();
    InsertTopicLink(editor, Target("main"), THotspotKind::Jump);
    EXPECT_EQ(Runs(editor), (std::vector<TRunLook>{{"Hello ", -1, false, false},
                                                   {"world", clGreen, false, true},
                                                   {"{linkID=20>main}", clMaroon, false, false}}));
    // Typing goes on in the text's own look, neither code nor hotspot.
    editor.ReplaceSelection("!");
    EXPECT_EQ(Runs(editor).back(), (TRunLook{"!", -1, false, false}));
    EXPECT_TRUE(editor.Modified());
}

// Behind any code, typing takes again the look the text had where the code
// went in: its colour, underline and strike-out, not the code's maroon.
TEST(MarkupCommands, TypingBehindACodeHasTheTextsLook) {
    struct Case {
        const char* name;
        void (*insert)(ITextEditor&);
    };
    const Case cases[] = {
        {"keepn", InsertKeepn},
        {"target", [](ITextEditor& e) { InsertTarget(e, "here"); }},
        {"file link", [](ITextEditor& e) { InsertFileLink(e, "/docs/manual.pdf"); }},
        {"jump", [](ITextEditor& e) { InsertTopicLink(e, Target(""), THotspotKind::Jump); }},
        {"popup", [](ITextEditor& e) { InsertTopicLink(e, Target(""), THotspotKind::Popup); }},
    };
    for (const Case& c : cases) {
        TDocumentTextEditor editor(rtf::RtfDocument::FromPlainText("ab"));
        rtf::CharFormat look;
        look.color = rtf::Color::FromTColor(clBlue);
        look.underline = rtf::UnderlineKind::Double;
        editor.SetRangeFormat(0, 2, look, rtf::kCharColor | rtf::kCharUnderline);
        editor.SetSelection(2, 0);
        c.insert(editor);
        editor.ReplaceSelection("!");
        const auto runs = Runs(editor);
        ASSERT_GE(runs.size(), 3u) << c.name;
        EXPECT_EQ(runs[runs.size() - 2].color, clMaroon) << c.name;
        EXPECT_EQ(runs.back(), (TRunLook{"!", clBlue, true, false})) << c.name;
    }
}

TEST(MarkupCommands, PopupLinkIsGreenUnderlinedAndNamesNoWindow) {
    TDocumentTextEditor editor = HelloWorld();
    InsertTopicLink(editor, Target("main"), THotspotKind::Popup);
    EXPECT_EQ(Runs(editor), (std::vector<TRunLook>{{"Hello ", -1, false, false},
                                                   {"world", clGreen, true, false},
                                                   {"{linkID=20}", clMaroon, false, false}}));
}

TEST(MarkupCommands, LinkWithoutSelectionTakesTheTitleAsHotspot) {
    TDocumentTextEditor editor(rtf::RtfDocument::FromPlainText("See "));
    editor.SetSelection(4, 0);
    InsertTopicLink(editor, Target(""), THotspotKind::Jump);
    EXPECT_EQ(editor.TextRange(0, editor.TextLength()), "See Details{linkID=20}\r");
    EXPECT_EQ(Runs(editor)[1], (TRunLook{"Details", clGreen, false, true}));
}

TEST(MarkupCommands, InternetLink) {
    TDocumentTextEditor editor = HelloWorld();
    InsertInternetLink(editor, "our site", "http://example.org",
                       DefaultTextStyle(kInternetLinkStyle), DefaultTextStyle(kTopicTextStyle));
    EXPECT_EQ(editor.TextRange(0, editor.TextLength()),
              "Hello our site{link=*! ExecFile(\"http://example.org\")}\r");
    const auto runs = Runs(editor);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[1], (TRunLook{"our site", clBlue, false, true}));
    const auto& document = editor.Document();
    EXPECT_EQ(document.FormatOf(document.Paragraphs().front().runs[1]).face, "Courier New");
    EXPECT_EQ(runs[2].color, clMaroon);
    EXPECT_FALSE(runs[2].strike);
    // Typing goes on in the topic text's font.
    EXPECT_EQ(editor.SelFormat().Format.face, "Arial");
    EXPECT_TRUE(editor.SelFormat().Format.color.isAuto);
}

TEST(MarkupCommands, CodesAndWhereTheCaretGoes) {
    struct Case {
        void (*insert)(ITextEditor&);
        const char* text;
        std::size_t caret;
    };
    const Case cases[] = {
        {InsertKeepn, "ab{keepn}\r", 9},
        {InsertRtfCode, "ab{rtf=}\r", 7},
        {InsertHtmlCode, "ab{html=}\r", 8},
        {[](ITextEditor& e) { InsertFileLink(e, "/docs/manual.pdf"); },
         "abmanual.pdf{linkFile=manual.pdf}\r", 33},
        {[](ITextEditor& e) { InsertTarget(e, "my target-1!"); }, "ab{target=mytarget1}\r", 20},
        {[](ITextEditor& e) { InsertTarget(e, "!!"); }, "ab\r", 2},
    };
    for (const Case& c : cases) {
        TDocumentTextEditor editor(rtf::RtfDocument::FromPlainText("ab"));
        editor.SetSelection(2, 0);
        c.insert(editor);
        EXPECT_EQ(editor.TextRange(0, editor.TextLength()), c.text);
        EXPECT_EQ(editor.SelStart(), c.caret) << c.text;
    }
}

// Where typing right behind a code takes its look from. In the paragraphs
// below, "H" marks hotspot text: characters look alike when both are "H"
// or both are not.
TEST(MarkupCommands, TextLookBehindACode) {
    struct Case {
        const char* paragraph;
        std::size_t caret;
        std::optional<std::size_t> from; // npos: behind a code, plain look
    };
    constexpr std::size_t plain = std::string::npos;
    const Case cases[] = {
        {"See HHHH{linkID=30}", 19, 3},       // over the hotspot to the text before
        {"See HHHH{linkID=30}. Done", 19, 3}, // the same with text after the caret
        {"HHHH{linkID=30}. Done", 15, 15},    // nothing before: the text after
        {"HHHH{linkID=30}", 15, plain},       // nothing at all: the plain look
        {"ab{keepn}cd", 9, 1},                // no hotspot to step over
        {"{keepn}{target=x}", 17, plain},     // behind another code
        {"a{KEEPN}", 8, 0},                   // keywords in any case
        {"ab{keepn}cd", 8, std::nullopt},     // inside the code
        {"ab{keepn}cd", 10, std::nullopt},    // not directly behind it
        {"a{nocode}b", 9, std::nullopt},      // braces that make no code
        {"a}b", 2, std::nullopt},
    };
    for (const Case& c : cases) {
        const std::string_view p = c.paragraph;
        const auto sameLook = [p](std::size_t a, std::size_t b) {
            return (p[a] == 'H') == (p[b] == 'H');
        };
        const auto look = editor::TextLookBehindCode(p, c.caret, sameLook);
        if (!c.from) {
            EXPECT_FALSE(look) << p << " at " << c.caret;
            continue;
        }
        ASSERT_TRUE(look) << p << " at " << c.caret;
        EXPECT_EQ(look->From.value_or(plain), *c.from) << p << " at " << c.caret;
    }
}

TEST(MarkupCommands, CodeGoesBehindTheSelection) {
    TDocumentTextEditor editor = HelloWorld();
    editor.SetSelection(0, 5);
    InsertKeepn(editor);
    EXPECT_EQ(editor.TextRange(0, editor.TextLength()), "Hello{keepn} world\r");
}

TEST(MarkupCommands, BitmapsAndMoviesAddTheirFolderOnce) {
    helpproject::TBrindlewovenProject project;
    TDocumentTextEditor editor;
    InsertBitmap(editor, project, "/pics/logo.bmp", TBitmapAlign::Left, true);
    EXPECT_EQ(project.BitmapPaths, "/pics");
    InsertBitmap(editor, project, "/PICS/other.bmp", TBitmapAlign::Character, false);
    EXPECT_EQ(project.BitmapPaths, "/pics");
    InsertFlash(editor, project, "/pics2/intro.swf");
    EXPECT_EQ(project.BitmapPaths, "/pics,/pics2");
    EXPECT_EQ(editor.TextRange(0, editor.TextLength()),
              "{bmlt logo.bmp}{bmc other.bmp}{flash=intro.swf}\r");
    EXPECT_EQ(BitmapCode("a\\b.shg", TBitmapAlign::Right, false), "{bmr b.shg}");
}

TEST(MarkupCommands, FlashOnlyForHtmlHelpOrNoCompiler) {
    helpproject::TBrindlewovenProject project;
    for (auto [compiler, allowed] : {std::pair{-1, true}, {0, false}, {1, false}, {2, true}}) {
        project.Compiler = static_cast<helpproject::THelpCompiler>(compiler);
        EXPECT_EQ(FlashAllowed(project), allowed) << compiler;
    }
}

TEST(MarkupCommands, ButtonCode) {
    EXPECT_EQ(ButtonCode("Go", "20"), "{button Go,20}");
    EXPECT_EQ(ButtonCode("Back", "Back()"), "{button Back,Back()}");
}

// Follow Link is offered only for a code whose target is a topic number.
TEST(MarkupCommands, FollowLink) {
    struct Case {
        const char* text;
        std::size_t caret;
        std::int32_t number; // 0: not offered
    };
    const Case cases[] = {
        {"See this{linkID=12}", 4, 12},
        {"ab{linkID=12}", 2, 12},
        {"xxxxxxxx{linkID=*12>main}", 10, 12},
        {"xxxxxxxxxxxxx{link=intro}", 13, 0}, // a context string
        {"xxxxxxxxxxxxx{linkID=1x2}", 13, 0}, // not a number
        {"xxxxxxxxxxxxx{target=}", 13, 0},    // nothing after "="
        {"a{link=12}", 1, 0},                 // the brace at position 9
        {"Some long text {linkID=12}", 0, 0}, // the brace too far away
        {"xxxxxxxxxxxxx{keepn}", 13, 0},      // no "="
        {"xxxxxxxxxxxxx{linkID=0}", 13, 0},
    };
    for (const Case& c : cases) {
        const auto link = FollowLinkAt(c.text, c.caret);
        if (c.number == 0) {
            EXPECT_FALSE(link.has_value()) << c.text;
            continue;
        }
        ASSERT_TRUE(link.has_value()) << c.text;
        EXPECT_EQ(link->Number, c.number);
        EXPECT_EQ(link->Caption, "&Follow Link to #" + std::to_string(c.number));
    }
}

TEST(MarkupCommands, TextThatWouldEndOrOpenACodeIsRefused) {
    struct Case {
        const char* text;
        TCodeQuoting quoting;
        const char* problem; // empty: may go in
    };
    const char* const braces = "The name cannot contain \"{\" or \"}\": a markup code ends at "
                               "\"}\", and \"{\" opens another.";
    const char* const quote =
        "The name cannot contain a double quote: the code puts it between double quotes.";
    const Case cases[] = {
        {"https://ex.example/x}{keepn}", TCodeQuoting::Quoted, braces},
        {"ev}il {x.bmp", TCodeQuoting::Unquoted, braces},
        {"open{", TCodeQuoting::Unquoted, braces},
        {"say \"hi\"", TCodeQuoting::Quoted, quote},
        {"JumpID(\"a.hlp\",\"x\")", TCodeQuoting::Unquoted, ""},
        {"plain name.bmp", TCodeQuoting::Quoted, ""},
        {"", TCodeQuoting::Quoted, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CodeTextProblem("The name", c.text, c.quoting), c.problem) << c.text;
}

TEST(MarkupCommands, CommandsRefuseNamesThatWouldBreakTheirCodeAndChangeNothing) {
    helpproject::TBrindlewovenProject project;
    project.BitmapPaths.clear();
    const helpproject::TTextStyleMacro& link = DefaultTextStyle(kInternetLinkStyle);
    const helpproject::TTextStyleMacro& body = DefaultTextStyle(kTopicTextStyle);
    struct Case {
        const char* name;
        std::function<void(ITextEditor&)> insert;
        const char* message;
    };
    const Case cases[] = {
        {"internet address with braces",
         [&](ITextEditor& e) {
             InsertInternetLink(e, "x", "https://ex.example/x}{keepn}", link, body);
         },
         "The address cannot contain \"{\""},
        {"internet address with a quote",
         [&](ITextEditor& e) { InsertInternetLink(e, "x", "a\"b", link, body); },
         "The address cannot contain a double quote"},
        {"bitmap",
         [&](ITextEditor& e) {
             InsertBitmap(e, project, "/pics/ev}il {x.bmp", TBitmapAlign::Right, true);
         },
         "The file name \"ev}il {x.bmp\" cannot contain \"{\""},
        {"movie", [&](ITextEditor& e) { InsertFlash(e, project, "/m/a{b.swf"); },
         "The file name \"a{b.swf\" cannot contain"},
        {"linked file with a quote", [](ITextEditor& e) { InsertFileLink(e, "/d/say\"hi\".pdf"); },
         "The file name \"say\"hi\".pdf\" cannot contain a double quote"},
        {"window of the linked topic",
         [](ITextEditor& e) { InsertTopicLink(e, Target("w}x"), THotspotKind::Jump); },
         "The window of topic #20 cannot contain"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TDocumentTextEditor editor = HelloWorld();
        try {
            c.insert(editor);
            ADD_FAILURE() << "inserted";
        } catch (const ECodeText& error) {
            EXPECT_EQ(std::string(error.what()).rfind(c.message, 0), 0u) << error.what();
        }
        EXPECT_EQ(editor.TextRange(0, editor.TextLength()), "Hello world\r");
        EXPECT_FALSE(editor.Modified());
        EXPECT_EQ(project.BitmapPaths, "");
    }
    // A popup names no window, so the same topic links fine as one.
    TDocumentTextEditor editor = HelloWorld();
    InsertTopicLink(editor, Target("w}x"), THotspotKind::Popup);
    EXPECT_EQ(editor.TextRange(0, editor.TextLength()), "Hello world{linkID=20}\r");
}
