// Textures of the rasterizer (RasterTexture): a picture of any format
// converted to ARGB texels, keyed texels marked with alpha 0 and given their
// neighbours' colours, inside a ring of repeated edge texels.
#include <algorithm>
#include <utility>
#include <vector>

#include "core/exception.h"
#include "platform/rasterizer.h"

namespace {

constexpr uint32_t kAlphaMask = 0xFF000000;
// Words after a texture's last row, so that an eight-texel read from its last
// texel (a row sampler's) stays inside the allocation.
constexpr size_t kTexelSlack = 8;

// $00BBGGRR (the platform's colour numbers) to the 0x00RRGGBB layout of texels.
constexpr uint32_t ToRgbWord(uint32_t Color) {
    return ((Color & 0xFF) << 16) | (Color & 0xFF00) | ((Color >> 16) & 0xFF);
}

// The bits of a 0x00RRGGBB colour that a pixel of Format keeps: two colours
// that agree in them pack to the same value.
constexpr uint32_t KeptBits(PixelFormat Format) {
    switch (Format) {
    case PixelFormat::Rgb565:
        return 0xF8FCF8;
    case PixelFormat::Rgb555:
        return 0xF8F8F8;
    default:
        return 0xFFFFFF;
    }
}

// The colour key as a texture tests it: on the bits its precision keeps.
struct KeyTest {
    uint32_t Bits = 0;  // 0 when keying is off: then no colour matches Value
    uint32_t Value = 1; // outside Bits, so nothing matches
    explicit KeyTest(const ColorKey& Key) {
        if (!Key.Enabled) return;
        Bits = KeptBits(Key.Precision);
        Value = ToRgbWord(Key.Color) & Bits;
    }
    bool Matches(uint32_t Rgb) const { return (Rgb & Bits) == Value; }
};

// The raw value of the pixel at P in format F.
template <PixelFormat F> uint32_t RawPixel(const uint8_t* P) {
    uint32_t raw = 0;
    for (int i = 0; i < BytesPerPixel(F); ++i)
        raw |= uint32_t(P[i]) << (8 * i);
    return raw;
}

// Row Y of Source as texels: 0x00RRGGBB with alpha 255, or 0 where keyed.
template <PixelFormat F> void ConvertRow(const PixelView& Source, int Y, const KeyTest& Key, uint32_t* Out) {
    const uint8_t* row = Source.Row(Y);
    for (int x = 0; x < Source.Width; ++x) {
        const uint32_t rgb = ToRgbWord(UnpackColor(F, RawPixel<F>(row + x * BytesPerPixel(F))));
        Out[x] = Key.Matches(rgb) ? 0 : kAlphaMask | rgb;
    }
}

// The picture of Source as texels, row after row.
std::vector<uint32_t> ConvertTexels(const PixelView& Source, const KeyTest& Key) {
    std::vector<uint32_t> texels(size_t(Source.Width) * size_t(Source.Height));
    for (int y = 0; y < Source.Height; ++y) {
        uint32_t* out = texels.data() + size_t(y) * size_t(Source.Width);
        switch (Source.Format) {
        case PixelFormat::Rgb565:
            ConvertRow<PixelFormat::Rgb565>(Source, y, Key, out);
            break;
        case PixelFormat::Rgb555:
            ConvertRow<PixelFormat::Rgb555>(Source, y, Key, out);
            break;
        case PixelFormat::Bgr24:
            ConvertRow<PixelFormat::Bgr24>(Source, y, Key, out);
            break;
        case PixelFormat::Bgrx32:
            ConvertRow<PixelFormat::Bgrx32>(Source, y, Key, out);
            break;
        }
    }
    return texels;
}

// The average colour of the unkeyed texels among the nine at and around At in
// rows Stride apart, or black when all are keyed. Alpha (0 or 255) counts and
// weighs them without branches.
uint32_t NeighbourAverage(const uint32_t* At, ptrdiff_t Stride) {
    uint32_t red = 0, green = 0, blue = 0, count = 0;
    for (ptrdiff_t dy = -Stride; dy <= Stride; dy += Stride) {
        for (ptrdiff_t dx = -1; dx <= 1; ++dx) {
            const uint32_t t = At[dy + dx], unkeyed = t >> 31;
            red += ((t >> 16) & 0xFF) * unkeyed;
            green += ((t >> 8) & 0xFF) * unkeyed;
            blue += (t & 0xFF) * unkeyed;
            count += unkeyed;
        }
    }
    if (count == 0) return 0;
    return ((red / count) << 16) | ((green / count) << 8) | (blue / count);
}

// Gives every keyed texel of a bordered grid the colour of its unkeyed
// neighbours (it keeps alpha 0). Only keyed texels next to an unkeyed one can
// ever enter a filtered sample.
void FillKeyedTexels(std::vector<uint32_t>& Texels, int Width, int Height) {
    const ptrdiff_t stride = ptrdiff_t(Width) + 2;
    std::vector<uint32_t> filled = Texels;
    for (ptrdiff_t y = 1; y <= Height; ++y)
        for (ptrdiff_t at = y * stride + 1; at <= y * stride + Width; ++at)
            if ((Texels[size_t(at)] & kAlphaMask) == 0)
                filled[size_t(at)] = NeighbourAverage(&Texels[size_t(at)], stride);
    Texels.swap(filled);
}

// Copies the picture into the middle of a grid one texel larger on every side.
std::vector<uint32_t> WithBorder(const std::vector<uint32_t>& Texels, int Width, int Height) {
    const size_t stride = size_t(Width) + 2;
    std::vector<uint32_t> out(stride * (size_t(Height) + 2) + kTexelSlack, 0);
    for (int y = 0; y < Height; ++y)
        std::copy_n(Texels.begin() + ptrdiff_t(y) * Width, Width,
                    out.begin() + ptrdiff_t((y + 1) * stride + 1));
    return out;
}

// Repeats the edge texels into the border ring, which is exactly what clamp
// addressing reads there.
void FillBorder(std::vector<uint32_t>& Texels, int Width, int Height) {
    const size_t stride = size_t(Width) + 2;
    for (size_t y = 1; y <= size_t(Height); ++y) {
        Texels[y * stride] = Texels[y * stride + 1];
        Texels[y * stride + Width + 1] = Texels[y * stride + Width];
    }
    std::copy_n(Texels.begin() + ptrdiff_t(stride), stride, Texels.begin());
    std::copy_n(Texels.begin() + ptrdiff_t(Height * stride), stride,
                Texels.begin() + ptrdiff_t((Height + 1) * stride));
}

// The Chebyshev distance from every texel to the nearest unkeyed one, capped
// at 255: two sweeps (down and right, then up and left) that each take the
// smallest of the neighbours already swept plus one, which is exact for the
// eight-neighbour distance.
std::vector<uint8_t> MeasureKeyDistances(const std::vector<uint32_t>& Texels, int Width, int Height) {
    const size_t stride = size_t(Width) + 2, w = size_t(Width);
    std::vector<uint8_t> d(w * size_t(Height));
    for (size_t y = 0; y < size_t(Height); ++y)
        for (size_t x = 0; x < w; ++x)
            d[y * w + x] = (Texels[(y + 1) * stride + x + 1] & kAlphaMask) != 0 ? 0 : 255;
    auto relax = [&](size_t At, ptrdiff_t Dx, ptrdiff_t Dy, size_t X, size_t Y) {
        const ptrdiff_t nx = ptrdiff_t(X) + Dx, ny = ptrdiff_t(Y) + Dy;
        if (nx < 0 || ny < 0 || nx >= Width || ny >= Height) return;
        const unsigned n = d[size_t(ny) * w + size_t(nx)] + 1u;
        if (n < d[At]) d[At] = uint8_t(n);
    };
    for (size_t y = 0; y < size_t(Height); ++y)
        for (size_t x = 0; x < w; ++x)
            for (const auto& [dx, dy] : {std::pair{-1, 0}, {-1, -1}, {0, -1}, {1, -1}})
                relax(y * w + x, dx, dy, x, y);
    for (size_t y = size_t(Height); y-- > 0;)
        for (size_t x = w; x-- > 0;)
            for (const auto& [dx, dy] : {std::pair{1, 0}, {1, 1}, {0, 1}, {-1, 1}})
                relax(y * w + x, dx, dy, x, y);
    return d;
}

} // namespace

RasterTexture::RasterTexture(const PixelView& Source, const ColorKey& Key)
    : FWidth(Source.Width), FHeight(Source.Height), FTransparent(Key.Enabled) {
    if (Source.Empty() || FWidth > kMaxSide || FHeight > kMaxSide)
        throw EOutOfResources(Format("%s cannot be made", "Texture"));
    FTexels = WithBorder(ConvertTexels(Source, KeyTest(Key)), FWidth, FHeight);
    FillBorder(FTexels, FWidth, FHeight);
    if (!FTransparent) return;
    // Keyed texels take their neighbours' colours (the ring repeats the edges),
    // and the ring then repeats the new edges.
    FKeyDistances = MeasureKeyDistances(FTexels, FWidth, FHeight);
    FillKeyedTexels(FTexels, FWidth, FHeight);
    FillBorder(FTexels, FWidth, FHeight);
}
