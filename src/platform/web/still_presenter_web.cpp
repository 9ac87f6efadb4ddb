#include "platform/web/still_presenter_web.h"

#include <emscripten.h>

#include "platform/web/presenter_web.h"

namespace {

// How often the page sees how far the run has come.
constexpr double kShowEveryMilliseconds = 100;

} // namespace

StillPresenterWeb::~StillPresenterWeb() {
    ShowLastFrame();
}

void StillPresenterWeb::Present(const PixelView& Frame, const TRect& Target, int ScreenWidth,
                                int ScreenHeight, bool WaitVBlank) {
    const bool showNow = emscripten_get_now() - FShownAt >= kShowEveryMilliseconds;
    KeepFrames = KeepFrames || showNow; // a headless run composes only the frames it saves
    HeadlessPresenter::Present(Frame, Target, ScreenWidth, ScreenHeight, WaitVBlank);
    if (!showNow) return;
    ShowLastFrame();
    emscripten_sleep(0); // the browser's turn: it paints the canvas and stays responsive
    FShownAt = emscripten_get_now();
}

void StillPresenterWeb::ShowLastFrame() {
    const PixelBuffer& screen = LastFrame();
    if (screen.Empty()) return;
    PutOnPageCanvas(screen.View(), Rect(0, 0, screen.Width(), screen.Height()), screen.Width(),
                    screen.Height(), FRgba);
}
