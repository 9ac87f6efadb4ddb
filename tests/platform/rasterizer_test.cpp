#include "platform/rasterizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "core/exception.h"
#include "rasterizer_reference.h"

namespace {

// A small owned image for the rasterizer to draw into or read from.
struct Image {
    std::vector<uint8_t> Bytes;
    PixelView View;

    Image(int Width, int Height, PixelFormat Format, uint32_t Fill = 0) {
        Bytes.assign(size_t(Width) * Height * BytesPerPixel(Format), 0);
        View = {Bytes.data(), Width, Height, ptrdiff_t(Width) * BytesPerPixel(Format), Format};
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x)
                View.Write(x, y, PackColor(Format, Fill));
    }
    uint32_t Color(int X, int Y) const { return UnpackColor(View.Format, View.Read(X, Y)); }
};

// A quad with pixel-aligned corners: covers pixels [L, R) x [T, B) when drawn.
void SetQuad(TransformedVertex (&Q)[4], float L, float T, float R, float B, uint32_t Diffuse = 0xFFFFFFFF) {
    const float xs[4] = {L, R, L, R}, ys[4] = {T, T, B, B}, us[4] = {0, 1, 0, 1}, vs[4] = {0, 0, 1, 1};
    for (int i = 0; i < 4; ++i) {
        Q[i].X = xs[i] - 0.5f;
        Q[i].Y = ys[i] - 0.5f;
        Q[i].U = us[i];
        Q[i].V = vs[i];
        Q[i].Diffuse = Diffuse;
    }
}

// Counts pixels by how often a half-transparent white landed on black: once
// gives 128, twice 192.
struct Coverage {
    int Once = 0, Twice = 0;
};

Coverage CountCoverage(const Image& Img) {
    Coverage c;
    for (int y = 0; y < Img.View.Height; ++y) {
        for (int x = 0; x < Img.View.Width; ++x) {
            const uint8_t r = RedOf(Img.Color(x, y));
            if (r == 128)
                ++c.Once;
            else if (r != 0)
                ++c.Twice;
        }
    }
    return c;
}

// Pixels whose centres a convex polygon (clockwise on screen) covers under the
// top-left rule, counted with edge functions instead of scanlines.
int ReferenceCoverage(const std::vector<std::pair<double, double>>& P, int Width, int Height) {
    int count = 0;
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            bool inside = true;
            for (size_t i = 0; i < P.size() && inside; ++i) {
                const auto [ax, ay] = P[i];
                const auto [bx, by] = P[(i + 1) % P.size()];
                const double w = (bx - ax) * (y - ay) - (by - ay) * (x - ax);
                const bool topOrLeft = (by == ay && bx > ax) || by < ay;
                inside = w > 0 || (w == 0 && topOrLeft);
            }
            count += inside;
        }
    }
    return count;
}

const RasterState kHalfWhite{nullptr, true};
const uint32_t kHalfAlpha = 0x80FFFFFF; // white at alpha 128 over black gives 128

} // namespace

TEST(Rasterizer, FillRuleCoversEachPixelOnce) {
    struct Case {
        const char* Name;
        TransformedVertex Strip[4];
        int ExpectedPixels;
    };
    auto quad = [](float L, float T, float R, float B) {
        Case c{};
        SetQuad(c.Strip, L, T, R, B, kHalfAlpha);
        return c;
    };
    std::vector<Case> cases;
    cases.push_back(quad(5, 7, 25, 27));
    cases.back().Name = "20x20 quad at -0.5 offsets";
    cases.back().ExpectedPixels = 400;
    cases.push_back(quad(-10, -10, 10, 10));
    cases.back().Name = "clipped at the top-left corner";
    cases.back().ExpectedPixels = 100;
    Case slanted{"slanted convex quad, centres on edges", {}, -1};
    const float xy[4][2] = {{3, 1}, {30, 4}, {1, 25}, {27, 31}};
    for (int i = 0; i < 4; ++i)
        slanted.Strip[i] = {xy[i][0], xy[i][1], 0, 1, kHalfAlpha, 0, 0, 0};
    cases.push_back(slanted);

    for (const Case& c : cases) {
        Image img(40, 40, PixelFormat::Bgrx32);
        DrawTriangleStrip(img.View, kHalfWhite, c.Strip);
        const Coverage cov = CountCoverage(img);
        EXPECT_EQ(cov.Twice, 0) << c.Name;
        if (c.ExpectedPixels >= 0)
            EXPECT_EQ(cov.Once, c.ExpectedPixels) << c.Name;
        else
            EXPECT_GT(cov.Once, 500) << c.Name;
    }
}

