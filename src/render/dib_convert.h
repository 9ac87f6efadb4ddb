// Pixel conversions of device-independent bitmaps: a direct (16/24/32-bit)
// image seen as a PixelView, and any image (palette, any channel masks)
// converted into a view of a direct format.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/pixel_view.h"
#include "render/bmp_format.h"

// The PixelFormat whose layout the image's pixels have, or nothing for palette
// images and channel masks other than 5-5-5, 5-6-5 and 8-8-8.
std::optional<PixelFormat> DirectFormatOf(const DIBInfo& Info);

// A view of bottom-up rows: it starts at the top row (the last in memory) and
// steps backwards. The image must have a direct format.
PixelView DIBView(const DIBInfo& Info, uint8_t* Bits);

// The colour ($00BBGGRR) of each of the Info.Width pixels of Row, whatever the
// image's depth: palette indices through Info.ColorTable, direct pixels through
// their channel masks.
void ReadRowColors(const DIBInfo& Info, const uint8_t* Row, uint32_t* Colors);

// Converts the whole image into Target, which has the image's size.
void ConvertDIBPixels(const DIBInfo& Info, const uint8_t* Bits, const PixelView& Target);
