#include "editor/linkserver.h"

#include <gtest/gtest.h>

#include <cstring>

#include "components/scriptedmessenger.h"
#include "editor/editorcontext.h"
#include "editor/linkprotocol.h"
#include "platform/registry.h"
#include "tests/editor/editorfixture_support.h"
#include "tests/editor/linkdata_support.h"

namespace {

using editor::TLinkClient;
using editor::TLinkFrame;
using editor::TLinkFrameKind;
using editor::TLinkFrameReader;
using editor::TLinkServer;
using editortest::NumberData;
using Status = TLinkFrameReader::TStatus;

std::string Text(const std::string& text) {
    return text + '\0';
}

// Lines joined by CRLF.
std::string Lines(std::initializer_list<const char*> lines) {
    std::string out;
    for (const char* line : lines) {
        if (line != *lines.begin())
            out += "\r\n";
        out += line;
    }
    return out;
}

// ---- the frame codec -------------------------------------------------------------

TEST(LinkFrameTest, RoundTripInPiecesOfAnySize) {
    const TLinkFrame sent{TLinkFrameKind::Reply, 7, 2, -5, std::string("a\0b\xE9", 4)};
    const std::string bytes = editor::EncodeLinkFrame(sent) + editor::EncodeLinkFrame(sent);
    ASSERT_EQ(bytes.size(), 2 * (editor::kLinkHeaderSize + 4));
    EXPECT_EQ(bytes.substr(0, 8), std::string("BWLK\x03\0\0\0", 8));
    EXPECT_EQ(bytes.substr(16, 4), std::string("\xFB\xFF\xFF\xFF", 4));
    TLinkFrameReader reader;
    std::vector<TLinkFrame> got;
    for (char byte : bytes) {
        reader.Feed(std::string_view(&byte, 1));
        TLinkFrame frame;
        while (reader.Next(frame) == Status::Frame)
            got.push_back(frame);
    }
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], sent);
    EXPECT_EQ(got[1], sent);
    EXPECT_EQ(reader.Pending(), 0u);
}

TEST(LinkFrameTest, MalformedHeadersAreErrors) {
    struct TCase {
        const char* name;
        std::string bytes;
    };
    std::string oversized = editor::EncodeLinkFrame({TLinkFrameKind::Command, 1, 1, 0, ""});
    oversized[20] = 1;
    oversized[22] = 0x10; // 1 MiB + 1
    std::string badKind = editor::EncodeLinkFrame({TLinkFrameKind::Command, 1, 1, 0, ""});
    badKind[4] = 9;
    std::string badMagic = editor::EncodeLinkFrame({TLinkFrameKind::Command, 1, 1, 0, ""});
    badMagic[0] = 'X';
    for (const TCase& c :
         {TCase{"oversized", oversized}, TCase{"kind", badKind}, TCase{"magic", badMagic}}) {
        TLinkFrameReader reader;
        reader.Feed(c.bytes);
        TLinkFrame frame;
        EXPECT_EQ(reader.Next(frame), Status::Error) << c.name;
        EXPECT_FALSE(reader.ErrorText().empty()) << c.name;
        reader.Feed(editor::EncodeLinkFrame({}));
        EXPECT_EQ(reader.Next(frame), Status::Error) << c.name; // stays broken
    }
    TLinkFrameReader truncated;
    truncated.Feed(std::string_view("BWLK\x01\0\0", 7));
    TLinkFrame frame;
    EXPECT_EQ(truncated.Next(frame), Status::NeedMore);
    EXPECT_EQ(truncated.Pending(), 7u);
    TLinkFrame big;
    big.Payload.assign(editor::kMaxLinkPayload + 1, 'x');
    EXPECT_THROW(editor::EncodeLinkFrame(big), std::length_error);
}

// ---- the server over a project of topics 10, 20, 30 ---------------------------------

class TLinkView : public editortest::TFakeView {
public:
    TLinkServer* server = nullptr;
    void TopicStored(const helpproject::TBrindlewovenTopic& topic) override {
        TFakeView::TopicStored(topic);
        if (server)
            server->NotifyLinkClients();
    }
};

struct TSent {
    std::uint64_t connection;
    TLinkFrame frame;
};

