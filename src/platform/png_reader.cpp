// The PNG reader. libpng reports errors by longjmp, so the one function that
// calls into it after setjmp holds no object with a destructor; everything it
// fills lives in the caller.
#include "platform/png_reader.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <string>

namespace {

// Deflate packs at most 1032 bytes into one.
constexpr int64_t kMaxDeflateRatio = 1032;

// The bytes libpng reads from, and what went wrong when it gave up.
struct PngSource {
    const uint8_t* Data = nullptr;
    size_t Size = 0;
    size_t Next = 0;
    bool CutOff = false;
    char Error[256] = {};
};

void ReadBytes(png_structp png, png_bytep out, size_t count) {
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (count > source->Size - source->Next) {
        source->CutOff = true;
        png_error(png, "cut off");
    }
    std::memcpy(out, source->Data + source->Next, count);
    source->Next += count;
}

void OnError(png_structp png, png_const_charp message) {
    auto* source = static_cast<PngSource*>(png_get_error_ptr(png));
    std::strncpy(source->Error, message, sizeof source->Error - 1);
    png_longjmp(png, 1);
}

// Warnings (unknown chunks, bad ancillary CRCs) leave the pixels sound.
void OnWarning(png_structp, png_const_charp) {}

// Width and height from the IHDR chunk, which must come first; false if it does not.
bool HeaderSize(const uint8_t* Data, size_t Size, uint32_t& Width, uint32_t& Height) {
    if (Size < 24 || std::memcmp(Data + 12, "IHDR", 4) != 0) return false;
    Width = png_get_uint_32(Data + 16);
    Height = png_get_uint_32(Data + 20);
    return true;
}

// True when Size bytes cannot hold the picture's rows even at their smallest
// (one bit a pixel and a filter byte a row) at deflate's best: such a file is
// cut off, and refusing it here spares decoding a few bytes into hundreds of MB.
bool TooShortFor(size_t Size, uint32_t Width, uint32_t Height) {
    const int64_t leastRowBytes = 1 + (int64_t(Width) + 7) / 8;
    return int64_t(Height) * leastRowBytes > int64_t(Size) * kMaxDeflateRatio;
}

// Asks libpng for 8-bit RGBA whatever the file holds: palettes and grey expanded,
// transparency (tRNS) turned into alpha, 16-bit channels scaled with rounding,
// opaque images given an alpha of 255, interlaced passes combined.
void RequestRgba(png_structp png, png_infop info) {
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
}

// Decodes into Picture (already sized from the header); false on any libpng error.
bool ReadPixels(png_structp png, png_infop info, DecodedPicture& Picture, png_bytep* Rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    png_byte type = png_get_color_type(png, info);
    Picture.HasAlpha = (type & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    RequestRgba(png, info);
    if (png_get_rowbytes(png, info) != size_t(Picture.Width) * 4) png_error(png, "unexpected row size");
    png_read_image(png, Rows);
    return true;
}

} // namespace

DecodedPicture DecodePng(const uint8_t* Data, size_t Size, int64_t MaxPixels) {
    uint32_t width = 0, height = 0;
    if (!HeaderSize(Data, Size, width, height))
        throw EPictureDecode(Size < 24 ? Format("it is cut off after %zu bytes", Size)
                                       : "it is a damaged PNG (its header chunk is missing)");
    if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF)
        throw EPictureDecode(Format("it is a PNG of %u x %u pixels", width, height));
    if (int64_t(width) * height > MaxPixels)
        throw EPictureDecode(
            Format("it is a PNG of %u x %u pixels, more than this program can hold", width, height));
    if (TooShortFor(Size, width, height)) throw EPictureDecode(Format("it is cut off after %zu bytes", Size));
    DecodedPicture picture;
    picture.Width = int32_t(width);
    picture.Height = int32_t(height);
    picture.Rgba.resize(size_t(width) * height * 4);
    std::vector<png_bytep> rows(height);
    for (uint32_t y = 0; y < height; ++y)
        rows[y] = picture.Rgba.data() + size_t(y) * width * 4;

    PngSource source{Data, Size};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, OnError, OnWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        throw EPictureDecode("it cannot be read: out of memory");
    }
    png_set_read_fn(png, &source, ReadBytes);
    png_set_user_limits(png, width, height); // the header checked above is the one decoded
    const bool read = ReadPixels(png, info, picture, rows.data());
    png_destroy_read_struct(&png, &info, nullptr);
    if (source.CutOff) throw EPictureDecode(Format("it is cut off after %zu bytes", Size));
    if (!read) throw EPictureDecode(std::string("it is a damaged PNG (") + source.Error + ")");
    return picture;
}
