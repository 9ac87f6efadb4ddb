#include "render/dx_draw_display.h"

#include <algorithm>
#include <tuple>

#include "render/dx_draw_errors.h"

namespace {

bool AscendingMode(const TDXDrawDisplayMode& A, const TDXDrawDisplayMode& B) {
    return std::tie(A.Width, A.Height, A.BitCount) < std::tie(B.Width, B.Height, B.BitCount);
}

} // namespace

void TDXDrawDisplay::SetBitCount(int Value) {
    if (!ValidDisplayBitCount(Value)) throw EDirectDrawError("Display requires 8, 16, 24 or 32 bits");
    FBitCount = Value;
}

int TDXDrawDisplay::Count() {
    return int(ModeList().size());
}

const TDXDrawDisplayMode& TDXDrawDisplay::Modes(int Index) {
    const auto& modes = ModeList();
    if (Index < 0 || Index >= int(modes.size()))
        throw EListError(Format("List index out of bounds (%d)", Index));
    return modes[size_t(Index)];
}

bool TDXDrawDisplay::SetMode() {
    if (FWidth <= 0 || FHeight <= 0 || !ValidDisplayBitCount(FBitCount)) return false;
    if (FSource.SetMode({FWidth, FHeight, FBitCount})) return true;
    const TDXDrawDisplayMode* chosen = FixedRatio ? FindSubstitute(true) : nullptr;
    if (!chosen) chosen = FindSubstitute(false);
    return chosen && Apply(*chosen);
}

const std::vector<TDXDrawDisplayMode>& TDXDrawDisplay::ModeList() {
    if (!FModesRead) {
        FModes.clear();
        for (const DisplayMode& m : FSource.Modes())
            FModes.push_back({m.Width, m.Height, m.BitCount});
        std::sort(FModes.begin(), FModes.end(), AscendingMode);
        FModesRead = true;
    }
    return FModes;
}

// At least the wanted size; the bit count exactly (FixedBitCount) or at least
// the wanted one, where all counts of 9 or more are as good as each other.
bool TDXDrawDisplay::Qualifies(const TDXDrawDisplayMode& Mode, bool SameRatio) const {
    if (Mode.Width < FWidth || Mode.Height < FHeight) return false;
    // Equal ratios compared by cross-multiplying, in 64 bits.
    if (SameRatio && int64_t(Mode.Width) * FHeight != int64_t(Mode.Height) * FWidth) return false;
    if (FixedBitCount) return Mode.BitCount == FBitCount;
    return Mode.BitCount >= FBitCount || (Mode.BitCount >= 9 && FBitCount >= 9);
}

// The first qualifying mode of the sorted list, with the wanted bit count put
// back when the list has that size at that bit count too.
const TDXDrawDisplayMode* TDXDrawDisplay::FindSubstitute(bool SameRatio) {
    const auto& modes = ModeList();
    const auto first = std::find_if(modes.begin(), modes.end(),
                                    [&](const TDXDrawDisplayMode& m) { return Qualifies(m, SameRatio); });
    if (first == modes.end()) return nullptr;
    const TDXDrawDisplayMode wanted{first->Width, first->Height, FBitCount};
    const auto same = std::find(modes.begin(), modes.end(), wanted);
    return same != modes.end() ? &*same : &*first;
}

bool TDXDrawDisplay::Apply(const TDXDrawDisplayMode& Mode) {
    if (!FSource.SetMode({Mode.Width, Mode.Height, Mode.BitCount})) return false;
    FWidth = Mode.Width;
    FHeight = Mode.Height;
    FBitCount = Mode.BitCount;
    return true;
}

bool ValidDisplayBitCount(int BitCount) {
    return BitCount == 8 || BitCount == 16 || BitCount == 24 || BitCount == 32;
}
