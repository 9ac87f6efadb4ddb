#include "platform/png_writer.h"

#include <png.h>

#include <cstring>
#include <vector>

#include "core/exception.h"

namespace {

// The picture as rows of red, green, blue bytes, top row first.
std::vector<uint8_t> RgbBytes(const PixelView& Image) {
    std::vector<uint8_t> rgb(size_t(Image.Width) * Image.Height * 3);
    uint8_t* out = rgb.data();
    for (int y = 0; y < Image.Height; ++y) {
        for (int x = 0; x < Image.Width; ++x) {
            const uint32_t color = UnpackColor(Image.Format, Image.Read(x, y));
            *out++ = RedOf(color);
            *out++ = GreenOf(color);
            *out++ = BlueOf(color);
        }
    }
    return rgb;
}

// libpng's description of an 8-bit RGB picture of Image's size.
png_image RgbImageOf(const PixelView& Image) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = png_uint_32(Image.Width);
    png.height = png_uint_32(Image.Height);
    png.format = PNG_FORMAT_RGB;
    return png;
}

// Why libpng failed, with its state freed.
std::string FailureOf(png_image& Png) {
    const std::string reason = Png.message;
    png_image_free(&Png);
    return reason;
}

} // namespace

void WritePng(const std::string& FileName, const PixelView& Image) {
    if (Image.Empty()) throw Exception(Format("Cannot write \"%s\": the picture is empty", FileName.c_str()));
    const std::vector<uint8_t> rgb = RgbBytes(Image);
    png_image png = RgbImageOf(Image);
    if (!png_image_write_to_file(&png, FileName.c_str(), 0, rgb.data(), Image.Width * 3, nullptr))
        throw Exception(Format("Cannot write \"%s\": %s", FileName.c_str(), FailureOf(png).c_str()));
}

std::vector<uint8_t> EncodePng(const PixelView& Image) {
    if (Image.Empty()) throw Exception("Cannot encode an empty picture as PNG");
    const std::vector<uint8_t> rgb = RgbBytes(Image);
    png_image png = RgbImageOf(Image);
    // The first call only measures; the second writes into a buffer of that size.
    png_alloc_size_t size = 0;
    std::vector<uint8_t> bytes;
    if (png_image_write_get_memory_size(png, size, 0, rgb.data(), Image.Width * 3, nullptr)) {
        bytes.resize(size);
        if (png_image_write_to_memory(&png, bytes.data(), &size, 0, rgb.data(), Image.Width * 3, nullptr)) {
            bytes.resize(size);
            return bytes;
        }
    }
    throw Exception(Format("Cannot encode a %d x %d picture as PNG: %s", Image.Width, Image.Height,
                           FailureOf(png).c_str()));
}
