#include "helpproject/images/imagecodecs.h"

#include <gif_lib.h>
#include <png.h>

#include <cstring>
#include <memory>
#include <unordered_map>
#include <vector>

namespace helpproject {

static_assert(sizeof(TRgb) == 3, "TRgb must be packed RGB for the codecs");

namespace {

// The picture's colours in first-seen order and each pixel's index, when it
// has at most 256 colours.
bool ExactPalette(const TBitmap& bitmap, std::vector<TRgb>& palette,
                  std::vector<std::uint8_t>& indices) {
    std::unordered_map<std::uint32_t, std::uint8_t> index;
    palette.clear();
    indices.resize(bitmap.Pixels().size());
    size_t k = 0;
    std::uint32_t lastKey = 0xFFFFFFFFu;
    std::uint8_t lastIndex = 0;
    for (const TRgb& c : bitmap.Pixels()) {
        const std::uint32_t key = c.Packed();
        if (key != lastKey) {
            auto [it, inserted] = index.try_emplace(key, 0);
            if (inserted) {
                if (palette.size() == 256)
                    return false;
                it->second = static_cast<std::uint8_t>(palette.size());
                palette.push_back(c);
            }
            lastKey = key;
            lastIndex = it->second;
        }
        indices[k++] = lastIndex;
    }
    return true;
}

void CheckSize(const TBitmap& bitmap) {
    if (bitmap.Empty())
        throw EImageError("The picture is empty");
}

struct MemoryOutput {
    std::string bytes;
};

int WriteToMemory(GifFileType* gif, const GifByteType* data, int length) {
    static_cast<MemoryOutput*>(gif->UserData)
        ->bytes.append(reinterpret_cast<const char*>(data), static_cast<size_t>(length));
    return length;
}

struct MemoryInput {
    std::string_view bytes;
    size_t pos = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* data, int length) {
    auto* in = static_cast<MemoryInput*>(gif->UserData);
    const size_t n = std::min(static_cast<size_t>(length), in->bytes.size() - in->pos);
    std::memcpy(data, in->bytes.data() + in->pos, n);
    in->pos += n;
    return static_cast<int>(n);
}

std::string GifError(int code) {
    const char* text = GifErrorString(code);
    return text ? text : "GIF error " + std::to_string(code);
}

struct GifWriterCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
};
struct GifReaderCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
struct MapFree {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

} // namespace

std::string EncodePng(const TBitmap& bitmap) {
    CheckSize(bitmap);
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(bitmap.Width());
    image.height = static_cast<png_uint_32>(bitmap.Height());
    std::vector<TRgb> palette;
    std::vector<std::uint8_t> indices;
    const void* buffer = bitmap.Pixels().data();
    const void* colormap = nullptr;
    // Pictures of few colours become palette files: smaller, same pixels.
    if (ExactPalette(bitmap, palette, indices)) {
        image.format = PNG_FORMAT_RGB_COLORMAP;
        image.colormap_entries = static_cast<png_uint_32>(palette.size());
        buffer = indices.data();
        colormap = palette.data();
    } else {
        image.format = PNG_FORMAT_RGB;
    }
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, buffer, 0, colormap)) {
        const std::string message = image.message;
        png_image_free(&image);
        throw EImageError("Cannot write PNG: " + message);
    }
    std::string out(size, '\0');
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, buffer, 0, colormap)) {
        const std::string message = image.message;
        png_image_free(&image);
        throw EImageError("Cannot write PNG: " + message);
    }
    out.resize(size);
    return out;
}

