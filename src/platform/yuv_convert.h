// Pictures into the yuv420p planes video encoders take: BT.601 luma and
// chroma in limited range (16-235, 16-240), the form every player assumes
// for a picture of standard size, each chroma sample made from the mean
// colour of its 2 x 2 pixels. 16-bit pixels are widened as UnpackColor widens
// them, so a frame and its PNG snapshot convert to the same planes.
#pragma once

#include <cstdint>

#include "platform/pixel_view.h"

struct YuvPlanes {
    uint8_t* Data[3] = {}; // Y (Width x Height), U and V (halves, rounded up)
    int Stride[3] = {};
};

// Converts Source into Planes, made for Source's size.
void ConvertToYuv420(const PixelView& Source, const YuvPlanes& Planes);
