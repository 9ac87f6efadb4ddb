// Frames shown on an SDL window's own pixels, with no renderer in between: for
// machines that render in software anyway (no graphics card, a software
// OpenGL), where a renderer would copy each frame two or three times. Each
// 5-6-5 frame is widened to the window's 32 bits (and scaled, nearest pixel,
// aspect kept) straight into the window's surface in one pass, and only the
// rows that changed since the frame before (scaled up, only their blocks that
// changed) are written and shown.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "platform/pixel_copy.h"
#include "platform/pixel_view.h"
#include "platform/rect.h"

struct SDL_Window;

class SdlWindowSurface {
public:
    // Takes Window's surface (its pixels kept in memory by SDL and the window
    // system, not made through OpenGL). Empty() when the window has none, or
    // none in a 32-bit format this class writes.
    explicit SdlWindowSurface(SDL_Window* Window);

    bool Empty() const { return !FOrder; }
    // Shows Frame scaled into Target of a logical screen of ScreenWidth by
    // ScreenHeight pixels that fills the window as far as its aspect allows,
    // black around it. False when the window's surface is gone or no longer
    // 32-bit; nothing is shown then.
    bool Present(const PixelView& Frame, const TRect& Target, int ScreenWidth, int ScreenHeight);

private:
    // Where a frame lands in the window's pixels.
    struct Placement {
        TRect Picture;       // where the logical screen lands
        TRect Frame;         // where the frame lands
        int WindowWidth = 0; // the window's size it was worked out for
        int WindowHeight = 0;
        const void* Pixels = nullptr; // the surface's pixels it was painted into
        int FrameWidth = 0;           // and the frames it was painted with
        int FrameHeight = 0;
        PixelFormat FrameFormat = PixelFormat::Rgb565;
        bool operator==(const Placement&) const = default;
    };

    static Placement Place(const TRect& Target, int ScreenWidth, int ScreenHeight, int Width, int Height);
    TRect WriteFrame(const PixelView& Out, const PixelView& Frame, bool Whole);
    void WriteChangedRuns(uint8_t* Out, const PixelView& Frame, int Source, bool Whole);
    std::pair<int, int> WriteRun(uint8_t* Out, const PixelView& Frame, int Source, int First, int Past);
    void PrepareColumns(int FrameWidth, int Width);

    SDL_Window* FWindow;
    std::optional<WideOrder> FOrder;
    Placement FLast;                        // the placement the bars were last painted for
    std::vector<int> FColumns;              // the frame column under every window column (none when unscaled)
    std::vector<int> FColumnStart;          // the first window column of every frame column, and of the end
    std::pair<int, int> FColumnsFor;        // the frame and window widths the columns were worked out for
    std::vector<uint8_t> FRow;              // one frame row widened, when columns are picked from it
    std::vector<uint8_t> FPrevious;         // the frame shown last, to find what changed
    std::vector<std::pair<int, int>> FRuns; // the window columns written in the last frame row
};
