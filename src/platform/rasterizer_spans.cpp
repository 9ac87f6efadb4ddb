// The rasterizer's span shaders: the samplers that fetch eight source colours
// at a time (bilinear with or without clamping, a texel row read directly, or
// plain white) and the per-target inner loops that modulate, blend and store
// them. Which benchmark pays for the vector code: see rasterizer.cpp.
#include "platform/rasterizer_spans.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace raster {

namespace {

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
    F32x4 Last;               // the span's last pixel, in every lane
    F32x4 Index{0, 2, 4, 6};  // the next even pixels, counted from the span's first
    bool Keyed;               // the texture has keyed texels
    const uint8_t* Distances; // its key distances, or nullptr when no run of them is a group long
    float PixelsPerTexel;     // the inverse of the largest step of a position from one pixel to the next

    BilinearSampler(const RasterTexture& Texture, const SpanPositions& P, int Count)
        : Texels(Texture.Texels()), Stride(size_t(Texture.Stride())), MaxS(float(Texture.Width() - 1)),
          MaxT(float(Texture.Height() - 1)), S0(float(P.Left.S)), T0(float(P.Left.T)), DS(float(P.Left.DS)),
          DT(float(P.Left.DT)), S1(float(P.Right.S)), T1(float(P.Right.T)), DS1(float(P.Right.DS)),
          DT1(float(P.Right.DT)), Split(float(P.Split)), Last(F32x4{} + float(Count - 1)),
          Keyed(Texture.Transparent()), Distances(Texture.KeyDistances()), PixelsPerTexel(0) {
        if (!Distances) return;
        const float step =
            std::max(std::max(std::abs(DS), std::abs(DT)), std::max(std::abs(DS1), std::abs(DT1)));
        PixelsPerTexel = 1.0f / std::max(step, 1.0f / 4096);
        if (Runs(Texture.MaxKeyDistance()) < 8) Distances = nullptr;
    }

    // The pixels a key distance vouches for (see KeyedAhead).
    int Runs(int Distance) const { return Distance < 3 ? 0 : int(float(Distance - 3) * PixelsPerTexel) + 1; }

    // How many pixels from Pixel on are certainly not drawn (0 when unsure).
    // The texel under Pixel's position is Distance texels from anything
    // unkeyed; each pixel further on moves the position at most a step, and
    // the texel a sample keys on is within two texels of the one under its
    // position (the nearer tap, and rounding), so the pixels that stay closer
    // than Distance - 2 to it are all keyed.
    int KeyedAhead(int Pixel) const {
        if (!Distances) return 0;
        const bool second = TwoPlanes && float(Pixel) >= Split;
        const float s = second ? S1 + float(Pixel) * DS1 : S0 + float(Pixel) * DS;
        const float t = second ? T1 + float(Pixel) * DT1 : T0 + float(Pixel) * DT;
        const int x = int(std::clamp(s, 0.0f, MaxS)), y = int(std::clamp(t, 0.0f, MaxT));
        return Runs(Distances[size_t(y) * Stride + size_t(x)]);
    }
    void Skip(int Count) { Index += float(Count); }

    // In the span's last, short group the lanes past its end sample the last
    // pixel again (they are not drawn), so no lane strays beyond the span.
    // Groups whose samples are all keyed are not filtered at all.
    [[gnu::always_inline]] void Next(Samples& Out, bool Short) {
        const F32x4 even = Short ? WithinSpan(Index) : Index,
                    odd = Short ? WithinSpan(Index + 1.0f) : Index + 1.0f;
        Index += 8.0f;
        const Footprint evenAt = Locate(even), oddAt = Locate(odd);
        // With keyed texels the nearest taps are read first, and a group that
        // draws nothing is not filtered.
        Out.KeepEven = Out.KeepOdd = I32x4{} - 1;
        if (Keyed) {
            Out.KeepEven = NearestUnkeyed(evenAt);
            Out.KeepOdd = NearestUnkeyed(oddAt);
            if (!AnySet(Out.KeepEven | Out.KeepOdd)) {
                Out.Even = Out.Odd = SplitColors{};
                return;
            }
        }
        Out.Even = Filter(evenAt);
        Out.Odd = Filter(oddAt);
    }

