#include "render/bmp_format.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "render/bmp_builder.h"
#include "render/dib.h"
#include "render/dib_convert.h"
#include "render/graphic_errors.h"
#include "render/picture_import.h"

namespace {

TMemoryStream StreamOf(const std::vector<uint8_t>& Bytes) {
    return TMemoryStream(Bytes.data(), Bytes.size());
}

// An 8-bit image of Width x Height read from run-length bytes.
BmpLayout Rle8(int32_t Width, int32_t Height, std::vector<uint8_t> Runs) {
    BmpLayout s;
    s.Width = Width;
    s.Height = Height;
    s.BitCount = 8;
    s.Compression = CompressionRle8;
    s.ImageSize = uint32_t(Runs.size());
    s.Palette.assign(256 * 4, 0);
    s.Pixels = std::move(Runs);
    return s;
}

BmpLayout Rle4(int32_t Width, int32_t Height, std::vector<uint8_t> Runs) {
    BmpLayout s = Rle8(Width, Height, std::move(Runs));
    s.BitCount = 4;
    s.Compression = CompressionRle4;
    s.Palette.assign(16 * 4, 0);
    return s;
}

BmpLayout Rgb24(int32_t Width, int32_t Height) {
    BmpLayout s;
    s.Width = Width;
    s.Height = Height;
    s.Pixels.assign(size_t(DIBWidthBytes(24, Width) * std::abs(int64_t(Height))), 0x80);
    return s;
}

// The palette indices of an image, top row first.
std::vector<std::vector<uint32_t>> IndicesOf(const TDIB& Dib) {
    std::vector<std::vector<uint32_t>> rows(size_t(Dib.Height()));
    for (int32_t y = 0; y < Dib.Height(); ++y)
        for (int32_t x = 0; x < Dib.Width(); ++x)
            rows[size_t(y)].push_back(Dib.Pixels(x, y));
    return rows;
}

TEST(BmpFormat, RowAndImageSizes) {
    struct Case {
        const char* Name;
        int BitCount;
        int32_t Width, Height;
        int64_t WidthBytes, Size;
    };
    const Case cases[] = {
        {"glyph template 40x40x24", 24, 40, 40, 120, 4800},
        {"cloud 300x157x24", 24, 300, 157, 900, 900 * 157},
        {"1x1 at 24 bits pads to a word", 24, 1, 1, 4, 4},
        {"1x1 at 8 bits pads to a word", 8, 1, 1, 4, 4},
        {"33 pixels of 1 bit need two words", 1, 33, 2, 8, 16},
        {"3 pixels of 4 bits fit one word", 4, 3, 1, 4, 4},
        {"5-6-5 odd width", 16, 3, 2, 8, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        DIBInfo info{c.Width, c.Height, c.BitCount};
        EXPECT_EQ(info.WidthBytes(), c.WidthBytes);
        EXPECT_EQ(info.Size(), c.Size);
    }
    EXPECT_FALSE(DIBSizeFits(32, INT32_MAX, INT32_MAX)); // the product would overflow 64 bits
    EXPECT_TRUE(DIBSizeFits(32, 8192, 8192));
    EXPECT_FALSE(DIBSizeFits(32, 8192, 8193));
}

TEST(BmpFormat, DecodesRunLengthImages) {
    struct Case {
        const char* Name;
        BmpLayout Layout;
        std::vector<std::vector<uint32_t>> Expected; // top row first
    };
    const Case cases[] = {
        {"RLE8 runs, literal with padding, end of row",
         Rle8(4, 2, {3, 5, 1, 7, 0, 0, 0, 3, 1, 2, 3, 0, 1, 9, 0, 1}),
         {{1, 2, 3, 9}, {5, 5, 5, 7}}},
        {"RLE8 delta leaves skipped pixels at index 0",
         Rle8(4, 3, {1, 4, 0, 2, 2, 1, 1, 6, 0, 1}),
         {{0, 0, 0, 0}, {0, 0, 0, 6}, {4, 0, 0, 0}}},
        {"RLE8 end of image before the last row", Rle8(2, 2, {2, 8, 0, 1}), {{0, 0}, {8, 8}}},
        {"RLE4 run alternates nibbles, literal takes nibbles high first",
         Rle4(6, 1, {3, 0x12, 0, 3, 0x45, 0x60, 0, 1}),
         {{1, 2, 1, 4, 5, 6}}},
        {"RLE4 odd literal of 5 nibbles is padded to 4 bytes",
         Rle4(5, 2, {0, 5, 0xAB, 0xCD, 0xE0, 0x00, 0, 0, 5, 0x70, 0, 1}),
         {{7, 0, 7, 0, 7}, {0xA, 0xB, 0xC, 0xD, 0xE}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TDIB dib;
        TMemoryStream stream = StreamOf(StoredBytes(c.Layout));
        dib.ReadData(stream);
        EXPECT_EQ(IndicesOf(dib), c.Expected);
    }
}

TEST(BmpFormat, RefusesUnsoundDataAndKeepsThePreviousImage) {
    auto with = [](BmpLayout S, auto Change) {
        Change(S);
        return StoredBytes(S);
    };
    auto truncated = [](std::vector<uint8_t> Bytes, size_t Count) {
        Bytes.resize(Count);
        return Bytes;
    };
    const BmpLayout ok = Rgb24(2, 2);
    const BmpLayout ok8 = [] {
        BmpLayout s = Rgb24(2, 2);
        s.BitCount = 8;
        s.Palette.assign(1024, 0);
        s.Pixels.assign(8, 0);
        return s;
    }();
    const BmpLayout ok16 = [] {
        BmpLayout s = Rgb24(2, 1);
        s.BitCount = 16;
        s.Compression = CompressionBitfields;
        s.Masks = {0xF800, 0x07E0, 0x001F};
        s.Pixels.assign(4, 0);
        return s;
    }();
    const char* const kCutOff = "it is cut off after";
    const char* const kRuns = "its run-length data runs past the image";
    const char* const kMasks = "are not separate runs of bits";
    struct Case {
        const char* Name;
        std::vector<uint8_t> Bytes;
        const char* Reason;
    };
    const Case cases[] = {
        {"header size field cut short", {40, 0}, "it is cut off after 2 bytes"},
        {"header cut short", truncated(StoredBytes(ok), 20), "it is cut off after 20 bytes"},
        {"header size 44", with(ok, [](BmpLayout& s) { s.HeaderSize = 44; }),
         "its information header has 44 bytes, a size no known program writes"},
        {"bit count 2", with(ok, [](BmpLayout& s) { s.BitCount = 2; }), "it has 2 bits per pixel"},
        {"JPEG inside", with(ok, [](BmpLayout& s) { s.Compression = CompressionJpeg; }),
         "holds a JPEG inside"},
        {"compression 7", with(ok, [](BmpLayout& s) { s.Compression = 7; }), "it uses compression 7"},
        {"OS/2 Huffman",
         with(ok,
              [](BmpLayout& s) {
                  s.HeaderSize = 64;
                  s.BitCount = 32;
                  s.Compression = 3;
              }),
         "OS/2 compression"},
        {"RLE8 at 24 bits", with(ok, [](BmpLayout& s) { s.Compression = CompressionRle8; }),
         "run-length data at 24 bits"},
        {"RLE4 at 8 bits", with(ok8, [](BmpLayout& s) { s.Compression = CompressionRle4; }),
         "run-length data at 8 bits"},
        {"bit fields at 24 bits",
         with(ok,
              [](BmpLayout& s) {
                  s.Compression = CompressionBitfields;
                  s.Masks = {0xFF0000, 0xFF00, 0xFF};
              }),
         "bit fields at 24 bits"},
        {"RLE8 top-down", StoredBytes([] {
             BmpLayout s = Rle8(2, 1, {2, 1, 0, 1});
             s.Height = -1;
             return s;
         }()),
         "top-down"},
        {"palette cut short", truncated(StoredBytes(ok8), 40 + 500), kCutOff},
        {"zero mask",
         with(ok16,
              [](BmpLayout& s) {
                  s.Masks = {0xF800, 0, 0x001F};
              }),
         kMasks},
        {"overlapping masks",
         with(ok16,
              [](BmpLayout& s) {
                  s.Masks = {0xF800, 0x0FE0, 0x001F};
              }),
         kMasks},
        {"mask with a gap",
         with(ok16,
              [](BmpLayout& s) {
                  s.Masks = {0xF800, 0x07E0, 0x0015};
              }),
         kMasks},
        {"mask beyond 16 bits",
         with(ok16,
              [](BmpLayout& s) {
                  s.Masks = {0x1F800, 0x07E0, 0x001F};
              }),
         kMasks},
        {"alpha overlapping red",
         with(ok16,
              [](BmpLayout& s) {
                  s.Compression = CompressionAlphaBitfields;
                  s.Masks = {0xF800, 0x07E0, 0x001F, 0x8000};
              }),
         kMasks},
        {"masks cut short", truncated(StoredBytes(ok16), 46), kCutOff},
        {"width 0", with(ok, [](BmpLayout& s) { s.Width = 0; }), "it is a BMP of 0 x 2 pixels"},
        {"height 0", with(ok, [](BmpLayout& s) { s.Height = 0; }), "it is a BMP of 2 x 0 pixels"},
        {"negative width", with(ok, [](BmpLayout& s) { s.Width = -2; }), "it is a BMP of -2 x 2 pixels"},
        {"height INT_MIN", with(ok, [](BmpLayout& s) { s.Height = INT_MIN; }), "pixels"},
        {"width and height INT_MAX", with(ok, [](BmpLayout& s) { s.Width = s.Height = INT_MAX; }),
         "more than the 256 MiB"},
        {"pixels above 256 MiB",
         with(ok,
              [](BmpLayout& s) {
                  s.Width = 20000;
                  s.Height = 20000;
              }),
         "it is a BMP of 20000 x 20000 pixels, more than the 256 MiB a picture may take"},
        {"pixels cut short", truncated(StoredBytes(ok), 40 + 13), "it is cut off after 53 bytes"},
        {"core header with 0 width",
         with(ok,
              [](BmpLayout& s) {
                  s.HeaderSize = 12;
                  s.Width = 0;
              }),
         "it is a BMP of 0 x 2 pixels"},
        {"RLE image size beyond the data", StoredBytes([] {
             BmpLayout s = Rle8(2, 1, {2, 1, 0, 1});
             s.ImageSize = 99;
             return s;
         }()),
         kCutOff},
        {"RLE image size 0", StoredBytes([] {
             BmpLayout s = Rle8(2, 1, {2, 1, 0, 1});
             s.ImageSize = 0;
             return s;
         }()),
         "its run-length data has no size"},
        {"RLE8 run past the row", StoredBytes(Rle8(2, 2, {3, 1, 0, 1})), kRuns},
        {"RLE8 literal past the row", StoredBytes(Rle8(2, 2, {0, 3, 1, 2, 3, 0, 0, 1})), kRuns},
        {"RLE8 delta past the image", StoredBytes(Rle8(2, 2, {0, 2, 0, 2, 0, 1})), kRuns},
        {"RLE8 delta past the row", StoredBytes(Rle8(2, 2, {0, 2, 3, 0, 0, 1})), kRuns},
        {"RLE8 run below the last row", StoredBytes(Rle8(2, 1, {0, 0, 1, 1, 0, 1})), kRuns},
        {"RLE8 end of row past the last row", StoredBytes(Rle8(2, 1, {0, 0, 0, 0, 0, 1})), kRuns},
        {"RLE8 literal past the data", StoredBytes(Rle8(8, 1, {0, 5, 1, 2})), kRuns},
        {"RLE8 without end of image", StoredBytes(Rle8(2, 2, {2, 1, 0, 0, 2, 1})), kRuns},
        {"RLE8 delta cut short", StoredBytes(Rle8(2, 2, {0, 2, 1})), kRuns},
        {"RLE4 run past the row", StoredBytes(Rle4(3, 1, {4, 0x11, 0, 1})), kRuns},
        {"RLE4 literal padding missing", StoredBytes(Rle4(5, 1, {0, 5, 0x12, 0x34, 0x50})), kRuns},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TDIB dib;
        dib.SetSize(3, 1, 24);
        dib.SetPixels(0, 0, 0x123456);
        TMemoryStream stream = StreamOf(c.Bytes);
        try {
            dib.ReadData(stream);
            ADD_FAILURE() << "no error";
        } catch (const EInvalidGraphic& e) {
            EXPECT_THAT(e.Message, testing::StartsWith("DIB is invalid ("));
            EXPECT_THAT(e.Message, testing::HasSubstr(c.Reason));
        }
        EXPECT_EQ(dib.Width(), 3);
        EXPECT_EQ(dib.Pixels(0, 0), 0x123456u);
    }
}

TEST(BmpFormat, FileHeaderMustBeCompleteAndOfTypeBM) {
    std::vector<uint8_t> bytes = FileBytes(Rgb24(1, 1));
    TDIB dib;
    TMemoryStream empty;
    dib.LoadFromStream(empty);
    EXPECT_TRUE(dib.Empty());

    TMemoryStream shortHeader(bytes.data(), 10);
    EXPECT_THROW(dib.LoadFromStream(shortHeader), EInvalidGraphic);
    bytes[1] = 'A';
    TMemoryStream wrongType = StreamOf(bytes);
    EXPECT_THROW(dib.LoadFromStream(wrongType), EInvalidGraphic);
}

TEST(BmpFormat, ReadsHeadersMasksAndPalettes) {
    // Old core header: 16-bit sizes and three-byte palette entries.
    BmpLayout core;
    core.HeaderSize = 12;
    core.Width = 2;
    core.BitCount = 1;
    core.Palette = {0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00}; // red, blue
    core.Pixels = {0x40, 0, 0, 0};                       // pixels 0, 1
    TDIB dib;
    TMemoryStream coreStream = StreamOf(StoredBytes(core));
    dib.ReadData(coreStream);
    EXPECT_EQ(dib.BitCount(), 1);
    EXPECT_EQ(dib.Pixels(1, 0), 1u);
    EXPECT_EQ(dib.ColorTable[0], (TRGBQuad{0, 0, 0xFF, 0}));
    EXPECT_EQ(dib.ColorTable[1], (TRGBQuad{0xFF, 0, 0, 0}));

    // 16 bits with 5-6-5 masks keep them; without masks they are 5-5-5.
    BmpLayout masked = Rgb24(1, 1);
    masked.BitCount = 16;
    masked.Compression = CompressionBitfields;
    masked.Masks = {0xF800, 0x07E0, 0x001F};
    masked.Pixels = {0x1F, 0xF8, 0, 0};
    TMemoryStream maskedStream = StreamOf(StoredBytes(masked));
    dib.ReadData(maskedStream);
    EXPECT_EQ(dib.PixelFormat, kPixelFormat565);
    EXPECT_EQ(dib.Pixels(0, 0), 0xF81Fu);
    masked.Compression = CompressionRgb;
    masked.Masks.clear();
    TMemoryStream plainStream = StreamOf(StoredBytes(masked));
    dib.ReadData(plainStream);
    EXPECT_EQ(dib.PixelFormat, kPixelFormat555);

    // Other sound masks are converted to 24 bits, 8-8-8.
    masked.BitCount = 32;
    masked.Compression = CompressionBitfields;
    masked.Masks = {0x0000FF, 0x00FF00, 0xFF0000};
    masked.Pixels = {1, 2, 3, 4};
    TMemoryStream swappedStream = StreamOf(StoredBytes(masked));
    dib.ReadData(swappedStream);
    EXPECT_EQ(dib.BitCount(), 24);
    EXPECT_EQ(dib.Pixels(0, 0), 0x010203u); // blue 3, green 2, red 1
}

// The colours ($00BBGGRR) of an image's top row.
std::vector<uint32_t> TopRowColors(const TDIB& Dib) {
    std::vector<uint32_t> colors(size_t(Dib.Width()));
    ReadRowColors(Dib.Info(), std::as_const(Dib).ScanLine(0), colors.data());
    return colors;
}

// A one-row image of Width pixels at BitCount bits with these raw pixel bytes.
BmpLayout Row(uint32_t HeaderSize, int32_t Width, uint16_t BitCount, std::vector<uint8_t> Pixels) {
    BmpLayout s;
    s.HeaderSize = HeaderSize;
    s.Width = Width;
    s.BitCount = BitCount;
    s.Pixels = std::move(Pixels);
    return s;
}

BmpLayout Masked(BmpLayout S, uint32_t Compression, std::vector<uint32_t> Masks) {
    S.Compression = Compression;
    (S.HeaderSize == 40 ? S.Masks : S.HeaderMasks) = std::move(Masks);
    return S;
}

BmpLayout With(BmpLayout S, auto Change) {
    Change(S);
    return S;
}

TEST(BmpFormat, ReadsWhatOtherProgramsWrite) {
    // Channels widen by repeating their top bits (4 bits 0xA -> 0xAA); wider ones keep their top 8.
    // Alpha below half makes a pixel the key colour (white); an opaque white (or one a 16-bit surface
    // takes for white) is nudged to $F7F7F7.
    constexpr uint32_t kWhite = 0xFFFFFF, kNudged = 0xF7F7F7, kRed = 0x0000FF, kBlue = 0xFF0000;
    constexpr uint32_t kMix = 0x302010; // red 0x10, green 0x20, blue 0x30
    const uint32_t argb[] = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    const std::vector<uint8_t> bgra = {0x30, 0x20, 0x10, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F};
    struct Case {
        const char* Name;
        BmpLayout Layout;
        std::vector<uint32_t> Expected;
    };
    const Case cases[] = {
        {"OS/2 2.x, 16-byte header, 24 bits",
         Row(16, 2, 24, {0x30, 0x20, 0x10, 0xFF, 0xFF, 0xFF, 0, 0}),
         {kMix, kWhite}},
        {"OS/2 2.x, 64-byte header, 2 palette entries of 4 bytes",
         With(Row(64, 2, 8, {1, 0, 0, 0}),
              [](BmpLayout& s) {
                  s.ColorsUsed = 2;
                  s.Palette = {0xFF, 0, 0, 0, 0, 0, 0xFF, 0};
              }),
         {kRed, kBlue}},
        {"52-byte header, 5-6-5 masks inside",
         Masked(Row(52, 1, 16, {0x00, 0xF8, 0, 0}), 3, {0xF800, 0x07E0, 0x1F}),
         {kRed}},
        {"56-byte header, 32 bits without bit fields, alpha mask inside",
         With(Row(56, 2, 32, bgra),
              [&](BmpLayout& s) {
                  s.HeaderMasks = {0, 0, 0, 0xFF000000};
              }),
         {kMix, kWhite}},
        {"version 4 (108), BGRA bit fields",
         Masked(Row(108, 2, 32, bgra), 3, {argb, argb + 4}),
         {kMix, kWhite}},
        {"version 5 (124), 10-10-10-2",
         Masked(Row(124, 2, 32, {0x01, 0x00, 0xF8, 0xFF, 0xFF, 0xFF, 0xFF, 0x3F}), 3,
                {0x3FF00000, 0x000FFC00, 0x3FF, 0xC0000000}),
         {0x0080FF, kWhite}},
        {"version 5, RGBA order (alpha in the low byte)",
         Masked(Row(124, 1, 32, {0xFF, 0x30, 0x20, 0x10}), 3, {0xFF000000, 0xFF0000, 0xFF00, 0xFF}),
         {kMix}},
        {"4-4-4-4 with alpha, white opaque and at 7/15",
         Masked(Row(124, 3, 16, {0x5C, 0xFA, 0xFF, 0x7F, 0xFF, 0x8F, 0, 0}), 3,
                {0x0F00, 0x00F0, 0x000F, 0xF000}),
         {0xCC55AA, kWhite, kNudged}},
        {"1-5-5-5 after a 40-byte header (compression 6)",
         Masked(Row(40, 2, 16, {0x1F, 0x80, 0x00, 0x7C}), 6, {0x7C00, 0x03E0, 0x1F, 0x8000}),
         {kBlue, kWhite}},
        {"alpha 0 everywhere is opaque",
         Masked(Row(108, 2, 32, {0x30, 0x20, 0x10, 0, 0xFF, 0xFF, 0xFF, 0}), 3, {argb, argb + 4}),
         {kMix, kWhite}},
        {"planes 3, colours used 300",
         With(Row(40, 2, 8, {1, 0, 0, 0}),
              [](BmpLayout& s) {
                  s.Planes = 3;
                  s.ColorsUsed = 300;
                  s.Palette.assign(1024, 0);
                  s.Palette[4 + 2] = 0xFF;
              }),
         {kRed, 0}},
        {"short palette: index 7 beyond it is black",
         With(Row(40, 2, 8, {1, 7, 0, 0}),
              [](BmpLayout& s) {
                  s.ColorsUsed = 2;
                  s.Palette = {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0};
              }),
         {kWhite, 0}},
        {"gap before the pixels",
         With(Row(40, 1, 24, {0x30, 0x20, 0x10, 0}), [](BmpLayout& s) { s.Gap = 6; }),
         {kMix}},
        {"last row's padding missing", Row(40, 1, 24, {0x30, 0x20, 0x10}), {kMix}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::vector<uint8_t> bytes = FileBytes(c.Layout);
        TMemoryStream stream = StreamOf(bytes);
        TDIB dib;
        ImportPicture(stream, dib);
        EXPECT_EQ(TopRowColors(dib), c.Expected);
    }
}

} // namespace
