#include "platform/rasterizer.h"

#include <algorithm>
#include <cmath>

#include "core/exception.h"

// Sections:
//   [SECTION] Colours     packing, modulation and blending of 0x00RRGGBB words
//   [SECTION] Textures    conversion, keying and edge colours
//   [SECTION] Samplers    the three ways a span fetches its source colours
//   [SECTION] Spans       per-target inner loops, chosen once per span
//   [SECTION] Triangles   edges, attribute gradients and the scanline walk

namespace {

// [SECTION] Colours ----------------------------------------------------------

constexpr uint32_t kAlphaMask = 0xFF000000;

// $00BBGGRR (the platform's colour numbers) to the 0x00RRGGBB layout of texels.
constexpr uint32_t ToRgbWord(uint32_t Color) {
    return ((Color & 0xFF) << 16) | (Color & 0xFF00) | ((Color >> 16) & 0xFF);
}

// An 8-bit level as a factor out of 256, so that 255 multiplies by exactly one.
constexpr uint32_t LevelTo256(uint32_t Level) {
    return Level + (Level >> 7);
}

// How a source colour and the pixel under it combine: each channel becomes
// (source * SourceFactor + destination * DestFactor) / 256, all factors out of
// 256. Modulation by the diffuse colour and the source alpha are folded into the
// source factors; DestFactor is 256 - alpha.
struct Combine {
    uint32_t Red = 256;
    uint32_t Green = 256;
    uint32_t Blue = 256;
    uint32_t Dest = 0;
};

Combine MakeCombine(uint32_t Diffuse, bool AlphaBlend) {
    const uint32_t alpha = AlphaBlend ? LevelTo256(Diffuse >> 24) : 256;
    Combine c;
    c.Red = (LevelTo256((Diffuse >> 16) & 0xFF) * alpha) >> 8;
    c.Green = (LevelTo256((Diffuse >> 8) & 0xFF) * alpha) >> 8;
    c.Blue = (LevelTo256(Diffuse & 0xFF) * alpha) >> 8;
    c.Dest = 256 - alpha;
    return c;
}

// Each channel is scaled in place in its own byte lane; the factors of a channel
// add up to at most 256, so no lane overflows into the next.
inline uint32_t ApplyOpaque(const Combine& C, uint32_t Src) {
    const uint32_t r = (Src & 0xFF0000) * C.Red;
    const uint32_t g = (Src & 0xFF00) * C.Green;
    const uint32_t b = (Src & 0xFF) * C.Blue;
    return ((r >> 8) & 0xFF0000) | ((g >> 8) & 0xFF00) | (b >> 8);
}

inline uint32_t ApplyBlend(const Combine& C, uint32_t Src, uint32_t Dst) {
    const uint32_t r = (Src & 0xFF0000) * C.Red + (Dst & 0xFF0000) * C.Dest;
    const uint32_t g = (Src & 0xFF00) * C.Green + (Dst & 0xFF00) * C.Dest;
    const uint32_t b = (Src & 0xFF) * C.Blue + (Dst & 0xFF) * C.Dest;
    return ((r >> 8) & 0xFF0000) | ((g >> 8) & 0xFF00) | (b >> 8);
}

// Mixes two texels: the weight of B is F / 256. Red and blue ride together in
// one multiply (their lanes are 16 bits apart), green in another.
inline uint32_t Lerp(uint32_t A, uint32_t B, uint32_t F) {
    const uint32_t rb = (A & 0xFF00FF) * (256 - F) + (B & 0xFF00FF) * F;
    const uint32_t g = (A & 0xFF00) * (256 - F) + (B & 0xFF00) * F;
    return ((rb >> 8) & 0xFF00FF) | ((g >> 8) & 0xFF00);
}

// [SECTION] Textures ---------------------------------------------------------

bool IsKeyed(const ColorKey& Key, uint32_t Color) {
    return Key.Enabled && PackColor(Key.Precision, Color) == PackColor(Key.Precision, Key.Color);
}

// The average colour of the unkeyed texels around (X, Y), or black when all are keyed.
uint32_t NeighbourAverage(const std::vector<uint32_t>& Texels, int Stride, int Width, int Height, int X,
                          int Y) {
    uint32_t r = 0, g = 0, b = 0, n = 0;
    for (int y = std::max(Y - 1, 0); y <= std::min(Y + 1, Height - 1); ++y) {
        for (int x = std::max(X - 1, 0); x <= std::min(X + 1, Width - 1); ++x) {
            const uint32_t t = Texels[size_t(y) * Stride + size_t(x)];
            if ((t & kAlphaMask) == 0) continue;
            r += (t >> 16) & 0xFF;
            g += (t >> 8) & 0xFF;
            b += t & 0xFF;
            ++n;
        }
    }
    if (n == 0) return 0;
    return ((r / n) << 16) | ((g / n) << 8) | (b / n);
}

// Gives every keyed texel the colour of its unkeyed neighbours (it keeps alpha 0).
// Only keyed texels next to an unkeyed one can ever enter a filtered sample.
void FillKeyedTexels(std::vector<uint32_t>& Texels, int Stride, int Width, int Height) {
    std::vector<uint32_t> fills;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            if ((Texels[size_t(y) * Stride + size_t(x)] & kAlphaMask) == 0)
                fills.push_back(NeighbourAverage(Texels, Stride, Width, Height, x, y));
    size_t next = 0;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            uint32_t& t = Texels[size_t(y) * Stride + size_t(x)];
            if ((t & kAlphaMask) == 0) t = fills[next++];
        }
}

