// Per-operation cost of sprite drawing on a 16-bit 800 x 600 back surface.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "platform/rasterizer.h"

namespace {

struct Image {
    std::vector<uint8_t> Bytes;
    PixelView View;
    Image(int Width, int Height, PixelFormat Format) {
        Bytes.assign(size_t(Width) * Height * BytesPerPixel(Format), 0);
        View = {Bytes.data(), Width, Height, ptrdiff_t(Width) * BytesPerPixel(Format), Format};
    }
};

// A picture of W x H in a power-of-two texture: white background, a coloured disc.
RasterTexture MakeTexture(int W, int H, int TexW, int TexH) {
    Image img(TexW, TexH, PixelFormat::Bgr24);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const double dx = x - W / 2.0, dy = y - H / 2.0;
            const bool inDisc = dx * dx + dy * dy < W * H / 5.0;
            img.View.Write(
                x, y, PackColor(PixelFormat::Bgr24, inDisc ? RGB(200, 30 + x % 50, 90) : RGB(255, 255, 255)));
        }
    return RasterTexture(img.View, {true, RGB(255, 255, 255), PixelFormat::Rgb565});
}

void RotatedQuad(TransformedVertex (&Q)[4], double X, double Y, double W, double H, double Angle, double U,
                 double V, uint32_t Diffuse) {
    const double cx[4] = {-W / 2, W / 2, -W / 2, W / 2}, cy[4] = {-H / 2, -H / 2, H / 2, H / 2};
    const double us[4] = {0, U, 0, U}, vs[4] = {0, 0, V, V}, t = Angle * M_PI / 128;
    for (int i = 0; i < 4; ++i) {
        Q[i].X = float(std::round(X + cx[i] * std::cos(t) - cy[i] * std::sin(t)) - 0.5);
        Q[i].Y = float(std::round(Y + cx[i] * std::sin(t) + cy[i] * std::cos(t)) - 0.5);
        Q[i].U = float(us[i]);
        Q[i].V = float(vs[i]);
        Q[i].Diffuse = Diffuse;
    }
}

void BM_RasterRotateGlyph(benchmark::State& state) {
    Image target(800, 600, PixelFormat::Rgb565);
    const RasterTexture tex = MakeTexture(40, 40, 64, 64);
    TransformedVertex q[4];
    RotatedQuad(q, 400, 300, 20, 20, 13, 0.625, 0.625, 0xFFFEFEFE);
    for (auto _ : state)
        DrawTriangleStrip(target.View, {&tex, false}, q);
}
BENCHMARK(BM_RasterRotateGlyph);

void BM_RasterRotateAlphaSun(benchmark::State& state) {
    Image target(800, 600, PixelFormat::Rgb565);
    const RasterTexture tex = MakeTexture(256, 256, 256, 256);
    TransformedVertex q[4];
    RotatedQuad(q, 350, 300, 250, 250, 9, 1, 1, 0xD2FFFFFF);
    for (auto _ : state)
        DrawTriangleStrip(target.View, {&tex, true}, q);
}
BENCHMARK(BM_RasterRotateAlphaSun);

void BM_RasterAlphaCaption(benchmark::State& state) {
    Image target(800, 600, PixelFormat::Rgb565);
    const RasterTexture tex = MakeTexture(300, 157, 512, 256);
    TransformedVertex q[4];
    RotatedQuad(q, 250, 200, 300, 158, 0, 300 / 512.0, 158 / 256.0, 0x64FFFFFF);
    for (auto _ : state)
        DrawTriangleStrip(target.View, {&tex, true}, q);
}
BENCHMARK(BM_RasterAlphaCaption);

} // namespace
