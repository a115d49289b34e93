#include "helpproject/shg.h"

#include <algorithm>
#include <fstream>
#include <limits>
#include <unordered_map>

#include "components/messengerseam.h"
#include "helpproject/helputils.h"
#include "platform/fileio.h"
#include "platform/littleendian.h"

namespace helpproject {

namespace {

constexpr std::uint16_t kMagic = 0x706C;
constexpr std::uint16_t kMagicOld = 0x506C;
// Nothing a help author draws comes near this; it keeps a damaged size field
// from making us read gigabytes.
constexpr std::uint64_t kMaxFileSize = std::uint64_t{1} << 30;

[[noreturn]] void Refuse(const std::string& reason) {
    throw ESHGError("Cannot understand SHG file.\r(" + reason + ")");
}

// A bounds-checked cursor over the file's bytes.
class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}

    void Seek(std::uint64_t offset) {
        if (offset > bytes_.size())
            Refuse("Offset beyond the end of the file");
        pos_ = static_cast<size_t>(offset);
    }
    std::uint8_t Byte() {
        Need(1);
        return static_cast<std::uint8_t>(bytes_[pos_++]);
    }
    std::uint16_t Word() {
        Need(2);
        const std::uint16_t value = platform::GetLE16(platform::BytesAt(bytes_, pos_));
        pos_ += 2;
        return value;
    }
    std::uint32_t DWord() {
        Need(4);
        const std::uint32_t value = platform::GetLE32(platform::BytesAt(bytes_, pos_));
        pos_ += 4;
        return value;
    }
    std::uint32_t CompressedWord() {
        const std::uint8_t first = Byte();
        if ((first & 1) == 0)
            return first >> 1;
        return std::uint32_t{Byte()} * 128 + (first >> 1);
    }
    std::uint32_t CompressedDWord() {
        const std::uint16_t low = Word();
        if ((low & 1) == 0)
            return low >> 1;
        return std::uint32_t{Word()} * 32768 + (low >> 1);
    }
    std::string_view Bytes(std::uint64_t count) {
        if (count > bytes_.size() - pos_)
            Refuse("Unexpected end of file");
        std::string_view result = bytes_.substr(pos_, static_cast<size_t>(count));
        pos_ += static_cast<size_t>(count);
        return result;
    }
    std::string ZeroTerminated() {
        const size_t end = bytes_.find('\0', pos_);
        if (end == std::string_view::npos)
            Refuse("Unexpected end of file");
        std::string result(bytes_.substr(pos_, end - pos_));
        pos_ = end + 1;
        return result;
    }

private:
    void Need(size_t count) const {
        if (count > bytes_.size() - pos_)
            Refuse("Unexpected end of file");
    }
    std::string_view bytes_;
    size_t pos_ = 0;
};

// Windows' default palette for 8-bit device-dependent pictures, which carry
// none: the sixteen standard colours, a 6x6x6 colour cube and a grey ramp.
std::vector<TRgb> DefaultPalette256() {
    std::vector<TRgb> palette = shg::SixteenColourTable();
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                palette.push_back({static_cast<std::uint8_t>(r * 51),
                                   static_cast<std::uint8_t>(g * 51),
                                   static_cast<std::uint8_t>(b * 51)});
    for (int i = 0; palette.size() < 256; ++i) {
        const auto v = static_cast<std::uint8_t>(8 + i * 10);
        palette.push_back({v, v, v});
    }
    return palette;
}

// The messenger's gauge over the rows: shown from Start to the end of the
// read or write. Reading and writing let no other events through.
class Gauge {
public:
    Gauge(bool show, components::IMessenger* messenger) : messenger_(show ? messenger : nullptr) {}
    ~Gauge() {
        if (started_)
            messenger_->EndProgress();
    }
    Gauge(const Gauge&) = delete;
    Gauge& operator=(const Gauge&) = delete;
    void Start(const char* text, int max) {
        if (messenger_) {
            messenger_->BeginProgress(text, max);
            started_ = true;
            Set(1);
        }
    }
    void Set(int position) {
        if (messenger_) {
            position_ = position;
            messenger_->SetProgress(position_);
        }
    }
    void Step() { Set(position_ + 1); }

private:
    components::IMessenger* messenger_;
    bool started_ = false;
    int position_ = 0;
};

