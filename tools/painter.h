// Antialiased painting of a sprite on a transparent layer. Regions are sampled
// 4x4 times per pixel in a design space scaled to the picture (so a picture
// that the show squeezes can be drawn in the proportions it is seen in), then
// the layer is flattened onto the white key with its edges shaded dark (or,
// for an icon, kept with its alpha).
#pragma once

#include <vector>

#include "picture.h"
#include "shapes.h"

class Painter {
public:
    // A transparent layer of Width x Height pixels spanning DesignWidth x DesignHeight units.
    Painter(int Width, int Height, double DesignWidth, double DesignHeight);

    // Paints Shade over everything painted so far, wherever Area covers a pixel.
    void Paint(const Region& Area, const Shader& Shade, double Opacity = 1.0);

    // The finished picture: uncovered pixels pure white, partly covered ones
    // mixed towards Backdrop (never towards white, which would leave a light
    // fringe on a dark scene), no painted pixel near-white.
    Picture Flatten(Color Backdrop) const;
    // The layer as it is, each pixel's coverage kept as its alpha.
    RgbaPicture Layer() const;

private:
    struct Texel {
        Color Premultiplied;
        double Alpha = 0;
    };

    double Coverage(const Region& Area, int X, int Y) const;

    int FWidth;
    int FHeight;
    double FScaleX;
    double FScaleY;
    std::vector<Texel> FTexels;
};
