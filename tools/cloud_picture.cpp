// The form's stored pictures: the caption cloud (300 x 157, a rounded cloud,
// glossy light blue on top fading to deep blue at the bottom, with a lighter
// rim, on white) and the blank 40 x 40 glyph template.
#include <algorithm>
#include <cmath>

#include "painter.h"
#include "pictures.h"

namespace {

constexpr int kCloudWidth = 300;
constexpr int kCloudHeight = 157;
constexpr int kGlyphSize = 40;
constexpr double kRimWidth = 5;

struct Puff {
    Point Centre;
    double Radius;
};
// Round puffs on a rounded body. The body covers the caption text (origin
// (30, 30), ink roughly from (34, 50) to (275, 120)) so that it never sits on white.
constexpr Puff kPuffs[] = {{{38, 88}, 30},  {{70, 62}, 48},  {{140, 52}, 47},  {{210, 56}, 46},
                           {{262, 78}, 34}, {{60, 128}, 26}, {{150, 132}, 22}, {{240, 128}, 24}};
constexpr Point kBodyTopLeft{12, 48};
constexpr Point kBodyBottomRight{288, 146};
constexpr double kBodyCornerRadius = 28;

// Signed distance to the cloud's outline; the union's distance is the nearest
// of its parts', which is exact outside and good enough for shading inside.
double CloudDistance(double X, double Y) {
    double d = RoundedRectDistance(X, Y, kBodyTopLeft, kBodyBottomRight, kBodyCornerRadius);
    for (const Puff& p : kPuffs)
        d = std::min(d, CircleDistance(X, Y, p.Centre, p.Radius));
    return d;
}

Color CloudShade(double X, double Y) {
    // Light down to the middle so navy text reads, then deepening to the bottom.
    const double t = Y / kCloudHeight;
    Color c = Mix(Color{196, 222, 252}, Color{150, 188, 242}, SmoothStep(0.0, 0.6, t));
    c = Mix(c, Color{34, 60, 162}, SmoothStep(0.6, 1.0, t));
    // The gloss: a bright band across the upper puffs.
    const double gloss =
        std::exp(-std::pow((Y - 30) / 14, 2)) * SmoothStep(20, 60, X) * (1 - SmoothStep(240, 280, X));
    c = Mix(c, Color{226, 240, 254}, 0.7 * gloss);
    // The rim: a lighter band just inside the outline.
    const double rim = 1 - SmoothStep(0, kRimWidth, -CloudDistance(X, Y));
    return Mix(c, Color{182, 212, 250}, 0.75 * rim);
}

} // namespace

Picture MakeCloud() {
    Painter cloud(kCloudWidth, kCloudHeight, kCloudWidth, kCloudHeight);
    cloud.Paint([](double x, double y) { return CloudDistance(x, y) < 0; }, CloudShade);
    return cloud.Flatten(Color{92, 132, 210});
}

Picture MakeGlyphTemplate() {
    return Picture(kGlyphSize, kGlyphSize);
}
