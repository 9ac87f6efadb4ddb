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
    : FWidth(Width), FHeight(Height), FScaleX(DesignWidth / Width), FScaleY(DesignHeight / Height),
      FTexels(size_t(Width) * Height) {}

void Painter::Paint(const Region& Area, const Shader& Shade, double Opacity) {
    for (int y = 0; y < FHeight; ++y) {
        for (int x = 0; x < FWidth; ++x) {
            const double a = Coverage(Area, x, y) * Opacity;
            if (a <= 0) continue;
            // Source-over compositing on premultiplied colour, shaded at the pixel centre.
            const Color c = Shade((x + 0.5) * FScaleX, (y + 0.5) * FScaleY);
            Texel& t = FTexels[size_t(y) * FWidth + x];
            t.Premultiplied =
                Color{c.R * a + t.Premultiplied.R * (1 - a), c.G * a + t.Premultiplied.G * (1 - a),
                      c.B * a + t.Premultiplied.B * (1 - a)};
            t.Alpha = a + t.Alpha * (1 - a);
        }
    }
}

Picture Painter::Flatten(Color Backdrop) const {
    Picture out(FWidth, FHeight);
    for (int y = 0; y < FHeight; ++y) {
        for (int x = 0; x < FWidth; ++x) {
            const Texel& t = FTexels[size_t(y) * FWidth + x];
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

RgbaPicture Painter::Layer() const {
    RgbaPicture out(FWidth, FHeight);
    for (size_t i = 0; i < FTexels.size(); ++i) {
        const Texel& t = FTexels[i];
        if (t.Alpha <= 0) continue;
        // Undo the premultiplication: the colour of the covered part alone.
        out.Pixels[i] = Rgba{ToByte(t.Premultiplied.R / t.Alpha), ToByte(t.Premultiplied.G / t.Alpha),
                             ToByte(t.Premultiplied.B / t.Alpha), ToByte(t.Alpha * 255)};
    }
    return out;
}

double Painter::Coverage(const Region& Area, int X, int Y) const {
    int inside = 0;
    for (int sy = 0; sy < kSamplesPerAxis; ++sy) {
        for (int sx = 0; sx < kSamplesPerAxis; ++sx) {
            const double px = (X + (sx + 0.5) / kSamplesPerAxis) * FScaleX;
            const double py = (Y + (sy + 0.5) / kSamplesPerAxis) * FScaleY;
            if (Area(px, py)) ++inside;
        }
    }
    return double(inside) / (kSamplesPerAxis * kSamplesPerAxis);
}
