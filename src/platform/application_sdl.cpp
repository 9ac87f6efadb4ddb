#include "platform/application_sdl.h"

#include <SDL.h>

#include <algorithm>

#include "core/exception.h"

namespace {

struct KeyPair {
    SDL_Keycode Sdl;
    uint16_t Virtual;
};

// Keys whose SDL code is not their virtual-key code.
constexpr KeyPair kNamedKeys[] = {
    {SDLK_BACKSPACE, 8}, {SDLK_TAB, 9},     {SDLK_RETURN, 13}, {SDLK_KP_ENTER, 13}, {SDLK_PAUSE, 19},
    {SDLK_ESCAPE, 27},   {SDLK_SPACE, 32},  {SDLK_PAGEUP, 33}, {SDLK_PAGEDOWN, 34}, {SDLK_END, 35},
    {SDLK_HOME, 36},     {SDLK_LEFT, 37},   {SDLK_UP, 38},     {SDLK_RIGHT, 39},    {SDLK_DOWN, 40},
    {SDLK_INSERT, 45},   {SDLK_DELETE, 46}, {SDLK_LSHIFT, 16}, {SDLK_RSHIFT, 16},   {SDLK_LCTRL, 17},
    {SDLK_RCTRL, 17},    {SDLK_LALT, 18},   {SDLK_RALT, 18},   {SDLK_CAPSLOCK, 20},
};

} // namespace

SdlApplication::SdlApplication() {
    if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0) {
        throw Exception(Format("Cannot start SDL events: %s", SDL_GetError()));
    }
}

SdlApplication::~SdlApplication() {
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

bool SdlApplication::DispatchNextEvent() {
    SDL_Event e;
    if (!SDL_PollEvent(&e)) return false;
    Handle(e);
    return true;
}

bool SdlApplication::WaitForEvent(uint32_t Timeout) {
    SDL_Event e;
    // SDL takes a signed timeout; longer waits are cut to about 24 days.
    const int timeout = Timeout == kIdleWaitForEvents ? -1 : int(std::min<uint32_t>(Timeout, INT32_MAX));
    if (SDL_WaitEventTimeout(&e, timeout)) Handle(e);
    return true;
}

void SdlApplication::Handle(const SDL_Event& E) {
    switch (E.type) {
    case SDL_QUIT:
        CloseRequested();
        break;
    case SDL_KEYDOWN:
        if (const uint16_t vk = VirtualKeyFromKeycode(E.key.keysym.sym)) KeyDown(vk);
        break;
    case SDL_WINDOWEVENT:
        if (E.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) Activate(true);
        if (E.window.event == SDL_WINDOWEVENT_FOCUS_LOST) Activate(false);
        if (E.window.event == SDL_WINDOWEVENT_EXPOSED) Paint();
        break;
    default:
        break;
    }
}

uint16_t VirtualKeyFromKeycode(int32_t Keycode) {
    for (const KeyPair& k : kNamedKeys)
        if (k.Sdl == Keycode) return k.Virtual;
    if (Keycode >= SDLK_a && Keycode <= SDLK_z) return uint16_t('A' + (Keycode - SDLK_a));
    if (Keycode >= SDLK_0 && Keycode <= SDLK_9) return uint16_t(Keycode);
    if (Keycode >= SDLK_F1 && Keycode <= SDLK_F12) return uint16_t(112 + (Keycode - SDLK_F1));
    return 0;
}
