#include "platform/pixel_copy.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/pixel_access.h"
#include "platform/rasterizer_lanes.h"

namespace {

// Walks the source index for consecutive destination pixels of a stretch. The
// source pixel of destination pixel i is the one under its centre:
// floor((2i + 1) * SourceSize / (2 * DestSize)). The start is computed in 128
// bits (huge destination rectangles), then each step adds a fixed quotient and
// remainder, so the walk stays exact without a division per pixel.
class StretchWalk {
public:
    StretchWalk(int64_t DestSize, int64_t SourceSize, int64_t First) : FDen(2 * DestSize) {
        const __int128 numerator = (__int128(2) * First + 1) * SourceSize;
        FIndex = static_cast<int64_t>(numerator / FDen);
        FRemainder = static_cast<int64_t>(numerator % FDen);
        FIndexStep = 2 * SourceSize / FDen;
        FRemainderStep = 2 * SourceSize % FDen;
    }
    int64_t Index() const { return FIndex; }
    void Next() {
        FIndex += FIndexStep;
        FRemainder += FRemainderStep;
        if (FRemainder >= FDen) {
            FRemainder -= FDen;
            ++FIndex;
        }
    }

private:
    int64_t FDen;
    int64_t FIndex = 0, FRemainder = 0, FIndexStep = 0, FRemainderStep = 0;
};

// A clipped one-to-one copy: Width by Height pixels from (SourceX, SourceY) to (X, Y).
struct CopyPlan {
    int64_t X = 0, Y = 0, SourceX = 0, SourceY = 0, Width = 0, Height = 0;
};

CopyPlan PlanCopy(const PixelView& Target, int X, int Y, const PixelView& Source, const TRect& SourceRect) {
    CopyPlan p{X, Y, SourceRect.Left, SourceRect.Top, 0, 0};
    int64_t right = std::min<int64_t>(SourceRect.Right, Source.Width);
    int64_t bottom = std::min<int64_t>(SourceRect.Bottom, Source.Height);
    // Source edges outside the source move in, and the destination with them.
    if (p.SourceX < 0) p.X -= p.SourceX, p.SourceX = 0;
    if (p.SourceY < 0) p.Y -= p.SourceY, p.SourceY = 0;
    // Destination edges outside the target move in, and the source with them.
    if (p.X < 0) p.SourceX -= p.X, p.X = 0;
    if (p.Y < 0) p.SourceY -= p.Y, p.Y = 0;
    p.Width = std::min(right - p.SourceX, Target.Width - p.X);
    p.Height = std::min(bottom - p.SourceY, Target.Height - p.Y);
    return p;
}

// The lowest and one past the highest byte a block of rows touches.
std::pair<const uint8_t*, const uint8_t*> ByteSpan(const PixelView& View, int64_t X, int64_t Y, int64_t Width,
                                                   int64_t Height) {
    const int bpp = BytesPerPixel(View.Format);
    const uint8_t* first = View.Row(int(Y)) + X * bpp;
    const uint8_t* last = View.Row(int(Y + Height - 1)) + X * bpp;
    if (last < first) std::swap(first, last);
    return {first, last + Width * bpp};
}

bool Overlaps(const PixelView& Target, const PixelView& Source, const CopyPlan& p) {
    const auto t = ByteSpan(Target, p.X, p.Y, p.Width, p.Height);
    const auto s = ByteSpan(Source, p.SourceX, p.SourceY, p.Width, p.Height);
    return t.first < s.second && s.first < t.second;
}

// Writes Count pixels of a one- or two-byte repeating pattern the way memset
// does: sixteen bytes per store, the last store overlapping the one before it
// instead of finishing pixel by pixel. Bytes is even.
void FillBytes16(uint8_t* Row, size_t Bytes, uint16_t Pattern) {
    using Lanes = uint16_t __attribute__((vector_size(16)));
    const Lanes v = Lanes{} + Pattern;
    if (Bytes < sizeof v) {
        for (size_t i = 0; i + 2 <= Bytes; i += 2)
            std::memcpy(Row + i, &Pattern, 2);
        return;
    }
    size_t i = 0;
    for (; i + sizeof v <= Bytes; i += sizeof v)
        std::memcpy(Row + i, &v, sizeof v);
    if (i < Bytes) std::memcpy(Row + Bytes - sizeof v, &v, sizeof v);
}

template <PixelFormat F> void FillRow(uint8_t* Row, int Count, uint32_t Pixel) {
    constexpr int kBpp = PixelTraits<F>::kBytes;
    if constexpr (kBpp == 2) {
        // A pixel with equal bytes (black, white) is a plain byte fill.
        if ((Pixel & 0xFF) == ((Pixel >> 8) & 0xFF))
            std::memset(Row, int(Pixel & 0xFF), size_t(Count) * 2);
        else
            FillBytes16(Row, size_t(Count) * 2, uint16_t(Pixel));
        return;
    }
    if (Count <= 16) {
        for (int i = 0; i < Count; ++i)
            PixelTraits<F>::Store(Row + i * kBpp, Pixel);
        return;
    }
    PixelTraits<F>::Store(Row, Pixel);
    // Doubles the filled part with block copies: a handful of memcpy calls per row.
    const size_t total = size_t(Count) * kBpp;
    for (size_t filled = kBpp; filled < total;) {
        const size_t chunk = std::min(filled, total - filled);
        std::memcpy(Row + filled, Row, chunk);
        filled += chunk;
    }
}

// One 5-6-5 pixel widened to 32 bits in Order.
uint32_t WidenRgb565(uint32_t Pixel, WideOrder Order) {
    const uint32_t c = UnpackColor(PixelFormat::Rgb565, Pixel); // $00BBGGRR: bytes red, green, blue, 0
    return Order == WideOrder::RedFirst ? c : PackColor(PixelFormat::Bgrx32, c);
}

// Converts 32-bit pixels (bytes blue, green, red, unused) to 5-6-5 eight at a
// time, keeping each channel's high bits as PackColor does, and returns how
// many it converted: all but the last Count mod 8.
int64_t NarrowToRgb565(uint8_t* Target, const uint8_t* Source, int64_t Count) {
    using U32x4 = uint32_t __attribute__((vector_size(16)));
    using U16x8 = uint16_t __attribute__((vector_size(16)));
    int64_t i = 0;
    for (; i + 8 <= Count; i += 8) {
        U32x4 first, second;
        std::memcpy(&first, Source + i * 4, sizeof first);
        std::memcpy(&second, Source + i * 4 + 16, sizeof second);
        auto pack = [](U32x4 P) { return ((P >> 8) & 0xF800) | ((P >> 5) & 0x07E0) | ((P >> 3) & 0x001F); };
        // Each packed pixel sits in the low half of its 32-bit lane.
        const U16x8 low = U16x8(pack(first)), high = U16x8(pack(second));
        const U16x8 out = __builtin_shufflevector(low, high, 0, 2, 4, 6, 8, 10, 12, 14);
        std::memcpy(Target + i * 2, &out, sizeof out);
    }
    return i;
}

// Copies the 5-6-5 pixels other than Key eight at a time and returns how many
// it went through: all but the last Count mod 8. A group without the key (a
// background's every group) is stored whole; in others the key's lanes keep
// the target's pixel.
int64_t CopyKeyedRgb565(uint8_t* Target, const uint8_t* Source, int64_t Count, uint16_t Key) {
    using raster::U16x8;
    const U16x8 key = U16x8{} + Key;
    int64_t i = 0;
    for (; i + 8 <= Count; i += 8) {
        U16x8 source, target;
        std::memcpy(&source, Source + i * 2, sizeof source);
        const auto keyed = source == key;
        if (raster::AnySet(keyed)) {
            std::memcpy(&target, Target + i * 2, sizeof target);
            source = raster::Select(keyed, target, source);
        }
        std::memcpy(Target + i * 2, &source, sizeof source);
    }
    return i;
}

template <PixelFormat S, PixelFormat D>
void CopyRow(uint8_t* Target, const uint8_t* Source, int64_t Count, SourceColorKey Key) {
    using Src = PixelTraits<S>;
    using Dst = PixelTraits<D>;
    if constexpr (S == D) {
        if (!Key) {
            std::memcpy(Target, Source, size_t(Count) * Src::kBytes);
            return;
        }
    }
    if constexpr (S == PixelFormat::Rgb565 && D == PixelFormat::Rgb565) {
        const int64_t done = CopyKeyedRgb565(Target, Source, Count, uint16_t(*Key));
        Target += done * Dst::kBytes;
        Source += done * Src::kBytes;
        Count -= done;
    }
    if constexpr (S == PixelFormat::Rgb565 && D == PixelFormat::Bgrx32) {
        if (!Key) return WidenRgb565Row(Target, Source, int(Count), WideOrder::BlueFirst);
    }
    if constexpr (S == PixelFormat::Bgrx32 && D == PixelFormat::Rgb565) {
        if (!Key) {
            const int64_t done = NarrowToRgb565(Target, Source, Count);
            Target += done * Dst::kBytes;
            Source += done * Src::kBytes;
            Count -= done;
        }
    }
    for (int64_t i = 0; i < Count; ++i, Source += Src::kBytes, Target += Dst::kBytes) {
        if (Key && Src::Equals(Source, *Key)) continue;
        if constexpr (S == D) {
            Dst::Store(Target, Src::Load(Source));
        } else {
            Dst::Store(Target, PackColor(D, UnpackColor(S, Src::Load(Source))));
        }
    }
}

template <PixelFormat S, PixelFormat D>
void StretchRow(uint8_t* Target, const uint8_t* Source, int64_t Count, StretchWalk Column,
                SourceColorKey Key) {
    using Src = PixelTraits<S>;
    using Dst = PixelTraits<D>;
    for (int64_t i = 0; i < Count; ++i, Target += Dst::kBytes, Column.Next()) {
        const uint8_t* s = Source + Column.Index() * Src::kBytes;
        if (Key && Src::Equals(s, *Key)) continue;
        if constexpr (S == D) {
            Dst::Store(Target, Src::Load(s));
        } else {
            Dst::Store(Target, PackColor(D, UnpackColor(S, Src::Load(s))));
        }
    }
}

// Runs Body(FormatTag<S>, FormatTag<D>) for the two runtime formats.
template <typename Body> void WithFormats(PixelFormat Source, PixelFormat Target, Body&& Run) {
    WithFormat(Source, [&](auto s) { WithFormat(Target, [&](auto d) { Run(s, d); }); });
}

void CopyPlanned(const PixelView& Target, const PixelView& Source, const CopyPlan& p, SourceColorKey Key) {
    const int sourceBpp = BytesPerPixel(Source.Format), targetBpp = BytesPerPixel(Target.Format);
    WithFormats(Source.Format, Target.Format, [&](auto s, auto d) {
        for (int64_t row = 0; row < p.Height; ++row) {
            CopyRow<s(), d()>(Target.Row(int(p.Y + row)) + p.X * targetBpp,
                              Source.Row(int(p.SourceY + row)) + p.SourceX * sourceBpp, p.Width, Key);
        }
    });
}

} // namespace

