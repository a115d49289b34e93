#include "helpproject/bitmap.h"

#include <stdexcept>

namespace helpproject {

void TBitmap::SetSize(int width, int height) {
    if (width < 0 || height < 0 || std::int64_t{width} * height > MaxPixels)
        throw std::length_error("The picture is too large");
    width_ = width;
    height_ = height;
    pixels_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), TRgb{});
}

} // namespace helpproject
