#include "platform/window_surface_sdl.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace {

// The byte order of a window surface format this class writes: 32 bits with
// an unused fourth byte (a used alpha byte could make the window see-through).
std::optional<WideOrder> OrderOf(const SDL_Surface* Surface) {
    if (!Surface) return std::nullopt;
    switch (Surface->format->format) {
    case SDL_PIXELFORMAT_RGB888:
        return WideOrder::BlueFirst;
    case SDL_PIXELFORMAT_BGR888:
        return WideOrder::RedFirst;
    default:
        return std::nullopt;
    }
}

// Count pixels of Frame's row Y from First on as 32-bit pixels in Order at
// Out: 5-6-5 eight pixels at a time, other formats pixel by pixel.
void WidenPixels(uint8_t* Out, const PixelView& Frame, int Y, int First, int Count, WideOrder Order) {
    if (Frame.Format == PixelFormat::Rgb565)
        return WidenRgb565Row(Out, Frame.Row(Y) + size_t(First) * 2, Count, Order);
    for (int x = 0; x < Count; ++x) {
        const uint32_t color = UnpackColor(Frame.Format, Frame.Read(First + x, Y)); // $00BBGGRR
        const uint32_t wide = Order == WideOrder::RedFirst ? color : PackColor(PixelFormat::Bgrx32, color);
        std::memcpy(Out + size_t(x) * 4, &wide, 4);
    }
}

// Rows shown scaled up are compared with the frame before in blocks of this
// many bytes: a changed block is widened and written whole, and most of a
// row's blocks (the sky, the background) stay as they were.
constexpr size_t kBlockBytes = 64;

bool SameBytes(const uint8_t* A, const uint8_t* B, size_t Count) {
    if (Count != kBlockBytes) return std::memcmp(A, B, Count) == 0;
    uint64_t a[kBlockBytes / 8], b[kBlockBytes / 8];
    std::memcpy(a, A, kBlockBytes);
    std::memcpy(b, B, kBlockBytes);
    uint64_t differ = 0;
    for (size_t i = 0; i < kBlockBytes / 8; ++i)
        differ |= a[i] ^ b[i];
    return differ == 0;
}

// The source index under the centre of destination index I of Count, for a
// source of Size: floor((2I + 1) * Size / (2 * Count)).
int CentreSample(int I, int Count, int Size) {
    return int((2 * int64_t(I) + 1) * Size / (2 * int64_t(Count)));
}

} // namespace

SdlWindowSurface::SdlWindowSurface(SDL_Window* Window) : FWindow(Window) {
    FOrder = OrderOf(SDL_GetWindowSurface(Window));
}

