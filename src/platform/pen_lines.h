// Lines as the platform's drawing draws them with a solid pen, without
// antialiasing: a 1-pixel pen steps from pixel to pixel and leaves out the end
// point; a wider pen paints a band with round ends (the union of the discs of
// its width along the line), as a geometric pen with round caps does.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/pixel_view.h"

// The round end of a wide pen, worked out once per width: for each row from
// the end point's row, the columns the disc covers there. The pen's middle
// runs through pixel centres for odd widths and through pixel corners for
// even ones, so a straight band is exactly Width pixels thick.
class PenShape {
public:
    // Widths beyond this draw as this wide (far wider than any surface).
    static constexpr int kMaxWidth = 16384;

    explicit PenShape(int Width = 2);
    int Width() const { return FWidth; }
    double Radius() const { return FWidth / 2.0; }
    // Where the pen's middle sits in a pixel: 0.5 (centre) or 0 (corner).
    double Shift() const { return FWidth % 2 ? 0.5 : 0.0; }
    // Rows the disc reaches above and below its end point's row.
    int Reach() const { return FReach; }
    // The first and last column (relative to the end point) the disc covers in
    // row Row (relative too, |Row| <= Reach); Left > Right when none.
    int Left(int Row) const { return FSpans[size_t(Row + FReach)].first; }
    int Right(int Row) const { return FSpans[size_t(Row + FReach)].second; }

private:
    int FWidth;
    int FReach;
    std::vector<std::pair<int, int>> FSpans;
};

// Draws the pixels of a 1-pixel line from (X0, Y0) towards (X1, Y1), the end
// point excluded, in the raw value Pixel, clipped to Target.
void DrawThinLine(const PixelView& Target, int X0, int Y0, int X1, int Y1, uint32_t Pixel);

// Paints every pixel whose centre lies within Pen.Width() / 2 of the segment
// from (X0, Y0) to (X1, Y1) (pen middles), clipped to Target.
void DrawWideLine(const PixelView& Target, int X0, int Y0, int X1, int Y1, const PenShape& Pen,
                  uint32_t Pixel);
