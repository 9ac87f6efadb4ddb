#include "platform/rasterizer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/exception.h"

// Sections:
//   [SECTION] Vectors     lane types, texel mixing, and colour channels side by side
//   [SECTION] Textures    conversion, keying and the colours keyed texels carry
//   [SECTION] Samplers    the three ways a span fetches its source colours
//   [SECTION] Spans       per-target inner loops, chosen once per draw
//   [SECTION] Triangles   edges, attribute gradients and the scanline walk
//
// The inner loops use the compiler's portable vector types (SSE2 on x86-64,
// NEON on ARM) and shade eight pixels at a time. Texels are 0x00RRGGBB words;
// a sampler filters them four at a time, viewing each word as two 16-bit lanes
// so that blue/red and green/alpha are each scaled by one multiply. Its two
// groups of four hold the even and the odd pixels of the eight, so that their
// channels interleave into eight 16-bit lanes in pixel order, where modulation,
// blending and the 5-6-5 packing work on one channel of all eight at once.

namespace {

// [SECTION] Vectors

using U32x4 = uint32_t __attribute__((vector_size(16)));
using I32x4 = int32_t __attribute__((vector_size(16)));
using U16x8 = uint16_t __attribute__((vector_size(16)));
using I16x8 = int16_t __attribute__((vector_size(16)));
using U64x2 = uint64_t __attribute__((vector_size(16)));
using F32x4 = float __attribute__((vector_size(16)));

constexpr uint32_t kAlphaMask = 0xFF000000;
constexpr uint32_t kEvenBytes = 0x00FF00FF;
// Words after a texture's last row, so that an eight-texel read from its last
// texel stays inside the allocation.
constexpr size_t kTexelSlack = 8;

// Lanes of A where Mask is set, of B elsewhere.
template <class V, class M> inline V Select(M Mask, V A, V B) {
    return (A & V(Mask)) | (B & ~V(Mask));
}

template <class M> inline bool AnySet(M Mask) {
    const U64x2 halves = U64x2(Mask);
    return (halves[0] | halves[1]) != 0;
}

// Four pixels' colours with each channel in a 16-bit lane: blue and red of
// each pixel side by side in BlueRed, green and alpha in GreenAlpha. A channel
// is at most 255, so scaled by weights adding up to at most 256 every sum fits
// 16 bits, and one multiply scales two channels of four pixels.
struct SplitColors {
    U16x8 BlueRed, GreenAlpha;
};

// The channels of four 0xAARRGGBB words.
inline SplitColors SplitWords(U32x4 C) {
    return {U16x8(C & kEvenBytes), U16x8((C >> 8) & kEvenBytes)};
}

// Mixes two sets of colours: the weight of B is W / 256 (W at most 256).
inline SplitColors Mix(const SplitColors& A, const SplitColors& B, U16x8 W) {
    const U16x8 iw = 256 - W;
    return {(A.BlueRed * iw + B.BlueRed * W) >> 8, (A.GreenAlpha * iw + B.GreenAlpha * W) >> 8};
}

// Eight pixels' colours, one channel per vector, 0 to 255 in pixel order.
struct Channels {
    U16x8 Red, Green, Blue;
};

// The channels of the even pixels' and the odd pixels' colours, interleaved:
// each 32-bit word of a split vector holds one pixel's pair of channels.
inline Channels Interleave(const SplitColors& Even, const SplitColors& Odd) {
    const U32x4 evenBR = U32x4(Even.BlueRed), oddBR = U32x4(Odd.BlueRed);
    const U32x4 evenGA = U32x4(Even.GreenAlpha), oddGA = U32x4(Odd.GreenAlpha);
    return {U16x8((evenBR >> 16) | (oddBR & 0xFFFF0000)), U16x8((evenGA & 0xFFFF) | (oddGA << 16)),
            U16x8((evenBR & 0xFFFF) | (oddBR << 16))};
}

// Eight keep masks in pixel order from the even pixels' and the odd pixels' masks.
inline I16x8 InterleaveMasks(I32x4 Even, I32x4 Odd) {
    return I16x8((Even & 0xFFFF) | (Odd << 16));
}

// An 8-bit level as a factor out of 256, so that 255 multiplies by exactly one.
constexpr uint32_t LevelTo256(uint32_t Level) {
    return Level + (Level >> 7);
}

// How a source colour and the pixel under it combine: each channel becomes
// (source * its factor + destination * Dest) / 256. Modulation by the diffuse
// colour and the source alpha are folded into the source factors; Dest is
// 256 - alpha (0 without blending), so the factors of a channel add up to 256
// at most.
struct Combine {
    U16x8 Red, Green, Blue, Dest;
};

Combine MakeCombine(uint32_t Diffuse, bool AlphaBlend) {
    const uint32_t alpha = AlphaBlend ? LevelTo256(Diffuse >> 24) : 256;
    auto factor = [alpha](uint32_t Level) {
        return U16x8{} + uint16_t((LevelTo256(Level & 0xFF) * alpha) >> 8);
    };
    return {factor(Diffuse >> 16), factor(Diffuse >> 8), factor(Diffuse), U16x8{} + uint16_t(256 - alpha)};
}

inline Channels ApplyOpaque(const Combine& C, const Channels& Src) {
    return {(Src.Red * C.Red) >> 8, (Src.Green * C.Green) >> 8, (Src.Blue * C.Blue) >> 8};
}

inline Channels ApplyBlend(const Combine& C, const Channels& Src, const Channels& Dst) {
    return {(Src.Red * C.Red + Dst.Red * C.Dest) >> 8, (Src.Green * C.Green + Dst.Green * C.Dest) >> 8,
            (Src.Blue * C.Blue + Dst.Blue * C.Dest) >> 8};
}

// [SECTION] Textures

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

// [SECTION] Samplers
//
// Texture positions are measured in texels from the centre of texel 0
// (s = u * width - 0.5), so the integer part of a position selects the upper-left
// tap of its bilinear footprint and the top 8 bits of the fraction weigh it.
// A sampler hands out eight source colours at a time, the even and the odd
// pixels apart, with masks of the pixels to draw.

struct Samples {
    SplitColors Even, Odd;
    I32x4 KeepEven, KeepOdd;
};

// A span's texture positions: at its first pixel, and their steps to the right.
struct SpanCoordinates {
    double S = 0, T = 0, DS = 0, DT = 0;
};

// The positions along a span that may cross from one triangle of a strip into
// the other: its first Split pixels follow Left, the rest Right (both measured
// from the span's first pixel).
struct SpanPositions {
    SpanCoordinates Left, Right;
    int Split = 0;
    bool TwoPlanes(int Count) const { return Split < Count; }
};

// Clamps each lane to [0, High]; positions are finite, so no lane is NaN.
inline F32x4 ClampLanes(F32x4 V, float High) {
    const I32x4 below = V < 0.0f;
    const I32x4 above = V > High;
    const U32x4 high = U32x4(F32x4{} + High), low = U32x4(V) & ~U32x4(below);
    return F32x4(Select(above, high, low));
}

// Two neighbouring texels as one 64-bit word.
inline uint64_t LoadPair(const uint32_t* P) {
    uint64_t pair;
    std::memcpy(&pair, P, sizeof pair);
    return pair;
}

// Bilinear filtering. A sample whose nearest texel (the one its point falls in)
// is keyed is not drawn: a hardware colour key decides on the texel it would
// point-sample, and keyed texels carry their neighbours' colours, so the key
// colour never bleeds into the pixels that are drawn. A point exactly between
// two texel centres (up to the 1/256 weight step) takes the upper or left one:
// on the right and bottom edges of a picture that is the picture's own texel,
// not whatever lies beyond it in the texture. With Clamp, positions are
// clamped to the texture (clamp addressing); without, the caller has checked
// that every position stays within the texture's border ring, whose repeated
// edge texels give the same result.
template <bool Clamp, bool TwoPlanes> struct BilinearSampler {
    const uint32_t* Texels;
    size_t Stride;
    float MaxS, MaxT;
    float S0, T0, DS, DT;   // the first plane: position at the span's first pixel and steps
    float S1, T1, DS1, DT1; // the second plane, from pixel Split on
    float Split;
    F32x4 Last;              // the span's last pixel, in every lane
    F32x4 Index{0, 2, 4, 6}; // the next even pixels, counted from the span's first

    BilinearSampler(const RasterTexture& Texture, const SpanPositions& P, int Count)
        : Texels(Texture.Texels()), Stride(size_t(Texture.Stride())), MaxS(float(Texture.Width() - 1)),
          MaxT(float(Texture.Height() - 1)), S0(float(P.Left.S)), T0(float(P.Left.T)), DS(float(P.Left.DS)),
          DT(float(P.Left.DT)), S1(float(P.Right.S)), T1(float(P.Right.T)), DS1(float(P.Right.DS)),
          DT1(float(P.Right.DT)), Split(float(P.Split)), Last(F32x4{} + float(Count - 1)) {}

    // In the span's last, short group the lanes past its end sample the last
    // pixel again (they are not drawn), so no lane strays beyond the span.
    [[gnu::always_inline]] void Next(Samples& Out, bool Short) {
        const F32x4 even = Short ? WithinSpan(Index) : Index,
                    odd = Short ? WithinSpan(Index + 1.0f) : Index + 1.0f;
        Out.KeepEven = Filter(even, Out.Even);
        Out.KeepOdd = Filter(odd, Out.Odd);
        Index += 8.0f;
    }

    F32x4 WithinSpan(F32x4 Pixel) const { return F32x4(Select(Pixel > Last, U32x4(Last), U32x4(Pixel))); }

    // Filters the four pixels at Pixel (counted from the span's first). Each
    // position is computed afresh from the span's start, so no error
    // accumulates; in 24.8 fixed point the arithmetic shift floors it and the
    // mask leaves its fraction.
    [[gnu::always_inline]] I32x4 Filter(F32x4 Pixel, SplitColors& Colors) const {
        F32x4 s = S0 + Pixel * DS, t = T0 + Pixel * DT;
        if constexpr (TwoPlanes) {
            const I32x4 second = Pixel >= Split;
            s = F32x4(Select(second, U32x4(S1 + Pixel * DS1), U32x4(s)));
            t = F32x4(Select(second, U32x4(T1 + Pixel * DT1), U32x4(t)));
        }
        if constexpr (Clamp) {
            s = ClampLanes(s, MaxS);
            t = ClampLanes(t, MaxT);
        }
        const I32x4 sFixed = __builtin_convertvector(s * 256.0f, I32x4);
        const I32x4 tFixed = __builtin_convertvector(t * 256.0f, I32x4);
        // Row times stride in single precision is exact: textures are small enough
        // that every offset stays below 2^24.
        const I32x4 rowOffset =
            __builtin_convertvector(__builtin_convertvector(tFixed >> 8, F32x4) * float(Stride), I32x4);
        const I32x4 offset = rowOffset + (sFixed >> 8);
        const I32x4 fx = sFixed & 255, fy = tFixed & 255;
        const uint32_t *p0 = Texels + offset[0], *p1 = Texels + offset[1];
        const uint32_t *p2 = Texels + offset[2], *p3 = Texels + offset[3];
        const U32x4 upper01 = U32x4(U64x2{LoadPair(p0), LoadPair(p1)});
        const U32x4 upper23 = U32x4(U64x2{LoadPair(p2), LoadPair(p3)});
        const U32x4 lower01 = U32x4(U64x2{LoadPair(p0 + Stride), LoadPair(p1 + Stride)});
        const U32x4 lower23 = U32x4(U64x2{LoadPair(p2 + Stride), LoadPair(p3 + Stride)});
        const U32x4 t00 = __builtin_shufflevector(upper01, upper23, 0, 2, 4, 6);
        const U32x4 t10 = __builtin_shufflevector(upper01, upper23, 1, 3, 5, 7);
        const U32x4 t01 = __builtin_shufflevector(lower01, lower23, 0, 2, 4, 6);
        const U32x4 t11 = __builtin_shufflevector(lower01, lower23, 1, 3, 5, 7);
        const I32x4 right = fx > 128, lower = fy > 128;
        const U32x4 nearest = Select(lower, Select(right, t11, t01), Select(right, t10, t00));
        const U16x8 wx = U16x8(fx | fx << 16), wy = U16x8(fy | fy << 16);
        Colors =
            Mix(Mix(SplitWords(t00), SplitWords(t10), wx), Mix(SplitWords(t01), SplitWords(t11), wx), wy);
        return I32x4(nearest) < 0; // alpha is 0 (keyed) or 255
    }
};

// A span that walks a texel row one texel per pixel with no fractional offset:
// filtering gives the texels themselves, so they are read directly. Reading
// eight at a time may run up to seven texels past the span, into the border
// ring, the next row and the slack after the last row.
struct RowSampler {
    const uint32_t* Texel;

