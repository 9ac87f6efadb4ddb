#include "render/direct_draw_surface.h"

void TDirectDrawSurfaceCanvas::RequireTarget() {
    if (FSurface.IsLost()) {
        Detach();
    } else if (Target().Empty()) {
        SetTarget(FSurface.View());
    }
}

TDirectDrawSurface::~TDirectDrawSurface() = default;

bool TDirectDrawSurface::CreateSurface(int Width, int Height, PixelFormat Format, bool InSystemMemory) {
    if (FCanvas) FCanvas->Release(); // its view of the old pixels goes stale
    FScreen.reset();
    FBuffer.SystemMemory = InSystemMemory;
    return Record(FBuffer.Create(Width, Height, Format) ? DXResult::Ok : DXResult::NoSurface);
}

void TDirectDrawSurface::CreatePrimary(int Width, int Height, PixelFormat Format) {
    if (FCanvas) FCanvas->Release();
    FBuffer.Release();
    FScreen = ScreenShape{Width, Height, Format};
    Record(DXResult::Ok);
}

// A canvas holding the pixels draws straight into them, so a fill the buffer
// put off is written now, before the canvas draws over it.
void TDirectDrawSurface::WriteFillUnderCanvas() {
    if (FCanvas && !FCanvas->Target().Empty()) FBuffer.View();
}

TDirectDrawSurfaceCanvas& TDirectDrawSurface::Canvas() {
    if (!FCanvas) FCanvas = std::make_unique<TDirectDrawSurfaceCanvas>(*this);
    return *FCanvas;
}

bool TDirectDrawSurface::Fill(uint32_t Pixel) {
    const bool filled = FBuffer.Fill(Pixel);
    WriteFillUnderCanvas();
    return Record(filled, nullptr);
}

bool TDirectDrawSurface::FillRect(const TRect& DestRect, uint32_t Pixel) {
    const bool filled = FBuffer.FillRect(DestRect, Pixel);
    WriteFillUnderCanvas();
    return Record(filled, nullptr);
}

bool TDirectDrawSurface::Draw(int X, int Y, const TRect& SrcRect, const TDirectDrawSurface& Source,
                              bool Transparent) {
    return Record(FBuffer.Copy(X, Y, Source.FBuffer, SrcRect, KeyOf(Source, Transparent)), &Source);
}

bool TDirectDrawSurface::StretchDraw(const TRect& DestRect, const TRect& SrcRect,
                                     const TDirectDrawSurface& Source, bool Transparent) {
    return Record(FBuffer.StretchCopy(DestRect, Source.FBuffer, SrcRect, KeyOf(Source, Transparent)),
                  &Source);
}

bool TDirectDrawSurface::Record(DXResult Result) {
    FLastResult = Result;
    return Result == DXResult::Ok;
}

// Why a buffer call failed: a lost surface, or one without pixels.
bool TDirectDrawSurface::Record(bool Done, const TDirectDrawSurface* Source) {
    if (Done) return Record(DXResult::Ok);
    const bool lost = FBuffer.Lost() || (Source && Source->FBuffer.Lost());
    return Record(lost ? DXResult::SurfaceLost : DXResult::NoSurface);
}

SourceColorKey TDirectDrawSurface::KeyOf(const TDirectDrawSurface& Source, bool Transparent) const {
    if (!Transparent) return std::nullopt;
    return Source.ColorKey();
}
