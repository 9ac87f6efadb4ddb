// The presenters of a display (TDXDrawDriver): they hold the primary surface,
// the palette and the back surface, and show the back surface on the screen.
// The copying presenter (TDXDrawDriverBlt) copies it into a target rectangle,
// centred or stretched; the flipping one (TDXDrawDriverFlip) shows it whole,
// only while the form is active, and cannot resize it.
#pragma once

#include "platform/rect.h"
#include "render/direct_draw_surface.h"
#include "render/dx_draw_palette.h"

class TCustomDXDraw;

class TDXDrawDriver {
public:
    // Takes hold of the display's screen; raises EDirectDrawError
    // "DirectDraw cannot be initialized" when the screen is not open.
    explicit TDXDrawDriver(TCustomDXDraw& DXDraw);
    virtual ~TDXDrawDriver() = default;
    TDXDrawDriver(const TDXDrawDriver&) = delete;
    TDXDrawDriver& operator=(const TDXDrawDriver&) = delete;

    // Makes the primary surface, the palette (from the display's ColorTable)
    // and the back surface; raises EDXDrawError "%s cannot be made".
    void Initialize();
    // Shows the back surface.
    virtual void Flip() = 0;
    // True when the back surface can be made again at another size.
    virtual bool CanResize() const = 0;
    // Makes the back surface at Max(Width, 1) x Max(Height, 1), in system
    // memory when asked or when video memory fails, filled black, with 3D set
    // up; raises EDXDrawError "Surface cannot be made".
    void CreateSurface(int Width, int Height);

    TDirectDrawSurface& Primary() { return FPrimary; }
    TDirectDrawSurface& Surface() { return FSurface; }
    TDirectDrawPalette& Palette() { return FPalette; }

protected:
    // Shows the back surface in Target of the form's area.
    void Present(const TRect& Target, bool WaitVBlank);

    TCustomDXDraw& FDXDraw;
    TDirectDrawSurface FPrimary;
    TDirectDrawSurface FSurface;
    TDirectDrawPalette FPalette;
    PixelFormat FFormat = PixelFormat::Rgb565;

private:
    void Initialize3D();
};

class TDXDrawDriverBlt : public TDXDrawDriver {
public:
    using TDXDrawDriver::TDXDrawDriver;
    // Copies the back surface into the target rectangle.
    void Flip() override;
    bool CanResize() const override { return true; }
    // Where the back surface goes: at the control's corner, the control's
    // whole area with doStretch, else the surface's size, moved by half the
    // difference in size (rounded toward zero) with doCenter.
    TRect TargetRect() const;
};

class TDXDrawDriverFlip : public TDXDrawDriver {
public:
    using TDXDrawDriver::TDXDrawDriver;
    // Shows the whole back surface at the control's corner, only while the form is active.
    void Flip() override;
    // A flipping chain keeps its size.
    bool CanResize() const override { return false; }
};
