// Lines as the platform's drawing draws them with a solid pen, without
// antialiasing: a 1-pixel pen steps from pixel to pixel and leaves out the end
// point; a wider pen paints a band with round ends (the union of the discs of
// its width along the line), as a geometric pen with round caps does.
#pragma once

#include <cstdint>

#include "platform/pixel_view.h"

// Draws the pixels of a 1-pixel line from (X0, Y0) towards (X1, Y1), the end
// point excluded, in the raw value Pixel, clipped to Target.
void DrawThinLine(const PixelView& Target, int X0, int Y0, int X1, int Y1, uint32_t Pixel);

// Paints every pixel whose centre lies within Width / 2 of the segment from
// (X0, Y0) to (X1, Y1), clipped to Target. The band is exactly Width pixels
// thick across a horizontal or vertical line.
void DrawWideLine(const PixelView& Target, int X0, int Y0, int X1, int Y1, int Width, uint32_t Pixel);
