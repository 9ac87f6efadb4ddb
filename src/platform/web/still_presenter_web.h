// The screen of a still frame in a web page (the address "#frame=N"): the
// headless screen, whose frames are the native program's headless frames to
// the pixel, showing its latest picture on the page's canvas every tenth of
// a second (and giving the browser that turn to paint it) and its last one
// when it closes.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/presenter_headless.h"

class StillPresenterWeb : public HeadlessPresenter {
public:
    // Shows the last picture presented, which stays on the page.
    ~StillPresenterWeb() override;
    void Present(const PixelView& Frame, const TRect& Target, int ScreenWidth, int ScreenHeight,
                 bool WaitVBlank) override;

private:
    void ShowLastFrame();

    double FShownAt = 0; // real milliseconds of the last picture shown
    std::vector<uint8_t> FRgba;
};
