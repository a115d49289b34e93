#include "components/shelllink.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

#include "platform/codepage.h"
#include "platform/fileio.h"
#include "platform/littleendian.h"

namespace components {

namespace {

constexpr std::uint32_t kHeaderSize = 0x4C;
const unsigned char kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                      0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
enum : std::uint32_t {
    kHasIdList = 0x1,
    kHasLinkInfo = 0x2,
    kHasName = 0x4,
    kHasRelativePath = 0x8,
    kHasWorkingDir = 0x10,
    kHasArguments = 0x20,
    kHasIconLocation = 0x40,
    kIsUnicode = 0x80,
};
// Text buffers of the shell-link interface: at most this many characters
// before the terminator.
constexpr std::size_t kMaxPath = 259;
constexpr std::size_t kMaxDescription = 254;

using platform::AppendLE16;
using platform::AppendLE32;

class TReader {
public:
    explicit TReader(const std::string& bytes) : b_(bytes) {}
    std::uint32_t U8(std::size_t at) const {
        Need(at, 1);
        return static_cast<unsigned char>(b_[at]);
    }
    std::uint32_t U16(std::size_t at) const { return Present(platform::ReadLE16(b_, at)); }
    std::uint32_t U32(std::size_t at) const { return Present(platform::ReadLE32(b_, at)); }
    // A NUL-terminated ANSI text starting at `at`, not beyond `limit`.
    std::string Z(std::size_t at, std::size_t limit) const {
        limit = std::min(limit, b_.size());
        if (at >= limit)
            throw std::runtime_error("text outside its block");
        std::size_t end = b_.find('\0', at);
        if (end == std::string::npos || end >= limit)
            throw std::runtime_error("unterminated text");
        return b_.substr(at, end - at);
    }
    void Need(std::size_t at, std::size_t n) const {
        if (at > b_.size() || b_.size() - at < n)
            throw std::runtime_error("the file ends early");
    }
    const std::string& Bytes() const { return b_; }

private:
    template <typename T> static std::uint32_t Present(std::optional<T> value) {
        if (!value)
            throw std::runtime_error("the file ends early");
        return *value;
    }

