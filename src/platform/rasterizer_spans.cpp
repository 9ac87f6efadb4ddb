// The rasterizer's span shaders in the baseline lanes (rasterizer_shaders.h
// compiled for 16-byte vectors), the checks that choose a span's sampler, and
// the choice, once per draw, between them and the AVX2 ones.
#include "platform/rasterizer_spans.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <vector>

#include "platform/rasterizer_shaders.h"

namespace raster {

namespace {

// The lane width UseRasterLanes chose (0: the widest this processor runs).
std::atomic<int> ChosenLaneBytes{0};

bool ProcessorHasAvx2() {
#if defined(__x86_64__) || defined(__i386__)
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

} // namespace

// Every pixel lands on a texel centre when both ends of the span (and so
// every pixel between them) sit at most that far right of / below the texel
// centres a row sampler reads.
bool IsTexelAligned(const SpanCoordinates& C, int Count, const RasterTexture& Texture) {
    const double tolerance = 1.0 / 512;
    if (std::abs(C.DS - 1) >= tolerance || std::abs(C.DT) >= tolerance) return false;
    if (C.S < 0 || C.T < 0 || C.S + Count > Texture.Width() || C.T >= Texture.Height()) return false;
    const double firstS = double(int(C.S)), firstT = double(int(C.T)); // floor: both are positive
    const double endS = C.S + (Count - 1) * C.DS - (firstS + Count - 1),
                 endT = C.T + (Count - 1) * C.DT - firstT;
    return C.S - firstS < tolerance && C.T - firstT < tolerance && endS >= 0 && endS < tolerance &&
           endT >= 0 && endT < tolerance;
}

// The ring makes clamping unnecessary from one texel before the first centre
// to half a texel past the last, which keeps both taps of a footprint inside it.
bool StaysInsideBorder(const SpanCoordinates& C, int Count, const RasterTexture& Texture) {
    auto inside = [](double A, double B, double High) {
        return std::min(A, B) >= -1 && std::max(A, B) <= High;
    };
    return inside(C.S, C.S + (Count - 1) * C.DS, Texture.Width() - 0.5) &&
           inside(C.T, C.T + (Count - 1) * C.DT, Texture.Height() - 0.5);
}

SpanFunction BaseSpanFunction(PixelFormat Format, bool Blend) {
    return SpanFunctionIn<BaseLanes>(Format, Blend);
}

// The inner loop for a target format and blend mode, picked once per draw.
SpanFunction ChooseSpanFunction(PixelFormat Format, bool Blend) {
    static const int kWidest = RasterLaneWidths().back();
    const int chosen = ChosenLaneBytes.load(std::memory_order_relaxed);
    return (chosen ? chosen : kWidest) == 32 ? WideSpanFunction(Format, Blend)
                                             : BaseSpanFunction(Format, Blend);
}

} // namespace raster

std::vector<int> RasterLaneWidths() {
    const bool wide = raster::ProcessorHasAvx2() && raster::WideSpanFunction(PixelFormat::Rgb565, false);
    return wide ? std::vector<int>{16, 32} : std::vector<int>{16};
}

void UseRasterLanes(int Bytes) {
    const std::vector<int> widths = RasterLaneWidths();
    assert((Bytes == 0 || std::count(widths.begin(), widths.end(), Bytes)) &&
           "a lane width this processor runs");
    raster::ChosenLaneBytes.store(Bytes, std::memory_order_relaxed);
}