bool SdlWindowSurface::Present(const PixelView& Frame, const TRect& Target, int ScreenWidth,
                               int ScreenHeight) {
    // SDL makes the surface anew when the window's size changes.
    SDL_Surface* surface = SDL_GetWindowSurface(FWindow);
    if (!FOrder || OrderOf(surface) != FOrder) return false;
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return false;
    const PixelView window{static_cast<uint8_t*>(surface->pixels), surface->w, surface->h, surface->pitch,
                           PixelFormat::Bgrx32};
    Placement place = Place(Target, ScreenWidth, ScreenHeight, surface->w, surface->h);
    place.Pixels = surface->pixels;
    place.FrameWidth = Frame.Width;
    place.FrameHeight = Frame.Height;
    place.FrameFormat = Frame.Format;
    // The bars are painted, and the whole frame written, when the picture moves
    // or the surface is new; otherwise only what changed in the frame.
    const bool moved = !(place == FLast);
    if (moved) FillPixels(window, ViewBounds(window), 0);
    FLast = place;
    TRect changed;
    const TRect area = Intersect(place.Frame, ViewBounds(window));
    if (!area.Empty() && area == place.Frame) {
        const PixelView out{window.Row(area.Top) + ptrdiff_t(area.Left) * 4, int(area.Width()),
                            int(area.Height()), window.Stride, PixelFormat::Bgrx32};
        changed = WriteFrame(out, Frame, moved);
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    if (moved) return SDL_UpdateWindowSurface(FWindow) == 0;
    if (changed.Empty()) return true;
    const SDL_Rect part{area.Left + changed.Left, area.Top + changed.Top, int(changed.Width()),
                        int(changed.Height())};
    return SDL_UpdateWindowSurfaceRects(FWindow, &part, 1) == 0;
}

// The logical screen fitted into Width x Height with its aspect kept and
// centred, and Target's place in it.
SdlWindowSurface::Placement SdlWindowSurface::Place(const TRect& Target, int ScreenWidth, int ScreenHeight,
                                                    int Width, int Height) {
    int64_t w = Width, h = Height;
    if (int64_t(Width) * ScreenHeight > int64_t(Height) * ScreenWidth)
        w = int64_t(Height) * ScreenWidth / ScreenHeight;
    else
        h = int64_t(Width) * ScreenHeight / ScreenWidth;
    const int64_t left = (Width - w) / 2, top = (Height - h) / 2;
    auto x = [&](int64_t X) { return int(left + X * w / ScreenWidth); };
    auto y = [&](int64_t Y) { return int(top + Y * h / ScreenHeight); };
    Placement p;
    p.Picture = Rect(int(left), int(top), int(left + w), int(top + h));
    p.Frame = Rect(x(Target.Left), y(Target.Top), x(Target.Right), y(Target.Bottom));
    p.WindowWidth = Width;
    p.WindowHeight = Height;
    return p;
}

// Writes Frame scaled to Out (nearest pixel). Unless Whole, only the runs of
// blocks that differ from the frame before are widened and written; a window
// row that shows the same frame row as the one above copies those runs from
// it. Returns the part of Out that changed.
TRect SdlWindowSurface::WriteFrame(const PixelView& Out, const PixelView& Frame, bool Whole) {
    PrepareColumns(Frame.Width, Out.Width);
    FPrevious.resize(size_t(Frame.Width) * BytesPerPixel(Frame.Format) * size_t(Frame.Height));
    TRect changed;
    int last = -1;
    for (int y = 0; y < Out.Height; ++y) {
        const int source = CentreSample(y, Out.Height, Frame.Height);
        if (source == last) {
            for (const auto& [left, right] : FRuns)
                std::memcpy(Out.Row(y) + size_t(left) * 4, Out.Row(y - 1) + size_t(left) * 4,
                            size_t(right - left) * 4);
        } else {
            last = source;
            WriteChangedRuns(Out.Row(y), Frame, source, Whole);
        }
        for (const auto& [left, right] : FRuns)
            changed = Union(changed, Rect(left, y, right, y + 1));
    }
    return changed;
}

// Finds the runs of blocks of frame row Source that differ from the frame
// before (all of it when Whole), keeps them for the next frame, and writes
// them into the window row Out; FRuns holds the window columns written.
void SdlWindowSurface::WriteChangedRuns(uint8_t* Out, const PixelView& Frame, int Source, bool Whole) {
    const size_t pixelBytes = BytesPerPixel(Frame.Format), bytes = size_t(Frame.Width) * pixelBytes;
    const uint8_t* row = Frame.Row(Source);
    uint8_t* previous = FPrevious.data() + bytes * size_t(Source);
    FRuns.clear();
    // A row as it was passes in one fast comparison.
    if (!Whole && std::memcmp(previous, row, bytes) == 0) return;
    // Block by block only where the window is wider than the frame: there each
    // frame byte costs several in the window, and writing less pays for
    // comparing more. Otherwise a changed row is written whole.
    const bool byBlocks = !Whole && FColumns.size() > size_t(Frame.Width);
    auto same = [&](size_t At) {
        return byBlocks && SameBytes(previous + At, row + At, std::min(kBlockBytes, bytes - At));
    };
    for (size_t at = 0; at < bytes;) {
        if (same(at)) {
            at += kBlockBytes;
            continue;
        }
        size_t end = at + kBlockBytes;
        while (end < bytes && !same(end))
            end += kBlockBytes;
        end = std::min(end, bytes);
        std::memcpy(previous + at, row + at, end - at);
        const int first = int(at / pixelBytes), past = int((end + pixelBytes - 1) / pixelBytes);
        FRuns.push_back(WriteRun(Out, Frame, Source, first, past));
        at = end;
    }
}

// Widens the frame pixels [First, Past) of row Source into the window row
// Out; returns the window columns they cover.
std::pair<int, int> SdlWindowSurface::WriteRun(uint8_t* Out, const PixelView& Frame, int Source, int First,
                                               int Past) {
    const int left = FColumnStart[size_t(First)], right = FColumnStart[size_t(Past)];
    if (FColumns.empty()) {
        WidenPixels(Out + size_t(First) * 4, Frame, Source, First, Past - First, *FOrder);
        return {left, right};
    }
    WidenPixels(FRow.data() + size_t(First) * 4, Frame, Source, First, Past - First, *FOrder);
    const auto* wide = reinterpret_cast<const uint32_t*>(FRow.data());
    auto* out = reinterpret_cast<uint32_t*>(Out);
    for (int x = left; x < right; ++x)
        out[x] = wide[FColumns[size_t(x)]];
    return {left, right};
}

// For a window row Width wide showing a frame row FrameWidth wide: the first
// window column of every frame column (and of the end), and, when they
// differ in width, the frame column under every window column and room for
// one widened row.
void SdlWindowSurface::PrepareColumns(int FrameWidth, int Width) {
    if (FColumnStart.size() == size_t(FrameWidth) + 1 && FColumnsFor == std::pair{FrameWidth, Width}) return;
    FColumnsFor = {FrameWidth, Width};
    FColumns.clear();
    if (Width != FrameWidth)
        for (int x = 0; x < Width; ++x)
            FColumns.push_back(CentreSample(x, Width, FrameWidth));
    FRow.resize(FColumns.empty() ? 0 : size_t(FrameWidth) * 4);
    FColumnStart.assign(size_t(FrameWidth) + 1, Width);
    for (int x = Width - 1; x >= 0; --x)
        FColumnStart[size_t(FColumns.empty() ? x : FColumns[size_t(x)])] = x;
    for (int c = FrameWidth - 1; c >= 0; --c) // frame columns no window column shows
        FColumnStart[size_t(c)] = std::min(FColumnStart[size_t(c)], FColumnStart[size_t(c) + 1]);
}