class LinkServerTest : public ::testing::Test {
protected:
    LinkServerTest()
        : registry_(platform::OpenMemoryRegistry()), context_(messenger_, *registry_),
          server_(context_, [this](std::uint64_t c, const TLinkFrame& f) {
              sent_.push_back({c, f});
          }) {
        view_.server = &server_;
        context_.CreateTopicEditor(view_);
        context_.Session().ReplaceProject(editortest::ProjectWith({10, 20, 30}));
        context_.TopicEditor().ProjectReplaced();
        context_.Session().SetCurrentTopic(context_.Project().TopicByNumber(10));
        context_.TopicEditor().ShowTopic();
    }

    // Sends a command and runs what is queued; returns the result frame's value.
    std::int32_t Send(const TLinkClient& client, std::uint32_t command, std::string data = {}) {
        sent_.clear();
        server_.Submit(client.Connection,
                       {TLinkFrameKind::Command, client.Window, command, 0, std::move(data)});
        server_.Pump();
        EXPECT_FALSE(sent_.empty());
        if (sent_.empty())
            return -1;
        const TSent result = sent_.front();
        EXPECT_EQ(result.frame.Kind, TLinkFrameKind::Result);
        EXPECT_EQ(result.frame.Number, command);
        EXPECT_EQ(result.frame.Window, client.Window);
        EXPECT_EQ(result.connection, client.Connection);
        sent_.erase(sent_.begin());
        return result.frame.Value;
    }
    std::vector<std::string> Replies(std::uint32_t number) const {
        std::vector<std::string> out;
        for (const TSent& s : sent_)
            if (s.frame.Kind == TLinkFrameKind::Reply && s.frame.Number == number)
                out.push_back(s.frame.Payload);
        return out;
    }
    std::int32_t Current() { return context_.TopicEditor().CurrentTopic()->Number; }
    std::vector<std::int32_t> Numbers() {
        std::vector<std::int32_t> out;
        for (const auto& topic : context_.Project().Topics())
            out.push_back(topic->Number);
        return out;
    }

    components::TScriptedMessenger messenger_;
    std::unique_ptr<platform::Registry> registry_;
    TLinkView view_;
    editor::TEditorContext context_;
    std::vector<TSent> sent_;
    TLinkServer server_;
    const TLinkClient a_{1, 100};
    const TLinkClient b_{1, 101}; // a second window on the same connection
};

const std::string kTitleList = Text("T10 (10)\r\nT20 (20)\r\nT30 (30)");
const std::string kNumberList = Text("10: T10\r\n20: T20\r\n30: T30");

TEST_F(LinkServerTest, RegisterSelectAndUnregister) {
    EXPECT_EQ(Send(a_, TLinkServer::cmRegister), 1);
    EXPECT_EQ(Replies(1), std::vector<std::string>{kTitleList});
    EXPECT_EQ(Send(a_, TLinkServer::cmSelectList1), 1);
    EXPECT_EQ(Replies(1), std::vector<std::string>{kNumberList});
    // Registering again answers 0 and keeps the slot and its flag.
    EXPECT_EQ(Send(a_, TLinkServer::cmRegister), 0);
    EXPECT_TRUE(sent_.empty());
    EXPECT_EQ(server_.Slots()[0].Flag, 1);
    EXPECT_EQ(Send(a_, TLinkServer::cmSelectList0), 1);
    EXPECT_EQ(Replies(1), std::vector<std::string>{kTitleList});
    // The other window of the connection is a client of its own.
    EXPECT_EQ(Send(b_, TLinkServer::cmSelectList1), 0);
    EXPECT_EQ(Send(b_, TLinkServer::cmUnregister), 0);
    EXPECT_EQ(Send(a_, TLinkServer::cmUnregister), 1);
    EXPECT_EQ(Send(a_, TLinkServer::cmUnregister), 0);
    EXPECT_FALSE(server_.AnyClientRegistered());
    EXPECT_EQ(Send(a_, 9), 0);
    EXPECT_EQ(Send(a_, 0), 0);
}

