// Compile-time pixel access for each PixelFormat, so inner loops are written
// once and specialised per format: a routine picks its format once per call
// with WithFormat and then runs a loop that knows its pixel size.
#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "platform/pixel_view.h"

template <PixelFormat F> struct PixelTraits {
    static constexpr int kBytes = BytesPerPixel(F);
    // The bits that carry colour: the unused top bit of 5-5-5 and the unused
    // byte of 32-bit pixels play no part in comparisons (colour keys, fills).
    static constexpr uint32_t kMask = F == PixelFormat::Rgb565   ? 0xFFFFu
                                      : F == PixelFormat::Rgb555 ? 0x7FFFu
                                                                 : 0xFFFFFFu;

    // The raw value of the pixel at P.
    static uint32_t Load(const uint8_t* P) {
        if constexpr (kBytes == 2) {
            uint16_t v;
            std::memcpy(&v, P, 2);
            return v;
        } else if constexpr (kBytes == 3) {
            return uint32_t(P[0]) | uint32_t(P[1]) << 8 | uint32_t(P[2]) << 16;
        } else {
            uint32_t v;
            std::memcpy(&v, P, 4);
            return v;
        }
    }

    // Stores a raw value at P.
    static void Store(uint8_t* P, uint32_t Value) {
        if constexpr (kBytes == 2) {
            const uint16_t v = static_cast<uint16_t>(Value);
            std::memcpy(P, &v, 2);
        } else if constexpr (kBytes == 3) {
            P[0] = uint8_t(Value);
            P[1] = uint8_t(Value >> 8);
            P[2] = uint8_t(Value >> 16);
        } else {
            std::memcpy(P, &Value, 4);
        }
    }

    // True when the pixel at P has the colour bits of Value.
    static bool Equals(const uint8_t* P, uint32_t Value) { return ((Load(P) ^ Value) & kMask) == 0; }
};

template <PixelFormat F> using FormatTag = std::integral_constant<PixelFormat, F>;

// Calls Body(FormatTag<F>{}) for the runtime format Format, so Body is compiled
// once per format and its loops see the pixel size as a constant.
template <typename Body> decltype(auto) WithFormat(PixelFormat Format, Body&& Run) {
    switch (Format) {
    case PixelFormat::Rgb565:
        return Run(FormatTag<PixelFormat::Rgb565>{});
    case PixelFormat::Rgb555:
        return Run(FormatTag<PixelFormat::Rgb555>{});
    case PixelFormat::Bgr24:
        return Run(FormatTag<PixelFormat::Bgr24>{});
    case PixelFormat::Bgrx32:
        break;
    }
    return Run(FormatTag<PixelFormat::Bgrx32>{});
}
