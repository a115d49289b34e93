#pragma once
// The engine's layer over zlib's inflate and its CRC-32. Strings and tables
// are inflated whole (with a cap); installed files are inflated as a stream.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "setup/setuperrors.h"

namespace setup {

// Strings and tables never inflate beyond this; larger data is a damaged or
// hostile package. Blobs and files are streamed to disk instead.
inline constexpr std::size_t kMaxInflatedRecord = 16u * 1024 * 1024;

// Inflates one whole zlib stream. The stream must end exactly at the end of
// the input (bytes after its end are an error, as is a stream cut short).
// `fixedOutputSize` is the first guess for the output (0: derived from the
// input); the buffer grows geometrically and the result is refused once it
// would exceed `cap`. Throws EDecompressionError.
std::string InflateBuffer(const void* input, std::size_t inputSize, std::size_t fixedOutputSize = 0,
                          std::size_t cap = kMaxInflatedRecord);

// Where a decompression stream takes its compressed bytes from.
class TByteSource {
public:
    virtual ~TByteSource() = default;
    // Up to `count` bytes; 0 only at the end of the source.
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
};

// Inflates a zlib stream read from a source, piece by piece. It stops at the
// stream's end and never reads the source past what the stream needs beyond
// its input buffer; `AtStreamEnd` and `InputLeft` let the caller demand that
// the source held the stream and nothing more.
class TDecompressionStream {
public:
    static constexpr std::size_t kInputBufferSize = 65536;

    explicit TDecompressionStream(TByteSource& source);
    ~TDecompressionStream();
    TDecompressionStream(const TDecompressionStream&) = delete;
    TDecompressionStream& operator=(const TDecompressionStream&) = delete;

    // Up to `count` inflated bytes; fewer only at the stream's end or when the
    // source ran dry (check AtStreamEnd). Throws ECompressionError on bad data.
    std::size_t Read(void* buffer, std::size_t count);
    // Inflated bytes delivered so far.
    std::uint64_t Position() const { return delivered_; }
    bool AtStreamEnd() const { return streamEnd_; }
    // Compressed bytes read from the source but not used by the stream.
    std::size_t InputLeft() const;
    // Writing to an inflating stream makes no sense.
    [[noreturn]] void Write(const void*, std::size_t);

private:
    struct State;
    TByteSource& source_;
    std::unique_ptr<State> state_;
    std::uint64_t delivered_ = 0;
    bool streamEnd_ = false;
    bool sourceDry_ = false;
};

// Inflates one whole zlib stream of exactly `inputSize` bytes that holds
// exactly `outputSize` bytes, into `output`, its header and Adler-32
// checked. False for anything else (bad data, a stream that ends early or
// late, another size): the caller reads such a stream through
// TDecompressionStream, which tells what is wrong. For files small enough
// to hold whole: several times faster than the stream.
bool InflateWhole(const void* input, std::size_t inputSize, void* output, std::size_t outputSize);

// CRC-32 (the reflected polynomial 0xEDB88320 of zlib and ZIP), continued
// from `crc`; start a file with 0.
std::uint32_t UpdateCrc32(const void* buffer, std::size_t length, std::uint32_t crc);

// A zlib result code checked: a negative one throws.
int CheckInflateResult(int code);
int CheckZlibResult(int code);

} // namespace setup
