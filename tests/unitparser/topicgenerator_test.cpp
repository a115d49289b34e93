#include "components/scriptedmessenger.h"
#include "helpproject/bitmapfolders.h"
#include "recordingsink_support.h"
#include "unitparser/pascalhighlight.h"
#include "unitparser/topicgenerator.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>

using namespace unitparser;
using helpproject::AddBitmapFolder;
using unitparser::testing::TRecordingSink;

namespace {

const char* OneComponent = R"(unit Widgets;
interface
type
  TMyButton = class(TButton)
  published
    property Caption: string read FCaption write FCaption; // The text shown
    property Flat: Boolean read FFlat write FFlat;
  end;
implementation
end.
)";

TUnitParser ParseAndNumber(const std::string& source, int first = 1000) {
    TUnitParser parser;
    parser.ParseText(source, "unit.pas");
    ApplySelection(parser);
    AssignTopicNumbers(parser, first);
    return parser;
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(TopicGenerator, OneComponentUnitGivesTheWholeFamily) {
    TUnitParser parser = ParseAndNumber(OneComponent);
    TRecordingSink sink;
    components::TScriptedMessenger messenger;
    GenerateTopics(parser, 1000, sink, {}, &messenger);

    EXPECT_EQ(sink.order, (std::vector<int>{1000, 1001, 1010, 1011, 1012, 1015, 1016, 1020, 1021,
                                            1022, 1025, 1026, 1027}));
    // The gauge: the topic count plus one, from 1, one step per topic.
    EXPECT_EQ(messenger.ProgressTexts, (std::vector<std::string>{"Building help topics..."}));
    EXPECT_EQ(messenger.ProgressMaximum, 14);
    EXPECT_EQ(messenger.ProgressPosition, 14);
    EXPECT_EQ(messenger.ProgressUpdates, 14);
    EXPECT_EQ(messenger.EventPumps, 13);
    EXPECT_FALSE(messenger.ProgressOpen);
    EXPECT_EQ(sink.ended, 1);

    struct Expect {
        int number;
        const char* title;
    };
    for (const Expect& e :
         {Expect{1000, "Widgets unit"}, Expect{1001, "Widgets unit - See also"},
          Expect{1010, "TMyButton component"}, Expect{1011, "TMyButton component - See also"},
          Expect{1012, "TMyButton - Properties"}, Expect{1015, "About the TMyButton component"},
          Expect{1016, "About the TMyButton component - See also"},
          Expect{1020, "Caption property"}, Expect{1021, "Caption property - See also"},
          Expect{1022, "Caption property - Example"}, Expect{1025, "Flat property"}}) {
        EXPECT_EQ(sink.Topic(e.number).title, e.title) << e.number;
        EXPECT_EQ(sink.Topic(e.number).browse, "Widgets:00" + std::to_string(e.number));
    }

    const auto& unit = sink.Topic(1000);
    EXPECT_EQ(unit.k, "Widgets unit;Widgets");
    EXPECT_TRUE(Has(unit.text, "Widgets unit\r\n"));
    EXPECT_EQ(unit.Joined(ColorGreen, false, true), "See also");
    EXPECT_EQ(unit.Joined(ColorGreen, true, false), "TMyButton");
    EXPECT_EQ(unit.Joined(ColorMaroon, false, false), "{linkID=%1001}|{keepn}|{linkID=1010}");
    EXPECT_TRUE(Has(unit.text, "Components\r\n"));
    EXPECT_FALSE(Has(unit.text, "Classes\r\n"));
    EXPECT_EQ(unit.tabs.front(), (std::vector<int>{72, 144, 216, 288, 360, 432}));

    const auto& cls = sink.Topic(1010);
    EXPECT_EQ(cls.k, "TMyButton");
    EXPECT_EQ(cls.a, "TMyButton_Object;TMyButton");
    EXPECT_EQ(cls.Joined(ColorGreen, false, true), "See also|Properties");
    EXPECT_EQ(cls.Joined(ColorGreen, true, false), "Tasks|Widgets");
    EXPECT_EQ(cls.Joined(ColorMaroon, false, false),
              "{linkID=%1011}\t|{linkID=%1012}\t|{linkID=%1015}|{keepn}|{linkID=1000}");
    EXPECT_TRUE(Has(cls.text, "<<< Description of TMyButton component >>>"));

    const auto& tasks = sink.Topic(1015);
    EXPECT_EQ(tasks.Joined(ColorMaroon, false, false), "{linkID=%1016}\t|{linkID=%1010}|{keepn}");
    EXPECT_EQ(tasks.Joined(ColorGreen, true, false), "TMyButton reference");
    EXPECT_TRUE(Has(tasks.text, "<<< purpose of the TMyButton component >>>"));
    EXPECT_TRUE(Has(tasks.text, "<<< how to use the TMyButton component >>>"));

    const auto& list = sink.Topic(1012);
    EXPECT_TRUE(Has(list.text, "Properties\r\n"));
    EXPECT_TRUE(Has(list.text, " Run-time only\t{bmct key.bmp} Key properties\r\n"));
    EXPECT_EQ(list.Joined(ColorGreen, true, false), "Caption|Flat");
    EXPECT_TRUE(Has(list.text, "\t{bmct key.bmp}\tCaption{linkID=1020}\r\n"));

    const auto& caption = sink.Topic(1020);
    EXPECT_EQ(caption.k, "Caption,TMyButton;TMyButton,Caption");
    EXPECT_EQ(caption.a, "TMyButton_Caption;Caption_Property;Caption");
    EXPECT_EQ(caption.Joined(ColorMaroon, false, false),
              "{linkID=%1021}\t|{linkID=%1022}|{keepn}|{linkID=1010}");
    EXPECT_TRUE(Has(caption.text, "Applies to\r\nTMyButton{linkID=1010} component\r\n"));
    EXPECT_TRUE(Has(caption.text, "Description\r\nThe text shown\r\n"));
    EXPECT_FALSE(Has(caption.text, "Run-time only"));
    bool sourceSeen = false;
    for (const auto& piece : caption.pieces)
        if (piece.source) {
            EXPECT_EQ(piece.text, "property Caption: string;");
            EXPECT_EQ(piece.macro, "*SourceCode");
            sourceSeen = true;
        }
    EXPECT_TRUE(sourceSeen);
    EXPECT_TRUE(Has(sink.Topic(1025).text, "<<< Description of Flat property >>>"));
    EXPECT_TRUE(Has(sink.Topic(1021).text, "See also\r\n\r\n<<< See also of Caption property >>>"));
    EXPECT_TRUE(Has(sink.Topic(1022).text, "Caption property example\r\n"));

    EXPECT_EQ(sink.contents,
              (std::vector<std::string>{"1 TMyButton component",
                                        "2 TMyButton component Reference=Vellumar1010",
                                        "2 Properties", "3 Caption property=Vellumar1020",
                                        "3 Flat property=Vellumar1025"}));
}

TEST(TopicGenerator, CommentsCanBeLeftOut) {
    TUnitParser parser = ParseAndNumber(OneComponent);
    TRecordingSink sink;
    GenerateTopics(parser, 1000, sink, TGenerateOptions{false});
    EXPECT_TRUE(Has(sink.Topic(1020).text, "<<< Description of Caption property >>>"));
}

TEST(TopicGenerator, TasksTopicDoesNotCollideWithNextClass) {
    TUnitParser parser = ParseAndNumber("unit U; interface type\n"
                                        "TA = class(TButton) end;\n"
                                        "TB = class(TButton) end;\n"
                                        "TC = class(TObject) end;\n"
                                        "TD = class(TButton) end;\nimplementation\n");
    ASSERT_EQ(parser.ParseObjects.size(), 4u);
    EXPECT_EQ(parser.ParseObjects[0]->TopicNo, 1010);
    EXPECT_EQ(parser.ParseObjects[1]->TopicNo, 1020);
    EXPECT_EQ(parser.ParseObjects[2]->TopicNo, 1030); // a class: no tasks topic
    EXPECT_EQ(parser.ParseObjects[3]->TopicNo, 1035);
    TRecordingSink sink;
    components::TScriptedMessenger messenger;
    GenerateTopics(parser, 1000, sink, {}, &messenger); // the sink refuses a number used twice
    EXPECT_EQ(sink.Topic(1015).title, "About the TA component");
    EXPECT_EQ(sink.Topic(1016).title, "About the TA component - See also");
    EXPECT_EQ(sink.Topic(1025).title, "About the TB component");
    EXPECT_EQ(static_cast<int>(sink.order.size()) + 1, messenger.ProgressMaximum);
}

TEST(TopicGenerator, ExcludedClassLeavesNoGap) {
    TUnitParser parser;
    parser.ParseText("unit U; interface type\n"
                     "TA = class(TButton) published property X: Integer read F; end;\n"
                     "TB = class(TObject) public procedure Go; end;\nimplementation\n",
                     "u.pas");
    parser.ParseObjects[0]->Include = false;
    ApplySelection(parser);
    AssignTopicNumbers(parser, 5000);
    ASSERT_EQ(parser.ParseObjects.size(), 1u);
    EXPECT_EQ(parser.ParseObjects[0]->Name, "TB");
    EXPECT_EQ(parser.ParseObjects[0]->TopicNo, 5010);
    EXPECT_EQ(parser.ParseObjects[0]->Methods[0].topicNo, 5015);
    TRecordingSink sink;
    GenerateTopics(parser, 5000, sink);
    EXPECT_EQ(sink.order, (std::vector<int>{5000, 5001, 5010, 5011, 5013, 5015, 5016, 5017}));
    EXPECT_TRUE(Has(sink.Topic(5000).text, "Classes\r\nTB{linkID=5010}\r\n"));
}

TEST(TopicGenerator, MentionedOnlyMembersGetDelphiLinksAndUnmentionedVanish) {
    TUnitParser parser;
    parser.ParseText("unit U; interface type\n"
                     "TA = class(TButton) published\n property Shown: Integer read F;\n"
                     " property Gone: Integer read F;\n property Linked: Integer read F;\n"
                     "end;\nimplementation\n",
                     "u.pas");
    auto& props = parser.ParseObjects[0]->Properties;
    ASSERT_EQ(props.size(), 3u); // Gone, Linked, Shown
    props[0].flags.mention = props[0].flags.include = false;
    props[2].flags.include = false;
    ApplySelection(parser);
    AssignTopicNumbers(parser, 1000);
    ASSERT_EQ(props.size(), 2u);
    TRecordingSink sink;
    GenerateTopics(parser, 1000, sink);
    const auto& list = sink.Topic(1012);
    EXPECT_FALSE(Has(list.text, "Gone"));
    EXPECT_TRUE(Has(list.text, "Shown{linkDelphi=Shown_Property}"));
    EXPECT_TRUE(Has(list.text, "Linked{linkID=1020}"));
    EXPECT_EQ(list.Joined(ColorGreen, true, false), "Linked|Shown");
    EXPECT_EQ(sink.contents.back(), "3 Linked property=Vellumar1020");
}

TEST(TopicGenerator, ReadOnlyPublicPropertyNotesAndProtectedMethod) {
    TUnitParser parser;
    parser.ParseText("unit U; interface type\n"
                     "TA = class(TButton)\n protected\n procedure Paint; virtual;\n"
                     " public\n property Count: Integer read FCount;\n"
                     " property Sink: Integer write FSink;\nend;\nimplementation\n",
                     "u.pas");
    ASSERT_EQ(parser.ParseObjects[0]->Methods.size(), 1u);
    // A protected member is not included by default; include it.
    parser.ParseObjects[0]->Methods[0].flags.include = true;
    ApplySelection(parser);
    AssignTopicNumbers(parser, 1000);
    TRecordingSink sink;
    GenerateTopics(parser, 1000, sink);
    int count = parser.ParseObjects[0]->Properties[0].topicNo;
    int writeOnly = parser.ParseObjects[0]->Properties[1].topicNo;
    int paint = parser.ParseObjects[0]->Methods[0].topicNo;
    EXPECT_TRUE(Has(sink.Topic(count).text, "Run-time only\r\nRead-only\r\n"));
    EXPECT_TRUE(Has(sink.Topic(writeOnly).text, "Run-time only\r\nWrite-only\r\n"));
    EXPECT_TRUE(Has(sink.Topic(paint).text, "Protected\r\n"));
    EXPECT_EQ(sink.Topic(paint).a, "TA_Paint;Paint_Method;Paint");
    EXPECT_TRUE(Has(sink.Topic(1013).text, "{bmct protect.bmp}\t{bmct key.bmp}\tPaint"));
    EXPECT_TRUE(Has(sink.Topic(1012).text, "{bmct runtime.bmp}\t{bmct key.bmp}\tCount"));
}

TEST(TopicGenerator, DeclarationTopics) {
    TUnitParser parser = ParseAndNumber("unit U; interface\n"
                                        "type TDir = (dUp, dDown); // where\n"
                                        "function Twice(X: Integer): Integer;\n"
                                        "const Limit = 10; Hidden = 2;\n"
                                        "var Counter: Integer;\nimplementation\n");
    parser.ListConsts[0].include = true; // Hidden gets a topic, Limit is only mentioned
    AssignTopicNumbers(parser, 1000);
    TRecordingSink sink;
    GenerateTopics(parser, 1000, sink);
    EXPECT_EQ(parser.ListTypes[0].topicNo, 1010);
    EXPECT_EQ(parser.ListRoutines[0].topicNo, 1015);
    EXPECT_EQ(parser.ListConsts[0].topicNo, 1020);
    EXPECT_EQ(parser.ListConsts[1].topicNo, -1);
    const auto& unit = sink.Topic(1000).text;
    EXPECT_TRUE(Has(unit, "Types\r\nTDir{linkID=1010}\r\n"));
    EXPECT_TRUE(Has(unit, "Routines\r\nTwice{linkID=1015}\r\n"));
    EXPECT_TRUE(Has(unit, "Constants\r\nHidden{linkID=1020}\r\nLimit\r\n"));
    EXPECT_TRUE(Has(unit, "Variables\r\nCounter\r\n"));
    EXPECT_EQ(sink.Topic(1010).title, "TDir type");
    EXPECT_EQ(sink.Topic(1010).k, "TDir");
    EXPECT_TRUE(Has(sink.Topic(1010).text, "type TDir = (dUp, dDown);"));
    EXPECT_TRUE(Has(sink.Topic(1010).text, "Description\r\nwhere\r\n"));
    EXPECT_EQ(sink.Topic(1015).title, "Twice function");
    EXPECT_EQ(sink.Topic(1017).title, "Twice function - Example");
    EXPECT_EQ(sink.Topic(1020).title, "Hidden constant");
    EXPECT_TRUE(Has(sink.Topic(1020).text, "const Hidden = 2"));
    EXPECT_FALSE(sink.topics.count(1012)); // types have no example
}

TEST(TopicGenerator, NumbersNearTheTopAreRefused) {
    EXPECT_EQ(FirstParserTopicNumber(0), 1000);
    EXPECT_EQ(FirstParserTopicNumber(1234), 2000);
    EXPECT_EQ(FirstParserTopicNumber(2147482999), 2147483000);
    EXPECT_THROW(FirstParserTopicNumber(INT_MAX), EParseError);
    EXPECT_THROW(FirstParserTopicNumber(2147483000), EParseError);

    TUnitParser parser;
    parser.ParseText(OneComponent, "w.pas");
    EXPECT_EQ(AssignTopicNumbers(parser, 2147483000), 13); // the last block ends at ..029
    EXPECT_THROW(AssignTopicNumbers(parser, INT_MAX - 20), EParseError);
    EXPECT_THROW(AssignTopicNumbers(parser, INT_MAX), EParseError);
    TUnitParser small;
    small.ParseText("unit U; interface const A = 1; implementation", "u.pas");
    EXPECT_EQ(AssignTopicNumbers(small, INT_MAX - 1), 2);
}

TEST(TopicGenerator, SinkFailureStillEndsGeneration) {
    TUnitParser parser = ParseAndNumber(OneComponent);
    TRecordingSink sink;
    sink.failAfterTopics = 3;
    components::TScriptedMessenger messenger;
    EXPECT_THROW(GenerateTopics(parser, 1000, sink, {}, &messenger), std::runtime_error);
    EXPECT_EQ(sink.order.size(), 3u);
    EXPECT_EQ(sink.ended, 1);
    EXPECT_FALSE(messenger.ProgressOpen);
}

TEST(TopicGenerator, BitmapOfEveryIncludedClass) {
    TUnitParser parser;
    parser.ParseText("unit U; interface type TA = class(TButton) end; TB = class(TButton) end;"
                     " TC = class(TButton) end; TD = class(TButton) end; implementation",
                     "u.pas");
    parser.ParseObjects[0]->BitmapFile = "/art/one/a.bmp";
    parser.ParseObjects[1]->BitmapFile = "/art/two/b.bmp";
    parser.ParseObjects[2]->BitmapFile = "/ART/ONE/c.bmp";
    parser.ParseObjects[3]->BitmapFile = "/art/three/d.bmp";
    parser.ParseObjects[3]->Include = false;
    EXPECT_EQ(BitmapFolders(parser), (std::vector<std::string>{"/art/one", "/art/two"}));

    std::string paths = "/usr/share/brindle,/ART/TWO";
    for (const auto& folder : BitmapFolders(parser))
        AddBitmapFolder(paths, folder);
    EXPECT_EQ(paths, "/usr/share/brindle,/ART/TWO,/art/one");
    std::string empty;
    AddBitmapFolder(empty, "/x/");
    EXPECT_EQ(empty, "/x");

    // The program's own folder comes first: the member-list pictures are there.
    struct Case {
        const char* before;
        const char* programFolder;
        const char* after;
    };
    const Case cases[] = {
        {"", "/opt/brindle/", "/opt/brindle,/art/one,/art/two"},
        {"/pics", "/opt/brindle", "/pics,/opt/brindle,/art/one,/art/two"},
        {"/OPT/Brindle,/art/TWO", "/opt/brindle/", "/OPT/Brindle,/art/TWO,/art/one"},
    };
    for (const Case& c : cases) {
        std::string list = c.before;
        AddGeneratedBitmapFolders(list, parser, c.programFolder);
        EXPECT_EQ(list, c.after) << c.before;
    }

    ApplySelection(parser);
    AssignTopicNumbers(parser, 1000);
    TRecordingSink sink;
    GenerateTopics(parser, 1000, sink);
    EXPECT_TRUE(Has(sink.Topic(1010).text, "{bml a.bmp}\tTA component\r\n"));
    EXPECT_TRUE(Has(sink.Topic(1015).text, "{bml a.bmp}\tAbout the TA component\r\n"));
}

TEST(TopicGenerator, SingularWords) {
    EXPECT_EQ(SingularWord("Properties"), "Property");
    EXPECT_EQ(SingularWord("Methods"), "Method");
    EXPECT_EQ(SingularWord("Events"), "Event");
}

std::string WriteTemp(const std::string& name, const std::string& text) {
    std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

TEST(TopicGenerator, ParsePascalUnitRuns) {
    std::string path = WriteTemp("bw_widgets.pas", OneComponent);
    TUnitParser parser;
    TRecordingSink sink;
    components::TScriptedMessenger messenger;
    EXPECT_EQ(ParsePascalUnit(
                  parser, path, 3000, sink, [](TUnitParser&) { return false; }, &messenger),
              -1);
    EXPECT_TRUE(sink.order.empty());
    EXPECT_EQ(ParsePascalUnit(
                  parser, path, 3000, sink,
                  [](TUnitParser& p) {
                      p.ParseObjects[0]->Properties[0].flags.include = false;
                      return true;
                  },
                  &messenger),
              3000);
    EXPECT_EQ(sink.order.size(), 10u);
    EXPECT_TRUE(messenger.Records.empty());
    EXPECT_EQ(messenger.ProgressMaximum, 11);

    std::string emptyPath = WriteTemp("bw_empty.pas", "unit E; interface uses A; implementation");
    try {
        ParsePascalUnit(parser, emptyPath, 3000, sink, nullptr, &messenger);
        FAIL();
    } catch (const components::EAbort& e) {
        EXPECT_STREQ(e.what(), "") << "a silent abort";
    }
    ASSERT_EQ(messenger.Records.size(), 1u);
    EXPECT_EQ(messenger.Records[0].What, components::TScriptedMessenger::TRecord::Question);
    EXPECT_EQ(messenger.Records[0].Icon, components::TMessageKind::Error);
    EXPECT_EQ(messenger.Records[0].Text, "This unit seems to be quite empty.");
}

// ------------------------------------------------------------ highlighting

struct HighlightCase {
    const char* text;
    std::vector<THighlightSpan> spans;
};

class HighlightTable : public ::testing::TestWithParam<HighlightCase> {};

TEST_P(HighlightTable, Spans) {
    EXPECT_EQ(HighlightPascal(GetParam().text), GetParam().spans);
}

constexpr auto W = THighlightKind::ReservedWord;
constexpr auto C = THighlightKind::Comment;

INSTANTIATE_TEST_SUITE_P(Highlight, HighlightTable,
                         ::testing::Values(HighlightCase{"property Caption: string;",
                                                         {{0, 8, W}, {18, 6, W}}},
                                           HighlightCase{"x := 'begin''end'; end", {{19, 3, W}}},
                                           HighlightCase{"a (* begin *) b { end } // of",
                                                         {{2, 11, C}, {16, 7, C}, {24, 5, C}}},
                                           HighlightCase{"my_begin", {{3, 5, W}}},
                                           HighlightCase{"Int64 begin2 END", {{13, 3, W}}},
                                           HighlightCase{"{ open", {{0, 6, C}}},
                                           HighlightCase{"'open", {}}, HighlightCase{"a(b)/c", {}},
                                           HighlightCase{"\xE9"
                                                         "begin",
                                                         {{1, 5, W}}}));

TEST(Highlight, ReservedWords) {
    for (const char* word : {"begin", "END", "dispinterface", "Library", "xor"})
        EXPECT_TRUE(IsReservedWord(word)) << word;
    for (const char* word : {"", "integer", "beginx", "strict", "sealed"})
        EXPECT_FALSE(IsReservedWord(word)) << word;
}

} // namespace
