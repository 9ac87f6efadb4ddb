// Rectangles in pixel coordinates: (Left, Top) inclusive, (Right, Bottom)
// exclusive, x to the right and y downwards. Shared by surfaces, canvases and
// the sprite operations.
#pragma once

#include <algorithm>
#include <cstdint>

struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    // Sizes are computed in 64 bits: edges far apart must not overflow.
    int64_t Width() const { return int64_t(Right) - Left; }
    int64_t Height() const { return int64_t(Bottom) - Top; }
    // True when the rectangle covers no pixel (left not below right, or top not below bottom).
    bool Empty() const { return Right <= Left || Bottom <= Top; }
    bool operator==(const TRect&) const = default;
};

// The rectangle with these four edges.
constexpr TRect Rect(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom) {
    return TRect{Left, Top, Right, Bottom};
}

// The rectangle of Width by Height pixels with its top-left corner at (X, Y).
constexpr TRect Bounds(int32_t X, int32_t Y, int32_t Width, int32_t Height) {
    return TRect{X, Y, X + Width, Y + Height};
}

// The pixels both rectangles cover (an empty rectangle when they do not meet).
inline TRect Intersect(const TRect& A, const TRect& B) {
    TRect r{std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right),
            std::min(A.Bottom, B.Bottom)};
    if (r.Empty()) return TRect{};
    return r;
}

// The smallest rectangle covering both; an empty one adds nothing.
inline TRect Union(const TRect& A, const TRect& B) {
    if (A.Empty()) return B.Empty() ? TRect{} : B;
    if (B.Empty()) return A;
    return TRect{std::min(A.Left, B.Left), std::min(A.Top, B.Top), std::max(A.Right, B.Right),
                 std::max(A.Bottom, B.Bottom)};
}
