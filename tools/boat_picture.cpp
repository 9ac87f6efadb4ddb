// The boat: a red hull with a yellow stripe, a mast with a pennant, a mainsail
// and a jib. 128 x 128 pixels, designed as 120 x 104 units because the show
// draws it 60 x 52 (and up to 180 x 172).
//
// The show stands the middle of the bottom edge just below the sea line, turns
// the boat with the wave, and then fills the sea from below up to that line. A
// column where the hull hid the line's whole thickness would let the fill run
// into the sky, so the hull keeps above the line's lower edge at every tilt:
// its bottom is a V (the boat's tilt can be off the line's slope by over ten
// degrees), curving up further towards both ends (a wave curves away under a
// long hull), and its lowest point stays 4.8 units above the bottom edge (the
// line's height and the boat's are rounded separately, and at 60 x 52 those
// units are only 2.4 pixels).
#include <cmath>
#include <numbers>

#include "painter.h"
#include "pictures.h"

namespace {

constexpr double kDesignWidth = 120;
constexpr double kDesignHeight = 104;
constexpr double kPivotX = kBoatKeel.X; // the point the show turns the boat about, mid-width
constexpr double kKeelY = kBoatKeel.Y;  // the lowest point, under the pivot
constexpr double kDeadrise = 0.3;       // rise of the bottom per unit outwards
constexpr double kKeelRound = 2;        // rounds the V's point over about this width
constexpr double kRocker = 0.003;       // the bottom's extra upward curve towards the ends
constexpr Point kStern{7, 72};          // top of the transom
constexpr Point kBow{118, 65};          // top of the stem
constexpr double kSheer = 4;            // how much the deck rises at the ends
constexpr double kMastX = 59.5;
constexpr double kMastTop = 5;

// The deck: rising from stern to bow, and a little towards both ends.
double DeckY(double X) {
    const double along = (X - kStern.X) / (kBow.X - kStern.X);
    const double fromMiddle = 2 * along - 1;
    return kStern.Y + (kBow.Y - kStern.Y) * along + kSheer * (1 - fromMiddle * fromMiddle);
}

// The bottom: a V with a rounded point under the pivot, its sides curving upwards.
double BottomY(double X) {
    const double dx = X - kPivotX;
    return kKeelY - kDeadrise * (std::hypot(dx, kKeelRound) - kKeelRound) - kRocker * dx * dx;
}

// Between deck and bottom, behind a raked stem and in front of a raked transom.
Region Hull() {
    return [](double x, double y) {
        const bool aftOfStem = x < kBow.X - 0.55 * (y - kBow.Y);
        const bool foreOfTransom = x > kStern.X + 0.25 * (y - kStern.Y);
        return y > DeckY(x) && y < BottomY(x) && aftOfStem && foreOfTransom;
    };
}

// The part of the hull between two depths below the deck line, painted as a
// region of its own so that its edges are antialiased like the outline.
Region Band(double FromDepth, double ToDepth) {
    return Intersection(Hull(), [=](double x, double y) {
        const double depth = y - DeckY(x);
        return depth >= FromDepth && depth < ToDepth;
    });
}

// The hull's lowest Height units, measured up from its bottom.
Region BottomStrip(double Height) {
    return Intersection(Hull(), [=](double x, double y) { return y > BottomY(x) - Height; });
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

void PaintBoat(Painter& Canvas, Point Origin, double Scale) {
    const auto paint = [&](const Region& Area, const Shader& Shade) {
        Canvas.Paint(Placed(Area, Origin, Scale), Placed(Shade, Origin, Scale));
    };
    paint(Sail(9, 69, 43, 5, -1, 2.2), SailShade);
    paint(Sail(15, 67, 40, 4, +1, 2.2), SailShade);
    paint(Polygon({{14, 69}, {kMastX, 69}, {kMastX, 71.5}, {14, 71.5}}), Solid(Color{88, 56, 34})); // boom
    paint(Polygon({{kMastX - 2, kMastTop}, {kMastX + 2, kMastTop}, {kMastX + 2, 76}, {kMastX - 2, 76}}),
          Solid(Color{98, 62, 36}));
    paint(Polygon({{kMastX, 1.5}, {kMastX + 15, 4.5}, {kMastX, 7.5}}), Solid(Color{214, 52, 44}));
    paint(Hull(), HullShade);
    paint(Band(0, 2.5), Solid(Color{72, 40, 28}));    // rail
    paint(Band(7, 10.5), Solid(Color{236, 186, 58})); // stripe
    paint(BottomStrip(6), Solid(Color{110, 32, 30})); // bottom paint
}

Picture MakeBoat() {
    Painter boat(128, 128, kDesignWidth, kDesignHeight);
    PaintBoat(boat, Point{0, 0}, 1);
    return boat.Flatten(Color{40, 28, 40});
}
