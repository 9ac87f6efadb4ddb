// Tests of the sprite painter's keying rules and of the 16-bit dithering.
#include <gtest/gtest.h>

#include <algorithm>

#include "painter.h"
#include "picture.h"
#include "platform/pixel_view.h"

namespace {

constexpr Color kDarkBackdrop{20, 30, 60};

TEST(Painter, KeysTheOutsideWhiteAndShadesEdgesDarkNeverNearWhite) {
    Painter painter(16, 16, 16, 16);
    painter.Paint(Circle(Point{8, 8}, 6), Solid(Color{255, 255, 255})); // paint the key colour itself
    const Picture out = painter.Flatten(kDarkBackdrop);
    EXPECT_EQ(out.At(0, 0), kWhite);
    EXPECT_EQ(out.At(15, 8), kWhite);
    int painted = 0;
    for (const Rgb& p : out.Pixels) {
        if (p == kWhite) continue;
        ++painted;
        EXPECT_FALSE(IsNearWhite(p));
        // An edge mixes the paint with the dark backdrop: never lighter than the paint.
        EXPECT_GE(p.R, kDarkBackdrop.R);
        EXPECT_GE(p.B, kDarkBackdrop.B);
    }
    EXPECT_NEAR(painted, 113, 12); // about pi * 6^2 pixels
    EXPECT_FALSE(out.At(8, 8) == kWhite);
}

TEST(Painter, DesignSpaceIsScaledOntoThePixels) {
    // 4 pixels wide for 8 units: the left half of the design is the left 2 columns.
    Painter painter(4, 2, 8, 8);
    painter.Paint(Polygon({{0, 0}, {4, 0}, {4, 8}, {0, 8}}), Solid(Color{200, 0, 0}));
    const Picture out = painter.Flatten(kDarkBackdrop);
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(out.At(0, y), (Rgb{200, 0, 0}));
        EXPECT_EQ(out.At(1, y), (Rgb{200, 0, 0}));
        EXPECT_EQ(out.At(2, y), kWhite);
        EXPECT_EQ(out.At(3, y), kWhite);
    }
}

TEST(Painter, HalfTransparentPaintLetsThePaintBelowShow) {
    Painter painter(1, 1, 1, 1);
    const Region all = [](double, double) { return true; };
    painter.Paint(all, Solid(Color{0, 0, 200}));
    painter.Paint(all, Solid(Color{200, 0, 0}), 0.5);
    EXPECT_EQ(painter.Flatten(kDarkBackdrop).At(0, 0), (Rgb{100, 0, 100}));
}

TEST(Dither, LandsOnDisplayLevelsAndKeepsTheMeanOfAFlatField) {
    for (const Rgb flat : {Rgb{100, 150, 200}, Rgb{3, 5, 22}, Rgb{255, 254, 253}}) {
        Picture field(16, 16);
        std::fill(field.Pixels.begin(), field.Pixels.end(), flat);
        DitherTo565(field);
        double r = 0, g = 0, b = 0;
        for (const Rgb& p : field.Pixels) {
            const uint32_t c = RGB(p.R, p.G, p.B);
            EXPECT_EQ(UnpackColor(PixelFormat::Rgb565, PackColor(PixelFormat::Rgb565, c)), c);
            r += p.R, g += p.G, b += p.B;
        }
        const double n = double(field.Pixels.size());
        EXPECT_NEAR(r / n, flat.R, 1);
        EXPECT_NEAR(g / n, flat.G, 1);
        EXPECT_NEAR(b / n, flat.B, 1);
    }
}

} // namespace
