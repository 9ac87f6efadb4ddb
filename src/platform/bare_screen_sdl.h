// Full screen on an X server without a window manager (a kiosk, an xinit
// session): there nothing resizes a full-screen window when the screen's
// resolution changes, and SDL goes on reporting the size the screen had when
// video started, so the X server itself is asked.
#pragma once

#include <optional>

struct SDL_Window;

struct ScreenSize {
    int Width = 0, Height = 0;
    bool operator==(const ScreenSize&) const = default;
};

// The size of Window's X screen (all its monitors together) when Window is on
// an X server with no window manager; nothing on other window systems, nor
// with a window manager, which keeps its full-screen windows covering their
// monitor itself.
std::optional<ScreenSize> BareXScreenSize(SDL_Window* Window);

// Moves and sizes Window to cover Size from the screen's top left corner.
void CoverBareXScreen(SDL_Window* Window, ScreenSize Size);
