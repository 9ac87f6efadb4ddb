#include "fx/fx_event.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// One run of a tween: its settings and the values of calls 1..N of Advance;
// the run must end (OnDone, disabled, Count 0) exactly on call N.
struct RunCase {
    const char* Name;
    TFxMethod Method;
    int32_t ValueIn, ValueOut, Duration;
    std::vector<int32_t> Values;
    int32_t Skipframes = 1;
    bool Paused = false;
    int32_t Repeats = 0;
    TFxDirection Wobble = dPlus;
    bool Reversed = false;
};

void ExpectRun(const RunCase& c) {
    SCOPED_TRACE(c.Name);
    TFxEvent event(nullptr);
    event.Method = c.Method;
    event.ValueIn = c.ValueIn;
    event.ValueOut = c.ValueOut;
    event.Duration = c.Duration;
    event.Skipframes = c.Skipframes;
    event.Paused = c.Paused;
    event.Repeats = c.Repeats;
    event.WobbleDirection = c.Wobble;
    event.Reversed = c.Reversed;
    int doneCalls = 0;
    event.OnDone = [&](TObject* sender) {
        EXPECT_EQ(sender, &event);
        ++doneCalls;
    };
    event.Start();
    EXPECT_EQ(event.Value, c.Reversed ? c.ValueOut : c.ValueIn);
    for (size_t call = 0; call < c.Values.size(); ++call) {
        EXPECT_EQ(doneCalls, 0) << "ended before call " << call + 1;
        EXPECT_EQ(event.Advance(), c.Values[call]) << "call " << call + 1;
    }
    EXPECT_EQ(doneCalls, 1);
    EXPECT_FALSE(event.Enabled);
    EXPECT_EQ(event.Count, 0);
    EXPECT_EQ(event.Advance(), c.Values.back()) << "an idle event keeps its value";
}

void SetRun(TFxEvent& event, int32_t from, int32_t to, int32_t duration) {
    event.ValueIn = from;
    event.ValueOut = to;
    event.Duration = duration;
}

} // namespace

TEST(FxEvent, RunsEveryCurveFrameByFrame) {
    const RunCase cases[] = {
        {"xLinear", xLinear, 0, 100, 10, {10, 20, 30, 40, 50, 60, 70, 80, 90, 100}},
        {"xAcc", xAcc, 0, 100, 10, {1, 4, 10, 19, 29, 41, 54, 69, 84, 100}},
        {"xAccDec", xAccDec, 0, 100, 10, {2, 9, 20, 34, 50, 65, 79, 90, 97, 100}},
        {"xDecAcc", xDecAcc, 0, 100, 10, {15, 29, 40, 47, 50, 52, 59, 70, 84, 100}},
        {"xDec", xDec, 0, 100, 10, {15, 30, 45, 58, 70, 80, 89, 95, 98, 100}},
        {"xWobble plus", xWobble, 10, 50, 8, {57, 60, 57, 50, 42, 40, 42, 50}},
        {"xWobble minus", xWobble, 10, 50, 8, {42, 40, 42, 50, 57, 60, 57, 50}, 1, false, 0, dMinus},
        {"truncates toward zero", xLinear, 0, -3, 2, {-1, -3}},
        {"one frame", xLinear, 5, 9, 1, {9}},
        {"skipframes 3", xLinear, 0, 100, 10, {0, 0, 30, 30, 30, 60, 60, 60, 90, 100}, 3},
        {"paused", xLinear, 0, 100, 4, {0, 0, 0, 100}, 1, true},
        {"no motion", xAcc, 7, 7, 3, {7, 7, 7}},
        {"repeat inverts",
         xLinear,
         0,
         10,
         20,
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 1},
         1,
         false,
         1},
        {"reversed", xLinear, 0, 100, 5, {80, 60, 40, 20, 0}, 1, false, 0, dPlus, true},
        {"cycle length 0 ends at once", xLinear, 0, 100, 0, {100}},
        {"skipframes 0 acts as 1", xLinear, 0, 100, 4, {25, 50, 75, 100}, 0},
        {"negative skipframes acts as its size", xLinear, 0, 100, 4, {0, 50, 50, 100}, -2},
        {"span wider than an Integer wraps", xLinear, INT32_MIN, INT32_MAX, 2, {INT32_MIN, INT32_MAX}},
    };
    for (const RunCase& c : cases)
        ExpectRun(c);
}