// Repeats the last column and row into the padding, which clamp addressing reads.
void FillPadding(std::vector<uint32_t>& Texels, int Stride, int Width, int Height) {
    for (int y = 0; y < Height; ++y)
        Texels[size_t(y) * Stride + size_t(Width)] = Texels[size_t(y) * Stride + size_t(Width - 1)];
    std::copy_n(Texels.begin() + ptrdiff_t(Height - 1) * Stride, Stride,
                Texels.begin() + ptrdiff_t(Height) * Stride);
}

// [SECTION] Samplers ---------------------------------------------------------
//
// Texture coordinates travel as 16.16 fixed-point texel positions measured from
// the centre of texel 0 (s = u * width - 0.5), so the integer part selects the
// upper-left tap of the bilinear footprint and the top 8 fraction bits are its
// weights. 64-bit accumulators cannot overflow however steep the gradients.

struct SpanCoordinates {
    int64_t S = 0, T = 0;   // at the span's first pixel
    int64_t DS = 0, DT = 0; // per pixel to the right
};

constexpr int64_t kFixedOne = 65536;

// Bilinear filtering with clamp addressing. A sample whose nearest texel (the
// one the sample point falls in) is keyed is not drawn, as a hardware colour key
// decides on the texel it would point-sample.
struct BilinearSampler {
    const uint32_t* Texels;
    int Stride;
    int64_t MaxS, MaxT;
    SpanCoordinates C;

    bool Next(uint32_t& Rgb) {
        const int64_t s = std::clamp<int64_t>(C.S, 0, MaxS), t = std::clamp<int64_t>(C.T, 0, MaxT);
        C.S += C.DS;
        C.T += C.DT;
        const uint32_t* p = Texels + (t >> 16) * Stride + (s >> 16);
        const uint32_t fx = uint32_t(s >> 8) & 0xFF, fy = uint32_t(t >> 8) & 0xFF;
        if ((p[(fy >> 7) * Stride + (fx >> 7)] & kAlphaMask) == 0) return false;
        Rgb = Lerp(Lerp(p[0], p[1], fx), Lerp(p[Stride], p[Stride + 1], fx), fy);
        return true;
    }
};

// A span that walks a texel row one texel per pixel with no fractional offset:
// filtering gives the texels themselves, so they are read directly.
struct RowSampler {
    const uint32_t* Texel;

    bool Next(uint32_t& Rgb) {
        Rgb = *Texel++;
        return (Rgb & kAlphaMask) != 0;
    }
};

// No texture: the diffuse colour alone, i.e. white modulated.
struct WhiteSampler {
    bool Next(uint32_t& Rgb) {
        Rgb = 0xFFFFFF;
        return true;
    }
};

// True when every pixel of a span of Count pixels lands exactly on a texel centre
// inside the texture.
bool IsTexelAligned(const SpanCoordinates& C, int Count, int64_t MaxS, int64_t MaxT) {
    const int64_t weightBits = 0xFF00;
    return C.DS == kFixedOne && C.DT == 0 && (C.S & weightBits) == 0 && (C.T & weightBits) == 0 && C.S >= 0 &&
           C.T >= 0 && C.T <= MaxT && C.S + (Count - 1) * kFixedOne <= MaxS;
}

