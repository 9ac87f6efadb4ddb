#include "render/direct_draw_surface.h"

#include <gtest/gtest.h>

namespace {

TEST(DirectDrawSurface, CopiesWithTheSourceKeyAndRecordsFailures) {
    TDirectDrawSurface dest, sprite;
    ASSERT_TRUE(dest.CreateSurface(800, 600, PixelFormat::Rgb565, false));
    ASSERT_TRUE(sprite.CreateSurface(40, 40, PixelFormat::Rgb565, true));
    EXPECT_TRUE(sprite.SystemMemory());
    // A white-keyed sprite: near-white colours pack to the same 5-6-5 value and are keyed too.
    sprite.SetColorKey(sprite.ColorMatch(0xFFFFFF));
    EXPECT_EQ(sprite.ColorKey(), 0xFFFFu);
    EXPECT_EQ(sprite.ColorMatch(RGB(250, 253, 249)), 0xFFFFu);
    sprite.Fill(sprite.ColorMatch(RGB(250, 253, 249)));
    sprite.FillRect(Rect(30, 30, 40, 40), sprite.ColorMatch(0x0000FF));
    dest.Fill(0x1234);

    EXPECT_TRUE(dest.Draw(-10, -10, Rect(0, 0, 40, 40), sprite, true));
    EXPECT_EQ(dest.View().Read(0, 0), 0x1234u);   // keyed
    EXPECT_EQ(dest.View().Read(20, 20), 0xF800u); // the red corner, now at (20..29)
    EXPECT_EQ(dest.View().Read(30, 30), 0x1234u); // nothing beyond the sprite
    EXPECT_TRUE(dest.Draw(790, 590, Rect(0, 0, 40, 40), sprite, false));
    EXPECT_EQ(dest.View().Read(799, 599), 0xFFFFu); // opaque: the near-white shows
    EXPECT_TRUE(dest.StretchDraw(Rect(100, 100, 120, 120), Rect(30, 30, 40, 40), sprite, true));
    EXPECT_EQ(dest.View().Read(119, 119), 0xF800u);
    EXPECT_EQ(dest.LastResult(), DXResult::Ok);

    sprite.Buffer().SetLost(true);
    EXPECT_FALSE(dest.Draw(0, 0, Rect(0, 0, 40, 40), sprite, true));
    EXPECT_EQ(dest.LastResult(), DXResult::SurfaceLost);
    EXPECT_TRUE(sprite.Restore());

    TDirectDrawSurface none;
    EXPECT_FALSE(none.Fill(0));
    EXPECT_EQ(none.LastResult(), DXResult::NoSurface);
    EXPECT_FALSE(none.CreateSurface(0, 10, PixelFormat::Rgb565, false));
    EXPECT_EQ(none.LastResult(), DXResult::NoSurface);
}

TEST(DirectDrawSurface, CanvasTakesThePixelsWhenDrawingAndLetsGoOnRelease) {
    TDirectDrawSurface surface;
    ASSERT_TRUE(surface.CreateSurface(4, 4, PixelFormat::Bgrx32, false));
    TDirectDrawSurfaceCanvas& canvas = surface.Canvas();
    EXPECT_EQ(&canvas, &surface.Canvas());
    EXPECT_TRUE(canvas.Target().Empty()); // nothing taken until drawing begins
    canvas.Pen.Color = 0x00FF00;
    canvas.SetPixels(1, 1, 0x0000FF);
    EXPECT_FALSE(canvas.Target().Empty());
    canvas.Release();
    EXPECT_TRUE(canvas.Target().Empty());
    EXPECT_EQ(canvas.Pen.Color, 0x00FF00u); // settings survive

    // Made again at another size: the canvas draws on the new pixels.
    ASSERT_TRUE(surface.CreateSurface(8, 2, PixelFormat::Rgb565, false));
    canvas.SetPixels(7, 1, 0xFFFFFF);
    EXPECT_EQ(surface.View().Read(7, 1), 0xFFFFu);

    // A lost surface gives the canvas nothing to draw on.
    surface.Buffer().SetLost(true);
    canvas.SetPixels(0, 0, 0xFFFFFF);
    EXPECT_EQ(surface.View().Read(0, 0), 0u);
    EXPECT_EQ(canvas.Pixels(7, 1), Canvas::kInvalidColor);

    TDirectDrawSurface primary;
    primary.CreatePrimary(1024, 768, PixelFormat::Rgb565);
    EXPECT_EQ(primary.Width(), 1024);
    EXPECT_EQ(primary.BitCount(), 16);
    EXPECT_FALSE(primary.Fill(0)); // the screen's pixels are the presenter's
}

} // namespace
