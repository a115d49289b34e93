#include "components/rtf/unicodeconversion.h"

#include <algorithm>
#include <cstring>
#include <sstream>

#include "platform/codepage.h"

namespace rtf {

namespace {

constexpr char kNulReplacement = '\xB7';

void ReplaceNuls(char* data, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        if (data[i] == '\0')
            data[i] = kNulReplacement;
}

} // namespace

std::size_t TUnicodeConversion::ConvertReadStream(std::istream& stream, char* buffer,
                                                  std::size_t count) {
    if (firstCall_) {
        firstCall_ = false;
        const std::streampos start = stream.tellg();
        char bom[2] = {0, 0};
        stream.read(bom, 2);
        if (stream.gcount() == 2) {
            const auto b0 = static_cast<unsigned char>(bom[0]);
            const auto b1 = static_cast<unsigned char>(bom[1]);
            if (b0 == 0xFF && b1 == 0xFE) {
                utf16_ = true;
            } else if (b0 == 0xFE && b1 == 0xFF) {
                utf16_ = true;
                swapBytes_ = true;
            }
        }
        if (!utf16_) {
            stream.clear();
            if (start != std::streampos(-1))
                stream.seekg(start);
            else
                stream.seekg(0);
        }
    }
    if (!utf16_) {
        stream.read(buffer, static_cast<std::streamsize>(count));
        const auto n = static_cast<std::size_t>(stream.gcount());
        ReplaceNuls(buffer, n);
        return n;
    }

    std::size_t delivered = 0;
    auto handOut = [&] {
        const std::size_t n = std::min(count - delivered, ansi_.size() - ansiPos_);
        std::memcpy(buffer + delivered, ansi_.data() + ansiPos_, n);
        delivered += n;
        ansiPos_ += n;
        if (ansiPos_ == ansi_.size()) {
            ansi_.clear();
            ansiPos_ = 0;
        }
    };
    handOut();
    raw_.resize(kRawSize);
    while (delivered < count) {
        stream.read(raw_.data(), static_cast<std::streamsize>(kRawSize));
        const auto got = static_cast<std::size_t>(stream.gcount());
        if (got == 0)
            break;
        // An odd byte left from the last read is the first half of a unit.
        std::u16string units;
        units.reserve(got / 2 + 1);
        std::size_t i = 0;
        auto addUnit = [&](unsigned char first, unsigned char second) {
            char16_t unit = swapBytes_ ? static_cast<char16_t>((first << 8) | second)
                                       : static_cast<char16_t>(first | (second << 8));
            units.push_back(unit);
        };
        if (pendingByte_ >= 0) {
            addUnit(static_cast<unsigned char>(pendingByte_), static_cast<unsigned char>(raw_[0]));
            pendingByte_ = -1;
            i = 1;
        }
        for (; i + 1 < got; i += 2)
            addUnit(static_cast<unsigned char>(raw_[i]), static_cast<unsigned char>(raw_[i + 1]));
        if (i < got)
            pendingByte_ = static_cast<unsigned char>(raw_[i]);
        // A surrogate pair split between reads is joined before converting.
        if (pendingHigh_) {
            units.insert(units.begin(), pendingHigh_);
            pendingHigh_ = 0;
        }
        if (!units.empty() && units.back() >= 0xD800 && units.back() <= 0xDBFF) {
            pendingHigh_ = units.back();
            units.pop_back();
        }
        std::string converted = platform::Utf16ToCp1252(units, '?');
        ReplaceNuls(converted.data(), converted.size());
        ansi_.append(converted);
        handOut();
    }
    if (delivered < count && pendingHigh_) {
        // A high surrogate at the very end has no partner.
        pendingHigh_ = 0;
        ansi_ += '?';
        handOut();
    }
    return delivered;
}

std::string ConvertReadBytes(std::string_view bytes) {
    std::string text(bytes);
    ConvertReadBytesInPlace(text);
    return text;
}

void ConvertReadBytesInPlace(std::string& bytes) {
    const auto byteAt = [&bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const bool little = bytes.size() >= 2 && byteAt(0) == 0xFF && byteAt(1) == 0xFE;
    const bool big = bytes.size() >= 2 && byteAt(0) == 0xFE && byteAt(1) == 0xFF;
    if (!little && !big) {
        ReplaceNuls(bytes.data(), bytes.size());
        return;
    }
    // Units start after the mark; an odd last byte is no unit. Each unit
    // is read before its byte is written over, as out <= in / 2.
    const std::size_t units = (bytes.size() - 2) / 2;
    const auto unitAt = [&](std::size_t u) {
        const unsigned char first = byteAt(2 + 2 * u);
        const unsigned char second = byteAt(3 + 2 * u);
        return big ? static_cast<char16_t>(first << 8 | second)
                   : static_cast<char16_t>(first | second << 8);
    };
    std::size_t out = 0;
    for (std::size_t u = 0; u < units; ++u) {
        const char16_t unit = unitAt(u);
        char c = '?';
        if (unit >= 0xD800 && unit <= 0xDBFF && u + 1 < units && unitAt(u + 1) >= 0xDC00 &&
            unitAt(u + 1) <= 0xDFFF) {
            ++u; // a surrogate pair is one character, never in Windows-1252
        } else {
            const int b = platform::UnicodeToCp1252(unit);
            if (b >= 0)
                c = static_cast<char>(b);
        }
        bytes[out++] = c;
    }
    bytes.resize(out);
    ReplaceNuls(bytes.data(), bytes.size());
}

} // namespace rtf
