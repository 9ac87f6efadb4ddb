// The two backgrounds: a night sky with a faint glow on the horizon and fixed
// stars, and a clear day sky warming towards the horizon with a few soft
// wisps; both with a sea below y 260, dithered for the 16-bit display.
#include <algorithm>
#include <cmath>
#include <functional>

#include "lcg.h"
#include "pictures.h"
#include "shapes.h"

namespace {

constexpr double kHorizonY = 260;
constexpr int kStarCount = 110;
constexpr double kStarFieldBottom = 236; // keeps the stars off the glow and the sea line

uint8_t ToByte(double Channel) {
    return uint8_t(std::lround(std::clamp(Channel, 0.0, 255.0)));
}

double Gaussian(double Offset, double Width) {
    return std::exp(-(Offset * Offset) / (Width * Width));
}

Picture PaintBackground(const std::function<Color(int X, int Y)>& Shade) {
    Picture out(kBackgroundWidth, kBackgroundHeight);
    for (int y = 0; y < out.Height; ++y) {
        for (int x = 0; x < out.Width; ++x) {
            const Color c = Shade(x, y);
            out.At(x, y) = Rgb{ToByte(c.R), ToByte(c.G), ToByte(c.B)};
        }
    }
    return out;
}

// Thin bright glints on the water: a steep power of a sine whose wavelength and
// phase change from row to row, so they read as scattered ripples.
double Glint(int X, int Y) {
    Lcg row(Lcg::Scramble(uint32_t(Y)));
    const double wavelength = row.Between(70, 260), phase = row.Between(0, 6.283);
    const double s = std::max(0.0, std::sin(X * 6.283 / wavelength + phase));
    return std::pow(s, 40) * SmoothStep(kHorizonY, kHorizonY + 80, Y);
}

Color NightShade(int X, int Y) {
    if (Y >= kHorizonY) {
        const double depth = (Y - kHorizonY) / (kBackgroundHeight - kHorizonY);
        const Color water = Mix(Color{14, 18, 58}, Color{3, 5, 22}, std::sqrt(depth));
        return Mix(water, Color{60, 70, 130}, 0.5 * Glint(X, Y));
    }
    const double t = std::pow(Y / kHorizonY, 1.4);
    const Color sky = Mix(Color{3, 5, 22}, Color{24, 32, 88}, t);
    // A violet glow just above the horizon, a little stronger towards the right.
    const double glow = Gaussian(Y - kHorizonY, 48) * (0.75 + 0.25 * X / kBackgroundWidth);
    return Mix(sky, Color{92, 62, 118}, 0.55 * glow);
}

// Tiny fixed stars, denser high up; a few larger ones with a faint cross.
void AddStars(Picture& Sky) {
    Lcg random(1975);
    for (int i = 0; i < kStarCount; ++i) {
        const int x = 2 + random.Below(kBackgroundWidth - 4);
        const int y = 2 + int(kStarFieldBottom * std::pow(random.Uniform(), 1.6));
        const double brightness = random.Between(0.35, 0.9);
        const Color tint = random.Uniform() < 0.3 ? Color{255, 236, 200} : Color{215, 228, 255};
        const bool large = random.Uniform() < 0.12;
        auto light = [&](int px, int py, double amount) {
            Rgb& p = Sky.At(px, py);
            const Color c = Mix(Color{double(p.R), double(p.G), double(p.B)}, tint, amount);
            p = Rgb{ToByte(c.R), ToByte(c.G), ToByte(c.B)};
        };
        light(x, y, large ? 0.95 : brightness);
        if (!large) continue;
        light(x - 1, y, 0.35);
        light(x + 1, y, 0.35);
        light(x, y - 1, 0.35);
        light(x, y + 1, 0.35);
    }
}

// Soft horizontal wisps of cloud: elongated Gaussian blobs (x, y, length, thickness).
struct Wisp {
    double X, Y, Length, Thickness;
};
constexpr Wisp kWisps[] = {{120, 70, 150, 12}, {250, 84, 90, 8},  {560, 55, 170, 13}, {690, 74, 80, 8},
                           {420, 150, 130, 9}, {80, 188, 110, 6}, {640, 192, 140, 7}, {330, 208, 90, 5}};

double WispCover(int X, int Y) {
    double cover = 0;
    for (const Wisp& w : kWisps)
        cover += Gaussian(X - w.X, w.Length) * Gaussian(Y - w.Y, w.Thickness);
    return std::min(cover, 1.0);
}

Color DayShade(int X, int Y) {
    if (Y >= kHorizonY) {
        const double depth = (Y - kHorizonY) / (kBackgroundHeight - kHorizonY);
        const Color water = Mix(Color{132, 184, 226}, Color{62, 122, 190}, std::sqrt(depth));
        return Mix(water, Color{225, 240, 250}, 0.6 * Glint(X, Y));
    }
    const double t = std::pow(Y / kHorizonY, 1.6);
    const Color sky = Mix(Color{66, 132, 214}, Color{172, 210, 240}, t);
    const Color warm = Mix(sky, Color{250, 214, 172}, 0.7 * Gaussian(Y - kHorizonY, 42));
    return Mix(warm, Color{238, 243, 250}, 0.55 * WispCover(X, Y));
}

} // namespace

Picture MakeNightSky() {
    Picture sky = PaintBackground(NightShade);
    DitherTo565(sky);
    AddStars(sky); // after dithering, so each star stays one crisp pixel
    return sky;
}

Picture MakeDaySky() {
    Picture sky = PaintBackground(DayShade);
    DitherTo565(sky);
    return sky;
}
