// The sea line never ends: it scrolls left for as long as the show runs. Its row
// of items is finite, so before the row's right end can come on screen the row
// moves back by whole item steps, and when its run ends the next run goes on
// from where the line stands. Both keep every visible point where it is.
#include <cstdint>
#include <numeric>

#include "core/numeric.h"
#include "show/main_form.h"

namespace {

// Items of the sea line's later runs (its first run has 2000).
constexpr int32_t kSeaItemsLater = 200;

// The run after Event's run, at the same speed from where it ended: ValueOut
// onwards by the same distance.
void ContinueRun(TFxEvent& Event) {
    const int32_t distance = WrapSub(Event.ValueOut, Event.ValueIn);
    Event.ValueIn = Event.ValueOut;
    Event.ValueOut = WrapAdd(Event.ValueOut, distance);
}

// The fewest pixels that hold a whole number of waves: the wavelength is
// Width * 100 / Freq, so Width * 100 / gcd(Width * 100, Freq) pixels hold
// Freq / gcd waves. 0 when the path has no wavelength.
int64_t WholeWavesSpan(const TSinus& Path) {
    const int64_t width = int64_t(Path.Width->Value) * 100, freq = Path.Freq->Value;
    if (width <= 0 || freq <= 0) return 0;
    return width / std::gcd(width, freq);
}

// The phase goes on from where it stands (the rest of this path step advances
// it once more, as every frame does) at the same speed. Whole waves are dropped
// from it: the curve is the same, and the phase stays bounded however long the
// show runs.
void ContinuePhase(TSinus& Path) {
    TFxEvent& phase = *Path.SinusOffset;
    const int32_t distance = WrapSub(phase.ValueOut, phase.ValueIn);
    int64_t start = phase.Value;
    if (const int64_t waves = WholeWavesSpan(Path)) start = (start % waves + waves) % waves;
    phase.ValueIn = static_cast<int32_t>(start);
    phase.ValueOut = WrapAdd(phase.ValueIn, distance);
}

// The swell starts from the end its last cycle went to and swings between the same two heights.
void ContinueSwell(TFxEvent& Amp) {
    const int32_t reached = Amp.ToValue();
    Amp.ValueOut = WrapSub(WrapAdd(Amp.ValueIn, Amp.ValueOut), reached);
    Amp.ValueIn = reached;
}

} // namespace

// The row ends ItemCount steps right of XOffset. Once that end no longer lies
// beyond the visible area, the polyline would stop on screen and the sea's fill
// would leak past it into the sky; so the row moves right by whole steps until
// its first item is just left of the visible area. The phase moves by the same
// pixels, so item j - k stands where item j stood, at the same height.
void TMainForm::KeepSeaAcrossScreen() {
    TSinus& sea = SeaLine();
    const TSinus::Bounds& visible = sea.VisibleRect();
    const int32_t x = sea.XOffset->Value;
    if (sea.Step <= 0 || int64_t(x) + int64_t(sea.ItemCount) * sea.Step > visible.Right) return;
    const int32_t steps = Div(WrapSub(visible.Left, x), sea.Step);
    if (steps <= 0) return;
    const int32_t shift = steps * sea.Step;
    sea.XOffset->Shift(shift);
    sea.SinusOffset->Shift(-shift);
    FBoatHeld = true;
}

// Called when the sea line's XOffset ends its run, inside that Advance. Starting
// over would throw the line back to the right edge, the swell to 10 and the
// wavelength to 400; instead every part carries on: the scroll and the phase at
// their speeds, the swell from where it is, the wavelength as it is.
void TMainForm::ContinueSeaLine(TSinus& Sea) {
    Sea.ItemCount = kSeaItemsLater;
    ContinueRun(*Sea.XOffset);
    ContinuePhase(Sea);
    ContinueSwell(*Sea.Amp);
    Sea.Freq->SetValues(Sea.Freq->Value);
    Sea.Start();
}
