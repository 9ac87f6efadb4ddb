#include "render/dx_draw_options.h"

namespace {

constexpr TDXDrawOptions kFullScreenOnly{doNoWindowChange, doAllowReboot, doAllowPalette256, doFlip};
constexpr TDXDrawOptions k3DOnly{doDirectX7Mode, doRetainedMode, doHardware, doSelectDriver, doZBuffer};
constexpr TDXDrawOptions kChangeableWhileInitialized{doWaitVBlank, doStretch, doCenter};

} // namespace

TDXDrawOptions EffectiveOptions(TDXDrawOptions Options) {
    TDXDrawOptions now = Options;
    if (!now.Contains(doFullScreen)) now = now - kFullScreenOnly;
    if (!now.Contains(do3D)) now = now - k3DOnly;
    if (now.Contains(doSystemMemory)) now = now - TDXDrawOptions{doFlip};
    if (now.Contains(doDirectX7Mode)) now = now - TDXDrawOptions{doRetainedMode};
    return now - TDXDrawOptions{doHardware};
}

TDXDrawOptions OptionsWhileInitialized(TDXDrawOptions Now, TDXDrawOptions Options) {
    TDXDrawOptions now = (Now - kChangeableWhileInitialized) + (Options * kChangeableWhileInitialized);
    if (!now.Contains(do3D))
        now = now - TDXDrawOptions{doRetainedMode, doHardware, doSelectDriver, doZBuffer};
    return now;
}
