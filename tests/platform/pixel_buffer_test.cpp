#include "platform/pixel_buffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr PixelFormat kFormats[] = {PixelFormat::Rgb565, PixelFormat::Rgb555, PixelFormat::Bgr24,
                                    PixelFormat::Bgrx32};

// A buffer whose pixel (x, y) holds the raw value 1 + x + 16 * y.
void Number(PixelBuffer& B) {
    for (int y = 0; y < B.Height(); ++y)
        for (int x = 0; x < B.Width(); ++x)
            B.View().Write(x, y, uint32_t(1 + x + 16 * y));
}

TEST(PackColor, RoundTripsEveryPixelValueAndKeepsBlackAndWhite) {
    for (PixelFormat f : {PixelFormat::Rgb565, PixelFormat::Rgb555}) {
        const uint32_t count = f == PixelFormat::Rgb565 ? 65536 : 32768;
        for (uint32_t p = 0; p < count; ++p)
            ASSERT_EQ(PackColor(f, UnpackColor(f, p)), p) << int(f);
    }
    for (PixelFormat f : kFormats) {
        EXPECT_EQ(UnpackColor(f, PackColor(f, 0xFFFFFF)), 0xFFFFFFu);
        EXPECT_EQ(UnpackColor(f, PackColor(f, 0)), 0u);
    }
    // The sea-line blue: red 42, green 36, blue 158 keeps the top bits of each channel.
    EXPECT_EQ(PackColor(PixelFormat::Rgb565, 0x9E242A), (42u >> 3) << 11 | (36u >> 2) << 5 | (158u >> 3));
    EXPECT_EQ(PackColor(PixelFormat::Bgr24, 0x9E242A), 0x2A249Eu);
}

TEST(PixelBuffer, CreatesOnlySoundSizesAndFailsWhileLost) {
    PixelBuffer b;
    EXPECT_FALSE(b.Create(0, 10, PixelFormat::Rgb565));
    EXPECT_FALSE(b.Create(10, -1, PixelFormat::Rgb565));
    EXPECT_FALSE(b.Create(PixelBuffer::kMaxSide + 1, 1, PixelFormat::Rgb565));
    EXPECT_FALSE(b.Create(16384, 16384, PixelFormat::Bgrx32)); // 1 GiB
    EXPECT_TRUE(b.Empty());
    EXPECT_FALSE(b.Fill(1));

    ASSERT_TRUE(b.Create(3, 2, PixelFormat::Bgr24));
    EXPECT_EQ(b.View().Stride, 9);
    EXPECT_EQ(b.View().Read(2, 1), 0u);
    EXPECT_TRUE(b.Fill(0x123456));
    EXPECT_EQ(b.View().Read(2, 1), 0x123456u);

    PixelBuffer other;
    ASSERT_TRUE(other.Create(3, 2, PixelFormat::Bgr24));
    b.SetLost(true);
    EXPECT_FALSE(b.Fill(0));
    EXPECT_FALSE(other.Copy(0, 0, b, Rect(0, 0, 3, 2), std::nullopt));
    EXPECT_FALSE(b.StretchCopy(Rect(0, 0, 3, 2), other, Rect(0, 0, 3, 2), std::nullopt));
    b.SetRestoreBlocked(true);
    EXPECT_FALSE(b.Restore());
    EXPECT_TRUE(b.Lost());
    b.SetRestoreBlocked(false);
    EXPECT_TRUE(b.Restore());
    EXPECT_TRUE(b.Fill(0));
}

TEST(PixelBuffer, PlainCopiesClipBothRectanglesTogether) {
    struct Case {
        const char* Name;
        int X, Y;
        TRect Source;
        TRect ExpectDest; // where pixels land
        int SourceLeft, SourceTop;
    };
    const Case cases[] = {
        {"inside", 2, 3, Rect(0, 0, 4, 4), Rect(2, 3, 6, 7), 0, 0},
        {"off the top left", -10, -10, Rect(0, 0, 40, 40), Rect(0, 0, 30, 30), 10, 10},
        {"off the bottom right", 790, 590, Rect(0, 0, 40, 40), Rect(790, 590, 800, 600), 0, 0},
        {"source rect outside source", 5, 5, Rect(-2, -3, 3, 3), Rect(7, 8, 10, 11), 0, 0},
        {"nothing left", 800, 0, Rect(0, 0, 40, 40), TRect{}, 0, 0},
    };
    for (const Case& c : cases) {
        PixelBuffer dest, source;
        ASSERT_TRUE(dest.Create(800, 600, PixelFormat::Rgb565));
        ASSERT_TRUE(source.Create(40, 40, PixelFormat::Rgb565));
        Number(source);
        ASSERT_TRUE(dest.Copy(c.X, c.Y, source, c.Source, std::nullopt));
        for (int y = 0; y < 600; ++y) {
            for (int x = 0; x < 800; ++x) {
                const bool in = x >= c.ExpectDest.Left && x < c.ExpectDest.Right && y >= c.ExpectDest.Top &&
                                y < c.ExpectDest.Bottom;
                const uint32_t want = in ? source.View().Read(c.SourceLeft + x - c.ExpectDest.Left,
                                                              c.SourceTop + y - c.ExpectDest.Top)
                                         : 0;
                ASSERT_EQ(dest.View().Read(x, y), want) << c.Name << " at " << x << "," << y;
            }
        }
    }
}