TEST_F(LinkServerTest, SixteenSlotsAndTheSeventeenthClient) {
    for (std::uint32_t window = 1; window <= 16; ++window)
        EXPECT_EQ(Send({2, window}, TLinkServer::cmRegister), 1) << window;
    EXPECT_EQ(Send({2, 17}, TLinkServer::cmRegister), 0);
    EXPECT_TRUE(sent_.empty());
    EXPECT_EQ(Send({2, 17}, TLinkServer::cmSelectList1), 0); // nothing was stored
    EXPECT_EQ(Send({2, 5}, TLinkServer::cmUnregister), 1);
    EXPECT_EQ(Send({2, 17}, TLinkServer::cmRegister), 1);
    EXPECT_EQ(server_.Slots()[4].Client, (TLinkClient{2, 17})); // the freed slot
}

TEST_F(LinkServerTest, AStoredEditSendsEveryClientItsListAgain) {
    Send(a_, TLinkServer::cmRegister);
    Send(b_, TLinkServer::cmRegister);
    Send(a_, TLinkServer::cmSelectList1);
    sent_.clear();
    context_.TopicEditor().TitleTyped("Renamed");
    context_.TopicEditor().StoreTopic();
    server_.Pump();
    ASSERT_EQ(sent_.size(), 2u);
    EXPECT_EQ(sent_[0].frame.Window, a_.Window);
    EXPECT_EQ(sent_[0].frame.Payload, Text("10: Renamed\r\n20: T20\r\n30: T30"));
    EXPECT_EQ(sent_[1].frame.Window, b_.Window);
    EXPECT_EQ(sent_[1].frame.Payload, Text("Renamed (10)\r\nT20 (20)\r\nT30 (30)"));
    // A bulk operation's stores tell nobody.
    sent_.clear();
    context_.TopicEditor().SetBulkUpdate(true);
    context_.TopicEditor().TitleTyped("Again");
    context_.TopicEditor().StoreTopic();
    context_.TopicEditor().SetBulkUpdate(false);
    server_.Pump();
    EXPECT_TRUE(sent_.empty());
}

TEST_F(LinkServerTest, ShowTopicTakesTheFirstNumberNotBelow) {
    const struct {
        std::int32_t asked;
        std::int32_t shown;
    } cases[] = {{20, 20}, {11, 20}, {21, 30}, {31, 10}, {-5, 10}, {2147483647, 10}};
    for (const auto& c : cases) {
        EXPECT_EQ(Send(a_, TLinkServer::cmShowTopic, NumberData(c.asked)), 1) << c.asked;
        EXPECT_EQ(Current(), c.shown) << c.asked;
    }
}

TEST_F(LinkServerTest, CreateTopicFromNineLines) {
    const struct {
        const char* name;
        std::string text;
        std::int32_t result;
    } cases[] = {
        {"eight lines", Lines({"25", "T", "", "", "", "", "", ""}), 0},
        {"ten lines", Lines({"25", "T", "", "", "", "", "", "m", "x", "y"}), 0},
        {"free number",
         Lines({"25", "New", "k1;k2", "b1", "seq", "Tag", "Done", "main", "Macro()"}), 25},
        {"taken number", Lines({"20", "Taken", "", "", "", "", "", "", ""}), 21},
        {"zero", Lines({"0", "Zero", "", "", "", "", "", "", ""}), 0},
        {"not a number", Lines({"x1", "NaN", "", "", "", "", "", "", ""}), 0},
    };
    for (const auto& c : cases) {
        const std::vector<std::int32_t> before = Numbers();
        const std::int32_t current = Current();
        const std::int32_t result = Send(a_, TLinkServer::cmCreateTopic, c.text + '\0');
        if (std::string(c.name) == "zero" || std::string(c.name) == "not a number") {
            // Numbered after the current topic as New Topic numbers it.
            EXPECT_GT(result, current) << c.name;
            EXPECT_EQ(Numbers().size(), before.size() + 1) << c.name;
            EXPECT_EQ(Current(), result) << c.name;
            continue;
        }
        EXPECT_EQ(result, c.result) << c.name;
        if (c.result == 0) {
            EXPECT_EQ(Numbers(), before) << c.name;
            continue;
        }
        EXPECT_EQ(Current(), c.result) << c.name;
    }
    const helpproject::TBrindlewovenTopic& made = *context_.Project().TopicByNumber(25);
    EXPECT_EQ(made.Title, "New");
    EXPECT_EQ(made.KKeywords, "k1;k2");
    EXPECT_EQ(made.BKeywords, "b1");
    EXPECT_EQ(made.BrowseSequence, "seq");
    EXPECT_EQ(made.BuildTag, "tag"); // build tags are kept in lower case
    EXPECT_EQ(made.Status, "Done");
    EXPECT_EQ(made.Window, "main");
    EXPECT_EQ(made.EntryMacro, "Macro()");
    // The request answers with the same nine fields.
    EXPECT_EQ(Send(a_, TLinkServer::cmRequestTopic, NumberData(25)), 1);
    EXPECT_EQ(Replies(2),
              std::vector<std::string>{Text(
                  Lines({"25", "New", "k1;k2", "b1", "seq", "tag", "Done", "main", "Macro()"}))});
}

