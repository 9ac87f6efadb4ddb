// Pictures to files through the bitmap class of the rendering layer: ".bmp"
// files for the asset folder, the form's stored "Data" form (class name
// "TDIB" with a length byte, then the bitmap without its file header), and
// PNG files: RGB for the example invitations, RGBA for the desktop icons.
#pragma once

#include <string>

#include "picture.h"

// Writes Image as a 24-bit uncompressed ".bmp" file.
void WriteBitmapFile(const std::string& FileName, const Picture& Image);
// Writes Image, 24-bit, in the stored form a form resource holds for a picture.
void WriteStoredPicture(const std::string& FileName, const Picture& Image);
// Writes Image as an 8-bit RGB PNG file.
void WritePngFile(const std::string& FileName, const Picture& Image);
// Writes Image as an 8-bit RGBA PNG file; throws std::runtime_error naming the
// file when it cannot be written.
void WritePngFile(const std::string& FileName, const RgbaPicture& Image);