TEST(Rasterizer, NeighbouringStripsLeaveNoGapAndNoOverlap) {
    // A slanted quad cut in two along a slanted line, drawn as two strips.
    const float top[3][2] = {{2.3f, 2.7f}, {17.5f, 1.1f}, {33.2f, 2.4f}};
    const float bottom[3][2] = {{1.1f, 30.6f}, {19.5f, 33.5f}, {34.9f, 31.3f}};
    Image whole(40, 40, PixelFormat::Bgrx32), halves(40, 40, PixelFormat::Bgrx32);
    auto strip = [&](int From, int To, TransformedVertex(&S)[4]) {
        S[0] = {top[From][0], top[From][1], 0, 1, kHalfAlpha, 0, 0, 0};
        S[1] = {top[To][0], top[To][1], 0, 1, kHalfAlpha, 0, 0, 0};
        S[2] = {bottom[From][0], bottom[From][1], 0, 1, kHalfAlpha, 0, 0, 0};
        S[3] = {bottom[To][0], bottom[To][1], 0, 1, kHalfAlpha, 0, 0, 0};
    };
    TransformedVertex left[4], right[4];
    strip(0, 1, left);
    strip(1, 2, right);
    DrawTriangleStrip(halves.View, kHalfWhite, left);
    DrawTriangleStrip(halves.View, kHalfWhite, right);
    const Coverage cov = CountCoverage(halves);
    EXPECT_EQ(cov.Twice, 0);
    const std::vector<std::pair<double, double>> outline = {
        {top[0][0], top[0][1]},       {top[1][0], top[1][1]},       {top[2][0], top[2][1]},
        {bottom[2][0], bottom[2][1]}, {bottom[1][0], bottom[1][1]}, {bottom[0][0], bottom[0][1]}};
    EXPECT_EQ(cov.Once, ReferenceCoverage(outline, 40, 40));
}

