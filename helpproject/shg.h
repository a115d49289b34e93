#pragma once
// Hotspot bitmaps (.shg): one picture with rectangles that jump to a topic,
// pop one up or run a help macro. Reads both magic values, DDB and DIB
// pictures of 4, 8, 16, 24 and 32 bits, packed or not; writes RLE-packed DIBs
// of 4, 8 or 24 bits.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "helpproject/bitmap.h"
#include "helpproject/brindlewovenerror.h"

namespace helpproject {

// A file the reader cannot take: "Cannot understand SHG file.\r(reason)", or
// "Cannot open <file>".
class ESHGError : public EProjectError {
public:
    explicit ESHGError(const std::string& message) : EProjectError(message) {}
};

// The user cancelled (the colour-depth question). Callers show nothing.
class EOperationCancelled : public std::runtime_error {
public:
    EOperationCancelled() : std::runtime_error("Operation cancelled by user") {}
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

// What reading and writing need from the user interface. The defaults do
// nothing and answer the colour question with true colour (the lossless
// choice for runs without a user).
class TSHGUserInterface {
public:
    enum class Answer { Yes, No, Cancel };
    virtual ~TSHGUserInterface() = default;
    virtual void GaugeStart(int /*maxValue*/) {}
    virtual void GaugeProgress(int /*position*/) {}
    virtual Answer Ask(const std::string& /*caption*/, const std::string& /*text*/) {
        return Answer::Yes;
    }
};

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
    // object may be partly filled and should be dropped.
    void LoadFromFile(const std::string& fileName, bool showProgress,
                      TSHGUserInterface* ui = nullptr);
    void LoadFromBytes(std::string_view bytes, bool showProgress = false,
                       TSHGUserInterface* ui = nullptr);

    // Writes the file through a temporary file, so a failure leaves the old
    // one. BitCount 0 asks for the depth first (Cancel: EOperationCancelled,
    // nothing written); 16 and 32 bits are written as 24.
    void SaveToFile(const std::string& fileName, bool showProgress,
                    TSHGUserInterface* ui = nullptr);
    std::string SaveToBytes(bool showProgress = false, TSHGUserInterface* ui = nullptr);
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
