#pragma once
// The picture held by SHG files and handed to the HTML image writers: the
// colour of every pixel, with the depth and palette of the file it came
// from. Kept deliberately small: readers fill it, writers encode it.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace helpproject {

struct TRgb {
    std::uint8_t R = 0;
    std::uint8_t G = 0;
    std::uint8_t B = 0;
    friend bool operator==(const TRgb&, const TRgb&) = default;
    std::uint32_t Packed() const { return (std::uint32_t{R} << 16) | (G << 8) | B; }
};

class TBitmap {
public:
    // Readers refuse pictures with more pixels than this (4096 x 4096 x 4):
    // far beyond any help picture, small enough to allocate.
    static constexpr std::int64_t MaxPixels = std::int64_t{1} << 26;

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }
    // Resizes to width x height black pixels. Throws std::length_error when
    // the size is negative or above MaxPixels.
    void SetSize(int width, int height);

    TRgb Pixel(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    void SetPixel(int x, int y, TRgb colour) {
        pixels_[static_cast<std::size_t>(y) * width_ + x] = colour;
    }
    // Row-major, top row first.
    const std::vector<TRgb>& Pixels() const { return pixels_; }
    std::vector<TRgb>& Pixels() { return pixels_; }

    // Bits per pixel of the source (1, 4, 8, 16, 24 or 32).
    int BitCount = 24;
    // The source's colour table (pictures of at most 8 bits).
    std::vector<TRgb> Palette;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<TRgb> pixels_;
};

} // namespace helpproject
