// The program's icon: the boat on a night sea under a crescent moon, in a
// rounded square. Designed as 256 x 256 units and drawn at any pixel size, so
// each size is sampled afresh instead of scaled down from the largest.
#include <cmath>
#include <numbers>

#include "painter.h"
#include "pictures.h"

namespace {

constexpr double kDesign = 256;
constexpr Point kSquareTopLeft{12, 12};
constexpr Point kSquareBottomRight{244, 244};
constexpr double kCornerRadius = 44;
constexpr double kSeaLevel = 170; // the sea line's middle
constexpr double kBoatScale = 1.25;
constexpr double kBoatSink = 9; // how far the keel sits below the sea line

// The sea line: one long, gentle wave across the icon.
double SeaLineY(double X) {
    return kSeaLevel + 5 * std::sin(X * 2 * std::numbers::pi / 160 + 0.8);
}

Region Square() {
    return [](double x, double y) {
        return RoundedRectDistance(x, y, kSquareTopLeft, kSquareBottomRight, kCornerRadius) < 0;
    };
}

// The part of the square from the sea line downwards, starting Offset units below it.
Region Sea(double Offset) {
    return Intersection(Square(), [=](double x, double y) { return y > SeaLineY(x) + Offset; });
}

Color SkyShade(double, double Y) {
    return Mix(Color{8, 12, 44}, Color{78, 56, 120}, SmoothStep(20, kSeaLevel, Y));
}

Color SeaShade(double, double Y) {
    return Mix(Color{34, 52, 128}, Color{6, 10, 42}, SmoothStep(kSeaLevel, 244, Y));
}

void PaintSky(Painter& Icon) {
    Icon.Paint(Square(), SkyShade);
    const Region crescent = Difference(Circle(Point{186, 64}, 24), Circle(Point{174, 56}, 22));
    Icon.Paint(crescent, Solid(Color{244, 236, 196}));
    for (const Point star : {Point{58, 54}, Point{104, 34}, Point{136, 84}, Point{72, 110}})
        Icon.Paint(Circle(star, 3.2), Solid(Color{236, 236, 255}));
}

} // namespace

RgbaPicture MakeIcon(int Size) {
    Painter icon(Size, Size, kDesign, kDesign);
    PaintSky(icon);
    icon.Paint(Sea(0), SeaShade);
    icon.Paint(Difference(Sea(-2), Sea(2)), Solid(Color{132, 160, 230})); // a light crest
    // The boat's keel under the middle of the icon, a little below the sea line,
    // and the water in front of its lowest part.
    const Point keel{kDesign / 2, SeaLineY(kDesign / 2) + kBoatSink};
    PaintBoat(icon, Point{keel.X - kBoatKeel.X * kBoatScale, keel.Y - kBoatKeel.Y * kBoatScale}, kBoatScale);
    icon.Paint(Sea(kBoatSink - 3), SeaShade, 0.85);
    return icon.Layer();
}
