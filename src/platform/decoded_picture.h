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
