// The display's options: the fifteen TDXDrawOption values, the set of them
// (a 16-bit mask, bit n for ordinal n) and the rules that turn the options
// as configured into the options in force before initialization.
#pragma once

#include <cstdint>
#include <initializer_list>

enum TDXDrawOption : uint8_t {
    doFullScreen,
    doNoWindowChange,
    doAllowReboot,
    doWaitVBlank,
    doAllowPalette256,
    doSystemMemory,
    doStretch,
    doCenter,
    doFlip,
    do3D,
    doDirectX7Mode,
    doRetainedMode,
    doHardware,
    doSelectDriver,
    doZBuffer,
};

class TDXDrawOptions {
public:
    constexpr TDXDrawOptions() = default;
    constexpr TDXDrawOptions(std::initializer_list<TDXDrawOption> Options) {
        for (TDXDrawOption o : Options)
            FMask = uint16_t(FMask | Bit(o));
    }
    static constexpr TDXDrawOptions FromMask(uint16_t Mask) {
        TDXDrawOptions o;
        o.FMask = Mask;
        return o;
    }

    constexpr uint16_t Mask() const { return FMask; }
    constexpr bool Contains(TDXDrawOption O) const { return (FMask & Bit(O)) != 0; }
    // The set with (+) or without (-) the given options.
    constexpr TDXDrawOptions operator+(TDXDrawOptions O) const { return FromMask(uint16_t(FMask | O.FMask)); }
    constexpr TDXDrawOptions operator-(TDXDrawOptions O) const {
        return FromMask(uint16_t(FMask & ~O.FMask));
    }
    // The options both sets hold.
    constexpr TDXDrawOptions operator*(TDXDrawOptions O) const { return FromMask(uint16_t(FMask & O.FMask)); }
    constexpr bool operator==(const TDXDrawOptions&) const = default;

private:
    static constexpr uint16_t Bit(TDXDrawOption O) { return uint16_t(1u << O); }
    uint16_t FMask = 0;
};

// The options of a new display.
inline constexpr TDXDrawOptions kDefaultDXDrawOptions{doAllowReboot,  doWaitVBlank, doCenter,
                                                      doDirectX7Mode, doHardware,   doSelectDriver};

// The options in force before initialization, from the options as configured:
// full-screen-only and 3D-only options go without their base option, system
// memory excludes flipping, DirectX 7 mode excludes retained mode, and
// hardware waits until initialization finds a hardware device.
TDXDrawOptions EffectiveOptions(TDXDrawOptions Options);

// The options in force when Options are set while initialized: the wait,
// stretch and centre options come from Options, the rest stays as Now has it,
// and the 3D-only options go when 3D is not in force.
TDXDrawOptions OptionsWhileInitialized(TDXDrawOptions Now, TDXDrawOptions Options);