    void Next(Samples& Out, bool /*Short*/) {
        U32x4 first, second;
        std::memcpy(&first, Texel, sizeof first);
        std::memcpy(&second, Texel + 4, sizeof second);
        Texel += 8;
        const U32x4 even = __builtin_shufflevector(first, second, 0, 2, 4, 6);
        const U32x4 odd = __builtin_shufflevector(first, second, 1, 3, 5, 7);
        Out.Even = SplitWords(even);
        Out.Odd = SplitWords(odd);
        Out.KeepEven = I32x4(even) < 0;
        Out.KeepOdd = I32x4(odd) < 0;
    }
};

// No texture: the diffuse colour alone, i.e. white modulated.
struct WhiteSampler {
    void Next(Samples& Out, bool /*Short*/) {
        Out.Even = Out.Odd = SplitWords(U32x4{} + 0xFFFFFFu);
        Out.KeepEven = Out.KeepOdd = I32x4{} - 1;
    }
};

// True when every pixel of a span lands on a texel centre inside the texture,
// closer than the smallest bilinear weight step: both ends of the span (and so
// every pixel between them) sit at most that far right of / below the texel
// centres a row sampler reads.
bool IsTexelAligned(const SpanCoordinates& C, int Count, const RasterTexture& Texture) {
    const double tolerance = 1.0 / 512;
    if (std::abs(C.DS - 1) >= tolerance || std::abs(C.DT) >= tolerance) return false;
    if (C.S < 0 || C.T < 0 || C.S + Count > Texture.Width() || C.T >= Texture.Height()) return false;
    const double firstS = double(int(C.S)), firstT = double(int(C.T)); // floor: both are positive
    const double endS = C.S + (Count - 1) * C.DS - (firstS + Count - 1),
                 endT = C.T + (Count - 1) * C.DT - firstT;
    return C.S - firstS < tolerance && C.T - firstT < tolerance && endS >= 0 && endS < tolerance &&
           endT >= 0 && endT < tolerance;
}

// True when every pixel of a span stays where the border ring makes clamping
// unnecessary: from one texel before the first centre to half a texel past the
// last, which keeps both taps of a footprint inside the ring.
bool StaysInsideBorder(const SpanCoordinates& C, int Count, const RasterTexture& Texture) {
    auto inside = [](double A, double B, double High) {
        return std::min(A, B) >= -1 && std::max(A, B) <= High;
    };
    return inside(C.S, C.S + (Count - 1) * C.DS, Texture.Width() - 0.5) &&
           inside(C.T, C.T + (Count - 1) * C.DT, Texture.Height() - 0.5);
}

// [SECTION] Spans

// 5-6-5 target: channels are widened by repeating their top bits (so 31 becomes
// 255) and narrowed by dropping the low bits.
struct Rgb565Target {
    using Pixel = uint16_t;
    static Channels Load(const Pixel* P) {
        U16x8 raw;
        std::memcpy(&raw, P, sizeof raw);
        const U16x8 r = raw >> 11, g = (raw >> 5) & 63, b = raw & 31;
        return {(r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2)};
    }
    static void Store(Pixel* P, const Channels& C, I16x8 Keep) {
        U16x8 old;
        std::memcpy(&old, P, sizeof old);
        const U16x8 packed = ((C.Red & 0xF8) << 8) | ((C.Green & 0xFC) << 3) | (C.Blue >> 3);
        const U16x8 raw = Select(Keep, packed, old);
        std::memcpy(P, &raw, sizeof raw);
    }
};

// 32-bit target: bytes blue, green, red, unused (written as 0).
struct Bgrx32Target {
    using Pixel = uint32_t;
    static Channels Load(const Pixel* P) {
        U32x4 first, second;
        std::memcpy(&first, P, sizeof first);
        std::memcpy(&second, P + 4, sizeof second);
        return Interleave(SplitWords(__builtin_shufflevector(first, second, 0, 2, 4, 6)),
                          SplitWords(__builtin_shufflevector(first, second, 1, 3, 5, 7)));
    }
    static void Store(Pixel* P, const Channels& C, I16x8 Keep) {
        // Each word of the 16-bit lanes holds one pixel's channel in its low half
        // and the next pixel's in its high half.
        const U32x4 red = U32x4(C.Red), green = U32x4(C.Green), blue = U32x4(C.Blue);
        const U32x4 even = ((red & 0xFF) << 16) | ((green & 0xFF) << 8) | (blue & 0xFF);
        const U32x4 odd = (red & 0xFF0000) | ((green >> 8) & 0xFF00) | (blue >> 16);
        const I32x4 keep = I32x4(__builtin_shufflevector(Keep, Keep, 0, 0, 1, 1, 2, 2, 3, 3));
        const I32x4 keepHigh = I32x4(__builtin_shufflevector(Keep, Keep, 4, 4, 5, 5, 6, 6, 7, 7));
        U32x4 first, second;
        std::memcpy(&first, P, sizeof first);
        std::memcpy(&second, P + 4, sizeof second);
        first = Select(keep, __builtin_shufflevector(even, odd, 0, 4, 1, 5), first);
        second = Select(keepHigh, __builtin_shufflevector(even, odd, 2, 6, 3, 7), second);
        std::memcpy(P, &first, sizeof first);
        std::memcpy(P + 4, &second, sizeof second);
    }
};

// Shades the first Count (up to eight) of the eight pixels at Out; pixels past
// Count and pixels the sampler masks out keep their values.
template <class Target, bool Blend, class Sampler>
inline void ShadeGroup(typename Target::Pixel* Out, int Count, Sampler& Source, const Combine& C) {
    Samples src;
    Source.Next(src, Count < 8);
    const I16x8 lanes{0, 1, 2, 3, 4, 5, 6, 7};
    const I16x8 keep = InterleaveMasks(src.KeepEven, src.KeepOdd) & (lanes < int16_t(Count));
    if (!AnySet(keep)) return;
    const Channels color = Interleave(src.Even, src.Odd);
    if constexpr (Blend)
        Target::Store(Out, ApplyBlend(C, color, Target::Load(Out)), keep);
    else
        Target::Store(Out, ApplyOpaque(C, color), keep);
}

// Shades Count pixels from Out, with Room pixels from Out to the end of the row.
template <class Target, bool Blend, class Sampler>
void ShadeSpan(typename Target::Pixel* Out, int Count, int Room, Sampler Source, const Combine& C) {
    int i = 0;
    for (; i + 8 <= Count; i += 8)
        ShadeGroup<Target, Blend>(Out + i, 8, Source, C);
    if (i == Count) return;
    // A short last group works in place when the row goes on for eight more
    // pixels (it rewrites the ones past the span unchanged); at the end of a row
    // it works on a scratch copy, so it never touches memory past the row.
    if (i + 8 <= Room) return ShadeGroup<Target, Blend>(Out + i, Count - i, Source, C);
    typename Target::Pixel tail[8] = {};
    std::memcpy(tail, Out + i, sizeof(tail[0]) * size_t(Count - i));
    ShadeGroup<Target, Blend>(tail, Count - i, Source, C);
    std::memcpy(Out + i, tail, sizeof(tail[0]) * size_t(Count - i));
}

// Everything a span needs besides its position.
struct SpanContext {
    const PixelView* Target;
    const RasterTexture* Texture;
    Combine Colors;
};

template <class Target, bool Blend, bool TwoPlanes>
void ShadeBilinear(typename Target::Pixel* Out, int Count, int Room, const RasterTexture& Texture,
                   const SpanPositions& P, const Combine& C) {
    const bool inside = StaysInsideBorder(P.Left, Count, Texture) &&
                        (!TwoPlanes || StaysInsideBorder(P.Right, Count, Texture));
    if (inside)
        ShadeSpan<Target, Blend>(Out, Count, Room, BilinearSampler<false, TwoPlanes>(Texture, P, Count), C);
    else
        ShadeSpan<Target, Blend>(Out, Count, Room, BilinearSampler<true, TwoPlanes>(Texture, P, Count), C);
}

template <class Target, bool Blend>
void ShadeSpanIn(const SpanContext& Ctx, int Y, int X0, int Count, const SpanPositions& P) {
    auto* out = reinterpret_cast<typename Target::Pixel*>(Ctx.Target->Row(Y)) + X0;
    const int room = Ctx.Target->Width - X0;
    const RasterTexture* tex = Ctx.Texture;
    if (!tex) return ShadeSpan<Target, Blend>(out, Count, room, WhiteSampler{}, Ctx.Colors);
    if (P.TwoPlanes(Count)) return ShadeBilinear<Target, Blend, true>(out, Count, room, *tex, P, Ctx.Colors);
    if (IsTexelAligned(P.Left, Count, *tex)) {
        const uint32_t* row = tex->Texels() + size_t(P.Left.T) * size_t(tex->Stride()) + size_t(P.Left.S);
        return ShadeSpan<Target, Blend>(out, Count, room, RowSampler{row}, Ctx.Colors);
    }
    ShadeBilinear<Target, Blend, false>(out, Count, room, *tex, P, Ctx.Colors);
}

using SpanFunction = void (*)(const SpanContext&, int, int, int, const SpanPositions&);

// The inner loop for a target format and blend mode, picked once per draw.
SpanFunction ChooseSpanFunction(PixelFormat Format, bool Blend) {
    if (Format == PixelFormat::Rgb565)
        return Blend ? ShadeSpanIn<Rgb565Target, true> : ShadeSpanIn<Rgb565Target, false>;
    if (Format == PixelFormat::Bgrx32)
        return Blend ? ShadeSpanIn<Bgrx32Target, true> : ShadeSpanIn<Bgrx32Target, false>;
    return nullptr;
}

// [SECTION] Triangles

// An edge walked from its upper end; x at row y is XTop + (y - YTop) * DxDy.
// Both triangles sharing an edge build it from the same ordered ends, so they
// compute the same x for every row and split its pixels without gap or overlap.
struct Edge {
    double XTop = 0, YTop = 0, DxDy = 0;
    double XAt(double Y) const { return XTop + (Y - YTop) * DxDy; }
};

bool IsAbove(const TransformedVertex& A, const TransformedVertex& B) {
    return A.Y < B.Y || (A.Y == B.Y && A.X < B.X);
}

Edge MakeEdge(const TransformedVertex& A, const TransformedVertex& B) {
    const TransformedVertex& top = IsAbove(A, B) ? A : B;
    const TransformedVertex& bottom = IsAbove(A, B) ? B : A;
    const double dy = double(bottom.Y) - double(top.Y);
    return {top.X, top.Y, dy > 0 ? (double(bottom.X) - double(top.X)) / dy : 0.0};
}

// The first whole coordinate at or after V, kept within [0, High].
int CeilWithin(double V, int High) {
    const double v = std::clamp(V, 0.0, double(High));
    const int whole = int(v); // truncation is floor here: v is not negative
    return whole + (whole < v);
}

void SortTopDown(const TransformedVertex* V[3]) {
    if (IsAbove(*V[1], *V[0])) std::swap(V[0], V[1]);
    if (IsAbove(*V[2], *V[1])) std::swap(V[1], V[2]);
    if (IsAbove(*V[1], *V[0])) std::swap(V[0], V[1]);
}

// An attribute's plane over the triangle: value at (X0, Y0) and its slopes.
struct Plane {
    double X0 = 0, Y0 = 0, A0 = 0, DaDx = 0, DaDy = 0;
    double At(double X, double Y) const { return A0 + (X - X0) * DaDx + (Y - Y0) * DaDy; }
    bool IsFinite() const { return std::isfinite(DaDx) && std::isfinite(DaDy); }
};

// Twice the signed area of the triangle.
double DoubleArea(const TransformedVertex* V[3]) {
    const double x1 = double(V[1]->X) - V[0]->X, y1 = double(V[1]->Y) - V[0]->Y;
    const double x2 = double(V[2]->X) - V[0]->X, y2 = double(V[2]->Y) - V[0]->Y;
    return x1 * y2 - x2 * y1;
}

Plane MakePlane(const TransformedVertex* V[3], const double A[3]) {
    const double x1 = double(V[1]->X) - V[0]->X, y1 = double(V[1]->Y) - V[0]->Y;
    const double x2 = double(V[2]->X) - V[0]->X, y2 = double(V[2]->Y) - V[0]->Y;
    const double area = DoubleArea(V), a1 = A[1] - A[0], a2 = A[2] - A[0];
    return {V[0]->X, V[0]->Y, A[0], (a1 * y2 - a2 * y1) / area, (a2 * x1 - a1 * x2) / area};
}

// The texture positions of a triangle, in texels from the first texel's centre.
struct TexelPlanes {
    Plane S, T;
    SpanCoordinates At(int X, int Y) const { return {S.At(X, Y), T.At(X, Y), S.DaDx, T.DaDx}; }
    bool IsFinite() const { return S.IsFinite() && T.IsFinite(); }
};

TexelPlanes MakeTexelPlanes(const TransformedVertex* V[3], const RasterTexture* Texture) {
    if (!Texture) return {};
    double s[3], t[3];
    for (int i = 0; i < 3; ++i) {
        s[i] = double(V[i]->U) * Texture->Width() - 0.5;
        t[i] = double(V[i]->V) * Texture->Height() - 0.5;
    }
    return {MakePlane(V, s), MakePlane(V, t)};
}

// One triangle ready to be walked row by row: its edges from the top vertex,
// its rows, its texture planes and its (flat) colour.
struct TriangleWalk {
    bool Drawn = false; // false for triangles without area or with slopes too steep to be finite
    Edge Long, Upper, Lower;
    double MiddleY = 0;
    int YBegin = 0, YEnd = 0;
    TexelPlanes Planes;
    uint32_t Diffuse = 0;

