// The whole show, frame by frame from the first drawn frame (1) to just after
// the sea line's first run: every moment the sequence is known to happen.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

#include "show/show_rig.h"

namespace {

constexpr uint32_t kSeaFill = 0xEED6B4; // the sea's end colour as the frame uses it

// The schedule, counting the first drawn frame as 1, as the sums of the
// tweens' lengths it is. A tween started by another one's end takes its first
// step in that same frame when it is advanced later in the frame, else in the
// next one.
constexpr int kBoatStart = 250; // BoatDelay
// BoatTravel's steps until the boat passes mid-screen, the first as it starts.
constexpr int kBoatSteps = 745;
constexpr int kBoatPause = kBoatStart + kBoatSteps - 1;
constexpr int kStage1 = kBoatPause + 230;      // DawnDelay
constexpr int kStage2 = kStage1 + 300;         // DawnFade
constexpr int kYearSlideStart = kStage2 + 250; // YearDelay
// Each year caption slides for 150 frames (YearSlide), the first as it starts;
// "2010" follows the captions of 1975 to 2009 and stops after 75.
constexpr int kFirstCaptionEnd = kYearSlideStart + 150 - 1;
constexpr int kCaptionsTo2009 = 2009 - 1975 + 1;
constexpr int k2010Stops = kFirstCaptionEnd + 150 * (kCaptionsTo2009 - 1) + 75;
constexpr int kDateInPlace = k2010Stops + 75 - 1; // DateSlide, the first step as it starts
constexpr int kSeaRun = 12000;                    // the sea line's first run, a step a frame

std::vector<std::string> ImageNames(TDXImageList& List) {
    std::vector<std::string> names;
    for (int i = 0; i < List.Items().Count(); ++i) names.push_back(List.Items().Items(i)->Name());
    return names;
}

// What the run saw, frame by frame.
struct Timeline {
    int BoatStart = 0, BoatPause = 0, Stage1 = 0, Stage2 = 0, YearSlideStart = 0, DateInPlace = 0;
    int LinePauseStart = 0, LineZeroAgain = 0;
    std::map<int, int32_t> YearChanges; // frame -> new Year
    std::set<int> SkyFlooded;           // frames whose sky took the sea's colour
};

} // namespace

TEST(Schedule, TheWholeShowHappensOnItsFrames) {
    ShowRig run;
    TMainForm& form = *run.Form;
    Timeline seen;
    int32_t year = form.Year;
    int32_t lineIndex = form.LineIndex;
    const uint32_t floodedSky = PackColor(run.Back().Format, kSeaFill);
    for (int frame = 1; frame <= kSeaRun; ++frame) {
        const bool boatWasPaused = form.BoatTravel->Paused;
        const uint8_t stage = form.Stage;
        const bool yearSlideRan = form.YearSlide->Enabled;
        // Once the end of the sea line comes onto the screen the fill may pass it by.
        const bool seaSpansScreen = form.SeaLine().XOffset->Value + form.SeaLine().ItemCount * 20 >= 800 + 3;
        ASSERT_EQ(run.Frame(), frame);

        if (!seen.BoatStart && form.BoatTravel->Enabled) seen.BoatStart = frame;
        if (frame == kBoatPause - 1) {
            EXPECT_FALSE(form.BoatTravel->Paused);
            EXPECT_EQ(form.BoatTravel->Tag, 400);
        }
        if (!boatWasPaused && form.BoatTravel->Paused) {
            seen.BoatPause = frame;
            EXPECT_EQ(form.BoatTravel->Count, kBoatSteps);
            EXPECT_EQ(form.BoatTravel->Value, kBoatSteps * 3200 / 800); // 3200 pixels in 800 steps
            EXPECT_EQ(form.BoatTravel->Tag, 401);
        }
        if (stage == 0 && form.Stage == 1) seen.Stage1 = frame;
        if (stage == 1 && form.Stage == 2) {
            seen.Stage2 = frame;
            EXPECT_EQ(form.SunAngle, 301);
            EXPECT_EQ(ImageNames(*form.ImageList), (std::vector<std::string>{"bgnd_day", "bootje", "sun"}));
            EXPECT_EQ(form.BlendList->Items().Count(), 0);
        }
        if (!seen.YearSlideStart && !yearSlideRan && form.YearSlide->Enabled) seen.YearSlideStart = frame;
        if (form.Year != year) seen.YearChanges[frame] = year = form.Year;
        if (frame == k2010Stops) {
            EXPECT_EQ(form.YearSlide->Value, 290);
        }
        if (!seen.DateInPlace && form.DateSlide->Visible && !form.DateSlide->Enabled &&
            form.DateSlide->Value == 10 && form.TimeSlide->Value == 490)
            seen.DateInPlace = frame;
        if (form.LineIndex != lineIndex) {
            if (form.LineIndex == 10 && !seen.LinePauseStart) seen.LinePauseStart = frame;
            if (form.LineIndex == 0 && seen.LinePauseStart && !seen.LineZeroAgain) seen.LineZeroAgain = frame;
            lineIndex = form.LineIndex;
        }
        if (frame == kSeaRun - 1) {
            EXPECT_EQ(form.SeaLine().ItemCount, 2000);
        }
        if (form.BoatTravel->Enabled && seaSpansScreen && run.Back().Read(400, 2) == floodedSky)
            seen.SkyFlooded.insert(frame);
    }

    EXPECT_EQ(seen.BoatStart, kBoatStart);
    EXPECT_EQ(seen.BoatPause, kBoatPause);
    EXPECT_EQ(seen.Stage1, kStage1);
    EXPECT_EQ(seen.Stage2, kStage2);
    EXPECT_EQ(seen.YearSlideStart, kYearSlideStart);
    // "1975" is rendered as stage 2 begins; the caption of year 1975 + i ends in
    // frame kFirstCaptionEnd + 150 i and renders the next year, "2010" last, ending at 2011.
    std::map<int, int32_t> years{{kStage2, 1976}};
    for (int i = 0; i < kCaptionsTo2009; ++i)
        years[kFirstCaptionEnd + 150 * i] = 1977 + i;
    EXPECT_EQ(seen.YearChanges, years);
    EXPECT_EQ(form.Year, 2011);
    EXPECT_EQ(form.yearlist->Items().Count(), 4);
    EXPECT_EQ(seen.DateInPlace, kDateInPlace);
    // The empty eleventh line is a pause of 200 path steps, two a frame.
    ASSERT_NE(seen.LinePauseStart, 0);
    EXPECT_EQ(seen.LineZeroAgain - seen.LinePauseStart, 200 / 2);
    // The sea line's first run ends with its 12000th step and starts over with 200 items.
    EXPECT_EQ(form.SeaLine().ItemCount, 200);
    EXPECT_TRUE(seen.SkyFlooded.empty()) << seen.SkyFlooded.size() << " frames flooded the sky, the first "
                                         << *seen.SkyFlooded.begin();
}
