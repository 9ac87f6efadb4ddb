#include "render/dx_draw_driver.h"

#include <algorithm>
#include <optional>

#include "core/numeric.h"
#include "platform/presenter.h"
#include "render/dx_draw_errors.h"

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

// [SECTION] TDXDrawDriver

TDXDrawDriver::TDXDrawDriver(Presenter& Screen) : FScreen(Screen) {
    if (!Screen.IsOpen()) throw EDirectDrawError(Format("%s cannot be initialized", "DirectDraw"));
}

TDXDrawSurfaceFacts TDXDrawDriver::Initialize(const TDXDrawDriverSetup& Setup) {
    const auto format = FormatOfBitCount(Setup.Mode.BitCount);
    if (!format) throw EDXDrawError(Format("%s cannot be made", "Primary Surface"));
    FFormat = *format;
    FPrimary.CreatePrimary(Setup.Mode.Width, Setup.Mode.Height, FFormat);
    // The presenter clips to its window, so no clipper is needed.
    FPalette.SetEntries(Setup.ColorTable, Setup.AllowPalette256);
    return CreateSurface(Setup.Surface);
}

// The software rasterizer stands in for the hardware device: it counts as one
// when hardware is asked for and the back surface is not in system memory.
TDXDrawSurfaceFacts TDXDrawDriver::CreateSurface(const TDXDrawSurfaceRequest& Request) {
    const int w = std::max(Request.Width, 1), h = std::max(Request.Height, 1);
    if (!FSurface.CreateSurface(w, h, FFormat, Request.SystemMemory) &&
        !FSurface.CreateSurface(w, h, FFormat, true)) {
        throw EDXDrawError(Format("%s cannot be made", "Surface"));
    }
    FSurface.Fill(0);
    TDXDrawSurfaceFacts facts;
    facts.SystemMemory = FSurface.SystemMemory();
    facts.Hardware = Request.Use3D && Request.Hardware && !facts.SystemMemory;
    return facts;
}

void TDXDrawDriver::Present(const TRect& Target, const TDXDrawFlipSetup& Setup) {
    FScreen.Present(FSurface.View(), Target, Setup.Control.Right, Setup.Control.Bottom, Setup.WaitVBlank);
}

// [SECTION] TDXDrawDriverBlt

void TDXDrawDriverBlt::Flip(const TDXDrawFlipSetup& Setup) {
    Present(TargetRect(Setup), Setup);
}

TRect TDXDrawDriverBlt::TargetRect(const TDXDrawFlipSetup& Setup) const {
    const TRect& control = Setup.Control;
    if (Setup.Stretch) return control;
    int x = control.Left, y = control.Top;
    if (Setup.Center) {
        x += Div(int(control.Width()) - FSurface.Width(), 2);
        y += Div(int(control.Height()) - FSurface.Height(), 2);
    }
    return Bounds(x, y, FSurface.Width(), FSurface.Height());
}

// [SECTION] TDXDrawDriverFlip

void TDXDrawDriverFlip::Flip(const TDXDrawFlipSetup& Setup) {
    if (!Setup.FormActive) return;
    const TRect& control = Setup.Control;
    Present(Bounds(control.Left, control.Top, FSurface.Width(), FSurface.Height()), Setup);
}
