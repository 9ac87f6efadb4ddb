// Span-based seed fill of a 4-connected region of pixels: the engine behind the
// canvas's border and surface flood fills. It paints whole runs of a row at a
// time and explores the rows above and below from the runs it painted.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/pixel_view.h"

// Memory a fill reuses from call to call, so a fill per frame allocates nothing.
struct FloodFillScratch {
    struct Segment {
        int Y, Left, Right, Direction;
    };
    std::vector<Segment> Stack;
    // Pixels a fill has painted: a bit each, in rows of whole words. A row's
    // bits belong to the fill numbered in RowGeneration; for any other fill
    // the row has none set, so a new fill clears only the rows it paints.
    std::vector<uint64_t> Painted;
    std::vector<uint8_t> RowGeneration;
    size_t WordsPerRow = 0;
    uint8_t Generation = 0;
};

// Which pixels a fill spreads over, as raw values of the target's format.
struct FloodFillRule {
    uint32_t Match = 0; // the border value, or the value of the surface to fill
    bool Border = true; // true: spread over pixels unlike Match; false: over pixels equal to Match
};

// Paints FillPixel over the region 4-connected to (X, Y) that the rule spreads
// over. Nothing happens when (X, Y) is outside Target or does not belong to
// the region itself.
void FloodFillView(const PixelView& Target, int X, int Y, const FloodFillRule& Rule, uint32_t FillPixel,
                   FloodFillScratch& Scratch);
