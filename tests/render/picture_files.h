// Writes small PNG and JPEG files in memory with libpng and libjpeg, so that the
// picture tests and the fuzzer's seeds are made by code, with every colour type,
// depth and JPEG kind set independently of the readers under test.
#pragma once

#include <png.h>

#include <cstdio>
#include <jpeglib.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

using Bytes = std::vector<uint8_t>;

// A PNG's header values and its rows as stored (packed samples, big-endian 16-bit ones).
struct PngLayout {
    uint32_t Width = 1;
    uint32_t Height = 1;
    int ColorType = PNG_COLOR_TYPE_RGB;
    int BitDepth = 8;
    bool Interlaced = false;
    std::vector<Bytes> Rows;
    std::vector<png_color> Palette;
    Bytes Transparency; // tRNS alpha per palette entry
};

inline Bytes MakePng(const PngLayout& L) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, size_t size) {
            auto* target = static_cast<Bytes*>(png_get_io_ptr(p));
            target->insert(target->end(), data, data + size);
        },
        nullptr);
    png_set_IHDR(png, info, L.Width, L.Height, L.BitDepth, L.ColorType,
                 L.Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!L.Palette.empty()) png_set_PLTE(png, info, L.Palette.data(), int(L.Palette.size()));
    if (!L.Transparency.empty())
        png_set_tRNS(png, info, L.Transparency.data(), int(L.Transparency.size()), nullptr);
    std::vector<png_bytep> rows;
    for (const Bytes& row : L.Rows)
        rows.push_back(const_cast<png_bytep>(row.data()));
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// A JPEG of interleaved samples (1 grey, 3 RGB or 4 CMYK per pixel) at quality 100
// without chroma subsampling, so that 8 x 8 blocks of one colour come back nearly exact.
struct JpegLayout {
    int Width = 8;
    int Height = 8;
    J_COLOR_SPACE Space = JCS_RGB;
    bool Progressive = false;
    Bytes Samples;
    Bytes Exif; // written as an APP1 segment when not empty
};

// An Exif block holding only the orientation tag, in big-endian ("MM") or little-endian ("II") order.
inline Bytes ExifWithOrientation(int Orientation, bool BigEndian = true) {
    Bytes tiff = {'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1, 0x01, 0x12, 0, 3, 0, 0, 0, 1, 0, uint8_t(Orientation),
                  0,   0};
    tiff.insert(tiff.end(), 4, 0); // no further directory
    if (!BigEndian)                // every field of the structure swapped to little-endian
        tiff = {'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, uint8_t(Orientation),
                0,   0,   0,  0, 0, 0, 0};
    Bytes exif = {'E', 'x', 'i', 'f', 0, 0};
    exif.insert(exif.end(), tiff.begin(), tiff.end());
    return exif;
}

inline Bytes MakeJpeg(const JpegLayout& L) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(L.Width);
    info.image_height = JDIMENSION(L.Height);
    info.input_components = L.Space == JCS_GRAYSCALE ? 1 : L.Space == JCS_CMYK ? 4 : 3;
    info.in_color_space = L.Space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    for (int c = 0; c < info.num_components; ++c)
        info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    if (L.Progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    if (!L.Exif.empty()) jpeg_write_marker(&info, JPEG_APP0 + 1, L.Exif.data(), unsigned(L.Exif.size()));
    const size_t stride = size_t(L.Width) * size_t(info.input_components);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(L.Samples.data() + info.next_scanline * stride);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}
