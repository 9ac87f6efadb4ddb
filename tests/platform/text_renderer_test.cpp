#include "platform/text_renderer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr uint32_t kWhite = 0xFFFFFF, kRed = 0x0000FF, kBlack = 0;

// Pixels of one format, with a view onto them.
struct Image {
    Image(int Width, int Height, PixelFormat Format, uint32_t Color)
        : Bytes(size_t(Width * Height * BytesPerPixel(Format))), View{Bytes.data(), Width, Height,
                                                                      ptrdiff_t(Width) *
                                                                          BytesPerPixel(Format),
                                                                      Format} {
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x)
                View.Write(x, y, PackColor(Format, Color));
    }
    uint32_t Color(int X, int Y) const { return UnpackColor(View.Format, View.Read(X, Y)); }

    std::vector<uint8_t> Bytes;
    PixelView View;
};

FontSpec GlyphFont(uint32_t Color) {
    FontSpec font;
    font.Size = 24;
    font.Bold = true;
    font.Color = Color;
    return font;
}

TEST(TextRenderer, RedGlyphOnTheWhiteTemplate) {
    Image glyph(40, 40, PixelFormat::Bgr24, kWhite);
    RenderText(glyph.View, 0, 0, "A", GlyphFont(kRed), true, kWhite);
    int red = 0, blended = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            const uint32_t c = glyph.Color(x, y);
            // Every pixel lies between white and red: full red, green and blue equal.
            EXPECT_EQ(RedOf(c), 255);
            EXPECT_EQ(GreenOf(c), BlueOf(c));
            red += c == kRed;
            blended += c != kRed && c != kWhite;
        }
    }
    EXPECT_GT(red, 60);    // the letter's stems
    EXPECT_GT(blended, 0); // antialiased edges
    const TextMetrics cell = MeasureText(GlyphFont(kRed), "A");
    for (int y = 0; y < 40; ++y)
        EXPECT_EQ(glyph.Color(cell.Width + 1, y), kWhite); // right of the cell

    Image again(40, 40, PixelFormat::Bgr24, kWhite);
    RenderText(again.View, 0, 0, "A", GlyphFont(kRed), true, kWhite);
    EXPECT_EQ(again.Bytes, glyph.Bytes); // the same pixels every time
}

TEST(TextRenderer, PointSizesGiveTheirEmAndCellHeights) {
    const bool dejaVu = ResolvedFontFile(GlyphFont(kBlack)).find("DejaVuSans-Bold") != std::string::npos;
    struct Case {
        int Points;
        int Pixels;
        int DejaVuCell; // ascent + descent of DejaVu Sans Bold at that em
    };
    const Case cases[] = {{24, 32, 38}, {64, 85, 100}, {42, 56, 66}, {50, 67, 79}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Points);
        EXPECT_EQ(FontPixelSize(c.Points), c.Pixels);
        FontSpec font = GlyphFont(kBlack);
        font.Size = c.Points;
        const TextMetrics metrics = MeasureText(font, "2010");
        if (dejaVu) {
            EXPECT_EQ(metrics.Height, c.DejaVuCell);
        }
        EXPECT_GE(metrics.Height, c.Pixels);
        EXPECT_LE(metrics.Height, c.Pixels * 3 / 2);
        EXPECT_GT(metrics.Ascent, metrics.Height / 2);
    }
}

TEST(TextRenderer, OpaqueCellClearBackgroundAndEveryFormat) {
    const FontSpec font = GlyphFont(kRed);
    const TextMetrics cell = MeasureText(font, "i");
    for (PixelFormat format :
         {PixelFormat::Rgb565, PixelFormat::Rgb555, PixelFormat::Bgr24, PixelFormat::Bgrx32}) {
        SCOPED_TRACE(int(format));
        Image opaque(60, 60, format, kBlack);
        RenderText(opaque.View, 5, 5, "i", font, true, kWhite);
        EXPECT_EQ(opaque.Color(5, 5), kWhite);               // the cell's corner
        EXPECT_EQ(opaque.Color(4, 5), kBlack);               // left of the cell
        EXPECT_EQ(opaque.Color(5, 5 + cell.Height), kBlack); // below the cell
        EXPECT_EQ(opaque.Color(5 + cell.Width, 5), kBlack);  // right of the cell

        Image clear(60, 60, format, kBlack);
        RenderText(clear.View, 5, 5, "i", font, false, kWhite);
        int red = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 60; ++x)
                red += clear.Color(x, y) == kRed;
        EXPECT_GT(red, 10);
        EXPECT_EQ(clear.Color(5, 5), kBlack);
    }
}

TEST(TextRenderer, ClipsAndReadsSingleByteText) {
    Image small(5, 5, PixelFormat::Bgrx32, kWhite);
    RenderText(small.View, -10, -12, "WWW", GlyphFont(kBlack), true, kRed); // no write outside
    RenderText(small.View, 3, 4, "W", GlyphFont(kBlack), true, kRed);
    EXPECT_EQ(small.Color(4, 4), kRed);
    RenderText(PixelView{}, 0, 0, "W", GlyphFont(kBlack), true, kRed); // nothing to draw on

    // A Latin-1 byte and its UTF-8 form are the same letter.
    FontSpec font = GlyphFont(kBlack);
    EXPECT_EQ(MeasureText(font, "\xE9").Width, MeasureText(font, "\xC3\xA9").Width);
    EXPECT_GT(MeasureText(font, "\xE9").Width, 0);
    EXPECT_EQ(MeasureText(font, "").Width, 0);
}

} // namespace
