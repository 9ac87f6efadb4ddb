// A plain scalar rasterizer with the contract of RasterTexture and
// DrawTriangleStrip, in the shape of tinyrenderer's: for every pixel of a
// triangle's bounding box, edge functions say whether its centre is inside
// (top-left rule), barycentric weights give its texture position, which is
// sampled bilinearly with 8-bit weights, modulated, blended and packed
// (5-6-5 or 32-bit). It is what the
// vector code computes, stated in the fewest lines: the differential test
// compares the two pixel by pixel, and sprite_bench times both.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/rasterizer.h"

namespace reference {

// A level 0..255 as a factor out of 256, so that 255 multiplies by exactly one.
inline uint32_t LevelTo256(uint32_t Level) {
    return Level + (Level >> 7);
}

// Each 8-bit channel of A and B mixed, B weighing W / 256, the sum truncated.
inline uint32_t Mix(uint32_t A, uint32_t B, uint32_t W) {
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8)
        out |= ((((A >> shift) & 255) * (256 - W) + ((B >> shift) & 255) * W) >> 8) << shift;
    return out;
}

// A picture as a texture: 0xAARRGGBB texels, alpha 0 where the picture shows
// the key colour (compared as the key's precision packs both), and such a
// keyed texel carrying the average colour of its unkeyed neighbours among the
// nine at and around it (black when there are none; beyond the picture's
// edge a neighbour is the edge texel), so that filtering beside a keyed area
// never pulls in the key colour.
class Texture {
public:
    Texture(const PixelView& Picture, const ColorKey& Key) : FWidth(Picture.Width), FHeight(Picture.Height) {
        std::vector<uint32_t> plain;
        for (int y = 0; y < FHeight; ++y)
            for (int x = 0; x < FWidth; ++x) {
                const uint32_t color = UnpackColor(Picture.Format, Picture.Read(x, y)); // $00BBGGRR
                const bool keyed =
                    Key.Enabled && PackColor(Key.Precision, color) == PackColor(Key.Precision, Key.Color);
                plain.push_back(
                    keyed ? 0 : 0xFF000000 | RedOf(color) << 16 | GreenOf(color) << 8 | BlueOf(color));
            }
        for (int y = 0; y < FHeight; ++y)
            for (int x = 0; x < FWidth; ++x)
                FTexels.push_back(plain[size_t(y * FWidth + x)] ? plain[size_t(y * FWidth + x)]
                                                                : Average(plain, x, y));
    }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    uint32_t Texel(int X, int Y) const { return FTexels[size_t(Y * FWidth + X)]; }

private:
    uint32_t Average(const std::vector<uint32_t>& Plain, int X, int Y) const {
        uint32_t sum[3] = {}, count = 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const int x = std::clamp(X + dx, 0, FWidth - 1), y = std::clamp(Y + dy, 0, FHeight - 1);
                const uint32_t t = Plain[size_t(y * FWidth + x)];
                if (t == 0) continue;
                for (int c = 0; c < 3; ++c)
                    sum[c] += (t >> (8 * c)) & 255;
                ++count;
            }
        return count ? (sum[2] / count) << 16 | (sum[1] / count) << 8 | sum[0] / count : 0;
    }

    int FWidth, FHeight;
    std::vector<uint32_t> FTexels;
};

class Triangle {
public:
    // The triangle (A, B, C) of a strip, its texture positions in texels from
    // the centre of texel 0 (s = u * width - 0.5), flat-shaded with A's colour.
    Triangle(const TransformedVertex& A, const TransformedVertex& B, const TransformedVertex& C,
             const Texture* Texture)
        : FTexture(Texture), FDiffuse(A.Diffuse) {
        const TransformedVertex* v[3] = {&A, &B, &C};
        for (int i = 0; i < 3; ++i) {
            FX[i] = v[i]->X, FY[i] = v[i]->Y;
            FS[i] = Texture ? double(v[i]->U) * Texture->Width() - 0.5 : 0;
            FT[i] = Texture ? double(v[i]->V) * Texture->Height() - 0.5 : 0;
        }
        FArea = EdgeFunction(0, FX[2], FY[2]);
    }