TEST(FxEvent, RepeatsReportTheRepeatCurveAndInvert) {
    struct Case {
        const char* Name;
        bool Inverse, InverseOut;
        std::vector<std::pair<int32_t, int32_t>> CycleEnds; // FromValue, ToValue after each repeat
    };
    const Case cases[] = {
        {"inverting", true, false, {{100, 0}, {0, 100}, {100, 0}, {0, 100}}},
        {"inverting out", true, true, {{100, 0}, {0, -100}, {-100, 0}, {0, 100}}},
        {"same direction", false, false, {{0, 100}, {0, 100}, {0, 100}, {0, 100}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TFxEvent event(nullptr);
        SetRun(event, 0, 100, 50);
        event.Repeats = 4;
        event.Repeatvalue = 100;
        event.RepeatInverse = c.Inverse;
        event.RepeatInverseOut = c.InverseOut;
        std::vector<std::pair<int, int32_t>> received; // call, value
        int call = 0, doneAt = 0;
        event.OnRepeat = [&](TObject*, int32_t v) { received.emplace_back(call, v); };
        event.OnDone = [&](TObject*) { doneAt = call; };
        event.Start();
        EXPECT_EQ(event.CycleLength(), 10);
        for (call = 1; call <= 50; ++call) {
            const int32_t value = event.Advance();
            if (call % 10 != 0 || call == 50) continue;
            const size_t repeat = size_t(call / 10 - 1);
            // An inverting repeat leaves the old end value; otherwise the repeat curve's value stays.
            EXPECT_EQ(value, c.Inverse ? c.CycleEnds[repeat].first : received.back().second) << call;
            EXPECT_EQ(std::make_pair(event.FromValue(), event.ToValue()), c.CycleEnds[repeat]) << call;
        }
        const std::vector<std::pair<int, int32_t>> expected{{10, 25}, {20, 50}, {30, 75}, {40, 100}};
        EXPECT_EQ(received, expected);
        EXPECT_EQ(doneAt, 50);
    }
}

TEST(FxEvent, StartAndRepeatsTradeAccAndDec) {
    struct Case {
        const char* Name;
        TFxMethod Method;
        bool Reversed, ReversedSwap, InverseSwap;
        int32_t Repeats;
        TFxMethod AfterStart, AfterRun, AfterSecondStart;
    };
    const Case cases[] = {
        {"repeat swaps", xAcc, false, true, true, 1, xAcc, xDec, xDec},
        {"reversed start swaps", xAcc, true, true, true, 0, xDec, xDec, xAcc},
        {"reversed xDec", xDec, true, true, true, 0, xAcc, xAcc, xDec},
        {"no inverse swap, no reversed swap", xAcc, true, true, false, 0, xAcc, xAcc, xAcc},
        {"reversed swap off", xAcc, true, false, true, 0, xAcc, xAcc, xAcc},
        {"wobble never swaps", xWobble, true, true, true, 1, xWobble, xWobble, xWobble},
        {"linear stays", xLinear, true, true, true, 1, xLinear, xLinear, xLinear},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TFxEvent event(nullptr);
        SetRun(event, 0, 100, 20);
        event.Method = c.Method;
        event.Reversed = c.Reversed;
        event.ReversedSwapMethod = c.ReversedSwap;
        event.RepeatInverseSwapMethod = c.InverseSwap;
        event.Repeats = c.Repeats;
        event.Start();
        EXPECT_EQ(event.Method, c.AfterStart);
        while (event.Enabled)
            event.Advance();
        EXPECT_EQ(event.Method, c.AfterRun);
        event.Start();
        EXPECT_EQ(event.Method, c.AfterSecondStart);
    }
    TFxEvent event(nullptr);
    SetRun(event, 0, 100, 20);
    event.Method = xAcc;
    event.Repeats = 1;
    event.Start();
    while (event.Enabled)
        event.Advance();
    event.Start();
    EXPECT_EQ(event.Advance(), 15) << "the second run begins on xDec";
}

TEST(FxEvent, HandlersMayRestartOrRewireTheirOwnEvent) {
    TFxEvent event(nullptr);
    SetRun(event, 3, 9, 2);
    event.OnDone = [&](TObject*) { event.Start(); };
    event.Start();
    event.Advance();
    EXPECT_EQ(event.Advance(), 3) << "Advance returns the restarted value";
    EXPECT_TRUE(event.Enabled);
    EXPECT_EQ(event.Count, 0);

    // A handler that replaces itself must not pull its own state from under it.
    const std::string tag(64, 'x'); // large enough to live on the heap
    std::string seen;
    event.OnDone = [&event, &seen, tag](TObject*) {
        event.OnDone = nullptr;
        seen = tag;
    };
    event.Advance();
    event.Advance();
    EXPECT_EQ(seen, tag);

    TFxEvent repeating(nullptr);
    SetRun(repeating, 0, 10, 4);
    repeating.Repeats = 1;
    repeating.OnRepeat = [&](TObject*, int32_t) { repeating.Start(); };
    repeating.Start();
    repeating.Advance();
    repeating.Advance();
    // Start inside OnRepeat is followed by the rest of the repeat: inversion and Count 0.
    EXPECT_EQ(std::make_pair(repeating.FromValue(), repeating.ToValue()), std::make_pair(10, 0));
    EXPECT_EQ(repeating.RepeatCounter(), 0);
    EXPECT_TRUE(repeating.Enabled);
}

TEST(FxEvent, CopyFromTakesSettingsButNoRunState) {
    TFxEvent source(nullptr);
    SetRun(source, 4, 40, 6);
    source.Method = xDec;
    source.Repeats = 2;
    source.Repeatvalue = 9;
    source.Skipframes = 2;
    source.HideAfterDone = true;
    source.Reversed = true;
    source.RepeatMethod = xAcc;
    source.RepeatInverseOut = true;
    source.TagX = 11;
    source.OnDone = [](TObject*) {};
    source.Start();
    source.Advance();

    const auto copied = [](const TFxEvent& e) {
        return std::tuple(e.ValueIn, e.ValueOut, e.Enabled, e.Count, e.Method, e.Duration, e.Repeats,
                          e.Repeatvalue, e.Skipframes, e.HideAfterDone, e.Reversed, bool(e.OnDone));
    };
    const auto kept = [](const TFxEvent& e) {
        return std::tuple(e.RepeatMethod, e.RepeatInverseOut, e.TagX, e.Value, e.CycleLength(), e.FromValue(),
                          e.ToValue());
    };
    const TFxEvent fresh(nullptr);
    TFxEvent copy(nullptr);
    copy.CopyFrom(source);
    EXPECT_EQ(copied(copy), copied(source));
    EXPECT_EQ(kept(copy), kept(fresh));

    copy.Start();
    EXPECT_EQ(copy.CycleLength(), 2);
    EXPECT_EQ(std::make_pair(copy.FromValue(), copy.ToValue()), std::make_pair(40, 4));
}

TEST(FxEvent, ValuesStopAndDegenerateCurves) {
    TFxEvent event(nullptr);
    SetRun(event, 0, 100, 10);
    event.SetValues(12);
    EXPECT_EQ(event.ValueIn, 12);
    EXPECT_EQ(event.ValueOut, 12);
    EXPECT_EQ(event.GetValues(), 12);

    event.HideAfterDone = true;
    event.Start();
    EXPECT_TRUE(event.NoMotion());
    event.Advance();
    event.Stop();
    EXPECT_FALSE(event.Enabled || event.Visible);
    EXPECT_EQ(event.Count, 0);
    EXPECT_EQ(event.Value, 12);

    // A curve of no length answers its end value instead of dividing by zero.
    for (TFxMethod method : {xAcc, xAccDec, xLinear, xDecAcc, xDec, xWobble})
        EXPECT_EQ(event.Evaluate(method, 5, 77, 0, 3), 77) << int(method);

    // Repeats that leave no frame per cycle still end, one cycle per call.
    TFxEvent crowded(nullptr);
    SetRun(crowded, 0, 100, 2);
    crowded.Repeats = 3;
    int repeats = 0, done = 0;
    crowded.OnRepeat = [&](TObject*, int32_t) { ++repeats; };
    crowded.OnDone = [&](TObject*) { ++done; };
    crowded.Start();
    EXPECT_EQ(crowded.CycleLength(), 0);
    for (int call = 0; call < 4; ++call)
        crowded.Advance();
    EXPECT_EQ(repeats, 3);
    EXPECT_EQ(done, 1);
}

// A shifted run goes on exactly like its unshifted twin, Delta apart, through
// its repeats, and ends on the same call: the sea line's scroll is moved this way.
TEST(FxEvent, ShiftMovesARunningRunWithoutRestartingIt) {
    for (TFxMethod method : {xLinear, xAccDec}) {
        TFxEvent moved(nullptr), twin(nullptr);
        for (TFxEvent* event : {&moved, &twin}) {
            SetRun(*event, -800, -40000, 120);
            event->Method = method;
            event->Repeats = 2;
            event->Start();
        }
        int done = 0;
        moved.OnDone = [&](TObject*) { ++done; };
        for (int call = 1; call <= 50; ++call) {
            moved.Advance();
            twin.Advance();
        }
        moved.Shift(-5000);
        for (int call = 51; call <= 120; ++call) {
            EXPECT_EQ(moved.Value, twin.Value - 5000) << int(method) << " call " << call;
            EXPECT_EQ(done, 0);
            moved.Advance();
            twin.Advance();
        }
        EXPECT_EQ(done, 1);
        EXPECT_EQ(std::make_pair(moved.ValueIn, moved.ValueOut), std::make_pair(-5800, -45000));
    }
}
