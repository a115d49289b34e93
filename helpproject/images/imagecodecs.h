#pragma once
// PNG and GIF files of a picture for HTML output, and the sizes of PNG and
// GIF files that are copied as they are. PNG keeps every colour; GIF keeps
// them when there are at most 256 and otherwise reduces them by median cut.
#include <filesystem>
#include <string>
#include <string_view>

#include "helpproject/bitmap.h"
#include "helpproject/images/bmpreader.h"

namespace helpproject {

struct TImageSize {
    int Width = 0;
    int Height = 0;
};

// Throw EImageError.
std::string EncodePng(const TBitmap& bitmap);
std::string EncodeGif(const TBitmap& bitmap);
TImageSize ReadPngSize(const std::filesystem::path& path);
TImageSize ReadGifSize(const std::filesystem::path& path);

// Decoding, for tests and tools (first frame of a GIF; PNG alpha is
// composed over white).
TBitmap DecodePng(std::string_view bytes);
TBitmap DecodeGif(std::string_view bytes);

} // namespace helpproject
