#include "helpproject/images/bmpreader.h"

#include <algorithm>
#include <bit>
#include <fstream>
#include <unordered_map>

#include "platform/littleendian.h"

namespace helpproject {

namespace {

constexpr std::uint64_t kMaxFileSize = std::uint64_t{1} << 30;

[[noreturn]] void Refuse(const std::string& reason) {
    throw EImageError("Cannot understand bitmap file.\r(" + reason + ")");
}

// Header fields at offsets the header size has been checked against.
std::uint16_t U16(std::string_view b, size_t at) {
    return platform::GetLE16(platform::BytesAt(b, at));
}
std::uint32_t U32(std::string_view b, size_t at) {
    return platform::GetLE32(platform::BytesAt(b, at));
}

// One channel of a bit-field pixel scaled to 0..255.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint64_t max = 0;
    explicit Channel(std::uint32_t m = 0) : mask(m) {
        if (m) {
            shift = std::countr_zero(m);
            max = m >> shift;
        }
    }
    std::uint8_t Get(std::uint32_t pixel) const {
        if (!max)
            return 0;
        const std::uint64_t v = (pixel & mask) >> shift;
        return static_cast<std::uint8_t>(std::min<std::uint64_t>(255, (v * 255 + max / 2) / max));
    }
};

void DecodeRle(std::string_view data, int bits, int width, int height, bool topDown,
               std::vector<std::uint8_t>& indices) {
    // Rows run from the bottom up; unset pixels keep index 0.
    std::int64_t x = 0;
    std::int64_t row = 0; // counted from the bottom
    size_t i = 0;
    auto put = [&](unsigned index) {
        if (x < width && row < height) {
            const std::int64_t y = topDown ? row : height - 1 - row;
            indices[static_cast<size_t>(y * width + x)] = static_cast<std::uint8_t>(index);
        }
        ++x;
    };
    while (i < data.size()) {
        if (i + 2 > data.size())
            Refuse("Run-length data ends inside a group");
        const unsigned count = static_cast<unsigned char>(data[i]);
        const unsigned value = static_cast<unsigned char>(data[i + 1]);
        i += 2;
        if (count > 0) {
            for (unsigned k = 0; k < count; ++k)
                put(bits == 8 ? value : (k % 2 == 0 ? value >> 4 : value & 15));
            continue;
        }
        switch (value) {
        case 0: // end of line
            x = 0;
            ++row;
            break;
        case 1: // end of bitmap
            return;
        case 2: {
            if (i + 2 > data.size())
                Refuse("Run-length data ends inside a group");
            x += static_cast<unsigned char>(data[i]);
            row += static_cast<unsigned char>(data[i + 1]);
            i += 2;
            break;
        }
        default: {
            const size_t bytes = bits == 8 ? value : (value + 1) / 2;
            const size_t padded = (bytes + 1) & ~size_t{1};
            if (padded > data.size() - i)
                Refuse("Run-length data ends inside a group");
            for (unsigned k = 0; k < value; ++k) {
                const auto b = static_cast<unsigned char>(data[i + (bits == 8 ? k : k / 2)]);
                put(bits == 8 ? b : (k % 2 == 0 ? b >> 4 : b & 15));
            }
            i += padded;
            break;
        }
        }
    }
}

} // namespace

