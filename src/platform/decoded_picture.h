// What the platform's picture decoders (png_reader, jpeg_reader) hand to the
// rendering layer: 8-bit RGBA pixels, top row first, and the error that says in
// plain words why a file's bytes are not a picture they can give.
#pragma once

#include <cstdint>
#include <vector>

#include "core/exception.h"

struct DecodedPicture {
    int32_t Width = 0;
    int32_t Height = 0;
    // False when every pixel is opaque by the file's own format (JPEG, PNG without transparency).
    bool HasAlpha = false;
    // Width x Height pixels of red, green, blue and alpha bytes, the top row first.
    std::vector<uint8_t> Rgba;
};

// Bytes that do not decode; the message is the reason, e.g. "it is cut off after 1234 bytes".
FUIFJE_EXCEPTION(EPictureDecode, Exception);

// Turns a picture stored as a camera holds it upright, by the Exif orientation
// tag's value: 2 mirrored, 3 turned half round, 4 flipped, 5 transposed, 6 to be
// turned a quarter clockwise, 7 transversed, 8 a quarter anticlockwise; 1 and
// unknown values leave it as it is.
void OrientPicture(DecodedPicture& Picture, int Orientation);

// The orientation tag (1 to 8) of an Exif block ("Exif\0\0" and a TIFF structure,
// as in a JPEG's APP1 segment), or 1 when it has none or is not sound.
int ExifOrientation(const uint8_t* Data, size_t Size);
