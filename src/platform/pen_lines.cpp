#include "platform/pen_lines.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/pixel_access.h"
#include "platform/pixel_copy.h"

namespace {

// A 1-pixel line as steps along its major axis. Pixel i (0 <= i < Count) sits
// at Major0 + i * MajorStep on the major axis and, on the minor axis, at the
// nearest whole position of the exact line, halves rounded away from the start:
// Minor0 + MinorStep * floor((2 i dMinor + dMajor) / (2 dMajor)).
struct ThinLine {
    int64_t Major0, MajorStep, Minor0, MinorStep, DMajor, DMinor, Count;
};

// The range [First, Last) of steps whose major coordinate lies in [0, Limit).
std::pair<int64_t, int64_t> StepsInside(const ThinLine& L, int64_t Limit) {
    int64_t first = L.MajorStep > 0 ? -L.Major0 : L.Major0 - Limit + 1;
    int64_t last = L.MajorStep > 0 ? Limit - L.Major0 : L.Major0 + 1;
    return {std::max<int64_t>(first, 0), std::min(last, L.Count)};
}

template <PixelFormat F>
void StepLine(const PixelView& Target, const ThinLine& L, bool XMajor, uint32_t Pixel) {
    const int64_t majorLimit = XMajor ? Target.Width : Target.Height;
    const int64_t minorLimit = XMajor ? Target.Height : Target.Width;
    const auto [first, last] = StepsInside(L, majorLimit);
    if (first >= last) return;
    // Start the error term at step `first` directly (128 bits: far-away starts).
    const __int128 numerator = __int128(2) * first * L.DMinor + L.DMajor;
    int64_t minor = L.Minor0 + L.MinorStep * int64_t(numerator / (2 * L.DMajor));
    int64_t error = int64_t(numerator % (2 * L.DMajor));
    for (int64_t i = first; i < last; ++i) {
        const int64_t major = L.Major0 + L.MajorStep * i;
        if (minor >= 0 && minor < minorLimit) {
            const int64_t x = XMajor ? major : minor, y = XMajor ? minor : major;
            PixelTraits<F>::Store(Target.Row(int(y)) + x * PixelTraits<F>::kBytes, Pixel);
        }
        error += 2 * L.DMinor;
        if (error >= 2 * L.DMajor) error -= 2 * L.DMajor, minor += L.MinorStep;
    }
}

// The horizontal extent, in pixel-centre x, of a capsule's row at centre height Cy.
struct Extent {
    double Low = INFINITY, High = -INFINITY;
    void Add(double A, double B) { Low = std::min(Low, A), High = std::max(High, B); }
};

// Centres within R of the disc centre (Px, Py) on the row at height Cy.
void AddDisc(Extent& E, double Px, double Py, double R, double Cy) {
    const double dy = Cy - Py;
    if (dy * dy > R * R) return;
    const double half = std::sqrt(R * R - dy * dy);
    E.Add(Px - half, Px + half);
}

// Narrows [Low, High] to the x where Slope * x + Offset lies in [Min, Max]
// (Slope 0: all or nothing).
bool Narrow(double& Low, double& High, double Slope, double Offset, double Min, double Max) {
    if (Slope == 0) return Offset >= Min && Offset <= Max;
    double a = (Min - Offset) / Slope, b = (Max - Offset) / Slope;
    if (a > b) std::swap(a, b);
    Low = std::max(Low, a), High = std::min(High, b);
    return Low <= High;
}

// Centres of the row whose projection falls on the segment and whose distance
// from its line is at most R: the straight part of the band.
void AddBand(Extent& E, double X0, double Y0, double Dx, double Dy, double R, double Cy) {
    const double length2 = Dx * Dx + Dy * Dy, ry = Cy - Y0;
    double low = -INFINITY, high = INFINITY;
    if (!Narrow(low, high, Dx, ry * Dy - X0 * Dx, 0, length2)) return;
    const double reach = R * std::sqrt(length2);
    if (!Narrow(low, high, Dy, -ry * Dx - X0 * Dy, -reach, reach)) return;
    E.Add(low, high);
}

} // namespace

void DrawThinLine(const PixelView& Target, int X0, int Y0, int X1, int Y1, uint32_t Pixel) {
    const int64_t dx = int64_t(X1) - X0, dy = int64_t(Y1) - Y0;
    if ((dx == 0 && dy == 0) || Target.Empty()) return;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    ThinLine line = xMajor ? ThinLine{X0, dx > 0 ? 1 : -1, Y0, dy >= 0 ? 1 : -1, std::llabs(dx), std::llabs(dy), 0}
                           : ThinLine{Y0, dy > 0 ? 1 : -1, X0, dx >= 0 ? 1 : -1, std::llabs(dy), std::llabs(dx), 0};
    line.Count = line.DMajor;
    WithFormat(Target.Format, [&](auto f) { StepLine<f()>(Target, line, xMajor, Pixel); });
}

void DrawWideLine(const PixelView& Target, int X0, int Y0, int X1, int Y1, int Width, uint32_t Pixel) {
    if (Target.Empty() || Width <= 0) return;
    // The band's middle runs through pixel centres for odd widths and through
    // pixel corners for even ones, so a straight band covers exactly Width rows
    // or columns of pixel centres (x + 0.5, y + 0.5).
    const double r = Width / 2.0, shift = (Width % 2) ? 0.5 : 0.0;
    const double ax = X0 + shift, ay = Y0 + shift, bx = X1 + shift, by = Y1 + shift;
    const double top = std::max(0.0, std::floor(std::min(ay, by) - r - 1));
    const double bottom = std::min(double(Target.Height - 1), std::ceil(std::max(ay, by) + r));
    if (top > bottom) return;
    for (int y = int(top); y <= int(bottom); ++y) {
        const double cy = y + 0.5;
        Extent e;
        AddDisc(e, ax, ay, r, cy);
        AddDisc(e, bx, by, r, cy);
        if (ax != bx || ay != by) AddBand(e, ax, ay, bx - ax, by - ay, r, cy);
        // Pixel x is painted when its centre x + 0.5 lies in [Low, High].
        const double left = std::max(0.0, std::ceil(e.Low - 0.5));
        const double right = std::min(double(Target.Width - 1), std::floor(e.High - 0.5));
        if (left <= right) {
            FillPixelRow(Target.Row(y) + int(left) * BytesPerPixel(Target.Format), int(right - left) + 1,
                         Target.Format, Pixel);
        }
    }
}
