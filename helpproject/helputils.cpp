#include "helpproject/helputils.h"

#include <charconv>
#include <limits>

#include "helpproject/brindlewovenproject.h"
#include "platform/pathnames.h"
#include "platform/resolvepath.h"

namespace helpproject {

std::string ZeroPad(std::int64_t value, int width) {
    std::string text = std::to_string(value);
    if (static_cast<int>(text.size()) < width)
        text.insert(0, static_cast<std::size_t>(width) - text.size(), '0');
    return text;
}

std::string GetShortPath(const std::string& path) {
    return path;
}

namespace {

std::int8_t HashValue(unsigned char c) {
    if (c < 32)
        return 0;
    if (c == ' ')
        return -16;
    if (c == '!')
        return 11;
    if (c >= 34 && c <= 45)
        return static_cast<std::int8_t>(c - 48);
    if (c == '.')
        return 12;
    if (c == '/')
        return -1;
    if (c == '0')
        return 10;
    if (c >= '1' && c <= '9')
        return static_cast<std::int8_t>(c - '0');
    if (c >= 58 && c <= 90)
        return static_cast<std::int8_t>(c - 48);
    switch (c) {
    case '[':
        return 11;
    case '\\':
        return 12;
    case ']':
        return 13;
    case '^':
        return 14;
    case '_':
        return 13;
    case '`':
        return 16;
    default:
        break;
    }
    if (c >= 97 && c <= 127)
        return static_cast<std::int8_t>(c - 80);
    if (c == 180)
        return 11;
    return static_cast<std::int8_t>(static_cast<std::uint8_t>(c - 48));
}

} // namespace

std::uint32_t WinHelpHash(std::string_view contextString) {
    std::string_view part = contextString;
    std::size_t cut = contextString.find('>');
    if (cut == std::string_view::npos || cut == 0) {
        cut = contextString.find('@');
        if (cut == std::string_view::npos || cut == 0)
            cut = contextString.size();
    }
    part = contextString.substr(0, cut);
    std::uint32_t h = 0;
    for (unsigned char c : part)
        h = h * 43u + static_cast<std::uint32_t>(static_cast<std::int32_t>(HashValue(c)));
    return h;
}

std::string StripControlChars(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 32)
            out += c;
    return out;
}

std::string StripLineBreaks(std::string_view text) {
    if (text.find_first_of("\r\n") == std::string_view::npos)
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\r' && c != '\n')
            out += c;
    return out;
}

std::vector<std::string> SplitDelimited(std::string_view text, char delimiter) {
    auto blank = [](unsigned char c) { return c >= 1 && c <= ' '; };
    std::vector<std::string> items;
    std::size_t p = 0;
    const std::size_t n = text.size();
    while (p < n && blank(static_cast<unsigned char>(text[p])))
        ++p;
    while (p < n) {
        std::string item;
        if (text[p] == '"') {
            ++p;
            while (p < n) {
                if (text[p] == '"') {
                    if (p + 1 < n && text[p + 1] == '"') {
                        item += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += text[p++];
            }
        } else {
            std::size_t start = p;
            while (p<n&& static_cast<unsigned char>(text[p])> ' ' && text[p] != delimiter)
                ++p;
            item.assign(text.substr(start, p - start));
        }
        items.push_back(std::move(item));
        while (p < n && blank(static_cast<unsigned char>(text[p])))
            ++p;
        if (p < n && text[p] == delimiter) {
            if (p + 1 == n)
                items.emplace_back();
            do
                ++p;
            while (p < n && blank(static_cast<unsigned char>(text[p])));
        }
    }
    return items;
}

bool TryParseInt32(std::string_view text, std::int32_t& value) {
    std::size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t'))
        ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t'))
        --e;
    if (b < e && text[b] == '+') {
        ++b;
        if (b < e && text[b] == '-')
            return false;
    }
    if (b == e)
        return false;
    std::int32_t v = 0;
    auto [ptr, ec] = std::from_chars(text.data() + b, text.data() + e, v);
    if (ec != std::errc() || ptr != text.data() + e)
        return false;
    value = v;
    return true;
}

std::string_view LocaleCodeDigits(std::string_view locale) {
    if (locale.size() < 5 || locale[0] != '0' || (locale[1] != 'x' && locale[1] != 'X'))
        return {};
    std::size_t end = 2;
    while (end < locale.size() && platform::HexDigitValue(locale[end]) >= 0)
        ++end;
    return locale.substr(2, end - 2);
}

std::filesystem::path ProjectPath(const std::string& fileName) {
    return platform::resolvePath(fileName);
}

std::string DefaultHelpFileName(const TBrindlewovenProject& project,
                                const std::string& hpjFileName) {
    const std::string& own = project.FileName.empty() ? hpjFileName : project.FileName;
    const std::string base = project.OutputFolder.empty()
                                 ? own
                                 : platform::IncludeTrailingSeparator(project.OutputFolder) +
                                       platform::ExtractFileName(own);
    return platform::ChangeFileExt(base, ".hlp");
}

} // namespace helpproject
