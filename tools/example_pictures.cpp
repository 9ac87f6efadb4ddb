// Sections: [1] Backgrounds   [2] Birthday sprites   [3] Wedding sprites   [4] The two sets
#include "example_pictures.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

#include "lcg.h"
#include "painter.h"
#include "shapes.h"

namespace {

constexpr double kPi = std::numbers::pi;

// [SECTION] Backgrounds

uint8_t ToByte(double Channel) {
    return uint8_t(std::lround(std::clamp(Channel, 0.0, 255.0)));
}

// A background shaded pixel by pixel; the horizon is at Horizon (a fraction of
// the height), where the show's sea line will roughly lie once it is fitted.
Picture Shade(int Width, int Height, const std::function<Color(double U, double V)>& Paint) {
    Picture out(Width, Height);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            const Color c = Paint((x + 0.5) / Width, (y + 0.5) / Height);
            out.At(x, y) = Rgb{ToByte(c.R), ToByte(c.G), ToByte(c.B)};
        }
    return out;
}

double Gaussian(double Offset, double Width) {
    return std::exp(-(Offset * Offset) / (Width * Width));
}

// Rolling hills: the height of the skyline at U, two sines of different length.
double HillLine(double U) {
    return 0.62 + 0.05 * std::sin(U * 7.1 + 0.8) + 0.025 * std::sin(U * 17.3 + 2.1);
}

// Violet sky, green and pink curtains of light, dark hills.
Color AuroraNight(double U, double V) {
    if (V > HillLine(U)) return Mix(Color{18, 14, 40}, Color{6, 6, 16}, SmoothStep(0.6, 1, V));
    const Color sky = Mix(Color{10, 8, 36}, Color{58, 30, 96}, std::pow(V / 0.7, 1.5));
    const double curtain = Gaussian(V - (0.28 + 0.08 * std::sin(U * 9 + 1)), 0.09);
    const double shimmer = 0.55 + 0.45 * std::sin(U * 60 + 3 * std::sin(U * 11));
    const Color light = Mix(Color{60, 230, 150}, Color{240, 90, 200}, SmoothStep(0.3, 0.8, U));
    return Mix(sky, light, 0.7 * curtain * shimmer);
}

// A peach morning with soft, blurred discs of light (bokeh) in party colours.
Color BokehMorning(double U, double V) {
    Color c = Mix(Color{255, 214, 170}, Color{250, 150, 140}, std::pow(V, 1.3));
    Lcg spots(7);
    for (int i = 0; i < 18; ++i) {
        const double x = spots.Uniform(), y = spots.Between(0.05, 0.6), r = spots.Between(0.03, 0.08);
        const Color tint[] = {{255, 240, 140}, {170, 220, 255}, {255, 170, 210}};
        const double d = std::hypot((U - x) * 1.33, V - y) / r;
        c = Mix(c, tint[i % 3], 0.45 * (1 - SmoothStep(0.85, 1.0, d)));
    }
    return c;
}

// A deep blue night with rows of warm paper lanterns along a string.
Color LanternNight(double U, double V) {
    Color c = Mix(Color{6, 10, 40}, Color{30, 40, 96}, V);
    const double string = 0.22 + 0.12 * std::pow(std::sin(U * kPi * 3), 2);
    for (int i = 0; i < 12; ++i) {
        const double x = (i + 0.5) / 12, y = 0.22 + 0.12 * std::pow(std::sin(x * kPi * 3), 2) + 0.07;
        const double d = std::hypot((U - x) * 2.13, V - y);
        c = Mix(c, Color{255, 190, 90}, 0.9 * (1 - SmoothStep(0.025, 0.03, d)) + 0.3 * Gaussian(d, 0.08));
    }
    return Mix(c, Color{120, 110, 90}, 0.8 * Gaussian(V - string, 0.004));
}

