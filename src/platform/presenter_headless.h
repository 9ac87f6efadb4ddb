// The screen without a display: it keeps the last presented picture (the
// logical screen with the frame in its target rectangle), can save it as a
// PNG file and hands each one to whoever listens (a video encoder), so tests,
// headless runs and exports see what would be shown.
#pragma once

#include <functional>
#include <string>

#include "platform/pixel_buffer.h"
#include "platform/presenter.h"

class HeadlessPresenter : public Presenter {
public:
    explicit HeadlessPresenter(DisplayMode Desktop = {1920, 1080, 32}) : FDesktop(Desktop) {}

    void Open(const std::string& Caption) override;
    bool IsOpen() const override { return FOpen; }
    DisplayMode DesktopMode() const override { return FDesktop; }
    void Present(const PixelView& Frame, const TRect& Target, int ScreenWidth, int ScreenHeight,
                 bool WaitVBlank) override;

    const std::string& Caption() const { return FCaption; }
    // The last picture presented (empty before the first).
    const PixelBuffer& LastFrame() const { return FScreen; }
    // How many frames were presented.
    int PresentCount() const { return FPresentCount; }
    // Writes the last picture to FileName as PNG; raises Exception naming the
    // file when that fails or nothing was presented yet.
    void SaveFrame(const std::string& FileName) const;

    // Called with each presented picture, as LastFrame would give it.
    std::function<void(const PixelView& Screen)> OnPresent;
    // Whether presented pictures are composed into LastFrame. A run that saves
    // only a few frames turns it off in between: composing the screen costs
    // about a tenth of a frame's drawing. OnPresent's listener gets them anyway.
    bool KeepFrames = true;

private:
    DisplayMode FDesktop;
    bool FOpen = false;
    std::string FCaption;
    PixelBuffer FScreen;
    int FPresentCount = 0;
};
