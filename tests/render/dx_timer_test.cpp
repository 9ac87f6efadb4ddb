#include "render/dx_timer.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/application_headless.h"

namespace {

// A running 30 ms timer on a headless application and a fake clock, recording its ticks.
struct TimerRig {
    explicit TimerRig(uint32_t Start = 1000) : Time(Start) {
        Timer.SetInterval(30);
        Timer.OnTimer = [this](TObject* Sender, int32_t LagCount) {
            EXPECT_EQ(Sender, &Timer);
            Lags.push_back(LagCount);
        };
        Timer.BeginLoading();
        Timer.Loaded(); // enabled by default: starts here
    }
    // Moves the clock by Step and runs one idle pass.
    uint32_t IdleAfter(uint32_t Step) {
        Time.Advance(Step);
        return Timer.Idle();
    }

    FakeClock Time;
    HeadlessApplication App{Time};
    TDXTimer Timer{nullptr, App, Time};
    std::vector<int32_t> Lags;
};

TEST(DXTimer, LagCountsWholeIntervalsSinceTheLastTick) {
    struct Case {
        const char* Name;
        uint32_t Start;
        int32_t Interval;
        uint32_t Elapsed;
        std::vector<int32_t> Lags;
    };
    const Case cases[] = {
        {"30 ms", 1000, 30, 30, {1}},
        {"59 ms", 1000, 30, 59, {1}},
        {"60 ms", 1000, 30, 60, {2}},
        {"95 ms", 1000, 30, 95, {3}},
        {"29 ms: no tick", 1000, 30, 29, {}},
        {"across the 32-bit wrap", 0xFFFFFFF0u, 30, 70, {2}},
        {"interval 0: the elapsed milliseconds", 1000, 0, 7, {7}},
        {"interval 0, no time: at least 1", 1000, 0, 0, {1}},
        {"a negative interval counts as 0", 1000, -5, 3, {3}},
        {"a clock jump cannot make it negative", 1000, 1, 0xFFFFFFFFu, {INT32_MAX}},
    };
    for (const Case& c : cases) {
        TimerRig r(c.Start);
        r.Timer.SetInterval(c.Interval);
        r.IdleAfter(c.Elapsed);
        EXPECT_EQ(r.Lags, c.Lags) << c.Name;
    }
    EXPECT_EQ(TimerRig().Timer.Interval(), 30);
}

TEST(DXTimer, TellsTheLoopHowLongItMayWait) {
    TimerRig r;
    EXPECT_EQ(r.IdleAfter(10), 20u);
    r.Timer.OnTimer = [&](TObject*, int32_t) { r.Time.Advance(12); }; // a 12 ms frame
    EXPECT_EQ(r.IdleAfter(20), 18u);
    r.Timer.OnTimer = [&](TObject*, int32_t) { r.Time.Advance(40); }; // a frame longer than the interval
    EXPECT_EQ(r.IdleAfter(30), 0u);

    // The headless loop sleeps by moving its clock: one tick every 30 ms, never late.
    TimerRig loop(0);
    loop.Timer.OnTimer = [&](TObject*, int32_t LagCount) {
        loop.Lags.push_back(LagCount);
        if (loop.Lags.size() == 10) loop.App.Terminate();
    };
    loop.App.Run();
    EXPECT_EQ(loop.Lags, std::vector<int32_t>(10, 1));
    EXPECT_EQ(loop.Time.Milliseconds(), 300u);
}

TEST(DXTimer, SleepsWhileTheApplicationIsInactive) {
    TimerRig r;
    std::vector<std::string> events;
    r.Timer.OnActivate = [&](TObject*) { events.push_back("activate"); };
    r.Timer.OnDeactivate = [&](TObject*) { events.push_back("deactivate"); };
    EXPECT_TRUE(r.App.HasIdleHandler());
    r.App.PostActivation(false);
    r.App.ProcessMessages();
    EXPECT_FALSE(r.App.HasIdleHandler());
    r.Time.Advance(5000);
    r.App.PostActivation(true);
    r.App.ProcessMessages();
    EXPECT_TRUE(r.App.HasIdleHandler());
    // The times were reset on reactivation: the inactive time is not counted.
    r.IdleAfter(30);
    EXPECT_EQ(r.Lags, (std::vector<int32_t>{1}));
    EXPECT_EQ(events, (std::vector<std::string>{"deactivate", "activate"}));

    // Without ActiveOnly the timer keeps running; the events still come.
    r.Timer.ActiveOnly = false;
    r.App.PostActivation(false);
    r.App.ProcessMessages();
    EXPECT_TRUE(r.App.HasIdleHandler());
    EXPECT_EQ(events.back(), "deactivate");

    // Started while inactive, an ActiveOnly timer waits for activation.
    TimerRig late;
    late.Timer.SetEnabled(false);
    late.App.PostActivation(false);
    late.App.ProcessMessages();
    late.Timer.SetEnabled(true);
    EXPECT_FALSE(late.App.HasIdleHandler());
    late.App.PostActivation(true);
    late.App.ProcessMessages();
    EXPECT_TRUE(late.App.HasIdleHandler());
}

TEST(DXTimer, EnabledStartsStopsAndWaitsForLoading) {
    TimerRig r;
    r.IdleAfter(20);
    r.Timer.SetEnabled(true); // unchanged: the running times stay
    r.IdleAfter(10);
    EXPECT_EQ(r.Lags, (std::vector<int32_t>{1}));
    r.Timer.SetEnabled(false);
    EXPECT_FALSE(r.App.HasIdleHandler());

    r.Timer.BeginLoading();
    r.Timer.SetEnabled(true);
    EXPECT_FALSE(r.App.HasIdleHandler()); // only stored while loading
    r.Timer.Loaded();
    EXPECT_TRUE(r.App.HasIdleHandler());

    // A timer made in code with the default Enabled does not run by itself.
    FakeClock time;
    HeadlessApplication app(time);
    {
        TDXTimer fresh(nullptr, app, time);
        EXPECT_TRUE(fresh.Enabled());
        EXPECT_EQ(fresh.Interval(), 1000);
        EXPECT_FALSE(app.HasIdleHandler());
        fresh.SetEnabled(false);
        fresh.SetEnabled(true);
        EXPECT_TRUE(app.HasIdleHandler());
    }
    EXPECT_FALSE(app.HasIdleHandler()); // destroying stops it
    app.PostActivation(false);
    app.ProcessMessages(); // and its activation hook is gone
}

TEST(DXTimer, FrameRateIsMeasuredOverWholeSeconds) {
    TimerRig r;
    for (int tick = 0; tick < 33; ++tick)
        r.IdleAfter(30);
    EXPECT_EQ(r.Timer.FrameRate(), 0); // 990 ms: not yet a second
    r.IdleAfter(30);
    EXPECT_EQ(r.Timer.FrameRate(), 33); // 34 ticks in 1020 ms, rounded
    for (int tick = 0; tick < 20; ++tick)
        r.IdleAfter(50);
    EXPECT_EQ(r.Timer.FrameRate(), 20);
}

} // namespace
