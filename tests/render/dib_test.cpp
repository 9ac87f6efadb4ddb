#include "render/dib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/canvas.h"
#include "render/bmp_builder.h"
#include "render/graphic_errors.h"
#include "render/picture.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

// The show's glyph template: 40 x 40, 24 bits, every pixel white.
void MakeTemplate(TDIB& Dib) {
    Dib.SetSize(40, 40, 24);
    for (int32_t y = 0; y < 40; ++y)
        std::memset(Dib.ScanLine(y), 0xFF, size_t(Dib.WidthBytes()));
}

std::vector<uint8_t> StoredForm(const TDIB& Dib) {
    TMemoryStream out;
    Dib.WriteData(out);
    return out.Memory();
}

bool AllPixels(const TDIB& Dib, uint32_t Value) {
    for (int32_t y = 0; y < Dib.Height(); ++y)
        for (int32_t x = 0; x < Dib.Width(); ++x)
            if (Dib.Pixels(x, y) != Value) return false;
    return true;
}

uint32_t U32At(const std::vector<uint8_t>& Bytes, size_t At) {
    uint32_t v;
    std::memcpy(&v, Bytes.data() + At, 4);
    return v;
}

TEST(DIB, LayoutFigures) {
    struct Case {
        const char* Name;
        int32_t Width, Height;
        int BitCount;
        int32_t WidthBytes, Size;
        size_t StoredBytes; // header, masks, palette, pixels
    };
    const Case cases[] = {
        {"glyph template", 40, 40, 24, 120, 4800, 40 + 4800},
        {"cloud", 300, 157, 24, 900, 900 * 157, 40 + 900 * 157},
        {"1x1 at 24 bits", 1, 1, 24, 4, 4, 40 + 4},
        {"1x1 at 8 bits writes 256 palette entries", 1, 1, 8, 4, 4, 40 + 256 * 4 + 4},
        {"2x1 at 32 bits writes three masks", 2, 1, 32, 8, 8, 40 + 12 + 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TDIB dib;
        dib.SetSize(c.Width, c.Height, c.BitCount);
        EXPECT_EQ(dib.WidthBytes(), c.WidthBytes);
        EXPECT_EQ(dib.Size(), c.Size);
        EXPECT_EQ(StoredForm(dib).size(), c.StoredBytes);
    }
}

TEST(DIB, TemplateRoundTripsInStoredFileAndDataForms) {
    TDIB dib;
    MakeTemplate(dib);
    const std::vector<uint8_t> stored = StoredForm(dib);
    ASSERT_EQ(stored.size(), 4840u);
    EXPECT_EQ(U32At(stored, 0), 40u);
    EXPECT_EQ(U32At(stored, 16), 0u); // uncompressed
    EXPECT_EQ(U32At(stored, 20), 4800u);

    TDIB read;
    TMemoryStream in(stored.data(), stored.size());
    read.ReadData(in);
    EXPECT_EQ(read.Width(), 40);
    EXPECT_EQ(read.BitCount(), 24);
    EXPECT_TRUE(AllPixels(read, kWhite));
    EXPECT_EQ(StoredForm(read), stored);

    TMemoryStream file;
    read.SaveToStream(file);
    EXPECT_EQ(file.Size(), 14 + 4840);
    EXPECT_EQ(U32At(file.Memory(), 10), 54u); // pixels behind the 14 + 40 header bytes

    TPicture picture;
    picture.SetGraphic(&read);
    TMemoryStream data;
    picture.WriteData(data);
    ASSERT_EQ(data.Size(), 4845);
    EXPECT_EQ(std::string(data.Memory().begin(), data.Memory().begin() + 5), "\x04TDIB");
    data.SetPosition(0);
    TPicture loaded;
    loaded.ReadData(data);
    ASSERT_NE(dynamic_cast<TDIB*>(loaded.Graphic()), nullptr);
    EXPECT_EQ(loaded.Width(), 40);
}

TEST(DIB, TopDownRowsAreReadTopFirstAndWrittenBottomUp) {
    BmpLayout layout;
    layout.Width = 1;
    layout.Height = -2;
    layout.Pixels = {0, 0, 0xFF, 0, 0xFF, 0, 0, 0}; // top row red, then blue
    const std::vector<uint8_t> bytes = StoredBytes(layout);
    TMemoryStream in(bytes.data(), bytes.size());
    TDIB dib;
    dib.ReadData(in);
    EXPECT_EQ(dib.Height(), 2);
    EXPECT_EQ(dib.Pixels(0, 0), 0xFF0000u); // red as a packed 8-8-8 pixel
    EXPECT_EQ(dib.Pixels(0, 1), 0x0000FFu);

    const std::vector<uint8_t> written = StoredForm(dib);
    EXPECT_EQ(int32_t(U32At(written, 8)), 2);
    EXPECT_EQ(written[40], 0xFF); // the bottom (blue) row comes first
    EXPECT_EQ(written[44 + 2], 0xFF);
}

TEST(DIB, RunLengthImagesAreWrittenDecoded) {
    BmpLayout layout;
    layout.Width = 3;
    layout.BitCount = 8;
    layout.Compression = CompressionRle8;
    layout.ColorsUsed = 1;
    layout.Palette = {1, 2, 3, 0};
    layout.Pixels = {2, 7, 1, 9, 0, 1};
    layout.ImageSize = 6;
    const std::vector<uint8_t> bytes = StoredBytes(layout);
    TMemoryStream in(bytes.data(), bytes.size());
    TDIB dib;
    dib.ReadData(in);
    const std::vector<uint8_t> written = StoredForm(dib);
    ASSERT_EQ(written.size(), 40u + 1024 + 4);
    EXPECT_EQ(U32At(written, 16), 0u); // plain pixels follow, so the header says so
    EXPECT_EQ(std::vector<uint8_t>(written.end() - 4, written.end()), (std::vector<uint8_t>{7, 7, 9, 0}));
}

TEST(DIB, SharedImagesAreCopiedOnTheFirstChange) {
    TDIB original;
    MakeTemplate(original);
    TDIB copy;
    copy.Assign(&original);
    EXPECT_EQ(std::as_const(copy).ScanLine(0), std::as_const(original).ScanLine(0)); // no pixel copy yet

    copy.Canvas().Font.Size = 24;
    copy.Canvas().Font.Color = 0x0000FF;
    copy.Canvas().TextOut(0, 0, "W");
    EXPECT_TRUE(AllPixels(original, kWhite));
    EXPECT_FALSE(AllPixels(copy, kWhite));

    TDIB third;
    third.Assign(&original);
    third.SetPixels(1, 1, 0);
    EXPECT_EQ(original.Pixels(1, 1), kWhite);
    third.Assign(&third); // assigning to itself keeps the image
    EXPECT_EQ(third.Pixels(1, 1), 0u);
}

TEST(DIB, AssignFromPictureGivesAPrivateTwentyFourBitCopy) {
    TDIB palette;
    palette.ColorTable[3] = TRGBQuad{0x10, 0x20, 0x30, 0};
    palette.SetSize(2, 1, 8);
    palette.SetPixels(1, 0, 3);
    TDIB direct;
    MakeTemplate(direct);

    struct Case {
        const char* Name;
        const TDIB& Source;
        uint32_t Pixel10; // expected 24-bit value at (1, 0)
    };
    const Case cases[] = {{"24-bit source", direct, kWhite},
                          {"8-bit source through its palette", palette, 0x302010}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TPicture picture;
        picture.SetGraphic(&c.Source);
        TDIB copy;
        copy.Assign(&picture);
        EXPECT_EQ(copy.BitCount(), 24);
        EXPECT_EQ(copy.Width(), c.Source.Width());
        EXPECT_EQ(copy.Pixels(1, 0), c.Pixel10);
        EXPECT_NE(std::as_const(copy).ScanLine(0), std::as_const(c.Source).ScanLine(0));
    }
    TPicture empty;
    direct.Assign(&empty);
    EXPECT_TRUE(direct.Empty());
}

TEST(DIB, SizingAndEmptyImages) {
    TDIB dib;
    MakeTemplate(dib);
    const uint8_t* before = std::as_const(dib).ScanLine(5);
    dib.SetSize(40, 40, 24); // unchanged: pixels kept
    EXPECT_EQ(std::as_const(dib).ScanLine(5), before);
    EXPECT_TRUE(AllPixels(dib, kWhite));

    dib.SetSize(0, 40, 24);
    EXPECT_TRUE(dib.Empty());
    EXPECT_EQ(dib.Pixels(0, 0), 0u);
    EXPECT_THROW(dib.ScanLine(0), EInvalidGraphicOperation);
    TMemoryStream stored, file;
    dib.WriteData(stored);
    dib.SaveToStream(file);
    EXPECT_EQ(stored.Size() + file.Size(), 0);

    std::vector<uint8_t> pixels(16, 0x55);
    Canvas target(PixelView{pixels.data(), 2, 2, 8, PixelFormat::Bgrx32});
    dib.Draw(target, Rect(0, 0, 2, 2));
    EXPECT_EQ(pixels, std::vector<uint8_t>(16, 0x55));

    dib.SetWidth(7); // an empty image takes 8 bits and a height of 1
    EXPECT_EQ(dib.BitCount(), 8);
    EXPECT_EQ(dib.Height(), 1);
}

TEST(DIB, ReadingNothingAndMakingErrors) {
    TDIB dib;
    MakeTemplate(dib);
    TMemoryStream nothing;
    dib.LoadFromStream(nothing); // the file form leaves the image
    EXPECT_EQ(dib.Width(), 40);
    dib.ReadData(nothing); // the stored form empties it
    EXPECT_TRUE(dib.Empty());

    struct Case {
        const char* Name;
        int32_t Width, Height;
        int BitCount;
        TDIBPixelFormat Format;
        const char* Message;
    };
    const Case cases[] = {
        {"bit count 3", 4, 4, 3, kPixelFormat888, "Bitcount in invalid (3)"},
        {"16 bits with 8-8-8 masks", 4, 4, 16, kPixelFormat888, "PixelFormat in invalid"},
        {"24 bits with 5-6-5 masks", 4, 4, 24, kPixelFormat565, "PixelFormat in invalid"},
        {"above 256 MiB", 100000, 100000, 32, kPixelFormat888, "DIB cannot be made"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        dib.PixelFormat = c.Format;
        try {
            dib.SetSize(c.Width, c.Height, c.BitCount);
            ADD_FAILURE() << "no error";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message, c.Message);
        }
    }
}

TEST(DIB, ColorMatchImageShowsTheColourAsTheTargetPacksIt) {
    const uint32_t color = 0xF0E8D0;
    const std::unique_ptr<TDIB> match = MakeColorMatchDIB(color);
    EXPECT_EQ(match->BitCount(), 8);
    EXPECT_EQ(match->Pixels(0, 0), 0u);
    uint16_t pixel = 0;
    Canvas target(PixelView{reinterpret_cast<uint8_t*>(&pixel), 1, 1, 2, PixelFormat::Rgb565});
    match->Draw(target, Rect(0, 0, 1, 1));
    EXPECT_EQ(pixel, PackColor(PixelFormat::Rgb565, color));
}

} // namespace