// A very wide lavender sky warming to gold at the horizon, with lace-like arcs.
Color LaceDay(double U, double V) {
    Color c = Mix(Color{206, 190, 240}, Color{255, 222, 160}, SmoothStep(0.1, 0.9, V));
    const double scallop = std::abs(std::sin(U * kPi * 24)) * 0.05 + 0.08;
    if (V < scallop) c = Mix(c, Color{250, 246, 252}, 0.6);
    const double dots = std::pow(std::max(0.0, std::sin(U * kPi * 48) * std::sin(V * kPi * 12)), 20);
    return Mix(c, Color{252, 248, 255}, 0.4 * dots * (V < 0.5));
}

// [SECTION] Birthday sprites

constexpr Color kWarmBackdrop{120, 80, 60};

Picture Duck() {
    Painter duck(600, 520, 60, 52);
    const Color yellow{255, 214, 40}, shade{236, 168, 20};
    duck.Paint(Ellipse({32, 38}, 25, 12),
               [&](double, double y) { return Mix(yellow, shade, (y - 30) / 20); });
    duck.Paint(Circle({44, 20}, 11), Solid(yellow));
    duck.Paint(Polygon({{53, 19}, {60, 22}, {53, 25}}), Solid(Color{250, 120, 20}));
    duck.Paint(Circle({47, 17}, 2), Solid(Color{20, 20, 30}));
    duck.Paint(Ellipse({27, 35}, 11, 6), Solid(shade));
    return duck.Flatten(kWarmBackdrop);
}

Picture GoldStar() {
    Painter star(64, 64, 20, 20);
    std::vector<Point> corners;
    for (int i = 0; i < 10; ++i) {
        const double angle = -kPi / 2 + i * kPi / 5, r = i % 2 == 0 ? 9.8 : 4.2;
        corners.push_back({10 + r * std::cos(angle), 10.5 + r * std::sin(angle)});
    }
    star.Paint(Polygon(corners), Solid(Color{255, 200, 40}));
    return star.Flatten(kWarmBackdrop);
}

Picture Balloon() {
    Painter balloon(100, 146, 50, 73);
    balloon.Paint(Polygon({{25, 48}, {22, 53}, {28, 53}}), Solid(Color{200, 20, 40}));
    balloon.Paint(Ellipse({25, 26}, 21, 24), [](double x, double y) {
        return Mix(Color{255, 110, 110}, Color{210, 20, 40}, SmoothStep(0, 26, std::hypot(x - 18, y - 16)));
    });
    balloon.Paint([](double x, double y) { return y > 53 && std::abs(x - 25 - 2 * std::sin(y / 3)) < 0.5; },
                  Solid(Color{90, 90, 90}));
    return balloon.Flatten(kWarmBackdrop);
}

Picture Doughnut() {
    Painter doughnut(900, 900, 250, 250);
    const Point centre{125, 125};
    doughnut.Paint(Difference(Circle(centre, 110), Circle(centre, 38)), Solid(Color{214, 150, 80}));
    doughnut.Paint(Difference(Circle(centre, 100), Circle(centre, 48)), Solid(Color{250, 130, 190}));
    Lcg sprinkles(11);
    const Color colours[] = {
        {60, 170, 255}, {255, 230, 60}, {120, 220, 120}, {250, 250, 250}, {150, 90, 230}};
    for (int i = 0; i < 70; ++i) {
        const double angle = sprinkles.Between(0, 2 * kPi), r = sprinkles.Between(55, 93);
        const double turn = sprinkles.Between(0, kPi), cx = 125 + r * std::cos(angle),
                     cy = 125 + r * std::sin(angle);
        const double dx = 5 * std::cos(turn), dy = 5 * std::sin(turn);
        doughnut.Paint(
            [=](double x, double y) {
                const double t = std::clamp(((x - cx) * dx + (y - cy) * dy) / (dx * dx + dy * dy), -1.0, 1.0);
                return std::hypot(x - cx - t * dx, y - cy - t * dy) < 1.8;
            },
            Solid(colours[i % 5]));
    }
    return doughnut.Flatten(Color{160, 100, 60});
}

// [SECTION] Wedding sprites

constexpr Color kNightBackdrop{20, 24, 60};