// The colour depth a picture without one is saved with: asked, or true
// colour when nobody can be asked.
std::uint16_t AskColourDepth(components::IMessenger* messenger) {
    if (!messenger)
        return 24;
    components::TQuestion question;
    question.Kind = components::TMessageKind::Confirmation;
    question.Caption = "Save hotspot bitmap";
    question.Text = "Save as true color hotspot bitmap?\r(Click no to save it with only 16 colors)";
    question.Buttons = components::YesNoCancelButtons();
    switch (messenger->Ask(question)) {
    case components::mrYes:
        return 24;
    case components::mrNo:
        return 4;
    default:
        throw components::EAbort(kSHGSaveCancelled);
    }
}

// Nearest palette entry for each colour, remembered across pixels.
class PaletteMatcher {
public:
    explicit PaletteMatcher(const std::vector<TRgb>& palette) : palette_(palette) {}
    std::uint8_t Index(TRgb colour) {
        auto [it, inserted] = cache_.try_emplace(colour.Packed(), 0);
        if (!inserted)
            return it->second;
        int best = 0;
        long bestDistance = std::numeric_limits<long>::max();
        for (size_t i = 0; i < palette_.size(); ++i) {
            const long dr = long{colour.R} - palette_[i].R;
            const long dg = long{colour.G} - palette_[i].G;
            const long db = long{colour.B} - palette_[i].B;
            const long d = dr * dr + dg * dg + db * db;
            if (d < bestDistance) {
                bestDistance = d;
                best = static_cast<int>(i);
                if (d == 0)
                    break;
            }
        }
        it->second = static_cast<std::uint8_t>(best);
        return it->second;
    }

private:
    const std::vector<TRgb>& palette_;
    std::unordered_map<std::uint32_t, std::uint8_t> cache_;
};

// The 256 entries written for an 8-bit picture: its own palette (cut or
// filled up with black), or for a picture without one its colours when they
// fit, else the default palette.
std::vector<TRgb> PaletteFor8Bit(const TBitmap& bitmap) {
    std::vector<TRgb> palette = bitmap.Palette;
    if (palette.empty()) {
        std::unordered_map<std::uint32_t, bool> seen;
        for (const TRgb& c : bitmap.Pixels()) {
            if (seen.emplace(c.Packed(), true).second) {
                palette.push_back(c);
                if (palette.size() > 256)
                    break;
            }
        }
        if (palette.size() > 256)
            palette = DefaultPalette256();
    }
    palette.resize(256);
    return palette;
}

} // namespace

