// Costs of the platform's per-frame work on the show's 800 x 600 16-bit
// surface: an empty frame end to end, the sea's border flood fill under a
// sine-shaped wide line, and drawing that line.
#include <benchmark/benchmark.h>

#include <cmath>

#include "platform/canvas.h"
#include "platform/pixel_buffer.h"
#include "platform/presenter_headless.h"
#include "render/direct_draw_surface.h"
#include "render/display_form.h"
#include "render/dx_draw.h"

namespace {

constexpr uint32_t kSeaLine = 0x9E242A;
constexpr uint32_t kSeaColor = 0xEED6B4;

class BenchForm : public DisplayForm {
public:
    bool FormActive() const override { return true; }
};

// A sine-shaped polyline across the screen like the show's sea line: many
// short segments of a 6-pixel pen.
void DrawSeaLine(Canvas& C, int Segments) {
    C.Pen.Color = kSeaLine;
    C.Pen.Width = 6;
    for (int i = 0; i <= Segments; ++i) {
        const double x = 800.0 * i / Segments;
        const int y = int(300 + 40 * std::sin(x / 800.0 * 2 * M_PI * 1.5));
        if (i == 0) {
            C.MoveTo(int(x), y);
        } else {
            C.LineTo(int(x), y);
        }
    }
}

void EmptyFrame(benchmark::State& State) {
    HeadlessPresenter screen;
    screen.Open("ZQ");
    ListedDisplayModes modes({{800, 600, 16}});
    BenchForm form;
    TDXDraw ds(nullptr, screen, modes);
    ds.SetParentForm(&form);
    ds.SetBounds(0, 0, 800, 600);
    ds.Display().SetWidth(800);
    ds.Display().SetHeight(600);
    ds.Display().SetBitCount(16);
    ds.SetOptions({doFullScreen, doWaitVBlank, doCenter, do3D, doDirectX7Mode, doHardware});
    ds.FormShown();
    for (auto _ : State) {
        if (!ds.CanDraw()) State.SkipWithError("cannot draw");
        ds.BeginScene();
        Canvas& c = ds.Surface()->Canvas();
        c.Brush.Color = kSeaColor;
        c.FloodFill(0, 599, kSeaLine, fsBorder);
        ds.Surface()->Canvas().Release();
        ds.Flip();
        ds.EndScene();
    }
}
BENCHMARK(EmptyFrame)->Unit(benchmark::kMicrosecond);

// Argument 1: the sea is painted already, as every frame after the first finds it.
void SeaFloodFill(benchmark::State& State) {
    PixelBuffer picture, work;
    picture.Create(800, 600, PixelFormat::Rgb565);
    work.Create(800, 600, PixelFormat::Rgb565);
    Canvas painter(picture.View());
    DrawSeaLine(painter, 2000);
    Canvas c(work.View());
    c.Brush.Color = kSeaColor;
    if (State.range(0)) {
        painter.Brush.Color = kSeaColor;
        painter.FloodFill(0, 599, kSeaLine, fsBorder);
    }
    for (auto _ : State) {
        State.PauseTiming();
        work.Copy(0, 0, picture, Rect(0, 0, 800, 600), std::nullopt);
        State.ResumeTiming();
        c.FloodFill(0, 599, kSeaLine, fsBorder);
    }
}
BENCHMARK(SeaFloodFill)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void SeaLine(benchmark::State& State) {
    PixelBuffer picture;
    picture.Create(800, 600, PixelFormat::Rgb565);
    Canvas c(picture.View());
    for (auto _ : State)
        DrawSeaLine(c, int(State.range(0)));
}
BENCHMARK(SeaLine)->Arg(200)->Arg(2000)->Unit(benchmark::kMicrosecond);

} // namespace
