#include "platform/canvas.h"

#include <algorithm>

#include "platform/pixel_copy.h"

void Canvas::MoveTo(int X, int Y) {
    FPenPos = TPoint{X, Y};
}

void Canvas::LineTo(int X, int Y) {
    const TPoint from = FPenPos;
    FPenPos = TPoint{X, Y};
    const PixelView* target = DrawingTarget();
    if (!target) return;
    if (Pen.Width <= 1) {
        DrawThinLine(*target, from.X, from.Y, X, Y, Packed(Pen.Color));
        return;
    }
    if (FPenShape.Width() != std::min(Pen.Width, PenShape::kMaxWidth)) FPenShape = PenShape(Pen.Width);
    DrawWideLine(*target, from.X, from.Y, X, Y, FPenShape, Packed(Pen.Color));
}

void Canvas::FillRect(const TRect& Rect) {
    const PixelView* target = DrawingTarget();
    if (!target || Brush.Style == bsClear) return;
    FillPixels(*target, Rect, Packed(Brush.Color));
}

void Canvas::FloodFill(int X, int Y, uint32_t Color, TFillStyle FillStyle) {
    const PixelView* target = DrawingTarget();
    if (!target || Brush.Style == bsClear) return;
    const FloodFillRule rule{Packed(Color), FillStyle == fsBorder};
    FloodFillView(*target, X, Y, rule, Packed(Brush.Color), FFillScratch);
}

uint32_t Canvas::Pixels(int X, int Y) {
    const PixelView* target = DrawingTarget();
    if (!target || !target->Contains(X, Y)) return kInvalidColor;
    return UnpackColor(target->Format, target->Read(X, Y));
}

void Canvas::SetPixels(int X, int Y, uint32_t Color) {
    const PixelView* target = DrawingTarget();
    if (!target || !target->Contains(X, Y)) return;
    target->Write(X, Y, Packed(Color));
}

void Canvas::TextOut(int X, int Y, const std::string& Text) {
    const PixelView* target = DrawingTarget();
    if (!target) return;
    RenderText(*target, X, Y, Text, Font, Brush.Style == bsSolid, Brush.Color);
}

void Canvas::Draw(int X, int Y, const PixelView& Source) {
    const PixelView* target = DrawingTarget();
    if (!target) return;
    CopyPixels(*target, X, Y, Source, ViewBounds(Source));
}

void Canvas::StretchDraw(const TRect& Rect, const PixelView& Source) {
    const PixelView* target = DrawingTarget();
    if (!target) return;
    StretchPixels(*target, Rect, Source, ViewBounds(Source));
}

const PixelView* Canvas::DrawingTarget() {
    RequireTarget();
    return FTarget.Empty() ? nullptr : &FTarget;
}
