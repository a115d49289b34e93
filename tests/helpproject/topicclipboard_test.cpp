#include "helpproject/topicclipboard.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "helpproject/brindlewovenerror.h"

namespace {

using namespace helpproject;

std::uint32_t StoredLength(const std::string& record) {
    std::uint32_t length = 0;
    for (int i = 0; i < 4; ++i)
        length |= static_cast<std::uint32_t>(static_cast<unsigned char>(record[2560 + i]))
                  << (8 * i);
    return length;
}

// A field as the record holds it: the length byte and the characters.
std::string FieldAt(const std::string& record, std::size_t offset) {
    return record.substr(offset + 1, static_cast<unsigned char>(record[offset]));
}

TBrindlewovenTopic FilledTopic() {
    TBrindlewovenTopic topic(12, "Title \xE9t\xE9");
    topic.TopicID = "intro";
    topic.KKeywords = "k1;k2";
    topic.AKeywords = "a1";
    topic.BKeywords = "b1";
    topic.BuildTag = "tag";
    topic.BrowseSequence = "main:0010";
    topic.Status = "Done";
    topic.Window = "proc";
    topic.EntryMacro = "Back()";
    topic.Text = {R"({\rtf1\ansi{\fonttbl{\f0 Arial;}})", R"(\pard Hello\par)", "}"};
    return topic;
}

TEST(TopicClipboardTest, PutsEveryFieldAtItsOffset) {
    const std::string record = SaveToClipboardData(FilledTopic());
    const std::string text = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\r\n\\pard Hello\\par\r\n}\r\n";
    ASSERT_EQ(record.size(), 2568 + text.size());
    EXPECT_EQ(FieldAt(record, 0), "Title \xE9t\xE9");
    EXPECT_EQ(FieldAt(record, 256), "k1;k2");
    EXPECT_EQ(FieldAt(record, 512), "b1");
    EXPECT_EQ(FieldAt(record, 768), "main:0010");
    EXPECT_EQ(FieldAt(record, 1024), "tag");
    EXPECT_EQ(FieldAt(record, 1280), "Done");
    EXPECT_EQ(FieldAt(record, 1536), "proc");
    EXPECT_EQ(FieldAt(record, 1792), "Back()");
    EXPECT_EQ(FieldAt(record, 2048), "a1");
    EXPECT_EQ(FieldAt(record, 2304), "intro");
    EXPECT_EQ(StoredLength(record), text.size());
    EXPECT_EQ(record.substr(2564, text.size()), text);
}

TEST(TopicClipboardTest, AnEmptyTextGivesTheFixedSize) {
    TBrindlewovenTopic topic(1, "");
    topic.Text.clear();
    const std::string record = SaveToClipboardData(topic);
    EXPECT_EQ(record.size(), 2568u);
    EXPECT_EQ(StoredLength(record), 0u);

    TBrindlewovenTopic target(2, "old");
    LoadFromClipboardData(target, record);
    EXPECT_TRUE(target.Text.empty());
    EXPECT_EQ(target.Title, "");
}

TEST(TopicClipboardTest, CutsLongFieldsTo255Characters) {
    TBrindlewovenTopic topic(1, std::string(300, 'x') + "tail");
    topic.KKeywords = std::string(255, 'k');
    const std::string record = SaveToClipboardData(topic);
    EXPECT_EQ(static_cast<unsigned char>(record[0]), 255);
    // The cut title does not run into the next field.
    EXPECT_EQ(static_cast<unsigned char>(record[256]), 255);
    EXPECT_EQ(record.substr(257, 255), std::string(255, 'k'));
    TBrindlewovenTopic target(2, "");
    LoadFromClipboardData(target, record);
    EXPECT_EQ(target.Title, std::string(255, 'x'));
    EXPECT_EQ(target.KKeywords, std::string(255, 'k'));
}

TEST(TopicClipboardTest, RoundTripCarriesFieldsAndTextButNotNumberOrBookmark) {
    TBrindlewovenTopic source = FilledTopic();
    source.Bookmark = true;
    source.Text = {"a", "", "b \xFC", ""};
    TBrindlewovenTopic target(40, "Target");
    target.HtmlParagraphCache = {"<p>old</p>"};
    target.HtmlLineBreakCache = {"old<br>"};
    LoadFromClipboardData(target, SaveToClipboardData(source));
    EXPECT_EQ(target.Number, 40);
    EXPECT_FALSE(target.Bookmark);
    EXPECT_EQ(target.Title, source.Title);
    EXPECT_EQ(target.KKeywords, source.KKeywords);
    EXPECT_EQ(target.AKeywords, source.AKeywords);
    EXPECT_EQ(target.BKeywords, source.BKeywords);
    EXPECT_EQ(target.BuildTag, source.BuildTag);
    EXPECT_EQ(target.BrowseSequence, source.BrowseSequence);
    EXPECT_EQ(target.Status, source.Status);
    EXPECT_EQ(target.Window, source.Window);
    EXPECT_EQ(target.EntryMacro, source.EntryMacro);
    EXPECT_EQ(target.TopicID, "intro");
    EXPECT_EQ(target.Text, source.Text);
    EXPECT_TRUE(target.HtmlParagraphCache.empty());
    EXPECT_TRUE(target.HtmlLineBreakCache.empty());
}

