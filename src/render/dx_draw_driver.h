// The presenters of a display (TDXDrawDriver): they hold the primary surface,
// the palette and the back surface, and show the back surface on the screen.
// A presenter is made on a screen, initialized from a small setup value
// (TDXDrawDriverSetup) and reports what it made (TDXDrawSurfaceFacts); it
// knows nothing of the display component, which keeps its options up to date
// from those facts. The copying
// presenter (TDXDrawDriverBlt) copies the back surface into a target
// rectangle, centred or stretched; the flipping one (TDXDrawDriverFlip) shows
// it whole, only while the form is active, and cannot resize it.
#pragma once

#include "platform/display_modes.h"
#include "platform/rect.h"
#include "render/bmp_format.h"
#include "render/direct_draw_surface.h"
#include "render/dx_draw_palette.h"

class Presenter;

// How the back surface is asked for.
struct TDXDrawSurfaceRequest {
    int Width = 0, Height = 0; // made at least 1 x 1
    bool SystemMemory = false; // doSystemMemory configured: ask for system memory at once
    bool Use3D = false;        // do3D in force: the surface is a 3D render target
    bool Hardware = false;     // doHardware configured: a hardware device when the surface allows it
};

// What a presenter is initialized from.
struct TDXDrawDriverSetup {
    DisplayMode Mode;             // what the primary surface shows
    TRGBQuads ColorTable{};       // the palette's colours
    bool AllowPalette256 = false; // doAllowPalette256 in force
    TDXDrawSurfaceRequest Surface;
};

// What making the back surface came to.
struct TDXDrawSurfaceFacts {
    bool SystemMemory = false; // the surface landed in system memory
    bool Hardware = false;     // the 3D device made on it (if any) is a hardware one
};

// What showing the back surface needs to know of the display at that moment.
struct TDXDrawFlipSetup {
    TRect Control;           // the control's bounds on the form
    bool WaitVBlank = false; // doWaitVBlank in force (and not a repaint)
    bool Stretch = false;    // doStretch in force
    bool Center = false;     // doCenter in force
    bool FormActive = false; // the display's form is the active window
};

class TDXDrawDriver {
public:
    // Takes hold of Screen; raises EDirectDrawError "DirectDraw cannot be
    // initialized" when the screen is not open.
    explicit TDXDrawDriver(Presenter& Screen);
    virtual ~TDXDrawDriver() = default;
    TDXDrawDriver(const TDXDrawDriver&) = delete;
    TDXDrawDriver& operator=(const TDXDrawDriver&) = delete;

    // Makes the primary surface, the palette and the back surface as Setup
    // says; raises EDXDrawError "%s cannot be made".
    TDXDrawSurfaceFacts Initialize(const TDXDrawDriverSetup& Setup);
    // Shows the back surface.
    virtual void Flip(const TDXDrawFlipSetup& Setup) = 0;
    // True when the back surface can be made again at another size.
    virtual bool CanResize() const = 0;
    // Makes the back surface as Request asks, in system memory when asked or
    // when video memory fails, filled black, with 3D set up; raises
    // EDXDrawError "Surface cannot be made".
    TDXDrawSurfaceFacts CreateSurface(const TDXDrawSurfaceRequest& Request);

    TDirectDrawSurface& Primary() { return FPrimary; }
    TDirectDrawSurface& Surface() { return FSurface; }
    TDirectDrawPalette& Palette() { return FPalette; }

protected:
    // Shows the back surface in Target of the control's area.
    void Present(const TRect& Target, const TDXDrawFlipSetup& Setup);

    TDirectDrawSurface FSurface;

private:
    Presenter& FScreen;
    TDirectDrawSurface FPrimary;
    TDirectDrawPalette FPalette;
    PixelFormat FFormat = PixelFormat::Rgb565;
};

class TDXDrawDriverBlt : public TDXDrawDriver {
public:
    using TDXDrawDriver::TDXDrawDriver;
    // Copies the back surface into the target rectangle.
    void Flip(const TDXDrawFlipSetup& Setup) override;
    bool CanResize() const override { return true; }
    // Where the back surface goes: at the control's corner, the control's
    // whole area with Stretch, else the surface's size, moved by half the
    // difference in size (rounded toward zero) with Center.
    TRect TargetRect(const TDXDrawFlipSetup& Setup) const;
};

class TDXDrawDriverFlip : public TDXDrawDriver {
public:
    using TDXDrawDriver::TDXDrawDriver;
    // Shows the whole back surface at the control's corner, only while the form is active.
    void Flip(const TDXDrawFlipSetup& Setup) override;
    // A flipping chain keeps its size.
    bool CanResize() const override { return false; }
};
