// The screen: a window (or, headless, a remembered picture) that shows the
// back surface. A frame is placed in a target rectangle of a logical screen
// (the form's client area), and that screen is scaled to fit the window with
// its aspect kept and black bars around.
#pragma once

#include <string>

#include "core/exception.h"
#include "platform/display_modes.h"
#include "platform/pixel_view.h"
#include "platform/rect.h"

// The screen cannot be opened ("No display available: ...").
FUIFJE_EXCEPTION(EPresenterError, Exception);

struct PresenterOptions {
    bool FullScreen = true; // cover the desktop; else a resizable window of the size below
    int WindowWidth = 800;
    int WindowHeight = 600;
};

class Presenter {
public:
    virtual ~Presenter() = default;
    // Opens the window titled Caption. Raises EPresenterError with a one-line
    // reason when there is no display to open it on.
    virtual void Open(const std::string& Caption) = 0;
    virtual bool IsOpen() const = 0;
    // The desktop's size and depth (all zero while that is unknown).
    virtual DisplayMode DesktopMode() const = 0;
    // Shows Frame scaled into Target of a logical screen of ScreenWidth by
    // ScreenHeight pixels, black around it; with WaitVBlank the picture
    // changes with the display's vertical blank. Nothing happens while closed.
    virtual void Present(const PixelView& Frame, const TRect& Target, int ScreenWidth, int ScreenHeight,
                         bool WaitVBlank) = 0;
};
