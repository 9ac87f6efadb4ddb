#include "render/dx_draw_palette.h"

namespace {

constexpr uint8_t kPaletteEntryFlags = 64;

bool StaticEntry(int Index) {
    return Index < 10 || Index >= 246;
}

TRGBQuad Quad(uint8_t Red, uint8_t Green, uint8_t Blue) {
    return TRGBQuad{Blue, Green, Red, 0};
}

TRGBQuads MakeSystemPalette() {
    TRGBQuads p{};
    const TRGBQuad low[10] = {Quad(0, 0, 0),       Quad(128, 0, 0),    Quad(0, 128, 0),   Quad(128, 128, 0),
                              Quad(0, 0, 128),     Quad(128, 0, 128),  Quad(0, 128, 128), Quad(192, 192, 192),
                              Quad(192, 220, 192), Quad(166, 202, 240)};
    const TRGBQuad high[10] = {Quad(255, 251, 240), Quad(160, 160, 164), Quad(128, 128, 128),
                               Quad(255, 0, 0),     Quad(0, 255, 0),     Quad(255, 255, 0),
                               Quad(0, 0, 255),     Quad(255, 0, 255),   Quad(0, 255, 255),
                               Quad(255, 255, 255)};
    for (int i = 0; i < 10; ++i) {
        p[size_t(i)] = low[i];
        p[size_t(246 + i)] = high[i];
    }
    return p;
}

} // namespace

const TRGBQuads& SystemPalette() {
    static const TRGBQuads kPalette = MakeSystemPalette();
    return kPalette;
}

void TDirectDrawPalette::SetEntries(const TRGBQuads& Table, bool AllowAll) {
    for (int i = 0; i < 256; ++i) {
        const TRGBQuad& q = (!AllowAll && StaticEntry(i)) ? SystemPalette()[size_t(i)] : Table[size_t(i)];
        FEntries[size_t(i)] = TPaletteEntry{q.Red, q.Green, q.Blue, kPaletteEntryFlags};
    }
}
