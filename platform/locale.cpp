#include "platform/locale.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

#include "platform/codepage.h"

namespace platform {

namespace {

// Windows locale identifiers with the language names the project options
// show and each locale's default ANSI code page (0: Unicode-only locale).
constexpr LocaleEntry kLocales[] = {
    {0x0436, "Afrikaans", 1252},
    {0x041C, "Albanian", 1250},
    {0x0484, "Alsatian", 1252},
    {0x045E, "Amharic", 0},
    {0x1401, "Arabic (Algeria)", 1256},
    {0x3C01, "Arabic (Bahrain)", 1256},
    {0x0C01, "Arabic (Egypt)", 1256},
    {0x0801, "Arabic (Iraq)", 1256},
    {0x2C01, "Arabic (Jordan)", 1256},
    {0x3401, "Arabic (Kuwait)", 1256},
    {0x3001, "Arabic (Lebanon)", 1256},
    {0x1001, "Arabic (Libya)", 1256},
    {0x1801, "Arabic (Morocco)", 1256},
    {0x2001, "Arabic (Oman)", 1256},
    {0x4001, "Arabic (Qatar)", 1256},
    {0x0401, "Arabic (Saudi Arabia)", 1256},
    {0x2801, "Arabic (Syria)", 1256},
    {0x1C01, "Arabic (Tunisia)", 1256},
    {0x3801, "Arabic (U.A.E.)", 1256},
    {0x2401, "Arabic (Yemen)", 1256},
    {0x042B, "Armenian", 0},
    {0x044D, "Assamese", 0},
    {0x082C, "Azeri (Cyrillic)", 1251},
    {0x042C, "Azeri (Latin)", 1254},
    {0x046D, "Bashkir", 1251},
    {0x042D, "Basque", 1252},
    {0x0423, "Belarusian", 1251},
    {0x0845, "Bengali (Bangladesh)", 0},
    {0x0445, "Bengali (India)", 0},
    {0x201A, "Bosnian (Cyrillic)", 1251},
    {0x141A, "Bosnian (Latin)", 1250},
    {0x047E, "Breton", 1252},
    {0x0402, "Bulgarian", 1251},
    {0x0403, "Catalan", 1252},
    {0x0C04, "Chinese (Hong Kong S.A.R.)", 950},
    {0x1404, "Chinese (Macau S.A.R.)", 950},
    {0x0804, "Chinese (PRC)", 936},
    {0x1004, "Chinese (Singapore)", 936},
    {0x0404, "Chinese (Taiwan)", 950},
    {0x0483, "Corsican", 1252},
    {0x041A, "Croatian", 1250},
    {0x101A, "Croatian (Bosnia and Herzegovina)", 1250},
    {0x0405, "Czech", 1250},
    {0x0406, "Danish", 1252},
    {0x048C, "Dari", 1256},
    {0x0465, "Divehi", 0},
    {0x0813, "Dutch (Belgium)", 1252},
    {0x0413, "Dutch (Netherlands)", 1252},
    {0x0C09, "English (Australia)", 1252},
    {0x2809, "English (Belize)", 1252},
    {0x1009, "English (Canada)", 1252},
    {0x2409, "English (Caribbean)", 1252},
    {0x4009, "English (India)", 1252},
    {0x1809, "English (Ireland)", 1252},
    {0x2009, "English (Jamaica)", 1252},
    {0x4409, "English (Malaysia)", 1252},
    {0x1409, "English (New Zealand)", 1252},
    {0x3409, "English (Philippines)", 1252},
    {0x4809, "English (Singapore)", 1252},
    {0x1C09, "English (South Africa)", 1252},
    {0x2C09, "English (Trinidad)", 1252},
    {0x0409, "English (U.S.)", 1252},
    {0x0809, "English (United Kingdom)", 1252},
    {0x3009, "English (Zimbabwe)", 1252},
    {0x0425, "Estonian", 1257},
    {0x0438, "Faroese", 1252},
    {0x0464, "Filipino", 1252},
    {0x040B, "Finnish", 1252},
    {0x080C, "French (Belgium)", 1252},
    {0x0C0C, "French (Canada)", 1252},
    {0x040C, "French (France)", 1252},
    {0x140C, "French (Luxembourg)", 1252},
    {0x180C, "French (Monaco)", 1252},
    {0x100C, "French (Switzerland)", 1252},
    {0x0462, "Frisian", 1252},
    {0x0456, "Galician", 1252},
    {0x0437, "Georgian", 0},
    {0x0C07, "German (Austria)", 1252},
    {0x0407, "German (Germany)", 1252},
    {0x1407, "German (Liechtenstein)", 1252},
    {0x1007, "German (Luxembourg)", 1252},
    {0x0807, "German (Switzerland)", 1252},
    {0x0408, "Greek", 1253},
    {0x046F, "Greenlandic", 1252},
    {0x0447, "Gujarati", 0},
    {0x0468, "Hausa", 1252},
    {0x040D, "Hebrew", 1255},
    {0x0439, "Hindi", 0},
    {0x040E, "Hungarian", 1250},
    {0x040F, "Icelandic", 1252},
    {0x0470, "Igbo", 1252},
    {0x0421, "Indonesian", 1252},
    {0x085D, "Inuktitut (Latin)", 1252},
    {0x045D, "Inuktitut (Syllabics)", 0},
    {0x083C, "Irish", 1252},
    {0x0434, "isiXhosa", 1252},
    {0x0435, "isiZulu", 1252},
    {0x0410, "Italian (Italy)", 1252},
    {0x0810, "Italian (Switzerland)", 1252},
    {0x0411, "Japanese", 932},
    {0x044B, "Kannada", 0},
    {0x043F, "Kazakh", 1251},
    {0x0453, "Khmer", 0},
    {0x0486, "K'iche", 1252},
    {0x0487, "Kinyarwanda", 1252},
    {0x0441, "Kiswahili", 1252},
    {0x0457, "Konkani", 0},
    {0x0412, "Korean", 949},
    {0x0440, "Kyrgyz", 1251},
    {0x0454, "Lao", 0},
    {0x0426, "Latvian", 1257},
    {0x0427, "Lithuanian", 1257},
    {0x082E, "Lower Sorbian", 1252},
    {0x046E, "Luxembourgish", 1252},
    {0x042F, "Macedonian (FYROM)", 1251},
    {0x083E, "Malay (Brunei Darussalam)", 1252},
    {0x043E, "Malay (Malaysia)", 1252},
    {0x044C, "Malayalam", 0},
    {0x043A, "Maltese", 0},
    {0x0481, "Maori", 0},
    {0x047A, "Mapudungun", 1252},
    {0x044E, "Marathi", 0},
    {0x047C, "Mohawk", 1252},
    {0x0450, "Mongolian (Cyrillic)", 1251},
    {0x0850, "Mongolian (Traditional Mongolian)", 0},
    {0x0461, "Nepali", 0},
    {0x0414, "Norwegian (Bokmal)", 1252},
    {0x0814, "Norwegian (Nynorsk)", 1252},
    {0x0482, "Occitan", 1252},
    {0x0448, "Oriya", 0},
    {0x0463, "Pashto", 0},
    {0x0429, "Persian", 1256},
    {0x0415, "Polish", 1250},
    {0x0416, "Portuguese (Brazil)", 1252},
    {0x0816, "Portuguese (Portugal)", 1252},
    {0x0446, "Punjabi", 0},
    {0x046B, "Quechua (Bolivia)", 1252},
    {0x086B, "Quechua (Ecuador)", 1252},
    {0x0C6B, "Quechua (Peru)", 1252},
    {0x0418, "Romanian", 1250},
    {0x0417, "Romansh", 1252},
    {0x0419, "Russian", 1251},
    {0x243B, "Sami (Inari)", 1252},
    {0x103B, "Sami (Lule, Norway)", 1252},
    {0x143B, "Sami (Lule, Sweden)", 1252},
    {0x0C3B, "Sami (Northern, Finland)", 1252},
    {0x043B, "Sami (Northern, Norway)", 1252},
    {0x083B, "Sami (Northern, Sweden)", 1252},
    {0x203B, "Sami (Skolt)", 1252},
    {0x183B, "Sami (Southern, Norway)", 1252},
    {0x1C3B, "Sami (Southern, Sweden)", 1252},
    {0x044F, "Sanskrit", 0},
    {0x0491, "Scottish Gaelic", 1252},
    {0x0C1A, "Serbian (Cyrillic)", 1251},
    {0x081A, "Serbian (Latin)", 1250},
    {0x046C, "Sesotho sa Leboa", 1252},
    {0x0432, "Setswana", 1252},
    {0x045B, "Sinhala", 0},
    {0x041B, "Slovak", 1250},
    {0x0424, "Slovenian", 1250},
    {0x2C0A, "Spanish (Argentina)", 1252},
    {0x400A, "Spanish (Bolivia)", 1252},
    {0x340A, "Spanish (Chile)", 1252},
    {0x240A, "Spanish (Colombia)", 1252},
    {0x140A, "Spanish (Costa Rica)", 1252},
    {0x1C0A, "Spanish (Dominican Republic)", 1252},
    {0x300A, "Spanish (Ecuador)", 1252},
    {0x440A, "Spanish (El Salvador)", 1252},
    {0x100A, "Spanish (Guatemala)", 1252},
    {0x480A, "Spanish (Honduras)", 1252},
    {0x080A, "Spanish (Mexico)", 1252},
    {0x0C0A, "Spanish (Modern Sort)", 1252},
    {0x4C0A, "Spanish (Nicaragua)", 1252},
    {0x180A, "Spanish (Panama)", 1252},
    {0x3C0A, "Spanish (Paraguay)", 1252},
    {0x280A, "Spanish (Peru)", 1252},
    {0x500A, "Spanish (Puerto Rico)", 1252},
    {0x040A, "Spanish (Traditional Sort)", 1252},
    {0x540A, "Spanish (United States)", 1252},
    {0x380A, "Spanish (Uruguay)", 1252},
    {0x200A, "Spanish (Venezuela)", 1252},
    {0x041D, "Swedish", 1252},
    {0x081D, "Swedish (Finland)", 1252},
    {0x045A, "Syriac", 0},
    {0x0428, "Tajik", 1251},
    {0x085F, "Tamazight (Latin)", 1252},
    {0x0449, "Tamil", 0},
    {0x0444, "Tatar", 1251},
    {0x044A, "Telugu", 0},
    {0x041E, "Thai", 874},
    {0x0451, "Tibetan", 0},
    {0x041F, "Turkish", 1254},
    {0x0442, "Turkmen", 1250},
    {0x0480, "Uighur", 1256},
    {0x0422, "Ukrainian", 1251},
    {0x042E, "Upper Sorbian", 1252},
    {0x0420, "Urdu", 1256},
    {0x0843, "Uzbek (Cyrillic)", 1251},
    {0x0443, "Uzbek (Latin)", 1254},
    {0x042A, "Vietnamese", 1258},
    {0x0452, "Welsh", 1252},
    {0x0488, "Wolof", 1252},
    {0x0485, "Yakut", 1251},
    {0x0478, "Yi", 0},
    {0x046A, "Yoruba", 1252},
};

const std::unordered_map<uint32_t, int>& CodePageIndex() {
    static const std::unordered_map<uint32_t, int> index = [] {
        std::unordered_map<uint32_t, int> map;
        for (const LocaleEntry& e : kLocales) {
            map.emplace(e.lcid, e.ansiCodePage);
        }
        return map;
    }();
    return index;
}

} // namespace

int AnsiCodePageForLocale(uint32_t lcid) {
    const auto& index = CodePageIndex();
    if (auto it = index.find(lcid); it != index.end()) {
        return it->second;
    }
    // A locale identifier carries a sort identifier in bits 16-19 (for
    // instance the stroke order of Chinese); the code page is the language's.
    if (lcid > 0xFFFF) {
        if (auto it = index.find(lcid & 0xFFFF); it != index.end()) {
            return it->second;
        }
    }
    return -1;
}

const std::vector<LocaleEntry>& LocaleTable() {
    static const std::vector<LocaleEntry> table = [] {
        std::vector<LocaleEntry> t(std::begin(kLocales), std::end(kLocales));
        std::stable_sort(t.begin(), t.end(), [](const LocaleEntry& a, const LocaleEntry& b) {
            return AnsiCompareText(a.name, b.name) < 0;
        });
        return t;
    }();
    return table;
}

namespace {

std::string LocaleCode(uint32_t lcid) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%04X", lcid);
    return code;
}

} // namespace

