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

} // namespace

namespace shg {

// A bounds-checked cursor over the file's bytes: held in memory, or read
// from the file a piece at a time, so that a large picture's pixel data is
// never held whole beside the picture.
class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : size_(bytes.size()), bytes_(bytes) {}
    ByteReader(std::ifstream& file, std::uint64_t size, std::string fileName)
        : file_(&file), fileName_(std::move(fileName)), size_(size) {}

    std::uint64_t Size() const { return size_; }
    void Seek(std::uint64_t offset) {
        if (offset > size_)
            Refuse("Offset beyond the end of the file");
        pos_ = offset;
    }
    std::uint8_t Byte() { return static_cast<std::uint8_t>(Bytes(1)[0]); }
    std::uint16_t Word() { return platform::GetLE16(platform::BytesAt(Bytes(2), 0)); }
    std::uint32_t DWord() { return platform::GetLE32(platform::BytesAt(Bytes(4), 0)); }
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
    // The next `count` bytes; valid until the next read.
    std::string_view Bytes(std::uint64_t count) {
        if (count > size_ - pos_)
            Refuse("Unexpected end of file");
        const std::string_view result = View(pos_, static_cast<size_t>(count));
        pos_ += count;
        return result;
    }
    void Skip(std::uint64_t count) {
        if (count > size_ - pos_)
            Refuse("Unexpected end of file");
        pos_ += count;
    }
    std::string ZeroTerminated() {
        std::string result;
        for (;;) {
            if (pos_ >= size_)
                Refuse("Unexpected end of file");
            const std::string_view piece =
                View(pos_, static_cast<size_t>(std::min<std::uint64_t>(size_ - pos_, kPiece)));
            const size_t end = piece.find('\0');
            result.append(piece.substr(0, end));
            if (end != std::string_view::npos) {
                pos_ += end + 1;
                return result;
            }
            pos_ += piece.size();
        }
    }
    // `count` bytes at `offset` (within the file); valid until the next read.
    std::string_view View(std::uint64_t offset, size_t count) {
        if (!file_)
            return bytes_.substr(static_cast<size_t>(offset), count);
        if (offset < bufferStart_ || offset + count > bufferStart_ + buffer_.size()) {
            const size_t length = static_cast<size_t>(
                std::min<std::uint64_t>(size_ - offset, std::max(count, kPiece)));
            buffer_.resize(length);
            file_->clear();
            file_->seekg(static_cast<std::streamoff>(offset));
            if (!file_->read(buffer_.data(), static_cast<std::streamsize>(length)))
                throw ESHGError("Cannot open " + fileName_);
            bufferStart_ = offset;
        }
        return std::string_view(buffer_).substr(static_cast<size_t>(offset - bufferStart_), count);
    }

    // Pieces of this size are read from a file.
    static constexpr size_t kPiece = size_t{1} << 20;

private:
    std::ifstream* file_ = nullptr;
    std::string fileName_;
    std::uint64_t size_;
    std::string_view bytes_;
    std::string buffer_; // a file's piece at bufferStart_
    std::uint64_t bufferStart_ = 0;
    std::uint64_t pos_ = 0;
};

} // namespace shg

namespace {

using shg::ByteReader;

// One run-length group: a control byte above 128 takes that many bytes less
// 128 as they stand, one from 0 to 128 repeats the byte after it.
struct RleGroup {
    size_t length = 0;    // bytes it stands for
    size_t stored = 0;    // bytes it takes in the packed data, the control byte included
    bool literal = false; // the bytes follow the control byte; else one byte repeated
};

// The group at the start of `packed`; refuses one that the data cuts short.
RleGroup NextRleGroup(std::string_view packed) {
    const auto control = static_cast<unsigned char>(packed[0]);
    RleGroup g;
    g.literal = control > 128;
    g.length = g.literal ? control - 128u : control;
    g.stored = g.literal ? 1 + g.length : 2;
    if (g.stored > packed.size())
        Refuse("Run-length data ends inside a group");
    return g;
}

// The picture's pixel bytes as unpacked, read forward: stored bytes as they
// stand, or run-length data unpacked a little at a time into a window, so
// that the unpacked data is never held whole.
class PixelBytes {
public:
    PixelBytes(ByteReader& reader, std::uint64_t offset, std::uint64_t size, bool packed,
               std::uint64_t limit)
        : reader_(reader), offset_(offset), end_(offset + size), packed_(packed) {
        if (size > reader.Size() - std::min(offset, reader.Size()))
            Refuse("Unexpected end of file");
        length_ = packed ? UnpackedLength(limit) : size;
    }

    std::uint64_t Length() const { return length_; }

