#include "helpproject/topicclipboard.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "helpproject/brindlewovenerror.h"
#include "helpproject/helputils.h"

namespace helpproject {

namespace {

constexpr std::size_t kFieldSize = 256;
constexpr std::size_t kLengthOffset = 2560;
constexpr std::size_t kTextOffset = 2564;

enum Field {
    Title,
    KKeywords,
    BKeywords,
    BrowseSequence,
    BuildTag,
    Status,
    Window,
    EntryMacro,
    AKeywords,
    TopicID,
    FieldCount
};

void PutField(std::string& record, Field field, const std::string& value) {
    const std::size_t offset = static_cast<std::size_t>(field) * kFieldSize;
    const std::size_t length = std::min<std::size_t>(value.size(), kFieldSize - 1);
    record[offset] = static_cast<char>(length);
    record.replace(offset + 1, length, value, 0, length);
}

std::string GetField(std::string_view record, Field field) {
    const std::size_t offset = static_cast<std::size_t>(field) * kFieldSize;
    const auto length = static_cast<unsigned char>(record[offset]);
    std::string_view text = record.substr(offset + 1, length);
    text = text.substr(0, text.find('\0'));
    return StripControlChars(text);
}

// Lines as a string list reads a text: CR LF, LF and CR end a line, and a
// final line end does not start another line.
TStringList SplitTextLines(std::string_view text) {
    TStringList lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

} // namespace

std::string SaveToClipboardData(const TBrindlewovenTopic& topic) {
    std::string text;
    for (const auto& line : topic.Text) {
        text += line;
        text += "\r\n";
    }
    if (text.size() > 0xFFFFFFFFu - TopicClipboardFixedSize)
        throw EProjectError("The text of topic #" + std::to_string(topic.Number) +
                            " is too long for the clipboard");
    std::string record(TopicClipboardFixedSize + text.size(), '\0');
    PutField(record, Title, topic.Title);
    PutField(record, KKeywords, topic.KKeywords);
    PutField(record, BKeywords, topic.BKeywords);
    PutField(record, BrowseSequence, topic.BrowseSequence);
    PutField(record, BuildTag, topic.BuildTag);
    PutField(record, Status, topic.Status);
    PutField(record, Window, topic.Window);
    PutField(record, EntryMacro, topic.EntryMacro);
    PutField(record, AKeywords, topic.AKeywords);
    PutField(record, TopicID, topic.TopicID);
    const auto length = static_cast<std::uint32_t>(text.size());
    for (int i = 0; i < 4; ++i)
        record[kLengthOffset + i] = static_cast<char>((length >> (8 * i)) & 0xFF);
    record.replace(kTextOffset, text.size(), text);
    return record;
}

void LoadFromClipboardData(TBrindlewovenTopic& topic, std::string_view record) {
    if (record.size() < TopicClipboardFixedSize)
        throw EProjectError("The clipboard does not hold a valid topic: the record has " +
                            std::to_string(record.size()) + " bytes, at least " +
                            std::to_string(TopicClipboardFixedSize) + " are needed");
    if (record.size() > TopicClipboardMaxSize)
        throw EProjectError("The topic on the clipboard is too large to paste: its record has " +
                            std::to_string(record.size()) + " bytes; at most " +
                            std::to_string(TopicClipboardMaxSize >> 20) + " MiB (" +
                            std::to_string(TopicClipboardMaxSize) + " bytes) can be pasted");
    std::uint32_t length = 0;
    for (int i = 0; i < 4; ++i)
        length |= static_cast<std::uint32_t>(static_cast<unsigned char>(record[kLengthOffset + i]))
                  << (8 * i);
    if (length > record.size() - TopicClipboardFixedSize)
        throw EProjectError("The clipboard does not hold a valid topic: its text of " +
                            std::to_string(length) + " bytes does not fit in a record of " +
                            std::to_string(record.size()) + " bytes");

    // Everything is read before the topic is touched.
    std::array<std::string, FieldCount> fields;
    for (int f = 0; f < FieldCount; ++f)
        fields[f] = GetField(record, static_cast<Field>(f));
    TStringList lines = SplitTextLines(record.substr(kTextOffset, length));

    topic.Title = std::move(fields[Title]);
    topic.KKeywords = std::move(fields[KKeywords]);
    topic.BKeywords = std::move(fields[BKeywords]);
    topic.BrowseSequence = std::move(fields[BrowseSequence]);
    topic.BuildTag = std::move(fields[BuildTag]);
    topic.Status = std::move(fields[Status]);
    topic.Window = std::move(fields[Window]);
    topic.EntryMacro = std::move(fields[EntryMacro]);
    topic.AKeywords = std::move(fields[AKeywords]);
    // An automatic ID names the topic's old number; the receiver keeps its own.
    if (fields[TopicID].compare(0, 8, "Vellumar") != 0)
        topic.TopicID = std::move(fields[TopicID]);
    topic.SetText(std::move(lines));
}

} // namespace helpproject