TBitmap ReadBmp(std::string_view b) {
    if (b.size() < 14 + 12)
        Refuse("File too short");
    if (b[0] != 'B' || b[1] != 'M')
        Refuse("Not a bitmap file");
    const std::uint32_t dataOffset = U32(b, 10);
    const std::uint32_t headerSize = U32(b, 14);
    if (headerSize < 12 || headerSize > b.size() - 14)
        Refuse("Unsupported bitmap header");
    std::int64_t width = 0, height = 0;
    std::uint32_t planes = 0, bits = 0, compression = 0, colorsUsed = 0;
    std::uint32_t masks[4] = {0, 0, 0, 0};
    size_t paletteEntrySize = 4;
    if (headerSize == 12) {
        width = U16(b, 18);
        height = static_cast<std::int16_t>(U16(b, 20));
        planes = U16(b, 22);
        bits = U16(b, 24);
        paletteEntrySize = 3;
    } else {
        if (headerSize < 40)
            Refuse("Unsupported bitmap header");
        width = static_cast<std::int32_t>(U32(b, 18));
        height = static_cast<std::int32_t>(U32(b, 22));
        planes = U16(b, 26);
        bits = U16(b, 28);
        compression = U32(b, 30);
        colorsUsed = U32(b, 46);
        if (headerSize >= 52)
            for (int k = 0; k < (headerSize >= 56 ? 4 : 3); ++k)
                masks[k] = U32(b, 54 + 4 * k);
    }
    size_t paletteStart = 14 + headerSize;
    if (headerSize == 40 && (compression == 3 || compression == 6)) {
        const int count = compression == 6 ? 4 : 3;
        if (b.size() < paletteStart + 4 * count)
            Refuse("File too short");
        for (int k = 0; k < count; ++k)
            masks[k] = U32(b, paletteStart + 4 * k);
        paletteStart += 4 * count;
    }
    const bool topDown = height < 0;
    if (topDown)
        height = -height;
    if (planes != 1)
        Refuse("Unsupported number of planes");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        Refuse("Unsupported color depth");
    const bool rle8 = compression == 1;
    const bool rle4 = compression == 2;
    const bool fields = compression == 3 || compression == 6;
    if (compression > 3 && compression != 6)
        Refuse("Unsupported compression");
    if ((rle8 && bits != 8) || (rle4 && bits != 4) || (fields && bits != 16 && bits != 32))
        Refuse("Compression does not match the color depth");
    if ((rle8 || rle4) && topDown)
        Refuse("Run-length packed bitmaps cannot be top-down");
    if (width <= 0 || height <= 0)
        Refuse("The picture has no pixels");
    if (width * height > TBitmap::MaxPixels)
        Refuse("The picture is too large");
    if (dataOffset > b.size())
        Refuse("Pixel data beyond the end of the file");

    std::vector<TRgb> palette;
    if (bits <= 8) {
        std::uint64_t count = colorsUsed ? colorsUsed : (1u << bits);
        if (count > 256)
            Refuse("Too many palette entries");
        // Some writers claim more entries than they store before the pixels.
        const std::uint64_t room =
            dataOffset > paletteStart ? (dataOffset - paletteStart) / paletteEntrySize : 0;
        count = std::min(count, room);
        for (std::uint64_t k = 0; k < count; ++k) {
            const size_t at = paletteStart + k * paletteEntrySize;
            palette.push_back({static_cast<std::uint8_t>(b[at + 2]),
                               static_cast<std::uint8_t>(b[at + 1]),
                               static_cast<std::uint8_t>(b[at])});
        }
    }

    const std::string_view data = b.substr(dataOffset);
    const int w = static_cast<int>(width);
    const int h = static_cast<int>(height);
    TBitmap bitmap;
    bitmap.BitCount = static_cast<int>(bits);
    auto fromPalette = [&palette](unsigned index) {
        return index < palette.size() ? palette[index] : TRgb{};
    };

    if (rle8 || rle4) {
        // Packed data of n bytes makes at most 255 pixels per 2 bytes, but
        // end-of-line and delta codes can skip whole areas: bound by the
        // file size as well as by the global cap.
        if (width * height > std::max<std::int64_t>(std::int64_t{1} << 22,
                                                    static_cast<std::int64_t>(data.size()) * 512))
            Refuse("The picture is too large for its data");
        std::vector<std::uint8_t> indices(static_cast<size_t>(w) * h, 0);
        DecodeRle(data, rle8 ? 8 : 4, w, h, false, indices);
        bitmap.SetSize(w, h);
        for (size_t k = 0; k < indices.size(); ++k)
            bitmap.Pixels()[k] = fromPalette(indices[k]);
        bitmap.Palette = std::move(palette);
        return bitmap;
    }

    const std::uint64_t stride = ((std::uint64_t(width) * bits + 31) / 32) * 4;
    if (stride * height > data.size()) {
        // The last row may lack its padding.
        const std::uint64_t lastRow = (std::uint64_t(width) * bits + 7) / 8;
        if (stride * (height - 1) + lastRow > data.size())
            Refuse("Pixel data shorter than the picture");
    }
    if (bits == 16 && !fields) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    }
    if (bits == 32 && !fields) {
        masks[0] = 0x00FF0000;
        masks[1] = 0x0000FF00;
        masks[2] = 0x000000FF;
    }
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
    bitmap.SetSize(w, h);
    const auto* p = reinterpret_cast<const unsigned char*>(data.data());
    for (int row = 0; row < h; ++row) {
        const int y = topDown ? row : h - 1 - row;
        const unsigned char* r = p + stride * row;
        for (int x = 0; x < w; ++x) {
            TRgb c;
            switch (bits) {
            case 1:
                c = fromPalette((r[x / 8] >> (7 - x % 8)) & 1);
                break;
            case 4:
                c = fromPalette(x % 2 == 0 ? r[x / 2] >> 4 : r[x / 2] & 15);
                break;
            case 8:
                c = fromPalette(r[x]);
                break;
            case 16: {
                const std::uint32_t v = platform::GetLE16(r + 2 * x);
                c = {red.Get(v), green.Get(v), blue.Get(v)};
                break;
            }
            case 24:
                c = {r[3 * x + 2], r[3 * x + 1], r[3 * x]};
                break;
            default: {
                const std::uint32_t v = platform::GetLE32(r + 4 * x);
                c = {red.Get(v), green.Get(v), blue.Get(v)};
                break;
            }
            }
            bitmap.SetPixel(x, y, c);
        }
    }
    bitmap.Palette = std::move(palette);
    return bitmap;
}

