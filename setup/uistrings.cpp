#include "setup/uistrings.h"

#include <cstdio>

namespace setup {

namespace {

bool ReadNumber(std::string_view f, std::size_t& i, int& value) {
    std::size_t start = i;
    value = 0;
    while (i < f.size() && f[i] >= '0' && f[i] <= '9') {
        if (value > 100000)
            return false;
        value = value * 10 + (f[i] - '0');
        ++i;
    }
    return i > start;
}

void Pad(std::string& out, const std::string& text, int width, bool left) {
    std::size_t w = width > 0 ? static_cast<std::size_t>(width) : 0;
    if (text.size() >= w) {
        out += text;
        return;
    }
    if (left) {
        out += text;
        out.append(w - text.size(), ' ');
    } else {
        out.append(w - text.size(), ' ');
        out += text;
    }
}

} // namespace

std::string SafeFormat(std::string_view f, const std::vector<TFormatArg>& args) {
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < f.size(); ++i) {
        if (f[i] != '%') {
            out += f[i];
            continue;
        }
        if (++i >= f.size())
            return std::string(f);
        if (f[i] == '%') {
            out += '%';
            continue;
        }
        int number = 0;
        bool haveNumber = ReadNumber(f, i, number);
        if (i < f.size() && f[i] == ':' && haveNumber) {
            next = static_cast<std::size_t>(number);
            ++i;
            haveNumber = false;
        }
        bool left = false;
        if (!haveNumber && i < f.size() && f[i] == '-') {
            left = true;
            ++i;
        }
        int width = 0;
        if (haveNumber)
            width = number;
        else
            ReadNumber(f, i, width);
        int precision = -1;
        if (i < f.size() && f[i] == '.') {
            ++i;
            if (!ReadNumber(f, i, precision))
                return std::string(f);
        }
        if (i >= f.size() || next >= args.size())
            return std::string(f);
        const TFormatArg& arg = args[next++];
        char type = static_cast<char>(f[i] | 0x20);
        std::string text;
        if (type == 's') {
            if (!std::holds_alternative<std::string>(arg))
                return std::string(f);
            text = std::get<std::string>(arg);
            if (precision >= 0 && text.size() > static_cast<std::size_t>(precision))
                text.resize(static_cast<std::size_t>(precision));
        } else if (type == 'd' || type == 'u' || type == 'x') {
            if (!std::holds_alternative<std::int64_t>(arg))
                return std::string(f);
            std::int64_t v = std::get<std::int64_t>(arg);
            char buf[32];
            if (type == 'x')
                std::snprintf(buf, sizeof buf, (f[i] == 'X' ? "%llX" : "%llx"),
                              static_cast<unsigned long long>(static_cast<std::uint32_t>(v)));
            else if (type == 'u')
                std::snprintf(buf, sizeof buf, "%llu",
                              static_cast<unsigned long long>(static_cast<std::uint32_t>(v)));
            else
                std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(v));
            text = buf;
            // A precision on an integer is its minimum count of digits.
            bool negative = !text.empty() && text[0] == '-';
            std::size_t digits = text.size() - (negative ? 1 : 0);
            if (precision > 0 && digits < static_cast<std::size_t>(precision))
                text.insert(negative ? 1 : 0, static_cast<std::size_t>(precision) - digits, '0');
        } else {
            return std::string(f);
        }
        Pad(out, text, width, left);
    }
    return out;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

std::string TUiStrings::FormatLeavingOutEmpty(std::size_t index,
                                              const std::vector<TFormatArg>& args) const {
    // An empty argument is formatted as a mark that no package text holds,
    // then the sentence around each mark goes.
    constexpr char kMark = '\x1F';
    const std::string& format = Get(index);
    std::vector<TFormatArg> marked = args;
    bool anyEmpty = false;
    for (TFormatArg& arg : marked)
        if (const auto* text = std::get_if<std::string>(&arg); text && text->empty()) {
            arg = std::string(1, kMark);
            anyEmpty = true;
        }
    if (!anyEmpty || format.find(kMark) != std::string::npos)
        return SafeFormat(format, args);
    std::string text = SafeFormat(format, marked);
    for (std::size_t mark; (mark = text.find(kMark)) != std::string::npos;) {
        std::size_t start = mark;
        while (start > 0 && text[start - 1] != '\r' && text[start - 1] != '\n' &&
               !(start >= 2 && text[start - 1] == ' ' &&
                 std::string_view(".!?").find(text[start - 2]) != std::string_view::npos))
            --start;
        std::size_t end = text.find_first_of(".!?\r\n", mark);
        if (end == std::string::npos)
            end = text.size();
        else if (text[end] != '\r' && text[end] != '\n')
            ++end;
        while (start > 0 && text[start - 1] == ' ')
            --start;
        // A sentence that starts its line takes the blanks after it.
        if (start == 0 || text[start - 1] == '\r' || text[start - 1] == '\n')
            while (end < text.size() && text[end] == ' ')
                ++end;
        text.erase(start, end - start);
    }
    return text;
}

const std::string& TUiStrings::Get(std::size_t index) const {
    static const std::string empty;
    return index < lines_.size() ? lines_[index] : empty;
}

} // namespace setup