    // The pixels [X0, X1) of row Y whose centres lie in the triangle: from the
    // first centre at or right of the left edge to the last centre left of the
    // right edge (Direct3D's top-left rule). X0 >= X1 when there are none.
    void Row(int Y, int Width, int& X0, int& X1) const {
        X0 = X1 = 0;
        if (!Drawn || Y < YBegin || Y >= YEnd) return;
        const double xLong = Long.XAt(Y), xShort = (Y < MiddleY ? Upper : Lower).XAt(Y);
        X0 = CeilWithin(std::min(xLong, xShort), Width);
        X1 = CeilWithin(std::max(xLong, xShort), Width);
    }
};

// Rows run from the first one at or below the top vertex to the last one above
// the bottom vertex, so a row through a vertex belongs to the triangle below it.
TriangleWalk MakeWalk(const TransformedVertex* V[3], const RasterTexture* Texture, int Height) {
    TriangleWalk w;
    if (DoubleArea(V) == 0) return w;
    w.Planes = MakeTexelPlanes(V, Texture);
    w.Drawn = w.Planes.IsFinite();
    w.Diffuse = V[0]->Diffuse;
    SortTopDown(V);
    w.Long = MakeEdge(*V[0], *V[2]);
    w.Upper = MakeEdge(*V[0], *V[1]);
    w.Lower = MakeEdge(*V[1], *V[2]);
    w.MiddleY = V[1]->Y;
    w.YBegin = CeilWithin(V[0]->Y, Height);
    w.YEnd = CeilWithin(V[2]->Y, Height);
    return w;
}

bool SamePositions(const SpanCoordinates& A, const SpanCoordinates& B) {
    const double tolerance = 1e-9;
    return std::abs(A.S - B.S) < tolerance && std::abs(A.T - B.T) < tolerance &&
           std::abs(A.DS - B.DS) < tolerance && std::abs(A.DT - B.DT) < tolerance;
}

// Shades [X0, X1) of row Y: its first Split pixels from Left's plane, the rest
// from Right's (one plane when both agree).
void ShadeRowSpan(const SpanContext& Ctx, SpanFunction Span, int Y, int X0, int X1, const TriangleWalk& Left,
                  const TriangleWalk& Right, int Split) {
    SpanPositions p{Left.Planes.At(X0, Y), Right.Planes.At(X0, Y), Split};
    if (SamePositions(p.Left, p.Right)) p.Split = X1 - X0;
    Span(Ctx, Y, X0, X1 - X0, p);
}

// Shades row Y of a strip's two triangles. When their pixels meet end to end
// (the shared edge) and they share a colour, the row is one span crossing from
// one triangle's texture plane into the other's.
void ShadeStripRow(const SpanContext (&Ctx)[2], SpanFunction Span, int Y, const TriangleWalk (&W)[2]) {
    const int width = Ctx[0].Target->Width;
    int x0[2], x1[2];
    W[0].Row(Y, width, x0[0], x1[0]);
    W[1].Row(Y, width, x0[1], x1[1]);
    const bool has[2] = {x0[0] < x1[0], x0[1] < x1[1]};
    if (has[0] && has[1] && W[0].Diffuse == W[1].Diffuse && (x1[0] == x0[1] || x1[1] == x0[0])) {
        const int left = x1[0] == x0[1] ? 0 : 1, right = 1 - left;
        return ShadeRowSpan(Ctx[0], Span, Y, x0[left], x1[right], W[left], W[right], x1[left] - x0[left]);
    }
    for (int i = 0; i < 2; ++i)
        if (has[i]) ShadeRowSpan(Ctx[i], Span, Y, x0[i], x1[i], W[i], W[i], x1[i] - x0[i]);
}

bool IsFinite(const TransformedVertex& V) {
    return std::isfinite(V.X) && std::isfinite(V.Y) && std::isfinite(V.U) && std::isfinite(V.V);
}

} // namespace

