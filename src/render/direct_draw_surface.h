// A surface of the display (TDirectDrawSurface): pixel memory in the display's
// format with a colour key, fills, plain and stretching copies from other
// surfaces, a lost/restore state and a drawing canvas on it
// (TDirectDrawSurfaceCanvas). Failed calls are recorded, never raised.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/canvas.h"
#include "platform/pixel_buffer.h"

class TDirectDrawSurface;

// The canvas of a surface. It takes hold of the surface's pixels at the first
// drawing call (the platform's device context) and lets go of them on Release;
// pen, brush and font stay. A lost surface gives it nothing to draw on.
class TDirectDrawSurfaceCanvas : public Canvas {
public:
    explicit TDirectDrawSurfaceCanvas(TDirectDrawSurface& Surface) : FSurface(Surface) {}
    ~TDirectDrawSurfaceCanvas() override { Release(); }

    // Gives the surface's pixels back; the next drawing call takes them again.
    void Release() { Detach(); }

protected:
    void RequireTarget() override;

private:
    TDirectDrawSurface& FSurface;
};

// What the last call on a surface came to.
enum class DXResult : uint8_t {
    Ok,
    SurfaceLost, // this surface or the source was lost
    NoSurface,   // no pixels were made (or the source has none)
};

class TDirectDrawSurface {
public:
    TDirectDrawSurface() = default;
    ~TDirectDrawSurface();
    TDirectDrawSurface(const TDirectDrawSurface&) = delete;
    TDirectDrawSurface& operator=(const TDirectDrawSurface&) = delete;

    // Makes Width x Height pixels of Format, all 0, in system memory when
    // asked. False (and no pixels) when the platform refuses the size.
    bool CreateSurface(int Width, int Height, PixelFormat Format, bool InSystemMemory);
    // Makes the visible screen's surface: a size, a format and a lost state,
    // but no pixel memory of its own (the presenter holds the screen).
    void CreatePrimary(int Width, int Height, PixelFormat Format);

    int Width() const { return FScreen ? FScreen->Width : FBuffer.Width(); }
    int Height() const { return FScreen ? FScreen->Height : FBuffer.Height(); }
    PixelFormat Format() const { return FScreen ? FScreen->Format : FBuffer.Format(); }
    int BitCount() const { return BitsPerPixel(Format()); }
    // True when the surface landed in system memory.
    bool SystemMemory() const { return FBuffer.SystemMemory; }
    // The pixels (a test hook too: SetLost, SetRestoreBlocked).
    PixelBuffer& Buffer() { return FBuffer; }
    PixelView View() const { return FBuffer.View(); }

    // The raw value that copies from this surface with Transparent skip (0 until set).
    void SetColorKey(uint32_t Pixel) { FBuffer.ColorKey = Pixel; }
    uint32_t ColorKey() const { return FBuffer.ColorKey.value_or(0); }
    // The raw value Color ($00BBGGRR) takes when drawn on this surface: 16-bit
    // formats keep the high bits of each channel.
    uint32_t ColorMatch(uint32_t Color) const { return PackColor(Format(), Color); }

    // The canvas on this surface, made on first use.
    TDirectDrawSurfaceCanvas& Canvas();

    // Sets every pixel to the raw value Pixel.
    bool Fill(uint32_t Pixel);
    // Sets the pixels of DestRect (clipped) to the raw value Pixel.
    bool FillRect(const TRect& DestRect, uint32_t Pixel);
    // Copies SrcRect of Source with its top-left corner to (X, Y), one to one,
    // both rectangles clipped together; with Transparent, pixels equal to the
    // source's colour key are skipped.
    bool Draw(int X, int Y, const TRect& SrcRect, const TDirectDrawSurface& Source, bool Transparent);
    // Scales SrcRect of Source into DestRect (nearest sample, clipped to this
    // surface); with Transparent, pixels equal to the source's colour key are skipped.
    bool StretchDraw(const TRect& DestRect, const TRect& SrcRect, const TDirectDrawSurface& Source,
                     bool Transparent);

    bool IsLost() const { return FBuffer.Lost(); }
    // Makes a lost surface usable again; false while that is not possible.
    bool Restore() { return Record(FBuffer.Restore() ? DXResult::Ok : DXResult::SurfaceLost); }
    DXResult LastResult() const { return FLastResult; }

private:
    void WriteFillUnderCanvas();
    bool Record(DXResult Result);
    bool Record(bool Done, const TDirectDrawSurface* Source);
    SourceColorKey KeyOf(const TDirectDrawSurface& Source, bool Transparent) const;

    struct ScreenShape {
        int Width, Height;
        PixelFormat Format;
    };

    PixelBuffer FBuffer;
    std::optional<ScreenShape> FScreen; // set for the primary surface
    std::unique_ptr<TDirectDrawSurfaceCanvas> FCanvas;
    DXResult FLastResult = DXResult::Ok;
};
