// The boat: a red hull with a yellow stripe, a mast with a pennant, a mainsail
// and a jib. 128 x 128 pixels, designed as 120 x 104 units because the show
// draws it 60 x 52 (and up to 180 x 172); the keel touches the bottom.
#include <cmath>
#include <numbers>
#include <vector>

#include "painter.h"
#include "pictures.h"

namespace {

constexpr double kDesignWidth = 120;
constexpr double kDesignHeight = 104;
constexpr Point kStern{5, 77};
constexpr Point kBow{117, 71};
constexpr double kKeelY = 102.5;
constexpr double kMastX = 59.5;
constexpr double kMastTop = 5;

// Points along a quadratic Bézier curve from A to B bending towards Control (A excluded).
void AppendCurve(std::vector<Point>& Outline, Point A, Point Control, Point B) {
    constexpr int kSteps = 16;
    for (int i = 1; i <= kSteps; ++i) {
        const double t = double(i) / kSteps, u = 1 - t;
        Outline.push_back(Point{u * u * A.X + 2 * u * t * Control.X + t * t * B.X,
                                u * u * A.Y + 2 * u * t * Control.Y + t * t * B.Y});
    }
}

// The deck rises a little from stern to bow.
double DeckY(double X) {
    return kStern.Y + (kBow.Y - kStern.Y) * (X - kStern.X) / (kBow.X - kStern.X);
}

Region Hull() {
    std::vector<Point> outline{kStern, kBow};
    AppendCurve(outline, kBow, Point{104, 100}, Point{80, kKeelY});
    outline.push_back(Point{36, kKeelY});
    AppendCurve(outline, Point{36, kKeelY}, Point{12, 100}, kStern);
    return Polygon(outline);
}

// The part of the hull between two depths below the deck line, painted as a
// region of its own so that its edges are antialiased like the outline.
Region Band(double FromDepth, double ToDepth) {
    return Intersection(Hull(), [=](double x, double y) {
        const double depth = y - DeckY(x);
        return depth >= FromDepth && depth < ToDepth;
    });
}

Color HullShade(double X, double Y) {
    return Mix(Color{196, 56, 44}, Color{150, 40, 34}, SmoothStep(0, 22, Y - DeckY(X)));
}

// A sail hanging from the mast between Top and Foot (y), its free edge running
// from the mast head out to Reach units along the foot, bellied out by Belly.
// Direction -1 sets it towards the stern (left), +1 towards the bow (right).
Region Sail(double Top, double Foot, double Reach, double Belly, int Direction, double Gap) {
    return [=](double x, double y) {
        if (y < Top || y > Foot) return false;
        const double s = (y - Top) / (Foot - Top);
        const double edge = Reach * s + Belly * std::sin(std::numbers::pi * s);
        const double along = (x - kMastX) * Direction - Gap;
        return along > 0 && along < edge;
    };
}

Color SailShade(double X, double Y) {
    // Slightly shaded near the mast, with faint horizontal seams between cloths.
    const double nearMast = 1 - SmoothStep(0, 14, std::abs(X - kMastX));
    const double seam = std::fmod(Y, 11) < 0.9 ? 0.08 : 0.0;
    return Mix(Color{244, 236, 210}, Color{196, 186, 160}, 0.35 * nearMast + seam);
}

} // namespace

Picture MakeBoat() {
    Painter boat(128, 128, kDesignWidth, kDesignHeight);
    boat.Paint(Sail(9, 69, 43, 5, -1, 2.2), SailShade);
    boat.Paint(Sail(15, 67, 40, 4, +1, 2.2), SailShade);
    boat.Paint(Polygon({{14, 69}, {kMastX, 69}, {kMastX, 71.5}, {14, 71.5}}),
               Solid(Color{88, 56, 34})); // boom
    boat.Paint(Polygon({{kMastX - 2, kMastTop}, {kMastX + 2, kMastTop}, {kMastX + 2, 76}, {kMastX - 2, 76}}),
               Solid(Color{98, 62, 36}));
    boat.Paint(Polygon({{kMastX, 1.5}, {kMastX + 15, 4.5}, {kMastX, 7.5}}), Solid(Color{214, 52, 44}));
    boat.Paint(Hull(), HullShade);
    boat.Paint(Band(0, 2.5), Solid(Color{72, 40, 28}));    // rail
    boat.Paint(Band(7, 10.5), Solid(Color{236, 186, 58})); // stripe
    boat.Paint(Band(19, 40), Solid(Color{110, 32, 30}));   // bottom paint
    return boat.Flatten(Color{40, 28, 40});
}
