// Writes the seed corpus of picture_import_fuzzer into the folder given: tiny PNG
// files of every colour type (palette with transparency, grey, 16-bit, interlaced)
// and JPEG files of every kind (baseline, progressive, grey, CMYK, turned by Exif), made with the
// reference libraries so that the fuzzer starts from what real programs write.
#include <cstdio>
#include <fstream>
#include <string>

#include "render/picture_files.h"

namespace {

void Write(const std::string& Folder, const std::string& Name, const Bytes& Content) {
    std::ofstream(Folder + "/" + Name, std::ios::binary)
        .write(reinterpret_cast<const char*>(Content.data()), std::streamsize(Content.size()));
}

PngLayout Png(int ColorType, int BitDepth, size_t RowBytes, bool Interlaced = false) {
    PngLayout l;
    l.Width = 3;
    l.Height = 3;
    l.ColorType = ColorType;
    l.BitDepth = BitDepth;
    l.Interlaced = Interlaced;
    for (uint32_t y = 0; y < l.Height; ++y) {
        Bytes row(RowBytes);
        for (size_t k = 0; k < RowBytes; ++k)
            row[k] = uint8_t(y * 97 + k * 31);
        l.Rows.push_back(row);
    }
    return l;
}

JpegLayout Jpeg(J_COLOR_SPACE Space, int Components, bool Progressive = false) {
    JpegLayout l{8, 8, Space, Progressive, Bytes(size_t(64 * Components)), {}};
    for (size_t k = 0; k < l.Samples.size(); ++k)
        l.Samples[k] = uint8_t(k * 13);
    return l;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    PngLayout palette = Png(PNG_COLOR_TYPE_PALETTE, 2, 1);
    palette.Palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    palette.Transparency = {255, 0};
    Write(folder, "rgb8.png", MakePng(Png(PNG_COLOR_TYPE_RGB, 8, 9)));
    Write(folder, "rgba8.png", MakePng(Png(PNG_COLOR_TYPE_RGBA, 8, 12)));
    Write(folder, "palette2_trns.png", MakePng(palette));
    Write(folder, "grey1.png", MakePng(Png(PNG_COLOR_TYPE_GRAY, 1, 1)));
    Write(folder, "grey_alpha8.png", MakePng(Png(PNG_COLOR_TYPE_GRAY_ALPHA, 8, 6)));
    Write(folder, "rgb16.png", MakePng(Png(PNG_COLOR_TYPE_RGB, 16, 18)));
    Write(folder, "rgb8_interlaced.png", MakePng(Png(PNG_COLOR_TYPE_RGB, 8, 9, true)));
    Write(folder, "baseline.jpg", MakeJpeg(Jpeg(JCS_RGB, 3)));
    Write(folder, "progressive.jpg", MakeJpeg(Jpeg(JCS_RGB, 3, true)));
    Write(folder, "grey.jpg", MakeJpeg(Jpeg(JCS_GRAYSCALE, 1)));
    Write(folder, "cmyk.jpg", MakeJpeg(Jpeg(JCS_CMYK, 4)));
    JpegLayout turned = Jpeg(JCS_RGB, 3);
    turned.Exif = ExifWithOrientation(6);
    Write(folder, "exif_turned.jpg", MakeJpeg(turned));
    return 0;
}
