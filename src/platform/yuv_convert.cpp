#include "platform/yuv_convert.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

// [SECTION] One pixel or one 2 x 2 block at a time

// BT.601 limited range with 8-bit coefficients (the values x 256 / 255 of
// 65.481, 128.553, 24.966 and so on), small enough that every sum fits a
// 16-bit lane: the eight-pixel code below computes exactly what these do.
inline uint8_t Luma(int R, int G, int B) {
    return static_cast<uint8_t>(((66 * R + 129 * G + 25 * B + 128) >> 8) + 16);
}
inline uint8_t ChromaU(int R, int G, int B) {
    return static_cast<uint8_t>(((-38 * R - 74 * G + 112 * B + 128) >> 8) + 128);
}
inline uint8_t ChromaV(int R, int G, int B) {
    return static_cast<uint8_t>(((112 * R - 94 * G - 18 * B + 128) >> 8) + 128);
}

struct Rgb {
    int R = 0, G = 0, B = 0;
};

Rgb ReadRgb(const PixelView& Source, int X, int Y) {
    const uint32_t color = UnpackColor(Source.Format, Source.Read(X, Y));
    return {RedOf(color), GreenOf(color), BlueOf(color)};
}

// The pixels of columns [From, To) of rows Y and Y + 1 (the last row alone when
// there is no next one), any format.
void ConvertColumns(const PixelView& Source, int Y, int From, int To, const YuvPlanes& Planes) {
    const int rows = std::min(2, Source.Height - Y);
    for (int x = From; x < To; x += 2) {
        const int columns = std::min(2, Source.Width - x);
        Rgb sum;
        for (int dy = 0; dy < rows; ++dy)
            for (int dx = 0; dx < columns; ++dx) {
                const Rgb c = ReadRgb(Source, x + dx, Y + dy);
                Planes.Data[0][ptrdiff_t(Planes.Stride[0]) * (Y + dy) + x + dx] = Luma(c.R, c.G, c.B);
                sum.R += c.R, sum.G += c.G, sum.B += c.B;
            }
        // The block's mean colour, to the nearest.
        const int n = rows * columns;
        const Rgb mean{(sum.R + n / 2) / n, (sum.G + n / 2) / n, (sum.B + n / 2) / n};
        Planes.Data[1][ptrdiff_t(Planes.Stride[1]) * (Y / 2) + x / 2] = ChromaU(mean.R, mean.G, mean.B);
        Planes.Data[2][ptrdiff_t(Planes.Stride[2]) * (Y / 2) + x / 2] = ChromaV(mean.R, mean.G, mean.B);
    }
}

// [SECTION] Eight 5-6-5 pixels at a time (the show's own format)

using U16x8 = uint16_t __attribute__((vector_size(16)));
using I16x8 = int16_t __attribute__((vector_size(16)));
using U8x8 = uint8_t __attribute__((vector_size(8)));
using U32x4 = uint32_t __attribute__((vector_size(16)));
using U8x4 = uint8_t __attribute__((vector_size(4)));

struct Channels8 {
    U16x8 R, G, B;
};

// Eight pixels widened to 8 bits a channel by repeating their high bits.
inline Channels8 Widen565(const uint8_t* Pixels) {
    U16x8 p;
    std::memcpy(&p, Pixels, sizeof p);
    const U16x8 r = p >> 11, g = (p >> 5) & 63, b = p & 31;
    return {(r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2)};
}

inline void StoreLuma(const Channels8& C, uint8_t* Out) {
    const U16x8 y = ((C.R * 66 + C.G * 129 + C.B * 25 + 128) >> 8) + 16; // at most 56228 before the shift
    const U8x8 bytes = __builtin_convertvector(y, U8x8);
    std::memcpy(Out, &bytes, sizeof bytes);
}

// The means of neighbouring lanes (their sum over four, to the nearest) in
// the even lanes, 0 in the odd ones: adding the two halves of each 32-bit lane
// pairs them without shuffling lanes, which SSE2 does only slowly.
inline I16x8 PairMeans(U16x8 Sum) {
    const U32x4 wide = reinterpret_cast<U32x4>(Sum);
    const U16x8 pairs = reinterpret_cast<U16x8>((wide & 0xFFFF) + (wide >> 16));
    return I16x8((pairs + 2) >> 2);
}

// The low bytes of the even lanes: the chroma the odd lanes also computed is dropped.
inline void StoreEvenLanes(I16x8 Values, uint8_t* Out) {
    const U8x4 bytes = __builtin_convertvector(reinterpret_cast<U32x4>(Values), U8x4);
    std::memcpy(Out, &bytes, sizeof bytes);
}

inline void StoreChroma(const Channels8& Top, const Channels8& Bottom, uint8_t* U, uint8_t* V) {
    const I16x8 r = PairMeans(Top.R + Bottom.R), g = PairMeans(Top.G + Bottom.G),
                b = PairMeans(Top.B + Bottom.B);
    StoreEvenLanes(((r * -38 - g * 74 + b * 112 + 128) >> 8) + 128, U); // within +-28688 before the shift
    StoreEvenLanes(((r * 112 - g * 94 - b * 18 + 128) >> 8) + 128, V);
}

// Rows Y and Y + 1 of a 5-6-5 picture, eight columns at a time; the columns
// left over go the one-pixel way. Returns the first column not done.
int ConvertRowPair565(const PixelView& Source, int Y, const YuvPlanes& Planes) {
    if constexpr (std::endian::native != std::endian::little) return 0;
    const uint8_t* top = Source.Row(Y);
    const uint8_t* bottom = Source.Row(Y + 1);
    uint8_t* lumaTop = Planes.Data[0] + ptrdiff_t(Planes.Stride[0]) * Y;
    uint8_t* lumaBottom = lumaTop + Planes.Stride[0];
    uint8_t* u = Planes.Data[1] + ptrdiff_t(Planes.Stride[1]) * (Y / 2);
    uint8_t* v = Planes.Data[2] + ptrdiff_t(Planes.Stride[2]) * (Y / 2);
    int x = 0;
    for (; x + 8 <= Source.Width; x += 8) {
        const Channels8 t = Widen565(top + 2 * x), d = Widen565(bottom + 2 * x);
        StoreLuma(t, lumaTop + x);
        StoreLuma(d, lumaBottom + x);
        StoreChroma(t, d, u + x / 2, v + x / 2);
    }
    return x;
}

} // namespace

void ConvertToYuv420(const PixelView& Source, const YuvPlanes& Planes) {
    for (int y = 0; y < Source.Height; y += 2) {
        const bool pair = y + 1 < Source.Height;
        const int done =
            pair && Source.Format == PixelFormat::Rgb565 ? ConvertRowPair565(Source, y, Planes) : 0;
        ConvertColumns(Source, y, done, Source.Width, Planes);
    }
}
