// Feeds arbitrary bytes to the SHG reader; whatever it accepts must write
// and read back to the same picture.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "helpproject/shg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    helpproject::TSHG shg;
    try {
        shg.LoadFromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const helpproject::ESHGError&) {
        return 0;
    }
    if (shg.Bitmap.Width() * static_cast<int64_t>(shg.Bitmap.Height()) > (1 << 20))
        return 0;
    const std::string written = shg.SaveToBytes();
    helpproject::TSHG back;
    back.LoadFromBytes(written);
    if (shg.BitCount == 24 && back.Bitmap.Pixels() != shg.Bitmap.Pixels())
        std::abort();
    if (back.Hotspots.size() != shg.Hotspots.size())
        std::abort();
    return 0;
}
