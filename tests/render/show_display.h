// The display as the show configures it (800 x 600 at 16 bits, full screen, 3D),
// shared by the render tests' rigs.
#pragma once

#include "render/display_form.h"
#include "render/dx_draw.h"

inline const TDXDrawOptions kShowOptions{doFullScreen,   doAllowReboot,  doWaitVBlank,   doCenter,
                                         do3D,           doDirectX7Mode, doRetainedMode, doHardware,
                                         doSelectDriver, doZBuffer};

// Gives Display the show's bounds, mode and options, on Form.
inline void ConfigureAsShowDisplay(TCustomDXDraw& Display, DisplayForm& Form) {
    Display.SetParentForm(&Form);
    Display.SetBounds(0, 0, 800, 600);
    Display.Display().SetWidth(800);
    Display.Display().SetHeight(600);
    Display.Display().SetBitCount(16);
    Display.Display().FixedBitCount = false;
    Display.SetOptions(kShowOptions);
}
