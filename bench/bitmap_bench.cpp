// Bitmap costs the show pays at start-up and stage changes: reading an
// 800 x 600 24-bit ".bmp" (target under 2 ms), converting it to 32 bits, and
// writing one glyph with TextOut on a 40 x 40 TDIB canvas (target under 100 us).
#include <benchmark/benchmark.h>

#include <vector>

#include "render/bitmap.h"
#include "render/dib.h"

namespace {

// The file form of an 800 x 600, 24-bit picture with a gradient.
std::vector<uint8_t> BackgroundFile() {
    TDIB dib;
    dib.SetSize(800, 600, 24);
    for (int32_t y = 0; y < 600; ++y) {
        uint8_t* row = dib.ScanLine(y);
        for (int32_t x = 0; x < 800 * 3; ++x)
            row[x] = uint8_t(x + y);
    }
    TMemoryStream out;
    dib.SaveToStream(out);
    return out.Memory();
}

void BmLoadBmp800x600x24(benchmark::State& State) {
    const std::vector<uint8_t> file = BackgroundFile();
    for (auto _ : State) {
        TMemoryStream in(file.data(), file.size());
        TBitmap bitmap;
        bitmap.LoadFromStream(in);
        benchmark::DoNotOptimize(bitmap.ScanLine(0));
    }
}
BENCHMARK(BmLoadBmp800x600x24)->Unit(benchmark::kMicrosecond);

void BmConvertTo32Bits(benchmark::State& State) {
    const std::vector<uint8_t> file = BackgroundFile();
    TMemoryStream in(file.data(), file.size());
    TBitmap loaded;
    loaded.LoadFromStream(in);
    for (auto _ : State) {
        State.PauseTiming();
        TBitmap bitmap;
        bitmap.Assign(&loaded);
        State.ResumeTiming();
        bitmap.SetPixelFormat(pf32bit);
        benchmark::DoNotOptimize(bitmap.ScanLine(0));
    }
}
BENCHMARK(BmConvertTo32Bits)->Unit(benchmark::kMicrosecond);

// One glyph as the show makes it: 24 pt bold on the white template, opaque white box.
void BmTextOutGlyph(benchmark::State& State) {
    TDIB dib;
    dib.SetSize(40, 40, 24);
    Canvas& canvas = dib.Canvas();
    canvas.Font.Size = 24;
    canvas.Font.Bold = true;
    canvas.Font.Color = 0x0000FF;
    canvas.TextOut(0, 0, "W"); // font lookup and face opening happen once per run
    for (auto _ : State) {
        canvas.TextOut(0, 0, "W");
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BmTextOutGlyph)->Unit(benchmark::kMicrosecond);

} // namespace
