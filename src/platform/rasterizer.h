// The software stand-in for the Direct3D 7 device that sprites are drawn with:
// transformed (screen-space) vertices, four-vertex triangle strips, bilinear
// texture sampling with clamp addressing, colour-keyed textures, source-alpha
// blending and diffuse modulation, into RGB565 or 32-bit render targets.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/pixel_view.h"

// A vertex already in screen space. Pixel centres sit at whole coordinates, so a
// quad covering pixels L to R - 1 has its corners at L - 0.5 and R - 0.5.
struct TransformedVertex {
    float X = 0;
    float Y = 0;
    float Z = 0;                    // depth: draws land in call order, depth plays no part
    float Rhw = 1;                  // reciprocal w: equal on all vertices, so u and v interpolate linearly
    uint32_t Diffuse = 0xFFFFFFFF;  // ARGB: its colour modulates the texture, its alpha drives blending
    uint32_t Specular = 0xFFFFFFFF; // ARGB: no stage uses it
    float U = 0;                    // texture coordinates: 0 to 1 across the whole texture
    float V = 0;
};

// Which texels of a texture are transparent.
struct ColorKey {
    bool Enabled = false;
    uint32_t Color = 0; // $00BBGGRR
    // Texels are compared with Color after packing both into this format, as a
    // texture held in that format would: at Rgb565 every colour with the same
    // 5-6-5 value as the key is keyed too.
    PixelFormat Precision = PixelFormat::Bgrx32;
};

// A texture in the form the sampler reads fastest: ARGB words inside a ring of
// one texel repeating the edge ones, so a bilinear footprint that overhangs the
// edge by less than a texel needs no clamping. Keyed texels have alpha 0 and
// carry the average colour of their unkeyed neighbours, so filtering next to a
// keyed area never pulls in the key colour.
class RasterTexture {
public:
    // The largest side, as on the hardware of the day; it also keeps every texel
    // offset exact in single precision.
    static constexpr int kMaxSide = 2048;

    // Copies Source (any format) into a texture keyed by Key. Raises
    // EOutOfResources "Texture cannot be made" when Source is empty or a side
    // exceeds kMaxSide.
    RasterTexture(const PixelView& Source, const ColorKey& Key);

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // True when the texture was made with an enabled colour key.
    bool Transparent() const { return FTransparent; }
    // The ARGB texel at (X, Y), 0 <= X < Width, 0 <= Y < Height; alpha 0 marks a keyed texel.
    uint32_t Texel(int X, int Y) const { return Texels()[ptrdiff_t(Y) * Stride() + X]; }
    // Texel (0, 0); rows are Stride() words apart, and the ring lies at -1 and Width / Height.
    const uint32_t* Texels() const { return FTexels.data() + Stride() + 1; }
    int Stride() const { return FWidth + 2; }
    // Per texel, laid out as Texels() (rows Stride() apart), how far the
    // nearest unkeyed texel is, counted in texels in any direction (Chebyshev
    // distance, at most 255): 0 for an unkeyed texel, and every texel closer
    // than a texel's value is keyed. It lets a span jump over keyed areas
    // without sampling them. Nullptr when the texture is not transparent.
    const uint8_t* KeyDistances() const {
        return FKeyDistances.empty() ? nullptr : FKeyDistances.data() + Stride() + 1;
    }
    // The largest of the key distances (0 when the texture is not transparent).
    int MaxKeyDistance() const { return FMaxKeyDistance; }

private:
    int FWidth = 0;
    int FHeight = 0;
    bool FTransparent = false;
    std::vector<uint32_t> FTexels;
    std::vector<uint8_t> FKeyDistances;
    int FMaxKeyDistance = 0;
};

// The device state a draw uses.
struct RasterState {
    const RasterTexture* Texture = nullptr; // stage 0; without one the diffuse colour is drawn alone
    bool AlphaBlend = false;                // source alpha over inverse source alpha
};

// The widths in bytes of the vectors the rasterizer's inner loops can work in
// on this processor, narrowest first: 16 everywhere, and 32 with AVX2.
std::vector<int> RasterLaneWidths();

// Makes later draws work in vectors of Bytes, one of RasterLaneWidths(), so
// that tests and benchmarks can compare the widths; 0 (the default) picks the
// widest.
void UseRasterLanes(int Bytes);

// Draws the strip of triangles (0, 1, 2) and (1, 2, 3) into Target with
// Direct3D's rules: a pixel is covered when its centre lies inside a triangle,
// centres exactly on an edge belong to the triangle on their right or below
// (top-left rule), so triangles sharing an edge cover each pixel once. Each
// triangle takes the diffuse colour of its first vertex (flat shading). Both
// windings are drawn. Only Rgb565 and Bgrx32 targets are drawn into; strips with
// coordinates that are not finite draw nothing.
void DrawTriangleStrip(const PixelView& Target, const RasterState& State,
                       const TransformedVertex (&Strip)[4]);
