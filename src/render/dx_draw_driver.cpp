#include "render/dx_draw_driver.h"

#include <algorithm>
#include <optional>

#include "core/numeric.h"
#include "render/dx_draw.h"

namespace {

// Surfaces of the display's depth; none for palette (8-bit) displays.
std::optional<PixelFormat> FormatOfBitCount(int BitCount) {
    switch (BitCount) {
    case 16:
        return PixelFormat::Rgb565;
    case 24:
        return PixelFormat::Bgr24;
    case 32:
        return PixelFormat::Bgrx32;
    default:
        return std::nullopt;
    }
}

} // namespace

TDXDrawDriver::TDXDrawDriver(TCustomDXDraw& DXDraw) : FDXDraw(DXDraw) {
    if (!DXDraw.FScreen.IsOpen()) throw EDirectDrawError(Format("%s cannot be initialized", "DirectDraw"));
}

void TDXDrawDriver::Initialize() {
    // Full screen shows the display's mode; a window shows the desktop's.
    const bool fullScreen = FDXDraw.FNowOptions.Contains(doFullScreen);
    const DisplayMode desktop = FDXDraw.FScreen.DesktopMode();
    TDXDrawDisplay& display = FDXDraw.FDisplay;
    const DisplayMode screen = fullScreen ? DisplayMode{display.Width(), display.Height(), display.BitCount()}
                                          : DisplayMode{desktop.Width, desktop.Height, desktop.BitCount};
    const auto format = FormatOfBitCount(screen.BitCount);
    if (!format) throw EDXDrawError(Format("%s cannot be made", "Primary Surface"));
    FFormat = *format;
    FPrimary.CreatePrimary(screen.Width, screen.Height, FFormat);
    // The presenter clips to its window, so no clipper is needed.
    FPalette.SetEntries(FDXDraw.ColorTable, FDXDraw.FNowOptions.Contains(doAllowPalette256));
    CreateSurface(FDXDraw.FSurfaceWidth, FDXDraw.FSurfaceHeight);
}

void TDXDrawDriver::CreateSurface(int Width, int Height) {
    TDXDrawOptions& now = FDXDraw.FNowOptions;
    now = now - TDXDrawOptions{doSystemMemory};
    const int w = std::max(Width, 1), h = std::max(Height, 1);
    const bool systemMemory = FDXDraw.FOptions.Contains(doSystemMemory);
    if (!FSurface.CreateSurface(w, h, FFormat, systemMemory) &&
        !FSurface.CreateSurface(w, h, FFormat, true)) {
        throw EDXDrawError(Format("%s cannot be made", "Surface"));
    }
    if (FSurface.SystemMemory()) now = now + TDXDrawOptions{doSystemMemory};
    FSurface.Fill(0);
    if (now.Contains(do3D)) Initialize3D();
}

void TDXDrawDriver::Present(const TRect& Target, bool WaitVBlank) {
    const TCustomDXDraw& d = FDXDraw;
    d.FScreen.Present(FSurface.View(), Target, d.Left() + d.Width(), d.Top() + d.Height(), WaitVBlank);
}

// The software rasterizer stands in for the hardware device: it is taken when
// hardware is asked for and the back surface is not in system memory.
void TDXDrawDriver::Initialize3D() {
    TDXDrawOptions& now = FDXDraw.FNowOptions;
    const bool hardware = FDXDraw.FOptions.Contains(doHardware) && !FSurface.SystemMemory();
    now = now - TDXDrawOptions{doRetainedMode, doHardware, doSelectDriver, doZBuffer};
    if (hardware) now = now + TDXDrawOptions{doHardware};
}

void TDXDrawDriverBlt::Flip() {
    Present(TargetRect(), FDXDraw.NowOptions().Contains(doWaitVBlank));
}

TRect TDXDrawDriverBlt::TargetRect() const {
    const TCustomDXDraw& d = FDXDraw;
    const TDXDrawOptions now = d.NowOptions();
    if (now.Contains(doStretch)) return Bounds(d.Left(), d.Top(), d.Width(), d.Height());
    int x = d.Left(), y = d.Top();
    if (now.Contains(doCenter)) {
        x += Div(d.Width() - FSurface.Width(), 2);
        y += Div(d.Height() - FSurface.Height(), 2);
    }
    return Bounds(x, y, FSurface.Width(), FSurface.Height());
}

void TDXDrawDriverFlip::Flip() {
    const TCustomDXDraw& d = FDXDraw;
    if (!d.ParentForm() || !d.ParentForm()->FormActive()) return;
    Present(Bounds(d.Left(), d.Top(), FSurface.Width(), FSurface.Height()),
            d.NowOptions().Contains(doWaitVBlank));
}
