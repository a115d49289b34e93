// BMP -> PNG and BMP -> GIF of a 1024 x 768 picture, the work the HTML
// writers do for every bitmap a help project uses. Two kinds of picture: a
// screenshot-like one of few colours (exact palette) and a photo-like one of
// many colours (GIF needs a colour reduction).
// BM_ShgRead/24 and /4: TSHG::LoadFromFile of a 4,000 x 4,000 hotspot
// bitmap, true colour that run-length packing cannot shrink (the worst case)
// and 16 colours; the counter PeakOverPicture is the memory the reader took
// at its peak over the picture's own bytes (goal: at most 2).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "helpproject/bitmap.h"
#include "helpproject/images/bmpreader.h"
#include "helpproject/images/imagecodecs.h"
#include "helpproject/shg.h"
#include "processstatus.h"

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

using benchproject::StatusKb;

void BM_ShgRead(benchmark::State& state) {
    constexpr int kSide = 4000;
    const int depth = static_cast<int>(state.range(0));
    const auto path = std::filesystem::temp_directory_path() /
                      ("bw_shgread_bench_" + std::to_string(depth) + ".shg");
    {
        helpproject::TSHG shg;
        shg.Bitmap.SetSize(kSide, kSide);
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x)
                shg.Bitmap.SetPixel(x, y,
                                    depth == 24 ? TRgb{static_cast<std::uint8_t>(x),
                                                       static_cast<std::uint8_t>(y),
                                                       static_cast<std::uint8_t>((x ^ y) & 0xFF)}
                                    : (x / 64 + y / 48) % 3 == 0 ? TRgb{0, 0, 128}
                                                                 : TRgb{255, 255, 255});
        shg.BitCount = static_cast<std::uint16_t>(depth);
        shg.SaveToFile(path.string(), false);
    }
    const double pictureBytes = double(kSide) * kSide * sizeof(TRgb);
    double peak = 0;
    for (auto _ : state) {
        // The peak from here on is the reader's.
        benchproject::ResetPeak();
        const long before = StatusKb("VmRSS:");
        {
            helpproject::TSHG shg;
            shg.LoadFromFile(path.string(), false);
            benchmark::DoNotOptimize(shg.Bitmap.Pixels().data());
        }
        peak = std::max(peak, (StatusKb("VmHWM:") - before) * 1024.0 / pictureBytes);
    }
    state.counters["FileMB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    state.counters["PeakOverPicture"] = peak;
    std::filesystem::remove(path);
}

BENCHMARK(BM_ShgRead)->Arg(24)->Arg(4)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ScreenshotBmpToPng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScreenshotBmpToGif)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PhotoBmpToPng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PhotoBmpToGif)->Unit(benchmark::kMillisecond);

} // namespace
