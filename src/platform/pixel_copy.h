// The pixel routines every surface, bitmap and canvas copy goes through: fill,
// one-to-one copy and nearest-sample stretch between PixelViews, with clipping
// and an optional source colour key. Each routine checks and clips once, then
// runs an inner loop specialised for the pixel formats involved.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/pixel_view.h"
#include "platform/rect.h"

// A source colour key: a raw pixel value in the source's format. Source pixels
// with that value are not copied.
using SourceColorKey = std::optional<uint32_t>;

// The whole view as a rectangle.
inline TRect ViewBounds(const PixelView& View) {
    return Rect(0, 0, View.Width, View.Height);
}

// The byte order of 32-bit pixels: blue, green, red, 0 (Bgrx32) or red, green, blue, 0.
enum class WideOrder { BlueFirst, RedFirst };

// Converts Count 5-6-5 pixels at Source to 32-bit pixels in Order at Target,
// each channel widened as UnpackColor does, eight pixels at a time: the
// one-pass conversion of a frame for a screen that takes no 5-6-5.
void WidenRgb565Row(uint8_t* Target, const uint8_t* Source, int Count, WideOrder Order);

// Writes the raw value Pixel into Count pixels starting at Row (a pixel of Format).
void FillPixelRow(uint8_t* Row, int Count, PixelFormat Format, uint32_t Pixel);

// Fills the part of Area that lies inside Target with the raw value Pixel.
void FillPixels(const PixelView& Target, const TRect& Area, uint32_t Pixel);

// Copies SourceRect of Source one to one so that its top-left pixel lands at
// (X, Y) of Target. Edges outside either view move in on both rectangles
// together, so the pixels that are copied keep their places. Different formats
// are converted through their colour ($00BBGGRR). Overlapping copies within
// one view work as if the source were read first.
void CopyPixels(const PixelView& Target, int X, int Y, const PixelView& Source, const TRect& SourceRect,
                SourceColorKey Key = std::nullopt);

// Scales SourceRect of Source (clipped to Source) into DestRect of Target with
// nearest sampling ("colour on colour": rows and columns are repeated or
// dropped, never averaged), drawing only inside Target. Nothing happens when
// either rectangle is empty.
void StretchPixels(const PixelView& Target, const TRect& DestRect, const PixelView& Source,
                   const TRect& SourceRect, SourceColorKey Key = std::nullopt);