namespace shg {

const std::vector<TRgb>& SixteenColourTable() {
    static const std::vector<TRgb> table = {
        {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},  {0, 0, 128}, {128, 0, 128},
        {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},    {0, 255, 0}, {255, 255, 0},
        {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
    return table;
}

int SixteenColourIndex(TRgb c) {
    const auto& table = SixteenColourTable();
    for (int i = 0; i < 16; ++i)
        if (table[i] == c)
            return i;
    auto within = [&c](int low, int high) {
        return c.R >= low && c.R <= high && c.G >= low && c.G <= high && c.B >= low && c.B <= high;
    };
    if (within(160, 223))
        return 7;
    if (within(64, 159))
        return 8;
    auto level = [](std::uint8_t v) -> std::uint8_t { return v <= 85 ? 0 : v <= 170 ? 128 : 255; };
    const TRgb q{level(c.R), level(c.G), level(c.B)};
    for (int i = 0; i < 15; ++i)
        if (table[i] == q)
            return i;
    return 15;
}

void WriteCompressedWord(std::string& out, std::uint32_t value) {
    if (value <= 127) {
        out += static_cast<char>(value * 2);
    } else if (value <= 32767) {
        platform::AppendLE16(out, static_cast<std::uint16_t>(value * 2 + 1));
    } else {
        throw EProjectError("Value too large for an SHG file");
    }
}

void WriteCompressedDWord(std::string& out, std::uint32_t value) {
    if (value <= 32767) {
        platform::AppendLE16(out, static_cast<std::uint16_t>(value * 2));
    } else if (value <= 0x7FFFFFFFu) {
        platform::AppendLE32(out, value * 2 + 1);
    } else {
        throw EProjectError("Value too large for an SHG file");
    }
}

std::string RleEncode(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 127 + 1);
    char pending[127];
    size_t count = 0; // bytes in `pending`
    size_t literal = 0;
    size_t run = 0;
    auto emitLiteral = [&] {
        out += static_cast<char>(0x80 + literal);
        out.append(pending, literal);
    };
    auto emitRun = [&] {
        out += static_cast<char>(run);
        out += pending[count - 1];
    };
    auto keepRun = [&] {
        std::copy(pending + count - run, pending + count, pending);
        count = run;
        literal = 0;
    };
    for (const char b : bytes) {
        const bool repeats = count > 0 && pending[count - 1] == b;
        pending[count++] = b;
        if (repeats) {
            if (run == 0 && literal > 0) {
                --literal;
                run = 2;
            } else {
                ++run;
            }
            if (run >= 3 && literal > 0) {
                emitLiteral();
                keepRun();
            }
        } else if (run >= 3) {
            --count; // the run ends before b
            emitRun();
            pending[0] = b;
            count = 1;
            literal = 1;
            run = 0;
        } else {
            literal += run + 1;
            run = 0;
        }
        if (count == 127) {
            if (literal > 0) {
                emitLiteral();
                keepRun();
            } else {
                emitRun();
                count = 0;
                run = 0;
            }
        }
    }
    if (count > 0) {
        if (run < 3) {
            literal += run;
            run = 0;
        }
        if (literal > 0)
            emitLiteral();
        if (run > 0)
            emitRun();
    }
    return out;
}

std::string RleDecode(std::string_view packed, std::uint64_t limit) {
    std::string out;
    out.reserve(static_cast<size_t>(std::min<std::uint64_t>(limit, packed.size() * 4)));
    size_t i = 0;
    while (i < packed.size()) {
        const auto control = static_cast<unsigned char>(packed[i++]);
        if (control > 128) {
            const size_t n = control - 128;
            if (n > packed.size() - i)
                Refuse("Run-length data ends inside a group");
            if (out.size() + n > limit)
                Refuse("Run-length data larger than the picture");
            out.append(packed.substr(i, n));
            i += n;
        } else {
            if (i >= packed.size())
                Refuse("Run-length data ends inside a group");
            if (out.size() + control > limit)
                Refuse("Run-length data larger than the picture");
            out.append(control, packed[i++]);
        }
    }
    return out;
}

} // namespace shg

void TSHG::LoadFromFile(const std::string& fileName, bool showProgress,
                        components::IMessenger* messenger) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        throw ESHGError("Cannot open " + fileName);
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0)
        throw ESHGError("Cannot open " + fileName);
    if (static_cast<std::uint64_t>(size) > kMaxFileSize)
        Refuse("File too large");
    in.seekg(0);
    std::string bytes(static_cast<size_t>(size), '\0');
    if (!in.read(bytes.data(), size))
        throw ESHGError("Cannot open " + fileName);
    LoadFromBytes(bytes, showProgress, messenger);
    FileName = fileName;
}

