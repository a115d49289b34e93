#include "platform/textutil.h"

#include <cstring>

#include "platform/codepage.h"

namespace platform {

std::string_view TrimLeftView(std::string_view text, std::string_view blanks) {
    const std::size_t begin = text.find_first_not_of(blanks);
    return begin == std::string_view::npos ? std::string_view() : text.substr(begin);
}

std::string_view TrimRightView(std::string_view text, std::string_view blanks) {
    const std::size_t last = text.find_last_not_of(blanks);
    return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

std::string_view TrimView(std::string_view text, std::string_view blanks) {
    return TrimRightView(TrimLeftView(text, blanks), blanks);
}

std::string_view TrimControlView(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ')
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ')
        --end;
    return text.substr(begin, end - begin);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && AnsiSameText(text.substr(0, prefix.size()), prefix);
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           AnsiSameText(text.substr(text.size() - suffix.size()), suffix);
}

std::size_t FindNoCase(std::string_view text, std::string_view what, std::size_t from) {
    if (what.empty() || text.size() < what.size())
        return std::string_view::npos;
    const auto first = static_cast<unsigned char>(what[0]);
    const char lower = static_cast<char>(AnsiLower(first));
    const char upper = static_cast<char>(AnsiUpper(first));
    const std::size_t last = text.size() - what.size(); // the last place a match can start
    for (std::size_t i = from; i <= last; ++i) {
        if (lower == upper) {
            // A first character without case ("{" of the markup codes):
            // jump from one to the next.
            const void* hit = std::memchr(text.data() + i, lower, last - i + 1);
            if (!hit)
                break;
            i = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
        } else if (text[i] != lower && text[i] != upper) {
            continue;
        }
        if (AnsiSameText(text.substr(i + 1, what.size() - 1), what.substr(1)))
            return i;
    }
    return std::string_view::npos;
}

std::optional<std::uint32_t> ParseHex32(std::string_view digits) {
    if (digits.empty() || digits.size() > 8)
        return std::nullopt;
    std::uint32_t value = 0;
    for (char c : digits) {
        const int digit = HexDigitValue(c);
        if (digit < 0)
            return std::nullopt;
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return value;
}

std::string HexUpper(std::uint32_t value, int width) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string result;
    do {
        result.insert(result.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    if (static_cast<int>(result.size()) < width)
        result.insert(0, static_cast<std::size_t>(width) - result.size(), '0');
    return result;
}

std::string HtmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '"':
            out += "&quot;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace platform
