// Reads the picture files hosts bring into the 24-bit (or stored-depth) images the
// show uses, choosing the reader by the file's first bytes, never by its name:
// "BM" goes to the bitmap reader (bmp_format), the PNG signature and a JPEG
// start-of-image to the platform's decoders. Transparency becomes the key colour.
#pragma once

#include <cstdint>

#include "render/bmp_format.h"
#include "render/dib.h"
#include "render/stream.h"

// The most pixels a PNG or JPEG may decode to: a 24-bit image of them fits kMaxDIBBytes.
inline constexpr int64_t kMaxImportPixels = kMaxDIBBytes / 3 - (int64_t(1) << 20);

// Reads the picture from the stream's position to its end into Image. Anything
// that is not a sound picture raises EInvalidGraphic with a plain reason ("it is
// a PNG of 0 x 0 pixels", "it is cut off after 1234 bytes", "it is not a picture
// this program can read (it starts with ...)"); BMP reasons come as "DIB is
// invalid (<reason>)". Image is only changed on success.
void ImportPicture(TStream& Stream, TDIB& Image, int64_t MaxPixels = kMaxImportPixels);
