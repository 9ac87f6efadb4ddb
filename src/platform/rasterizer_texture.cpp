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
// Words after a texture's last row, so that a group's read from its last
// texel (a row sampler's, up to sixteen texels) stays inside the allocation.
constexpr size_t kTexelSlack = 16;

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
// neighbours (it keeps alpha 0), black when it has none (a key distance
// above 1). Only keyed texels next to an unkeyed one can ever enter a
// filtered sample.
void FillKeyedTexels(std::vector<uint32_t>& Texels, const std::vector<uint8_t>& Distances, int Width,
                     int Height) {
    const ptrdiff_t stride = ptrdiff_t(Width) + 2;
    std::vector<uint32_t> filled = Texels;
    for (ptrdiff_t y = 1; y <= Height; ++y)
        for (ptrdiff_t at = y * stride + 1; at <= y * stride + Width; ++at)
            if (Distances[size_t(at)] == 1)
                filled[size_t(at)] = NeighbourAverage(&Texels[size_t(at)], stride);
            else if (Distances[size_t(at)] > 1)
                filled[size_t(at)] = 0;
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

// One row of a distance sweep: Row's texels take the smallest of the three
// texels of the row swept before (Near, one row up or down) plus one, then,
// walking in Step's direction, the texel swept just before plus one. The
// first part has no chain from texel to texel; the second is a running minimum.
void SweepRow(uint8_t* Row, const uint8_t* Near, int Width, int Step) {
    for (int x = 1; x <= Width; ++x) {
        const unsigned above = std::min(std::min(Near[x - 1], Near[x]), Near[x + 1]) + 1u;
        Row[x] = uint8_t(std::min({unsigned(Row[x]), above, 255u}));
    }
    const int first = Step > 0 ? 1 : Width, end = Step > 0 ? Width + 1 : 0;
    unsigned before = Row[first - Step]; // the ring: 255
    for (int x = first; x != end; x += Step) {
        before = std::min({unsigned(Row[x]), before + 1u, 255u});
        Row[x] = uint8_t(before);
    }
}

// The Chebyshev distance from every texel of a bordered grid to the nearest
// unkeyed one, capped at 255, in the grid's layout (the ring holds 255, as far
// as anything gets): two sweeps, down and right, then up and left, each taking
// the smallest of the neighbours already swept plus one, which is exact for
// the eight-neighbour distance.
std::vector<uint8_t> MeasureKeyDistances(const std::vector<uint32_t>& Texels, int Width, int Height) {
    const size_t stride = size_t(Width) + 2;
    std::vector<uint8_t> d(stride * (size_t(Height) + 2), 255);
    for (size_t y = 1; y <= size_t(Height); ++y)
        for (size_t at = y * stride + 1; at <= y * stride + size_t(Width); ++at)
            d[at] = (Texels[at] & kAlphaMask) != 0 ? 0 : 255;
    for (size_t y = 1; y <= size_t(Height); ++y)
        SweepRow(&d[y * stride], &d[(y - 1) * stride], Width, 1);
    for (size_t y = size_t(Height); y >= 1; --y)
        SweepRow(&d[y * stride], &d[(y + 1) * stride], Width, -1);
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
    for (int y = 0; y < FHeight; ++y) {
        const uint8_t* row = KeyDistances() + ptrdiff_t(y) * Stride();
        FMaxKeyDistance = std::max<int>(FMaxKeyDistance, *std::max_element(row, row + FWidth));
    }
    FillKeyedTexels(FTexels, FKeyDistances, FWidth, FHeight);
    FillBorder(FTexels, FWidth, FHeight);
}