TEST_F(LinkServerTest, CreateTopicRefusesAFieldLongerThanItsBoxBeforeShowingAnything) {
    const struct {
        const char* name;
        std::size_t line;
        std::size_t limit;
    } cases[] = {
        {"title", 1, 127},          {"K keywords", 2, 16383},  {"B keywords", 3, 16383},
        {"browse sequence", 4, 50}, {"build tag", 5, 50},      {"status", 6, 255},
        {"window", 7, 50},          {"entry macro", 8, 16383},
    };
    auto create = [&](std::size_t line, std::size_t length) {
        std::vector<std::string> fields = {"0", "T", "", "", "", "", "", "", ""};
        fields[line] = std::string(length, 'w');
        std::string text;
        for (std::size_t i = 0; i < fields.size(); ++i)
            text += (i > 0 ? "\r\n" : "") + fields[i];
        return Send(a_, TLinkServer::cmCreateTopic, Text(text));
    };
    editor::ITextEditor& editorText = context_.TextEditor();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        editorText.MoveCaretToEnd();
        editorText.ReplaceSelection(" typed"); // not stored yet
        const std::string shown = editorText.TextRange(0, editorText.TextLength());
        const std::vector<std::int32_t> before = Numbers();
        const std::int32_t current = Current();
        EXPECT_EQ(create(c.line, c.limit + 1), 0);
        EXPECT_EQ(Numbers(), before);
        EXPECT_EQ(Current(), current);
        EXPECT_EQ(editorText.TextRange(0, editorText.TextLength()), shown);
        EXPECT_TRUE(editorText.Modified()); // the typed text still waits to be stored
        // As long as the box takes is taken.
        const std::int32_t made = create(c.line, c.limit);
        ASSERT_GT(made, 0);
        EXPECT_EQ(Current(), made);
    }
    EXPECT_EQ(context_.Project().TopicByNumber(Current())->EntryMacro, std::string(16383, 'w'));
}

TEST_F(LinkServerTest, ControlCharactersNeverEnterAFieldNorLeaveInAReply) {
    using namespace std::string_literals;
    const std::int32_t made = Send(a_, TLinkServer::cmCreateTopic,
                                   Text(Lines({"50", "Ti\ttle\x01",
                                               "k\x1B"
                                               "1",
                                               "", "", "", "Do\x7Fne", "", "Back()\x02"})));
    ASSERT_EQ(made, 50);
    const helpproject::TBrindlewovenTopic& topic = *context_.Project().TopicByNumber(50);
    EXPECT_EQ(topic.Title, "Title");
    EXPECT_EQ(topic.KKeywords, "k1");
    EXPECT_EQ(topic.Status, "Do\x7Fne"); // a printable byte of the code page
    EXPECT_EQ(topic.EntryMacro, "Back()");
    // A field that holds them anyway (an older file, a damaged clipboard
    // record) reaches the client without them: a zero would end the text,
    // a line break would shift the fields after it.
    helpproject::TBrindlewovenTopic& old = *context_.Project().TopicByNumber(30);
    old.Title = "Old\0title\r\nsplit"s;
    old.Window = "\0"s;
    EXPECT_EQ(Send(a_, TLinkServer::cmRequestTopic, NumberData(30)), 1);
    EXPECT_EQ(Replies(2), std::vector<std::string>{Text(
                              Lines({"30", "Oldtitlesplit", "", "", "", "", "Writing", "", ""}))});
    EXPECT_EQ(Send(a_, TLinkServer::cmRegister), 1);
    ASSERT_EQ(Replies(1).size(), 1u);
    EXPECT_EQ(Replies(1)[0].find('\0'), Replies(1)[0].size() - 1);
}

