#include "platform/presenter_sdl.h"

#include <SDL.h>

#include <cstring>

#include "platform/bare_screen_sdl.h"
#include "platform/pixel_copy.h"
#include "platform/window_surface_sdl.h"

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

// True when the renderer draws in software: SDL's own, or OpenGL on a
// software rasterizer (Mesa's llvmpipe or softpipe), whose copies all run on
// this machine's processor.
bool RendersInSoftware(SDL_Renderer* Renderer) {
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(Renderer, &info) != 0 || (info.flags & SDL_RENDERER_SOFTWARE)) return true;
    if (std::strncmp(info.name, "opengl", 6) != 0) return false;
    // The renderer's context is current: ask OpenGL its GL_RENDERER string.
    using GetString = const unsigned char* (*)(unsigned);
    const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const auto* name = getString ? reinterpret_cast<const char*>(getString(0x1F01)) : nullptr;
    if (!name) return false;
    for (const char* software : {"llvmpipe", "softpipe", "Software Rasterizer"})
        if (std::strstr(name, software)) return true;
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
    if (!OpenScreen()) {
        Close();
        NoDisplay();
    }
    FVSync = true;
    if (FOptions.FullScreen) SDL_ShowCursor(SDL_DISABLE);
}

// What draws into the window: an accelerated renderer with vsync and smooth
// scaling where the graphics card does the work; where rendering is in
// software anyway (no card, a software OpenGL), the window's own surface,
// which costs one pass a frame where a renderer makes two or three copies;
// SDL's software renderer as the last resort.
bool SdlPresenter::OpenScreen() {
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    FRenderer = SDL_CreateRenderer(FWindow, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (FRenderer && !RendersInSoftware(FRenderer)) return true;
    if (FRenderer) SDL_DestroyRenderer(FRenderer);
    FRenderer = nullptr;
    // The surface in memory the window system shows, not one made through OpenGL.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    auto surface = std::make_unique<SdlWindowSurface>(FWindow);
    if (!surface->Empty()) {
        FSurface = std::move(surface);
        return true;
    }
    FRenderer = SDL_CreateRenderer(FWindow, -1, 0);
    return FRenderer != nullptr;
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
    FollowScreen();
    if (FSurface) {
        FSurface->Present(Frame, Target, ScreenWidth, ScreenHeight);
        return;
    }
    if (!PrepareTexture(Frame)) return;
    Upload(Frame);
    if (WaitVBlank != FVSync && SDL_RenderSetVSync(FRenderer, WaitVBlank ? 1 : 0) == 0) FVSync = WaitVBlank;
    // The logical size makes SDL scale the form's area to the window, keeping
    // its aspect and painting the rest black.
    SDL_RenderSetLogicalSize(FRenderer, ScreenWidth, ScreenHeight);
    // Black goes only where the frame leaves bars: a software renderer pays a
    // whole window's fill for it.
    int width = 0, height = 0;
    SDL_GetRendererOutputSize(FRenderer, &width, &height);
    const bool bars = int64_t(width) * ScreenHeight != int64_t(height) * ScreenWidth ||
                      Target != Rect(0, 0, ScreenWidth, ScreenHeight);
    if (bars) {
        SDL_SetRenderDrawColor(FRenderer, 0, 0, 0, 255);
        SDL_RenderClear(FRenderer);
    }
    const SDL_Rect target{Target.Left, Target.Top, int(Target.Width()), int(Target.Height())};
    SDL_RenderCopy(FRenderer, FTexture, nullptr, &target);
    SDL_RenderPresent(FRenderer);
}

// Full screen on an X server without a window manager and with one monitor,
// the window is made to cover the screen again when its resolution changes
// (with more monitors the screen spans them all, and the window keeps to the
// first). Asked once a second: asking costs round trips to the server.
void SdlPresenter::FollowScreen() {
    const Uint64 now = SDL_GetTicks64();
    if (!FOptions.FullScreen || now - FScreenAskedAt < 1000) return;
    FScreenAskedAt = now;
    if (SDL_GetNumVideoDisplays() != 1) return;
    const std::optional<ScreenSize> screen = BareXScreenSize(FWindow);
    ScreenSize window;
    SDL_GetWindowSize(FWindow, &window.Width, &window.Height);
    if (screen && *screen != window) CoverBareXScreen(FWindow, *screen);
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
    FSurface.reset();
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
// changes: in the frame's format when the renderer takes it as it is, else, for
// a 5-6-5 frame, in 32 bits it is widened to while it is uploaded (rather than
// letting SDL convert it from a copy of its own on every frame). Of the 32-bit
// formats, bytes red, green, blue come first: that is OpenGL's own order, which
// a software OpenGL then stores without another pass.
bool SdlPresenter::PrepareTexture(const PixelView& Frame) {
    if (FTexture && FTextureWidth == Frame.Width && FTextureHeight == Frame.Height &&
        FTextureFormat == Frame.Format)
        return true;
    if (FTexture) SDL_DestroyTexture(FTexture);
    Uint32 format = SdlFormat(Frame.Format);
    FWiden.reset();
    if (Frame.Format == PixelFormat::Rgb565 && !RendererTakes(FRenderer, format)) {
        if (RendererTakes(FRenderer, SDL_PIXELFORMAT_BGR888)) {
            format = SDL_PIXELFORMAT_BGR888; // 32-bit words 0x00BBGGRR: bytes red, green, blue, unused
            FWiden = WideOrder::RedFirst;
        } else if (RendererTakes(FRenderer, SDL_PIXELFORMAT_RGB888)) {
            format = SDL_PIXELFORMAT_RGB888;
            FWiden = WideOrder::BlueFirst;
        }
    }
    FTexture = SDL_CreateTexture(FRenderer, format, SDL_TEXTUREACCESS_STREAMING, Frame.Width, Frame.Height);
    FTextureWidth = Frame.Width;
    FTextureHeight = Frame.Height;
    FTextureFormat = Frame.Format;
    return FTexture != nullptr;
}

// Writes the frame into the texture in one pass: its rows as they are, or
// widened to the texture's 32 bits (any stride, bottom-up views included).
void SdlPresenter::Upload(const PixelView& Frame) {
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(FTexture, nullptr, &pixels, &pitch) != 0) return;
    const size_t rowBytes = size_t(Frame.Width) * BytesPerPixel(Frame.Format);
    for (int y = 0; y < Frame.Height; ++y) {
        uint8_t* row = static_cast<uint8_t*>(pixels) + ptrdiff_t(pitch) * y;
        if (FWiden)
            WidenRgb565Row(row, Frame.Row(y), Frame.Width, *FWiden);
        else
            std::memcpy(row, Frame.Row(y), rowBytes);
    }
    SDL_UnlockTexture(FTexture);
}
