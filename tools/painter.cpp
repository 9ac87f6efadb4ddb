#include "painter.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kSamplesPerAxis = 4;
// Pixels covered less than this stay transparent: a sliver of an edge would
// otherwise be a dark speck, mostly backdrop colour.
constexpr double kMinimumAlpha = 0.2;

uint8_t ToByte(double Channel) {
    return uint8_t(std::lround(std::clamp(Channel, 0.0, 255.0)));
}

} // namespace

Painter::Painter(int Width, int Height, double DesignWidth, double DesignHeight)
    : width(Width), height(Height), scaleX(DesignWidth / Width), scaleY(DesignHeight / Height),
      texels(size_t(Width) * Height) {}

void Painter::Paint(const Region& Area, const Shader& Shade, double Opacity) {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double a = coverage(Area, x, y) * Opacity;
            if (a <= 0) continue;
            // Source-over compositing on premultiplied colour, shaded at the pixel centre.
            const Color c = Shade((x + 0.5) * scaleX, (y + 0.5) * scaleY);
            Texel& t = texels[size_t(y) * width + x];
            t.Premultiplied =
                Color{c.R * a + t.Premultiplied.R * (1 - a), c.G * a + t.Premultiplied.G * (1 - a),
                      c.B * a + t.Premultiplied.B * (1 - a)};
            t.Alpha = a + t.Alpha * (1 - a);
        }
    }
}

Picture Painter::Flatten(Color Backdrop) const {
    Picture out(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Texel& t = texels[size_t(y) * width + x];
            if (t.Alpha < kMinimumAlpha) continue;
            // The backdrop shows through the uncovered part of the pixel.
            const double rest = 1 - t.Alpha;
            out.At(x, y) = KeepOffWhite(Rgb{ToByte(t.Premultiplied.R + Backdrop.R * rest),
                                            ToByte(t.Premultiplied.G + Backdrop.G * rest),
                                            ToByte(t.Premultiplied.B + Backdrop.B * rest)});
        }
    }
    return out;
}

double Painter::coverage(const Region& Area, int X, int Y) const {
    int inside = 0;
    for (int sy = 0; sy < kSamplesPerAxis; ++sy) {
        for (int sx = 0; sx < kSamplesPerAxis; ++sx) {
            const double px = (X + (sx + 0.5) / kSamplesPerAxis) * scaleX;
            const double py = (Y + (sy + 0.5) / kSamplesPerAxis) * scaleY;
            if (Area(px, py)) ++inside;
        }
    }
    return double(inside) / (kSamplesPerAxis * kSamplesPerAxis);
}
