// Pictures of any size: backgrounds scaled and cropped to cover 800 x 340
// (the built-in size untouched), sprites too large for a texture scaled down
// with their white key intact, and a show that plays with such pictures.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/png_writer.h"
#include "render/picture.h"
#include "show/picture_fit.h"
#include "show/show_rig.h"

namespace {

// Makes Bitmap 24-bit, Width x Height, every pixel Paint(x, y) as (red, green, blue).
void PaintBitmap(TBitmap& bitmap, int Width, int Height,
                 const std::function<std::array<uint8_t, 3>(int, int)>& Paint) {
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(Width, Height);
    for (int y = 0; y < Height; ++y) {
        uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < Width; ++x) {
            const auto [r, g, b] = Paint(x, y);
            row[3 * x] = b, row[3 * x + 1] = g, row[3 * x + 2] = r;
        }
    }
}

// Red, green and blue of a pixel of a 24- or 32-bit bitmap.
std::array<uint8_t, 3> At(TBitmap& Bitmap, int X, int Y) {
    const int bytes = Bitmap.PixelFormat() == pf32bit ? 4 : 3;
    const uint8_t* p = Bitmap.ScanLine(Y) + X * bytes;
    return {p[2], p[1], p[0]};
}

// Position as colour: red grows to the right, green downwards, over the whole picture.
std::array<uint8_t, 3> Ramp(int X, int Y, int Width, int Height) {
    return {uint8_t(255 * X / std::max(1, Width - 1)), uint8_t(255 * Y / std::max(1, Height - 1)), 90};
}

} // namespace

TEST(PictureFit, BackgroundsOfAnySizeCoverTheBlendedBand) {
    struct Case {
        int Width, Height;
        int FittedHeight;
    };
    // Tiny, very wide, very tall, a huge photo, a small photo, the built-in size, a tall 800.
    const Case cases[] = {{3, 2, 533},     {5000, 120, 340}, {90, 4000, 600}, {4000, 3000, 600},
                          {640, 300, 375}, {800, 600, 600},  {800, 1000, 600}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Width) + " x " + std::to_string(c.Height));
        TBitmap bitmap;
        PaintBitmap(bitmap, c.Width, c.Height, [&](int x, int y) { return Ramp(x, y, c.Width, c.Height); });
        const bool changed = FitBackground(bitmap);
        EXPECT_EQ(changed, !(c.Width == 800 && c.Height == 600));
        EXPECT_EQ(bitmap.Width(), 800);
        EXPECT_EQ(bitmap.Height(), c.FittedHeight);
        // Centred: the middle of the picture stays in the middle, its colours in order.
        const auto middle = At(bitmap, 400, bitmap.Height() / 2);
        EXPECT_NEAR(middle[0], 127, 4);
        EXPECT_NEAR(middle[1], 127, 4);
        EXPECT_LE(At(bitmap, 0, 0)[0], At(bitmap, 799, 0)[0]);
        EXPECT_LE(At(bitmap, 0, 0)[1], At(bitmap, 0, bitmap.Height() - 1)[1]);
    }
    // A picture 800 wide keeps its pixels: only the rows beyond 600 are cut, as many above as below.
    TBitmap tall;
    PaintBitmap(tall, 800, 1000, [](int x, int y) {
        return std::array<uint8_t, 3>{uint8_t(x), uint8_t(y), uint8_t(y >> 8)};
    });
    ASSERT_TRUE(FitBackground(tall));
    for (int y : {0, 299, 599})
        for (int x : {0, 401, 799})
            EXPECT_EQ(At(tall, x, y),
                      (std::array<uint8_t, 3>{uint8_t(x), uint8_t(y + 200), uint8_t((y + 200) >> 8)}));
}

TEST(PictureFit, LargeSpritesShrinkKeepingTheirShapeAndTheirWhiteKey) {
    // A red disc on white, 4000 x 3000.
    TBitmap sun;
    PaintBitmap(sun, 4000, 3000, [](int x, int y) {
        return std::hypot(x - 2000, y - 1500) < 1200 ? std::array<uint8_t, 3>{230, 30, 20}
                                                     : std::array<uint8_t, 3>{255, 255, 255};
    });
    ASSERT_TRUE(BoundSprite(sun));
    EXPECT_EQ(sun.Width(), kMaxSpriteSide);
    EXPECT_EQ(sun.Height(), 384);
    // Every pixel is the key or the disc's own red: no pink fringe that white would leave.
    for (int y = 0; y < sun.Height(); ++y)
        for (int x = 0; x < sun.Width(); ++x) {
            const auto p = At(sun, x, y);
            if (p != std::array<uint8_t, 3>{255, 255, 255})
                ASSERT_EQ(p, (std::array<uint8_t, 3>{230, 30, 20})) << x << "," << y;
        }
    EXPECT_EQ(At(sun, 256, 192), (std::array<uint8_t, 3>{230, 30, 20}));
    EXPECT_EQ(At(sun, 5, 5), (std::array<uint8_t, 3>{255, 255, 255}));
    // Sprites that fit are left alone.
    TBitmap star;
    PaintBitmap(star, 512, 40, [](int, int) { return std::array<uint8_t, 3>{1, 2, 3}; });
    EXPECT_FALSE(BoundSprite(star));
}

// A show with a huge sun photo and backgrounds of odd sizes draws them all.
TEST(PictureFit, TheShowPlaysWithPicturesOfOddSizes) {
    TempFolder folder(false);
    auto writePng = [&](const std::string& Name, int Width, int Height, std::array<uint8_t, 3> Colour) {
        std::vector<uint8_t> bytes(size_t(Width) * Height * 3);
        for (size_t i = 0; i < bytes.size(); i += 3)
            bytes[i] = Colour[2], bytes[i + 1] = Colour[1], bytes[i + 2] = Colour[0];
        WritePng(folder.Folder() + Name,
                 PixelView{bytes.data(), Width, Height, ptrdiff_t(Width) * 3, PixelFormat::Bgr24});
        return folder.Folder() + Name;
    };
    ShowRig run(1, RigStart::Later);
    run.Content.Files.Night = writePng("night.png", 7, 3, {0, 0, 200});
    run.Content.Files.Day = writePng("day.png", 3000, 200, {0, 200, 0});
    run.Content.Files.Sun = writePng("sun.png", 3000, 3000, {248, 0, 0});
    run.Create();
    const auto colourAt = [&](int X, int Y) { return UnpackColor(run.Back().Format, run.Back().Read(X, Y)); };
    const auto shown = [&](uint32_t Colour) {
        return UnpackColor(run.Back().Format, PackColor(run.Back().Format, Colour));
    };
    for (int frame = 1; frame < 600; ++frame)
        run.Frame();
    EXPECT_EQ(colourAt(400, 20), shown(RGB(0, 0, 200))); // the night, stretched over the screen
    while (run.Form->Stage < 2)
        run.Frame();
    for (int frame = 0; frame < 10; ++frame)
        run.Frame();
    EXPECT_EQ(colourAt(20, 20), shown(RGB(0, 200, 0))); // the day
    // The sun, scaled down on load and drawn at 250 x 250 around (350, 100), 210 of 255 opaque over green.
    const uint32_t sun = colourAt(350, 100);
    EXPECT_GT(RedOf(sun), 180);
    EXPECT_LT(GreenOf(sun), 60);
}
