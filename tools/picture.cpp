#include "picture.h"

#include <algorithm>

#include "platform/pixel_view.h"

namespace {

// Thresholds of the 4x4 Bayer matrix, in sixteenths.
constexpr int kBayer4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// Adds a fraction of one quantisation step, so truncating to the step keeps the
// channel's mean: a value a third of the way to the next level lands there on a
// third of the pixels.
uint8_t Nudge(uint8_t Value, int Step, int Sixteenths) {
    return uint8_t(std::min(255, Value + Step * Sixteenths / 16));
}

} // namespace

Rgb KeepOffWhite(Rgb Color) {
    if (IsNearWhite(Color)) Color.B = 236;
    return Color;
}

void DitherTo565(Picture& Image) {
    for (int y = 0; y < Image.Height; ++y) {
        for (int x = 0; x < Image.Width; ++x) {
            Rgb& p = Image.At(x, y);
            const int t = kBayer4[y & 3][x & 3];
            const uint32_t nudged = RGB(Nudge(p.R, 8, t), Nudge(p.G, 4, t), Nudge(p.B, 8, t));
            // Packing keeps each channel's high bits; unpacking widens them back to
            // the exact 8-bit value the display shows for that level.
            const uint32_t shown = UnpackColor(PixelFormat::Rgb565, PackColor(PixelFormat::Rgb565, nudged));
            p = Rgb{RedOf(shown), GreenOf(shown), BlueOf(shown)};
        }
    }
}
