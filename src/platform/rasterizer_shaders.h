// The rasterizer's span shaders for lanes of any width (an internal header,
// compiled once per width by rasterizer_spans.cpp and
// rasterizer_spans_avx2.cpp): the samplers that fetch a group's source
// colours (bilinear with or without clamping, a texel row read directly, or
// plain white) and the per-target inner loops that modulate, blend and store
// them. Which benchmark pays for the vector code: see rasterizer.cpp.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/rasterizer_spans.h"

namespace raster {

// [SECTION] Samplers
//
// Texture positions are measured in texels from the centre of texel 0
// (s = u * width - 0.5), so the integer part of a position selects the upper-left
// tap of its bilinear footprint and the top 8 bits of the fraction weigh it.
// A sampler hands out a group's source colours at a time, the even and the
// odd pixels apart, with masks of the pixels to draw.

template <class L> struct Samples {
    SplitColors<L> Even, Odd;
    typename L::I32 KeepEven, KeepOdd;
};

// Clamps each lane to [0, High]; positions are finite, so no lane is NaN.
template <class L> inline typename L::F32 ClampLanes(typename L::F32 V, float High) {
    using U32 = typename L::U32;
    const typename L::I32 below = V<0.0f, above = V> High;
    const U32 high = U32(typename L::F32{} + High), low = U32(V) & ~U32(below);
    return typename L::F32(Select(above, high, low));
}

// Splitting 16-byte blocks of texel pairs into their even and odd words: pair
// K of the first vector belongs to sample PairSample(K), of the second to
// PairSample(K) + 2, so that the split leaves the samples in order without
// moving words between blocks (which wide vectors do slowly).
constexpr int PairSample(int K) {
    return 4 * (K / 2) + K % 2;
}
template <int Words, int Tap> struct BlockTaps {
    static constexpr int Lane(int I) { return (I % 4 / 2) * Words + 4 * (I / 4) + 2 * (I % 2) + Tap; }
};

// The pairs of neighbouring texels from Base + the offsets in lanes
// PairSample(K) + First of Offset on, one pair in each 64-bit lane K.
template <int First, class I32>
[[gnu::always_inline]] inline auto GatherPairs(const uint32_t* Base, I32 Offset) {
    using L = Lanes<int(sizeof(I32))>;
    return typename L::U32(LanesOf<typename L::U64>([&](int K) {
        uint64_t pair;
        std::memcpy(&pair, Base + Offset[PairSample(K) + First], sizeof pair);
        return pair;
    }));
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
template <class L, bool Clamp, bool TwoPlanes> struct BilinearSampler {
    using F32 = typename L::F32;
    using I32 = typename L::I32;
    using U32 = typename L::U32;
    using U16 = typename L::U16;
    using U64 = typename L::U64;

    const uint32_t* Texels;
    size_t Stride;
    float MaxS, MaxT;
    float S0, T0, DS, DT;   // the first plane: position at the span's first pixel and steps
    float S1, T1, DS1, DT1; // the second plane, from pixel Split on
    float Split;
    F32 Last;                 // the span's last pixel, in every lane
    F32 Index;                // the group's next even pixels, counted from the span's first
    bool Keyed;               // the texture has keyed texels
    const uint8_t* Distances; // its key distances, or nullptr when no run of them is a group long
    // The inverse of the largest step of a position from one pixel to the
    // next, in 16.16 fixed point rounded down: runs measured with it never
    // reach further, and no conversion to and from float lies on the chain of
    // dependent look-ups a trim walks.
    int64_t PixelsPerTexel;

    BilinearSampler(const RasterTexture& Texture, const SpanPositions& P, int Count)
        : Texels(Texture.Texels()), Stride(size_t(Texture.Stride())), MaxS(float(Texture.Width() - 1)),
          MaxT(float(Texture.Height() - 1)), S0(float(P.Left.S)), T0(float(P.Left.T)), DS(float(P.Left.DS)),
          DT(float(P.Left.DT)), S1(float(P.Right.S)), T1(float(P.Right.T)), DS1(float(P.Right.DS)),
          DT1(float(P.Right.DT)), Split(float(P.Split)), Last(F32{} + float(Count - 1)),
          Index(LanesOf<F32>([](int I) { return float(2 * I); })), Keyed(Texture.Transparent()),
          Distances(Texture.KeyDistances()), PixelsPerTexel(0) {
        if (!Distances) return;
        const float step =
            std::max(std::max(std::abs(DS), std::abs(DT)), std::max(std::abs(DS1), std::abs(DT1)));
        PixelsPerTexel = int64_t(65536.0f / std::max(step, 1.0f / 4096));
        if (Runs(Texture.MaxKeyDistance()) < L::kPixels) Distances = nullptr;
    }

    // The pixels a key distance vouches for (see KeyedAhead).
    int Runs(int Distance) const {
        return Distance < 3 ? 0 : int(((Distance - 3) * PixelsPerTexel) >> 16) + 1;
    }

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
        const int x = int(std::min(std::max(s, 0.0f), MaxS)), y = int(std::min(std::max(t, 0.0f), MaxT));
        return Runs(Distances[size_t(y) * Stride + size_t(x)]);
    }
    void Skip(int Count) { Index += float(Count); }

    // In the span's last, short group the lanes past its end sample the last
    // pixel again (they are not drawn), so no lane strays beyond the span.
    [[gnu::always_inline]] void Next(Samples<L>& Out, bool Short) {
        const F32 even = Short ? WithinSpan(Index) : Index,
                  odd = Short ? WithinSpan(Index + 1.0f) : Index + 1.0f;
        Index += float(L::kPixels);
        const Footprint evenAt = Locate(even), oddAt = Locate(odd);
        const Taps evenTaps = Fetch(evenAt), oddTaps = Fetch(oddAt);
        // With keyed texels, a group that draws nothing is not filtered.
        Out.KeepEven = Out.KeepOdd = I32{} - 1;
        if (Keyed) {
            Out.KeepEven = NearestUnkeyed(evenAt, evenTaps);
            Out.KeepOdd = NearestUnkeyed(oddAt, oddTaps);
            if (!AnySet(Out.KeepEven | Out.KeepOdd)) {
                Out.Even = Out.Odd = SplitColors<L>{};
                return;
            }
        }
        Out.Even = Filter(evenAt, evenTaps);
        Out.Odd = Filter(oddAt, oddTaps);
    }

    F32 WithinSpan(F32 Pixel) const { return F32(Select(Pixel > Last, U32(Last), U32(Pixel))); }

    // Where a set of samples falls: the offsets of their upper-left taps and their weights.
    struct Footprint {
        I32 Offset, Fx, Fy;
    };

    // Locates the samples at Pixel (counted from the span's first). Each
    // position is computed afresh from the span's start, so no error
    // accumulates; in 24.8 fixed point the arithmetic shift floors it and the
    // mask leaves its fraction.
    [[gnu::always_inline]] Footprint Locate(F32 Pixel) const {
        F32 s = S0 + Pixel * DS, t = T0 + Pixel * DT;
        if constexpr (TwoPlanes) {
            const I32 second = Pixel >= Split;
            s = F32(Select(second, U32(S1 + Pixel * DS1), U32(s)));
            t = F32(Select(second, U32(T1 + Pixel * DT1), U32(t)));
        }
        if constexpr (Clamp) {
            s = ClampLanes<L>(s, MaxS);
            t = ClampLanes<L>(t, MaxT);
        }
        const I32 sFixed = __builtin_convertvector(s * 256.0f, I32);
        const I32 tFixed = __builtin_convertvector(t * 256.0f, I32);
        // Row times stride in single precision is exact: textures are small enough
        // that every offset stays below 2^24.
        const I32 rowOffset =
            __builtin_convertvector(__builtin_convertvector(tFixed >> 8, F32) * float(Stride), I32);
        return {rowOffset + (sFixed >> 8), sFixed & 255, tFixed & 255};
    }

    // The four taps of each footprint: upper left, upper right, lower left, lower right.
    struct Taps {
        U32 T00, T10, T01, T11;
    };

    // Reads each footprint's upper pair and lower pair of texels.
    [[gnu::always_inline]] Taps Fetch(const Footprint& F) const {
        const uint32_t* lower = Texels + Stride;
        const U32 upperA = GatherPairs<0>(Texels, F.Offset), upperB = GatherPairs<2>(Texels, F.Offset);
        const U32 lowerA = GatherPairs<0>(lower, F.Offset), lowerB = GatherPairs<2>(lower, F.Offset);
        // Viewed as floats, each split is one shuffle instruction on x86-64.
        auto split = [](U32 A, U32 B, auto Order) {
            return U32(Shuffle<decltype(Order)>(typename L::F32(A), typename L::F32(B)));
        };
        return {split(upperA, upperB, BlockTaps<L::kWords, 0>{}),
                split(upperA, upperB, BlockTaps<L::kWords, 1>{}),
                split(lowerA, lowerB, BlockTaps<L::kWords, 0>{}),
                split(lowerA, lowerB, BlockTaps<L::kWords, 1>{})};
    }

    // The samples whose nearest tap (right and lower past half a texel) is not keyed.
    [[gnu::always_inline]] static I32 NearestUnkeyed(const Footprint& F, const Taps& T) {
        const I32 right = F.Fx > 128;
        const U32 upper = Select(right, T.T10, T.T00), lower = Select(right, T.T11, T.T01);
        return I32(Select(F.Fy > 128, lower, upper)) < 0; // alpha is 0 (keyed) or 255
    }

    // Mixes the four taps of each footprint by its weights.
    [[gnu::always_inline]] static SplitColors<L> Filter(const Footprint& F, const Taps& T) {
        const U16 wx = U16(F.Fx | F.Fx << 16), wy = U16(F.Fy | F.Fy << 16);
        return Mix<L>(Mix<L>(SplitWords<L>(T.T00), SplitWords<L>(T.T10), wx),
                      Mix<L>(SplitWords<L>(T.T01), SplitWords<L>(T.T11), wx), wy);
    }
};

// A span that walks a texel row one texel per pixel with no fractional offset:
// filtering gives the texels themselves, so they are read directly. Reading a
// group at a time may run up to a group less one texel past the span, into
// the border ring, the next row and the slack after the last row.
template <class L> struct RowSampler {
    const uint32_t* Texel;    // the next texel read
    const uint8_t* Distances; // the key distances from the span's first texel on (nullptr: not keyed)

    // The texels closer than a texel's key distance are all keyed.
    int KeyedAhead(int Pixel) const { return Distances ? Distances[Pixel] : 0; }
    void Skip(int Count) { Texel += Count; }

    void Next(Samples<L>& Out, bool /*Short*/) {
        using U32 = typename L::U32;
        U32 first, second;
        std::memcpy(&first, Texel, sizeof first);
        std::memcpy(&second, Texel + L::kWords, sizeof second);
        Texel += L::kPixels;
        const U32 even = Shuffle<EvenLanes>(first, second), odd = Shuffle<OddLanes>(first, second);
        Out.Even = SplitWords<L>(even);
        Out.Odd = SplitWords<L>(odd);
        Out.KeepEven = typename L::I32(even) < 0;
        Out.KeepOdd = typename L::I32(odd) < 0;
    }
};

// No texture: the diffuse colour alone, i.e. white modulated.
template <class L> struct WhiteSampler {
    int KeyedAhead(int /*Pixel*/) const { return 0; }
    void Skip(int /*Count*/) {}
    void Next(Samples<L>& Out, bool /*Short*/) {
        Out.Even = Out.Odd = SplitWords<L>(typename L::U32{} + 0xFFFFFFu);
        Out.KeepEven = Out.KeepOdd = typename L::I32{} - 1;
    }
};

// [SECTION] Targets

// 5-6-5 target: channels are widened by repeating their top bits (so 31 becomes
// 255) and narrowed by dropping the low bits.
template <class L> struct Rgb565Target {
    using Pixel = uint16_t;
    using U16 = typename L::U16;
    static Channels<L> Load(const Pixel* P) {
        U16 raw;
        std::memcpy(&raw, P, sizeof raw);
        const U16 r = raw >> 11, g = (raw >> 5) & 63, b = raw & 31;
        return {(r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2)};
    }
    static void Store(Pixel* P, const Channels<L>& C, typename L::I16 Keep) {
        U16 old;
        std::memcpy(&old, P, sizeof old);
        const U16 packed = ((C.Red & 0xF8) << 8) | ((C.Green & 0xFC) << 3) | (C.Blue >> 3);
        const U16 raw = Select(Keep, packed, old);
        std::memcpy(P, &raw, sizeof raw);
    }
};

// 32-bit target: bytes blue, green, red, unused (written as 0).
template <class L> struct Bgrx32Target {
    using Pixel = uint32_t;
    using U32 = typename L::U32;
    using I32 = typename L::I32;
    static Channels<L> Load(const Pixel* P) {
        U32 first, second;
        std::memcpy(&first, P, sizeof first);
        std::memcpy(&second, P + L::kWords, sizeof second);
        return Interleave<L>(SplitWords<L>(Shuffle<EvenLanes>(first, second)),
                             SplitWords<L>(Shuffle<OddLanes>(first, second)));
    }
    static void Store(Pixel* P, const Channels<L>& C, typename L::I16 Keep) {
        // Each word of the 16-bit lanes holds one pixel's channel in its low half
        // and the next pixel's in its high half.
        const U32 red = U32(C.Red), green = U32(C.Green), blue = U32(C.Blue);
        const U32 even = ((red & 0xFF) << 16) | ((green & 0xFF) << 8) | (blue & 0xFF);
        const U32 odd = (red & 0xFF0000) | ((green >> 8) & 0xFF00) | (blue >> 16);
        const I32 keep = I32(Shuffle<Widen<0>>(Keep, Keep));
        const I32 keepHigh = I32(Shuffle<Widen<L::kWords>>(Keep, Keep));
        U32 first, second;
        std::memcpy(&first, P, sizeof first);
        std::memcpy(&second, P + L::kWords, sizeof second);
        first = Select(keep, Shuffle<ZipLow<L::kWords>>(even, odd), first);
        second = Select(keepHigh, Shuffle<ZipHigh<L::kWords>>(even, odd), second);
        std::memcpy(P, &first, sizeof first);
        std::memcpy(P + L::kWords, &second, sizeof second);
    }
};

// [SECTION] Spans

// Shades the first Count (up to a group) of the group of pixels at Out;
// pixels past Count and pixels the sampler masks out keep their values. False
// when the sampler masked out all of them.
template <class L, class Target, bool Blend, class Sampler>
[[gnu::always_inline]] inline bool ShadeGroup(typename Target::Pixel* Out, int Count, Sampler& Source,
                                              const CombineLanes<L>& C) {
    using I16 = typename L::I16;
    Samples<L> src;
    Source.Next(src, Count < L::kPixels);
    const I16 lanes = LanesOf<I16>([](int I) { return int16_t(I); });
    const I16 keep = InterleaveMasks<L>(src.KeepEven, src.KeepOdd) & (lanes < int16_t(Count));
    if (!AnySet(keep)) return false;
    const Channels<L> color = Interleave<L>(src.Even, src.Odd);
    if constexpr (Blend)
        Target::Store(Out, ApplyBlend<L>(C, color, Target::Load(Out)), keep);
    else
        Target::Store(Out, ApplyOpaque<L>(C, color), keep);
    return true;
}

// The pixels [First, End) of a span of Count that may be drawn: runs of keyed
// pixels the sampler can vouch for are cut off both ends (a run it measures
// reaches as far back as ahead) while they are at least a group long; shorter
// ones cost more to find than to shade.
template <class L, class Sampler> void TrimKeyedEnds(const Sampler& Source, int Count, int& First, int& End) {
    First = 0;
    End = Count;
    for (int run = 0; First < End && (run = Source.KeyedAhead(First)) >= L::kPixels;)
        First += run;
    for (int run = 0; End > First && (run = Source.KeyedAhead(End - 1)) >= L::kPixels;)
        End -= run;
}

// Shades Count pixels from Out, with Room pixels from Out to the end of the
// row, a group at a time. Keyed pixels at the ends are skipped, and so are
// those after a group that drew nothing, as far as the sampler can vouch for them.
template <class L, class Target, bool Blend, class Sampler>
void ShadeSpan(typename Target::Pixel* Out, int Count, int Room, Sampler Source, const Combine& Colors) {
    constexpr int kGroup = L::kPixels;
    const CombineLanes<L> c(Colors);
    int i = 0, end = 0;
    TrimKeyedEnds<L>(Source, Count, i, end);
    Source.Skip(i);
    while (i < end) {
        const int n = std::min(end - i, kGroup);
        bool drawn = true;
        if (n == kGroup || i + kGroup <= Room) {
            // A short last group works in place when the row goes on for a
            // whole group more (it rewrites the pixels past the span unchanged).
            drawn = ShadeGroup<L, Target, Blend>(Out + i, n, Source, c);
        } else {
            // At the end of a row it works on a scratch copy, so it never
            // touches memory past the row.
            typename Target::Pixel tail[kGroup] = {};
            std::copy_n(Out + i, n, tail);
            ShadeGroup<L, Target, Blend>(tail, n, Source, c);
            std::copy_n(tail, n, Out + i);
        }
        i += n;
        const int keyed = drawn || i >= end ? 0 : std::min(Source.KeyedAhead(i), end - i);
        if (keyed >= kGroup || keyed == end - i) {
            Source.Skip(keyed);
            i += keyed;
        }
    }
}

template <class L, class Target, bool Blend, bool TwoPlanes>
void ShadeBilinear(typename Target::Pixel* Out, int Count, int Room, const RasterTexture& Texture,
                   const SpanPositions& P, const Combine& C) {
    const bool inside = StaysInsideBorder(P.Left, Count, Texture) &&
                        (!TwoPlanes || StaysInsideBorder(P.Right, Count, Texture));
    if (inside)
        ShadeSpan<L, Target, Blend>(Out, Count, Room, BilinearSampler<L, false, TwoPlanes>(Texture, P, Count),
                                    C);
    else
        ShadeSpan<L, Target, Blend>(Out, Count, Room, BilinearSampler<L, true, TwoPlanes>(Texture, P, Count),
                                    C);
}

template <class L, template <class> class TargetOf, bool Blend>
void ShadeSpanIn(const SpanContext& Ctx, int Y, int X0, int Count, const SpanPositions& P) {
    using Target = TargetOf<L>;
    auto* out = reinterpret_cast<typename Target::Pixel*>(Ctx.Target->Row(Y)) + X0;
    const int room = Ctx.Target->Width - X0;
    const RasterTexture* tex = Ctx.Texture;
    if (!tex) return ShadeSpan<L, Target, Blend>(out, Count, room, WhiteSampler<L>{}, Ctx.Colors);
    if (P.TwoPlanes(Count))
        return ShadeBilinear<L, Target, Blend, true>(out, Count, room, *tex, P, Ctx.Colors);
    if (IsTexelAligned(P.Left, Count, *tex)) {
        const size_t s = size_t(P.Left.S), t = size_t(P.Left.T);
        const uint32_t* row = tex->Texels() + t * size_t(tex->Stride()) + s;
        // Key distances are asked only where they can vouch for a whole group.
        const bool jumps = tex->KeyDistances() && tex->MaxKeyDistance() >= L::kPixels;
        const uint8_t* distance = jumps ? tex->KeyDistances() + t * size_t(tex->Stride()) + s : nullptr;
        return ShadeSpan<L, Target, Blend>(out, Count, room, RowSampler<L>{row, distance}, Ctx.Colors);
    }
    ShadeBilinear<L, Target, Blend, false>(out, Count, room, *tex, P, Ctx.Colors);
}

// The inner loop for a target format and blend mode in lanes L.
template <class L> SpanFunction SpanFunctionIn(PixelFormat Format, bool Blend) {
    if (Format == PixelFormat::Rgb565)
        return Blend ? ShadeSpanIn<L, Rgb565Target, true> : ShadeSpanIn<L, Rgb565Target, false>;
    if (Format == PixelFormat::Bgrx32)
        return Blend ? ShadeSpanIn<L, Bgrx32Target, true> : ShadeSpanIn<L, Bgrx32Target, false>;
    return nullptr;
}

} // namespace raster
