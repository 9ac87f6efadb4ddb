// The span shaders of the rasterizer (an internal header of rasterizer.cpp
// and rasterizer_spans.cpp): what the triangle walk hands a span, and the
// inner loop for a target format and blend mode, chosen once per draw.
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

} // namespace raster