    F32x4 WithinSpan(F32x4 Pixel) const { return F32x4(Select(Pixel > Last, U32x4(Last), U32x4(Pixel))); }

    // Where four samples fall: the offsets of their upper-left taps and their weights.
    struct Footprint {
        I32x4 Offset, Fx, Fy;
    };

    // Locates the four pixels at Pixel (counted from the span's first). Each
    // position is computed afresh from the span's start, so no error
    // accumulates; in 24.8 fixed point the arithmetic shift floors it and the
    // mask leaves its fraction.
    [[gnu::always_inline]] Footprint Locate(F32x4 Pixel) const {
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
        return {rowOffset + (sFixed >> 8), sFixed & 255, tFixed & 255};
    }

    // The samples whose nearest tap (right and lower past half a texel) is
    // not keyed, read on their own.
    [[gnu::always_inline]] I32x4 NearestUnkeyed(const Footprint& F) const {
        // Comparison lanes are -1 where true: subtracting one steps right, and
        // masking the stride with one steps down.
        const I32x4 nearest = F.Offset - (F.Fx > 128) + ((F.Fy > 128) & int32_t(Stride));
        const U32x4 taps{Texels[nearest[0]], Texels[nearest[1]], Texels[nearest[2]], Texels[nearest[3]]};
        return I32x4(taps) < 0; // alpha is 0 (keyed) or 255
    }

    // Mixes the four taps of each footprint.
    [[gnu::always_inline]] SplitColors Filter(const Footprint& F) const {
        const uint32_t *p0 = Texels + F.Offset[0], *p1 = Texels + F.Offset[1];
        const uint32_t *p2 = Texels + F.Offset[2], *p3 = Texels + F.Offset[3];
        const U32x4 upper01 = U32x4(U64x2{LoadPair(p0), LoadPair(p1)});
        const U32x4 upper23 = U32x4(U64x2{LoadPair(p2), LoadPair(p3)});
        const U32x4 lower01 = U32x4(U64x2{LoadPair(p0 + Stride), LoadPair(p1 + Stride)});
        const U32x4 lower23 = U32x4(U64x2{LoadPair(p2 + Stride), LoadPair(p3 + Stride)});
        const U32x4 t00 = __builtin_shufflevector(upper01, upper23, 0, 2, 4, 6);
        const U32x4 t10 = __builtin_shufflevector(upper01, upper23, 1, 3, 5, 7);
        const U32x4 t01 = __builtin_shufflevector(lower01, lower23, 0, 2, 4, 6);
        const U32x4 t11 = __builtin_shufflevector(lower01, lower23, 1, 3, 5, 7);
        const U16x8 wx = U16x8(F.Fx | F.Fx << 16), wy = U16x8(F.Fy | F.Fy << 16);
        return Mix(Mix(SplitWords(t00), SplitWords(t10), wx), Mix(SplitWords(t01), SplitWords(t11), wx), wy);
    }
};

// A span that walks a texel row one texel per pixel with no fractional offset:
// filtering gives the texels themselves, so they are read directly. Reading
// eight at a time may run up to seven texels past the span, into the border
// ring, the next row and the slack after the last row.
struct RowSampler {
    const uint32_t* Texel;    // the next texel read
    const uint8_t* Distances; // the key distances from the span's first texel on (nullptr: not keyed)

