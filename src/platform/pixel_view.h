// Pixel formats and a non-owning view of pixel rows: the shared vocabulary of
// every surface, bitmap and canvas. Colours come in as the platform's colour
// numbers, $00BBGGRR (red in the lowest byte), and are packed into a format.
#pragma once

#include <cstddef>
#include <cstdint>

enum class PixelFormat : uint8_t {
    Rgb565, // 16 bits: rrrrrggg gggbbbbb, little-endian word
    Rgb555, // 16 bits: 0rrrrrgg gggbbbbb, little-endian word
    Bgr24,  // 24 bits: bytes blue, green, red
    Bgrx32, // 32 bits: bytes blue, green, red, unused
};

constexpr int BytesPerPixel(PixelFormat Format) {
    switch (Format) {
    case PixelFormat::Rgb565:
    case PixelFormat::Rgb555: return 2;
    case PixelFormat::Bgr24: return 3;
    case PixelFormat::Bgrx32: return 4;
    }
    return 4;
}

constexpr int BitsPerPixel(PixelFormat Format) { return BytesPerPixel(Format) * 8; }

constexpr uint8_t RedOf(uint32_t Color) { return static_cast<uint8_t>(Color); }
constexpr uint8_t GreenOf(uint32_t Color) { return static_cast<uint8_t>(Color >> 8); }
constexpr uint8_t BlueOf(uint32_t Color) { return static_cast<uint8_t>(Color >> 16); }
constexpr uint32_t RGB(uint8_t R, uint8_t G, uint8_t B) {
    return uint32_t(R) | (uint32_t(G) << 8) | (uint32_t(B) << 16);
}

// The raw pixel value of a colour in a format. 16-bit formats keep the high bits
// of each channel (as the platform's drawing converts), so every colour whose
// top 5 (or 6) bits agree packs to the same value.
constexpr uint32_t PackColor(PixelFormat Format, uint32_t Color) {
    const uint32_t r = RedOf(Color), g = GreenOf(Color), b = BlueOf(Color);
    switch (Format) {
    case PixelFormat::Rgb565: return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
    case PixelFormat::Rgb555: return ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
    case PixelFormat::Bgr24:
    case PixelFormat::Bgrx32: return (r << 16) | (g << 8) | b;
    }
    return 0;
}

// The colour ($00BBGGRR) a raw pixel value shows; 16-bit channels are widened by
// repeating their high bits, so white stays white.
constexpr uint32_t UnpackColor(PixelFormat Format, uint32_t Pixel) {
    switch (Format) {
    case PixelFormat::Rgb565: {
        const uint32_t r = (Pixel >> 11) & 31, g = (Pixel >> 5) & 63, b = Pixel & 31;
        return RGB(uint8_t(r << 3 | r >> 2), uint8_t(g << 2 | g >> 4), uint8_t(b << 3 | b >> 2));
    }
    case PixelFormat::Rgb555: {
        const uint32_t r = (Pixel >> 10) & 31, g = (Pixel >> 5) & 31, b = Pixel & 31;
        return RGB(uint8_t(r << 3 | r >> 2), uint8_t(g << 3 | g >> 2), uint8_t(b << 3 | b >> 2));
    }
    case PixelFormat::Bgr24:
    case PixelFormat::Bgrx32: return RGB(uint8_t(Pixel >> 16), uint8_t(Pixel >> 8), uint8_t(Pixel));
    }
    return 0;
}

// A window onto pixel rows owned elsewhere. Stride may be negative: a bottom-up
// bitmap is viewed from its top row with a negative stride.
struct PixelView {
    uint8_t* Data = nullptr; // first byte of the top row
    int Width = 0;
    int Height = 0;
    ptrdiff_t Stride = 0; // bytes from one row to the next one down
    PixelFormat Format = PixelFormat::Bgrx32;

    bool Empty() const { return Data == nullptr || Width <= 0 || Height <= 0; }
    uint8_t* Row(int Y) const { return Data + Stride * Y; }
    bool Contains(int X, int Y) const { return X >= 0 && Y >= 0 && X < Width && Y < Height; }

    // The raw value at (X, Y); the caller keeps (X, Y) inside the view.
    uint32_t Read(int X, int Y) const {
        const uint8_t* p = Row(Y) + X * BytesPerPixel(Format);
        switch (BytesPerPixel(Format)) {
        case 2: return uint32_t(p[0]) | uint32_t(p[1]) << 8;
        case 3: return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
        default: return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
        }
    }
    // Writes a raw value at (X, Y); the caller keeps (X, Y) inside the view.
    void Write(int X, int Y, uint32_t Pixel) const {
        uint8_t* p = Row(Y) + X * BytesPerPixel(Format);
        p[0] = uint8_t(Pixel);
        p[1] = uint8_t(Pixel >> 8);
        if (BytesPerPixel(Format) >= 3) p[2] = uint8_t(Pixel >> 16);
        if (BytesPerPixel(Format) == 4) p[3] = uint8_t(Pixel >> 24);
    }
};