void WidenRgb565Row(uint8_t* Target, const uint8_t* Source, int Count, WideOrder Order) {
    using U16x8 = uint16_t __attribute__((vector_size(16)));
    int i = 0;
    for (; i + 8 <= Count; i += 8) {
        U16x8 p;
        std::memcpy(&p, Source + i * 2, sizeof p);
        const U16x8 r = p >> 11, g = (p >> 5) & 63, b = p & 31;
        const U16x8 red = r << 3 | r >> 2, green = g << 2 | g >> 4, blue = b << 3 | b >> 2;
        // The first two bytes of each pixel, then the third and a 0: pairs of
        // 16-bit lanes that are one little-endian word each.
        const U16x8 first = Order == WideOrder::RedFirst ? (green << 8 | red) : (green << 8 | blue);
        const U16x8 third = Order == WideOrder::RedFirst ? blue : red;
        const U16x8 low = __builtin_shufflevector(first, third, 0, 8, 1, 9, 2, 10, 3, 11);
        const U16x8 high = __builtin_shufflevector(first, third, 4, 12, 5, 13, 6, 14, 7, 15);
        std::memcpy(Target + i * 4, &low, sizeof low);
        std::memcpy(Target + i * 4 + 16, &high, sizeof high);
    }
    for (; i < Count; ++i) {
        uint16_t p;
        std::memcpy(&p, Source + i * 2, 2);
        const uint32_t wide = WidenRgb565(p, Order);
        std::memcpy(Target + i * 4, &wide, 4);
    }
}

