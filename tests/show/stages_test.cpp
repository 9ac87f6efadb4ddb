// The stages: the night-to-day blend pictures, and what switching to dawn and
// to day does to the scene images and the tweens.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "render/bitmap.h"
#include "render/picture.h"
#include "show/picture_fit.h"
#include "show/show_rig.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 340;

// A 32-bit picture whose channel c of pixel (x, y) is Byte(x, y, c); the fourth byte is $AB.
template <typename ByteFunction> void Paint32(TPicture& Picture, int Width, int Height, ByteFunction Byte) {
    TBitmap& bitmap = Picture.Bitmap();
    bitmap.SetPixelFormat(pf32bit);
    bitmap.SetSize(Width, Height);
    for (int y = 0; y < Height; ++y) {
        uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < Width; ++x) {
            for (int c = 0; c < 3; ++c)
                row[x * 4 + c] = Byte(x, y, c);
            row[x * 4 + 3] = 0xAB;
        }
    }
}

// True when the 800 x 340 top-left colour bytes of A and B agree; the fourth bytes of A must be 0.
bool SameColors(TBitmap& A, TBitmap& B, bool FourthByteZero) {
    for (int y = 0; y < kHeight; ++y) {
        const uint8_t* a = A.ScanLine(y);
        const uint8_t* b = B.ScanLine(y);
        for (int x = 0; x < kWidth; ++x) {
            for (int c = 0; c < 3; ++c)
                if (a[x * 4 + c] != b[x * 4 + c]) return false;
            if (FourthByteZero && a[x * 4 + 3] != 0) return false;
        }
    }
    return true;
}

std::vector<std::string> ImageNames(TDXImageList& List) {
    std::vector<std::string> names;
    for (int i = 0; i < List.Items().Count(); ++i)
        names.push_back(List.Items().Items(i)->Name());
    return names;
}

} // namespace

TEST(Stages, BlendPicturesMixesDayIntoNightInTwentyFiveSteps) {
    ShowRig run;
    TPicture day, night, dest;
    // Pixel (0, 0) runs every channel from 0 by day to 255 by night.
    Paint32(day, kWidth, kHeight,
            [](int x, int y, int c) { return uint8_t(x || y ? x + 3 * y + 50 * c : 0); });
    Paint32(night, kWidth, kHeight,
            [](int x, int y, int c) { return uint8_t(x || y ? 7 * x + y + 90 * c : 255); });
    Paint32(dest, kWidth, kHeight, [](int, int, int) { return uint8_t(0x55); });

    run.Form->BlendPictures(day, night, dest, 0);
    EXPECT_TRUE(SameColors(dest.Bitmap(), day.Bitmap(), true));
    run.Form->BlendPictures(day, night, dest, 25);
    EXPECT_TRUE(SameColors(dest.Bitmap(), night.Bitmap(), true));
    // 255 / 25 * Step, to the nearest: 10.2 and 102.
    for (const auto& [step, value] : {std::pair{1, 10}, {10, 102}, {13, 133}}) {
        run.Form->BlendPictures(day, night, dest, step);
        const uint8_t* pixel = dest.Bitmap().ScanLine(0);
        EXPECT_EQ(std::vector<int>(pixel, pixel + 4), (std::vector<int>{value, value, value, 0})) << step;
    }

    // After start-up: 26 blend items, whose pictures from the day (0) to the
    // night (25) background are mixed one per night frame.
    TPictureCollection& blends = run.Form->BlendList->Items();
    ASSERT_EQ(blends.Count(), 26);
    int made = 0;
    while (run.Form->MakeNextBlend())
        ++made;
    EXPECT_EQ(made, 26);
    TPictureCollection& images = run.Form->ImageList->Items();
    TBitmap& dayBackground = images.Items(images.Find("bgnd_day"))->Picture().Bitmap();
    TBitmap& nightBackground = images.Items(images.Find("bgnd_night"))->Picture().Bitmap();
    EXPECT_TRUE(SameColors(blends.Items(0)->Picture().Bitmap(), dayBackground, true));
    EXPECT_TRUE(SameColors(blends.Items(25)->Picture().Bitmap(), nightBackground, true));
    for (int i = 0; i < blends.Count(); ++i) {
        EXPECT_EQ(blends.Items(i)->Picture().Width(), kWidth);
        EXPECT_EQ(blends.Items(i)->Picture().Height(), kHeight);
        EXPECT_TRUE(blends.Items(i)->SystemMemory);
    }
}

