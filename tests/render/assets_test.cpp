// Checks the committed default assets and the form's stored pictures: their
// sizes and 24-bit format, pure white around every sprite and no near-white
// inside one (a 16-bit display would key it out), and the stored form's bytes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/pixel_view.h"
#include "render/dib.h"
#include "render/stream.h"

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kWhite = 0xFFFFFF;

// The repository: two levels above the test data folder, or, when the test
// runs outside CTest, three above this source file.
fs::path RepoRoot() {
    if (const char* data = std::getenv("FUIFJE_TEST_DATA"))
        return fs::weakly_canonical(fs::path(data) / ".." / "..");
    return fs::path(__FILE__).parent_path().parent_path().parent_path();
}

std::string GraphFile(const std::string& Name) {
    return (RepoRoot() / "assets" / "graph" / Name).string();
}

std::unique_ptr<TDIB> LoadBitmap(const std::string& FileName) {
    auto dib = std::make_unique<TDIB>();
    TFileStream file(FileName, TFileStream::fmOpenRead);
    dib->LoadFromStream(file);
    return dib;
}

// The colour ($00BBGGRR) of a pixel of a 24-bit image.
uint32_t ColorAt(const TDIB& Dib, int X, int Y) {
    const uint8_t* p = Dib.ScanLine(Y) + 3 * X;
    return RGB(p[2], p[1], p[0]);
}

// A colour other than white that a 5-6-5 or 5-5-5 surface packs to white.
bool IsNearWhite(uint32_t Color) {
    return Color != kWhite &&
           (PackColor(PixelFormat::Rgb565, Color) == PackColor(PixelFormat::Rgb565, kWhite) ||
            PackColor(PixelFormat::Rgb555, Color) == PackColor(PixelFormat::Rgb555, kWhite));
}

// Checks the white-key rules of a sprite and gives the share of painted pixels.
double CheckWhiteKey(const TDIB& Dib, const std::string& Name) {
    int painted = 0, nearWhite = 0, borderPainted = 0;
    for (int y = 0; y < Dib.Height(); ++y) {
        for (int x = 0; x < Dib.Width(); ++x) {
            const uint32_t c = ColorAt(Dib, x, y);
            const bool border = x == 0 || y == 0 || x == Dib.Width() - 1 || y == Dib.Height() - 1;
            painted += c != kWhite;
            nearWhite += IsNearWhite(c);
            borderPainted += border && c != kWhite;
        }
    }
    EXPECT_EQ(borderPainted, 0) << Name << ": the border must be pure white";
    EXPECT_EQ(nearWhite, 0) << Name << ": near-white pixels would vanish at 16 bits per pixel";
    return double(painted) / (Dib.Width() * Dib.Height());
}

TEST(DefaultAssets, BackgroundsAreOpaque24BitPicturesOfOneSize) {
    const auto night = LoadBitmap(GraphFile("bgnd_night.bmp"));
    const auto day = LoadBitmap(GraphFile("bgnd_day.bmp"));
    for (const TDIB* dib : {night.get(), day.get()}) {
        EXPECT_EQ(dib->BitCount(), 24);
        EXPECT_GE(dib->Width(), 800);
        EXPECT_GE(dib->Height(), 340);
    }
    EXPECT_EQ(night->Width(), day->Width());
    EXPECT_EQ(night->Height(), day->Height());
}

TEST(DefaultAssets, SpritesHaveTheirSizesOnAPureWhiteKey) {
    struct Case {
        const char* File;
        int Width, Height;
        double MinPainted; // a sprite that lost its drawing is caught here
    };
    const Case cases[] = {{"bootje.bmp", 128, 128, 0.35},
                          {"star.bmp", 32, 32, 0.12},
                          {"moon.bmp", 64, 128, 0.35},
                          {"sun.bmp", 256, 256, 0.3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.File);
        const auto dib = LoadBitmap(GraphFile(c.File));
        ASSERT_EQ(dib->BitCount(), 24);
        ASSERT_EQ(dib->Width(), c.Width);
        ASSERT_EQ(dib->Height(), c.Height);
        EXPECT_GE(CheckWhiteKey(*dib, c.File), c.MinPainted);
    }
}