void TSHG::LoadFromBytes(std::string_view bytes, bool showProgress,
                         components::IMessenger* messenger) {
    ByteReader r(bytes);
    Magic = r.Word();
    if (Magic != kMagic && Magic != kMagicOld)
        Refuse("Incorrect magic value");
    PictureCount = r.Word();
    if (PictureCount != 1)
        Refuse("More than one bitmap in file");
    r.Seek(r.DWord());

    PictureType = r.Byte();
    PackingMethod = r.Byte();
    XDpi = r.CompressedDWord();
    YDpi = r.CompressedDWord();
    Planes = static_cast<std::uint16_t>(r.CompressedWord());
    BitCount = static_cast<std::uint16_t>(r.CompressedWord());
    Width = r.CompressedDWord();
    Height = r.CompressedDWord();
    ColorsUsed = r.CompressedDWord();
    ColorsImportant = r.CompressedDWord();
    CompressedSize = r.CompressedDWord();
    HotspotSize = r.CompressedDWord();
    CompressedOffset = r.DWord();
    HotspotOffset = r.DWord();

    if (PictureType != 5 && PictureType != 6)
        Refuse("Image is not a DDB or DIB bitmap");
    if (PackingMethod > 1)
        Refuse("Unsupported image compression");
    if (Planes != 1)
        Refuse("Unsupported number of planes in bitmap");
    if (BitCount != 4 && BitCount != 8 && BitCount != 16 && BitCount != 24 && BitCount != 32)
        Refuse("Only 4, 8, 16, 24 and 32-bit color depth supported");
    if (Width == 0 || Height == 0)
        Refuse("The picture has no pixels");
    if (std::uint64_t{Width} * Height > static_cast<std::uint64_t>(TBitmap::MaxPixels))
        Refuse("The picture is too large");

    std::vector<TRgb> palette;
    if (PictureType == 6) {
        if (BitCount <= 8 && ColorsUsed == 0)
            ColorsUsed = 1u << BitCount;
        if (ColorsUsed > 256)
            Refuse("Too many palette entries");
        const std::string_view entries = r.Bytes(std::uint64_t{ColorsUsed} * 4);
        for (std::uint32_t i = 0; i < ColorsUsed; ++i)
            palette.push_back({static_cast<std::uint8_t>(entries[i * 4 + 2]),
                               static_cast<std::uint8_t>(entries[i * 4 + 1]),
                               static_cast<std::uint8_t>(entries[i * 4])});
    } else if (BitCount == 4) {
        palette = shg::SixteenColourTable();
    } else if (BitCount == 8) {
        palette = DefaultPalette256();
    }
    if (BitCount == 8)
        palette.resize(256);

    Gauge gauge(showProgress, messenger);
    gauge.Start(kSHGLoadingText, static_cast<int>(Height));

    r.Seek(std::uint64_t{8} + CompressedOffset);
    const std::string_view stored = r.Bytes(CompressedSize);
    const std::uint64_t bytesPerPixel = BitCount > 8 ? (BitCount + 7u) / 8u : 1u;
    const std::uint64_t limit = (std::uint64_t{Width} + 4) * Height * bytesPerPixel;
    std::string unpacked;
    std::string_view data = stored;
    if (PackingMethod == 1) {
        unpacked = shg::RleDecode(stored, limit);
        data = unpacked;
    }
    const std::uint64_t length = data.size();

    // Rows are found by dividing the data among them, as the files were
    // always read; each must still hold its pixels.
    const std::uint64_t perRow = length / Height;
    std::uint64_t needed = 0;
    switch (BitCount) {
    case 4:
        needed = (std::uint64_t{Width} + 1) / 2;
        break;
    case 8:
        needed = Width;
        break;
    case 16:
        needed = std::uint64_t{Width} * 2;
        break;
    case 24:
        needed = std::uint64_t{Width} * 3;
        break;
    default:
        needed = std::uint64_t{Width} * 4;
        break;
    }
    if (perRow < needed)
        Refuse("Pixel data shorter than the picture");

    Bitmap = TBitmap();
    Bitmap.SetSize(static_cast<int>(Width), static_cast<int>(Height));
    Bitmap.BitCount = BitCount;
    Bitmap.Palette = palette;
    const auto* p = reinterpret_cast<const unsigned char*>(data.data());
    auto fromPalette = [&palette](unsigned index) {
        return index < palette.size() ? palette[index] : TRgb{};
    };
    const int w = static_cast<int>(Width);
    const int h = static_cast<int>(Height);
    std::uint64_t nibble = 0; // 4 bits: position in half bytes, across rows
    std::uint64_t offset = 0;
    for (int y = h - 1; y >= 0; --y) {
        if (BitCount == 4) {
            if (y % 4 == 0)
                gauge.Set(h - y);
        } else {
            gauge.Step();
        }
        switch (BitCount) {
        case 4: {
            const std::uint64_t positions = 2 * length / Height;
            for (std::uint64_t x = 0; x < positions; ++x, ++nibble) {
                if (x >= Width)
                    continue;
                const unsigned char byte = p[nibble / 2];
                const unsigned index = (nibble % 2 == 0) ? byte >> 4 : byte & 0x0F;
                Bitmap.SetPixel(static_cast<int>(x), y, fromPalette(index));
            }
            break;
        }
        case 8:
            for (int x = 0; x < w; ++x)
                Bitmap.SetPixel(x, y, fromPalette(p[offset + x]));
            offset += perRow;
            break;
        case 16: {
            for (int x = 0; x < w; ++x) {
                const unsigned v = platform::GetLE16(p + offset + 2 * x);
                Bitmap.SetPixel(x, y,
                                {static_cast<std::uint8_t>(((v >> 10) & 31) * 8),
                                 static_cast<std::uint8_t>(((v >> 5) & 31) * 8),
                                 static_cast<std::uint8_t>((v & 31) * 8)});
            }
            offset += (length / 2 / Height) * 2;
            break;
        }
        case 24:
            for (int x = 0; x < w; ++x)
                Bitmap.SetPixel(x, y,
                                {p[offset + 3 * x + 2], p[offset + 3 * x + 1], p[offset + 3 * x]});
            offset += perRow;
            break;
        default:
            for (int x = 0; x < w; ++x)
                Bitmap.SetPixel(x, y,
                                {p[offset + 4 * x + 2], p[offset + 4 * x + 1], p[offset + 4 * x]});
            offset += (length / 4 / Height) * 4;
            break;
        }
    }

    Hotspots.clear();
    HotspotCount = 0;
    MacroDataSize = 0;
    if (HotspotOffset == 0)
        return;
    r.Seek(std::uint64_t{8} + HotspotOffset);
    HotspotVersion = r.Byte();
    if (HotspotVersion != 1)
        Refuse("Incorrect hotspot version");
    HotspotCount = r.Word();
    MacroDataSize = r.DWord();
    const std::string_view records = r.Bytes(std::uint64_t{HotspotCount} * 15);
    Hotspots.reserve(HotspotCount);
    for (int i = 0; i < HotspotCount; ++i) {
        const auto* q = reinterpret_cast<const unsigned char*>(records.data()) + i * 15;
        TBrindlewovenHotspot spot;
        spot.HotspotType = q[0];
        spot.HotspotAttr = q[1];
        spot.Left = platform::GetLE16(q + 3);
        spot.Top = platform::GetLE16(q + 5);
        spot.Width = platform::GetLE16(q + 7);
        spot.Height = platform::GetLE16(q + 9);
        Hotspots.push_back(std::move(spot));
    }
    r.Bytes(MacroDataSize);
    for (TBrindlewovenHotspot& spot : Hotspots) {
        spot.Name = r.ZeroTerminated();
        spot.Target = r.ZeroTerminated();
    }
}

