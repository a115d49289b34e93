#pragma once
// Text in the programs is 8-bit Windows-1252 held in std::string. These are
// the conversions to and from Unicode (for Qt and file names), to the OEM
// page 437 (for the 16-bit help compiler), and the case mapping and
// comparison, all from fixed tables so results never depend on the C locale.
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// One Windows-1252 byte as a Unicode code point. The five bytes that
// Windows-1252 leaves undefined map to the C1 control with the same value.
char16_t Cp1252ToUnicode(unsigned char byte);
// The Windows-1252 byte for a code point, or -1 when there is none.
int UnicodeToCp1252(char32_t codePoint);

std::u16string Cp1252ToUtf16(std::string_view text);
std::string Cp1252ToUtf8(std::string_view text);
// Characters that Windows-1252 cannot hold become `replacement`.
std::string Utf16ToCp1252(std::u16string_view text, char replacement = '?');
// Invalid UTF-8 sequences count as one unmappable character each.
std::string Utf8ToCp1252(std::string_view text, char replacement = '?');
// True when every character of the UTF-8 text has a Windows-1252 byte.
bool Utf8FitsCp1252(std::string_view text);
// Appends the UTF-8 form of a code point.
void AppendUtf8(std::string& out, char32_t codePoint);

// Windows-1252 to OEM code page 437; letters that 437 lacks are written
// as their unaccented form, anything else as '?'.
std::string ToOemText(std::string_view ansi);
std::string Oem437ToUtf8(std::string_view oem);

unsigned char AnsiUpper(unsigned char c);
unsigned char AnsiLower(unsigned char c);
std::string AnsiUpperCase(std::string_view text);
std::string AnsiLowerCase(std::string_view text);

// Ordinal comparisons: <0, 0, >0.
int AnsiCompareStrOrdinal(std::string_view a, std::string_view b);
// Case-insensitive: compares the lower-case bytes.
int AnsiCompareText(std::string_view a, std::string_view b);
bool AnsiSameText(std::string_view a, std::string_view b);
// Where the original system used the user's linguistic ordering, we use this
// deterministic Windows-1252 fold instead: first the unaccented lower-case
// letters, then the lower-case bytes, then (for the case-sensitive form) the
// bytes themselves. Accented letters sort beside their base letter.
int AnsiCompareTextLinguistic(std::string_view a, std::string_view b);
int AnsiCompareStrLinguistic(std::string_view a, std::string_view b);

bool AnsiIsLetter(unsigned char c);
bool AnsiIsDigit(unsigned char c);

} // namespace platform
