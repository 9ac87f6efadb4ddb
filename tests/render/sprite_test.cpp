#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/png_writer.h"
#include "render/d2d.h"
#include "render/image_list_rig.h"

namespace {

const uint32_t kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255),
               kYellow = RGB(255, 255, 0);

// Quadrants red (top-left), green (top-right), blue (bottom-left), yellow.
uint32_t Quadrants(int X, int Y, int Size) {
    const bool right = X >= Size / 2, bottom = Y >= Size / 2;
    return bottom ? (right ? kYellow : kBlue) : (right ? kGreen : kRed);
}

std::vector<uint8_t> Snapshot(const TDirectDrawSurface* S) {
    const PixelView v = S->View();
    std::vector<uint8_t> bytes;
    for (int y = 0; y < v.Height; ++y)
        bytes.insert(bytes.end(), v.Row(y), v.Row(y) + v.Width * BytesPerPixel(v.Format));
    return bytes;
}

// The bounding box of the pixels that are not black.
TRect Painted(const ImageListRig& R) {
    TRect box{800, 600, 0, 0};
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            if (R.Pixel(x, y) != 0)
                box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                       std::max(box.Bottom, y + 1)};
    return box;
}

bool NothingPainted(const ImageListRig& R) {
    return Painted(R).Empty();
}

} // namespace

TEST(SpriteDraw, ClipsAtTheSurfaceEdges) {
    struct Case {
        const char* Name;
        int X, Y;
        TRect Expected;       // where the image lands
        int SourceX, SourceY; // the image pixel at Expected's top-left corner
    };
    const Case cases[] = {
        {"at (-10, -10): the lower-right 30 x 30", -10, -10, Rect(0, 0, 30, 30), 10, 10},
        {"at (790, 590): the upper-left 10 x 10", 790, 590, Rect(790, 590, 800, 600), 0, 0},
        {"inside", 100, 50, Rect(100, 50, 140, 90), 0, 0},
    };
    for (const Case& c : cases) {
        ImageListRig r;
        const auto picture = MakePicture(40, 40, Coded);
        r.Add(*picture, false)->Draw(r.Back(), c.X, c.Y, 0);
        EXPECT_EQ(Painted(r), c.Expected) << c.Name;
        for (int y = c.Expected.Top; y < c.Expected.Bottom; ++y)
            for (int x = c.Expected.Left; x < c.Expected.Right; ++x)
                ASSERT_EQ(r.Pixel(x, y),
                          r.Shown(Coded(c.SourceX + x - c.Expected.Left, c.SourceY + y - c.Expected.Top)))
                    << c.Name << " at " << x << "," << y;
    }
}

TEST(SpriteDraw, StretchDrawScalesAndSkipsEmptyRectangles) {
    ImageListRig r;
    const auto picture = MakePicture(10, 10, [](int X, int Y) { return Quadrants(X, Y, 10); });
    TPictureCollectionItem* star = r.Add(*picture, false);
    for (const TRect& empty : {Rect(100, 100, 100, 100), Rect(100, 100, 120, 100), Rect(110, 110, 100, 100)})
        star->StretchDraw(r.Back(), empty, 0);
    EXPECT_TRUE(NothingPainted(r)) << "a star of half-size 0 draws nothing";

    star->StretchDraw(r.Back(), Rect(-10, 0, 10, 20), 0); // twice the size, its left half clipped away
    EXPECT_EQ(Painted(r), Rect(0, 0, 10, 20));
    EXPECT_EQ(r.Pixel(0, 9), kGreen);
    EXPECT_EQ(r.Pixel(9, 10), kYellow);
}

TEST(SpriteDraw, RotationKeepsTheSquareAndTurnsItsContentClockwise) {
    struct Case {
        int Angle;
        uint32_t TopLeft, TopRight;
    };
    const Case cases[] = {{0, kRed, kGreen},
                          {64, kBlue, kRed},
                          {128, kYellow, kBlue},
                          {256, kRed, kGreen},
                          {-192, kBlue, kRed}};
    const auto picture = MakePicture(40, 40, [](int X, int Y) { return Quadrants(X, Y, 40); });
    for (const Case& c : cases) {
        ImageListRig r;
        r.Add(*picture, false)->DrawRotate(r.Back(), 100, 100, 20, 20, 0, 0.5, 0.5, c.Angle);
        EXPECT_EQ(Painted(r), Rect(90, 90, 110, 110)) << "angle " << c.Angle;
        EXPECT_EQ(r.Pixel(94, 94), c.TopLeft) << "angle " << c.Angle;
        EXPECT_EQ(r.Pixel(105, 94), c.TopRight) << "angle " << c.Angle;
    }
}

