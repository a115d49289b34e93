#include "helpproject/writers/topictables.h"

#include <cctype>

#include "components/rtf/rtfedit.h"
#include "components/rtf/rtftokenizer.h"
#include "helpproject/brindlewovenerror.h"

namespace helpproject {

namespace {

// The text of a raw font entry after "{\fN" and before its closing "}".
std::string_view EntryAfterNumber(std::string_view raw) {
    if (!raw.empty() && raw.front() == '{') {
        raw.remove_prefix(1);
        if (!raw.empty() && raw.back() == '}')
            raw.remove_suffix(1);
    }
    if (raw.size() >= 2 && raw[0] == '\\' && raw[1] == 'f') {
        std::size_t i = 2;
        if (i < raw.size() && raw[i] == '-')
            ++i;
        const std::size_t digits = i;
        while (i < raw.size() && std::isdigit(static_cast<unsigned char>(raw[i])))
            ++i;
        if (i > digits)
            raw.remove_prefix(i);
    }
    return raw;
}

} // namespace

std::string FixFontCharset(std::string_view entry) {
    std::string s(entry);
    const std::size_t open = s.find('{');
    if (open != std::string::npos) {
        const std::size_t close = s.find('}', open);
        if (close != std::string::npos)
            s = s.substr(0, open) + " " + s.substr(close + 1);
    }
    const std::size_t space = s.find(' ');
    if (space == std::string::npos)
        return s;
    const std::size_t first = s.find('\\');
    if (first == std::string::npos || first > space)
        return s;
    const std::size_t second = s.find('\\', first + 1);
    if (second == std::string::npos || second > space)
        return s;
    std::string charset;
    const std::size_t at = s.find("\\fcharset");
    if (at != std::string::npos && at < space) {
        std::size_t end = at + 9;
        while (end < space && std::isdigit(static_cast<unsigned char>(s[end])))
            ++end;
        charset = s.substr(at, end - at);
    }
    return s.substr(0, second) + charset + s.substr(space);
}

std::string RtfEscape(std::string_view text) {
    return rtf::EscapeSpecials(text);
}

TTopicRtf ReadTopicRtf(const TBrindlewovenTopic& topic) {
    return ReadTopicRtf(topic.Text, topic.Number);
}

TTopicRtf ReadTopicRtf(const TStringList& lines, std::int32_t number) {
    std::string joined;
    std::size_t size = 0;
    for (const std::string& line : lines)
        size += line.size() + 2;
    joined.reserve(size);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            joined += "\r\n";
        joined += lines[i];
    }
    TTopicRtf result;
    result.Number = number;
    result.Header = rtf::ReadHeader(joined);
    if (!result.Header.hasFontTable)
        throw EBrindlewoven("Topic " + std::to_string(number) + " has no font table", number);
    std::size_t begin = result.Header.bodyOffset;
    if (begin > joined.size())
        begin = joined.size();
    std::size_t end = joined.size();
    const std::size_t docStart = joined.find('{');
    if (docStart != std::string::npos) {
        const std::size_t close = rtf::MatchingBrace(joined, docStart);
        if (close != std::string::npos && close >= begin)
            end = close;
    }
    while (begin < end && (joined[begin] == '\r' || joined[begin] == '\n'))
        ++begin;
    std::string body = joined.substr(begin, end - begin);
    // Groups the text leaves open would swallow whatever follows the topic.
    rtf::Lexer lexer(body);
    rtf::Token token;
    int depth = 0;
    while (lexer.Next(token)) {
        if (token.kind == rtf::TokenKind::GroupStart)
            ++depth;
        else if (token.kind == rtf::TokenKind::GroupEnd && depth > 0)
            --depth;
    }
    body.append(static_cast<std::size_t>(depth), '}');
    result.Body = std::move(body);
    return result;
}

std::string TooManyFontsMessage(std::int32_t topicNumber) {
    return "Too many (+255) fonts in topic #" + std::to_string(topicNumber);
}

std::string TooManyColorsMessage(std::int32_t topicNumber) {
    return "Too many (+255) colors in topic #" + std::to_string(topicNumber);
}

rtf::TableRemap TTopicTables::RemapFor(const TTopicRtf& topic) const {
    if (topic.Header.fonts.size() > 256)
        throw EBrindlewoven(TooManyFontsMessage(topic.Number), topic.Number);
    if (topic.Header.colors.size() > 256)
        throw EBrindlewoven(TooManyColorsMessage(topic.Number), topic.Number);
    return merger_.RemapFor(topic.Header);
}

std::vector<std::string> TTopicTables::FontLines() const {
    std::vector<std::string> lines;
    const auto& fonts = merger_.Fonts();
    lines.reserve(fonts.size());
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        std::string entry = FixFontCharset(EntryAfterNumber(fonts[i].raw));
        if (entry.empty()) {
            // An entry the reader rebuilt without its raw text.
            std::string own = fonts[i].ToRtf(0);
            entry = FixFontCharset(EntryAfterNumber(own));
        }
        lines.push_back("{\\f" + std::to_string(i) + entry + "}");
    }
    return lines;
}

std::string TTopicTables::ColorLine() const {
    std::string line;
    for (const rtf::ColorEntry& color : merger_.Colors())
        line += color.ToRtf();
    return line;
}

} // namespace helpproject
