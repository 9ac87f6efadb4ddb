// Reads JPEG files through libjpeg-turbo into 8-bit RGBA pixels (alpha 255):
// baseline and progressive, grey, colour and CMYK (Adobe's inverted form too),
// turned upright by their Exif orientation.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/decoded_picture.h"

// True when Data starts with a JPEG start-of-image marker followed by another marker.
bool IsJpeg(const uint8_t* Data, size_t Size);

// Decodes a whole JPEG file. Raises EPictureDecode with a plain reason when the
// file is cut off, damaged, has no pixels or more than MaxPixels of them.
DecodedPicture DecodeJpeg(const uint8_t* Data, size_t Size, int64_t MaxPixels);
