#include "components/rtf/stringlisttransfer.h"

#include "components/rtf/rtfwriter.h"
#include "components/rtf/unicodeconversion.h"

namespace rtf {

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.emplace_back(text.substr(start, i - start));
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::size_t size = 0;
    for (const std::string& line : lines)
        size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

RtfDocument LoadFromStrings(const std::vector<std::string>& lines) {
    return RtfDocument::Parse(ConvertReadBytes(JoinLines(lines)));
}

std::vector<std::string> SaveToStrings(const RtfDocument& document) {
    return WriteRtfLines(document);
}

} // namespace rtf