TEST(DefaultAssets, StoredPicturesAreTDIBDataOfTheirSizes) {
    struct Case {
        const char* File;
        int64_t Bytes;
        int Width, Height;
        double MinPainted, MaxPainted;
    };
    const Case cases[] = {{"glyph_template.dib.dat", 4845, 40, 40, 0.0, 0.0},
                          {"cloud.dib.dat", 141345, 300, 157, 0.6, 0.9}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.File);
        TFileStream file((RepoRoot() / "resources" / c.File).string(), TFileStream::fmOpenRead);
        ASSERT_EQ(file.Size(), c.Bytes);
        char className[5] = {};
        file.ReadBuffer(className, 5);
        EXPECT_EQ(std::string(className, 5), std::string("\x04TDIB", 5));
        TDIB dib;
        dib.ReadData(file);
        ASSERT_EQ(dib.BitCount(), 24);
        ASSERT_EQ(dib.Width(), c.Width);
        ASSERT_EQ(dib.Height(), c.Height);
        const double painted = CheckWhiteKey(dib, c.File);
        EXPECT_GE(painted, c.MinPainted);
        EXPECT_LE(painted, c.MaxPainted);
    }
}

TEST(DefaultAssets, CloudIsLightWhereTheNavyCaptionsAreWritten) {
    TFileStream file((RepoRoot() / "resources" / "cloud.dib.dat").string(), TFileStream::fmOpenRead);
    file.SetPosition(5);
    TDIB cloud;
    cloud.ReadData(file);
    // Where the year's digits land (64-point bold from (30, 30)): every pixel
    // painted, and bright enough that navy reads on it.
    double lightness = 0;
    int count = 0;
    for (int y = 52; y < 116; ++y) {
        for (int x = 34; x < 272; ++x, ++count) {
            const uint32_t c = ColorAt(cloud, x, y);
            ASSERT_NE(c, kWhite) << "the caption area leaves the cloud at (" << x << ", " << y << ")";
            lightness += 0.3 * RedOf(c) + 0.59 * GreenOf(c) + 0.11 * BlueOf(c);
        }
    }
    EXPECT_GT(lightness / count, 150);
}

TEST(DefaultAssets, BoatKeelLeavesTheSeaLineOpenBelowIt) {
    // The show turns the boat about the middle of its bottom edge, set just
    // below the sea line, and then fills the sea up to that line: the hull must
    // not hide the line's lower edge, whatever the tilt. So under every column
    // lie at least 4.5 white rows in the middle, 0.3 more per column outwards.
    const auto boat = LoadBitmap(GraphFile("bootje.bmp"));
    const int width = boat->Width(), height = boat->Height();
    for (int x = 0; x < width; ++x) {
        int whiteBelow = 0;
        while (whiteBelow < height && ColorAt(*boat, x, height - 1 - whiteBelow) == kWhite)
            ++whiteBelow;
        if (whiteBelow == height) continue;
        const double fromMiddle = std::abs(x + 0.5 - width / 2.0);
        EXPECT_GE(whiteBelow, 4.5 + 0.3 * fromMiddle) << "column " << x;
    }
}

TEST(DefaultAssets, SoundtrackIsAnMp3OfAboutFourMinutes) {
    TFileStream file(GraphFile("soundtrack.mp3"), TFileStream::fmOpenRead);
    uint8_t head[2] = {};
    file.ReadBuffer(head, 2);
    EXPECT_TRUE(head[0] == 0xFF && (head[1] & 0xE0) == 0xE0) << "an MPEG audio frame comes first";
    // At a constant 112 kbit/s one second is 14000 bytes: 3:45 to 4:15.
    EXPECT_GE(file.Size(), 225 * 14000);
    EXPECT_LE(file.Size(), 255 * 14000);
}

} // namespace