    // The texels closer than a texel's key distance are all keyed.
    int KeyedAhead(int Pixel) const { return Distances ? Distances[Pixel] : 0; }
    void Skip(int Count) { Texel += Count; }

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
    int KeyedAhead(int /*Pixel*/) const { return 0; }
    void Skip(int /*Count*/) {}
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
// Count and pixels the sampler masks out keep their values. False when the
// sampler masked out all of them.
template <class Target, bool Blend, class Sampler>
[[gnu::always_inline]] inline bool ShadeGroup(typename Target::Pixel* Out, int Count, Sampler& Source,
                                              const Combine& C) {
    Samples src;
    Source.Next(src, Count < 8);
    const I16x8 lanes{0, 1, 2, 3, 4, 5, 6, 7};
    const I16x8 keep = InterleaveMasks(src.KeepEven, src.KeepOdd) & (lanes < int16_t(Count));
    if (!AnySet(keep)) return false;
    const Channels color = Interleave(src.Even, src.Odd);
    if constexpr (Blend)
        Target::Store(Out, ApplyBlend(C, color, Target::Load(Out)), keep);
    else
        Target::Store(Out, ApplyOpaque(C, color), keep);
    return true;
}

// The pixels [First, End) of a span of Count that may be drawn: runs of keyed
// pixels the sampler can vouch for are cut off both ends (a run it measures
// reaches as far back as ahead) while they are at least a group long; shorter
// ones cost more to find than to shade.
template <class Sampler> void TrimKeyedEnds(const Sampler& Source, int Count, int& First, int& End) {
    First = 0;
    End = Count;
    for (int run = 0; First < End && (run = Source.KeyedAhead(First)) >= 8;)
        First += run;
    for (int run = 0; End > First && (run = Source.KeyedAhead(End - 1)) >= 8;)
        End -= run;
}

// Shades Count pixels from Out, with Room pixels from Out to the end of the
// row, eight at a time. Keyed pixels at the ends are skipped, and so are those
// after a group that drew nothing, as far as the sampler can vouch for them.
template <class Target, bool Blend, class Sampler>
void ShadeSpan(typename Target::Pixel* Out, int Count, int Room, Sampler Source, const Combine& C) {
    int i = 0, end = 0;
    TrimKeyedEnds(Source, Count, i, end);
    Source.Skip(i);
    while (i < end) {
        const int n = std::min(end - i, 8);
        bool drawn = true;
        if (n == 8 || i + 8 <= Room) {
            // A short last group works in place when the row goes on for eight
            // more pixels (it rewrites the ones past the span unchanged).
            drawn = ShadeGroup<Target, Blend>(Out + i, n, Source, C);
        } else {
            // At the end of a row it works on a scratch copy, so it never
            // touches memory past the row.
            typename Target::Pixel tail[8] = {};
            std::copy_n(Out + i, n, tail);
            ShadeGroup<Target, Blend>(tail, n, Source, C);
            std::copy_n(tail, n, Out + i);
        }
        i += n;
        const int keyed = drawn || i >= end ? 0 : std::min(Source.KeyedAhead(i), end - i);
        if (keyed >= 8 || keyed == end - i) {
            Source.Skip(keyed);
            i += keyed;
        }
    }
}

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
        const size_t s = size_t(P.Left.S), t = size_t(P.Left.T);
        const uint32_t* row = tex->Texels() + t * size_t(tex->Stride()) + s;
        // Key distances are asked only where they can vouch for a whole group.
        const bool jumps = tex->KeyDistances() && tex->MaxKeyDistance() >= 8;
        const uint8_t* distance = jumps ? tex->KeyDistances() + t * size_t(tex->Stride()) + s : nullptr;
        return ShadeSpan<Target, Blend>(out, Count, room, RowSampler{row, distance}, Ctx.Colors);
    }
    ShadeBilinear<Target, Blend, false>(out, Count, room, *tex, P, Ctx.Colors);
}

} // namespace

// The inner loop for a target format and blend mode, picked once per draw.
SpanFunction ChooseSpanFunction(PixelFormat Format, bool Blend) {
    if (Format == PixelFormat::Rgb565)
        return Blend ? ShadeSpanIn<Rgb565Target, true> : ShadeSpanIn<Rgb565Target, false>;
    if (Format == PixelFormat::Bgrx32)
        return Blend ? ShadeSpanIn<Bgrx32Target, true> : ShadeSpanIn<Bgrx32Target, false>;
    return nullptr;
}

} // namespace raster