void FillPixelRow(uint8_t* Row, int Count, PixelFormat Format, uint32_t Pixel) {
    WithFormat(Format, [&](auto f) { FillRow<f()>(Row, Count, Pixel); });
}

void FillPixels(const PixelView& Target, const TRect& Area, uint32_t Pixel) {
    const TRect r = Intersect(Area, ViewBounds(Target));
    if (r.Empty() || Target.Empty()) return;
    const int bpp = BytesPerPixel(Target.Format);
    WithFormat(Target.Format, [&](auto f) {
        for (int y = r.Top; y < r.Bottom; ++y)
            FillRow<f()>(Target.Row(y) + r.Left * bpp, int(r.Width()), Pixel);
    });
}

void CopyPixels(const PixelView& Target, int X, int Y, const PixelView& Source, const TRect& SourceRect,
                SourceColorKey Key) {
    if (Target.Empty() || Source.Empty()) return;
    const CopyPlan p = PlanCopy(Target, X, Y, Source, SourceRect);
    if (p.Width <= 0 || p.Height <= 0) return;
    if (!Overlaps(Target, Source, p)) {
        CopyPlanned(Target, Source, p, Key);
        return;
    }
    // Source and target share bytes: take the source rows out first.
    const int bpp = BytesPerPixel(Source.Format);
    std::vector<uint8_t> copy(size_t(p.Width * p.Height * bpp));
    const PixelView block{copy.data(), int(p.Width), int(p.Height), ptrdiff_t(p.Width * bpp), Source.Format};
    CopyPlanned(block, Source, CopyPlan{0, 0, p.SourceX, p.SourceY, p.Width, p.Height}, std::nullopt);
    CopyPlanned(Target, block, CopyPlan{p.X, p.Y, 0, 0, p.Width, p.Height}, Key);
}

