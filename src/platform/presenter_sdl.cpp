#include "platform/presenter_sdl.h"

#include <SDL.h>

#include <cstring>

#include "platform/pixel_copy.h"

namespace {

Uint32 SdlFormat(PixelFormat Format) {
    switch (Format) {
    case PixelFormat::Rgb565:
        return SDL_PIXELFORMAT_RGB565;
    case PixelFormat::Rgb555:
        return SDL_PIXELFORMAT_RGB555;
    case PixelFormat::Bgr24:
        return SDL_PIXELFORMAT_BGR24; // bytes blue, green, red
    case PixelFormat::Bgrx32:
        break;
    }
    return SDL_PIXELFORMAT_RGB888; // 32-bit words 0x00RRGGBB: bytes blue, green, red, unused
}

// True when the renderer takes textures of the SDL pixel format Format as they are.
bool RendererTakes(SDL_Renderer* Renderer, Uint32 Format) {
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(Renderer, &info) != 0) return false;
    for (Uint32 i = 0; i < info.num_texture_formats; ++i)
        if (info.texture_formats[i] == Format) return true;
    return false;
}

[[noreturn]] void NoDisplay() {
    throw EPresenterError(Format("No display available: %s", SDL_GetError()));
}

// SDL falls back to drivers that show nothing ("offscreen", "dummy") when no
// window system is found; those count only when asked for by name.
bool InvisibleDriverNotAskedFor() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || (std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0)) return false;
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    return !asked || !std::strstr(asked, driver);
}

} // namespace

SdlPresenter::~SdlPresenter() {
    Close();
}

void SdlPresenter::Open(const std::string& Caption) {
    if (IsOpen()) return;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) NoDisplay();
    FVideoStarted = true;
    if (InvisibleDriverNotAskedFor()) {
        const std::string driver = SDL_GetCurrentVideoDriver();
        Close();
        throw EPresenterError(Format(
            "No display available: no window system found (only SDL's \"%s\" driver)", driver.c_str()));
    }
    FWindow = FOptions.FullScreen
                  ? CoverDisplay(Caption)
                  : SDL_CreateWindow(Caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                     FOptions.WindowWidth, FOptions.WindowHeight, SDL_WINDOW_RESIZABLE);
    if (!FWindow) {
        Close();
        NoDisplay();
    }
    // Smooth scaling to the window; accelerated with vsync, else whatever renders.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    FRenderer = SDL_CreateRenderer(FWindow, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (!FRenderer) FRenderer = SDL_CreateRenderer(FWindow, -1, 0);
    if (!FRenderer) {
        Close();
        NoDisplay();
    }
    FVSync = true;
    if (FOptions.FullScreen) SDL_ShowCursor(SDL_DISABLE);
}

DisplayMode SdlPresenter::DesktopMode() const {
    SDL_DisplayMode mode;
    const int display = FWindow ? SDL_GetWindowDisplayIndex(FWindow) : 0;
    if (!FVideoStarted || SDL_GetDesktopDisplayMode(display < 0 ? 0 : display, &mode) != 0) return {};
    // Bytes, not bits: a 32-bit desktop reports 24 significant bits.
    return DisplayMode{mode.w, mode.h, int(SDL_BYTESPERPIXEL(mode.format)) * 8};
}

void SdlPresenter::Present(const PixelView& Frame, const TRect& Target, int ScreenWidth, int ScreenHeight,
                           bool WaitVBlank) {
    if (!IsOpen() || Frame.Empty() || ScreenWidth <= 0 || ScreenHeight <= 0) return;
    if (!PrepareTexture(Frame)) return;
    Upload(Frame);
    if (WaitVBlank != FVSync && SDL_RenderSetVSync(FRenderer, WaitVBlank ? 1 : 0) == 0) FVSync = WaitVBlank;
    // The logical size makes SDL scale the form's area to the window, keeping
    // its aspect and painting the rest black.
    SDL_RenderSetLogicalSize(FRenderer, ScreenWidth, ScreenHeight);
    SDL_SetRenderDrawColor(FRenderer, 0, 0, 0, 255);
    SDL_RenderClear(FRenderer);
    const SDL_Rect target{Target.Left, Target.Top, int(Target.Width()), int(Target.Height())};
    SDL_RenderCopy(FRenderer, FTexture, nullptr, &target);
    SDL_RenderPresent(FRenderer);
}

// A full-screen window that holds with and without a window manager: made
// borderless over the whole display itself (on an X server without a window
// manager nothing else would place or size it), and asked to be the desktop's
// full-screen window (which a window manager keeps above its panels, and
// resizes with the display).
SDL_Window* SdlPresenter::CoverDisplay(const std::string& Caption) {
    SDL_Rect bounds{SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, FOptions.WindowWidth,
                    FOptions.WindowHeight};
    SDL_GetDisplayBounds(0, &bounds);
    return SDL_CreateWindow(Caption.c_str(), bounds.x, bounds.y, bounds.w, bounds.h,
                            SDL_WINDOW_BORDERLESS | SDL_WINDOW_FULLSCREEN_DESKTOP);
}

void SdlPresenter::Close() {
    if (FTexture) SDL_DestroyTexture(FTexture);
    if (FRenderer) SDL_DestroyRenderer(FRenderer);
    if (FWindow) SDL_DestroyWindow(FWindow);
    if (FVideoStarted) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    FTexture = nullptr;
    FRenderer = nullptr;
    FWindow = nullptr;
    FVideoStarted = false;
}

// A streaming texture of the frame's size, made again when the size or format
// changes: in the frame's format when the renderer takes it as it is, else in
// 32 bits that a 5-6-5 frame is converted to while it is uploaded (rather than
// letting SDL convert it from a copy of its own on every frame).
bool SdlPresenter::PrepareTexture(const PixelView& Frame) {
    if (FTexture && FTextureWidth == Frame.Width && FTextureHeight == Frame.Height &&
        FTextureFormat == Frame.Format)
        return true;
    if (FTexture) SDL_DestroyTexture(FTexture);
    Uint32 format = SdlFormat(Frame.Format);
    FConverts = Frame.Format == PixelFormat::Rgb565 && !RendererTakes(FRenderer, format) &&
                RendererTakes(FRenderer, SdlFormat(PixelFormat::Bgrx32));
    if (FConverts) format = SdlFormat(PixelFormat::Bgrx32);
    FUploadFormat = FConverts ? PixelFormat::Bgrx32 : Frame.Format;
    FTexture = SDL_CreateTexture(FRenderer, format, SDL_TEXTUREACCESS_STREAMING, Frame.Width, Frame.Height);
    FTextureWidth = Frame.Width;
    FTextureHeight = Frame.Height;
    FTextureFormat = Frame.Format;
    return FTexture != nullptr;
}

// Writes the frame into the texture in one pass: its rows as they are, or
// converted to the texture's 32 bits (any stride, bottom-up views included).
void SdlPresenter::Upload(const PixelView& Frame) {
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(FTexture, nullptr, &pixels, &pitch) != 0) return;
    const PixelView texture{static_cast<uint8_t*>(pixels), Frame.Width, Frame.Height, pitch, FUploadFormat};
    CopyPixels(texture, 0, 0, Frame, ViewBounds(Frame));
    SDL_UnlockTexture(FTexture);
}
