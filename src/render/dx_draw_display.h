// The full-screen mode a display asks for (TDXDrawDisplay): width, height and
// bit count with their checks, how strictly a substitute must match, the
// sorted list of the modes the platform offers, and the choice of the mode to
// set when the exact one is not available.
#pragma once

#include <vector>

#include "platform/display_modes.h"

struct TDXDrawDisplayMode {
    int Width = 0;
    int Height = 0;
    int BitCount = 0;
    bool operator==(const TDXDrawDisplayMode&) const = default;
};

class TDXDrawDisplay {
public:
    // A display of 640 by 480 at 8 bits over the platform's modes.
    explicit TDXDrawDisplay(DisplayModeSource& Modes) : FSource(Modes) {}

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    int BitCount() const { return FBitCount; }
    // Negative sizes are stored as 0.
    void SetWidth(int Value) { FWidth = Value < 0 ? 0 : Value; }
    void SetHeight(int Value) { FHeight = Value < 0 ? 0 : Value; }
    // Takes 8, 16, 24 or 32; anything else raises EDirectDrawError
    // "Display requires 8, 16, 24 or 32 bits" and keeps the old value.
    void SetBitCount(int Value);

    // A substitute must have exactly BitCount (else at least it).
    bool FixedBitCount = true;
    // A substitute is first looked for with exactly the width/height ratio.
    bool FixedRatio = true;
    bool FixedSize = false;

    // The modes offered, sorted by width, then height, then bit count; read
    // from the platform on first use.
    int Count();
    // The mode at Index; raises EListError "List index out of bounds (%d)" outside 0 to Count - 1.
    const TDXDrawDisplayMode& Modes(int Index);
    // Forgets the list (it is read again on next use).
    void ClearModes() { FModes.clear(), FModesRead = false; }

    // Sets Width x Height x BitCount, or the substitute the rules choose, and
    // stores what was set. False when nothing could be set.
    bool SetMode();

private:
    const std::vector<TDXDrawDisplayMode>& ModeList();
    bool Qualifies(const TDXDrawDisplayMode& Mode, bool SameRatio) const;
    const TDXDrawDisplayMode* FindSubstitute(bool SameRatio);
    bool Apply(const TDXDrawDisplayMode& Mode);

    DisplayModeSource& FSource;
    int FWidth = 640;
    int FHeight = 480;
    int FBitCount = 8;
    std::vector<TDXDrawDisplayMode> FModes;
    bool FModesRead = false;
};

// True for the bit counts a display can ask for: 8, 16, 24 and 32.
bool ValidDisplayBitCount(int BitCount);
