#include <SDL.h>

#include <cstdio>

#include "platform/message_box.h"
#include "platform/presenter_sdl.h"

void SdlMessageBox::ShowError(const std::string& Caption, const std::string& Text) {
    SDL_Window* window = FOwner ? FOwner->Window() : nullptr;
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, Caption.c_str(), Text.c_str(), window) != 0)
        std::fprintf(stderr, "%s: %s\n", Caption.c_str(), Text.c_str());
}
