#include "fx/fx_event.h"

#include <cmath>
#include <numbers>

#include "core/numeric.h"

namespace {

constexpr double kPi = std::numbers::pi;

TFxMethod SwappedAccDec(TFxMethod M) {
    if (M == xAcc) return xDec;
    if (M == xDec) return xAcc;
    return M;
}

// The curve parameters of one evaluation, as doubles. Delta is the 32-bit
// wrapping difference To - From, so a span wider than an Integer wraps as the
// runtime's arithmetic does.
struct Curve {
    double From, To, Delta, Duration, Position;
};

// t of the two-halved curves: rounded to single precision before the half is
// chosen, so a frame exactly at the midpoint takes the branch the float says.
double HalfTurnAngle(const Curve& c) {
    return static_cast<float>(c.Position * (kPi / c.Duration));
}

// The eased value before truncation. Products and quotients follow the order
// of the formulas ((pi/2)/D first, then times P), which fixes their rounding.
double EasedValue(TFxMethod M, TFxDirection Direction, const Curve& c) {
    switch (M) {
    case xAcc:
        return c.To - c.Delta * std::sin(c.Position * ((kPi / 2) / c.Duration) + kPi / 2);
    case xAccDec: {
        const double t = HalfTurnAngle(c);
        if (t < kPi / 2) return c.From + c.Delta * (1 - std::cos(t)) / 2;
        return (c.To - c.Delta / 2) - c.Delta * std::cos(t) / 2;
    }
    case xLinear:
        return c.From + c.Position * (c.Delta / c.Duration);
    case xDecAcc: {
        const double t = HalfTurnAngle(c);
        if (t < kPi / 2) return c.From + c.Delta * std::sin(t) / 2;
        return c.To - c.Delta * std::sin(t) / 2;
    }
    case xDec:
        return c.From + c.Delta * std::sin(c.Position * ((kPi / 2) / c.Duration));
    case xWobble: {
        // From is the amplitude and To the centre: one full period per cycle.
        const double s = std::sin(c.Position * (2 * kPi / c.Duration));
        return Direction == dPlus ? c.To + c.From * s : c.To - c.From * s;
    }
    }
    return c.To;
}

} // namespace

TFxEvent::TFxEvent(TComponent* AOwner) : TComponent(AOwner) {}

void TFxEvent::Start() {
    if (Reversed) {
        FFromValue = ValueOut;
        FToValue = ValueIn;
        if (ReversedSwapMethod && Method != xWobble && RepeatInverseSwapMethod)
            Method = SwappedAccDec(Method);
    } else {
        FFromValue = ValueIn;
        FToValue = ValueOut;
    }
    Visible = true;
    Count = 0;
    FRepeatCounter = 0;
    Value = FFromValue;
    FCycleLength = Repeats > 0 ? Div(Duration, WrapAdd(Repeats, 1)) : Duration;
    FNoMotion = FFromValue == FToValue;
    Enabled = true;
}

int32_t TFxEvent::Advance() {
    if (!Enabled) return Value;
    Count = WrapAdd(Count, 1);
    // ">=" rather than "=": a cycle length of 0 or less (too short a Duration
    // for the repeats) then ends each cycle at once instead of never ending.
    if (Count >= FCycleLength) {
        EndCycle();
    } else if (!Paused && Mod(Count, Skipframes) == 0 && !FNoMotion) {
        // Mod by 0 gives 0, so Skipframes 0 recomputes every frame like 1.
        Evaluate(Method, FFromValue, FToValue, FCycleLength, Count);
    }
    return Value;
}

void TFxEvent::Stop() {
    Enabled = false;
    Count = 0;
    if (HideAfterDone) Visible = false;
}

void TFxEvent::Shift(int32_t Delta) {
    ValueIn = WrapAdd(ValueIn, Delta);
    ValueOut = WrapAdd(ValueOut, Delta);
    FFromValue = WrapAdd(FFromValue, Delta);
    FToValue = WrapAdd(FToValue, Delta);
    Value = WrapAdd(Value, Delta);
}

void TFxEvent::CopyFrom(const TFxEvent& Source) {
    ValueIn = Source.ValueIn;
    ValueOut = Source.ValueOut;
    Enabled = Source.Enabled;
    Paused = Source.Paused;
    Method = Source.Method;
    Count = Source.Count;
    Duration = Source.Duration;
    Visible = Source.Visible;
    OnDone = Source.OnDone;
    OnRepeat = Source.OnRepeat;
    Skipframes = Source.Skipframes;
    WobbleDirection = Source.WobbleDirection;
    HideAfterDone = Source.HideAfterDone;
    Repeats = Source.Repeats;
    Repeatvalue = Source.Repeatvalue;
    RepeatInverse = Source.RepeatInverse;
    RepeatInverseSwapMethod = Source.RepeatInverseSwapMethod;
    Reversed = Source.Reversed;
    ReversedSwapMethod = Source.ReversedSwapMethod;
}

int32_t TFxEvent::Evaluate(TFxMethod AMethod, int32_t From, int32_t To, int32_t ADuration, int32_t Position) {
    // A curve of no length is already at its end; this also keeps a division by 0 out.
    if (ADuration <= 0) {
        Value = To;
        return Value;
    }
    const Curve curve{double(From), double(To), double(WrapSub(To, From)), double(ADuration),
                      double(Position)};
    // Truncation drops the fraction toward zero: -1.5 gives -1.
    Value = TruncInt32(EasedValue(AMethod, WobbleDirection, curve));
    return Value;
}

void TFxEvent::SetValues(int32_t V) {
    ValueIn = V;
    ValueOut = V;
}

void TFxEvent::EndCycle() {
    if (Repeats <= 0) {
        Value = FToValue;
        FinishRun();
        return;
    }
    FRepeatCounter = WrapAdd(FRepeatCounter, 1);
    // The last cycle keeps the value of its last evaluated frame.
    if (FRepeatCounter > Repeats)
        FinishRun();
    else
        BeginRepeat();
}

void TFxEvent::BeginRepeat() {
    if (OnRepeat) {
        const int32_t repeatValue = Evaluate(RepeatMethod, 0, Repeatvalue, Repeats, FRepeatCounter);
        // A copy, so the handler may reassign OnRepeat (directly or by CopyFrom) while it runs.
        const TRepeatEvent handler = OnRepeat;
        handler(this, repeatValue);
    }
    if (RepeatInverse && Method != xWobble) InvertCycle();
    Count = 0;
}

void TFxEvent::InvertCycle() {
    if (RepeatInverseSwapMethod) Method = SwappedAccDec(Method);
    Value = FToValue;
    FToValue = FFromValue;
    FFromValue = Value;
    // After every second repeat the swing goes to the other side of the start.
    if (FRepeatCounter % 2 == 0 && RepeatInverseOut) FToValue = WrapNeg(FToValue);
}

void TFxEvent::FinishRun() {
    Stop();
    if (!OnDone) return;
    // A copy, so the handler may reassign OnDone (directly or by CopyFrom) while it runs.
    const TNotifyEvent handler = OnDone;
    handler(this);
}
