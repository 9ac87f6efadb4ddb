#include "render/bitmap.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <vector>

#include "render/bmp_builder.h"
#include "render/graphic_errors.h"
#include "render/picture.h"

namespace {

using Grid = std::vector<std::vector<uint32_t>>; // colours ($00BBGGRR), top row first

constexpr uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;
constexpr uint32_t kWhite = 0xFFFFFF, kBlack = 0, kYellow = 0x00FFFF;
const Grid kColors = {{kRed, kGreen, kBlue}, {kWhite, kBlack, kYellow}};
const Grid kIndices = {{0, 1, 2}, {3, 4, 5}}; // kColors through kPalette
const uint32_t kPalette[] = {kRed, kGreen, kBlue, kWhite, kBlack, kYellow};

std::string WriteFile(const std::string& Name, const std::vector<uint8_t>& Bytes) {
    const std::string path = ::testing::TempDir() + Name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(Bytes.data()), std::streamsize(Bytes.size()));
    return path;
}

// Pixel rows of a 3 x 2 image, bottom row first, each padded to a word.
std::vector<uint8_t> Rows(int BytesPerRow, auto EncodeRow) {
    std::vector<uint8_t> out;
    for (int y = 1; y >= 0; --y) {
        std::vector<uint8_t> row = EncodeRow(size_t(y));
        row.resize(size_t(BytesPerRow), 0);
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::vector<uint8_t> ChannelsRow(size_t Y, int Bytes, auto Pack) {
    std::vector<uint8_t> row;
    for (uint32_t c : kColors[Y])
        AppendLe(row, Pack(c & 0xFF, c >> 8 & 0xFF, c >> 16), Bytes);
    return row;
}

// The 3 x 2 test picture at a depth, with kPalette for palette depths.
BmpLayout Picture3x2(uint16_t BitCount, std::vector<uint8_t> Pixels) {
    BmpLayout s;
    s.Width = 3;
    s.Height = 2;
    s.BitCount = BitCount;
    s.Pixels = std::move(Pixels);
    if (BitCount <= 8) {
        for (uint32_t c : kPalette)
            AppendLe(s.Palette, (c & 0xFF) << 16 | (c & 0xFF00) | c >> 16, 4);
        s.ColorsUsed = 6;
    }
    return s;
}

BmpLayout Masked(uint16_t BitCount, std::vector<uint32_t> Masks, auto Pack) {
    BmpLayout s = Picture3x2(BitCount, Rows(BitCount == 16 ? 8 : 12,
                                            [&](size_t y) { return ChannelsRow(y, BitCount / 8, Pack); }));
    s.Compression = CompressionBitfields;
    s.Masks = std::move(Masks);
    return s;
}

BmpLayout RunLength(uint16_t BitCount, auto LiteralRow) {
    std::vector<uint8_t> runs;
    for (int y = 1; y >= 0; --y) {
        const std::vector<uint8_t> literal = LiteralRow(size_t(y));
        runs.insert(runs.end(), {0, 3});
        runs.insert(runs.end(), literal.begin(), literal.end());
        runs.insert(runs.end(), {0, 0});
    }
    runs.insert(runs.end(), {0, 1});
    BmpLayout s = Picture3x2(BitCount, runs);
    s.Compression = BitCount == 8 ? CompressionRle8 : CompressionRle4;
    s.ImageSize = uint32_t(runs.size());
    return s;
}

auto Bgr = [](uint32_t r, uint32_t g, uint32_t b) { return r << 16 | g << 8 | b; };
std::vector<uint8_t> BgrRow(size_t Y) {
    return ChannelsRow(Y, 3, Bgr);
}
std::vector<uint8_t> IndexRow(size_t Y) {
    return {uint8_t(kIndices[Y][0]), uint8_t(kIndices[Y][1]), uint8_t(kIndices[Y][2])};
}
std::vector<uint8_t> NibbleRow(size_t Y) {
    return {uint8_t(kIndices[Y][0] << 4 | kIndices[Y][1]), uint8_t(kIndices[Y][2] << 4)};
}

// The colours of a 32-bit bitmap, read through its scan lines.
Grid ColorsOf(const TBitmap& Bitmap) {
    Grid grid(size_t(Bitmap.Height()));
    for (int32_t y = 0; y < Bitmap.Height(); ++y) {
        const uint8_t* p = Bitmap.ScanLine(y);
        for (int32_t x = 0; x < Bitmap.Width(); ++x, p += 4)
            grid[size_t(y)].push_back(RGB(p[2], p[1], p[0]));
    }
    return grid;
}

TEST(Bitmap, LoadsEveryDepthAndConvertsToThirtyTwoBits) {
    struct Case {
        const char* Name;
        BmpLayout Layout;
        Grid Expected = kColors;
    };
    const Case cases[] = {
        {"24 bits", Picture3x2(24, Rows(12, BgrRow))},
        {"24 bits top-down",
         [] {
             BmpLayout s = Picture3x2(24, {});
             for (size_t y = 0; y < 2; ++y) {
                 auto r = BgrRow(y);
                 r.resize(12);
                 s.Pixels.insert(s.Pixels.end(), r.begin(), r.end());
             }
             s.Height = -2;
             return s;
         }()},
        {"24 bits, core header",
         [] {
             BmpLayout s = Picture3x2(24, Rows(12, BgrRow));
             s.HeaderSize = 12;
             return s;
         }()},
        {"32 bits", Picture3x2(32, Rows(12, [](size_t y) { return ChannelsRow(y, 4, Bgr); }))},
        {"32 bits, red and blue masks swapped",
         Masked(32, {0xFF, 0xFF00, 0xFF0000},
                [](uint32_t r, uint32_t g, uint32_t b) { return b << 16 | g << 8 | r; })},
        {"16 bits 5-5-5", Picture3x2(16, Rows(8,
                                              [](size_t y) {
                                                  return ChannelsRow(
                                                      y, 2, [](uint32_t r, uint32_t g, uint32_t b) {
                                                          return (r >> 3) << 10 | (g >> 3) << 5 | b >> 3;
                                                      });
                                              }))},
        {"16 bits 5-6-5 masks",
         Masked(16, {0xF800, 0x07E0, 0x001F},
                [](uint32_t r, uint32_t g, uint32_t b) { return (r >> 3) << 11 | (g >> 2) << 5 | b >> 3; })},
        {"16 bits 4-4-4 masks",
         Masked(16, {0x0F00, 0x00F0, 0x000F},
                [](uint32_t r, uint32_t g, uint32_t b) { return (r >> 4) << 8 | (g >> 4) << 4 | b >> 4; })},
        {"8 bits", Picture3x2(8, Rows(4, IndexRow))},
        {"4 bits", Picture3x2(4, Rows(4, NibbleRow))},
        {"8 bits run-length", RunLength(8,
                                        [](size_t y) {
                                            auto r = IndexRow(y);
                                            r.push_back(0);
                                            return r;
                                        })},
        {"4 bits run-length", RunLength(4, NibbleRow)},
        {"1 bit",
         [] {
             BmpLayout s = Picture3x2(
                 1, Rows(4, [](size_t y) { return std::vector<uint8_t>{uint8_t(y ? 0x40 : 0xA0)}; }));
             s.ColorsUsed = 2;
             s.Palette.resize(8);
             return s;
         }(),
         {{kGreen, kRed, kGreen}, {kRed, kGreen, kRed}}},
        {"8 bits, index beyond the palette shows black",
         [] {
             BmpLayout s = Picture3x2(8, Rows(4, IndexRow));
             s.ColorsUsed = 5;
             s.Palette.resize(20);
             return s;
         }(),
         {{kRed, kGreen, kBlue}, {kWhite, kBlack, kBlack}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TPicture picture;
        picture.LoadFromFile(WriteFile("depth.bmp", FileBytes(c.Layout)));
        ASSERT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
        EXPECT_EQ(picture.Width(), 3);
        EXPECT_EQ(picture.Height(), 2);
        picture.Bitmap().SetPixelFormat(pf32bit);
        EXPECT_EQ(picture.Bitmap().PixelFormat(), pf32bit);
        EXPECT_EQ(ColorsOf(picture.Bitmap()), c.Expected);
    }
}

TEST(Bitmap, LoadErrorsNameTheFileAndKeepThePicture) {
    const std::string good = WriteFile("good.bmp", FileBytes(Picture3x2(24, Rows(12, BgrRow))));
    BmpLayout lying = Picture3x2(24, Rows(12, BgrRow));
    lying.Pixels.resize(10);
    struct Case {
        const char* Name;
        std::string Path;
        std::string Message;
    };
    const std::string missing = ::testing::TempDir() + "missing.bmp";
    const std::string bad = WriteFile("bad.bmp", FileBytes(lying));
    const std::string empty = WriteFile("empty.bmp", {});
    const std::string headerOnly = WriteFile("header.bmp", {'B', 'M', 14, 0, 0, 0, 0, 0, 0, 0, 14, 0, 0, 0});
    const std::string text = WriteFile("notes.png", {'2', '6', ' ', 'J', 'u', 'n', 'i', '\n', 0});
    const std::string gif = WriteFile("party.bmp", {'G', 'I', 'F', '8', '9', 'a', 1, 0});
    const std::string icon = WriteFile("icon.jpg", {0, 0, 1, 0, 1, 0, 16, 16, 0});
    const std::string load = "Cannot load \"";
    const Case cases[] = {
        {"missing file", missing, "Cannot open file \"" + missing + "\". No such file or directory"},
        {"truncated pixels", bad, load + bad + "\": DIB is invalid (it is cut off after 64 bytes)"},
        {"empty file", empty, load + empty + "\": it is empty"},
        {"file header only", headerOnly,
         load + headerOnly + "\": DIB is invalid (it has a file header but no picture)"},
        {"text named .png", text,
         load + text + "\": it is not a picture this program can read (it starts with \"26 Juni\")"},
        {"GIF named .bmp", gif,
         load + gif + "\": it is a GIF picture, which this program cannot read; save it as PNG"},
        {"icon named .jpg", icon,
         load + icon +
             "\": it is not a picture this program can read (it starts with the bytes 00 00 01 00 01 00 10 "
             "10)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TPicture picture;
        picture.LoadFromFile(good);
        try {
            picture.LoadFromFile(c.Path);
            ADD_FAILURE() << "no error";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message, c.Message);
        }
        EXPECT_EQ(picture.Width(), 3);
    }
}

TEST(Bitmap, PictureClassesAndSharing) {
    // ".dib" files are read as TDIB.
    TPicture picture;
    picture.LoadFromFile(WriteFile("image.DIB", FileBytes(Picture3x2(24, Rows(12, BgrRow)))));
    ASSERT_NE(dynamic_cast<TDIB*>(picture.Graphic()), nullptr);

    // A TDIB handed to a picture shares its pixels and may be freed.
    auto dib = std::make_unique<TDIB>();
    dib->SetSize(2, 2, 24);
    dib->SetPixels(0, 0, 0x123456);
    const uint8_t* pixels = std::as_const(*dib).ScanLine(0);
    picture.SetGraphic(dib.get());
    const auto* held = dynamic_cast<const TDIB*>(picture.Graphic());
    ASSERT_NE(held, nullptr);
    EXPECT_NE(held, dib.get());
    EXPECT_EQ(held->ScanLine(0), pixels);
    dib.reset();
    EXPECT_EQ(held->Pixels(0, 0), 0x123456u);

    // The blend pictures: a bitmap sized side by side, then made 32 bits.
    TPicture blend;
    blend.Bitmap().SetWidth(800);
    blend.Bitmap().SetHeight(340);
    blend.Bitmap().SetPixelFormat(pf32bit);
    EXPECT_EQ(blend.Bitmap().DIB().WidthBytes(), 3200);
    EXPECT_NO_THROW(blend.Bitmap().ScanLine(339));
    EXPECT_THROW(blend.Bitmap().ScanLine(340), EInvalidGraphicOperation);
    EXPECT_THROW(blend.Bitmap().SetPixelFormat(pf8bit), EInvalidGraphicOperation);
}

TEST(Bitmap, SavingReportsWriteFailures) {
    TBitmap bitmap;
    bitmap.SetSize(4, 4);
    if (std::FILE* full = std::fopen("/dev/full", "wb")) {
        std::fclose(full);
        EXPECT_THROW(bitmap.SaveToFile("/dev/full"), EWriteError);
    }
    EXPECT_THROW(bitmap.SaveToFile(::testing::TempDir() + "no/such/folder.bmp"), EFCreateError);
}

} // namespace
