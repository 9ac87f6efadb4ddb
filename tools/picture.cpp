#include "picture.h"

namespace {

// Thresholds of the 4x4 Bayer matrix, in sixteenths.
constexpr int kBayer4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// The 8-bit value a display shows for a channel level of Bits bits: the level's
// bits repeated into the low bits, so the top level shows as 255.
int Widen(int Level, int Bits) {
    return Level << (8 - Bits) | Level >> (2 * Bits - 8);
}

// The shown value nearest below or above Value, picked so that over the 16
// thresholds of the matrix the average is Value: above when Value's position
// between the two neighbours exceeds the threshold.
uint8_t DitherChannel(uint8_t Value, int Bits, double Threshold) {
    int level = Value >> (8 - Bits);
    if (Widen(level, Bits) > Value) --level; // widening added more than Value has
    if (level == (1 << Bits) - 1) return uint8_t(Widen(level, Bits));
    const int low = Widen(level, Bits), high = Widen(level + 1, Bits);
    return uint8_t(double(Value - low) / (high - low) > Threshold ? high : low);
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
            const double threshold = (kBayer4[y & 3][x & 3] + 0.5) / 16;
            // 5 bits of red, 6 of green, 5 of blue.
            p = Rgb{DitherChannel(p.R, 5, threshold), DitherChannel(p.G, 6, threshold),
                    DitherChannel(p.B, 5, threshold)};
        }
    }
}
