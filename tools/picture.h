// An 8-bit RGB picture as the generator draws it, before it becomes a bitmap
// file, and the colour rules every picture keeps: sprites never use a colour
// that a 16-bit display would key out as white.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct Rgb {
    uint8_t R = 255;
    uint8_t G = 255;
    uint8_t B = 255;
    bool operator==(const Rgb&) const = default;
};

constexpr Rgb kWhite{255, 255, 255};

struct Picture {
    Picture(int AWidth, int AHeight)
        : Width(AWidth), Height(AHeight), Pixels(std::size_t(AWidth) * AHeight) {}

    Rgb& At(int X, int Y) { return Pixels[std::size_t(Y) * Width + X]; }
    const Rgb& At(int X, int Y) const { return Pixels[std::size_t(Y) * Width + X]; }

    int Width;
    int Height;
    std::vector<Rgb> Pixels; // rows top to bottom, starts all white
};

// An 8-bit picture with an alpha channel (0 transparent, 255 opaque; colours
// not premultiplied), as icons are drawn for a desktop.
struct Rgba {
    uint8_t R = 0;
    uint8_t G = 0;
    uint8_t B = 0;
    uint8_t A = 0;
};

struct RgbaPicture {
    RgbaPicture(int AWidth, int AHeight)
        : Width(AWidth), Height(AHeight), Pixels(std::size_t(AWidth) * AHeight) {}

    Rgba& At(int X, int Y) { return Pixels[std::size_t(Y) * Width + X]; }
    const Rgba& At(int X, int Y) const { return Pixels[std::size_t(Y) * Width + X]; }

    int Width;
    int Height;
    std::vector<Rgba> Pixels; // rows top to bottom, starts all transparent
};

// True for colours a 16-bit surface cannot tell from white: every channel
// 248 or above packs to the white value in 5-5-5, and in 5-6-5 too.
constexpr bool IsNearWhite(Rgb Color) {
    return Color.R >= 248 && Color.G >= 248 && Color.B >= 248;
}

// The colour itself, or, if it is near-white, a warm light tone just below it.
Rgb KeepOffWhite(Rgb Color);

// Ordered (4x4 Bayer) dithering onto the exact values a 5-6-5 display shows,
// so smooth gradients show as fine grain instead of bands at 16 bits per pixel
// while each small area keeps its average colour.
void DitherTo565(Picture& Image);
