#include "components/shelllink.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

#include <libfwsi.h>

#include "platform/codepage.h"
#include "platform/fileio.h"
#include "platform/littleendian.h"
#include "platform/pathnames.h"

namespace components {

namespace {

constexpr std::uint32_t kHeaderSize = 0x4C;
// Fields of the header.
constexpr std::size_t kClsidAt = 4;
constexpr std::size_t kClsidSize = 16;
constexpr std::size_t kFlagsAt = 20;
constexpr std::size_t kIconIndexAt = 56;
constexpr std::size_t kShowCmdAt = 60;
constexpr std::size_t kHotKeyAt = 64;
constexpr std::uint32_t kFileAttributeArchive = 0x20;
const unsigned char kLinkClsid[kClsidSize] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
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
// The link info block: its header, the volume of a local path and the
// network share of a network path.
constexpr std::uint32_t kLinkInfoHeaderSize = 0x1C;
constexpr std::size_t kLinkInfoFlagsAt = 8;
constexpr std::size_t kLocalBasePathOffsetAt = 16;
constexpr std::size_t kNetworkLinkOffsetAt = 20;
constexpr std::size_t kCommonPathSuffixOffsetAt = 24;
enum : std::uint32_t {
    kHasVolumeAndLocalPath = 0x1,
    kHasNetworkLink = 0x2,
};
constexpr std::uint32_t kVolumeIdSize = 0x11; // with an empty label
constexpr std::uint32_t kVolumeLabelOffset = 0x10;
constexpr std::uint32_t kDriveFixed = 3;
constexpr std::uint32_t kNetworkLinkMinSize = 0x14;
constexpr std::size_t kNetNameOffsetAt = 8;
// The extension block of a file entry that holds its long name.
constexpr std::uint32_t kFileEntryExtensionSignature = 0xBEEF0004;
// Text buffers of the shell-link interface: at most this many characters
// before the terminator.
constexpr std::size_t kMaxPath = 259;
constexpr std::size_t kMaxDescription = 254;

class TReader {
public:
    explicit TReader(const std::string& bytes) : b_(bytes) {}
    std::uint32_t U16(std::size_t at) const { return Checked(platform::ReadLE16(b_, at)); }
    std::uint32_t U32(std::size_t at) const { return Checked(platform::ReadLE32(b_, at)); }
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
    template <typename T> static std::uint32_t Checked(std::optional<T> value) {
        if (!value)
            throw std::runtime_error("the file ends early");
        return *value;
    }