// [SECTION] RasterTexture

RasterTexture::RasterTexture(const PixelView& Source, const ColorKey& Key)
    : FWidth(Source.Width), FHeight(Source.Height), FTransparent(Key.Enabled) {
    if (Source.Empty() || FWidth > kMaxSide || FHeight > kMaxSide)
        throw EOutOfResources(Format("%s cannot be made", "Texture"));
    FTexels = WithBorder(ConvertTexels(Source, KeyTest(Key)), FWidth, FHeight);
    FillBorder(FTexels, FWidth, FHeight);
    if (!FTransparent) return;
    // Keyed texels take their neighbours' colours (the ring repeats the edges),
    // and the ring then repeats the new edges.
    FillKeyedTexels(FTexels, FWidth, FHeight);
    FillBorder(FTexels, FWidth, FHeight);
}

// [SECTION] Drawing

void DrawTriangleStrip(const PixelView& Target, const RasterState& State,
                       const TransformedVertex (&Strip)[4]) {
    const SpanFunction span = ChooseSpanFunction(Target.Format, State.AlphaBlend);
    if (!span || Target.Empty() || !std::all_of(Strip, Strip + 4, IsFinite)) return;
    const TransformedVertex* first[3] = {&Strip[0], &Strip[1], &Strip[2]};
    const TransformedVertex* second[3] = {&Strip[1], &Strip[2], &Strip[3]};
    const TriangleWalk walks[2] = {MakeWalk(first, State.Texture, Target.Height),
                                   MakeWalk(second, State.Texture, Target.Height)};
    const SpanContext contexts[2] = {
        {&Target, State.Texture, MakeCombine(walks[0].Diffuse, State.AlphaBlend)},
        {&Target, State.Texture, MakeCombine(walks[1].Diffuse, State.AlphaBlend)}};
    const int yEnd = std::max(walks[0].YEnd, walks[1].YEnd);
    for (int y = std::min(walks[0].YBegin, walks[1].YBegin); y < yEnd; ++y)
        ShadeStripRow(contexts, span, y, walks);
}