// [SECTION] Spans ------------------------------------------------------------

// 5-6-5 target: channels are widened by repeating their top bits (so 31 becomes
// 255) and narrowed by dropping the low bits.
struct Rgb565Target {
    using Pixel = uint16_t;
    static uint32_t Unpack(uint32_t P) {
        const uint32_t r = (P >> 11) & 31, g = (P >> 5) & 63, b = P & 31;
        return ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
    }
    static Pixel Pack(uint32_t Rgb) {
        return Pixel(((Rgb >> 8) & 0xF800) | ((Rgb >> 5) & 0x07E0) | ((Rgb >> 3) & 0x001F));
    }
};

// 32-bit target: bytes blue, green, red, unused (written as 0).
struct Bgrx32Target {
    using Pixel = uint32_t;
    static uint32_t Unpack(uint32_t P) { return P & 0xFFFFFF; }
    static Pixel Pack(uint32_t Rgb) { return Rgb; }
};

template <class Target, bool Blend, class Sampler>
void ShadeSpan(typename Target::Pixel* Out, int Count, Sampler Source, const Combine& C) {
    for (int i = 0; i < Count; ++i) {
        uint32_t src;
        if (!Source.Next(src)) continue;
        if constexpr (Blend)
            Out[i] = Target::Pack(ApplyBlend(C, src, Target::Unpack(Out[i])));
        else
            Out[i] = Target::Pack(ApplyOpaque(C, src));
    }
}

// Everything a span needs besides its position.
struct SpanContext {
    const PixelView* Target;
    const RasterTexture* Texture;
    Combine Colors;
};

template <class Target, bool Blend>
void ShadeSpanIn(const SpanContext& Ctx, int Y, int X0, int Count, const SpanCoordinates& C) {
    auto* out = reinterpret_cast<typename Target::Pixel*>(Ctx.Target->Row(Y)) + X0;
    const RasterTexture* tex = Ctx.Texture;
    if (!tex) return ShadeSpan<Target, Blend>(out, Count, WhiteSampler{}, Ctx.Colors);
    const int64_t maxS = int64_t(tex->Width() - 1) << 16, maxT = int64_t(tex->Height() - 1) << 16;
    if (IsTexelAligned(C, Count, maxS, maxT)) {
        const uint32_t* row = tex->Texels() + (C.T >> 16) * tex->Stride() + (C.S >> 16);
        return ShadeSpan<Target, Blend>(out, Count, RowSampler{row}, Ctx.Colors);
    }
    ShadeSpan<Target, Blend>(out, Count, BilinearSampler{tex->Texels(), tex->Stride(), maxS, maxT, C},
                             Ctx.Colors);
}

using SpanFunction = void (*)(const SpanContext&, int, int, int, const SpanCoordinates&);

// The inner loop for a target format and blend mode, picked once per draw.
SpanFunction ChooseSpanFunction(PixelFormat Format, bool Blend) {
    if (Format == PixelFormat::Rgb565)
        return Blend ? ShadeSpanIn<Rgb565Target, true> : ShadeSpanIn<Rgb565Target, false>;
    if (Format == PixelFormat::Bgrx32)
        return Blend ? ShadeSpanIn<Bgrx32Target, true> : ShadeSpanIn<Bgrx32Target, false>;
    return nullptr;
}

// [SECTION] Triangles --------------------------------------------------------

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

// The first whole coordinate at or after V, kept within [Low, High].
int CeilWithin(double V, int Low, int High) {
    return int(std::clamp(std::ceil(V), double(Low), double(High)));
}

// An attribute's plane over the triangle: value at (X0, Y0) and its slopes.
struct Plane {
    double X0 = 0, Y0 = 0, A0 = 0, DaDx = 0, DaDy = 0;
    double At(double X, double Y) const { return A0 + (X - X0) * DaDx + (Y - Y0) * DaDy; }
};

Plane MakePlane(const TransformedVertex* V[3], const double A[3]) {
    const double x1 = double(V[1]->X) - V[0]->X, y1 = double(V[1]->Y) - V[0]->Y;
    const double x2 = double(V[2]->X) - V[0]->X, y2 = double(V[2]->Y) - V[0]->Y;
    const double area = x1 * y2 - x2 * y1;
    const double a1 = A[1] - A[0], a2 = A[2] - A[0];
    return {V[0]->X, V[0]->Y, A[0], (a1 * y2 - a2 * y1) / area, (a2 * x1 - a1 * x2) / area};
}

