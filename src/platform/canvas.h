// The drawing canvas: our stand-in for a device context with a pen, a brush and
// a font, drawing on a PixelView. It draws lines, fills, pixels, text and
// copies of other pixel views, converting colours ($00BBGGRR) into the
// target's pixel format as the platform's drawing does.
#pragma once

#include <cstdint>
#include <string>

#include "platform/flood_fill.h"
#include "platform/pen_lines.h"
#include "platform/pixel_view.h"
#include "platform/rect.h"
#include "platform/text_renderer.h"

enum TBrushStyle : uint8_t { bsSolid, bsClear };
enum TFillStyle : uint8_t { fsSurface, fsBorder };

// The pen lines are drawn with (a new canvas has a black 1-pixel pen).
struct TPen {
    uint32_t Color = 0; // $00BBGGRR
    int Width = 1;      // 1 or less: thin line without its end point; more: round-ended band
};

// The brush areas are filled with (a new canvas has a solid white brush).
struct TBrush {
    uint32_t Color = 0xFFFFFF; // $00BBGGRR
    TBrushStyle Style = bsSolid;
};

// Where a pen stands.
struct TPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TPoint&) const = default;
};

class Canvas {
public:
    // The colour Pixels reports outside the target.
    static constexpr uint32_t kInvalidColor = 0xFFFFFFFF;

    Canvas() = default;
    explicit Canvas(const PixelView& Target) : FTarget(Target) {}
    virtual ~Canvas() = default;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // Draws on Target from now on; pen, brush, font and pen position stay.
    void SetTarget(const PixelView& Target) { FTarget = Target; }
    // Lets go of the target: drawing does nothing until a new one is set.
    void Detach() { FTarget = PixelView{}; }
    // The view drawn on (empty while detached).
    const PixelView& Target() const { return FTarget; }

    TPen Pen;
    TBrush Brush;
    FontSpec Font;

    // The pen position lines start from.
    TPoint PenPos() const { return FPenPos; }
    // Moves the pen without drawing.
    void MoveTo(int X, int Y);
    // Draws a line from the pen position to (X, Y) with the pen and moves the pen there.
    void LineTo(int X, int Y);
    // Fills Rect (clipped) with the brush; a clear brush paints nothing.
    void FillRect(const TRect& Rect);
    // Fills with the brush the 4-connected area around (X, Y): fsBorder every
    // pixel up to the ones of colour Color, fsSurface the pixels of colour
    // Color. Color is compared in the target's own format, so a border fill
    // stops exactly at the pixels that hold Color as drawing converts it, and
    // paints nothing when (X, Y) holds it. A clear brush paints nothing.
    void FloodFill(int X, int Y, uint32_t Color, TFillStyle FillStyle);
    // The colour of the pixel at (X, Y), or kInvalidColor outside the target.
    uint32_t Pixels(int X, int Y);
    // Sets the pixel at (X, Y) to Color (nothing outside the target).
    void SetPixels(int X, int Y, uint32_t Color);
    // Writes Text in the font with its cell's top-left corner at (X, Y); a
    // solid brush first fills the cell with the brush colour.
    void TextOut(int X, int Y, const std::string& Text);
    // Copies Source with its top-left corner at (X, Y), converting its pixels.
    void Draw(int X, int Y, const PixelView& Source);
    // Scales Source into Rect ("colour on colour": rows and columns repeated or
    // dropped), converting its pixels.
    void StretchDraw(const TRect& Rect, const PixelView& Source);

protected:
    // Runs before every drawing call: a canvas that gets its target only when
    // drawing begins sets it here.
    virtual void RequireTarget() {}

private:
    // The target after RequireTarget, or nullptr when there is nothing to draw on.
    const PixelView* DrawingTarget();
    uint32_t Packed(uint32_t Color) const { return PackColor(FTarget.Format, Color); }

    PixelView FTarget;
    TPoint FPenPos;
    PenShape FPenShape; // the round ends of the last wide pen used
    FloodFillScratch FFillScratch;
};
