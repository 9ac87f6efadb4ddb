// PNG and JPEG files made here with the reference libraries, loaded as the show
// loads its pictures (a TPicture from a file named ".bmp"): each colour type,
// depth and JPEG kind gives the right pixels, transparency becomes the key
// colour, and broken files give a reason a host understands.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "render/dib_convert.h"
#include "render/graphic_errors.h"
#include "render/picture.h"
#include "render/picture_files.h"

namespace {

using Grid = std::vector<std::vector<uint32_t>>; // colours ($00BBGGRR), top row first

constexpr uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kWhite = 0xFFFFFF;
constexpr uint32_t kNudged = 0xF7F7F7, kGrey = 0x808080;

std::string WriteFile(const std::string& Name, const Bytes& Content) {
    const std::string path = ::testing::TempDir() + Name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(Content.data()), std::streamsize(Content.size()));
    return path;
}

// Loads the bytes the way the show loads "sun.bmp", whatever they hold.
Grid Load(const Bytes& Content) {
    TPicture picture;
    picture.LoadFromFile(WriteFile("picture.bmp", Content));
    const TDIB& dib = picture.Bitmap().DIB();
    EXPECT_EQ(dib.BitCount(), 24);
    Grid grid(size_t(dib.Height()), std::vector<uint32_t>(size_t(dib.Width())));
    for (int32_t y = 0; y < dib.Height(); ++y)
        ReadRowColors(dib.Info(), dib.ScanLine(y), grid[size_t(y)].data());
    return grid;
}

// The message of loading the bytes, without the `Cannot load "<file>": ` in front.
std::string LoadError(const Bytes& Content) {
    try {
        Load(Content);
    } catch (const EInvalidGraphic& e) {
        const std::string prefix = "Cannot load \"" + ::testing::TempDir() + "picture.bmp\": ";
        EXPECT_THAT(e.Message, testing::StartsWith(prefix));
        return e.Message.substr(prefix.size());
    }
    return "no error";
}

PngLayout Png(uint32_t Width, int ColorType, int BitDepth, std::vector<Bytes> Rows) {
    PngLayout l;
    l.Width = Width;
    l.Height = uint32_t(Rows.size());
    l.ColorType = ColorType;
    l.BitDepth = BitDepth;
    l.Rows = std::move(Rows);
    return l;
}

// An Adam7 picture of 9 x 9 pixels, each colour made from its position.
PngLayout Interlaced() {
    PngLayout l = Png(9, PNG_COLOR_TYPE_RGB, 8, {});
    for (uint32_t y = 0; y < 9; ++y) {
        Bytes row;
        for (uint32_t x = 0; x < 9; ++x)
            row.insert(row.end(), {uint8_t(x * 28), uint8_t(y * 28), uint8_t(x * y)});
        l.Rows.push_back(row);
    }
    l.Height = 9;
    l.Interlaced = true;
    return l;
}

Grid InterlacedColors() {
    Grid grid(9);
    for (uint32_t y = 0; y < 9; ++y)
        for (uint32_t x = 0; x < 9; ++x)
            grid[y].push_back(RGB(uint8_t(x * 28), uint8_t(y * 28), uint8_t(x * y)));
    return grid;
}

