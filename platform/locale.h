#pragma once
// Windows locale identifiers: their default ANSI code page and the list of
// locales the project options offer.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The default ANSI code page of a locale identifier (1252, 1250, ..., 874,
// 932, 936, 949, 950); 0 for locales that have only Unicode text (Hindi,
// Armenian, Georgian, Tamil, ...); -1 for an identifier not in the table.
int AnsiCodePageForLocale(uint32_t lcid);

struct LocaleEntry {
    uint32_t lcid;
    const char* name; // "Afrikaans", "English (U.S.)"
    int ansiCodePage; // as AnsiCodePageForLocale
};
// The locale table, sorted by name as the drop-down shows it.
const std::vector<LocaleEntry>& LocaleTable();
// The drop-down entries: "0x0436   Afrikaans" (hex code, three blanks, name).
std::vector<std::string> LocaleOptionStrings();
// The drop-down entry of an identifier ("0x0419   Russian"), or its code
// alone ("0x0C1A") when the table lacks it.
std::string LocaleOptionText(uint32_t lcid);
// The ANSI code page of a font character set ("\fcharsetN": 0 is 1252, 204
// is 1251, 238 is 1250, ...); nullopt for the symbol, OEM and Mac sets.
std::optional<int> AnsiCodePageForCharset(int charset);
// The locale a document in an ANSI code page is most likely written in (the
// language the page was made for: 1251 Russian, 1250 Czech, 1252 English
// (U.S.), ...); nullopt for a code page of no locale.
std::optional<uint32_t> LocaleForAnsiCodePage(int codePage);
// The identifier of a locale text of that form ("0x0409   English (U.S.)",
// also "0x0409" alone); nullopt when it does not start with 0x and hex digits.
std::optional<uint32_t> ParseLocaleOption(std::string_view text);

} // namespace platform