TEST_F(LinkServerTest, AListLongerThanAFrameIsCutAtALineAndSaysSo) {
    // About 8,000 topics with the longest title the box takes: each list is
    // some 1.1 MB, more than a frame carries.
    auto project = std::make_unique<helpproject::TBrindlewovenProject>();
    project->ClearTopics();
    for (std::int32_t n = 1; n <= 8000; ++n)
        project->AddTopic(n, std::to_string(100000 + n) + std::string(121, 'x'));
    context_.Session().ReplaceProject(std::move(project));
    context_.TopicEditor().ProjectReplaced();
    for (const std::uint32_t select : {TLinkServer::cmRegister, TLinkServer::cmSelectList1}) {
        SCOPED_TRACE(select);
        EXPECT_EQ(Send(a_, select), 1);
        const std::vector<std::string> replies = Replies(1);
        ASSERT_EQ(replies.size(), 1u);
        const std::string& reply = replies[0];
        EXPECT_LE(reply.size(), editor::kMaxLinkPayload);
        EXPECT_GT(reply.size(), editor::kMaxLinkPayload - 200); // filled up to a line
        ASSERT_EQ(reply.back(), '\0');
        const std::vector<std::string> lines =
            editor::SplitLinkLines(std::string_view(reply).substr(0, reply.size() - 1));
        const auto& all = select == TLinkServer::cmRegister ? context_.Project().TopicsByTitle()
                                                            : context_.Project().TopicsByNumber();
        const std::size_t shown = lines.size() - 1;
        ASSERT_LT(shown, all.size());
        for (std::size_t i = 0; i < shown; ++i)
            ASSERT_EQ(lines[i], all[i].Text) << i; // whole lines, in order
        EXPECT_EQ(lines.back(),
                  "[" + std::to_string(all.size() - shown) + " more topics not listed]");
    }
}

TEST_F(LinkServerTest, ARequestWhoseFieldsTheWireCannotCarryAnswersZero) {
    context_.Project().TopicByNumber(30)->KKeywords.assign(editor::kMaxLinkPayload, 'k');
    EXPECT_EQ(Send(a_, TLinkServer::cmRequestTopic, NumberData(30)), 0);
    EXPECT_TRUE(sent_.empty()); // no reply follows
    context_.Project().TopicByNumber(30)->KKeywords.assign(editor::kMaxLinkPayload - 100, 'k');
    EXPECT_EQ(Send(a_, TLinkServer::cmRequestTopic, NumberData(30)), 1);
    ASSERT_EQ(Replies(2).size(), 1u);
    EXPECT_LE(Replies(2)[0].size(), editor::kMaxLinkPayload);
}

TEST_F(LinkServerTest, CreatedTopicShowsTitleLineAndTheCurrentNumberFollowsNewTopic) {
    context_.Settings().IDIncrease = 10;
    // Line 1 equal to the current topic's number: placed after it.
    const std::int32_t result = Send(a_, TLinkServer::cmCreateTopic,
                                     Text(Lines({"10", "Hello", "", "", "", "", "", "", ""})));
    EXPECT_EQ(result, 15); // the step halved below the next topic (20)
    const std::string text = context_.TextEditor().TextRange(0, context_.TextEditor().TextLength());
    EXPECT_EQ(text.substr(0, 6), "Hello\r");
    EXPECT_EQ(context_.TopicEditor().PropertyBar().Title, "Hello");
}

