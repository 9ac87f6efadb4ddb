// The show left playing across three runs of the sea line: the sea spans the
// screen in every frame and never floods the sky, the boat stays at mid-screen,
// and neither the end of a run nor a move of the sea line's row shows a jump.
// One headless run of 36010 frames serves every test here.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <vector>

#include "show/show_rig.h"

namespace {

constexpr int kRunLength = 12000; // frames of one run of the sea line
constexpr int kLastFrame = 3 * kRunLength + 10;
constexpr int kSampleEvery = 250;  // frames whose sky is looked at
constexpr int kSteadyFrom = 11000; // the boat has long paused, the sea line has its slow wave
constexpr uint32_t kSeaFill = 0xEED6B4;
// The sea line's rows left and right of the boat, whose tilting sprite is measured apart.
constexpr int kBandTop = 290, kBandBottom = 345, kBoatLeft = 280, kBoatRight = 520;
constexpr int kColumns = 41; // sea heights every 20 pixels from x 0 to 800

// The sea and the boat as a frame left them, in screen terms.
struct SeaState {
    int32_t ScrollX = 0;
    std::array<int32_t, kColumns> Heights{};
    int32_t BoatX = 0, BoatY = 0, BoatTilt = 0;
};

SeaState SeaNow(const TMainForm& Form) {
    const TSinus& sea = Form.SeaLine();
    SeaState state;
    state.ScrollX = sea.XOffset->Value;
    for (int c = 0; c < kColumns; ++c)
        sea.GetPointAt(c * 20 - state.ScrollX, state.Heights[c]);
    state.BoatX = Form.BoatTravel->Tag;
    state.BoatTilt = sea.GetPointAt(static_cast<int32_t>(Form.BoatPos), state.BoatY);
    return state;
}

// The largest move of any sea height or of the boat (place, or tilt in 256ths
// of a turn either way round) between two frames.
int32_t Change(const SeaState& A, const SeaState& B) {
    const int32_t turn = std::abs(A.BoatTilt - B.BoatTilt) % 256;
    int32_t most =
        std::max({std::abs(A.BoatX - B.BoatX), std::abs(A.BoatY - B.BoatY), std::min(turn, 256 - turn)});
    for (int c = 0; c < kColumns; ++c)
        most = std::max(most, std::abs(A.Heights[c] - B.Heights[c]));
    return most;
}

std::vector<uint32_t> Band(const PixelView& View) {
    std::vector<uint32_t> pixels;
    for (int y = kBandTop; y < kBandBottom; ++y)
        for (int x = 0; x < View.Width; ++x)
            if (x < kBoatLeft || x >= kBoatRight) pixels.push_back(View.Read(x, y));
    return pixels;
}

int Differences(const std::vector<uint32_t>& A, const std::vector<uint32_t>& B) {
    int count = 0;
    for (size_t i = 0; i < A.size(); ++i)
        count += A[i] != B[i];
    return count;
}

// What the long run saw.
struct Record {
    std::vector<int> Gaps, FloodedSamples, RunEnds, RowMoves;
    int32_t BoatMinX = INT32_MAX, BoatMaxX = INT32_MIN;
    float LaterBoatPos = 0; // the largest BoatPos after the first run
    int32_t PhaseMagnitude = 0;
    int32_t OrdinaryChange = 0, BoundaryChange = 0; // sea heights and boat, frame to frame
    int OrdinaryPixels = 0, RunEndPixels = 0;       // changed pixels of the band, frame to frame
    int TextRestarts = 0;                           // text line 0 starting again after the first run
    int StreakRestarts = 0;                         // wave streaks starting again after the first run
    bool CaptionsInPlace = false;
};

// The frames around the end of a run whose pixels are compared: the swell
// rests in a run's last 261 frames and moves again in the next run's first.
bool NearRunEnd(int Frame) {
    const int offset = Frame % kRunLength;
    return Frame > kSteadyFrom && (offset >= kRunLength - 50 || offset <= 100);
}

// The sea's line covers the screen and the sky keeps its own pixels.
void LookAtSky(Record& Seen, ShowRig& Run, int Frame) {
    const TSinus& sea = Run.Form->SeaLine();
    const int32_t x = sea.XOffset->Value;
    if (Frame >= 300 && (x > 0 || x + sea.ItemCount * sea.Step < 800)) Seen.Gaps.push_back(Frame);
    if (Frame % kSampleEvery != 0) return;
    const PixelView back = Run.Back();
    const uint32_t flooded = PackColor(back.Format, kSeaFill);
    for (int column : {2, 400, 797})
        if (back.Read(column, 2) == flooded) return Seen.FloodedSamples.push_back(Frame);
}

Record Watch() {
    ShowRig run;
    TMainForm& form = *run.Form;
    Record seen;
    SeaState before = SeaNow(form);
    std::vector<uint32_t> band;
    int lastBoundary = -2;
    for (int frame = 1; frame <= kLastFrame; ++frame) {
        const int32_t lineIndex = form.LineIndex;
        run.Frame();
        LookAtSky(seen, run, frame);
        const SeaState now = SeaNow(form);
        const TSinus& sea = form.SeaLine();
        if (form.BoatTravel->Paused) {
            seen.BoatMinX = std::min(seen.BoatMinX, now.BoatX);
            seen.BoatMaxX = std::max(seen.BoatMaxX, now.BoatX);
        }
        if (frame > kRunLength) {
            seen.LaterBoatPos = std::max(seen.LaterBoatPos, form.BoatPos);
            seen.TextRestarts += lineIndex != 0 && form.LineIndex == 0;
            for (size_t streak = 12; streak <= 14; ++streak)
                seen.StreakRestarts += (*form.Lines)[streak]->Sinus->XOffset->Count == 0;
        }
        seen.PhaseMagnitude = std::max(seen.PhaseMagnitude, std::abs(sea.SinusOffset->Value));
        const bool runEnd = sea.XOffset->Count == 0, rowMove = now.ScrollX > before.ScrollX;
        if (runEnd) seen.RunEnds.push_back(frame);
        if (rowMove && !runEnd) seen.RowMoves.push_back(frame);
        if (runEnd || rowMove) lastBoundary = frame;
        if (frame > kSteadyFrom) {
            // A boundary's change shows in its own frame and, through what it set up, in the next.
            int32_t& most = frame - lastBoundary <= 1 ? seen.BoundaryChange : seen.OrdinaryChange;
            most = std::max(most, Change(before, now));
        }
        if (NearRunEnd(frame)) {
            std::vector<uint32_t> next = Band(run.Back());
            if (!band.empty()) {
                int& most = frame % kRunLength <= 1 ? seen.RunEndPixels : seen.OrdinaryPixels;
                most = std::max(most, Differences(band, next));
            }
            band = std::move(next);
        } else {
            band.clear();
        }
        before = now;
    }
    seen.CaptionsInPlace = form.YearSlide->Visible && form.YearSlide->Value == 290 &&
                           form.DateSlide->Visible && form.DateSlide->Value == 10 &&
                           form.TimeSlide->Visible && form.TimeSlide->Value == 490;
    return seen;
}

const Record& Seen() {
    static const Record record = Watch();
    return record;
}

} // namespace

