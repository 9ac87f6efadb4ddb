// The program's snapshots against reference frames of the show (seed 1, the
// six frames of the README's contact sheet, made by make_reference_frames.sh),
// compared as SDL's test suite compares: each channel may be off by a little,
// and only a few pixels may be off by more. Frames with text need the font
// file the references were drawn with; on a machine that resolves another
// font for Verdana bold they are skipped, saying so.
#include <png.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/text_renderer.h"
#include "render/bitmap.h"
#include "render/picture.h"
#include "show/show_rig.h"

namespace {

// The frames are 16-bit, so a pixel either matches or is off by a whole step
// of 5-6-5 (4 in green, 8 in red and blue): this lets no step pass.
constexpr int kChannelTolerance = 3;
// 0.1 % of a frame: room for edge pixels that another maths library rounds the
// other way. A frame shifted by one pixel differs in some 160 000.
constexpr int kMaxDifferingPixels = 480;

// The frames without text (night, the boat at mid-screen, dawn), and those
// with the text lines and captions of the day.
constexpr int kNightAndDawn[] = {600, 1000, 1300};
constexpr int kDay[] = {1600, 2500, 7200};

// Red, green and blue bytes, rows top first.
struct RgbPicture {
    int Width = 0, Height = 0;
    std::vector<uint8_t> Bytes;
    uint8_t* At(int X, int Y) { return &Bytes[(size_t(Y) * Width + X) * 3]; }
    const uint8_t* At(int X, int Y) const { return &Bytes[(size_t(Y) * Width + X) * 3]; }
};

RgbPicture ReadPng(const std::string& File) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    RgbPicture picture;
    if (png_image_begin_read_from_file(&png, File.c_str())) {
        png.format = PNG_FORMAT_RGB;
        picture = {int(png.width), int(png.height), std::vector<uint8_t>(PNG_IMAGE_SIZE(png))};
        if (png_image_finish_read(&png, nullptr, picture.Bytes.data(), 0, nullptr)) return picture;
    }
    const std::string reason = png.message;
    png_image_free(&png);
    throw std::runtime_error("Cannot read \"" + File + "\": " + reason);
}

// How many pixels differ in some channel by more than the tolerance; every
// pixel when the sizes differ.
int DifferingPixels(const RgbPicture& A, const RgbPicture& B) {
    if (A.Width != B.Width || A.Height != B.Height) return std::max(A.Width * A.Height, B.Width * B.Height);
    int count = 0;
    for (size_t i = 0; i < A.Bytes.size(); i += 3)
        count += std::abs(A.Bytes[i] - B.Bytes[i]) > kChannelTolerance ||
                 std::abs(A.Bytes[i + 1] - B.Bytes[i + 1]) > kChannelTolerance ||
                 std::abs(A.Bytes[i + 2] - B.Bytes[i + 2]) > kChannelTolerance;
    return count;
}

std::string FramesFolder() {
    const char* data = std::getenv("FUIFJE_TEST_DATA");
    return std::string(data ? data : "tests/data") + "/frames/";
}

std::string ReferenceFile(int Frame) {
    std::string number = std::to_string(Frame);
    number.insert(0, 4 - std::min<size_t>(4, number.size()), '0');
    return FramesFolder() + "seed1_" + number + ".png";
}

// The name of the font file the references' text was drawn with, and the one this machine resolves.
std::string ReferenceFont() {
    std::string name;
    std::ifstream(FramesFolder() + "font.txt") >> name;
    return name;
}
std::string ResolvedFont() {
    const std::string file = ResolvedFontFile(FontSpec{"Verdana", 24, true});
    return file.substr(file.find_last_of('/') + 1);
}

