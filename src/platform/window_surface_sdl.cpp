#include "platform/window_surface_sdl.h"

#include <SDL.h>

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

// Row Y of Frame as 32-bit pixels in Order at Out: 5-6-5 eight pixels at a
// time, other formats pixel by pixel.
void WidenRow(uint8_t* Out, const PixelView& Frame, int Y, WideOrder Order) {
    if (Frame.Format == PixelFormat::Rgb565) return WidenRgb565Row(Out, Frame.Row(Y), Frame.Width, Order);
    for (int x = 0; x < Frame.Width; ++x) {
        const uint32_t color = UnpackColor(Frame.Format, Frame.Read(x, Y)); // $00BBGGRR
        const uint32_t wide = Order == WideOrder::RedFirst ? color : PackColor(PixelFormat::Bgrx32, color);
        std::memcpy(Out + size_t(x) * 4, &wide, 4);
    }
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
    // or the surface is new; otherwise only the frame's rows that changed.
    const bool moved = !(place == FLast);
    if (moved) FillPixels(window, ViewBounds(window), 0);
    FLast = place;
    std::pair<int, int> rows{0, 0};
    const TRect area = Intersect(place.Frame, ViewBounds(window));
    if (!area.Empty() && area == place.Frame) {
        const PixelView out{window.Row(area.Top) + ptrdiff_t(area.Left) * 4, int(area.Width()),
                            int(area.Height()), window.Stride, PixelFormat::Bgrx32};
        rows = WriteFrame(out, Frame, moved);
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    if (moved) return SDL_UpdateWindowSurface(FWindow) == 0;
    if (rows.first == rows.second) return true;
    const SDL_Rect band{area.Left, area.Top + rows.first, int(area.Width()), rows.second - rows.first};
    return SDL_UpdateWindowSurfaceRects(FWindow, &band, 1) == 0;
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

// Writes Frame scaled to Out (nearest pixel): each frame row is widened once,
// and a window row that shows the same frame row as the one above is copied.
// Unless Whole, frame rows equal to those of the frame before are skipped.
// Returns the band of Out's rows [first, second) that changed.
std::pair<int, int> SdlWindowSurface::WriteFrame(const PixelView& Out, const PixelView& Frame, bool Whole) {
    const bool sameWidth = Out.Width == Frame.Width;
    if (!sameWidth) PrepareColumns(Frame.Width, Out.Width);
    const size_t frameRowBytes = size_t(Frame.Width) * BytesPerPixel(Frame.Format);
    FPrevious.resize(frameRowBytes * size_t(Frame.Height));
    std::pair<int, int> band{Out.Height, 0};
    int last = -1;
    bool changed = false;
    for (int y = 0; y < Out.Height; ++y) {
        uint8_t* row = Out.Row(y);
        const int source = CentreSample(y, Out.Height, Frame.Height);
        if (source == last) {
            if (changed) std::memcpy(row, Out.Row(y - 1), size_t(Out.Width) * 4);
        } else {
            last = source;
            uint8_t* previous = FPrevious.data() + frameRowBytes * size_t(source);
            changed = Whole || std::memcmp(previous, Frame.Row(source), frameRowBytes) != 0;
            if (!changed) continue;
            std::memcpy(previous, Frame.Row(source), frameRowBytes);
            WriteRow(row, Out.Width, Frame, source, sameWidth);
        }
        if (changed) band = {std::min(band.first, y), y + 1};
    }
    return band.first < band.second ? band : std::pair<int, int>{0, 0};
}

// Widens frame row Source into the window row Out of Width pixels.
void SdlWindowSurface::WriteRow(uint8_t* Out, int Width, const PixelView& Frame, int Source, bool SameWidth) {
    if (SameWidth) return WidenRow(Out, Frame, Source, *FOrder);
    WidenRow(FRow.data(), Frame, Source, *FOrder);
    const auto* wide = reinterpret_cast<const uint32_t*>(FRow.data());
    auto* out = reinterpret_cast<uint32_t*>(Out);
    for (int x = 0; x < Width; ++x)
        out[x] = wide[FColumns[size_t(x)]];
}

// The frame column under every window column, and room for one widened row.
void SdlWindowSurface::PrepareColumns(int FrameWidth, int Width) {
    FRow.resize(size_t(FrameWidth) * 4);
    if (FColumns.size() == size_t(Width) && FColumnsFor == FrameWidth) return;
    FColumns.resize(size_t(Width));
    for (int x = 0; x < Width; ++x)
        FColumns[size_t(x)] = CentreSample(x, Width, FrameWidth);
    FColumnsFor = FrameWidth;
}