TEST(PictureImport, PngColourTypesAndDepths) {
    PngLayout palette = Png(3, PNG_COLOR_TYPE_PALETTE, 4, {{0x01, 0x20}, {0x30, 0x00}});
    palette.Palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    palette.Transparency = {255, 255, 0}; // entry 2 transparent, entry 3 opaque by default
    struct Case {
        const char* Name;
        PngLayout Layout;
        Grid Expected;
    };
    const Case cases[] = {
        {"RGB, 8 bits",
         Png(2, PNG_COLOR_TYPE_RGB, 8, {{255, 0, 0, 0, 0, 255}, {255, 255, 255, 16, 32, 48}}),
         {{kRed, kBlue}, {kWhite, 0x302010}}},
        {"RGBA: alpha below 128 is white, opaque (near) white is nudged",
         Png(4, PNG_COLOR_TYPE_RGBA, 8,
             {{255, 0, 0, 255, 0, 255, 0, 127, 0, 0, 255, 128, 248, 252, 250, 255},
              {255, 255, 255, 255, 9, 9, 9, 0, 255, 255, 0, 200, 247, 255, 255, 255}}),
         {{kRed, kWhite, kBlue, kNudged}, {kNudged, kWhite, 0x00FFFF, 0xFFFFF7}}},
        {"palette of 4 bits with transparency", palette, {{kRed, kGreen, kWhite}, {kNudged, kRed, kRed}}},
        {"grey, 8 bits", Png(3, PNG_COLOR_TYPE_GRAY, 8, {{0, 128, 255}}), {{0, kGrey, kWhite}}},
        {"grey, 2 bits", Png(4, PNG_COLOR_TYPE_GRAY, 2, {{0x1B}}), {{0, 0x555555, 0xAAAAAA, kWhite}}},
        {"grey and alpha", Png(2, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {{128, 255, 128, 10}}), {{kGrey, kWhite}}},
        {"RGB, 16 bits, rounded to 8",
         Png(2, PNG_COLOR_TYPE_RGB, 16, {{0xFF, 0xFF, 0x80, 0x80, 0x12, 0x34, 0, 0, 0, 0, 0, 0x81}}),
         {{0x1280FF, 0x010000}}},
        {"interlaced", Interlaced(), InterlacedColors()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(Load(MakePng(c.Layout)), c.Expected);
    }
}

// Four 8 x 8 blocks: red, green / blue, grey, as interleaved RGB samples.
Bytes QuadrantSamples() {
    const uint8_t colors[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {128, 128, 128}};
    Bytes samples;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const uint8_t* c = colors[(y / 8) * 2 + x / 8];
            samples.insert(samples.end(), c, c + 3);
        }
    return samples;
}

JpegLayout Jpeg(int Size, J_COLOR_SPACE Space, Bytes Samples, bool Progressive = false) {
    return JpegLayout{Size, Size, Space, Progressive, std::move(Samples), {}};
}

// Each channel within Tolerance of the expected colour's.
void ExpectNear(uint32_t Actual, uint32_t Expected, int Tolerance) {
    for (int shift = 0; shift < 24; shift += 8)
        EXPECT_NEAR(int(Actual >> shift & 0xFF), int(Expected >> shift & 0xFF), Tolerance)
            << std::hex << Actual << " for " << Expected;
}

