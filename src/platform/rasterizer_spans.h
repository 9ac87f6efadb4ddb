// The span shaders of the rasterizer (an internal header of rasterizer.cpp
// and the shader units): what the triangle walk hands a span, and the inner
// loop for a target format and blend mode, chosen once per draw among those
// of the vector widths this processor runs.
#pragma once

#include "platform/pixel_view.h"
#include "platform/rasterizer.h"
#include "platform/rasterizer_lanes.h"

namespace raster {

// A span's texture positions: at its first pixel, and their steps to the right.
struct SpanCoordinates {
    double S = 0, T = 0, DS = 0, DT = 0;
};

// The positions along a span that may cross from one triangle of a strip into
// the other: its first Split pixels follow Left, the rest Right (both measured
// from the span's first pixel).
struct SpanPositions {
    SpanCoordinates Left, Right;
    int Split = 0;
    bool TwoPlanes(int Count) const { return Split < Count; }
};

// Everything a span needs besides its position.
struct SpanContext {
    const PixelView* Target;
    const RasterTexture* Texture;
    Combine Colors;
};

// Shades Count pixels of row Y from X0, the texture positions given by P.
using SpanFunction = void (*)(const SpanContext&, int, int, int, const SpanPositions&);

// The inner loop for a target format and blend mode, picked once per draw
// (nullptr: a target the rasterizer does not draw into).
SpanFunction ChooseSpanFunction(PixelFormat Format, bool Blend);

// The same in the baseline 16-byte lanes, which every processor runs.
SpanFunction BaseSpanFunction(PixelFormat Format, bool Blend);
// The same in AVX2's 32-byte lanes (nullptr for every format in builds
// without them: other processors, the web).
SpanFunction WideSpanFunction(PixelFormat Format, bool Blend);

// True when every pixel of a span lands on a texel centre inside the texture,
// closer than the smallest bilinear weight step.
bool IsTexelAligned(const SpanCoordinates& C, int Count, const RasterTexture& Texture);

// True when every pixel of a span stays where the texture's border ring makes
// clamping unnecessary.
bool StaysInsideBorder(const SpanCoordinates& C, int Count, const RasterTexture& Texture);

} // namespace raster
