// Writes pictures as PNG (8-bit RGB): snapshots of presented frames as files,
// and pictures a page carries as bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/pixel_view.h"

// Writes Image to FileName as an RGB PNG. Raises Exception
// "Cannot write "<file>": <reason>" when the file cannot be written.
void WritePng(const std::string& FileName, const PixelView& Image);

// Image as the bytes of an 8-bit RGB PNG file marked as sRGB (the colour
// space every browser assumes anyway, so none converts it). Raises Exception
// when it is empty or libpng fails.
std::vector<uint8_t> EncodePng(const PixelView& Image);
