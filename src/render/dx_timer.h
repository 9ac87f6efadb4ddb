// The frame timer (TCustomDXTimer, TDXTimer): no platform timer and no thread,
// but a handler in the application's idle processing that calls OnTimer when
// at least Interval milliseconds have passed since the previous tick, with the
// number of whole intervals that passed. With ActiveOnly it sleeps while the
// application is inactive. The clock is handed in.
#pragma once

#include <cstdint>
#include <functional>

#include "core/object.h"
#include "platform/application.h"
#include "platform/clock.h"
#include "platform/platform_services.h"

using TDXTimerEvent = std::function<void(TObject* Sender, int32_t LagCount)>;

class TCustomDXTimer : public TComponent {
public:
    // An enabled timer of 1000 ms with ActiveOnly; it runs only once Enabled
    // changes to True (or loading ends with Enabled True).
    TCustomDXTimer(TComponent* AOwner, Application& App, const Clock& Time);
    // A timer on the platform's application and clock.
    TCustomDXTimer(TComponent* AOwner, PlatformServices& Platform)
        : TCustomDXTimer(AOwner, *Platform.App, *Platform.Time) {}
    // Stops and leaves the application's activation hooks.
    ~TCustomDXTimer() override;
    std::string ClassName() const override { return "TCustomDXTimer"; }

    // Tick only while the application is active.
    bool ActiveOnly = true;
    bool Enabled() const { return FEnabled; }
    // A new value starts (True) or stops (False) the timer; while loading it is only stored.
    void SetEnabled(bool Value);
    // Ticks per second, measured over the last whole second or more.
    int32_t FrameRate() const { return FFrameRate; }
    int32_t Interval() const { return FInterval; }
    // The least time between ticks in milliseconds (negative values count as 0).
    void SetInterval(int32_t Value);

    // Settings from now on are loading: Enabled is only stored.
    void BeginLoading() { FLoading = true; }
    // Loading ends: an enabled timer starts.
    void Loaded();

    // The idle handler: ticks when the interval is over and answers how long
    // the loop may wait before the next tick is due.
    uint32_t Idle();

    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TDXTimerEvent OnTimer;

private:
    void Start();
    void Stop();
    void Resume();
    void Suspend();
    void Activation(bool Active);
    uint32_t UntilNextTick() const;

    Application& FApp;
    const Clock& FTime;
    int FHook = 0;
    bool FEnabled = true;
    bool FLoading = false;
    bool FStarted = false;
    int32_t FFrameRate = 0;
    int32_t FInterval = 1000;
    int32_t FInterval2 = 1000; // the divisor: Max(Interval, 1)
    uint32_t FFrameCount = 0;
    uint32_t FOldTime = 0;  // the last tick
    uint32_t FOldTime2 = 0; // where the frame-rate window began
};

class TDXTimer : public TCustomDXTimer {
public:
    using TCustomDXTimer::TCustomDXTimer;
    std::string ClassName() const override { return "TDXTimer"; }
};