void StretchPixels(const PixelView& Target, const TRect& DestRect, const PixelView& Source,
                   const TRect& SourceRect, SourceColorKey Key) {
    // At the same size every pixel samples its own source pixel: a plain copy,
    // row by row rather than through the column walk.
    const bool inside = Intersect(SourceRect, ViewBounds(Source)) == SourceRect;
    if (inside && !SourceRect.Empty() && DestRect.Width() == SourceRect.Width() &&
        DestRect.Height() == SourceRect.Height())
        return CopyPixels(Target, DestRect.Left, DestRect.Top, Source, SourceRect, Key);
    const TRect source = Intersect(SourceRect, ViewBounds(Source));
    const TRect clip = Intersect(DestRect, ViewBounds(Target));
    if (DestRect.Empty() || source.Empty() || clip.Empty() || Target.Empty()) return;
    const int sourceBpp = BytesPerPixel(Source.Format), targetBpp = BytesPerPixel(Target.Format);
    WithFormats(Source.Format, Target.Format, [&](auto s, auto d) {
        StretchWalk row(DestRect.Height(), source.Height(), int64_t(clip.Top) - DestRect.Top);
        const StretchWalk firstColumn(DestRect.Width(), source.Width(), int64_t(clip.Left) - DestRect.Left);
        for (int y = clip.Top; y < clip.Bottom; ++y, row.Next()) {
            StretchRow<s(), d()>(Target.Row(y) + int64_t(clip.Left) * targetBpp,
                                 Source.Row(int(source.Top + row.Index())) + int64_t(source.Left) * sourceBpp,
                                 clip.Width(), firstColumn, Key);
        }
    });
}
