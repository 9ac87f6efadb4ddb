// The screen in a web page: the page's canvas "screen" takes the logical
// screen's size and shows each frame as RGBA pixels (putImageData); the page
// scales the canvas to the browser window, keeping its aspect. The caption
// becomes the page's title. The same canvas shows the still frames of
// still_presenter_web.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/presenter.h"

class WebPresenter : public Presenter {
public:
    void Open(const std::string& Caption) override;
    bool IsOpen() const override { return FOpen; }
    // The page scales what it shows to the window, so the show's own 800 x 600
    // is its desktop, whatever the device's screen.
    DisplayMode DesktopMode() const override { return {800, 600, 32}; }
    // Shows Frame on the canvas now; the browser paints it with its next frame.
    void Present(const PixelView& Frame, const TRect& Target, int ScreenWidth, int ScreenHeight,
                 bool WaitVBlank) override;

private:
    bool FOpen = false;
    std::vector<uint8_t> FRgba;
};

// Puts Frame on the page's canvas: the canvas takes the logical screen's size,
// the frame goes into Target (scaled when the sizes differ) and black around
// it. Rgba is working space, kept by the caller between frames.
void PutOnPageCanvas(const PixelView& Frame, const TRect& Target, int ScreenWidth, int ScreenHeight,
                     std::vector<uint8_t>& Rgba);