// Every pair of day and night bytes, at every step, mixes to (n - d) / 25 * step
// + d rounded to the nearest, as the real numbers give it.
TEST(Stages, BlendPicturesRoundEveryPairOfBytesAsTheRealMix) {
    ShowRig run;
    TPicture day, night, dest;
    auto pairAt = [](int x, int y) { return (y * kWidth + x) % 65536; }; // day byte * 256 + night byte
    Paint32(day, kWidth, kHeight, [&](int x, int y, int) { return uint8_t(pairAt(x, y) >> 8); });
    Paint32(night, kWidth, kHeight, [&](int x, int y, int) { return uint8_t(pairAt(x, y)); });
    Paint32(dest, kWidth, kHeight, [](int, int, int) { return uint8_t(0); });
    for (int step = 0; step <= 25; ++step) {
        run.Form->BlendPictures(day, night, dest, step);
        int wrong = 0;
        for (int y = 0; y * kWidth < 65536; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const int d = pairAt(x, y) >> 8, n = pairAt(x, y) & 255;
                const auto mix = uint8_t(std::nearbyint(double(n - d) / 25 * step + d));
                wrong += dest.Bitmap().ScanLine(y)[x * 4 + 1] != mix;
            }
        EXPECT_EQ(wrong, 0) << "step " << step;
    }
}

// A background of another size is fitted to cover 800 x 340 first; the blend
// takes the top-left 800 x 340 of the fitted picture.
TEST(Stages, OtherSizedBackgroundsBlendOnceFitted) {
    TempFolder folder;
    TPicture day;
    Paint32(day, 900, 400, [](int x, int y, int c) { return uint8_t(x * 3 + y * 5 + c * 70); });
    day.Bitmap().SetPixelFormat(pf24bit);
    day.SaveToFile(folder.Asset("bgnd_day.bmp").string());
    ShowRig rig(1, RigStart::Later);
    rig.Create(folder.Folder(), false);
    ASSERT_TRUE(FitBackground(day.Bitmap()));
    day.Bitmap().SetPixelFormat(pf32bit);
    ASSERT_TRUE(rig.Form->MakeNextBlend());
    EXPECT_TRUE(SameColors(rig.Form->BlendList->Items().Items(0)->Picture().Bitmap(), day.Bitmap(), true));
}

TEST(Stages, DawnAndDaySwapImagesAndStartTheirTweens) {
    ShowRig run;
    TMainForm& form = *run.Form;
    form.SetStage(1);
    EXPECT_EQ(ImageNames(*form.ImageList),
              (std::vector<std::string>{"bgnd_day", "bgnd_night", "bootje", "moon", "sun"}));
    for (int i = 0; i < form.ImageList->Items().Count(); ++i) {
        const TPictureCollectionItem& item = *form.ImageList->Items().Items(i);
        SCOPED_TRACE(item.Name());
        EXPECT_TRUE(item.SystemMemory);
        EXPECT_EQ(item.Transparent, item.Name() != "bgnd_day" && item.Name() != "bgnd_night");
        if (item.Transparent) {
            EXPECT_EQ(item.TransparentColor(), 0xFFFFFFu);
        }
    }
    EXPECT_FALSE(form.Star1->Enabled || form.Star2->Enabled || form.Star1->Visible || form.Star2->Visible);
    for (TFxEvent* started : {form.DawnFade, form.SunRise, form.BoatAlpha, form.CharPulse})
        EXPECT_TRUE(started->Enabled);
    EXPECT_TRUE(form.SeaColor->Enabled);
    const TFxEvent& seaFreq = *form.SeaLine().Freq;
    EXPECT_EQ(seaFreq.ValueIn, 400);
    EXPECT_EQ(seaFreq.ValueOut, 300);
    EXPECT_EQ(seaFreq.Duration, 300);
    EXPECT_TRUE(seaFreq.Enabled);

    form.SetStage(2);
    EXPECT_EQ(ImageNames(*form.ImageList), (std::vector<std::string>{"bgnd_day", "bootje", "sun"}));
    EXPECT_EQ(form.BlendList->Items().Count(), 0);
    EXPECT_FALSE(form.MoonTravel->Enabled || form.MoonTravel->Visible);
    const TTextEffect& first = *(*form.Lines)[0];
    EXPECT_TRUE(first.Sinus->Enabled);
    EXPECT_GE(first.Slot, 1);
    EXPECT_LE(first.Slot, 6);
    EXPECT_EQ(first.Sinus->GetDuration(), 660);
    EXPECT_EQ(form.LineIndex, 0);
    EXPECT_EQ(form.Year, 1976);
    EXPECT_TRUE(form.YearDelay->Enabled);
    EXPECT_EQ(run.Frame(), 1); // the day scene draws
}
