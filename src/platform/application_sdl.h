// The loop over SDL's event queue: keys become virtual-key codes, focus gained
// and lost become activation and deactivation, a quit request becomes a close
// request and an exposed window a repaint. When the idle handler allows a
// wait, the loop sleeps in SDL until an event comes or the time is up.
#pragma once

#include <cstdint>

#include "platform/application.h"

class SdlApplication : public Application {
public:
    // Starts SDL's event subsystem; raises Exception when SDL cannot start.
    SdlApplication();
    ~SdlApplication() override;
    SdlApplication(const SdlApplication&) = delete;
    SdlApplication& operator=(const SdlApplication&) = delete;

protected:
    bool DispatchNextEvent() override;
    bool WaitForEvent(uint32_t Timeout) override;

private:
    void Handle(const union SDL_Event& E);
};

// The virtual-key code of an SDL key code (SDL_Keycode), or 0 for keys
// without one. Letters give their capital ('A' 65), Escape 27, F1 112, ...
uint16_t VirtualKeyFromKeycode(int32_t Keycode);