TEST(PictureImport, JpegKinds) {
    // Adobe's CMYK stores inverted inks: 255 means none. Pure red is C 0, M 255, Y 255, K 0.
    const Bytes red(8 * 8 * 4, 0);
    Bytes invertedRed = red;
    for (size_t k = 0; k < invertedRed.size(); k += 4)
        invertedRed[k] = invertedRed[k + 3] = 255;
    struct Case {
        const char* Name;
        JpegLayout Layout;
        std::vector<uint32_t> Corners; // top-left pixel of each 8 x 8 block, row by row
    };
    const Case cases[] = {
        {"baseline colour", Jpeg(16, JCS_RGB, QuadrantSamples()), {kRed, kGreen, kBlue, kGrey}},
        {"progressive colour", Jpeg(16, JCS_RGB, QuadrantSamples(), true), {kRed, kGreen, kBlue, kGrey}},
        {"grey", Jpeg(8, JCS_GRAYSCALE, Bytes(64, 128)), {kGrey}},
        {"CMYK, Adobe's inverted form", Jpeg(8, JCS_CMYK, invertedRed), {kRed}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const Grid grid = Load(MakeJpeg(c.Layout));
        ASSERT_EQ(grid.size(), size_t(c.Layout.Height));
        for (size_t k = 0; k < c.Corners.size(); ++k)
            ExpectNear(grid[k / 2 * 8 + 3][k % 2 * 8 + 3], c.Corners[k], 3);
    }
}

Bytes Cut(Bytes Content, size_t Size) {
    Content.resize(Size);
    return Content;
}

TEST(PictureImport, JpegsFromPhonesAreTurnedUpright) {
    // Stored 16 x 8: a red block left of a blue one.
    JpegLayout photo{16, 8, JCS_RGB, false, {}, {}};
    for (int k = 0; k < 16 * 8; ++k)
        photo.Samples.insert(photo.Samples.end(),
                             {uint8_t(k % 16 < 8 ? 255 : 0), 0, uint8_t(k % 16 < 8 ? 0 : 255)});
    struct Case {
        const char* Name;
        Bytes Exif;
        int32_t Width;
        uint32_t First, Last; // colours at the upright picture's top-left and bottom-right corners
    };
    const Case cases[] = {
        {"no Exif", {}, 16, kRed, kBlue},
        {"orientation 1", ExifWithOrientation(1), 16, kRed, kBlue},
        {"3: half a turn", ExifWithOrientation(3), 16, kBlue, kRed},
        {"6: a quarter clockwise", ExifWithOrientation(6), 8, kRed, kBlue},
        {"8: a quarter anticlockwise, little-endian", ExifWithOrientation(8, false), 8, kBlue, kRed},
        {"orientation 9 is unknown", ExifWithOrientation(9), 16, kRed, kBlue},
        {"directory past the block", Cut(ExifWithOrientation(6), 20), 16, kRed, kBlue},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        photo.Exif = c.Exif;
        const Grid grid = Load(MakeJpeg(photo));
        ASSERT_EQ(grid.size(), size_t(16 * 8 / c.Width));
        ASSERT_EQ(grid[0].size(), size_t(c.Width));
        ExpectNear(grid.front().front(), c.First, 3);
        ExpectNear(grid.back().back(), c.Last, 3);
    }
}

// The PNG with its IHDR width and height replaced (CRC left wrong: checked later than the size).
Bytes WithPngSize(Bytes Content, uint32_t Width, uint32_t Height) {
    for (int k = 0; k < 4; ++k) {
        Content[size_t(16 + k)] = uint8_t(Width >> (24 - 8 * k));
        Content[size_t(20 + k)] = uint8_t(Height >> (24 - 8 * k));
    }
    return Content;
}

TEST(PictureImport, BrokenFilesSayWhatIsWrong) {
    const Bytes png = MakePng(Interlaced());
    const Bytes jpeg = MakeJpeg(Jpeg(16, JCS_RGB, QuadrantSamples(), true));
    Bytes badCrc = png;
    badCrc[png.size() - 20] ^= 0x55; // inside the image data
    const std::string cut = "it is cut off after ";
    struct Case {
        const char* Name;
        Bytes Content;
        std::string Reason;
    };
    const Case cases[] = {
        {"PNG of 0 x 0 pixels", WithPngSize(png, 0, 0), "it is a PNG of 0 x 0 pixels"},
        {"PNG too large", WithPngSize(png, 100000, 100000),
         "it is a PNG of 100000 x 100000 pixels, more than this program can hold"},
        {"PNG far too short for its size", WithPngSize(png, 1, 60000000),
         cut + std::to_string(png.size()) + " bytes"},
        {"PNG cut in half", Cut(png, png.size() / 2), cut + std::to_string(png.size() / 2) + " bytes"},
        {"PNG cut inside its header", Cut(png, 20), cut + "20 bytes"},
        {"PNG with damaged data", badCrc, "it is a damaged PNG (IDAT: incorrect data check)"},
        {"JPEG cut in half", Cut(jpeg, jpeg.size() / 2), cut + std::to_string(jpeg.size() / 2) + " bytes"},
        {"JPEG cut inside its header", Cut(jpeg, 30), cut + "30 bytes"},
        {"JPEG without frame",
         {0xFF, 0xD8, 0xFF, 0xD9},
         "it is a damaged JPEG (JPEG datastream contains no image)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(LoadError(c.Content), c.Reason);
    }
}

} // namespace
