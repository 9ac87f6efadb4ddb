#include "platform/pixel_buffer.h"

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
    return true;
}

void PixelBuffer::Release() {
    FPixels.reset();
    FWidth = 0;
    FHeight = 0;
}

PixelView PixelBuffer::View() const {
    if (!FPixels) return PixelView{nullptr, 0, 0, 0, FFormat};
    return PixelView{FPixels.get(), FWidth, FHeight, ptrdiff_t(FWidth) * BytesPerPixel(FFormat), FFormat};
}

bool PixelBuffer::Fill(uint32_t Pixel) {
    return FillRect(Rect(0, 0, FWidth, FHeight), Pixel);
}

bool PixelBuffer::FillRect(const TRect& Area, uint32_t Pixel) {
    if (!Usable()) return false;
    FillPixels(View(), Area, Pixel);
    return true;
}

bool PixelBuffer::Copy(int X, int Y, const PixelBuffer& Source, const TRect& SourceRect, SourceColorKey Key) {
    if (!Usable() || !Source.Usable()) return false;
    CopyPixels(View(), X, Y, Source.View(), SourceRect, Key);
    return true;
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
    return true;
}
