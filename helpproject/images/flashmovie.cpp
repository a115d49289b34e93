#include "helpproject/images/flashmovie.h"

#include <zlib.h>

#include <algorithm>
#include <fstream>

#include "helpproject/helputils.h"
#include "helpproject/images/bmpreader.h"
#include "platform/codepage.h"
#include "platform/textutil.h"

namespace helpproject {

namespace {

// The frame rectangle takes at most 5 + 4 x 31 bits.
constexpr size_t kMaxRectBytes = 17;

class BitReader {
public:
    BitReader(std::string_view bytes) : bytes_(bytes) {}
    unsigned Bit() {
        if (bit_ == 0) {
            if (pos_ >= bytes_.size())
                throw EImageError("The Flash movie ends inside its header");
            current_ = static_cast<unsigned char>(bytes_[pos_++]);
            bit_ = 8;
        }
        --bit_;
        return (current_ >> bit_) & 1;
    }
    std::int64_t Unsigned(int n) {
        std::int64_t v = 0;
        for (int i = 0; i < n; ++i)
            v = (v << 1) | Bit();
        return v;
    }
    std::int64_t Signed(int n) {
        if (n == 0)
            return 0;
        std::int64_t v = Bit() ? -1 : 0;
        for (int i = 1; i < n; ++i)
            v = v * 2 + Bit();
        return v;
    }

private:
    std::string_view bytes_;
    size_t pos_ = 0;
    unsigned current_ = 0;
    int bit_ = 0;
};

TFlashFrameSize ParseRect(std::string_view rect) {
    BitReader bits(rect);
    const int n = static_cast<int>(bits.Unsigned(5));
    bits.Signed(n); // Xmin
    const std::int64_t xMax = bits.Signed(n);
    bits.Signed(n); // Ymin
    const std::int64_t yMax = bits.Signed(n);
    return {static_cast<int>(xMax / 20), static_cast<int>(yMax / 20)};
}

// Inflates the start of a zlib stream fed by `more` until `want` bytes come
// out or the stream ends.
template <typename Feed> std::string InflatePrefix(Feed more, size_t want) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        throw EImageError("Cannot unpack the Flash movie header");
    std::string out(want, '\0');
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(want);
    std::string chunk;
    int rc = Z_OK;
    while (z.avail_out > 0) {
        if (z.avail_in == 0) {
            chunk = more();
            if (chunk.empty())
                break;
            z.next_in = reinterpret_cast<Bytef*>(chunk.data());
            z.avail_in = static_cast<uInt>(chunk.size());
        }
        rc = inflate(&z, Z_NO_FLUSH);
        if (rc == Z_STREAM_END)
            break;
        if (rc != Z_OK && rc != Z_BUF_ERROR) {
            inflateEnd(&z);
            throw EImageError("The packed Flash movie is damaged");
        }
    }
    out.resize(want - z.avail_out);
    inflateEnd(&z);
    return out;
}

} // namespace

bool AddPictureName(TStringList& names, const std::string& name) {
    auto it = std::lower_bound(names.begin(), names.end(), name,
                               [](const std::string& a, const std::string& b) {
                                   return platform::AnsiCompareText(a, b) < 0;
                               });
    if (it != names.end() && platform::AnsiCompareText(*it, name) == 0)
        return false;
    names.insert(it, name);
    return true;
}

void CollectPictureNames(const TBrindlewovenProject& /*project*/, std::string_view html,
                         TStringList& names) {
    for (size_t at = platform::FindNoCase(html, "{bm", 0); at != std::string_view::npos;
         at = platform::FindNoCase(html, "{bm", at + 3)) {
        const size_t close = html.find('}', at);
        const size_t limit = close == std::string_view::npos ? html.size() : close;
        const size_t blank = html.find(' ', at + 4);
        if (blank == std::string_view::npos || blank >= limit)
            continue;
        const std::string name = TrimText(html.substr(blank + 1, limit - blank - 1));
        if (!name.empty())
            AddPictureName(names, name);
    }
    constexpr std::string_view kFlash = "{flash=";
    for (size_t at = platform::FindNoCase(html, kFlash, 0); at != std::string_view::npos;
         at = platform::FindNoCase(html, kFlash, at + kFlash.size())) {
        const size_t start = at + kFlash.size();
        const size_t close = html.find('}', start);
        const size_t limit = close == std::string_view::npos ? html.size() : close;
        const std::string name = TrimText(html.substr(start, limit - start));
        if (!name.empty())
            AddPictureName(names, name);
    }
}

std::optional<TFlashFrameSize> ReadFlashFrameSizeFromBytes(std::string_view bytes) {
    if (bytes.size() < 8)
        throw EImageError("The Flash movie ends inside its header");
    const std::string_view signature = bytes.substr(0, 3);
    if (signature == "FWS")
        return ParseRect(bytes.substr(8, kMaxRectBytes));
    if (signature != "CWS")
        return std::nullopt;
    std::string_view rest = bytes.substr(8);
    const std::string rect = InflatePrefix(
        [&rest]() {
            std::string chunk(rest.substr(0, 4096));
            rest.remove_prefix(chunk.size());
            return chunk;
        },
        kMaxRectBytes);
    return ParseRect(rect);
}

std::optional<TFlashFrameSize> ReadFlashFrameSize(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw EImageError("Cannot open " + path.string());
    char header[8];
    if (!in.read(header, 8))
        throw EImageError("The Flash movie ends inside its header");
    const std::string_view signature(header, 3);
    if (signature == "FWS") {
        std::string rect(kMaxRectBytes, '\0');
        in.read(rect.data(), static_cast<std::streamsize>(rect.size()));
        rect.resize(static_cast<size_t>(in.gcount()));
        return ParseRect(rect);
    }
    if (signature != "CWS")
        return std::nullopt;
    const std::string rect = InflatePrefix(
        [&in]() {
            std::string chunk(4096, '\0');
            in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
            chunk.resize(static_cast<size_t>(in.gcount()));
            return chunk;
        },
        kMaxRectBytes);
    return ParseRect(rect);
}

std::string FlashMovieMarkup(const std::string& src, const std::optional<TFlashFrameSize>& size) {
    std::string out = "<OBJECT classid=\"clsid:D27CDB6E-AE6D-11cf-96B8-444553540000\" codebase=\"";
    out += FlashPlayerCabinet;
    std::string dimensions;
    if (size)
        dimensions = "WIDTH=\"" + std::to_string(size->Width) + "\" HEIGHT=\"" +
                     std::to_string(size->Height) + "\"";
    out += size ? "\"" + dimensions + ">" : std::string("\">");
    out += "<PARAM NAME=movie VALUE=\"" + src + "\"><PARAM NAME=quality VALUE=high>";
    out += "<PARAM NAME=bgcolor VALUE=#FFFFFF><EMBED src=\"" + src +
           "\" quality=high bgcolor=#FFFFFF ";
    if (size)
        out += dimensions + " ";
    out += "TYPE=\"application/x-shockwave-flash\" PLUGINSPAGE=\"";
    out += FlashPlayerDownloadPage;
    out += "\"></EMBED></OBJECT>";
    return out;
}

std::string FlashMovieTag(const std::filesystem::path& path, const std::string& src) {
    return FlashMovieMarkup(src, ReadFlashFrameSize(path));
}

} // namespace helpproject
