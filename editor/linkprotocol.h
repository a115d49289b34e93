#pragma once
// The wire of the client link: other programs drive the running editor over
// a local socket, one frame per message. A frame is a 24-byte little-endian
// header and its payload:
//   magic "BWLK" (4 bytes), kind (u32: 1 command, 2 result, 3 reply),
//   window (u32: the client's window id, chosen by the client), number (u32:
//   the command's or the reply's number), value (i32: the result value in a
//   result frame, else 0), payload length (u32, at most kMaxLinkPayload).
// Payloads are Windows-1252 bytes: a command's data, a reply's
// zero-terminated text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace editor {

inline constexpr std::string_view kLinkMagic = "BWLK";
inline constexpr std::size_t kLinkHeaderSize = 24;
inline constexpr std::uint32_t kMaxLinkPayload = 1024 * 1024;

enum class TLinkFrameKind : std::uint32_t { Command = 1, Result = 2, Reply = 3 };

struct TLinkFrame {
    TLinkFrameKind Kind = TLinkFrameKind::Command;
    std::uint32_t Window = 0;
    std::uint32_t Number = 0;
    std::int32_t Value = 0;
    std::string Payload;

    bool operator==(const TLinkFrame&) const = default;
};

// The header and the payload as bytes. A payload over kMaxLinkPayload
// throws std::length_error.
std::string EncodeLinkFrame(const TLinkFrame& frame);

// The signed number a command's data starts with (little-endian, as the
// header's fields); false when the data is shorter than 4 bytes.
bool ReadLinkNumber(std::string_view data, std::int32_t& number);

// Cuts frames out of the bytes a connection delivers, in any pieces.
class TLinkFrameReader {
public:
    enum class TStatus { NeedMore, Frame, Error };

    // Appends received bytes.
    void Feed(std::string_view bytes);
    // The next whole frame, NeedMore while it is incomplete, Error for a
    // header that is not a frame of this wire (wrong magic, unknown kind,
    // a payload over the limit): the connection is then beyond repair and
    // every later call answers Error again.
    TStatus Next(TLinkFrame& frame);
    // Why the last Next answered Error.
    const std::string& ErrorText() const { return error_; }
    // Bytes received that do not make a whole frame yet (a connection that
    // ends with some left sent a truncated frame).
    std::size_t Pending() const { return buffer_.size() - start_; }

private:
    std::string buffer_;
    std::size_t start_ = 0;
    std::string error_;
};

} // namespace editor
