// Per-operation cost of sprite drawing on the show's 16-bit 800 x 600 back
// surface: a letter glyph turned and shrunk; the sun (a disc, and one with
// rays like the show's) turned and blended, and a caption blended at full
// size, these three drawn alone and with their rows shared with the helper
// thread (argument 0 and 1); a background copied; and the sun's quad drawn
// straight by the rasterizer's vector code and by the tests' plain scalar
// reference, which is what the vector code buys.
#include <benchmark/benchmark.h>

#include <cmath>

#include "../tests/platform/rasterizer_reference.h"
#include "../tests/render/image_list_rig.h"
#include "platform/pixel_buffer.h"
#include "platform/row_sharing.h"
#include "render/d2d.h"

namespace {

// A 40 x 40 glyph as the show makes them: a bold letter on white.
std::unique_ptr<TDIB> Glyph(const std::string& Letter) {
    auto glyph = MakePicture(40, 40, [](int, int) { return RGB(255, 255, 255); });
    Canvas& canvas = glyph->Canvas();
    canvas.Font = FontSpec{"Verdana", 24, true, RGB(255, 0, 0)};
    canvas.TextOut(0, 0, Letter);
    return glyph;
}

// A shaded disc on white, Size x Size.
std::unique_ptr<TDIB> Disc(int Width, int Height) {
    return MakePicture(Width, Height, [=](int X, int Y) {
        const double dx = (X + 0.5) / Width - 0.5, dy = (Y + 0.5) / Height - 0.5;
        return dx * dx + dy * dy < 0.2 ? RGB(uint8_t(200 + X % 50), uint8_t(90 + Y % 100), 40)
                                       : RGB(255, 255, 255);
    });
}

// A sun like the show's: a disc with twelve narrow rays on white, about a
// third of it unkeyed, Size x Size.
std::unique_ptr<TDIB> RayedSun(int Size) {
    return MakePicture(Size, Size, [=](int X, int Y) {
        const double dx = (X + 0.5) / Size - 0.5, dy = (Y + 0.5) / Size - 0.5, r = std::hypot(dx, dy);
        const double ray = std::abs(std::remainder(std::atan2(dy, dx), M_PI / 6));
        return r < 0.25 || (r < 0.5 && ray < 0.07) ? RGB(250, uint8_t(150 + X % 100), 30)
                                                   : RGB(255, 255, 255);
    });
}

// Argument 0: drawn by one thread; 1: rows shared with the helper thread.
void SharedRowsArgument(benchmark::internal::Benchmark* B) {
    B->Arg(0)->Arg(1)->Teardown([](const benchmark::State&) { UseRowSharing(true); });
}

void UseRowsArgument(const benchmark::State& State) {
    UseRowSharing(State.range(0) != 0);
}

void BmDrawRotateGlyph(benchmark::State& State) {
    ImageListRig r;
    const auto glyph = Glyph("W");
    TPictureCollectionItem* image = r.Add(*glyph);
    int angle = 0;
    for (auto _ : State)
        image->DrawRotate(r.Back(), 400, 300, 20, 20, 0, 0.5, 0.5, ++angle % 16 - 8);
}
BENCHMARK(BmDrawRotateGlyph);

void BmDrawRotateAlphaSun(benchmark::State& State) {
    UseRowsArgument(State);
    ImageListRig r;
    const auto sun = Disc(256, 256);
    TPictureCollectionItem* image = r.Add(*sun, true, 0xFFFFFF, "sun");
    int angle = 0;
    for (auto _ : State)
        image->DrawRotateAlpha(r.Back(), 350, 250, 250, 250, 0, 0.5, 0.5, ++angle, 210);
}
BENCHMARK(BmDrawRotateAlphaSun)->Apply(SharedRowsArgument);

void BmDrawRotateAlphaRayedSun(benchmark::State& State) {
    UseRowsArgument(State);
    ImageListRig r;
    const auto sun = RayedSun(256);
    TPictureCollectionItem* image = r.Add(*sun, true, 0xFFFFFF, "sun");
    int angle = 0;
    for (auto _ : State)
        image->DrawRotateAlpha(r.Back(), 350, 250, 250, 250, 0, 0.5, 0.5, ++angle, 210);
}
BENCHMARK(BmDrawRotateAlphaRayedSun)->Apply(SharedRowsArgument);

void BmDrawAlphaCaption(benchmark::State& State) {
    UseRowsArgument(State);
    ImageListRig r;
    const auto cloud = Disc(300, 157);
    TPictureCollectionItem* image = r.Add(*cloud);
    for (auto _ : State)
        image->DrawAlpha(r.Back(), Rect(250, 100, 550, 257), 0, 100);
}
BENCHMARK(BmDrawAlphaCaption)->Apply(SharedRowsArgument);

void BmDrawBackground(benchmark::State& State) {
    ImageListRig r;
    const auto background = MakePicture(800, 340, Coded);
    TPictureCollectionItem* image = r.Add(*background, false);
    for (auto _ : State)
        image->Draw(r.Back(), 0, 0, 0);
}
BENCHMARK(BmDrawBackground);

} // namespace

