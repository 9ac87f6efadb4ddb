#include "render/dx_timer.h"

#include <algorithm>

#include "core/numeric.h"

TCustomDXTimer::TCustomDXTimer(TComponent* AOwner, Application& App, const Clock& Time)
    : TComponent(AOwner), FApp(App), FTime(Time) {
    FHook = FApp.AddActivationHook([this](bool Active) { Activation(Active); });
}

TCustomDXTimer::~TCustomDXTimer() {
    Stop();
    FApp.RemoveActivationHook(FHook);
}

void TCustomDXTimer::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    FEnabled = Value;
    if (FLoading) return;
    if (Value) {
        Start();
    } else {
        Stop();
    }
}

void TCustomDXTimer::SetInterval(int32_t Value) {
    FInterval = std::max(Value, 0);
    FInterval2 = std::max(Value, 1);
}

void TCustomDXTimer::Loaded() {
    FLoading = false;
    if (FEnabled) Start();
}

uint32_t TCustomDXTimer::Idle() {
    const uint32_t t = FTime.Milliseconds();
    // Unsigned differences stay right when the clock wraps around 2^32.
    const uint32_t elapsed = t - FOldTime;
    if (elapsed < uint32_t(FInterval)) return uint32_t(FInterval) - elapsed;
    FOldTime = t;
    // At least 1; capped so that a clock jump cannot turn it negative.
    const uint32_t lag = std::clamp<uint32_t>(elapsed / uint32_t(FInterval2), 1, INT32_MAX);
    ++FFrameCount;
    const uint32_t window = std::max<uint32_t>(t - FOldTime2, 1);
    if (window >= 1000) {
        FFrameRate = RoundInt32(double(FFrameCount) * 1000.0 / window);
        FFrameCount = 0;
        FOldTime2 = t;
    }
    if (OnTimer) OnTimer(this, int32_t(lag));
    return UntilNextTick();
}

void TCustomDXTimer::Start() {
    Stop();
    if (!ActiveOnly || FApp.Active()) Resume();
    FStarted = true;
}

void TCustomDXTimer::Stop() {
    if (FStarted) Suspend();
    FStarted = false;
}

void TCustomDXTimer::Resume() {
    FOldTime = FTime.Milliseconds();
    FOldTime2 = FOldTime;
    FApp.SetIdleHandler([this] { return Idle(); });
}

void TCustomDXTimer::Suspend() {
    FApp.SetIdleHandler(nullptr);
}

void TCustomDXTimer::Activation(bool Active) {
    if (Active) {
        if (OnActivate) OnActivate(this);
    } else if (OnDeactivate) {
        OnDeactivate(this);
    }
    if (!FStarted || !ActiveOnly) return;
    if (Active) {
        Resume();
    } else {
        Suspend();
    }
}

// The wait until Interval has passed since the last tick (0 when it has), so
// the loop can sleep instead of spinning; the tick itself still comes only
// from an idle call.
uint32_t TCustomDXTimer::UntilNextTick() const {
    const uint32_t since = FTime.Milliseconds() - FOldTime;
    return since >= uint32_t(FInterval) ? 0 : uint32_t(FInterval) - since;
}
