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
// The identifier of a locale text of that form ("0x0409   English (U.S.)",
// also "0x0409" alone); nullopt when it does not start with 0x and hex digits.
std::optional<uint32_t> ParseLocaleOption(std::string_view text);

} // namespace platform
