#include "fx/fx_sinus.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/exception.h"
#include "core/numeric.h"

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDegreesPerRadian = 180 / kPi;

// The curve h(x) = Amp * sin((x - SinusOffset) * 2pi / L) with the events'
// values of one query, read once so a query costs no more than its sines.
class SineCurve {
public:
    explicit SineCurve(const TSinus& path)
        : FAmplitude(path.Amp->Value), FPhaseOffset(path.SinusOffset->Value),
          // Wavelength L = Width * (1 / (Freq / 100)), in that order.
          FWavelength(path.Width->Value * (1.0 / (path.Freq->Value / 100.0))),
          // Width or Freq at 0 leaves no wavelength (0, infinite or NaN): the
          // curve is then a flat line instead of a division by zero.
          FFlat(!std::isfinite(FWavelength) || FWavelength == 0) {}

    // h at an integer x; x - SinusOffset is a wrapping 32-bit difference.
    double HeightAt(int32_t x) const { return HeightAtOffset(WrapSub(x, FPhaseOffset)); }
    // h at a single-precision x; the difference is taken in floating point.
    double HeightAt(float x) const { return HeightAtOffset(double(x) - FPhaseOffset); }

private:
    // The numerator (x - SinusOffset) * 2pi is formed first, then divided by L.
    double HeightAtOffset(double dx) const {
        return FFlat ? 0 : FAmplitude * std::sin(dx * (2 * kPi) / FWavelength);
    }

    double FAmplitude;
    int32_t FPhaseOffset;
    double FWavelength;
    bool FFlat;
};

// Tilt of the curve between x0 and x0 + 1, in the show's angle convention:
// a falling step gives 90 - trunc(beta) (1..90), a rising one trunc(beta) + 170
// (259..170), a flat one 0, where beta is 90 degrees less the slope angle.
// y0 and y1 are single-precision heights, so tiny wiggles below float
// resolution read as flat.
int32_t TiltAt(const SineCurve& curve, int32_t x0, float y0) {
    const float x1 = static_cast<float>(double(x0) + 1);
    const float y1 = static_cast<float>(curve.HeightAt(x1));
    if (y1 == y0) return 0;
    const double dx = std::fabs(double(x1) - x0);
    const double dy = std::fabs(double(y1) - y0);
    const float len = static_cast<float>(std::sqrt(dx * dx + dy * dy));
    // len is rounded to single precision and may fall just below dy on a steep
    // curve; the ratio is capped at 1 so arccos stays defined (beta 0: vertical).
    const double beta = std::acos(std::min(1.0, dy / len)) * kDegreesPerRadian;
    const int32_t wholeDegrees = TruncInt32(beta);
    return y1 < y0 ? wholeDegrees + 170 : 90 - wholeDegrees;
}

} // namespace

TSinus::TSinus(TComponent* AOwner)
    : TComponent(AOwner), Amp(new TFxEvent(this)), YOffset(new TFxEvent(this)), XOffset(new TFxEvent(this)),
      SinusOffset(new TFxEvent(this)), Width(new TFxEvent(this)), Freq(new TFxEvent(this)) {}

TSinus::~TSinus() {
    // Deleting an owned component takes it off our list, so the base finds nothing left.
    for (TFxEvent* event : Events())
        delete event;
}

void TSinus::SetDuration(int32_t ADuration) {
    FDuration = ADuration;
    for (TFxEvent* event : Events())
        event->Duration = ADuration;
}

void TSinus::Start() {
    for (TFxEvent* event : Events())
        event->Start();
    Enabled = true;
}

void TSinus::Advance() {
    for (TFxEvent* event : Events())
        if (event->Enabled) event->Advance();
}

void TSinus::SetVisibleRect(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom) {
    FVisibleRect = {Left, Top, Right, Bottom};
}

bool TSinus::GetPosition(int32_t Index, int32_t& X, int32_t& Y, int32_t& Angle) const {
    CheckIndex(Index);
    const SineCurve curve(*this);
    const int32_t x0 = WrapMul(Index, Step);
    const float y0 = static_cast<float>(curve.HeightAt(x0));
    Angle = TiltAt(curve, x0, y0);
    X = WrapAdd(x0, XOffset->Value);
    Y = WrapAdd(TruncInt32(y0), YOffset->Value);
    return IsVisible(X, Y);
}

bool TSinus::GetPosition(int32_t Index, int32_t& X, int32_t& Y) const {
    CheckIndex(Index);
    const SineCurve curve(*this);
    const int32_t x0 = WrapMul(Index, Step);
    // Without the tilt the height is truncated straight from double precision.
    X = WrapAdd(x0, XOffset->Value);
    Y = WrapAdd(TruncInt32(curve.HeightAt(x0)), YOffset->Value);
    return IsVisible(X, Y);
}

bool TSinus::ColumnVisible(int32_t Index) const {
    const int32_t x = WrapAdd(WrapMul(Index, Step), XOffset->Value);
    return FVisibleRect.Left <= x && x <= FVisibleRect.Right;
}

int32_t TSinus::GetPointAt(int32_t X, int32_t& Y) const {
    const SineCurve curve(*this);
    const float y0 = static_cast<float>(curve.HeightAt(X));
    Y = WrapAdd(TruncInt32(y0), YOffset->Value);
    return TiltAt(curve, X, y0);
}

void TSinus::CheckIndex(int32_t Index) const {
    if (Index > ItemCount) throw Exception("Itemindex out of bounds");
}

bool TSinus::IsVisible(int32_t X, int32_t Y) const {
    return FVisibleRect.Left <= X && X <= FVisibleRect.Right && FVisibleRect.Top <= Y &&
           Y <= FVisibleRect.Bottom;
}