std::string TSHG::SaveToBytes(bool showProgress, components::IMessenger* messenger) {
    if (BitCount == 0)
        BitCount = AskColourDepth(messenger);
    // Depths the writer does not encode are kept losslessly as true colour.
    const int depth = (BitCount == 4 || BitCount == 8) ? BitCount : 24;
    if (Bitmap.Empty())
        throw EProjectError("Cannot save an empty hotspot bitmap");
    const int w = Bitmap.Width();
    const int h = Bitmap.Height();

    Gauge gauge(showProgress, messenger);
    gauge.Start(kSHGSavingText, h);

    std::vector<TRgb> palette;
    if (depth == 8)
        palette = PaletteFor8Bit(Bitmap);
    size_t stride = 0;
    if (depth == 4)
        stride = ((static_cast<size_t>(w) + 7) / 8) * 4;
    else if (depth == 8)
        stride = (static_cast<size_t>(w) + 3) & ~size_t{3};
    else
        stride = (static_cast<size_t>(w) * 3 + 3) & ~size_t{3};
    std::string raw(stride * static_cast<size_t>(h), '\0');
    PaletteMatcher matcher(palette);
    size_t rowStart = 0;
    for (int y = h - 1; y >= 0; --y, rowStart += stride) {
        gauge.Step();
        char* row = raw.data() + rowStart;
        for (int x = 0; x < w; ++x) {
            const TRgb c = Bitmap.Pixel(x, y);
            if (depth == 24) {
                row[3 * x] = static_cast<char>(c.B);
                row[3 * x + 1] = static_cast<char>(c.G);
                row[3 * x + 2] = static_cast<char>(c.R);
            } else if (depth == 8) {
                row[x] = static_cast<char>(matcher.Index(c));
            } else {
                const int index = shg::SixteenColourIndex(c);
                row[x / 2] = static_cast<char>(row[x / 2] | (x % 2 == 0 ? index << 4 : index));
            }
        }
    }
    const std::string packed = shg::RleEncode(raw);
    if (packed.size() > 0x7FFFFFFFu)
        throw EProjectError("The hotspot bitmap is too large");

    std::string paletteBytes;
    if (depth == 4) {
        for (const TRgb& c : shg::SixteenColourTable())
            paletteBytes +=
                {static_cast<char>(c.B), static_cast<char>(c.G), static_cast<char>(c.R), '\0'};
        ColorsUsed = 16;
    } else if (depth == 8) {
        for (const TRgb& c : palette)
            paletteBytes +=
                {static_cast<char>(c.B), static_cast<char>(c.G), static_cast<char>(c.R), '\0'};
        ColorsUsed = 256;
    } else {
        paletteBytes.assign(4, '\0');
        ColorsUsed = 1;
    }

    // Hotspots: first their offsets and sizes, then the bytes.
    std::string macroData;
    std::string strings;
    for (TBrindlewovenHotspot& spot : Hotspots) {
        const std::string& t = spot.Target;
        const size_t gt = t.find('>');
        const size_t at = t.find('@');
        if (spot.IsMacro()) {
            spot.HashOrOffset = static_cast<std::uint32_t>(macroData.size());
            macroData += t;
            macroData += '\0';
        } else if (gt != std::string::npos || at != std::string::npos) {
            spot.HashOrOffset = static_cast<std::uint32_t>(macroData.size());
            macroData += static_cast<char>((gt != std::string::npos ? 2 : 0) |
                                           (at != std::string::npos ? 4 : 0));
            platform::AppendLE32(macroData, WinHelpHash(t));
            if (gt != std::string::npos) {
                const size_t end = t.find('@', gt + 1);
                macroData += t.substr(gt + 1, end == std::string::npos ? end : end - gt - 1);
                macroData += '\0';
            }
            if (at != std::string::npos) {
                const size_t end = t.find('>', at + 1);
                macroData += t.substr(at + 1, end == std::string::npos ? end : end - at - 1);
                macroData += '\0';
            }
        } else {
            spot.HashOrOffset = WinHelpHash(t);
        }
        strings += spot.Name;
        strings += '\0';
        strings += t;
        strings += '\0';
    }
    if (Hotspots.size() > 0xFFFF)
        throw EProjectError("Too many hotspots");

    Magic = kMagic;
    PictureCount = 1;
    HotspotVersion = 1;
    PictureType = 6;
    PackingMethod = 1;
    Planes = 1;
    BitCount = static_cast<std::uint16_t>(depth);
    Width = static_cast<std::uint32_t>(w);
    Height = static_cast<std::uint32_t>(h);
    ColorsImportant = 0;
    MacroDataSize = static_cast<std::uint32_t>(macroData.size());
    HotspotCount = static_cast<std::uint16_t>(Hotspots.size());
    CompressedSize = static_cast<std::uint32_t>(packed.size());
    HotspotSize = Hotspots.empty()
                      ? 0
                      : static_cast<std::uint32_t>(15 * Hotspots.size() + macroData.size() +
                                                   strings.size() + 7);

    std::string header;
    header += static_cast<char>(PictureType);
    header += static_cast<char>(PackingMethod);
    shg::WriteCompressedDWord(header, XDpi);
    shg::WriteCompressedDWord(header, YDpi);
    shg::WriteCompressedWord(header, Planes);
    shg::WriteCompressedWord(header, BitCount);
    shg::WriteCompressedDWord(header, Width);
    shg::WriteCompressedDWord(header, Height);
    shg::WriteCompressedDWord(header, ColorsUsed);
    shg::WriteCompressedDWord(header, ColorsImportant);
    shg::WriteCompressedDWord(header, CompressedSize);
    shg::WriteCompressedDWord(header, HotspotSize);
    CompressedOffset = static_cast<std::uint32_t>(header.size() + 8 + paletteBytes.size());
    HotspotOffset = HotspotSize > 0 ? CompressedOffset + CompressedSize : 0;

    std::string out;
    out.reserve(8 + CompressedOffset + packed.size() + HotspotSize + 2);
    platform::AppendLE16(out, Magic);
    platform::AppendLE16(out, PictureCount);
    platform::AppendLE32(out, 8);
    out += header;
    platform::AppendLE32(out, CompressedOffset);
    platform::AppendLE32(out, HotspotOffset);
    out += paletteBytes;
    out += packed;
    if (HotspotSize == 0) {
        out += '\x1A';
        out += '\0';
    } else {
        out += static_cast<char>(HotspotVersion);
        platform::AppendLE16(out, HotspotCount);
        platform::AppendLE32(out, MacroDataSize);
        for (const TBrindlewovenHotspot& spot : Hotspots) {
            out += static_cast<char>(spot.HotspotType);
            out += static_cast<char>(spot.HotspotAttr);
            out += '\0';
            platform::AppendLE16(out, spot.Left);
            platform::AppendLE16(out, spot.Top);
            platform::AppendLE16(out, spot.Width);
            platform::AppendLE16(out, spot.Height);
            platform::AppendLE32(out, spot.HashOrOffset);
        }
        out += macroData;
        out += strings;
    }
    return out;
}

void TSHG::SaveToFile(const std::string& fileName, bool showProgress,
                      components::IMessenger* messenger) {
    const std::string bytes = SaveToBytes(showProgress, messenger);
    platform::WriteFileAtomic(fileName, bytes);
    FileName = fileName;
}

} // namespace helpproject
