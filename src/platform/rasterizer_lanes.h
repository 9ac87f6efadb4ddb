// The lanes the rasterizer's inner loops work in (an internal header of the
// span shaders, rasterizer.cpp and the keyed pixel copy): the compiler's
// portable vector types at a width chosen at compile time (16 bytes: SSE2 on
// x86-64, NEON on ARM, SIMD128 on the web; 32 bytes: AVX2), texel mixing,
// colour channels side by side, and how a source colour combines with the
// pixel under it.
//
// Lane layout, for vectors of B bytes: a group is B / 2 pixels, one per 16-bit
// lane. Texels are 0x00RRGGBB words; a sampler filters B / 4 of them at a
// time, viewing each word as two 16-bit lanes so that blue/red and
// green/alpha are each scaled by one multiply. Its two sets of B / 4 hold the
// even and the odd pixels of a group, so that their channels interleave (by
// shifts within each 32-bit word) into B / 2 16-bit lanes in pixel order,
// where modulation, blending and the 5-6-5 packing work on one channel of the
// whole group at once. Nothing depends on B beyond the lane counts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#ifdef __AVX__
#include <immintrin.h>
#endif

namespace raster {

// Vectors of Bytes bytes and how many lanes of each size they hold.
template <int Bytes> struct Lanes {
    static constexpr int kBytes = Bytes;
    static constexpr int kWords = Bytes / 4;  // 32-bit lanes: the samples of one parity
    static constexpr int kPixels = Bytes / 2; // 16-bit lanes: the pixels of a group
    typedef uint32_t U32 __attribute__((vector_size(Bytes)));
    typedef int32_t I32 __attribute__((vector_size(Bytes)));
    typedef uint16_t U16 __attribute__((vector_size(Bytes)));
    typedef int16_t I16 __attribute__((vector_size(Bytes)));
    typedef uint64_t U64 __attribute__((vector_size(Bytes)));
    typedef float F32 __attribute__((vector_size(Bytes)));
};

// The baseline width, which every build has (the keyed pixel copy works in it too).
using BaseLanes = Lanes<16>;
using U16x8 = BaseLanes::U16;

constexpr uint32_t kEvenBytes = 0x00FF00FF;

// Lanes of A where Mask is set, of B elsewhere.
template <class V, class M> inline V Select(M Mask, V A, V B) {
    return (A & V(Mask)) | (B & ~V(Mask));
}

template <class M> inline bool AnySet(M Mask) {
    using Words = typename Lanes<int(sizeof(M))>::U64;
    const Words words = Words(Mask);
#ifdef __AVX__
    // One instruction tests a whole 32-byte vector.
    if constexpr (sizeof(M) == 32) return !_mm256_testz_si256(__m256i(words), __m256i(words));
#endif
    uint64_t any = 0;
    for (size_t i = 0; i < sizeof(M) / 8; ++i)
        any |= words[i];
    return any != 0;
}

// The helpers below build a vector lane by lane from a list of lane numbers
// (0, 1, ...); they are always inlined, so the lanes cost no calls.
template <class V> constexpr size_t kLaneCount = sizeof(V) / sizeof(V{}[0]);

template <class V, class F, size_t... I>
[[gnu::always_inline, gnu::flatten]] inline V LanesOf(F Lane, std::index_sequence<I...> /*Lanes*/) {
    return V{Lane(int(I))...};
}

// A vector whose lane I is Lane(I).
template <class V, class F> [[gnu::always_inline]] inline V LanesOf(F Lane) {
    return LanesOf<V>(Lane, std::make_index_sequence<kLaneCount<V>>{});
}

template <class Order, class V, size_t... I>
[[gnu::always_inline]] inline V Shuffle(V A, V B, std::index_sequence<I...> /*Lanes*/) {
    return V(__builtin_shufflevector(A, B, Order::Lane(int(I))...));
}

// Lane I of the result is lane Order::Lane(I) of A and B side by side (B's
// lanes numbered after A's), for every lane of a vector like A.
template <class Order, class V> [[gnu::always_inline]] inline V Shuffle(V A, V B) {
    return Shuffle<Order>(A, B, std::make_index_sequence<kLaneCount<V>>{});
}

// Shuffle orders that split words into even and odd ones, and merge them back.
struct EvenLanes {
    static constexpr int Lane(int I) { return 2 * I; }
};
struct OddLanes {
    static constexpr int Lane(int I) { return 2 * I + 1; }
};
template <int Count> struct ZipLow { // A0 B0 A1 B1 ... from the first halves
    static constexpr int Lane(int I) { return I / 2 + (I % 2) * Count; }
};
template <int Count> struct ZipHigh { // the same from the second halves
    static constexpr int Lane(int I) { return Count / 2 + I / 2 + (I % 2) * Count; }
};
template <int First> struct Widen { // A[First] twice, A[First + 1] twice, ...
    static constexpr int Lane(int I) { return First + I / 2; }
};

// Colours with each channel in a 16-bit lane: blue and red of each pixel side
// by side in BlueRed, green and alpha in GreenAlpha. A channel is at most 255,
// so scaled by weights adding up to at most 256 every sum fits 16 bits, and
// one multiply scales two channels of every pixel.
template <class L> struct SplitColors { typename L::U16 BlueRed, GreenAlpha; };

// The channels of 0xAARRGGBB words.
template <class L> inline SplitColors<L> SplitWords(typename L::U32 C) {
    using U16 = typename L::U16;
    return {U16(C & kEvenBytes), U16((C >> 8) & kEvenBytes)};
}

// Mixes two sets of colours: the weight of B is W / 256 (W at most 256).
template <class L>
inline SplitColors<L> Mix(const SplitColors<L>& A, const SplitColors<L>& B, typename L::U16 W) {
    const typename L::U16 iw = 256 - W;
    return {(A.BlueRed * iw + B.BlueRed * W) >> 8, (A.GreenAlpha * iw + B.GreenAlpha * W) >> 8};
}

// A group's colours, one channel per vector, 0 to 255 in pixel order.
template <class L> struct Channels { typename L::U16 Red, Green, Blue; };

// The channels of the even pixels' and the odd pixels' colours, interleaved:
// each 32-bit word of a split vector holds one pixel's pair of channels.
template <class L> inline Channels<L> Interleave(const SplitColors<L>& Even, const SplitColors<L>& Odd) {
    using U32 = typename L::U32;
    using U16 = typename L::U16;
    const U32 evenBR = U32(Even.BlueRed), oddBR = U32(Odd.BlueRed);
    const U32 evenGA = U32(Even.GreenAlpha), oddGA = U32(Odd.GreenAlpha);
    return {U16((evenBR >> 16) | (oddBR & 0xFFFF0000)), U16((evenGA & 0xFFFF) | (oddGA << 16)),
            U16((evenBR & 0xFFFF) | (oddBR << 16))};
}

// A group's keep masks in pixel order from the even pixels' and the odd pixels' masks.
template <class L> inline typename L::I16 InterleaveMasks(typename L::I32 Even, typename L::I32 Odd) {
    return typename L::I16((Even & 0xFFFF) | (Odd << 16));
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
    uint16_t Red = 0, Green = 0, Blue = 0, Dest = 0;
};

inline Combine MakeCombine(uint32_t Diffuse, bool AlphaBlend) {
    const uint32_t alpha = AlphaBlend ? LevelTo256(Diffuse >> 24) : 256;
    auto factor = [alpha](uint32_t Level) { return uint16_t((LevelTo256(Level & 0xFF) * alpha) >> 8); };
    return {factor(Diffuse >> 16), factor(Diffuse >> 8), factor(Diffuse), uint16_t(256 - alpha)};
}

// A Combine's factors, each in every lane.
template <class L> struct CombineLanes {
    typename L::U16 Red, Green, Blue, Dest;
    explicit CombineLanes(const Combine& C)
        : Red(typename L::U16{} + C.Red), Green(typename L::U16{} + C.Green),
          Blue(typename L::U16{} + C.Blue), Dest(typename L::U16{} + C.Dest) {}
};

template <class L> inline Channels<L> ApplyOpaque(const CombineLanes<L>& C, const Channels<L>& Src) {
    return {(Src.Red * C.Red) >> 8, (Src.Green * C.Green) >> 8, (Src.Blue * C.Blue) >> 8};
}

template <class L>
inline Channels<L> ApplyBlend(const CombineLanes<L>& C, const Channels<L>& Src, const Channels<L>& Dst) {
    return {(Src.Red * C.Red + Dst.Red * C.Dest) >> 8, (Src.Green * C.Green + Dst.Green * C.Dest) >> 8,
            (Src.Blue * C.Blue + Dst.Blue * C.Dest) >> 8};
}

} // namespace raster