Picture Swan() {
    Painter swan(240, 208, 60, 52);
    const Color feather{236, 236, 244}, shadow{200, 200, 220};
    swan.Paint(Ellipse({28, 40}, 22, 9),
               [&](double, double y) { return Mix(feather, shadow, (y - 34) / 14); });
    swan.Paint(Polygon({{10, 36}, {22, 24}, {30, 34}}), Solid(shadow));
    swan.Paint(
        [](double x, double y) { return y > 12 && y < 40 && std::abs(x - 44 - 4 * std::sin(y / 6)) < 2.4; },
        Solid(feather));
    swan.Paint(Circle({42, 12}, 4), Solid(feather));
    swan.Paint(Polygon({{37, 11}, {31, 14}, {38, 15}}), Solid(Color{240, 120, 30}));
    swan.Paint(Circle({42, 11}, 0.9), Solid(Color{10, 10, 20}));
    return swan.Flatten(kNightBackdrop);
}

Region Heart(Point Centre, double Size) {
    return [=](double x, double y) {
        const double u = (x - Centre.X) / Size, v = -(y - Centre.Y) / Size;
        const double a = u * u + v * v - 1;
        return a * a * a - u * u * v * v * v < 0;
    };
}

Picture HeartStar() {
    Painter heart(48, 48, 20, 20);
    heart.Paint(Heart({10, 10}, 8), Solid(Color{240, 40, 80}));
    return heart.Flatten(kNightBackdrop);
}

Picture ChampagneGlass() {
    Painter glass(100, 146, 50, 73);
    const Color gold{250, 210, 90}, glassRim{180, 190, 210};
    glass.Paint(Polygon({{10, 4}, {40, 4}, {29, 34}, {21, 34}}), Solid(glassRim));
    glass.Paint(Polygon({{13, 10}, {37, 10}, {28, 32}, {22, 32}}), Solid(gold));
    glass.Paint(Polygon({{23, 34}, {27, 34}, {27, 62}, {23, 62}}), Solid(glassRim));
    glass.Paint(Ellipse({25, 64}, 13, 3.5), Solid(glassRim));
    for (const Point bubble : {Point{22, 26}, Point{27, 20}, Point{24, 15}})
        glass.Paint(Circle(bubble, 1.3), Solid(Color{255, 246, 200}));
    return glass.Flatten(kNightBackdrop);
}

Picture RoseWindow() {
    Painter rose(256, 256, 250, 250);
    const Point centre{125, 125};
    for (int i = 0; i < 8; ++i) {
        const double angle = i * kPi / 4;
        const Point petal{125 + 62 * std::cos(angle), 125 + 62 * std::sin(angle)};
        rose.Paint(Circle(petal, 52), Solid(i % 2 ? Color{236, 110, 150} : Color{250, 170, 190}), 0.85);
    }
    rose.Paint(Circle(centre, 40), Solid(Color{250, 200, 80}));
    rose.Paint(Difference(Circle(centre, 28), Circle(centre, 20)), Solid(Color{200, 120, 40}));
    return rose.Flatten(Color{180, 80, 110});
}

} // namespace

// [SECTION] The two sets

std::vector<ExamplePicture> MakeBirthdayPictures() {
    std::vector<ExamplePicture> pictures;
    pictures.push_back({"night.png", Shade(1200, 675, AuroraNight)});
    pictures.push_back({"day.png", Shade(960, 720, BokehMorning)});
    pictures.push_back({"duck.png", Duck()});
    pictures.push_back({"star.png", GoldStar()});
    pictures.push_back({"balloon.png", Balloon()});
    pictures.push_back({"doughnut.png", Doughnut()});
    return pictures;
}

std::vector<ExamplePicture> MakeWeddingPictures() {
    std::vector<ExamplePicture> pictures;
    pictures.push_back({"nuit.png", Shade(640, 300, LanternNight)});
    pictures.push_back({"jour.png", Shade(1600, 400, LaceDay)});
    pictures.push_back({"cygne.png", Swan()});
    pictures.push_back({"coeur.png", HeartStar()});
    pictures.push_back({"coupe.png", ChampagneGlass()});
    pictures.push_back({"rosace.png", RoseWindow()});
    return pictures;
}