TEST(SpriteDraw, AnglesUseTheirLowEightBits) {
    const auto picture = MakePicture(30, 17, Coded);
    auto drawn = [&](int Angle) {
        ImageListRig r;
        r.Add(*picture)->DrawRotateAlpha(r.Back(), 300, 200, 61, 37, 0, 0.3, 0.7, Angle, 180);
        return Snapshot(r.Back());
    };
    EXPECT_EQ(drawn(256), drawn(0));
    EXPECT_EQ(drawn(-1), drawn(255));
    EXPECT_EQ(drawn(359), drawn(103));
    EXPECT_NE(drawn(1), drawn(0));
}

TEST(SpriteDraw, CentreAndOffsetsPlaceTheImage) {
    struct Case {
        const char* Name;
        int Width, Height;
        double CenterX, CenterY;
        int Angle;
        TRect Expected;
    };
    const Case cases[] = {
        {"bottom middle at (200, 200)", 20, 30, 0.5, 1.0, 0, Rect(190, 170, 210, 200)},
        {"half a turn about the bottom middle", 20, 30, 0.5, 1.0, 128, Rect(190, 200, 210, 230)},
        {"a quarter turn about the bottom middle", 20, 30, 0.5, 1.0, 64, Rect(200, 190, 230, 210)},
        {"width 25: ox 12 (12.5 to even)", 25, 10, 0.5, 0.5, 0, Rect(188, 195, 213, 205)},
        {"width 27: ox 14 (13.5 to even)", 27, 10, 0.5, 0.5, 0, Rect(186, 195, 213, 205)},
    };
    const auto picture = MakePicture(16, 16, [](int, int) { return RGB(200, 100, 50); });
    for (const Case& c : cases) {
        ImageListRig r;
        r.Add(*picture, false)
            ->DrawRotateAlpha(r.Back(), 200, 200, c.Width, c.Height, 0, c.CenterX, c.CenterY, c.Angle, 255);
        EXPECT_EQ(Painted(r), c.Expected) << c.Name;
    }
}

TEST(SpriteDraw, AlphaUsesItsLowEightBitsAndBlends) {
    const uint32_t under = RGB(40, 80, 120), over = RGB(250, 10, 200);
    struct Case {
        int Alpha;
        double Weight; // of the picture
    };
    const Case cases[] = {{0, 0}, {255, 1}, {256, 0}, {100, 100 / 255.0}, {-156, 100 / 255.0}};
    const auto background = MakePicture(50, 50, [&](int, int) { return under; });
    const auto picture = MakePicture(20, 20, [&](int, int) { return over; });
    for (const Case& c : cases) {
        ImageListRig r(32);
        r.Add(*background, false)->Draw(r.Back(), 0, 0, 0);
        r.Add(*picture, false)->DrawAlpha(r.Back(), Rect(10, 10, 30, 30), 0, c.Alpha);
        const uint32_t got = r.Pixel(20, 20);
        for (int shift : {0, 8, 16}) {
            const double o = (over >> shift) & 255, u = (under >> shift) & 255;
            EXPECT_NEAR((got >> shift) & 255, o * c.Weight + u * (1 - c.Weight), 1) << "alpha " << c.Alpha;
        }
        EXPECT_EQ(r.Pixel(9, 9), under);
        EXPECT_EQ(r.Pixel(30, 30), under);
    }
}

TEST(SpriteDraw, DrawAlphaAtFullSizeCopiesEveryPixel) {
    ImageListRig r(32);
    const auto picture = MakePicture(51, 31, Coded);
    r.Add(*picture, false)->DrawAlpha(r.Back(), Rect(10, 20, 61, 51), 0, 255);
    EXPECT_EQ(Painted(r), Rect(10, 20, 61, 51));
    for (int y = 0; y < 31; ++y)
        for (int x = 0; x < 51; ++x)
            ASSERT_EQ(r.Pixel(10 + x, 20 + y), Coded(x, y)) << x << "," << y;
}

TEST(SpriteDraw, DrawRotateIsOpaqueAndADarkerShade) {
    ImageListRig r(32);
    const auto white = MakePicture(8, 8, [](int, int) { return RGB(255, 255, 255); });
    r.Add(*white, false)->DrawRotate(r.Back(), 50, 50, 8, 8, 0, 0.5, 0.5, 0);
    EXPECT_EQ(r.Pixel(50, 50), RGB(254, 254, 254));
}