TEST(PixelBuffer, ColourKeyConversionAndOverlap) {
    // Key: source pixels equal to the key leave the destination alone.
    PixelBuffer dest, source;
    ASSERT_TRUE(dest.Create(4, 1, PixelFormat::Rgb565));
    ASSERT_TRUE(source.Create(4, 1, PixelFormat::Rgb565));
    dest.Fill(7);
    for (int x = 0; x < 4; ++x)
        source.View().Write(x, 0, x % 2 ? 0xFFFF : 0x1234);
    dest.Copy(0, 0, source, Rect(0, 0, 4, 1), 0xFFFF);
    EXPECT_EQ(dest.View().Read(0, 0), 0x1234u);
    EXPECT_EQ(dest.View().Read(1, 0), 7u);

    // Keys of 32-bit pixels ignore the unused byte.
    PixelBuffer wide;
    ASSERT_TRUE(wide.Create(2, 1, PixelFormat::Bgrx32));
    wide.View().Write(0, 0, 0xAAFFFFFF);
    wide.View().Write(1, 0, 0x00000001);
    PixelBuffer into;
    ASSERT_TRUE(into.Create(2, 1, PixelFormat::Bgrx32));
    into.Copy(0, 0, wide, Rect(0, 0, 2, 1), 0x00FFFFFF);
    EXPECT_EQ(into.View().Read(0, 0), 0u);
    EXPECT_EQ(into.View().Read(1, 0), 1u);

    // Different formats convert through the colour.
    PixelBuffer rgb24;
    ASSERT_TRUE(rgb24.Create(1, 1, PixelFormat::Bgr24));
    rgb24.View().Write(0, 0, PackColor(PixelFormat::Bgr24, 0x9E242A));
    dest.Copy(3, 0, rgb24, Rect(0, 0, 1, 1), std::nullopt);
    EXPECT_EQ(dest.View().Read(3, 0), PackColor(PixelFormat::Rgb565, 0x9E242A));

    // Overlapping copy inside one buffer reads the source before writing.
    PixelBuffer row;
    ASSERT_TRUE(row.Create(6, 1, PixelFormat::Bgrx32));
    Number(row);
    row.Copy(1, 0, row, Rect(0, 0, 5, 1), std::nullopt);
    std::vector<uint32_t> got;
    for (int x = 0; x < 6; ++x)
        got.push_back(row.View().Read(x, 0));
    EXPECT_EQ(got, (std::vector<uint32_t>{1, 1, 2, 3, 4, 5}));
}

// The raw values of a row of a buffer, as a list.
std::vector<uint32_t> RowOf(const PixelBuffer& B, int Y) {
    std::vector<uint32_t> r;
    for (int x = 0; x < B.Width(); ++x)
        r.push_back(B.View().Read(x, Y));
    return r;
}

TEST(PixelBuffer, StretchingRepeatsOrDropsWholePixels) {
    PixelBuffer source;
    ASSERT_TRUE(source.Create(4, 2, PixelFormat::Rgb565));
    Number(source); // row 0: 1 2 3 4, row 1: 17 18 19 20
    struct Case {
        const char* Name;
        TRect Dest;
        int DestWidth;
        std::vector<uint32_t> Row0;
    };
    const Case cases[] = {
        {"doubled", Rect(0, 0, 8, 4), 8, {1, 1, 2, 2, 3, 3, 4, 4}},
        {"halved: pixel under each centre", Rect(0, 0, 2, 2), 2, {2, 4}},
        {"clipped left keeps the mapping", Rect(-4, 0, 4, 4), 4, {3, 3, 4, 4}},
        {"empty rectangle draws nothing", Rect(0, 0, 0, 4), 2, {0, 0}},
        {"reversed rectangle draws nothing", Rect(4, 0, 0, 4), 4, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        PixelBuffer dest;
        ASSERT_TRUE(dest.Create(c.DestWidth, 4, PixelFormat::Rgb565));
        EXPECT_TRUE(dest.StretchCopy(c.Dest, source, Rect(0, 0, 4, 2), std::nullopt));
        EXPECT_EQ(RowOf(dest, 0), c.Row0) << c.Name;
    }
    PixelBuffer tall;
    ASSERT_TRUE(tall.Create(4, 4, PixelFormat::Rgb565));
    tall.StretchCopy(Rect(0, 0, 4, 4), source, Rect(0, 0, 4, 2), 2u);
    EXPECT_EQ(RowOf(tall, 1), (std::vector<uint32_t>{1, 0, 3, 4}));
    EXPECT_EQ(RowOf(tall, 2), (std::vector<uint32_t>{17, 18, 19, 20}));
}

} // namespace
