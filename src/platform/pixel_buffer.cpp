#include "platform/pixel_buffer.h"

#include <algorithm>
#include <new>

bool PixelBuffer::Create(int Width, int Height, PixelFormat Format) {
    Release();
    if (Width <= 0 || Height <= 0 || Width > kMaxSide || Height > kMaxSide) return false;
    const int64_t bytes = int64_t(Width) * Height * BytesPerPixel(Format);
    if (bytes > kMaxBytes) return false;
    FPixels.reset(new (std::nothrow) uint8_t[size_t(bytes)]());
    if (!FPixels) return false;
    FWidth = Width;
    FHeight = Height;
    FFormat = Format;
    FLost = false;
    FPendingFill.reset();
    return true;
}

void PixelBuffer::Release() {
    FPixels.reset();
    FPendingFill.reset();
    FWidth = 0;
    FHeight = 0;
}

PixelView PixelBuffer::View() const {
    if (!FPixels) return PixelView{nullptr, 0, 0, 0, FFormat};
    WritePendingFill();
    return PixelView{FPixels.get(), FWidth, FHeight, ptrdiff_t(FWidth) * BytesPerPixel(FFormat), FFormat};
}

bool PixelBuffer::Fill(uint32_t Pixel) {
    if (!Usable()) return false;
    FPendingFill = Pixel;
    return true;
}

bool PixelBuffer::FillRect(const TRect& Area, uint32_t Pixel) {
    if (!Usable()) return false;
    if (Intersect(Area, Rect(0, 0, FWidth, FHeight)) == Rect(0, 0, FWidth, FHeight)) return Fill(Pixel);
    FillPixels(View(), Area, Pixel);
    return true;
}

bool PixelBuffer::Copy(int X, int Y, const PixelBuffer& Source, const TRect& SourceRect, SourceColorKey Key) {
    if (!Usable() || !Source.Usable()) return false;
    if (!Key && CoveredBy(X, Y, Source, SourceRect)) FPendingFill.reset();
    CopyPixels(View(), X, Y, Source.View(), SourceRect, Key);
    return true;
}

// True when a plain copy of SourceRect of another buffer to (X, Y) writes every pixel.
bool PixelBuffer::CoveredBy(int X, int Y, const PixelBuffer& Source, const TRect& SourceRect) const {
    return &Source != this && X == 0 && Y == 0 && SourceRect.Left == 0 && SourceRect.Top == 0 &&
           std::min<int64_t>(SourceRect.Right, Source.FWidth) >= FWidth &&
           std::min<int64_t>(SourceRect.Bottom, Source.FHeight) >= FHeight;
}

// Writes a pending fill into the pixels (their content does not change for
// anyone looking, so this is const).
void PixelBuffer::WritePendingFill() const {
    if (!FPendingFill) return;
    const uint32_t pixel = *FPendingFill;
    FPendingFill.reset();
    const PixelView all{FPixels.get(), FWidth, FHeight, ptrdiff_t(FWidth) * BytesPerPixel(FFormat), FFormat};
    FillPixels(all, Rect(0, 0, FWidth, FHeight), pixel);
}

bool PixelBuffer::StretchCopy(const TRect& DestRect, const PixelBuffer& Source, const TRect& SourceRect,
                              SourceColorKey Key) {
    if (!Usable() || !Source.Usable()) return false;
    StretchPixels(View(), DestRect, Source.View(), SourceRect, Key);
    return true;
}

bool PixelBuffer::Restore() {
    if (FRestoreBlocked) return false;
    FLost = false;
    FPendingFill.reset(); // a restored buffer's pixels are undefined anyway
    return true;
}
