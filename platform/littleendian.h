#pragma once
// Little-endian integers in byte buffers, for the binary formats (setup
// packages, SHG files, dictionaries, shell links). Readers take an offset
// the caller has checked against the buffer's size; the checked forms return
// nullopt instead when the bytes are not there.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

inline std::uint16_t GetLE16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
inline std::uint32_t GetLE32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
inline std::uint64_t GetLE64(const unsigned char* p) {
    return static_cast<std::uint64_t>(GetLE32(p)) | static_cast<std::uint64_t>(GetLE32(p + 4))
                                                        << 32;
}

inline const unsigned char* BytesAt(std::string_view data, std::size_t offset) {
    return reinterpret_cast<const unsigned char*>(data.data()) + offset;
}

inline std::optional<std::uint16_t> ReadLE16(std::string_view data, std::size_t offset) {
    if (offset > data.size() || data.size() - offset < 2)
        return std::nullopt;
    return GetLE16(BytesAt(data, offset));
}
inline std::optional<std::uint32_t> ReadLE32(std::string_view data, std::size_t offset) {
    if (offset > data.size() || data.size() - offset < 4)
        return std::nullopt;
    return GetLE32(BytesAt(data, offset));
}
inline std::optional<std::uint64_t> ReadLE64(std::string_view data, std::size_t offset) {
    if (offset > data.size() || data.size() - offset < 8)
        return std::nullopt;
    return GetLE64(BytesAt(data, offset));
}

inline void AppendLE16(std::string& out, std::uint16_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}
inline void AppendLE32(std::string& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}
inline void AppendLE64(std::string& out, std::uint64_t value) {
    AppendLE32(out, static_cast<std::uint32_t>(value));
    AppendLE32(out, static_cast<std::uint32_t>(value >> 32));
}

} // namespace platform
