// Writes pictures as PNG files (8-bit RGB), for snapshots of presented frames.
#pragma once

#include <string>

#include "platform/pixel_view.h"

// Writes Image to FileName as an RGB PNG. Raises Exception
// "Cannot write "<file>": <reason>" when the file cannot be written.
void WritePng(const std::string& FileName, const PixelView& Image);
