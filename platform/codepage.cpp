#include "platform/codepage.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "platform/codepagetables.h"

namespace platform {

namespace {

struct ReverseTable {
    // Code points 0x0000..0x00FF map directly unless remapped; the rest are
    // the 27 characters of 0x80..0x9F.
    std::array<int16_t, 256> latin{};
    std::array<std::pair<char16_t, unsigned char>, 32> high{};
    int highCount = 0;
    ReverseTable() {
        latin.fill(-1);
        for (int b = 0; b < 256; ++b) {
            char16_t u = tables::kCp1252ToUnicode[b];
            if (u < 256)
                latin[u] = static_cast<int16_t>(b);
            else
                high[highCount++] = {u, static_cast<unsigned char>(b)};
        }
    }
};

const ReverseTable& Reverse() {
    static const ReverseTable table;
    return table;
}

} // namespace

char16_t Cp1252ToUnicode(unsigned char byte) {
    return tables::kCp1252ToUnicode[byte];
}

int UnicodeToCp1252(char32_t cp) {
    const ReverseTable& r = Reverse();
    if (cp < 256)
        return r.latin[cp];
    for (int i = 0; i < r.highCount; ++i)
        if (r.high[i].first == cp)
            return r.high[i].second;
    return -1;
}

std::u16string Cp1252ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (unsigned char c : text)
        out.push_back(tables::kCp1252ToUnicode[c]);
    return out;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string Cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (unsigned char c : text) {
        if (c < 0x80)
            out.push_back(static_cast<char>(c));
        else
            AppendUtf8(out, tables::kCp1252ToUnicode[c]);
    }
    return out;
}

std::string Utf16ToCp1252(std::u16string_view text, char replacement) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            ++i; // a surrogate pair is one character, never in Windows-1252
            out.push_back(replacement);
            continue;
        }
        int b = UnicodeToCp1252(cp);
        out.push_back(b < 0 ? replacement : static_cast<char>(b));
    }
    return out;
}

namespace {

// Whether the text is plain ASCII, which UTF-8 and Windows-1252 write alike.
bool IsAscii(std::string_view text) {
    unsigned char any = 0;
    for (unsigned char c : text)
        any |= c;
    return any < 0x80;
}

// Decodes one UTF-8 character at text[i]; returns the code point or
// 0xFFFFFFFF for an invalid sequence, and advances i.
char32_t DecodeUtf8(std::string_view text, size_t& i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
        ++i;
        return c;
    }
    int len = 0;
    char32_t cp = 0;
    if ((c & 0xE0) == 0xC0) {
        len = 2;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        len = 3;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        len = 4;
        cp = c & 0x07;
    } else {
        ++i;
        return 0xFFFFFFFF;
    }
    if (i + len > text.size()) {
        ++i;
        return 0xFFFFFFFF;
    }
    for (int k = 1; k < len; ++k) {
        unsigned char cc = static_cast<unsigned char>(text[i + k]);
        if ((cc & 0xC0) != 0x80) {
            ++i;
            return 0xFFFFFFFF;
        }
        cp = (cp << 6) | (cc & 0x3F);
    }
    static const char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return 0xFFFFFFFF;
    }
    i += len;
    return cp;
}

} // namespace

std::string Utf8ToCp1252(std::string_view text, char replacement) {
    if (IsAscii(text))
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        char32_t cp = DecodeUtf8(text, i);
        int b = cp == 0xFFFFFFFF ? -1 : UnicodeToCp1252(cp);
        out.push_back(b < 0 ? replacement : static_cast<char>(b));
    }
    return out;
}

bool Utf8FitsCp1252(std::string_view text) {
    if (IsAscii(text))
        return true;
    size_t i = 0;
    while (i < text.size()) {
        char32_t cp = DecodeUtf8(text, i);
        if (cp == 0xFFFFFFFF || UnicodeToCp1252(cp) < 0)
            return false;
    }
    return true;
}

std::string ToOemText(std::string_view ansi) {
    std::string out(ansi);
    for (char& c : out)
        c = static_cast<char>(tables::kCp1252ToOem437[static_cast<unsigned char>(c)]);
    return out;
}

std::string Oem437ToUtf8(std::string_view oem) {
    std::string out;
    for (unsigned char c : oem)
        AppendUtf8(out, tables::kOem437ToUnicode[c]);
    return out;
}

unsigned char AnsiUpper(unsigned char c) {
    return tables::kCp1252Upper[c];
}
unsigned char AnsiLower(unsigned char c) {
    return tables::kCp1252Lower[c];
}

std::string AnsiUpperCase(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(tables::kCp1252Upper[static_cast<unsigned char>(c)]);
    return out;
}

std::string AnsiLowerCase(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(tables::kCp1252Lower[static_cast<unsigned char>(c)]);
    return out;
}

int AnsiCompareStrOrdinal(std::string_view a, std::string_view b) {
    int r = a.compare(b);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int AnsiCompareText(std::string_view a, std::string_view b) {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    // Equal bytes are equal in any case: skip the common start (paths in
    // sorted lists share long ones) a word at a time.
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t x = 0, y = 0;
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (x != y)
            break;
    }
    for (; i < n; ++i) {
        unsigned char x = tables::kCp1252Lower[static_cast<unsigned char>(a[i])];
        unsigned char y = tables::kCp1252Lower[static_cast<unsigned char>(b[i])];
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool AnsiSameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && AnsiCompareText(a, b) == 0;
}

namespace {

template <typename Key> int CompareBy(std::string_view a, std::string_view b, Key key) {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = key(static_cast<unsigned char>(a[i]));
        unsigned char y = key(static_cast<unsigned char>(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

} // namespace

int AnsiCompareTextLinguistic(std::string_view a, std::string_view b) {
    int r = CompareBy(a, b, [](unsigned char c) { return tables::kCp1252SortWeight[c]; });
    if (r != 0)
        return r;
    return CompareBy(a, b, [](unsigned char c) { return tables::kCp1252Lower[c]; });
}

int AnsiCompareStrLinguistic(std::string_view a, std::string_view b) {
    int r = AnsiCompareTextLinguistic(a, b);
    if (r != 0)
        return r;
    // Lower case before upper case, as the linguistic order does.
    return CompareBy(a, b, [](unsigned char c) {
        return static_cast<unsigned char>(tables::kCp1252Lower[c] == c ? 0 : 1);
    });
}

bool AnsiIsLetter(unsigned char c) {
    return tables::kCp1252Upper[c] != tables::kCp1252Lower[c] || c == 0xDF || c == 0xAA ||
           c == 0xBA || c == 0xB5;
}

bool AnsiIsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

} // namespace platform
