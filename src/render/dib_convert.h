// Pixel conversions of device-independent bitmaps: a direct (16/24/32-bit)
// image seen as a PixelView, any image (palette, any channel masks) converted
// into a view of a direct format, and images with unusual masks or an alpha
// channel turned into 24-bit ones with alpha folded into the key colour.
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

// The colour that marks a pixel as transparent ($FFFFFF, white), and the colour an
// opaque pixel that would be taken for it becomes so that it stays visible. The
// show's surfaces have 16 bits (5-6-5, or 5-5-5), where every colour whose
// channels are all $F8 or more, $FEFEFE too, packs to the key's value; $F7F7F7
// is the nearest grey that packs to another.
constexpr uint32_t kKeyColor = 0xFFFFFF;
constexpr uint32_t kNudgedKeyColor = 0xF7F7F7;

// A pixel's colour ($00BBGGRR) with its alpha folded in: below half opacity
// (Alpha < 128) the key colour; an opaque pixel that a 16-bit surface would show
// as the key colour is nudged to kNudgedKeyColor.
uint32_t KeyedColor(uint32_t Color, uint8_t Alpha);

// True when a TDIB cannot hold the image as read: direct pixels with channel masks
// other than 5-5-5, 5-6-5 and 8-8-8, or an alpha channel that is not 0 everywhere
// (many programs write 0 there for opaque pixels).
bool NeedsConversion(const StoredDIB& Stored);
// The image at 24 bits, 8-8-8: channels widened as ReadRowColors does, alpha keyed.
// Stored must be a decoded (not run-length) direct image.
StoredDIB ConvertToRgb24(const StoredDIB& Stored);
