#include "platform/row_sharing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "platform/pixel_buffer.h"
#include "platform/rasterizer.h"

namespace {

// Shares [Top, Bottom) and counts how often each row of [0, Rows) was handed out.
std::vector<int> CountRows(int Top, int Bottom, int Rows) {
    std::vector<std::atomic<int>> counts(size_t(Rows) + 1);
    ShareRows(Top, Bottom, kSharedRowsMinPixels, [&](int Begin, int End) {
        for (int y = Begin; y < End; ++y)
            counts[size_t(std::clamp(y, 0, Rows))].fetch_add(1);
    });
    std::vector<int> out;
    for (auto& c : counts)
        out.push_back(c.load());
    return out;
}

// A 250 x 250 rayed disc keyed on white, as the show's sun.
void PaintSun(PixelBuffer& Sun) {
    Sun.Create(250, 250, PixelFormat::Bgrx32);
    for (int y = 0; y < 250; ++y)
        for (int x = 0; x < 250; ++x) {
            const double dx = x - 124.5, dy = y - 124.5, ray = std::sin(std::atan2(dy, dx) * 12);
            const bool lit = std::hypot(dx, dy) < 60 || (std::hypot(dx, dy) < 124 && ray > 0.6);
            Sun.View().Write(x, y, lit ? uint32_t(0xF0A000 + x) : 0xFFFFFFu);
        }
}

// The sun turned by Angle (radians) and blended over a striped 800 x 600 target.
std::vector<uint8_t> DrawSun(const RasterTexture& Texture, double Angle) {
    PixelBuffer target;
    target.Create(800, 600, PixelFormat::Rgb565);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            target.View().Write(x, y, uint32_t(x * 7 + y * 13));
    TransformedVertex quad[4];
    for (int i = 0; i < 4; ++i) {
        const double cx = i % 2 ? 125 : -125, cy = i / 2 ? 125 : -125;
        quad[i].X = float(350 + cx * std::cos(Angle) - cy * std::sin(Angle));
        quad[i].Y = float(200 + cx * std::sin(Angle) + cy * std::cos(Angle));
        quad[i].U = float(i % 2);
        quad[i].V = float(i / 2);
        quad[i].Diffuse = 0xD2FFFFFF;
    }
    DrawTriangleStrip(target.View(), {&Texture, true}, quad);
    const PixelView v = target.View();
    return {v.Data, v.Data + size_t(v.Stride) * size_t(v.Height)};
}

} // namespace

TEST(RowSharing, EveryRowIsHandedOutOnceInAndOutOfScenes) {
    for (bool scene : {false, true}) {
        KeepRowHelperAwake(scene);
        for (int rows : {0, 1, 7, 8, 9, 250, 601}) {
            const std::vector<int> counts = CountRows(0, rows, 601);
            for (int y = 0; y <= 601; ++y)
                ASSERT_EQ(counts[size_t(y)], y < rows ? 1 : 0) << "row " << y << " of " << rows;
        }
    }
    KeepRowHelperAwake(false);
}

TEST(RowSharing, DrawingsFromTwoThreadsAtOnceBothComplete) {
    // The helper serves one drawing at a time; the other thread draws alone.
    KeepRowHelperAwake(true);
    std::vector<int> first, second;
    std::thread other([&] {
        for (int i = 0; i < 200; ++i)
            first = CountRows(3, 400, 400);
    });
    for (int i = 0; i < 200; ++i)
        second = CountRows(3, 400, 400);
    other.join();
    KeepRowHelperAwake(false);
    for (int y = 0; y <= 400; ++y) {
        ASSERT_EQ(first[size_t(y)], y >= 3 && y < 400 ? 1 : 0) << y;
        ASSERT_EQ(second[size_t(y)], y >= 3 && y < 400 ? 1 : 0) << y;
    }
}

TEST(RowSharing, ASharedDrawingLeavesTheSamePixelsAsOneThread) {
    PixelBuffer sun;
    PaintSun(sun);
    const RasterTexture texture(sun.View(), {true, 0xFFFFFF, PixelFormat::Bgrx32});
    KeepRowHelperAwake(true);
    for (double angle = 0; angle < 6.3; angle += 0.37) {
        UseRowSharing(false);
        const std::vector<uint8_t> alone = DrawSun(texture, angle);
        UseRowSharing(true);
        ASSERT_EQ(DrawSun(texture, angle), alone) << "angle " << angle;
    }
    KeepRowHelperAwake(false);
}
