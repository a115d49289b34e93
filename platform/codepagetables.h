#pragma once
// Fixed code-page tables (generated once; never the C locale).
namespace platform::tables {
extern const char16_t kCp1252ToUnicode[256];
extern const unsigned char kCp1252Upper[256];
extern const unsigned char kCp1252Lower[256];
extern const unsigned char kCp1252ToOem437[256];
extern const unsigned char kCp1252SortWeight[256];
extern const char16_t kOem437ToUnicode[256];
} // namespace platform::tables
