// The sprites of the sky: a four-pointed star, a crescent moon with craters
// and a sun with curved rays (curved so that its turning is easy to see).
#include <cmath>
#include <numbers>

#include "painter.h"
#include "pictures.h"

namespace {

constexpr double kPi = std::numbers::pi;
constexpr Color kNightBackdrop{16, 20, 58};

// [SECTION] Star: 32 x 32, drawn at 0 to 20 pixels square without smoothing

// A sparkle: the region inside |x|^p + |y|^p = r^p with p below 1 has four
// concave sides meeting in sharp points on the axes.
Region Sparkle(Point Centre, double Radius, double Exponent) {
    return [=](double x, double y) {
        const double u = std::abs(x - Centre.X) / Radius, v = std::abs(y - Centre.Y) / Radius;
        return std::pow(u, Exponent) + std::pow(v, Exponent) < 1;
    };
}

// [SECTION] Moon: 64 x 128 pixels, designed as the 50 x 73 it is shown at

// The disc's right edge touches x 48.5; the shadow's centre is placed so that
// the crescent's horns end near x 1.5, which makes it fill the 50 x 73 frame.
constexpr Point kMoonCentre{13.5, 36.5};
constexpr double kMoonRadius = 35;
constexpr Point kShadowCentre{kMoonCentre.X - 30, 36.5};
constexpr double kShadowRadius = 37.5;

struct Crater {
    Point Centre;
    double Radius;
};
constexpr Crater kCraters[] = {
    {{34, 18}, 4}, {{40, 36}, 3.2}, {{30, 48}, 4.5}, {{36, 59}, 2.4}, {{44, 28}, 2}};

Color MoonShade(double X, double Y) {
    // Brighter on the lit rim, greyer towards the shadow's edge.
    const double towardsShadow = 1 - SmoothStep(0, 14, CircleDistance(X, Y, kShadowCentre, kShadowRadius));
    return Mix(Color{244, 238, 206}, Color{198, 194, 176}, 0.6 * towardsShadow);
}

// [SECTION] Sun: 256 x 256

constexpr Point kSunCentre{128, 128};
constexpr double kDiscRadius = 60;
constexpr int kRayCount = 12;
constexpr double kRayBase = 68;
constexpr double kLongRayTip = 125;
constexpr double kShortRayTip = 106;
constexpr double kRayCurl = 0.55; // radians of sweep from base to tip

// Curved rays: in polar terms a ray is a band of angles around its axis that
// narrows linearly to a point at its tip, with the axis swept back as the
// radius grows, like the blades of a pinwheel.
Region Rays() {
    return [](double x, double y) {
        const double r = std::hypot(x - kSunCentre.X, y - kSunCentre.Y);
        if (r < kRayBase || r > kLongRayTip) return false;
        const double angle = std::atan2(y - kSunCentre.Y, x - kSunCentre.X);
        const double slot = 2 * kPi / kRayCount;
        const double swept = angle - kRayCurl * (r - kRayBase) / (kLongRayTip - kRayBase);
        const int ray = int(std::lround(swept / slot + kRayCount)) % kRayCount;
        const double offset = std::remainder(swept, slot);
        const double tip = ray % 2 == 0 ? kLongRayTip : kShortRayTip;
        const double halfWidth = 0.42 * slot * (tip - r) / (tip - kRayBase);
        return std::abs(offset) < halfWidth;
    };
}

Color RayShade(double X, double Y) {
    const double r = std::hypot(X - kSunCentre.X, Y - kSunCentre.Y);
    return Mix(Color{255, 204, 64}, Color{242, 124, 28}, SmoothStep(kRayBase, kLongRayTip, r));
}

Color DiscShade(double X, double Y) {
    const double r = std::hypot(X - kSunCentre.X, Y - kSunCentre.Y) / kDiscRadius;
    const Color body = Mix(Color{255, 234, 112}, Color{252, 178, 36}, SmoothStep(0.2, 1.0, r));
    // A soft highlight up and to the left gives the disc some roundness.
    const double highlight = std::exp(-(std::pow(X - 106, 2) + std::pow(Y - 104, 2)) / 500);
    return Mix(body, Color{255, 246, 178}, 0.8 * highlight);
}

} // namespace

Picture MakeStar() {
    Painter star(32, 32, 32, 32);
    const Point centre{16, 16};
    star.Paint(Sparkle(centre, 15, 0.5), [=](double x, double y) {
        const double r = std::hypot(x - centre.X, y - centre.Y);
        return Mix(Color{255, 250, 214}, Color{255, 206, 84}, SmoothStep(1, 9, r));
    });
    return star.Flatten(kNightBackdrop);
}

Picture MakeMoon() {
    Painter moon(64, 128, 50, 73);
    const Region crescent =
        Difference(Circle(kMoonCentre, kMoonRadius), Circle(kShadowCentre, kShadowRadius));
    moon.Paint(crescent, MoonShade);
    for (const Crater& c : kCraters) {
        moon.Paint(Intersection(crescent, Circle(c.Centre, c.Radius)), Solid(Color{176, 172, 158}), 0.55);
        // A lighter lower-right lip, as if the crater's far wall catches the light.
        const Point lip{c.Centre.X + 0.35 * c.Radius, c.Centre.Y + 0.35 * c.Radius};
        moon.Paint(Intersection(crescent, Difference(Circle(c.Centre, c.Radius), Circle(lip, c.Radius))),
                   Solid(Color{238, 232, 210}), 0.6);
    }
    return moon.Flatten(kNightBackdrop);
}

Picture MakeSun() {
    Painter sun(256, 256, 256, 256);
    sun.Paint(Rays(), RayShade);
    sun.Paint(Circle(kSunCentre, kDiscRadius + 3), Solid(Color{236, 132, 30}));
    sun.Paint(Circle(kSunCentre, kDiscRadius), DiscShade);
    return sun.Flatten(Color{196, 96, 20});
}
