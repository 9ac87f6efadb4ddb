// The half of the text renderer that does not care where letters come from
// (FreeType natively, the browser's canvas in a page): the character codes of
// a text, the pixel size of a point size, and coverage masks blended into
// pixels in the font's colour.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/pixel_view.h"

// The character codes of Text: UTF-8 where the bytes form it, otherwise each byte
// is taken as a Latin-1 character (the show's texts are single-byte strings).
std::vector<uint32_t> DecodeText(const std::string& Text);

// 8-bit coverage, 0 (not covered) to 255 (fully covered), rows top first.
struct CoverageMask {
    const uint8_t* Rows = nullptr;
    int Width = 0;
    int Height = 0;
    ptrdiff_t Pitch = 0; // bytes from one row to the next one down
};

// Blends Color ($00BBGGRR) into Target with Mask's top-left corner at (Left,
// Top), each pixel by its coverage, clipped to Target.
void BlendCoverage(const PixelView& Target, const CoverageMask& Mask, int Left, int Top, uint32_t Color);

// Fills the rectangle (X, Y, Width, Height), clipped to Target, with Color ($00BBGGRR).
void FillTextCell(const PixelView& Target, int X, int Y, int Width, int Height, uint32_t Color);