// Runs the program with seed 1 to the last of Frames and compares its snapshots with the references.
template <size_t N> void ExpectFramesMatch(const int (&Frames)[N]) {
    TempFolder folder(false);
    auto snapshot = [&folder](int Frame) { return folder.Folder() + std::to_string(Frame) + ".png"; };
    std::string arguments = "--headless --seed 1 --frames " + std::to_string(Frames[N - 1]);
    for (int frame : Frames)
        arguments += " --snapshot " + std::to_string(frame) + ":'" + snapshot(frame) + "'";
    const ProgramResult run =
        RunProgram(std::string(FUIFJE_BUILD_DIR) + "fuifje", arguments, folder.Folder() + "stderr.txt");
    ASSERT_EQ(run.ExitCode, 0) << run.Stderr;
    for (int frame : Frames)
        EXPECT_LE(DifferingPixels(ReadPng(snapshot(frame)), ReadPng(ReferenceFile(frame))),
                  kMaxDifferingPixels)
            << "frame " << frame << " against " << ReferenceFile(frame);
}

// Picture shifted by one pixel to the right and down (the first row and column repeated).
RgbPicture Shifted(const RgbPicture& Picture) {
    RgbPicture out = Picture;
    for (int y = 0; y < Picture.Height; ++y)
        for (int x = 0; x < Picture.Width; ++x)
            std::copy_n(Picture.At(std::max(x - 1, 0), std::max(y - 1, 0)), 3, out.At(x, y));
    return out;
}

// The dawn frame with its background one step of the 26-step night-to-day
// blend further towards night, as the 16-bit screen would show it.
RgbPicture OneBlendStepOn(const RgbPicture& Dawn) {
    TPicture day, night;
    day.LoadFromFile(std::string(FUIFJE_BUILD_DIR) + "graph/bgnd_day.bmp");
    night.LoadFromFile(std::string(FUIFJE_BUILD_DIR) + "graph/bgnd_night.bmp");
    day.Bitmap().SetPixelFormat(pf24bit);
    night.Bitmap().SetPixelFormat(pf24bit);
    RgbPicture out = Dawn;
    for (int y = 0; y < 340; ++y)
        for (int x = 0; x < 800; ++x) {
            uint8_t* rgb = out.At(x, y);
            const uint8_t* d = day.Bitmap().ScanLine(y) + 3 * x; // blue, green, red
            const uint8_t* n = night.Bitmap().ScanLine(y) + 3 * x;
            const uint8_t red = uint8_t(std::clamp(rgb[0] + (n[2] - d[2]) / 25, 0, 255));
            const uint8_t green = uint8_t(std::clamp(rgb[1] + (n[1] - d[1]) / 25, 0, 255));
            const uint8_t blue = uint8_t(std::clamp(rgb[2] + (n[0] - d[0]) / 25, 0, 255));
            const uint32_t shown =
                UnpackColor(PixelFormat::Rgb565, PackColor(PixelFormat::Rgb565, RGB(red, green, blue)));
            rgb[0] = RedOf(shown), rgb[1] = GreenOf(shown), rgb[2] = BlueOf(shown);
        }
    return out;
}

} // namespace

TEST(ReferenceFrames, NightBoatAndDawnLookAsTheyDid) {
    ExpectFramesMatch(kNightAndDawn);
}

TEST(ReferenceFrames, DayTextAndCaptionsLookAsTheyDid) {
    if (ResolvedFont() != ReferenceFont())
        GTEST_SKIP() << "frames 1600, 2500 and 7200 carry text drawn with " << ReferenceFont()
                     << ", but Verdana bold resolves to " << ResolvedFont() << " here";
    ExpectFramesMatch(kDay);
}

TEST(ReferenceFrames, TheComparisonCatchesAShiftAndAWrongBlendStep) {
    for (const auto* frames : {&kNightAndDawn, &kDay})
        for (int frame : *frames) {
            const RgbPicture reference = ReadPng(ReferenceFile(frame));
            EXPECT_EQ(DifferingPixels(reference, reference), 0);
            EXPECT_GT(DifferingPixels(Shifted(reference), reference), kMaxDifferingPixels) << frame;
        }
    const RgbPicture dawn = ReadPng(ReferenceFile(1300));
    EXPECT_GT(DifferingPixels(OneBlendStepOn(dawn), dawn), kMaxDifferingPixels);
}