    uint32_t Diffuse() const { return FDiffuse; }
    const reference::Texture* Texture() const { return FTexture; }
    // The pixels whose centres may be covered, within a Width x Height target
    // (X1 < X0 or Y1 < Y0 when none).
    void Bounds(int Width, int Height, int& X0, int& Y0, int& X1, int& Y1) const {
        auto low = [](const double* V, int High) {
            return int(std::clamp(std::floor(*std::min_element(V, V + 3)), 0.0, double(High)));
        };
        auto high = [](const double* V, int High) {
            return int(std::clamp(std::ceil(*std::max_element(V, V + 3)), -1.0, double(High)));
        };
        X0 = low(FX, Width), Y0 = low(FY, Height);
        X1 = high(FX, Width - 1), Y1 = high(FY, Height - 1);
    }

    // Inside when every edge function is positive, or zero on a top edge
    // (horizontal, the triangle below it) or a left edge (the triangle to its
    // right): Direct3D's rule, which gives a pixel on a shared edge to exactly
    // one of the two triangles.
    bool Covers(int X, int Y) const {
        if (FArea == 0) return false;
        for (int i = 0; i < 3; ++i) {
            const double e = EdgeFunction(i, X, Y) * (FArea > 0 ? 1 : -1);
            if (e < 0 || (e == 0 && !OwnsEdge(i))) return false;
        }
        return true;
    }

    // The texture position at pixel (X, Y): the vertices' positions weighed
    // by the barycentric weights, each an edge function over the area.
    void Position(int X, int Y, double& S, double& T) const {
        S = T = 0;
        for (int i = 0; i < 3; ++i) {
            const double w = EdgeFunction((i + 1) % 3, X, Y) / FArea;
            S += w * FS[i];
            T += w * FT[i];
        }
    }

private:
    // Twice the signed area of (vertex I, vertex I + 1, P).
    double EdgeFunction(int I, double Px, double Py) const {
        const int j = (I + 1) % 3;
        return (FX[j] - FX[I]) * (Py - FY[I]) - (FY[j] - FY[I]) * (Px - FX[I]);
    }
    // Edge I seen with the triangle on its positive side: a top or a left edge.
    bool OwnsEdge(int I) const {
        const int j = (I + 1) % 3;
        const int a = FArea > 0 ? I : j, b = FArea > 0 ? j : I;
        return (FY[b] == FY[a] && FX[b] > FX[a]) || FY[b] < FY[a];
    }

    const reference::Texture* FTexture;
    uint32_t FDiffuse;
    double FX[3], FY[3], FS[3], FT[3];
    double FArea = 0;
};

// The texel colour (0xAARRGGBB) at a position in 1/256 texels, clamped to the
// texture: the four neighbouring texels mixed with 8-bit weights, first
// across, then down. Its alpha is that of the nearest texel, the one a point
// sample would take (0 when keyed); a point halfway takes the upper or left one.
inline uint32_t Sample(const reference::Texture& Texture, int64_t SFixed, int64_t TFixed) {
    const int64_t s = std::clamp<int64_t>(SFixed, 0, (Texture.Width() - 1) * 256);
    const int64_t t = std::clamp<int64_t>(TFixed, 0, (Texture.Height() - 1) * 256);
    const int x0 = int(s >> 8), y0 = int(t >> 8), fx = int(s & 255), fy = int(t & 255);
    const int x1 = std::min(x0 + 1, Texture.Width() - 1), y1 = std::min(y0 + 1, Texture.Height() - 1);
    const uint32_t upper = Mix(Texture.Texel(x0, y0), Texture.Texel(x1, y0), fx);
    const uint32_t lower = Mix(Texture.Texel(x0, y1), Texture.Texel(x1, y1), fx);
    const uint32_t nearest = Texture.Texel(fx > 128 ? x1 : x0, fy > 128 ? y1 : y0);
    return (Mix(upper, lower, fy) & 0xFFFFFF) | (nearest & 0xFF000000);
}

