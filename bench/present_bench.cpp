// What presenting a frame costs the main thread: the show's 800 x 600 5-6-5
// back surface shown through the SDL presenter on SDL's software drivers that
// need no display, "dummy" and "offscreen" (windows in memory, drawn as on a
// machine without a graphics card), in a window of the frame's size and in one
// that scales it (letterboxed). Each iteration changes every pixel of the frame
// (the worst case), the lower third only (like the show's sea and boat under a
// still sky), or a 250 x 250 square (the sun over a still sky, on a full-HD
// screen), and presents it without waiting for a vertical blank.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "platform/pixel_buffer.h"
#include "platform/presenter_sdl.h"

namespace {

// Presents frames on the video driver Driver in a Width x Height window,
// changing the pixels of Changed in each.
void Present(benchmark::State& State, const char* Driver, int Width, int Height,
             const TRect& Changed = Rect(0, 0, 800, 600)) {
    setenv("SDL_VIDEODRIVER", Driver, 1);
    SdlPresenter screen(PresenterOptions{false, Width, Height});
    try {
        screen.Open("ZQ");
    } catch (const EPresenterError& e) {
        State.SkipWithError(e.Message.c_str());
        return;
    }
    PixelBuffer frame;
    frame.Create(800, 600, PixelFormat::Rgb565);
    uint16_t shade = 0;
    for (auto _ : State) {
        frame.FillRect(Changed, shade += 0x0841);
        screen.Present(frame.View(), Rect(0, 0, 800, 600), 800, 600, false);
    }
}

void BmPresentDummy(benchmark::State& State) {
    Present(State, "dummy", 800, 600);
}
BENCHMARK(BmPresentDummy);

void BmPresentDummyLowerThird(benchmark::State& State) {
    Present(State, "dummy", 800, 600, Rect(0, 400, 800, 600));
}
BENCHMARK(BmPresentDummyLowerThird);

void BmPresentDummyScaled(benchmark::State& State) {
    Present(State, "dummy", 1280, 720);
}
BENCHMARK(BmPresentDummyScaled);

void BmPresentDummyFullHdSquare(benchmark::State& State) {
    Present(State, "dummy", 1920, 1080, Bounds(275, 175, 250, 250));
}
BENCHMARK(BmPresentDummyFullHdSquare);

void BmPresentOffscreen(benchmark::State& State) {
    Present(State, "offscreen", 800, 600);
}
BENCHMARK(BmPresentOffscreen);

} // namespace
