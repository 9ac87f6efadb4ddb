// Pictures with an alpha channel to PNG files, for the desktop icons (the
// asset pictures are bitmaps; see asset_files.h).
#pragma once

#include <string>

#include "picture.h"

// Writes Image to FileName as an 8-bit RGBA PNG; throws std::runtime_error
// naming the file when it cannot be written.
void WritePngFile(const std::string& FileName, const RgbaPicture& Image);
