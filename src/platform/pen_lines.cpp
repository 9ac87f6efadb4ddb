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

// Whole columns whose centres (x + 0.5) lie in [Low, High], clipped to
// [0, Limit): conversions instead of floor and ceil, which are calls here.
std::pair<int, int> CentreColumns(double Low, double High, int Limit) {
    const double low = std::max(Low - 0.5, 0.0), high = std::min(High - 0.5, double(Limit - 1));
    if (!(low <= high)) return {1, 0};
    const int left = int(low), right = int(high);
    return {left + (left < low ? 1 : 0), right};
}

// Narrows [Low, High] to the x where Slope * x + Offset lies in [Min, Max];
// InverseSlope is 1 / Slope (Slope 0: all or nothing).
bool Narrow(double& Low, double& High, double Slope, double InverseSlope, double Offset, double Min,
            double Max) {
    if (Slope == 0) return Offset >= Min && Offset <= Max;
    double a = (Min - Offset) * InverseSlope, b = (Max - Offset) * InverseSlope;
    if (a > b) std::swap(a, b);
    Low = std::max(Low, a), High = std::min(High, b);
    return Low <= High;
}

// The straight part of a wide segment between its two round ends: the points
// whose projection falls on the segment (0 <= t <= length^2) and whose
// distance from its line is at most R (|cross| <= R * length), row by row.
class StraightBand {
public:
    StraightBand(double Ax, double Ay, double Bx, double By, double R)
        : FAx(Ax), FAy(Ay), FDx(Bx - Ax), FDy(By - Ay), FLength2(FDx * FDx + FDy * FDy),
          FReach(R * std::sqrt(FLength2)), FInverseDx(FDx != 0 ? 1 / FDx : 0),
          FInverseDy(FDy != 0 ? 1 / FDy : 0) {}

    // The columns of the row at centre height Cy (Left > Right: none).
    std::pair<int, int> Row(double Cy, int Limit) const {
        if (FLength2 == 0) return {1, 0};
        const double ry = Cy - FAy;
        double low = -INFINITY, high = INFINITY;
        if (!Narrow(low, high, FDx, FInverseDx, ry * FDy - FAx * FDx, 0, FLength2)) return {1, 0};
        if (!Narrow(low, high, FDy, FInverseDy, -ry * FDx - FAx * FDy, -FReach, FReach)) return {1, 0};
        return CentreColumns(low, high, Limit);
    }

private:
    double FAx, FAy, FDx, FDy, FLength2, FReach, FInverseDx, FInverseDy;
};

// Widens the columns Span (empty when first > second) to take in [A, B].
void Join(std::pair<int, int>& Span, int A, int B) {
    if (Span.first > Span.second) {
        Span = {A, B};
    } else {
        Span.first = std::min(Span.first, A), Span.second = std::max(Span.second, B);
    }
}

} // namespace

PenShape::PenShape(int Width) : FWidth(std::clamp(Width, 2, kMaxWidth)) {
    // A disc of radius R around (shift, shift) in pixel-centre coordinates:
    // row k covers the columns whose centres lie within sqrt(R^2 - dy^2).
    const double r = Radius(), shift = Shift();
    FReach = int(r + 1);
    for (int k = -FReach; k <= FReach; ++k) {
        const double dy = k + 0.5 - shift;
        std::pair<int, int> span{1, 0};
        if (dy * dy <= r * r) {
            const double half = std::sqrt(r * r - dy * dy);
            span = {int(std::ceil(shift - half - 0.5)), int(std::floor(shift + half - 0.5))};
        }
        FSpans.push_back(span);
    }
}

void DrawThinLine(const PixelView& Target, int X0, int Y0, int X1, int Y1, uint32_t Pixel) {
    const int64_t dx = int64_t(X1) - X0, dy = int64_t(Y1) - Y0;
    if ((dx == 0 && dy == 0) || Target.Empty()) return;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    ThinLine line =
        xMajor ? ThinLine{X0, dx > 0 ? 1 : -1, Y0, dy >= 0 ? 1 : -1, std::llabs(dx), std::llabs(dy), 0}
               : ThinLine{Y0, dy > 0 ? 1 : -1, X0, dx >= 0 ? 1 : -1, std::llabs(dy), std::llabs(dx), 0};
    line.Count = line.DMajor;
    WithFormat(Target.Format, [&](auto f) { StepLine<f()>(Target, line, xMajor, Pixel); });
}

void DrawWideLine(const PixelView& Target, int X0, int Y0, int X1, int Y1, const PenShape& Pen,
                  uint32_t Pixel) {
    if (Target.Empty()) return;
    const int64_t top = std::max<int64_t>(0, int64_t(std::min(Y0, Y1)) - Pen.Reach());
    const int64_t bottom = std::min<int64_t>(Target.Height - 1, int64_t(std::max(Y0, Y1)) + Pen.Reach());
    const double shift = Pen.Shift();
    const StraightBand band(X0 + shift, Y0 + shift, X1 + shift, Y1 + shift, Pen.Radius());
    for (int64_t y = top; y <= bottom; ++y) {
        std::pair<int, int> span = band.Row(double(y) + 0.5, Target.Width);
        // The round ends, from the pen's table; columns stay in 64 bits until clipped.
        for (const auto& [x, ey] : {std::pair<int64_t, int64_t>{X0, Y0}, {X1, Y1}}) {
            if (std::llabs(y - ey) > Pen.Reach()) continue;
            const int64_t left = std::max<int64_t>(x + Pen.Left(int(y - ey)), 0);
            const int64_t right = std::min<int64_t>(x + Pen.Right(int(y - ey)), Target.Width - 1);
            if (left <= right) Join(span, int(left), int(right));
        }
        if (span.first <= span.second) {
            FillPixelRow(Target.Row(int(y)) + span.first * BytesPerPixel(Target.Format),
                         span.second - span.first + 1, Target.Format, Pixel);
        }
    }
}
