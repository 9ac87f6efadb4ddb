// Text into pixels: fonts resolved by fontconfig ("Verdana" where installed, its
// nearest substitute otherwise) and rasterized by FreeType with grey-level
// antialiasing. The same machine gives the same pixels on every run.
#pragma once

#include <cstdint>
#include <string>

#include "core/exception.h"
#include "platform/pixel_view.h"

// A font that cannot be found or opened; the message names the font or its file.
FUIFJE_EXCEPTION(EFontError, Exception);

struct FontSpec {
    std::string Name = "Verdana";
    int Size = 8; // in points; pixels = round(Size * 96 / 72)
    bool Bold = false;
    uint32_t Color = 0; // $00BBGGRR
};

struct TextMetrics {
    int Width = 0;  // advance width of the text in pixels
    int Height = 0; // cell height (ascent + descent) in pixels
    int Ascent = 0; // baseline distance from the cell top
};

// The em height in pixels of a size in points on a 96 dpi screen: Size x 96 / 72,
// rounded (24 -> 32, 64 -> 85, 42 -> 56, 50 -> 67); never below 1.
int FontPixelSize(int Points);

// Measures Text in the font.
TextMetrics MeasureText(const FontSpec& Font, const std::string& Text);

// Draws Text with its cell's top-left corner at (X, Y), clipped to Target. With
// Opaque the whole cell is first filled with BackColor ($00BBGGRR).
void RenderText(const PixelView& Target, int X, int Y, const std::string& Text, const FontSpec& Font,
                bool Opaque, uint32_t BackColor);

// The file fontconfig chose for the font (for reports and tests).
std::string ResolvedFontFile(const FontSpec& Font);

// The file the font's letters are drawn from, when it may travel with a page
// the program writes: a single TrueType or OpenType face whose licence bits
// allow embedding. Empty otherwise (and where the platform has no font files).
std::string EmbeddableFontFile(const FontSpec& Font);
