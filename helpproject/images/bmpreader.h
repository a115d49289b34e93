#pragma once
// Reads Windows bitmap files (.bmp): core and info headers up to version 5,
// 1, 4, 8, 16, 24 and 32 bits per pixel, RLE4 and RLE8 packing, bit-field
// masks and top-down rows.
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "helpproject/bitmap.h"

namespace helpproject {

// "Cannot understand bitmap file.\r(reason)".
class EImageError : public std::runtime_error {
public:
    explicit EImageError(const std::string& message) : std::runtime_error(message) {}
};

TBitmap ReadBmp(std::string_view bytes);
// Throws EImageError "Cannot open <file>" when the file cannot be read.
TBitmap LoadBmpFile(const std::filesystem::path& path);

// A BMP file of the picture (24 bits, or 8 bits with its palette when it
// has one of at most 256 entries). Used by tests and tools.
std::string WriteBmp(const TBitmap& bitmap);

} // namespace helpproject