    const std::string& b_;
};

// libfwsi's handles, freed whichever way the decoding ends.
struct TShellItems {
    libfwsi_item_list_t* list = nullptr;
    libfwsi_error_t* error = nullptr;
    ~TShellItems() {
        if (list)
            libfwsi_item_list_free(&list, nullptr);
        ForgetError();
    }
    void ForgetError() {
        if (error)
            libfwsi_error_free(&error);
    }
};

// A UTF-8 name that libfwsi hands out through a size and a copy call.
template <typename Handle, typename SizeOf, typename Copy>
std::optional<std::string> FwsiName(Handle* handle, SizeOf sizeOf, Copy copy,
                                    libfwsi_error_t** error) {
    std::size_t size = 0;
    if (sizeOf(handle, &size, error) != 1 || size == 0)
        return std::nullopt;
    std::string name(size, '\0');
    if (copy(handle, reinterpret_cast<std::uint8_t*>(name.data()), size, error) != 1)
        return std::nullopt;
    name.resize(name.find('\0'));
    return name;
}

// The long name a file entry carries in its extension block, if any.
std::optional<std::string> LongNameOf(libfwsi_item_t* item, libfwsi_error_t** error) {
    int blocks = 0;
    if (libfwsi_item_get_number_of_extension_blocks(item, &blocks, error) != 1)
        return std::nullopt;
    for (int i = 0; i < blocks; ++i) {
        libfwsi_extension_block_t* block = nullptr;
        std::uint32_t signature = 0;
        if (libfwsi_item_get_extension_block(item, i, &block, error) != 1 ||
            libfwsi_extension_block_get_signature(block, &signature, error) != 1 ||
            signature != kFileEntryExtensionSignature)
            continue;
        if (auto name = FwsiName(block, libfwsi_file_entry_extension_get_utf8_long_name_size,
                                 libfwsi_file_entry_extension_get_utf8_long_name, error))
            return name;
    }
    return std::nullopt;
}

// The file-system path an ID list names, as the shell reports it for a
// shortcut without link info: the volume ("C:\"), then each folder and
// file by its long name (the short one when it has none). Empty when the
// list names no file-system object (a network place, a control panel) or
// cannot be decoded.
std::string PathOfIdList(const unsigned char* data, std::size_t size) {
    TShellItems items;
    if (libfwsi_item_list_initialize(&items.list, &items.error) != 1 ||
        libfwsi_item_list_copy_from_byte_stream(items.list, data, size,
                                                LIBFWSI_CODEPAGE_WINDOWS_1252, &items.error) != 1)
        return {};
    int count = 0;
    if (libfwsi_item_list_get_number_of_items(items.list, &count, &items.error) != 1)
        return {};
    std::string path;
    bool onVolume = false;
    for (int i = 0; i < count; ++i) {
        libfwsi_item_t* item = nullptr;
        int type = LIBFWSI_ITEM_TYPE_UNKNOWN;
        if (libfwsi_item_list_get_item(items.list, i, &item, &items.error) != 1 ||
            libfwsi_item_get_type(item, &type, &items.error) != 1)
            return {};
        std::optional<std::string> name;
        switch (type) {
        case LIBFWSI_ITEM_TYPE_ROOT_FOLDER:
            // The desktop or "My Computer": the path starts below it.
            continue;
        case LIBFWSI_ITEM_TYPE_VOLUME:
            name = FwsiName(item, libfwsi_volume_get_utf8_name_size, libfwsi_volume_get_utf8_name,
                            &items.error);
            if (!name)
                return {};
            path = *name;
            onVolume = true;
            continue;
        case LIBFWSI_ITEM_TYPE_FILE_ENTRY:
            if (!onVolume)
                return {};
            name = LongNameOf(item, &items.error);
            items.ForgetError();
            if (!name)
                name = FwsiName(item, libfwsi_file_entry_get_utf8_name_size,
                                libfwsi_file_entry_get_utf8_name, &items.error);
            if (!name)
                return {};
            path = platform::IncludeTrailingSeparator(path, '\\') + *name;
            continue;
        default:
            return {};
        }
    }
    return onVolume ? platform::Utf8ToCp1252(path) : std::string();
}

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
    platform::AppendLE32(out, kHeaderSize);
    out.append(reinterpret_cast<const char*>(kLinkClsid), kClsidSize);
    platform::AppendLE32(out, flags);
    platform::AppendLE32(out, kFileAttributeArchive);
    out.append(24, '\0');         // creation, access, write times
    platform::AppendLE32(out, 0); // file size
    platform::AppendLE32(out, static_cast<std::uint32_t>(IconIndex));
    platform::AppendLE32(out, static_cast<std::uint32_t>(ShowCmd));
    platform::AppendLE16(out, HotKey);
    out.append(10, '\0'); // reserved
    if (flags & kHasLinkInfo) {
        std::string path = Cut(Path, kMaxPath);
        std::string volume;
        platform::AppendLE32(volume, kVolumeIdSize);
        platform::AppendLE32(volume, kDriveFixed);
        platform::AppendLE32(volume, 0); // serial
        platform::AppendLE32(volume, kVolumeLabelOffset);
        volume += '\0';
        std::uint32_t headerSize = kLinkInfoHeaderSize;
        std::uint32_t volumeOffset = headerSize;
        std::uint32_t baseOffset = volumeOffset + static_cast<std::uint32_t>(volume.size());
        std::uint32_t suffixOffset = baseOffset + static_cast<std::uint32_t>(path.size()) + 1;
        std::uint32_t total = suffixOffset + 1;
        platform::AppendLE32(out, total);
        platform::AppendLE32(out, headerSize);
        platform::AppendLE32(out, kHasVolumeAndLocalPath);
        platform::AppendLE32(out, volumeOffset);
        platform::AppendLE32(out, baseOffset);
        platform::AppendLE32(out, 0); // no network link
        platform::AppendLE32(out, suffixOffset);
        out += volume;
        out += path;
        out += '\0';
        out += '\0'; // empty common path suffix
    }
    auto str = [&](const std::string& s, std::size_t max) {
        std::string t = Cut(s, max);
        platform::AppendLE16(out, static_cast<std::uint16_t>(t.size()));
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
    platform::AppendLE32(out, 0); // terminal block
    return out;
}

void TShellLink::Parse(const std::string& bytes) {
    TReader r(bytes);
    if (r.U32(0) != kHeaderSize)
        throw std::runtime_error("not a shortcut file");
    r.Need(0, kHeaderSize);
    if (bytes.compare(kClsidAt, kClsidSize, reinterpret_cast<const char*>(kLinkClsid),
                      kClsidSize) != 0)
        throw std::runtime_error("not a shortcut file");
    std::uint32_t flags = r.U32(kFlagsAt);
    TShellLink l;
    l.IconIndex = static_cast<int>(r.U32(kIconIndexAt));
    l.ShowCmd = static_cast<int>(r.U32(kShowCmdAt));
    l.HotKey = static_cast<std::uint16_t>(r.U16(kHotKeyAt));
    std::size_t pos = kHeaderSize;
    std::string idListPath;
    if (flags & kHasIdList) {
        std::size_t size = r.U16(pos);
        r.Need(pos + 2, size);
        idListPath = PathOfIdList(platform::BytesAt(bytes, pos + 2), size);
        pos += 2 + size;
    }
    if (flags & kHasLinkInfo) {
        std::uint32_t size = r.U32(pos);
        r.Need(pos, size);
        std::uint32_t headerSize = r.U32(pos + 4);
        std::uint32_t infoFlags = r.U32(pos + kLinkInfoFlagsAt);
        std::size_t end = pos + size;
        if (headerSize < kLinkInfoHeaderSize || headerSize > size)
            throw std::runtime_error("damaged link info");
        std::string suffix;
        std::uint32_t suffixOffset = r.U32(pos + kCommonPathSuffixOffsetAt);
        if (suffixOffset != 0)
            suffix = r.Z(pos + suffixOffset, end);
        std::string local, network;
        if (infoFlags & kHasVolumeAndLocalPath) {
            std::uint32_t baseOffset = r.U32(pos + kLocalBasePathOffsetAt);
            local = r.Z(pos + baseOffset, end) + suffix;
        }
        if (infoFlags & kHasNetworkLink) {
            std::size_t net = pos + r.U32(pos + kNetworkLinkOffsetAt);
            std::uint32_t netSize = r.U32(net);
            if (netSize < kNetworkLinkMinSize || net + netSize > end)
                throw std::runtime_error("damaged network link");
            std::string share = r.Z(net + r.U32(net + kNetNameOffsetAt), net + netSize);
            network = share + (suffix.empty() ? "" : "\\" + suffix);
        }
        // The network form has priority, as the shell reports it.
        l.Path = Cut(network.empty() ? local : network, kMaxPath);
        pos = end;
    }
    // Without link info the target is known by its ID list alone.
    if (l.Path.empty())
        l.Path = Cut(idListPath, kMaxPath);
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