TEST(SpriteDraw, RendererDrawsOnlyOnA16Or32BitBackSurface) {
    ImageListRig r(24);
    ASSERT_EQ(r.Back()->BitCount(), 24);
    const auto picture = MakePicture(20, 20, [](int, int) { return kRed; });
    TPictureCollectionItem* image = r.Add(*picture, false);
    image->DrawAlpha(r.Back(), Rect(0, 0, 20, 20), 0, 255);
    image->DrawRotate(r.Back(), 50, 50, 20, 20, 0, 0.5, 0.5, 10);
    image->DrawRotateAlpha(r.Back(), 50, 50, 20, 20, 0, 0.5, 0.5, 10, 200);
    EXPECT_TRUE(NothingPainted(r));
    image->Draw(r.Back(), 100, 100, 0);
    image->StretchDraw(r.Back(), Rect(200, 200, 210, 210), 0);
    EXPECT_EQ(r.Pixel(100, 100), kRed);
    EXPECT_EQ(r.Pixel(205, 205), kRed);
}

TEST(SpriteDraw, NothingIsDrawnForUninitializedImagesBadPatternsOrOtherSurfaces) {
    ImageListRig r;
    const auto picture = MakePicture(20, 20, [](int, int) { return kRed; });
    auto* unrestored = new TPictureCollectionItem(&r.List.Items());
    unrestored->Picture().SetGraphic(picture.get());
    TPictureCollectionItem* image = r.Add(*picture, false);
    TDirectDrawSurface other;
    ASSERT_TRUE(other.CreateSurface(800, 600, PixelFormat::Rgb565, true));
    struct Case {
        TPictureCollectionItem* Image;
        int Pattern;
        TDirectDrawSurface* Dest;
    };
    for (const Case& c :
         {Case{unrestored, 0, r.Back()}, Case{image, 1, r.Back()}, Case{image, -1, r.Back()}}) {
        c.Image->Draw(c.Dest, 10, 10, c.Pattern);
        c.Image->StretchDraw(c.Dest, Rect(0, 0, 50, 50), c.Pattern);
        c.Image->DrawAlpha(c.Dest, Rect(0, 0, 50, 50), c.Pattern, 255);
        c.Image->DrawRotate(c.Dest, 50, 50, 20, 20, c.Pattern, 0.5, 0.5, 0);
        c.Image->DrawRotateAlpha(c.Dest, 50, 50, 20, 20, c.Pattern, 0.5, 0.5, 0, 255);
    }
    EXPECT_TRUE(NothingPainted(r));
    image->DrawAlpha(&other, Rect(0, 0, 50, 50), 0, 255);
    image->DrawRotate(&other, 50, 50, 20, 20, 0, 0.5, 0.5, 0);
    EXPECT_EQ(other.View().Read(25, 25), 0u) << "the renderer draws on the display's back surface only";
}

TEST(SpriteDraw, WhiteKeyedImagesShowNoWhiteOrNearWhiteAt16Bits) {
    // A red disc in a near-white ring (the same 5-6-5 value as white) on white.
    const auto picture = MakePicture(40, 40, [](int X, int Y) {
        const int d = (X - 20) * (X - 20) + (Y - 20) * (Y - 20);
        return d < 100 ? kRed : d < 196 ? RGB(250, 253, 249) : RGB(255, 255, 255);
    });
    ImageListRig r;
    TPictureCollectionItem* image = r.Add(*picture);
    image->Draw(r.Back(), 0, 0, 0);
    image->StretchDraw(r.Back(), Rect(50, 0, 130, 80), 0);
    image->DrawAlpha(r.Back(), Rect(150, 0, 230, 80), 0, 200);
    for (int angle = 0; angle < 256; angle += 37)
        image->DrawRotate(r.Back(), 300 + angle * 2, 300, 20, 20, 0, 0.5, 0.5, angle);
    image->DrawRotateAlpha(r.Back(), 400, 100, 100, 100, 0, 0.5, 0.5, 30, 255);
    int drawn = 0;
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 800; ++x) {
            const uint32_t p = r.Pixel(x, y);
            drawn += p != 0;
            ASSERT_FALSE(RedOf(p) > 200 && GreenOf(p) > 40 && BlueOf(p) > 40)
                << "light pixel at " << x << "," << y;
        }
    }
    EXPECT_GT(drawn, 2000);
}