    const std::string& b_;
};

std::string Cut(std::string text, std::size_t max) {
    if (text.size() > max)
        text.resize(max);
    return text;
}

} // namespace

std::string TShellLink::Serialize() const {
    std::uint32_t flags = 0; // ANSI strings: kIsUnicode stays clear
    if (!Path.empty())
        flags |= kHasLinkInfo;
    if (!Description.empty())
        flags |= kHasName;
    if (!WorkingDirectory.empty())
        flags |= kHasWorkingDir;
    if (!Arguments.empty())
        flags |= kHasArguments;
    if (!IconPath.empty())
        flags |= kHasIconLocation;
    std::string out;
    AppendLE32(out, kHeaderSize);
    out.append(reinterpret_cast<const char*>(kLinkClsid), 16);
    AppendLE32(out, flags);
    AppendLE32(out, 0x20); // archive
    out.append(24, '\0');  // creation, access, write times
    AppendLE32(out, 0);    // file size
    AppendLE32(out, static_cast<std::uint32_t>(IconIndex));
    AppendLE32(out, static_cast<std::uint32_t>(ShowCmd));
    AppendLE16(out, HotKey);
    out.append(10, '\0');
    if (flags & kHasLinkInfo) {
        std::string path = Cut(Path, kMaxPath);
        std::string volume;
        AppendLE32(volume, 0x11); // size with an empty label
        AppendLE32(volume, 3);    // fixed drive
        AppendLE32(volume, 0);    // serial
        AppendLE32(volume, 0x10); // label offset
        volume += '\0';
        std::uint32_t headerSize = 0x1C;
        std::uint32_t volumeOffset = headerSize;
        std::uint32_t baseOffset = volumeOffset + static_cast<std::uint32_t>(volume.size());
        std::uint32_t suffixOffset = baseOffset + static_cast<std::uint32_t>(path.size()) + 1;
        std::uint32_t total = suffixOffset + 1;
        AppendLE32(out, total);
        AppendLE32(out, headerSize);
        AppendLE32(out, 1); // volume and local base path
        AppendLE32(out, volumeOffset);
        AppendLE32(out, baseOffset);
        AppendLE32(out, 0); // no network link
        AppendLE32(out, suffixOffset);
        out += volume;
        out += path;
        out += '\0';
        out += '\0'; // empty common path suffix
    }
    auto str = [&](const std::string& s, std::size_t max) {
        std::string t = Cut(s, max);
        AppendLE16(out, static_cast<std::uint16_t>(t.size()));
        out += t;
    };
    if (flags & kHasName)
        str(Description, kMaxDescription);
    if (flags & kHasWorkingDir)
        str(WorkingDirectory, kMaxPath);
    if (flags & kHasArguments)
        str(Arguments, kMaxPath);
    if (flags & kHasIconLocation)
        str(IconPath, kMaxPath);
    AppendLE32(out, 0); // terminal block
    return out;
}

void TShellLink::Parse(const std::string& bytes) {
    TReader r(bytes);
    if (r.U32(0) != kHeaderSize)
        throw std::runtime_error("not a shortcut file");
    r.Need(0, kHeaderSize);
    if (bytes.compare(4, 16, reinterpret_cast<const char*>(kLinkClsid), 16) != 0)
        throw std::runtime_error("not a shortcut file");
    std::uint32_t flags = r.U32(20);
    TShellLink l;
    l.IconIndex = static_cast<int>(r.U32(56));
    l.ShowCmd = static_cast<int>(r.U32(60));
    l.HotKey = static_cast<std::uint16_t>(r.U16(64));
    std::size_t pos = kHeaderSize;
    if (flags & kHasIdList)
        pos += 2 + r.U16(pos);
    if (flags & kHasLinkInfo) {
        std::uint32_t size = r.U32(pos);
        r.Need(pos, size);
        std::uint32_t headerSize = r.U32(pos + 4);
        std::uint32_t infoFlags = r.U32(pos + 8);
        std::size_t end = pos + size;
        if (headerSize < 0x1C || headerSize > size)
            throw std::runtime_error("damaged link info");
        std::string suffix;
        std::uint32_t suffixOffset = r.U32(pos + 24);
        if (suffixOffset != 0)
            suffix = r.Z(pos + suffixOffset, end);
        std::string local, network;
        if (infoFlags & 1) {
            std::uint32_t baseOffset = r.U32(pos + 16);
            local = r.Z(pos + baseOffset, end) + suffix;
        }
        if (infoFlags & 2) {
            std::size_t net = pos + r.U32(pos + 20);
            std::uint32_t netSize = r.U32(net);
            if (netSize < 0x14 || net + netSize > end)
                throw std::runtime_error("damaged network link");
            std::string share = r.Z(net + r.U32(net + 8), net + netSize);
            network = share + (suffix.empty() ? "" : "\\" + suffix);
        }
        // The network form has priority, as the shell reports it.
        l.Path = Cut(network.empty() ? local : network, kMaxPath);
        pos = end;
    }
    auto str = [&](std::size_t max) {
        std::size_t count = r.U16(pos);
        pos += 2;
        std::string text;
        if (flags & kIsUnicode) {
            r.Need(pos, count * 2);
            std::u16string u;
            for (std::size_t i = 0; i < count; ++i)
                u += static_cast<char16_t>(r.U16(pos + 2 * i));
            pos += count * 2;
            text = platform::Utf16ToCp1252(u);
        } else {
            r.Need(pos, count);
            text = bytes.substr(pos, count);
            pos += count;
        }
        auto nul = text.find('\0');
        if (nul != std::string::npos)
            text.resize(nul);
        return Cut(text, max);
    };
    if (flags & kHasName)
        l.Description = str(kMaxDescription);
    if (flags & kHasRelativePath)
        str(kMaxPath);
    if (flags & kHasWorkingDir)
        l.WorkingDirectory = str(kMaxPath);
    if (flags & kHasArguments)
        l.Arguments = str(kMaxPath);
    if (flags & kHasIconLocation)
        l.IconPath = str(kMaxPath);
    *this = l;
}

void TShellLink::Load(const std::string& fileName) {
    try {
        std::string bytes = platform::ReadFileBytes(fileName);
        if (bytes.size() > (1u << 20))
            throw std::runtime_error("too large");
        Parse(bytes);
    } catch (const std::exception&) {
        throw std::runtime_error("Cannot load " + fileName);
    }
}

void TShellLink::Save(const std::string& fileName) const {
    try {
        platform::WriteFileAtomic(fileName, Serialize());
    } catch (const std::exception&) {
        throw std::runtime_error("Cannot save " + fileName);
    }
}

std::string ResolveShortcut(const std::string& fileName) {
    TShellLink link;
    link.Load(fileName);
    return link.Path.empty() ? fileName : link.Path;
}

} // namespace components
