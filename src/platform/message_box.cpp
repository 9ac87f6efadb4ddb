#include "platform/message_box.h"

#include <SDL.h>

#include <cstdio>

#include "platform/presenter_sdl.h"

namespace {

void WriteToStandardError(const std::string& Caption, const std::string& Text) {
    std::fprintf(stderr, "%s: %s\n", Caption.c_str(), Text.c_str());
}

} // namespace

void SdlMessageBox::ShowError(const std::string& Caption, const std::string& Text) {
    SDL_Window* window = FOwner ? FOwner->Window() : nullptr;
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, Caption.c_str(), Text.c_str(), window) != 0) {
        WriteToStandardError(Caption, Text);
    }
}

void HeadlessMessageBox::ShowError(const std::string& Caption, const std::string& Text) {
    WriteToStandardError(Caption, Text);
    FShown.push_back({Caption, Text});
}