// The value a pixel holding Before takes under a source colour (0xAARRGGBB,
// alpha 0: not drawn): each channel modulated by the diffuse colour, and with
// Blend mixed with the background by the diffuse alpha, all in 1/256 steps.
inline uint32_t Shade(PixelFormat Format, uint32_t Before, uint32_t Source, uint32_t Diffuse, bool Blend) {
    if ((Source >> 24) == 0) return Before;
    const uint32_t alpha = Blend ? LevelTo256(Diffuse >> 24) : 256;
    const uint32_t under = UnpackColor(Format, Before); // $00BBGGRR
    uint32_t out = 0;
    for (int channel = 0; channel < 3; ++channel) {
        const int argbShift = 16 - 8 * channel; // red, green, blue of the ARGB words
        const uint32_t factor = (LevelTo256((Diffuse >> argbShift) & 255) * alpha) >> 8;
        const uint32_t src = (Source >> argbShift) & 255, dst = (under >> (8 * channel)) & 255;
        out |= ((src * factor + dst * (256 - alpha)) >> 8) << (8 * channel);
    }
    return PackColor(Format, out);
}

// A texture position in 1/256 texels, clamped to [0, High] texels first.
inline int64_t Fixed(double P, int High) {
    return int64_t(std::floor(std::clamp(P, 0.0, double(High)) * 256));
}

// The value pixel (X, Y) takes from Tri when it holds Before, its texture
// position taken at (SFixed, TFixed).
inline uint32_t ShadeAt(const Triangle& Tri, bool Blend, PixelFormat Format, uint32_t Before, int64_t SFixed,
                        int64_t TFixed) {
    const uint32_t source = Tri.Texture() ? Sample(*Tri.Texture(), SFixed, TFixed) : 0xFFFFFFFF;
    return Shade(Format, Before, source, Tri.Diffuse(), Blend);
}

// The strip (0, 1, 2), (1, 2, 3) drawn pixel by pixel into Target with
// Texture (nullptr: the diffuse colour alone): the first triangle, then the second.
inline void DrawStrip(const PixelView& Target, const Texture* Texture, bool Blend,
                      const TransformedVertex (&Strip)[4]) {
    const Triangle triangles[2] = {{Strip[0], Strip[1], Strip[2], Texture},
                                   {Strip[1], Strip[2], Strip[3], Texture}};
    for (const Triangle& tri : triangles) {
        int x0, y0, x1, y1;
        tri.Bounds(Target.Width, Target.Height, x0, y0, x1, y1);
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                if (!tri.Covers(x, y)) continue;
                double s, t;
                tri.Position(x, y, s, t);
                const int64_t sFixed = tri.Texture() ? Fixed(s, tri.Texture()->Width() - 1) : 0;
                const int64_t tFixed = tri.Texture() ? Fixed(t, tri.Texture()->Height() - 1) : 0;
                Target.Write(x, y, ShadeAt(tri, Blend, Target.Format, Target.Read(x, y), sFixed, tFixed));
            }
        }
    }
}

// Every value pixel (X, Y) may take from Tri when it holds Before: the
// reference's, and those of a texture position one 1/256 step to either side
// when it lies within single-precision error of a step boundary. That is
// where rounding differs on purpose: the vector code steps positions along a
// span of up to SpanLength pixels in single precision, the reference weighs
// them in double.
inline std::vector<uint32_t> Outcomes(const Triangle& Tri, bool Blend, PixelFormat Format, int X, int Y,
                                      uint32_t Before, int SpanLength) {
    if (!Tri.Covers(X, Y)) return {Before};
    std::vector<uint32_t> out;
    if (!Tri.Texture()) {
        out.push_back(ShadeAt(Tri, Blend, Format, Before, 0, 0));
        return out;
    }
    double s, t, sRight, tRight;
    Tri.Position(X, Y, s, t);
    Tri.Position(X + 1, Y, sRight, tRight);
    // 2^-24 relative per single-precision operation, with room to spare.
    const double reach =
        std::abs(s) + std::abs(t) + SpanLength * (std::abs(sRight - s) + std::abs(tRight - t));
    const double error = std::ldexp(reach + 1, -20);
    auto candidates = [error](double P, int High) {
        std::vector<int64_t> q{Fixed(P, High)};
        for (int64_t other : {Fixed(P - error, High), Fixed(P + error, High)})
            if (other != q[0]) q.push_back(other);
        return q;
    };
    for (int64_t sFixed : candidates(s, Tri.Texture()->Width() - 1))
        for (int64_t tFixed : candidates(t, Tri.Texture()->Height() - 1))
            out.push_back(ShadeAt(Tri, Blend, Format, Before, sFixed, tFixed));
    return out;
}

} // namespace reference
