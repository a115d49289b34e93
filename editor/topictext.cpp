#include "editor/topictext.h"

#include "components/rtf/rtfwriter.h"

namespace editor {

rtf::RtfDocument ParseTopicText(const helpproject::TStringList& lines) {
    std::size_t size = 0;
    for (const std::string& line : lines)
        size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return rtf::RtfDocument::Parse(text);
}

helpproject::TStringList TopicTextLines(const rtf::RtfDocument& document) {
    return rtf::WriteRtfLines(document);
}

bool ReplaceTitleInText(rtf::RtfDocument& document, std::string_view oldTitle,
                        std::string_view newTitle) {
    if (oldTitle.empty())
        return false;
    const std::ptrdiff_t at =
        document.Find(oldTitle, 0, document.LineLength(0), rtf::FindOptions{true, false});
    if (at < 0)
        return false;
    document.Replace(static_cast<std::size_t>(at), oldTitle.size(), newTitle);
    return true;
}

} // namespace editor
