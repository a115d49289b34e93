// BMP -> PNG and BMP -> GIF of a 1024 x 768 picture, the work the HTML
// writers do for every bitmap a help project uses. Two kinds of picture: a
// screenshot-like one of few colours (exact palette) and a photo-like one of
// many colours (GIF needs a colour reduction).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>

#include "helpproject/bitmap.h"
#include "helpproject/images/bmpreader.h"
#include "helpproject/images/imagecodecs.h"

namespace {

using helpproject::TBitmap;
using helpproject::TRgb;

std::string Screenshot() {
    TBitmap b;
    b.SetSize(1024, 768);
    const TRgb colours[] = {{255, 255, 255}, {0, 0, 128},   {192, 192, 192}, {0, 0, 0},
                            {128, 128, 128}, {255, 255, 0}, {0, 128, 0}};
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) {
            int k = 0;
            if (y < 24)
                k = 1;
            else if (x < 200)
                k = 2;
            else if ((y / 16) % 5 == 0 && x % 7 < 5)
                k = 3;
            else if ((x / 64 + y / 48) % 9 == 0)
                k = 4 + (x + y) % 3;
            b.SetPixel(x, y, colours[k]);
        }
    b.Palette.assign(std::begin(colours), std::end(colours));
    return helpproject::WriteBmp(b);
}

std::string Photo() {
    TBitmap b;
    b.SetSize(1024, 768);
    std::mt19937 random(5);
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) {
            const int noise = static_cast<int>(random() % 9) - 4;
            auto clamp = [](int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
            b.SetPixel(
                x, y,
                {clamp(x / 4 + noise), clamp(y / 3 + noise), clamp((x + y) / 8 + 60 + noise)});
        }
    return helpproject::WriteBmp(b);
}

void Run(benchmark::State& state, const std::string& bmp, bool png) {
    for (auto _ : state) {
        const TBitmap bitmap = helpproject::ReadBmp(bmp);
        const std::string out =
            png ? helpproject::EncodePng(bitmap) : helpproject::EncodeGif(bitmap);
        benchmark::DoNotOptimize(out.data());
        state.counters["out_KB"] = static_cast<double>(out.size()) / 1024;
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(bmp.size()));
}

void BM_ScreenshotBmpToPng(benchmark::State& state) {
    static const std::string bmp = Screenshot();
    Run(state, bmp, true);
}
void BM_ScreenshotBmpToGif(benchmark::State& state) {
    static const std::string bmp = Screenshot();
    Run(state, bmp, false);
}
void BM_PhotoBmpToPng(benchmark::State& state) {
    static const std::string bmp = Photo();
    Run(state, bmp, true);
}
void BM_PhotoBmpToGif(benchmark::State& state) {
    static const std::string bmp = Photo();
    Run(state, bmp, false);
}

BENCHMARK(BM_ScreenshotBmpToPng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScreenshotBmpToGif)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PhotoBmpToPng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PhotoBmpToGif)->Unit(benchmark::kMillisecond);

} // namespace
