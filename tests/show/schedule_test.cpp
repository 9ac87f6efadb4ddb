// The whole show, frame by frame from the first drawn frame (1) to just after
// the sea line's first run: every moment the sequence is known to happen.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

#include "show/show_run.h"

namespace {

constexpr uint32_t kSeaFill = 0xEED6B4; // the sea's end colour as the frame uses it

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
    ShowRun run;
    TMainForm& form = *run.Form;
    Timeline seen;
    int32_t year = form.Year;
    int32_t lineIndex = form.LineIndex;
    const uint32_t floodedSky = PackColor(run.Back().Format, kSeaFill);
    for (int frame = 1; frame <= 12000; ++frame) {
        const bool boatWasPaused = form.BoatTravel->Paused;
        const uint8_t stage = form.Stage;
        const bool yearSlideRan = form.YearSlide->Enabled;
        // Once the end of the sea line comes onto the screen the fill may pass it by.
        const bool seaSpansScreen = form.SeaLine().XOffset->Value + form.SeaLine().ItemCount * 20 >= 800 + 3;
        ASSERT_EQ(run.Frame(), frame);

        if (!seen.BoatStart && form.BoatTravel->Enabled) seen.BoatStart = frame;
        if (frame == 993) {
            EXPECT_FALSE(form.BoatTravel->Paused);
            EXPECT_EQ(form.BoatTravel->Tag, 400);
        }
        if (!boatWasPaused && form.BoatTravel->Paused) {
            seen.BoatPause = frame;
            EXPECT_EQ(form.BoatTravel->Count, 745);
            EXPECT_EQ(form.BoatTravel->Value, 2980);
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
        if (frame == 7098) {
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
        if (frame == 11999) {
            EXPECT_EQ(form.SeaLine().ItemCount, 2000);
        }
        if (form.BoatTravel->Enabled && seaSpansScreen && run.Back().Read(400, 2) == floodedSky)
            seen.SkyFlooded.insert(frame);
    }

    EXPECT_EQ(seen.BoatStart, 250);
    EXPECT_EQ(seen.BoatPause, 994);
    EXPECT_EQ(seen.Stage1, 1224);
    EXPECT_EQ(seen.Stage2, 1524);
    EXPECT_EQ(seen.YearSlideStart, 1774);
    // "1975" is rendered as stage 2 begins; the caption of year 1975 + i ends in
    // frame 1923 + 150 i and renders the next year, "2010" last, ending at 2011.
    std::map<int, int32_t> years{{1524, 1976}};
    for (int i = 0; i <= 34; ++i) years[1923 + 150 * i] = 1977 + i;
    EXPECT_EQ(seen.YearChanges, years);
    EXPECT_EQ(form.Year, 2011);
    EXPECT_EQ(form.yearlist->Items().Count(), 4);
    EXPECT_EQ(seen.DateInPlace, 7172);
    // The empty eleventh line is a pause of 200 path steps, two a frame.
    ASSERT_NE(seen.LinePauseStart, 0);
    EXPECT_EQ(seen.LineZeroAgain - seen.LinePauseStart, 100);
    // The sea line's first run ends with its 12000th step and starts over with 200 items.
    EXPECT_EQ(form.SeaLine().ItemCount, 200);
    EXPECT_TRUE(seen.SkyFlooded.empty()) << seen.SkyFlooded.size() << " frames flooded the sky, the first "
                                         << *seen.SkyFlooded.begin();
}
