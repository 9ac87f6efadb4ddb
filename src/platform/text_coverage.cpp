#include "platform/text_coverage.h"

#include <algorithm>
#include <cstdlib>

#include "platform/pixel_access.h"
#include "platform/text_renderer.h"

namespace {

// [SECTION] Text decoding

// Length of the UTF-8 sequence a lead byte starts (1 for ASCII and for bytes that cannot lead one).
int SequenceLength(unsigned char Lead) {
    if (Lead >= 0xC2 && Lead < 0xE0) return 2;
    if (Lead >= 0xE0 && Lead < 0xF0) return 3;
    if (Lead >= 0xF0 && Lead < 0xF5) return 4;
    return 1;
}

// The character of the Length-byte UTF-8 sequence at S[I], or 0 when it is not well formed.
uint32_t DecodeSequence(const unsigned char* S, size_t N, size_t I, int Length) {
    if (I + size_t(Length) > N) return 0;
    uint32_t code = S[I] & (0x7Fu >> Length);
    for (int k = 1; k < Length; ++k) {
        if ((S[I + k] & 0xC0) != 0x80) return 0;
        code = code << 6 | (S[I + k] & 0x3Fu);
    }
    // Overlong forms and surrogate halves are not characters.
    static constexpr uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[Length] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) return 0;
    return code;
}

// [SECTION] Coverage blending

// One channel of Color over Existing with Coverage (0..255) as alpha, rounded to nearest.
constexpr uint32_t BlendChannel(uint32_t Color, uint32_t Existing, uint32_t Coverage) {
    return (Color * Coverage + Existing * (255 - Coverage) + 127) / 255;
}

constexpr uint32_t BlendColor(uint32_t Color, uint32_t Existing, uint32_t Coverage) {
    return RGB(uint8_t(BlendChannel(RedOf(Color), RedOf(Existing), Coverage)),
               uint8_t(BlendChannel(GreenOf(Color), GreenOf(Existing), Coverage)),
               uint8_t(BlendChannel(BlueOf(Color), BlueOf(Existing), Coverage)));
}

// The format is a template argument so the per-pixel work has no format switch.
template <PixelFormat Format>
void BlendMask(const PixelView& Target, const CoverageMask& Mask, int Left, int Top, uint32_t Color) {
    const uint32_t solid = PackColor(Format, Color);
    const int x0 = std::max(0, -Left), x1 = std::min(Mask.Width, Target.Width - Left);
    const int y0 = std::max(0, -Top), y1 = std::min(Mask.Height, Target.Height - Top);
    PixelView view = Target;
    view.Format = Format;
    for (int y = y0; y < y1; ++y) {
        const uint8_t* coverage = Mask.Rows + Mask.Pitch * y;
        for (int x = x0; x < x1; ++x) {
            const uint32_t a = coverage[x];
            if (a == 0) continue;
            const int tx = Left + x, ty = Top + y;
            if (a == 255)
                view.Write(tx, ty, solid);
            else
                view.Write(tx, ty,
                           PackColor(Format, BlendColor(Color, UnpackColor(Format, view.Read(tx, ty)), a)));
        }
    }
}

} // namespace

// [SECTION] Public functions

std::vector<uint32_t> DecodeText(const std::string& Text) {
    std::vector<uint32_t> codes;
    const auto* s = reinterpret_cast<const unsigned char*>(Text.data());
    for (size_t i = 0; i < Text.size();) {
        const int length = SequenceLength(s[i]);
        const uint32_t code = length > 1 ? DecodeSequence(s, Text.size(), i, length) : 0;
        codes.push_back(code != 0 ? code : s[i]);
        i += code != 0 ? size_t(length) : 1;
    }
    return codes;
}

int FontPixelSize(int Points) {
    // Points x 96 / 72, rounded half away from zero as the platform's MulDiv does.
    const int pixels = (std::abs(Points) * 96 + 36) / 72;
    return std::max(1, pixels);
}

void BlendCoverage(const PixelView& Target, const CoverageMask& Mask, int Left, int Top, uint32_t Color) {
    WithFormat(Target.Format, [&](auto f) { BlendMask<f()>(Target, Mask, Left, Top, Color); });
}

void FillTextCell(const PixelView& Target, int X, int Y, int Width, int Height, uint32_t Color) {
    const uint32_t pixel = PackColor(Target.Format, Color);
    const int x0 = std::max(0, X), x1 = std::min(Target.Width, X + Width);
    const int y0 = std::max(0, Y), y1 = std::min(Target.Height, Y + Height);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            Target.Write(x, y, pixel);
}
