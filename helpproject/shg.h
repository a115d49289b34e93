#pragma once
// Hotspot bitmaps (.shg): one picture with rectangles that jump to a topic,
// pop one up or run a help macro. Reads both magic values, DDB and DIB
// pictures of 4, 8, 16, 24 and 32 bits, packed or not; writes RLE-packed DIBs
// of 4, 8 or 24 bits.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "helpproject/bitmap.h"
#include "helpproject/brindlewovenerror.h"

namespace components {
class IMessenger;
}

namespace helpproject {

// A file the reader cannot take: "Cannot understand SHG file.\r(reason)", or
// "Cannot open <file>".
class ESHGError : public EProjectError {
public:
    explicit ESHGError(const std::string& message) : EProjectError(message) {}
};

// Hotspot kinds. +4 makes a hotspot invisible, +8 marks a link whose target
// names a window or a help file.
inline constexpr std::uint8_t HotspotJump = 0xE3;
inline constexpr std::uint8_t HotspotPopup = 0xE2;
inline constexpr std::uint8_t HotspotMacro = 0xC8;
inline constexpr std::uint8_t HotspotInvisible = 4;
inline constexpr std::uint8_t HotspotHasWindowOrFile = 8;

struct TBrindlewovenHotspot {
    std::uint8_t HotspotType = 0;
    std::uint8_t HotspotAttr = 0; // 4 invisible, 0 visible
    std::uint16_t Left = 0;
    std::uint16_t Top = 0;
    std::uint16_t Width = 0;
    std::uint16_t Height = 0;
    std::string Name;
    // A macro, or "topic[>window][@file]".
    std::string Target;
    // Set by the writer: the hash of the target or its macro-data offset.
    std::uint32_t HashOrOffset = 0;

    bool IsMacro() const { return HotspotType == 0xC8 || HotspotType == 0xCC; }
    // Every popup kind: visible or not, with or without window or file.
    bool IsPopup() const {
        return HotspotType == 0xE2 || HotspotType == 0xE6 || HotspotType == 0xEA ||
               HotspotType == 0xEE;
    }
};

// The gauge texts of reading and writing with progress shown.
inline constexpr const char* kSHGLoadingText = "Loading Segmented HyperGraphic...";
inline constexpr const char* kSHGSavingText = "Saving Segmented HyperGraphic...";
// What Cancel at the colour question ends the save with (components::EAbort,
// shown as nothing).
inline constexpr const char* kSHGSaveCancelled = "Operation cancelled by user";

namespace shg {
class ByteReader;
}

class TSHG {
public:
    TSHG() = default;

    std::uint16_t Magic = 0x706C;
    std::uint16_t PictureCount = 1;
    std::uint8_t PictureType = 6;
    std::uint8_t PackingMethod = 1;
    std::uint32_t XDpi = 96;
    std::uint32_t YDpi = 96;
    std::uint16_t Planes = 1;
    std::uint16_t BitCount = 0;
    std::uint32_t Width = 0;
    std::uint32_t Height = 0;
    std::uint32_t ColorsUsed = 16;
    std::uint32_t ColorsImportant = 0;
    std::uint32_t CompressedSize = 0;
    std::uint32_t HotspotSize = 0;
    std::uint32_t CompressedOffset = 0;
    std::uint32_t HotspotOffset = 0;
    std::uint8_t HotspotVersion = 1;
    std::uint16_t HotspotCount = 0;
    std::uint32_t MacroDataSize = 0;
    TBitmap Bitmap;
    std::vector<TBrindlewovenHotspot> Hotspots;
    std::string FileName;

    // Reads the file (opened read-only). Throws ESHGError; on failure the
    // object may be partly filled and should be dropped. With
    // `showProgress` the messenger's gauge shows kSHGLoadingText and runs
    // from 1 to the picture's height with the rows, and closes at the end.
    void LoadFromFile(const std::string& fileName, bool showProgress,
                      components::IMessenger* messenger = nullptr);
    void LoadFromBytes(std::string_view bytes, bool showProgress = false,
                       components::IMessenger* messenger = nullptr);

    // Writes the file through a temporary file, so a failure leaves the old
    // one. BitCount 0 asks the messenger for the depth first ("Save hotspot
    // bitmap", Yes true colour, No 16 colours, Cancel
    // components::EAbort(kSHGSaveCancelled) with nothing written); without a
    // messenger the picture is written in true colour, the lossless choice.
    // 16 and 32 bits are written as 24. `showProgress` as for reading, with
    // kSHGSavingText.
    void SaveToFile(const std::string& fileName, bool showProgress,
                    components::IMessenger* messenger = nullptr);
    std::string SaveToBytes(bool showProgress = false, components::IMessenger* messenger = nullptr);

private:
    void Load(shg::ByteReader& reader, bool showProgress, components::IMessenger* messenger);
};

// The pieces of the format, for tests and tools.
namespace shg {
// The fixed 16-colour table of 4-bit pictures.
const std::vector<TRgb>& SixteenColourTable();
// The index of the 16-colour entry that stands for a colour.
int SixteenColourIndex(TRgb colour);
void WriteCompressedWord(std::string& out, std::uint32_t value);
void WriteCompressedDWord(std::string& out, std::uint32_t value);
// Run-length packing as the writer does it, and the reader's unpacking
// (throws ESHGError when the data ends inside a group or would produce more
// than `limit` bytes).
std::string RleEncode(std::string_view bytes);
std::string RleDecode(std::string_view packed, std::uint64_t limit);
} // namespace shg

} // namespace helpproject