TEST(Rasterizer, AStripShadesAsItsTwoTrianglesDrawnApart) {
    // A rotated quad whose corners were rounded apart: the two triangles map the
    // texture slightly differently, and rows crossing the shared edge must
    // follow each triangle's own mapping.
    Image src(16, 16, PixelFormat::Bgrx32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            src.View.Write(x, y, PackColor(PixelFormat::Bgrx32, RGB(x * 16, y * 16, 128)));
    const RasterTexture texture(src.View, {});
    const float xy[4][2] = {{12.5f, 3.5f}, {33.5f, 9.5f}, {6.5f, 24.5f}, {28.5f, 31.5f}};
    TransformedVertex strip[4];
    for (int i = 0; i < 4; ++i)
        strip[i] = {xy[i][0], xy[i][1], 0, 1, 0xFFFFFFFF, 0, float(i % 2), float(i / 2)};
    for (PixelFormat format : {PixelFormat::Bgrx32, PixelFormat::Rgb565}) {
        for (bool blend : {false, true}) {
            Image whole(40, 40, format, RGB(9, 9, 9)), apart(40, 40, format, RGB(9, 9, 9));
            DrawTriangleStrip(whole.View, {&texture, blend}, strip);
            const TransformedVertex first[4] = {strip[0], strip[1], strip[2], strip[2]};
            const TransformedVertex second[4] = {strip[1], strip[2], strip[3], strip[3]};
            DrawTriangleStrip(apart.View, {&texture, blend}, first);
            DrawTriangleStrip(apart.View, {&texture, blend}, second);
            EXPECT_EQ(whole.Bytes, apart.Bytes) << BitsPerPixel(format) << " bits, blend " << blend;
        }
    }
}

TEST(Rasterizer, BilinearSamplingMixesNeighbouringTexels) {
    Image src(2, 2, PixelFormat::Bgrx32);
    src.View.Write(0, 0, PackColor(PixelFormat::Bgrx32, RGB(0, 0, 0)));
    src.View.Write(1, 0, PackColor(PixelFormat::Bgrx32, RGB(255, 200, 100)));
    src.View.Write(0, 1, PackColor(PixelFormat::Bgrx32, RGB(0, 0, 0)));
    src.View.Write(1, 1, PackColor(PixelFormat::Bgrx32, RGB(255, 200, 100)));
    const RasterTexture texture(src.View, {});
    const RasterState state{&texture, false};
    TransformedVertex q[4];

    // One pixel whose centre maps to u = 0.5: midway between the two texel centres.
    SetQuad(q, 0, 0, 1, 1);
    for (TransformedVertex& v : q)
        v.U = 0.25f + 0.5f * v.U;
    Image mid(1, 1, PixelFormat::Bgrx32);
    DrawTriangleStrip(mid.View, state, q);
    EXPECT_NEAR(RedOf(mid.Color(0, 0)), 127.5, 1);
    EXPECT_NEAR(GreenOf(mid.Color(0, 0)), 100, 1);
    EXPECT_NEAR(BlueOf(mid.Color(0, 0)), 50, 1);

    // Drawn one texel per pixel, the texels come out unchanged; beyond the
    // texture, clamp addressing repeats the edge texels.
    Image exact(2, 2, PixelFormat::Bgrx32);
    SetQuad(q, 0, 0, 2, 2);
    DrawTriangleStrip(exact.View, state, q);
    EXPECT_EQ(exact.Color(0, 1), RGB(0, 0, 0));
    EXPECT_EQ(exact.Color(1, 1), RGB(255, 200, 100));
    Image stretched(8, 1, PixelFormat::Bgrx32);
    SetQuad(q, 0, 0, 8, 1);
    DrawTriangleStrip(stretched.View, state, q);
    EXPECT_EQ(stretched.Color(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(stretched.Color(7, 0), RGB(255, 200, 100));
    EXPECT_GT(RedOf(stretched.Color(4, 0)), RedOf(stretched.Color(3, 0)));
}

TEST(Rasterizer, ColourKeyedTexelsAreNotDrawnAndNeverBleed) {
    struct Case {
        const char* Name;
        PixelFormat Target;
        PixelFormat Precision;
        uint32_t Border; // around a red centre, keyed with white
        bool BorderKeyed;
    };
    const Case cases[] = {
        {"white key, 32-bit", PixelFormat::Bgrx32, PixelFormat::Bgrx32, RGB(255, 255, 255), true},
        {"white key, 16-bit", PixelFormat::Rgb565, PixelFormat::Rgb565, RGB(255, 255, 255), true},
        {"near white at 5-6-5 precision", PixelFormat::Rgb565, PixelFormat::Rgb565, RGB(250, 253, 249), true},
        {"near white at full precision", PixelFormat::Bgrx32, PixelFormat::Bgrx32, RGB(250, 253, 249), false},
    };
    for (const Case& c : cases) {
        Image src(4, 4, PixelFormat::Bgr24, c.Border);
        for (int y = 1; y < 3; ++y)
            for (int x = 1; x < 3; ++x)
                src.View.Write(x, y, PackColor(PixelFormat::Bgr24, RGB(255, 0, 0)));
        const RasterTexture texture(src.View, {true, RGB(255, 255, 255), c.Precision});
        const RasterState state{&texture, false};
        TransformedVertex q[4];
        SetQuad(q, 0, 0, 37, 37); // magnified with fractional steps
        Image out(40, 40, c.Target, RGB(0, 0, 40));
        DrawTriangleStrip(out.View, state, q);
        int red = 0, untouched = 0, light = 0;
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) {
                const uint32_t p = out.Color(x, y);
                if (p == out.Color(39, 39))
                    ++untouched;
                else if (GreenOf(p) == 0 && BlueOf(p) == 0)
                    ++red;
                else
                    ++light;
            }
        }
        EXPECT_EQ(light > 0, !c.BorderKeyed) << c.Name;
        EXPECT_GT(red, c.BorderKeyed ? 300 : 50) << c.Name;
        EXPECT_EQ(untouched > 1000, c.BorderKeyed) << c.Name;
    }
}

TEST(Rasterizer, BlendingAndModulationFollowTheFormula) {
    const uint32_t src = RGB(200, 100, 50), dst = RGB(10, 20, 240);
    struct Case {
        const char* Name;
        PixelFormat Target;
        bool Blend;
        uint32_t Diffuse;
        double Alpha; // expected weight of the source
        double Scale; // expected modulation of the source
        double Tolerance;
    };
    const Case cases[] = {
        {"alpha 100", PixelFormat::Bgrx32, true, 0x64FFFFFF, 100 / 255.0, 1, 1},
        {"alpha 0 keeps the background", PixelFormat::Bgrx32, true, 0x00FFFFFF, 0, 1, 0},
        {"alpha 255 is opaque", PixelFormat::Bgrx32, true, 0xFFFFFFFF, 1, 1, 0},
        {"opaque, modulated by 254", PixelFormat::Bgrx32, false, 0xFFFEFEFE, 1, 254 / 255.0, 1},
        {"alpha 210 at 5-6-5", PixelFormat::Rgb565, true, 0xD2FFFFFF, 210 / 255.0, 1, 8},
    };
    for (const Case& c : cases) {
        Image tex(1, 1, PixelFormat::Bgrx32, src);
        const RasterTexture texture(tex.View, {});
        Image out(3, 3, c.Target, dst);
        TransformedVertex q[4];
        SetQuad(q, 1, 1, 2, 2, c.Diffuse);
        DrawTriangleStrip(out.View, {&texture, c.Blend}, q);
        const uint32_t under = out.Color(0, 0), got = out.Color(1, 1);
        for (int shift : {0, 8, 16}) {
            const double s = (src >> shift) & 0xFF, d = (under >> shift) & 0xFF;
            EXPECT_NEAR((got >> shift) & 0xFF, s * c.Scale * c.Alpha + d * (1 - c.Alpha), c.Tolerance)
                << c.Name << ", channel at bit " << shift;
        }
        EXPECT_EQ(out.Color(2, 2), under) << c.Name;
    }
}

TEST(Rasterizer, ShortSpansOfShrunkTexturesStayInsideTheTexture) {
    // 256 x 4 texels squeezed into spans of one to seven pixels: the lanes of a
    // group past a span's end must not run on past the texture.
    Image src(256, 4, PixelFormat::Bgrx32, RGB(10, 200, 30));
    const RasterTexture texture(src.View, {});
    for (int width = 1; width < 8; ++width) {
        Image out(8, 8, PixelFormat::Rgb565);
        TransformedVertex q[4];
        SetQuad(q, 0, 0, float(width), 8);
        q[1].X += 0.3f; // a slanted right edge: the clamp-free sampler's path
        DrawTriangleStrip(out.View, {&texture, false}, q);
        EXPECT_EQ(out.Color(width - 1, 4), out.Color(0, 0)) << width;
        EXPECT_EQ(UnpackColor(PixelFormat::Rgb565, PackColor(PixelFormat::Rgb565, RGB(10, 200, 30))),
                  out.Color(0, 0));
    }
}

TEST(Rasterizer, RefusesWhatItCannotDraw) {
    TransformedVertex q[4];
    SetQuad(q, 0, 0, 4, 4);
    Image bgr(4, 4, PixelFormat::Bgr24);
    DrawTriangleStrip(bgr.View, {}, q);
    EXPECT_EQ(bgr.Color(1, 1), 0u) << "24-bit targets are not drawn into";

    Image out(4, 4, PixelFormat::Bgrx32);
    q[3].X = std::numeric_limits<float>::quiet_NaN();
    DrawTriangleStrip(out.View, {}, q);
    EXPECT_EQ(out.Color(1, 1), 0u) << "a NaN corner draws nothing";

    SetQuad(q, -1e30f, -1e30f, 1e30f, 1e30f);
    DrawTriangleStrip(out.View, {}, q);
    EXPECT_EQ(out.Color(3, 3), RGB(255, 255, 255)) << "huge quads are clipped";

    Image empty(0, 0, PixelFormat::Bgrx32);
    EXPECT_THROW(RasterTexture(empty.View, {}), EOutOfResources);
    Image wide(RasterTexture::kMaxSide + 1, 1, PixelFormat::Rgb565);
    EXPECT_THROW(RasterTexture(wide.View, {}), EOutOfResources);
}

// [SECTION] The vector code against the plain reference

namespace {

// A small generator of its own, so that every platform draws the same cases.
class Dice {
public:
    explicit Dice(uint64_t Seed) : FState(Seed * 0x9E3779B97F4A7C15ull + 1) {}
    // 0 to N - 1.
    int Roll(int N) {
        FState = FState * 6364136223846793005ull + 1442695040888963407ull;
        return int((FState >> 33) % uint64_t(N));
    }
    // Lo to Hi.
    double Between(double Lo, double Hi) { return Lo + (Hi - Lo) * Roll(1 << 20) / double(1 << 20); }

private:
    uint64_t FState;
};

// Where the texture positions of a draw fall: within the picture, beyond it
// (clamped), on spans shorter than a group of eight, or exactly one texel per
// pixel.
enum class Reach { Inside, Clamped, Short, Aligned };

struct DiffCase {
    PixelFormat Target;
    bool Blend, Keyed;
    Reach Kind;
};

// A picture of random colours with white blobs (the key colour) covering about
// a third of it; with Reach below 1, like the sun, only inside an ellipse of
// that size on a white field, so that spans start and end in wide keyed areas.
Image RandomPicture(Dice& D, int Width, int Height, double Reach) {
    Image img(Width, Height, D.Roll(2) ? PixelFormat::Bgr24 : PixelFormat::Bgrx32);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            const bool blob = ((x / 3 + y / 2 + D.Roll(2)) % 3) == 0;
            uint32_t c = blob ? RGB(255, 255, 255)
                              : RGB(uint8_t(D.Roll(256)), uint8_t(D.Roll(256)), uint8_t(D.Roll(256)));
            const double dx = (x + 0.5) / Width - 0.5, dy = (y + 0.5) / Height - 0.5;
            if (dx * dx + dy * dy > Reach * Reach) c = RGB(255, 255, 255);
            img.View.Write(x, y, PackColor(img.View.Format, c));
        }
    return img;
}

// A diffuse colour as the show uses them (white, the grey 254) or any, with any alpha.
uint32_t RandomDiffuse(Dice& D) {
    const uint32_t alpha = uint32_t(D.Roll(256)) << 24;
    switch (D.Roll(3)) {
    case 0:
        return alpha | 0xFFFFFF;
    case 1:
        return alpha | 0xFEFEFE;
    default:
        return alpha | uint32_t(D.Roll(1 << 24));
    }
}

// How quad corners sit: anywhere, on whole pixels less a half (as sprites
// place them, edges between pixel centres), or on pixel centres (every tie
// of the fill rule).
enum class Snap { None, Half, Whole };

// A quad of Width x Height turned by Angle about (Cx, Cy), corners in strip order.
void PlaceQuad(TransformedVertex (&S)[4], double Cx, double Cy, double Width, double Height, double Angle,
               Snap Corners) {
    const double offset = Corners == Snap::Half ? 0.5 : 0;
    for (int i = 0; i < 4; ++i) {
        const double dx = (i % 2 - 0.5) * Width, dy = (i / 2 - 0.5) * Height;
        double x = Cx + dx * std::cos(Angle) - dy * std::sin(Angle);
        double y = Cy + dx * std::sin(Angle) + dy * std::cos(Angle);
        if (Corners != Snap::None) x = std::round(x) - offset, y = std::round(y) - offset;
        S[i] = {float(x), float(y), 0, 1, 0xFFFFFFFF, 0, float(i % 2), float(i / 2)};
    }
}

// A random strip of the case's reach on a Width x Height target, for a
// TextureWidth x TextureHeight texture.
void RandomStrip(Dice& D, Reach Kind, int Width, int Height, int TextureWidth, int TextureHeight,
                 TransformedVertex (&S)[4]) {
    const Snap snap = Snap(D.Roll(3));
    switch (Kind) {
    case Reach::Inside:
        PlaceQuad(S, D.Between(0, Width), D.Between(0, Height), D.Between(8, 70), D.Between(8, 50),
                  D.Between(0, 7), snap);
        break;
    case Reach::Clamped:
        PlaceQuad(S, D.Between(0, Width), D.Between(0, Height), D.Between(8, 70), D.Between(8, 50),
                  D.Between(0, 7), snap);
        for (TransformedVertex& v : S) {
            v.U = float(v.U * D.Between(1, 2.5) - D.Between(0, 0.7));
            v.V = float(v.V * D.Between(1, 2.5) - D.Between(0, 0.7));
        }
        break;
    case Reach::Short: // narrow quads, often at the right edge where a group would overhang the row
        PlaceQuad(S, D.Roll(2) ? Width - D.Between(0, 4) : D.Between(0, Width), D.Between(0, Height),
                  D.Between(0.5, 7.5), D.Between(4, 40), D.Roll(3) ? 0 : D.Between(-0.2, 0.2), snap);
        break;
    case Reach::Aligned: // one texel per pixel at whole pixels, or nearly so
        PlaceQuad(S, D.Roll(Width) + TextureWidth / 2.0, D.Roll(Height) + TextureHeight / 2.0, TextureWidth,
                  TextureHeight, 0, Snap::Half);
        if (D.Roll(2))
            for (TransformedVertex& v : S)
                v.X += float(D.Between(-0.03, 0.03));
        break;
    }
    const uint32_t diffuse = RandomDiffuse(D);
    for (TransformedVertex& v : S)
        v.Diffuse = diffuse;
    if (D.Roll(8) == 0) S[1].Diffuse = RandomDiffuse(D); // the second triangle's own colour
}

// How many pixels of After disagree with the reference drawing Strip over
// Before with Texture (nullptr: untextured); First describes the first.
int Disagreements(const Image& Before, const Image& After, const reference::Texture* Texture, bool Blend,
                  const TransformedVertex (&Strip)[4], std::string& First) {
    const reference::Triangle triangles[2] = {{Strip[0], Strip[1], Strip[2], Texture},
                                              {Strip[1], Strip[2], Strip[3], Texture}};
    const PixelView& v = After.View;
    int bad = 0;
    for (int y = 0; y < v.Height; ++y) {
        for (int x = 0; x < v.Width; ++x) {
            std::vector<uint32_t> may{Before.View.Read(x, y)};
            for (const reference::Triangle& tri : triangles) {
                std::vector<uint32_t> next;
                for (uint32_t value : may)
                    for (uint32_t o : reference::Outcomes(tri, Blend, v.Format, x, y, value, v.Width))
                        next.push_back(o);
                may.swap(next);
            }
            if (std::find(may.begin(), may.end(), v.Read(x, y)) != may.end()) continue;
            if (bad++ == 0)
                First = "pixel " + std::to_string(x) + "," + std::to_string(y) + ": " +
                        std::to_string(v.Read(x, y)) + " where the reference has " + std::to_string(may[0]);
        }
    }
    return bad;
}

// A target of random pixels.
Image RandomTarget(Dice& D, PixelFormat Format) {
    Image img(72 + D.Roll(40), 40 + D.Roll(30), Format);
    for (int y = 0; y < img.View.Height; ++y)
        for (int x = 0; x < img.View.Width; ++x)
            img.View.Write(x, y, PackColor(Format, uint32_t(D.Roll(1 << 24))));
    return img;
}

// Draws random quads over every combination of target, blending, keying and
// reach, and counts the pixels that disagree with the reference.
void CompareWithReference() {
    std::vector<DiffCase> cases;
    for (PixelFormat target : {PixelFormat::Rgb565, PixelFormat::Bgrx32})
        for (bool blend : {false, true})
            for (bool keyed : {false, true})
                for (Reach kind : {Reach::Inside, Reach::Clamped, Reach::Short, Reach::Aligned})
                    cases.push_back({target, blend, keyed, kind});
    constexpr int kDrawsPerCase = 24;
    for (size_t c = 0; c < cases.size(); ++c) {
        const DiffCase& k = cases[c];
        int drawn = 0;
        for (int draw = 0; draw < kDrawsPerCase; ++draw) {
            Dice d(c * 1000 + uint64_t(draw));
            Dice shape(c * 1000 + uint64_t(draw) + 500000);
            const double reach = k.Keyed && shape.Roll(2) ? shape.Between(0.1, 0.5) : 1;
            const Image picture = RandomPicture(d, 1 + d.Roll(40), 1 + d.Roll(40), reach);
            const ColorKey key{k.Keyed, RGB(255, 255, 255), k.Target};
            const RasterTexture texture(picture.View, key);
            const reference::Texture expected(picture.View, key);
            const bool textured = d.Roll(12) != 0;
            const Image before = RandomTarget(d, k.Target);
            TransformedVertex strip[4];
            RandomStrip(d, k.Kind, before.View.Width, before.View.Height, picture.View.Width,
                        picture.View.Height, strip);
            Image after = before;
            after.View.Data = after.Bytes.data();
            DrawTriangleStrip(after.View, {textured ? &texture : nullptr, k.Blend}, strip);
            drawn += after.Bytes != before.Bytes;
            std::string first;
            EXPECT_EQ(Disagreements(before, after, textured ? &expected : nullptr, k.Blend, strip, first), 0)
                << BitsPerPixel(k.Target) << " bits, blend " << k.Blend << ", keyed " << k.Keyed << ", reach "
                << int(k.Kind) << ", draw " << draw << ": " << first;
        }
        EXPECT_GT(drawn, kDrawsPerCase / 2) << "case " << c << " hardly draws";
    }
}

} // namespace

// Random quads and states over every combination, in every lane width this
// processor runs: the vector code must leave exactly the pixels the plain
// reference computes, except where rounding differs on purpose: a texture
// position within single-precision error of a 1/256 step boundary may land
// one step to either side (reference::Outcomes).
TEST(Rasterizer, VectorCodeDrawsWhatThePlainReferenceDraws) {
    for (int bytes : RasterLaneWidths()) {
        SCOPED_TRACE("lanes of " + std::to_string(bytes) + " bytes");
        UseRasterLanes(bytes);
        CompareWithReference();
    }
    UseRasterLanes(0);
}
