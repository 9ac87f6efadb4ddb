#include "png_file.h"

#include <png.h>

#include <cstring>
#include <stdexcept>

void WritePngFile(const std::string& FileName, const RgbaPicture& Image) {
    static_assert(sizeof(Rgba) == 4, "pixels are written as they lie in memory");
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = png_uint_32(Image.Width);
    png.height = png_uint_32(Image.Height);
    png.format = PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&png, FileName.c_str(), 0, Image.Pixels.data(), Image.Width * 4, nullptr)) {
        const std::string reason = png.message;
        png_image_free(&png);
        throw std::runtime_error("cannot write \"" + FileName + "\": " + reason);
    }
}