TEST(TopicClipboardTest, AnAutomaticIDLeavesTheReceiverItsOwn) {
    struct Case {
        const char* sourceID;
        const char* expected;
    };
    const Case cases[] = {
        {"Vellumar12", "Vellumar40"}, // the automatic ID of topic 12
        {"Vellumar", "Vellumar40"},   {"intro", "intro"},
        {"vellumar12", "vellumar12"}, // compared exactly: not the automatic form
        {"Vellu", "Vellu"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sourceID);
        TBrindlewovenTopic source(12, "S");
        source.TopicID = c.sourceID;
        TBrindlewovenTopic target(40, "T");
        LoadFromClipboardData(target, SaveToClipboardData(source));
        EXPECT_EQ(target.TopicID, c.expected);
    }
}

TEST(TopicClipboardTest, ReadsTextWithAnyLineEnd) {
    std::string record = SaveToClipboardData(TBrindlewovenTopic(1, "t"));
    const std::string text = "one\ntwo\rthree\r\nfour";
    record.resize(2564);
    record += text;
    record += std::string(4, '\0');
    for (int i = 0; i < 4; ++i)
        record[2560 + i] = static_cast<char>((text.size() >> (8 * i)) & 0xFF);
    TBrindlewovenTopic target(2, "");
    LoadFromClipboardData(target, record);
    EXPECT_EQ(target.Text, (TStringList{"one", "two", "three", "four"}));
}

TEST(TopicClipboardTest, RefusesHostileRecordsAndChangesNothing) {
    const std::string good = SaveToClipboardData(FilledTopic()); // L = 51
    auto withLength = [&](std::uint32_t length) {
        std::string record = good;
        for (int i = 0; i < 4; ++i)
            record[2560 + i] = static_cast<char>((length >> (8 * i)) & 0xFF);
        return record;
    };
    struct Case {
        const char* name;
        std::string record;
        std::string message;
        const char* prefix = "The clipboard does not hold a valid topic";
    };
    const std::uint32_t fits = static_cast<std::uint32_t>(good.size() - 2568);
    // A record of `size` bytes, its text filling it.
    auto recordOfSize = [&](std::size_t size) {
        std::string record = good.substr(0, 2564);
        record.append(size - 2568, 'x');
        record.append(4, '\0');
        for (int i = 0; i < 4; ++i)
            record[2560 + i] = static_cast<char>(((size - 2568) >> (8 * i)) & 0xFF);
        return record;
    };
    const Case cases[] = {
        {"empty block", std::string(), "the record has 0 bytes, at least 2568 are needed"},
        {"one byte short", std::string(2567, '\0'),
         "the record has 2567 bytes, at least 2568 are needed"},
        {"length one too large", withLength(fits + 1),
         "its text of " + std::to_string(fits + 1) + " bytes does not fit in a record of " +
             std::to_string(good.size()) + " bytes"},
        {"largest length", withLength(0xFFFFFFFFu), "its text of 4294967295 bytes does not fit"},
        {"length without room for the unused bytes", good.substr(0, good.size() - 1),
         "does not fit in a record"},
        {"over the paste limit", recordOfSize(TopicClipboardMaxSize + 1),
         "its record has 16777217 bytes; at most 16 MiB (16777216 bytes) can be pasted",
         "The topic on the clipboard is too large to paste"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TBrindlewovenTopic target(40, "Unchanged");
        target.Text = {"keep"};
        target.HtmlParagraphCache = {"cache"};
        try {
            LoadFromClipboardData(target, c.record);
            ADD_FAILURE() << "accepted";
        } catch (const EProjectError& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
            EXPECT_EQ(std::string(error.what()).rfind(c.prefix, 0), 0u) << error.what();
        }
        EXPECT_EQ(target.Title, "Unchanged");
        EXPECT_EQ(target.TopicID, "Vellumar40");
        EXPECT_EQ(target.Text, TStringList{"keep"});
        EXPECT_EQ(target.HtmlParagraphCache, TStringList{"cache"});
    }
    // A block larger than the record (as clipboard memory may be) is fine,
    // and so is a record of the largest size pasting takes.
    TBrindlewovenTopic target(40, "");
    LoadFromClipboardData(target, good + std::string(100, 'z'));
    EXPECT_EQ(target.Text, FilledTopic().Text);
    LoadFromClipboardData(target, recordOfSize(TopicClipboardMaxSize));
    EXPECT_EQ(target.Text, TStringList{std::string(TopicClipboardMaxSize - 2568, 'x')});
}

TEST(TopicClipboardTest, FieldsEndAtAZeroAndLoseControlCharacters) {
    using namespace std::string_literals;
    // Length bytes of writers that count past the characters: what follows
    // them in the block (zeros, then whatever was there before) must not
    // become part of the field.
    std::string record = SaveToClipboardData(FilledTopic());
    auto setField = [&](std::size_t offset, unsigned char length, const std::string& bytes) {
        record[offset] = static_cast<char>(length);
        record.replace(offset + 1, bytes.size(), bytes);
    };
    setField(0, 255, "Hello\0\0\x01\x02old title"s);
    setField(256, 12, "k1\tk2\x07;k3\r\n ");
    setField(1280, 9, "\0Writing"s);
    setField(1536, 255, std::string(255, '\0'));
    TBrindlewovenTopic target(40, "");
    LoadFromClipboardData(target, record);
    EXPECT_EQ(target.Title, "Hello");
    EXPECT_EQ(target.KKeywords, "k1k2;k3 ");
    EXPECT_EQ(target.Status, "");
    EXPECT_EQ(target.Window, "");
    EXPECT_EQ(target.BKeywords, "b1"); // untouched fields as they were
}

} // namespace