std::vector<std::string> LocaleOptionStrings() {
    std::vector<std::string> options;
    for (const LocaleEntry& e : LocaleTable())
        options.push_back(LocaleCode(e.lcid) + "   " + e.name);
    return options;
}

std::string LocaleOptionText(uint32_t lcid) {
    for (const LocaleEntry& e : kLocales)
        if (e.lcid == lcid)
            return LocaleCode(lcid) + "   " + e.name;
    return LocaleCode(lcid);
}

std::optional<int> AnsiCodePageForCharset(int charset) {
    static constexpr struct {
        int charset;
        int codePage;
    } kCharsets[] = {{0, 1252},   {128, 932},  {129, 949},  {134, 936},  {136, 950},
                     {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256},
                     {186, 1257}, {204, 1251}, {222, 874},  {238, 1250}};
    for (const auto& entry : kCharsets)
        if (entry.charset == charset)
            return entry.codePage;
    return std::nullopt;
}

std::optional<uint32_t> LocaleForAnsiCodePage(int codePage) {
    // The language each code page was made for first.
    static constexpr struct {
        int codePage;
        uint32_t lcid;
    } kLanguages[] = {{874, 0x041E},  {932, 0x0411},  {936, 0x0804},  {949, 0x0412},
                      {950, 0x0404},  {1250, 0x0405}, {1251, 0x0419}, {1252, 0x0409},
                      {1253, 0x0408}, {1254, 0x041F}, {1255, 0x040D}, {1256, 0x0401},
                      {1257, 0x0427}, {1258, 0x042A}};
    for (const auto& entry : kLanguages)
        if (entry.codePage == codePage)
            return entry.lcid;
    return std::nullopt;
}

std::optional<uint32_t> ParseLocaleOption(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    if (text.size() < 3 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) {
        return std::nullopt;
    }
    uint32_t value = 0;
    size_t digits = 0;
    for (size_t i = 2; i < text.size(); ++i) {
        char c = text[i];
        int d = (c >= '0' && c <= '9')   ? c - '0'
                : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                         : -1;
        if (d < 0) {
            break;
        }
        if (++digits > 8) {
            return std::nullopt;
        }
        value = value * 16 + static_cast<uint32_t>(d);
    }
    if (digits == 0) {
        return std::nullopt;
    }
    return value;
}

} // namespace platform