namespace {
// The first draw of a glyph after the texture cache was emptied (every image
// restore empties it): the texture is made, then drawn.
void BmFirstDrawRotateGlyph(benchmark::State& State) {
    ImageListRig r;
    const auto glyph = Glyph("W");
    TPictureCollectionItem* image = r.Add(*glyph);
    for (auto _ : State) {
        r.DS.D2D()->Textures().Clear();
        image->DrawRotate(r.Back(), 400, 300, 20, 20, 0, 0.5, 0.5, 3);
    }
}
BENCHMARK(BmFirstDrawRotateGlyph);
} // namespace

namespace {
// The sun's quad as the show draws it: a 256 x 256 white-keyed picture at
// 250 x 250, turned by 20 256ths of a turn about (350, 250), at alpha 210, on
// an 800 x 600 5-6-5 surface.
struct SunQuad {
    PixelBuffer Target;
    std::unique_ptr<TDIB> Sun = Disc(256, 256);
    ColorKey Key{true, 0xFFFFFF, PixelFormat::Rgb565};
    TransformedVertex Strip[4];

    SunQuad() {
        Target.Create(800, 600, PixelFormat::Rgb565);
        const double angle = 20 * M_PI / 128;
        for (int i = 0; i < 4; ++i) {
            const double dx = (i % 2 - 0.5) * 250, dy = (i / 2 - 0.5) * 250;
            Strip[i].X = float(std::round(350 + dx * std::cos(angle) - dy * std::sin(angle)) - 0.5);
            Strip[i].Y = float(std::round(250 + dx * std::sin(angle) + dy * std::cos(angle)) - 0.5);
            Strip[i].Diffuse = 0xD2FFFFFF;
            Strip[i].U = float(i % 2);
            Strip[i].V = float(i / 2);
        }
    }
};

// In vectors of the argument's bytes (each width the processor runs).
void BmRasterSunVector(benchmark::State& State) {
    SunQuad q;
    const RasterTexture texture(q.Sun->View(), q.Key);
    UseRasterLanes(int(State.range(0)));
    for (auto _ : State)
        DrawTriangleStrip(q.Target.View(), {&texture, true}, q.Strip);
    UseRasterLanes(0);
}
BENCHMARK(BmRasterSunVector)->Apply([](benchmark::internal::Benchmark* B) {
    for (int bytes : RasterLaneWidths())
        B->Arg(bytes);
});

// The same quad drawn by the plain scalar reference of the tests.
void BmRasterSunReference(benchmark::State& State) {
    SunQuad q;
    const reference::Texture texture(q.Sun->View(), q.Key);
    for (auto _ : State)
        reference::DrawStrip(q.Target.View(), &texture, true, q.Strip);
}
BENCHMARK(BmRasterSunReference);
} // namespace
