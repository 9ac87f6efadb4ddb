// The screen as an SDL window: full screen on the desktop (or a resizable
// window), an accelerated renderer with vsync where a graphics card draws, and
// a streaming texture that each frame is uploaded into and drawn from, scaled
// to fit with the aspect kept and black bars around. The texture is in the
// frame's own pixel format when the renderer takes it (RGB565 for the show's
// 16-bit surface), else in 32 bits, widened in the one pass of the upload.
// Where rendering is in software anyway, frames go straight into the window's
// pixels instead (window_surface_sdl.h).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/pixel_copy.h"
#include "platform/presenter.h"
#include "platform/window_surface_sdl.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

class SdlPresenter : public Presenter {
public:
    explicit SdlPresenter(const PresenterOptions& Options = {}) : FOptions(Options) {}
    ~SdlPresenter() override;
    SdlPresenter(const SdlPresenter&) = delete;
    SdlPresenter& operator=(const SdlPresenter&) = delete;

    // Raises EPresenterError "No display available: <reason>" when video cannot
    // start, SDL finds only a driver that shows nothing (unless that driver
    // was asked for in SDL_VIDEODRIVER), or no window or renderer can be made.
    void Open(const std::string& Caption) override;
    bool IsOpen() const override { return FRenderer != nullptr || FSurface != nullptr; }
    DisplayMode DesktopMode() const override;
    void Present(const PixelView& Frame, const TRect& Target, int ScreenWidth, int ScreenHeight,
                 bool WaitVBlank) override;

    // The window (nullptr while closed), for message boxes that belong to it.
    SDL_Window* Window() const { return FWindow; }

private:
    void Close();
    bool OpenScreen();
    SDL_Window* CoverDisplay(const std::string& Caption);
    void FollowScreen();
    bool PrepareTexture(const PixelView& Frame);
    void Upload(const PixelView& Frame);

    PresenterOptions FOptions;
    bool FVideoStarted = false;
    SDL_Window* FWindow = nullptr;
    SDL_Renderer* FRenderer = nullptr;
    SDL_Texture* FTexture = nullptr;
    std::unique_ptr<SdlWindowSurface>
        FSurface; // drawn into instead of a renderer where rendering is in software
    int FTextureWidth = 0;
    int FTextureHeight = 0;
    PixelFormat FTextureFormat = PixelFormat::Rgb565; // the frames' format the texture was made for
    std::optional<WideOrder> FWiden;                  // 5-6-5 frames are widened to 32 bits on upload
    bool FVSync = true;
    uint64_t FScreenAskedAt = 0; // when FollowScreen last asked the screen's size, in SDL's milliseconds
};
