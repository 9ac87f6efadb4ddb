// Owned pixel memory: the stand-in for a display surface. A buffer holds rows
// of 16-bit (5-6-5 or 5-5-5), 24-bit or 32-bit pixels, fills and copies them
// (plain and stretching, with a source colour key), carries its own colour key
// and can be lost and restored like a surface of a full-screen display.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/pixel_copy.h"
#include "platform/pixel_view.h"
#include "platform/rect.h"

class PixelBuffer {
public:
    // The largest buffer made: a side of 16384 pixels and 256 MiB in all.
    static constexpr int kMaxSide = 16384;
    static constexpr int64_t kMaxBytes = int64_t(256) << 20;

    PixelBuffer() = default;
    PixelBuffer(const PixelBuffer&) = delete;
    PixelBuffer& operator=(const PixelBuffer&) = delete;

    // Makes Width by Height pixels of Format, all zero, top row first. Returns
    // false and leaves the buffer empty when a side is not positive or the
    // size is beyond the limits above. The colour key and flags are kept.
    bool Create(int Width, int Height, PixelFormat Format);
    // Frees the pixels; the buffer becomes empty.
    void Release();

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    PixelFormat Format() const { return FFormat; }
    int BitCount() const { return BitsPerPixel(FFormat); }
    bool Empty() const { return FPixels == nullptr; }
    // The pixel rows (an empty view when there are none).
    PixelView View() const;

    // Sets every pixel to the raw value Pixel. False when lost or empty. The
    // pixels are written when they are next looked at (View) or partly drawn
    // over; a plain copy that covers the whole buffer makes writing them moot
    // (a frame cleared and then covered by its background costs one pass).
    bool Fill(uint32_t Pixel);
    // Sets the pixels of Area (clipped) to the raw value Pixel. False when lost or empty.
    bool FillRect(const TRect& Area, uint32_t Pixel);
    // Copies SourceRect of Source to (X, Y) one to one, both clipped, skipping
    // source pixels equal to Key. False when either buffer is lost or empty.
    bool Copy(int X, int Y, const PixelBuffer& Source, const TRect& SourceRect, SourceColorKey Key);
    // Scales SourceRect of Source into DestRect (nearest sample, clipped to this
    // buffer), skipping source pixels equal to Key. False when either buffer is
    // lost or empty; true (nothing drawn) for empty rectangles.
    bool StretchCopy(const TRect& DestRect, const PixelBuffer& Source, const TRect& SourceRect,
                     SourceColorKey Key);

    // The raw value other copies treat as transparent when they ask for this
    // buffer's key (none until set).
    SourceColorKey ColorKey;
    // Asked to live in system memory rather than video memory; it changes
    // nothing here but is reported back like the platform would.
    bool SystemMemory = false;

    // True while the buffer is lost: drawing into or from it fails.
    bool Lost() const { return FLost; }
    // Marks the buffer lost or not (what taking the screen away does; a test hook).
    void SetLost(bool Value) { FLost = Value; }
    // Makes a lost buffer usable again (its pixels are then undefined). Fails
    // while restoring is blocked.
    bool Restore();
    // Blocks or allows Restore, as while another program holds the screen.
    void SetRestoreBlocked(bool Value) { FRestoreBlocked = Value; }

private:
    bool Usable() const { return !FLost && FPixels != nullptr; }
    bool CoveredBy(int X, int Y, const PixelBuffer& Source, const TRect& SourceRect) const;
    void WritePendingFill() const;

    std::unique_ptr<uint8_t[]> FPixels;
    int FWidth = 0;
    int FHeight = 0;
    PixelFormat FFormat = PixelFormat::Rgb565;
    bool FLost = false;
    bool FRestoreBlocked = false;
    mutable std::optional<uint32_t> FPendingFill; // a fill not yet written
};
