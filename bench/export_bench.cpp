// Costs of the video export's own work per frame, beside the codec's: the
// 800 x 600 16-bit screen converted to yuv420p planes.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "platform/pixel_buffer.h"
#include "platform/yuv_convert.h"

namespace {

void BM_ConvertToYuv420(benchmark::State& State) {
    constexpr int kWidth = 800, kHeight = 600;
    PixelBuffer screen;
    screen.Create(kWidth, kHeight, PixelFormat::Rgb565);
    std::mt19937 random(1);
    const PixelView view = screen.View();
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            view.Write(x, y, random() & 0xFFFF);
    std::vector<uint8_t> luma(kWidth * kHeight), u(kWidth * kHeight / 4), v(kWidth * kHeight / 4);
    const YuvPlanes planes{{luma.data(), u.data(), v.data()}, {kWidth, kWidth / 2, kWidth / 2}};
    for (auto _ : State) {
        ConvertToYuv420(view, planes);
        benchmark::DoNotOptimize(luma.data());
    }
}
BENCHMARK(BM_ConvertToYuv420)->Unit(benchmark::kMicrosecond);

} // namespace