TEST(SpriteTextures, SizesAndCoordinatesFollowThePicture) {
    struct Case {
        int Width, Height, TextureWidth, TextureHeight;
        double RightU, BottomV;
    };
    const Case cases[] = {{300, 157, 512, 256, 300 / 512.0, 157 / 256.0},
                          {40, 40, 64, 64, 0.625, 0.625},
                          {64, 64, 64, 64, 1.0, 1.0},
                          {1, 3, 2, 4, 0.5, 0.75}};
    for (const Case& c : cases) {
        ImageListRig r;
        const auto picture = MakePicture(c.Width, c.Height, Coded);
        r.Add(*picture, true, 0xFFFFFF, "pic")->DrawRotate(r.Back(), 100, 100, 10, 10, 0, 0.5, 0.5, 0);
        TD2DTextures& cache = r.DS.D2D()->Textures();
        ASSERT_EQ(cache.Count(), 1);
        const TTextureRec& t = cache.Texture(0);
        EXPECT_EQ(t.D3DTexture->Width(), c.TextureWidth);
        EXPECT_EQ(t.D3DTexture->Height(), c.TextureHeight);
        EXPECT_EQ(t.LeftU, 0);
        EXPECT_EQ(t.TopV, 0);
        EXPECT_DOUBLE_EQ(t.RightU, c.RightU);
        EXPECT_DOUBLE_EQ(t.BottomV, c.BottomV);
        if (c.TextureWidth > c.Width) {
            EXPECT_EQ(t.D3DTexture->Texel(c.TextureWidth - 1, 0) & 0xFFFFFF, 0u)
                << "black beside the picture";
        }
    }
}

TEST(SpriteTextures, CacheNamesUnnamedImagesAndEmptiesOnRestoreAndOverflow) {
    ImageListRig r;
    const auto picture = MakePicture(4, 4, Coded);
    std::vector<TPictureCollectionItem*> images;
    for (int i = 0; i < TD2DTextures::kMaxCount + 2; ++i)
        images.push_back(r.Add(*picture));
    TD2DTextures& cache = r.DS.D2D()->Textures();
    for (int i = 0; i <= TD2DTextures::kMaxCount; ++i)
        images[size_t(i)]->DrawRotate(r.Back(), 10, 10, 4, 4, 0, 0.5, 0.5, 0);
    EXPECT_EQ(cache.Count(), TD2DTextures::kMaxCount + 1);
    EXPECT_EQ(images[7]->Name(), "ImageList.Items[7]");
    EXPECT_EQ(cache.Texture(7).Name, "ImageList.Items[7]");
    images[0]->DrawRotate(r.Back(), 10, 10, 4, 4, 0, 0.5, 0.5, 0); // found: nothing new
    EXPECT_EQ(cache.Count(), TD2DTextures::kMaxCount + 1);
    images.back()->DrawRotate(r.Back(), 10, 10, 4, 4, 0, 0.5, 0.5, 0); // more than 2048: all go first
    EXPECT_EQ(cache.Count(), 1);
    images[3]->Restore();
    EXPECT_EQ(cache.Count(), 0);
}

TEST(SpriteTextures, ImagesWithEqualNamesKeepTheirOwnPictures) {
    ImageListRig r(32);
    const auto red = MakePicture(8, 8, [](int, int) { return kRed; });
    const auto blue = MakePicture(8, 8, [](int, int) { return kBlue; });
    r.Add(*red, false, 0, "a")->DrawAlpha(r.Back(), Rect(0, 0, 8, 8), 0, 255);
    r.Add(*blue, false, 0, "A")->DrawAlpha(r.Back(), Rect(10, 0, 18, 8), 0, 255);
    EXPECT_EQ(r.Pixel(4, 4), kRed);
    EXPECT_EQ(r.Pixel(14, 4), kBlue);
}