TEST_F(LinkServerTest, RequestTopicRepliesOnlyForAnExistingTopic) {
    EXPECT_EQ(Send(a_, TLinkServer::cmRequestTopic, NumberData(15)), 0);
    EXPECT_TRUE(sent_.empty());
    EXPECT_EQ(Send(a_, TLinkServer::cmRequestTopic, NumberData(30)), 1);
    EXPECT_EQ(Replies(2), std::vector<std::string>{
                              Text(Lines({"30", "T30", "", "", "", "", "Writing", "", ""}))});
}

TEST_F(LinkServerTest, InsertLinkAppendsTitleAndCode) {
    editor::ITextEditor& text = context_.TextEditor();
    const std::string before = text.TextRange(0, text.TextLength());
    EXPECT_EQ(Send(a_, TLinkServer::cmInsertLink, NumberData(20)), 0);
    const std::string after = text.TextRange(0, text.TextLength());
    ASSERT_EQ(after.substr(0, before.size() - 1), before.substr(0, before.size() - 1));
    EXPECT_NE(after.find("\rT20{linkID=20}"), std::string::npos) << after;
    const std::size_t title = after.find("T20{");
    text.SetSelection(title, 3);
    const editor::TSelectionFormat hotspot = text.SelFormat();
    EXPECT_TRUE(hotspot.Format.strike);
    EXPECT_EQ(hotspot.Format.underline, rtf::UnderlineKind::None);
    EXPECT_EQ(hotspot.Format.color, rtf::Color::FromTColor(0x008000));
    text.SetSelection(title + 3, 12);
    const editor::TSelectionFormat code = text.SelFormat();
    EXPECT_FALSE(code.Format.strike);
    EXPECT_EQ(code.Format.color, rtf::Color::FromTColor(0x000080));
    EXPECT_TRUE(text.Modified());
    EXPECT_TRUE(messenger_.Records.empty());

    // A topic that does not exist: the project's message, the text as it was.
    EXPECT_EQ(Send(a_, TLinkServer::cmInsertLink, NumberData(99)), 0);
    EXPECT_EQ(text.TextRange(0, text.TextLength()), after);
    EXPECT_EQ(messenger_.Texts(components::TScriptedMessenger::TRecord::Message),
              std::vector<std::string>{"No such topic"});
}

TEST_F(LinkServerTest, ShortOrUnterminatedDataChangesNothing) {
    const std::string editorText =
        context_.TextEditor().TextRange(0, context_.TextEditor().TextLength());
    const struct {
        std::uint32_t command;
        std::string data;
    } cases[] = {
        {TLinkServer::cmShowTopic, std::string("\x1E\0\0", 3)},
        {TLinkServer::cmShowTopic, ""},
        {TLinkServer::cmRequestTopic, std::string("\x1E\0", 2)},
        {TLinkServer::cmInsertLink, std::string("\x14", 1)},
        {TLinkServer::cmCreateTopic, "25\r\nT\r\n\r\n\r\n\r\n\r\n\r\n\r\n"}, // no zero
        {TLinkServer::cmCreateTopic, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Send(a_, c.command, c.data), 0) << c.command;
        EXPECT_TRUE(sent_.empty()) << c.command;
        EXPECT_EQ(Current(), 10) << c.command;
        EXPECT_EQ(Numbers(), (std::vector<std::int32_t>{10, 20, 30})) << c.command;
        EXPECT_EQ(context_.TextEditor().TextRange(0, context_.TextEditor().TextLength()),
                  editorText)
            << c.command;
    }
}

TEST_F(LinkServerTest, DisconnectFreesTheSlotsAndAllowsClosing) {
    Send(a_, TLinkServer::cmRegister);
    Send(b_, TLinkServer::cmRegister);
    Send({2, 100}, TLinkServer::cmRegister);
    EXPECT_FALSE(server_.CloseQuery());
    EXPECT_EQ(messenger_.Texts(components::TScriptedMessenger::TRecord::Message),
              std::vector<std::string>{std::string(editor::kActiveLinkMessage)});
    // Work queued for the connection goes with it.
    server_.NotifyLinkClients();
    server_.Disconnected(1);
    sent_.clear();
    server_.Pump();
    ASSERT_EQ(sent_.size(), 1u);
    EXPECT_EQ(sent_[0].connection, 2u);
    EXPECT_FALSE(server_.CloseQuery());
    server_.Disconnected(2);
    EXPECT_TRUE(server_.CloseQuery());
    EXPECT_EQ(messenger_.Records.size(), 2u); // no message the second time
}

