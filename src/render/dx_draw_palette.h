// Palettes of the display: the system palette new colour tables start from,
// and the 256-entry palette of the screen that colour tables are applied to.
// At 16 bits per pixel or more a palette has no visible effect.
#pragma once

#include <array>
#include <cstdint>

#include "render/bmp_format.h"

// The system palette: the twenty static colours of the platform at entries 0
// to 9 and 246 to 255, black between them.
const TRGBQuads& SystemPalette();

struct TPaletteEntry {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;
    uint8_t Flags = 0;
    bool operator==(const TPaletteEntry&) const = default;
};

class TDirectDrawPalette {
public:
    // Sets all 256 entries from Table (flags 64); unless AllowAll, the twenty
    // static entries (0 to 9, 246 to 255) keep the system palette's colours.
    void SetEntries(const TRGBQuads& Table, bool AllowAll);
    const std::array<TPaletteEntry, 256>& Entries() const { return FEntries; }

private:
    std::array<TPaletteEntry, 256> FEntries{};
};