// A sheet of glyphs and suns at many angles, sizes and alphas over a striped
// background: no pixel of it may show the white key (nor a colour that is white
// at 5-6-5). Set FUIFJE_SPRITE_PNG to a file name to look at the sheet.
TEST(SpriteDraw, SheetOfTurnedScaledAndBlendedSpritesShowsNoKeyColour) {
    ImageListRig r;
    const auto stripes = MakePicture(
        800, 600, [](int X, int Y) { return ((X + Y) / 20) % 2 ? RGB(0, 40, 90) : RGB(20, 90, 40); });
    const auto glyph = MakePicture(40, 40, [](int, int) { return RGB(255, 255, 255); });
    glyph->Canvas().Font = FontSpec{"Verdana", 24, true, RGB(255, 0, 0)};
    glyph->Canvas().TextOut(0, 0, "W");
    const auto sun = MakePicture(64, 64, [](int X, int Y) {
        const int d = (X - 32) * (X - 32) + (Y - 32) * (Y - 32);
        return d < 600 ? RGB(255, uint8_t(150 + X), 0) : d < 700 ? RGB(200, 0, 200) : RGB(255, 255, 255);
    });
    r.Add(*stripes, false)->Draw(r.Back(), 0, 0, 0);
    TPictureCollectionItem* letter = r.Add(*glyph, true, 0xFFFFFF, "W");
    TPictureCollectionItem* disc = r.Add(*sun, true, 0xFFFFFF, "sun");
    for (int i = 0; i < 16; ++i) {
        letter->DrawRotate(r.Back(), 30 + i * 48, 40, 20, 20, 0, 0.5, 0.5, i * 16);
        letter->DrawRotate(r.Back(), 30 + i * 48, 110, 20 + i * 2, 20 + i * 2, 0, 0.5, 0.5, -i * 5);
        disc->DrawRotateAlpha(r.Back(), 40 + i * 48, 220, 30 + i * 3, 40, 0, 0.5, 1.0, i * 8, 255 - i * 15);
        letter->DrawAlpha(r.Back(), Bounds(20 + i * 48, 300, 40, 40), 0, 40 + i * 14);
    }
    disc->DrawRotateAlpha(r.Back(), 200, 480, 200, 200, 0, 0.5, 0.5, 20, 210);
    letter->DrawRotate(r.Back(), 550, 480, 160, 160, 0, 0.5, 0.5, 9);
    if (const char* file = std::getenv("FUIFJE_SPRITE_PNG")) WritePng(file, r.Back()->View());
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            ASSERT_NE(r.Pixel(x, y), RGB(255, 255, 255)) << x << "," << y;
}

TEST(SpriteTextures, APictureTooLargeForATextureIsDrawnAsAPlainQuad) {
    ImageListRig r(32);
    const auto wide = MakePicture(RasterTexture::kMaxSide + 1, 2, [](int, int) { return kBlue; });
    TPictureCollectionItem* image = r.Add(*wide, false);
    image->DrawAlpha(r.Back(), Rect(10, 10, 20, 20), 0, 255);
    EXPECT_EQ(r.Pixel(15, 15), RGB(255, 255, 255));
    EXPECT_EQ(r.DS.D2D()->Textures().Count(), 0);
    // Centres far outside the image, or not numbers at all, move it without harm.
    image->DrawRotate(r.Back(), 100, 100, 10, 10, 0, 1e300, -1e300, 3);
    image->DrawRotate(r.Back(), 100, 100, 10, 10, 0, std::nan(""), 0.5, 3);
    EXPECT_EQ(r.Pixel(100, 100), RGB(254, 254, 254));
}

// The renderer stands alone: handed a surface and a sprite description, with
// no display or image list behind them, it draws the sprite's corners (or the
// whole picture) stretched over the rectangle, and nothing while the target
// does not ask for the 3D device.
TEST(SpriteTextures, TheRendererDrawsWhatItsCallerDescribes) {
    TDirectDrawSurface surface;
    ASSERT_TRUE(surface.CreateSurface(20, 20, PixelFormat::Bgrx32, true));
    TPicture picture;
    picture.SetGraphic(MakePicture(8, 8, [](int X, int Y) { return Quadrants(X, Y, 8); }).get());
    const D2DSprite yellowQuadrant{"quadrants", 1, &picture, false, 0, Rect(4, 4, 8, 8)};
    const D2DSprite whole{"quadrants", 1, &picture, false, 0, std::nullopt};
    TD2D renderer;
    renderer.BeginScene();
    auto shown = [&surface](int X, int Y) {
        return UnpackColor(surface.Format(), surface.View().Read(X, Y));
    };
    renderer.DrawAlpha({&surface, false}, yellowQuadrant, Rect(0, 0, 10, 10), 255);
    EXPECT_EQ(shown(5, 5), 0u);
    renderer.DrawAlpha({&surface, true}, yellowQuadrant, Rect(0, 0, 10, 10), 255);
    EXPECT_EQ(shown(5, 5), kYellow);
    renderer.DrawAlpha({&surface, true}, whole, Rect(0, 0, 10, 10), 255);
    EXPECT_EQ(shown(1, 1), kRed);
    EXPECT_EQ(shown(8, 8), kYellow);
    ASSERT_EQ(renderer.Textures().Count(), 1);
    EXPECT_EQ(renderer.Textures().Texture(0).Name, "quadrants");
}