TEST(LongRun, TheSeaSpansTheScreenAndTheBoatStaysAtMidScreen) {
    const Record& seen = Seen();
    EXPECT_TRUE(seen.Gaps.empty()) << seen.Gaps.size() << " frames left the screen's edge open, the first "
                                   << seen.Gaps.front();
    EXPECT_TRUE(seen.FloodedSamples.empty())
        << "the sky was flooded in frame " << seen.FloodedSamples.front();
    EXPECT_GE(seen.BoatMinX, 396);
    EXPECT_LE(seen.BoatMaxX, 404);
    // Bounded however long the show runs: no float that loses its fraction, no phase that overflows.
    EXPECT_LT(seen.LaterBoatPos, 5000);
    EXPECT_LT(seen.PhaseMagnitude, 50000);
    // Text lines, wave streaks and captions go on as before.
    EXPECT_GE(seen.TextRestarts, 3);
    EXPECT_GE(seen.StreakRestarts, 3 * 24000 / 400);
    EXPECT_TRUE(seen.CaptionsInPlace);
}

TEST(LongRun, RunEndsAndRowMovesShowNoJump) {
    const Record& seen = Seen();
    EXPECT_EQ(seen.RunEnds, (std::vector<int>{kRunLength, 2 * kRunLength, 3 * kRunLength}));
    EXPECT_GE(seen.RowMoves.size(), 20u);
    // Ordinary neighbouring frames move the sea and the boat by a pixel or two.
    EXPECT_LE(seen.OrdinaryChange, 2);
    EXPECT_LE(seen.BoundaryChange, seen.OrdinaryChange);
    EXPECT_GT(seen.OrdinaryPixels, 0);
    EXPECT_LE(seen.RunEndPixels, seen.OrdinaryPixels);
}
