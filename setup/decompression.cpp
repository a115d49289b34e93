#include "setup/decompression.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <vector>

namespace setup {

namespace {

voidpf ZlibAlloc(voidpf, uInt items, uInt size) {
    return ::operator new(static_cast<std::size_t>(items) * size, std::nothrow);
}

void ZlibFree(voidpf, voidpf address) {
    ::operator delete(address);
}

// Ends an inflate state on every path out of a scope.
struct InflateGuard {
    z_stream* stream;
    ~InflateGuard() { inflateEnd(stream); }
};

} // namespace

int CheckInflateResult(int code) {
    if (code < 0 && code != Z_BUF_ERROR)
        throw EDecompressionError();
    return code;
}

int CheckZlibResult(int code) {
    if (code < 0 && code != Z_BUF_ERROR)
        throw ECompressionError();
    return code;
}

std::string InflateBuffer(const void* input, std::size_t inputSize, std::size_t fixedOutputSize,
                          std::size_t cap) {
    z_stream zs{};
    zs.zalloc = ZlibAlloc;
    zs.zfree = ZlibFree;
    if (inflateInit(&zs) != Z_OK)
        throw EDecompressionError();
    InflateGuard guard{&zs};

    std::size_t size = fixedOutputSize;
    if (size == 0)
        size = (inputSize + 255) / 256 * 256;
    size = std::clamp<std::size_t>(size, 256, cap == 0 ? 256 : cap);
    std::string out(size, '\0');
    std::size_t produced = 0;

    const auto* next = static_cast<const Bytef*>(input);
    std::size_t inLeft = inputSize;
    for (;;) {
        if (produced == out.size()) {
            // Grow geometrically, but never past the cap: one byte beyond it
            // is enough to know the record is too large.
            if (out.size() > cap)
                throw EDecompressionError("error (the record inflates to more than " +
                                          std::to_string(cap / (1024 * 1024)) + " MiB)");
            out.resize(std::min(out.size() * 2, cap + 1));
        }
        zs.next_in = const_cast<Bytef*>(next);
        zs.avail_in = static_cast<uInt>(std::min<std::size_t>(inLeft, UINT_MAX));
        zs.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
        std::size_t space = std::min<std::size_t>(out.size() - produced, UINT_MAX);
        zs.avail_out = static_cast<uInt>(space);
        int code = inflate(&zs, Z_NO_FLUSH);
        std::size_t used = zs.avail_in;
        used = std::min<std::size_t>(inLeft, UINT_MAX) - used;
        next += used;
        inLeft -= used;
        std::size_t made = space - zs.avail_out;
        produced += made;
        if (code == Z_STREAM_END)
            break;
        if (code == Z_NEED_DICT || code < 0) {
            if (code == Z_BUF_ERROR && inLeft == 0)
                throw EDecompressionError("error (the compressed data ends too soon)");
            if (code != Z_BUF_ERROR)
                throw EDecompressionError();
        }
        if (made == 0 && used == 0 && inLeft == 0)
            throw EDecompressionError("error (the compressed data ends too soon)");
    }
    if (produced > cap)
        throw EDecompressionError("error (the record inflates to more than " +
                                  std::to_string(cap / (1024 * 1024)) + " MiB)");
    if (inLeft != 0)
        throw EDecompressionError("error (data follows the end of the compressed stream)");
    out.resize(produced);
    return out;
}

struct TDecompressionStream::State {
    z_stream zs{};
    // Uninitialised on purpose: a stream is made per installed file.
    std::unique_ptr<unsigned char[]> input =
        std::make_unique_for_overwrite<unsigned char[]>(kInputBufferSize);
};

TDecompressionStream::TDecompressionStream(TByteSource& source)
    : source_(source), state_(std::make_unique<State>()) {
    state_->zs.zalloc = ZlibAlloc;
    state_->zs.zfree = ZlibFree;
    if (inflateInit(&state_->zs) != Z_OK)
        throw ECompressionError();
}

TDecompressionStream::~TDecompressionStream() {
    inflateEnd(&state_->zs);
}

std::size_t TDecompressionStream::InputLeft() const {
    return state_->zs.avail_in;
}

void TDecompressionStream::Write(const void*, std::size_t) {
    throw EDecompressionError("Invalid stream operation");
}

std::size_t TDecompressionStream::Read(void* buffer, std::size_t count) {
    z_stream& zs = state_->zs;
    auto* out = static_cast<Bytef*>(buffer);
    std::size_t done = 0;
    while (done < count && !streamEnd_) {
        if (zs.avail_in == 0) {
            if (sourceDry_)
                break;
            std::size_t got = source_.Read(state_->input.get(), kInputBufferSize);
            if (got == 0) {
                sourceDry_ = true;
                break;
            }
            zs.next_in = state_->input.get();
            zs.avail_in = static_cast<uInt>(got);
        }
        std::size_t space = std::min<std::size_t>(count - done, UINT_MAX);
        zs.next_out = out + done;
        zs.avail_out = static_cast<uInt>(space);
        int code = inflate(&zs, Z_NO_FLUSH);
        done += space - zs.avail_out;
        if (code == Z_STREAM_END)
            streamEnd_ = true;
        else if (code == Z_NEED_DICT)
            throw ECompressionError();
        else
            CheckZlibResult(code);
    }
    delivered_ += done;
    return done;
}

bool InflateWhole(const void* input, std::size_t inputSize, void* output, std::size_t outputSize) {
    struct Free {
        void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
    };
    // One per thread, made on first use: it holds no state between calls.
    thread_local std::unique_ptr<libdeflate_decompressor, Free> decompressor(
        libdeflate_alloc_decompressor());
    if (!decompressor)
        return false;
    std::size_t used = 0, made = 0;
    return libdeflate_zlib_decompress_ex(decompressor.get(), input, inputSize, output, outputSize,
                                         &used, &made) == LIBDEFLATE_SUCCESS &&
           used == inputSize && made == outputSize;
}

std::uint32_t UpdateCrc32(const void* buffer, std::size_t length, std::uint32_t crc) {
    return libdeflate_crc32(crc, buffer, length);
}

} // namespace setup
