// Reads PNG files through libpng into 8-bit RGBA pixels: every colour type and
// bit depth, palettes with transparency, interlaced files.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/decoded_picture.h"

// True when Data starts with the 8-byte PNG signature.
bool IsPng(const uint8_t* Data, size_t Size);

// Decodes a whole PNG file. Raises EPictureDecode with a plain reason when the
// file is cut off, damaged, has no pixels or more than MaxPixels of them.
DecodedPicture DecodePng(const uint8_t* Data, size_t Size, int64_t MaxPixels);