TEST_F(LinkServerTest, RequestsWaitUntilTheWindowIsIdle) {
    bool modal = false;
    server_.SetIdleCheck([&] { return !modal; });
    int queued = 0;
    server_.SetWorkQueued([&] { ++queued; });
    auto submit = [&](std::uint32_t command, std::string data) {
        server_.Submit(a_.Connection, {TLinkFrameKind::Command, a_.Window, command, 0, data});
    };
    // Inside a running command (its modal dialog pumps the events).
    context_.Run([&] {
        submit(TLinkServer::cmShowTopic, NumberData(30));
        EXPECT_TRUE(server_.Pump());
        EXPECT_EQ(Current(), 10);
    });
    // A bulk operation.
    context_.TopicEditor().SetBulkUpdate(true);
    submit(TLinkServer::cmCreateTopic, Text(Lines({"40", "B", "", "", "", "", "", "", ""})));
    EXPECT_TRUE(server_.Pump());
    context_.TopicEditor().SetBulkUpdate(false);
    // A modal dialog the window shows.
    modal = true;
    submit(TLinkServer::cmShowTopic, NumberData(20));
    EXPECT_TRUE(server_.Pump());
    EXPECT_TRUE(sent_.empty());
    EXPECT_EQ(Numbers(), (std::vector<std::int32_t>{10, 20, 30}));
    modal = false;
    EXPECT_FALSE(server_.Pump());
    EXPECT_EQ(queued, 3);
    // In order: shown 30, created 40, shown 20.
    ASSERT_EQ(sent_.size(), 3u);
    EXPECT_EQ(sent_[0].frame.Number, TLinkServer::cmShowTopic);
    EXPECT_EQ(sent_[1].frame.Value, 40);
    EXPECT_EQ(sent_[2].frame.Number, TLinkServer::cmShowTopic);
    EXPECT_EQ(Current(), 20);
    EXPECT_EQ(Numbers(), (std::vector<std::int32_t>{10, 20, 30, 40}));
}

TEST_F(LinkServerTest, QueuedBytesCountWhatWaitsPerConnection) {
    bool modal = true;
    server_.SetIdleCheck([&] { return !modal; });
    const std::string data = Text(Lines({"0", "T", "", "", "", "", "", "", ""}));
    server_.Submit(1, {TLinkFrameKind::Command, 100, TLinkServer::cmShowTopic, 0, NumberData(20)});
    server_.Submit(1, {TLinkFrameKind::Command, 100, TLinkServer::cmCreateTopic, 0, data});
    server_.Submit(2, {TLinkFrameKind::Command, 100, TLinkServer::cmShowTopic, 0, NumberData(30)});
    server_.Submit(2, {TLinkFrameKind::Reply, 100, 1, 0, std::string(1000, 'r')}); // not a command
    EXPECT_EQ(server_.QueuedBytes(1), 2 * editor::kLinkHeaderSize + 4 + data.size());
    EXPECT_EQ(server_.QueuedBytes(2), editor::kLinkHeaderSize + 4);
    EXPECT_EQ(server_.QueuedBytes(3), 0u);
    server_.Disconnected(2);
    EXPECT_EQ(server_.QueuedBytes(2), 0u);
    modal = false;
    EXPECT_FALSE(server_.Pump());
    EXPECT_EQ(server_.QueuedBytes(1), 0u);
}

TEST(LinkLinesTest, LinesLieBetweenLineBreaks) {
    using V = std::vector<std::string>;
    EXPECT_EQ(editor::SplitLinkLines(""), V{""});
    EXPECT_EQ(editor::SplitLinkLines("a"), V{"a"});
    EXPECT_EQ(editor::SplitLinkLines("a\r\n"), (V{"a", ""}));
    EXPECT_EQ(editor::SplitLinkLines("a\nb\rc\r\nd"), (V{"a", "b", "c", "d"}));
    EXPECT_EQ(editor::SplitLinkLines("\r\r\n"), (V{"", "", ""}));
}

} // namespace
