#include "render/bmp_format.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "render/bmp_builder.h"
#include "render/dib.h"
#include "render/graphic_errors.h"

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
    struct Case {
        const char* Name;
        std::vector<uint8_t> Bytes;
    };
    const Case cases[] = {
        {"header size field cut short", {40, 0}},
        {"header cut short", truncated(StoredBytes(ok), 20)},
        {"header size 64", with(ok, [](BmpLayout& s) { s.HeaderSize = 64; })},
        {"header size 108", with(ok, [](BmpLayout& s) { s.HeaderSize = 108; })},
        {"bit count 2", with(ok, [](BmpLayout& s) { s.BitCount = 2; })},
        {"bit count 0", with(ok, [](BmpLayout& s) { s.BitCount = 0; })},
        {"two planes", with(ok, [](BmpLayout& s) { s.Planes = 2; })},
        {"compression 4", with(ok, [](BmpLayout& s) { s.Compression = 4; })},
        {"RLE8 at 24 bits", with(ok, [](BmpLayout& s) { s.Compression = CompressionRle8; })},
        {"RLE4 at 8 bits", with(ok8, [](BmpLayout& s) { s.Compression = CompressionRle4; })},
        {"bit fields at 24 bits", with(ok,
                                       [](BmpLayout& s) {
                                           s.Compression = CompressionBitfields;
                                           s.Masks = {0xFF0000, 0xFF00, 0xFF};
                                       })},
        {"RLE8 top-down", StoredBytes([] {
             BmpLayout s = Rle8(2, 1, {2, 1, 0, 1});
             s.Height = -1;
             return s;
         }())},
        {"257 palette entries", with(ok8, [](BmpLayout& s) { s.ColorsUsed = 257; })},
        {"17 palette entries at 4 bits", with(ok8,
                                              [](BmpLayout& s) {
                                                  s.BitCount = 4;
                                                  s.ColorsUsed = 17;
                                              })},
        {"palette cut short", truncated(StoredBytes(ok8), 40 + 500)},
        {"zero mask", with(ok16,
                           [](BmpLayout& s) {
                               s.Masks = {0xF800, 0, 0x001F};
                           })},
        {"overlapping masks", with(ok16,
                                   [](BmpLayout& s) {
                                       s.Masks = {0xF800, 0x0FE0, 0x001F};
                                   })},
        {"mask with a gap", with(ok16,
                                 [](BmpLayout& s) {
                                     s.Masks = {0xF800, 0x07E0, 0x0015};
                                 })},
        {"mask beyond 16 bits", with(ok16,
                                     [](BmpLayout& s) {
                                         s.Masks = {0x1F800, 0x07E0, 0x001F};
                                     })},
        {"masks cut short", truncated(StoredBytes(ok16), 46)},
        {"width 0", with(ok, [](BmpLayout& s) { s.Width = 0; })},
        {"height 0", with(ok, [](BmpLayout& s) { s.Height = 0; })},
        {"negative width", with(ok, [](BmpLayout& s) { s.Width = -2; })},
        {"height INT_MIN", with(ok, [](BmpLayout& s) { s.Height = INT_MIN; })},
        {"width and height INT_MAX", with(ok, [](BmpLayout& s) { s.Width = s.Height = INT_MAX; })},
        {"pixels above 256 MiB", with(ok,
                                      [](BmpLayout& s) {
                                          s.Width = 20000;
                                          s.Height = 20000;
                                      })},
        {"pixels cut short", truncated(StoredBytes(ok), 40 + 15)},
        {"core header with 0 width", with(ok,
                                          [](BmpLayout& s) {
                                              s.HeaderSize = 12;
                                              s.Width = 0;
                                          })},
        {"RLE image size beyond the data", StoredBytes([] {
             BmpLayout s = Rle8(2, 1, {2, 1, 0, 1});
             s.ImageSize = 99;
             return s;
         }())},
        {"RLE image size 0", StoredBytes([] {
             BmpLayout s = Rle8(2, 1, {2, 1, 0, 1});
             s.ImageSize = 0;
             return s;
         }())},
        {"RLE8 run past the row", StoredBytes(Rle8(2, 2, {3, 1, 0, 1}))},
        {"RLE8 literal past the row", StoredBytes(Rle8(2, 2, {0, 3, 1, 2, 3, 0, 0, 1}))},
        {"RLE8 delta past the image", StoredBytes(Rle8(2, 2, {0, 2, 0, 2, 0, 1}))},
        {"RLE8 delta past the row", StoredBytes(Rle8(2, 2, {0, 2, 3, 0, 0, 1}))},
        {"RLE8 run below the last row", StoredBytes(Rle8(2, 1, {0, 0, 1, 1, 0, 1}))},
        {"RLE8 end of row past the last row", StoredBytes(Rle8(2, 1, {0, 0, 0, 0, 0, 1}))},
        {"RLE8 literal past the data", StoredBytes(Rle8(8, 1, {0, 5, 1, 2}))},
        {"RLE8 without end of image", StoredBytes(Rle8(2, 2, {2, 1, 0, 0, 2, 1}))},
        {"RLE8 delta cut short", StoredBytes(Rle8(2, 2, {0, 2, 1}))},
        {"RLE4 run past the row", StoredBytes(Rle4(3, 1, {4, 0x11, 0, 1}))},
        {"RLE4 literal padding missing", StoredBytes(Rle4(5, 1, {0, 5, 0x12, 0x34, 0x50}))},
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
            EXPECT_EQ(e.Message, "DIB is invalid");
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

    // Sound masks that a TDIB cannot hold are the image maker's error.
    masked.BitCount = 32;
    masked.Compression = CompressionBitfields;
    masked.Masks = {0x0000FF, 0x00FF00, 0xFF0000};
    masked.Pixels = {1, 2, 3, 4};
    TMemoryStream swappedStream = StreamOf(StoredBytes(masked));
    try {
        dib.ReadData(swappedStream);
        ADD_FAILURE() << "no error";
    } catch (const EInvalidGraphicOperation& e) {
        EXPECT_EQ(e.Message, "PixelFormat in invalid");
    }
}

} // namespace