TBitmap LoadBmpFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw EImageError("Cannot open " + path.string());
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0)
        throw EImageError("Cannot open " + path.string());
    if (static_cast<std::uint64_t>(size) > kMaxFileSize)
        Refuse("File too large");
    in.seekg(0);
    std::string bytes(static_cast<size_t>(size), '\0');
    if (!in.read(bytes.data(), size))
        throw EImageError("Cannot read " + path.string());
    return ReadBmp(bytes);
}

std::string WriteBmp(const TBitmap& bitmap) {
    const int w = bitmap.Width();
    const int h = bitmap.Height();
    const bool paletted = !bitmap.Palette.empty() && bitmap.Palette.size() <= 256;
    const int bits = paletted ? 8 : 24;
    const size_t stride = ((static_cast<size_t>(w) * bits + 31) / 32) * 4;
    const size_t paletteBytes = paletted ? bitmap.Palette.size() * 4 : 0;
    const size_t offset = 14 + 40 + paletteBytes;
    std::string out;
    auto put16 = [&out](std::uint32_t v) {
        platform::AppendLE16(out, static_cast<std::uint16_t>(v));
    };
    auto put32 = [&out](std::uint32_t v) { platform::AppendLE32(out, v); };
    out += "BM";
    put32(static_cast<std::uint32_t>(offset + stride * h));
    put32(0);
    put32(static_cast<std::uint32_t>(offset));
    put32(40);
    put32(static_cast<std::uint32_t>(w));
    put32(static_cast<std::uint32_t>(h));
    put16(1);
    put16(static_cast<std::uint32_t>(bits));
    put32(0);
    put32(static_cast<std::uint32_t>(stride * h));
    put32(2835);
    put32(2835);
    put32(paletted ? static_cast<std::uint32_t>(bitmap.Palette.size()) : 0);
    put32(0);
    std::unordered_map<std::uint32_t, int> index;
    if (paletted) {
        for (size_t k = 0; k < bitmap.Palette.size(); ++k) {
            const TRgb& c = bitmap.Palette[k];
            out += {static_cast<char>(c.B), static_cast<char>(c.G), static_cast<char>(c.R), 0};
            index.try_emplace(c.Packed(), static_cast<int>(k));
        }
    }
    for (int y = h - 1; y >= 0; --y) {
        std::string row(stride, '\0');
        for (int x = 0; x < w; ++x) {
            const TRgb c = bitmap.Pixel(x, y);
            if (paletted) {
                auto it = index.find(c.Packed());
                row[x] = static_cast<char>(it == index.end() ? 0 : it->second);
            } else {
                row[3 * x] = static_cast<char>(c.B);
                row[3 * x + 1] = static_cast<char>(c.G);
                row[3 * x + 2] = static_cast<char>(c.R);
            }
        }
        out += row;
    }
    return out;
}

} // namespace helpproject