    // The unpacked bytes [from, from + count), which must lie within
    // Length(); `from` never goes back. Valid until the next call.
    const unsigned char* Span(std::uint64_t from, size_t count) {
        if (!packed_)
            return reinterpret_cast<const unsigned char*>(
                reader_.View(offset_ + from, count).data());
        // Drop what lies before `from`, unpack up to its end.
        if (from > windowStart_) {
            const size_t drop =
                static_cast<size_t>(std::min<std::uint64_t>(from - windowStart_, window_.size()));
            window_.erase(0, drop);
            windowStart_ += drop;
        }
        while (windowStart_ + window_.size() < from + count)
            UnpackGroup();
        return reinterpret_cast<const unsigned char*>(window_.data()) + (from - windowStart_);
    }

private:
    // The stored data from `at` (up to one group's worth, or to the end).
    std::string_view Stored(std::uint64_t at) {
        return reader_.View(at, static_cast<size_t>(std::min<std::uint64_t>(end_ - at, 129)));
    }

    std::uint64_t UnpackedLength(std::uint64_t limit) {
        std::uint64_t length = 0;
        for (std::uint64_t at = offset_; at < end_;) {
            const RleGroup g = NextRleGroup(Stored(at));
            if (length + g.length > limit)
                Refuse("Run-length data larger than the picture");
            length += g.length;
            at += g.stored;
        }
        return length;
    }

    void UnpackGroup() {
        const std::string_view stored = Stored(next_);
        const RleGroup g = NextRleGroup(stored);
        if (g.literal)
            window_.append(stored.substr(1, g.length));
        else
            window_.append(g.length, stored[1]);
        next_ += g.stored;
    }

    ByteReader& reader_;
    std::uint64_t offset_;
    std::uint64_t end_;
    bool packed_;
    std::uint64_t length_ = 0;
    std::uint64_t next_ = offset_; // the next stored group
    std::string window_;           // unpacked bytes from windowStart_
    std::uint64_t windowStart_ = 0;
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
    while (!packed.empty()) {
        const RleGroup g = NextRleGroup(packed);
        if (out.size() + g.length > limit)
            Refuse("Run-length data larger than the picture");
        if (g.literal)
            out.append(packed.substr(1, g.length));
        else
            out.append(g.length, packed[1]);
        packed.remove_prefix(g.stored);
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
    ByteReader r(in, static_cast<std::uint64_t>(size), fileName);
    Load(r, showProgress, messenger);
    FileName = fileName;
}

void TSHG::LoadFromBytes(std::string_view bytes, bool showProgress,
                         components::IMessenger* messenger) {
    ByteReader r(bytes);
    Load(r, showProgress, messenger);
}

void TSHG::Load(ByteReader& r, bool showProgress, components::IMessenger* messenger) {
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

    const std::uint64_t bytesPerPixel = BitCount > 8 ? (BitCount + 7u) / 8u : 1u;
    const std::uint64_t limit = (std::uint64_t{Width} + 4) * Height * bytesPerPixel;
    // Unpacked row by row straight into the picture.
    PixelBytes data(r, std::uint64_t{8} + CompressedOffset, CompressedSize, PackingMethod == 1,
                    limit);
    const std::uint64_t length = data.Length();

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
            const std::uint64_t first = nibble / 2;
            const unsigned char* p =
                data.Span(first, static_cast<size_t>((nibble + positions + 1) / 2 - first)) - first;
            for (std::uint64_t x = 0; x < positions; ++x, ++nibble) {
                if (x >= Width)
                    continue;
                const unsigned char byte = p[nibble / 2];
                const unsigned index = (nibble % 2 == 0) ? byte >> 4 : byte & 0x0F;
                Bitmap.SetPixel(static_cast<int>(x), y, fromPalette(index));
            }
            break;
        }
        case 8: {
            const unsigned char* p = data.Span(offset, static_cast<size_t>(w));
            for (int x = 0; x < w; ++x)
                Bitmap.SetPixel(x, y, fromPalette(p[x]));
            offset += perRow;
            break;
        }
        case 16: {
            const unsigned char* p = data.Span(offset, static_cast<size_t>(w) * 2);
            for (int x = 0; x < w; ++x) {
                const unsigned v = platform::GetLE16(p + 2 * x);
                Bitmap.SetPixel(x, y,
                                {static_cast<std::uint8_t>(((v >> 10) & 31) * 8),
                                 static_cast<std::uint8_t>(((v >> 5) & 31) * 8),
                                 static_cast<std::uint8_t>((v & 31) * 8)});
            }
            offset += (length / 2 / Height) * 2;
            break;
        }
        case 24: {
            const unsigned char* p = data.Span(offset, static_cast<size_t>(w) * 3);
            for (int x = 0; x < w; ++x)
                Bitmap.SetPixel(x, y, {p[3 * x + 2], p[3 * x + 1], p[3 * x]});
            offset += perRow;
            break;
        }
        default: {
            const unsigned char* p = data.Span(offset, static_cast<size_t>(w) * 4);
            for (int x = 0; x < w; ++x)
                Bitmap.SetPixel(x, y, {p[4 * x + 2], p[4 * x + 1], p[4 * x]});
            offset += (length / 4 / Height) * 4;
            break;
        }
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
    r.Skip(MacroDataSize);
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