std::string EncodeGif(const TBitmap& bitmap) {
    CheckSize(bitmap);
    const int w = bitmap.Width();
    const int h = bitmap.Height();
    if (w > 65535 || h > 65535)
        throw EImageError("The picture is too large for a GIF file");
    std::vector<TRgb> palette;
    std::vector<std::uint8_t> indices;
    if (!ExactPalette(bitmap, palette, indices)) {
        // More than 256 colours: giflib's median-cut reduction.
        const size_t n = bitmap.Pixels().size();
        std::vector<GifByteType> red(n), green(n), blue(n);
        for (size_t k = 0; k < n; ++k) {
            red[k] = bitmap.Pixels()[k].R;
            green[k] = bitmap.Pixels()[k].G;
            blue[k] = bitmap.Pixels()[k].B;
        }
        int mapSize = 256;
        std::vector<GifColorType> map(256);
        indices.assign(n, 0);
        if (GifQuantizeBuffer(static_cast<unsigned>(w), static_cast<unsigned>(h), &mapSize,
                              red.data(), green.data(), blue.data(), indices.data(),
                              map.data()) == GIF_ERROR)
            throw EImageError("Cannot reduce the colours of the picture");
        palette.clear();
        for (int k = 0; k < 256; ++k)
            palette.push_back({map[k].Red, map[k].Green, map[k].Blue});
    }
    int mapSize = 2;
    while (mapSize < static_cast<int>(palette.size()))
        mapSize *= 2;
    std::vector<GifColorType> colours(static_cast<size_t>(mapSize), GifColorType{0, 0, 0});
    for (size_t k = 0; k < palette.size(); ++k)
        colours[k] = {palette[k].R, palette[k].G, palette[k].B};
    std::unique_ptr<ColorMapObject, MapFree> map(GifMakeMapObject(mapSize, colours.data()));
    if (!map)
        throw std::bad_alloc();

    MemoryOutput output;
    int error = 0;
    std::unique_ptr<GifFileType, GifWriterCloser> gif(EGifOpen(&output, WriteToMemory, &error));
    if (!gif)
        throw EImageError("Cannot write GIF: " + GifError(error));
    if (EGifPutScreenDesc(gif.get(), w, h, 8, 0, map.get()) == GIF_ERROR ||
        EGifPutImageDesc(gif.get(), 0, 0, w, h, false, nullptr) == GIF_ERROR)
        throw EImageError("Cannot write GIF: " + GifError(gif->Error));
    for (int y = 0; y < h; ++y)
        if (EGifPutLine(gif.get(), indices.data() + static_cast<size_t>(y) * w, w) == GIF_ERROR)
            throw EImageError("Cannot write GIF: " + GifError(gif->Error));
    GifFileType* raw = gif.release();
    if (EGifCloseFile(raw, &error) == GIF_ERROR)
        throw EImageError("Cannot write GIF: " + GifError(error));
    return std::move(output.bytes);
}

TImageSize ReadPngSize(const std::filesystem::path& path) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        const std::string message = image.message;
        png_image_free(&image);
        throw EImageError("Cannot read " + path.string() + ": " + message);
    }
    const TImageSize size{static_cast<int>(image.width), static_cast<int>(image.height)};
    png_image_free(&image);
    return size;
}

TImageSize ReadGifSize(const std::filesystem::path& path) {
    int error = 0;
    std::unique_ptr<GifFileType, GifReaderCloser> gif(DGifOpenFileName(path.c_str(), &error));
    if (!gif)
        throw EImageError("Cannot read " + path.string() + ": " + GifError(error));
    return {gif->SWidth, gif->SHeight};
}

TBitmap DecodePng(std::string_view bytes) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
        throw EImageError(std::string("Cannot read PNG: ") + image.message);
    image.format = PNG_FORMAT_RGB;
    if (std::int64_t{image.width} * image.height > TBitmap::MaxPixels) {
        png_image_free(&image);
        throw EImageError("Cannot read PNG: the picture is too large");
    }
    TBitmap bitmap;
    bitmap.SetSize(static_cast<int>(image.width), static_cast<int>(image.height));
    const png_color white{255, 255, 255};
    if (!png_image_finish_read(&image, &white, bitmap.Pixels().data(), 0, nullptr)) {
        const std::string message = image.message;
        png_image_free(&image);
        throw EImageError("Cannot read PNG: " + message);
    }
    return bitmap;
}

TBitmap DecodeGif(std::string_view bytes) {
    MemoryInput input{bytes, 0};
    int error = 0;
    std::unique_ptr<GifFileType, GifReaderCloser> gif(DGifOpen(&input, ReadFromMemory, &error));
    if (!gif)
        throw EImageError("Cannot read GIF: " + GifError(error));
    if (DGifSlurp(gif.get()) == GIF_ERROR)
        throw EImageError("Cannot read GIF: " + GifError(gif->Error));
    if (gif->ImageCount < 1)
        throw EImageError("Cannot read GIF: no picture");
    const SavedImage& frame = gif->SavedImages[0];
    const ColorMapObject* map =
        frame.ImageDesc.ColorMap ? frame.ImageDesc.ColorMap : gif->SColorMap;
    if (!map)
        throw EImageError("Cannot read GIF: no colour table");
    const int w = frame.ImageDesc.Width;
    const int h = frame.ImageDesc.Height;
    TBitmap bitmap;
    bitmap.SetSize(w, h);
    bitmap.BitCount = 8;
    for (int k = 0; k < map->ColorCount; ++k)
        bitmap.Palette.push_back({map->Colors[k].Red, map->Colors[k].Green, map->Colors[k].Blue});
    std::vector<int> rows(static_cast<size_t>(h));
    if (frame.ImageDesc.Interlace) {
        int next = 0;
        for (int pass = 0; pass < 4; ++pass) {
            static const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
            for (int y = start[pass]; y < h; y += step[pass])
                rows[next++] = y;
        }
    } else {
        for (int y = 0; y < h; ++y)
            rows[y] = y;
    }
    for (int r = 0; r < h; ++r)
        for (int x = 0; x < w; ++x) {
            const int index = frame.RasterBits[static_cast<size_t>(r) * w + x];
            bitmap.SetPixel(x, rows[r], index < map->ColorCount ? bitmap.Palette[index] : TRgb{});
        }
    return bitmap;
}

} // namespace helpproject