int64_t ToFixed(double V) {
    const double limit = 1099511627776.0; // 2^40: far beyond any texture, far within int64
    return std::llround(std::clamp(V * double(kFixedOne), -limit, limit));
}

// The texture coordinates of a triangle in texel units from the first texel's centre.
struct TexelPlanes {
    Plane S, T;
    SpanCoordinates At(int X, int Y) const {
        return {ToFixed(S.At(X, Y)), ToFixed(T.At(X, Y)), ToFixed(S.DaDx), ToFixed(T.DaDx)};
    }
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

bool HasArea(const TransformedVertex* V[3]) {
    const double x1 = double(V[1]->X) - V[0]->X, y1 = double(V[1]->Y) - V[0]->Y;
    const double x2 = double(V[2]->X) - V[0]->X, y2 = double(V[2]->Y) - V[0]->Y;
    return x1 * y2 - x2 * y1 != 0;
}

// Walks the rows whose pixel centres lie in the triangle (from the first row at
// or below its top to the last row above its bottom) and shades, in each, the
// pixels from the first centre at or right of the left edge to the last centre
// left of the right edge: Direct3D's top-left rule.
void RasterizeTriangle(const SpanContext& Ctx, SpanFunction Span, const TransformedVertex* V[3]) {
    if (!HasArea(V)) return;
    const TexelPlanes planes = MakeTexelPlanes(V, Ctx.Texture);
    std::sort(V, V + 3,
              [](const TransformedVertex* A, const TransformedVertex* B) { return IsAbove(*A, *B); });
    const Edge longEdge = MakeEdge(*V[0], *V[2]), upper = MakeEdge(*V[0], *V[1]),
               lower = MakeEdge(*V[1], *V[2]);
    const int width = Ctx.Target->Width, height = Ctx.Target->Height;
    const int yEnd = CeilWithin(V[2]->Y, 0, height);
    for (int y = CeilWithin(V[0]->Y, 0, height); y < yEnd; ++y) {
        const double xLong = longEdge.XAt(y), xShort = (y < V[1]->Y ? upper : lower).XAt(y);
        const int x0 = CeilWithin(std::min(xLong, xShort), 0, width);
        const int x1 = CeilWithin(std::max(xLong, xShort), 0, width);
        if (x0 < x1) Span(Ctx, y, x0, x1 - x0, planes.At(x0, y));
    }
}

bool IsFinite(const TransformedVertex& V) {
    return std::isfinite(V.X) && std::isfinite(V.Y) && std::isfinite(V.U) && std::isfinite(V.V);
}

} // namespace

// [SECTION] RasterTexture ----------------------------------------------------

RasterTexture::RasterTexture(const PixelView& Source, const ColorKey& Key)
    : FWidth(Source.Width), FHeight(Source.Height), FTransparent(Key.Enabled) {
    if (Source.Empty() || FWidth > kMaxSide || FHeight > kMaxSide)
        throw EOutOfResources(Format("%s cannot be made", "Texture"));
    FTexels.assign(size_t(Stride()) * size_t(FHeight + 1), 0);
    for (int y = 0; y < FHeight; ++y) {
        for (int x = 0; x < FWidth; ++x) {
            const uint32_t color = UnpackColor(Source.Format, Source.Read(x, y));
            FTexels[size_t(y) * Stride() + size_t(x)] =
                IsKeyed(Key, color) ? 0 : kAlphaMask | ToRgbWord(color);
        }
    }
    if (FTransparent) FillKeyedTexels(FTexels, Stride(), FWidth, FHeight);
    FillPadding(FTexels, Stride(), FWidth, FHeight);
}

// [SECTION] Drawing ----------------------------------------------------------

void DrawTriangleStrip(const PixelView& Target, const RasterState& State,
                       const TransformedVertex (&Strip)[4]) {
    const SpanFunction span = ChooseSpanFunction(Target.Format, State.AlphaBlend);
    if (!span || Target.Empty() || !std::all_of(Strip, Strip + 4, IsFinite)) return;
    for (int first = 0; first < 2; ++first) {
        const SpanContext ctx{&Target, State.Texture, MakeCombine(Strip[first].Diffuse, State.AlphaBlend)};
        const TransformedVertex* triangle[3] = {&Strip[first], &Strip[first + 1], &Strip[first + 2]};
        RasterizeTriangle(ctx, span, triangle);
    }
}
