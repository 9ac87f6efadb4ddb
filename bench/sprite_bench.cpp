// Per-operation cost of sprite drawing on the show's 16-bit 800 x 600 back
// surface: a letter glyph turned and shrunk, the sun turned and blended, a
// caption blended at full size, and a background copied.
#include <benchmark/benchmark.h>

#include "../tests/render/image_list_rig.h"
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
    ImageListRig r;
    const auto sun = Disc(256, 256);
    TPictureCollectionItem* image = r.Add(*sun, true, 0xFFFFFF, "sun");
    int angle = 0;
    for (auto _ : State)
        image->DrawRotateAlpha(r.Back(), 350, 250, 250, 250, 0, 0.5, 0.5, ++angle, 210);
}
BENCHMARK(BmDrawRotateAlphaSun);

void BmDrawAlphaCaption(benchmark::State& State) {
    ImageListRig r;
    const auto cloud = Disc(300, 157);
    TPictureCollectionItem* image = r.Add(*cloud);
    for (auto _ : State)
        image->DrawAlpha(r.Back(), Rect(250, 100, 550, 257), 0, 100);
}
BENCHMARK(BmDrawAlphaCaption);

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
