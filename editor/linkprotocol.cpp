#include "editor/linkprotocol.h"

#include <stdexcept>

namespace editor {

namespace {

void PutU32(std::string& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

std::uint32_t GetU32(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

} // namespace

std::string EncodeLinkFrame(const TLinkFrame& frame) {
    if (frame.Payload.size() > kMaxLinkPayload)
        throw std::length_error("Link frame payload too large");
    std::string out;
    out.reserve(kLinkHeaderSize + frame.Payload.size());
    out.append(kLinkMagic);
    PutU32(out, static_cast<std::uint32_t>(frame.Kind));
    PutU32(out, frame.Window);
    PutU32(out, frame.Number);
    PutU32(out, static_cast<std::uint32_t>(frame.Value));
    PutU32(out, static_cast<std::uint32_t>(frame.Payload.size()));
    out.append(frame.Payload);
    return out;
}

bool ReadLinkNumber(std::string_view data, std::int32_t& number) {
    if (data.size() < 4)
        return false;
    number = static_cast<std::int32_t>(GetU32(data, 0));
    return true;
}

void TLinkFrameReader::Feed(std::string_view bytes) {
    if (!error_.empty())
        return;
    // Drop what was consumed before growing the buffer.
    if (start_ > 0 && start_ >= buffer_.size() / 2) {
        buffer_.erase(0, start_);
        start_ = 0;
    }
    buffer_.append(bytes);
}

TLinkFrameReader::TStatus TLinkFrameReader::Next(TLinkFrame& frame) {
    if (!error_.empty())
        return TStatus::Error;
    const std::string_view rest = std::string_view(buffer_).substr(start_);
    if (rest.size() < kLinkHeaderSize)
        return TStatus::NeedMore;
    if (rest.substr(0, kLinkMagic.size()) != kLinkMagic) {
        error_ = "Bad frame magic";
        return TStatus::Error;
    }
    const std::uint32_t kind = GetU32(rest, 4);
    if (kind < 1 || kind > 3) {
        error_ = "Unknown frame kind " + std::to_string(kind);
        return TStatus::Error;
    }
    const std::uint32_t length = GetU32(rest, 20);
    if (length > kMaxLinkPayload) {
        error_ = "Frame payload of " + std::to_string(length) + " bytes is too large";
        return TStatus::Error;
    }
    if (rest.size() - kLinkHeaderSize < length)
        return TStatus::NeedMore;
    frame.Kind = static_cast<TLinkFrameKind>(kind);
    frame.Window = GetU32(rest, 8);
    frame.Number = GetU32(rest, 12);
    frame.Value = static_cast<std::int32_t>(GetU32(rest, 16));
    frame.Payload.assign(rest.substr(kLinkHeaderSize, length));
    start_ += kLinkHeaderSize + length;
    if (start_ == buffer_.size()) {
        buffer_.clear();
        start_ = 0;
    }
    return TStatus::Frame;
}

} // namespace editor
