// The lanes the rasterizer's inner loops work in (an internal header of
// rasterizer_spans.cpp, rasterizer.cpp and the keyed pixel copy): the compiler's portable vector
// types (SSE2 on x86-64, NEON on ARM), texel mixing, colour channels side by
// side, and how a source colour combines with the pixel under it.
//
// Texels are 0x00RRGGBB words; a sampler filters them four at a time, viewing
// each word as two 16-bit lanes so that blue/red and green/alpha are each
// scaled by one multiply. Its two groups of four hold the even and the odd
// pixels of eight, so that their channels interleave into eight 16-bit lanes
// in pixel order, where modulation, blending and the 5-6-5 packing work on one
// channel of all eight at once.
#pragma once

#include <cstdint>

namespace raster {

using U32x4 = uint32_t __attribute__((vector_size(16)));
using I32x4 = int32_t __attribute__((vector_size(16)));
using U16x8 = uint16_t __attribute__((vector_size(16)));
using I16x8 = int16_t __attribute__((vector_size(16)));
using U64x2 = uint64_t __attribute__((vector_size(16)));
using F32x4 = float __attribute__((vector_size(16)));

constexpr uint32_t kEvenBytes = 0x00FF00FF;

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

inline Combine MakeCombine(uint32_t Diffuse, bool AlphaBlend) {
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

} // namespace raster
