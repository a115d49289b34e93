// Feeds arbitrary bytes to the BMP reader; whatever it accepts must encode
// as PNG and read back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "helpproject/images/bmpreader.h"
#include "helpproject/images/imagecodecs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    helpproject::TBitmap bitmap;
    try {
        bitmap = helpproject::ReadBmp(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const helpproject::EImageError&) {
        return 0;
    }
    if (bitmap.Width() * static_cast<int64_t>(bitmap.Height()) > (1 << 18))
        return 0;
    const helpproject::TBitmap back = helpproject::DecodePng(helpproject::EncodePng(bitmap));
    if (back.Pixels() != bitmap.Pixels())
        std::abort();
    return 0;
}
