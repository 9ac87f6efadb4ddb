// Full screen on an X server without a window manager (a kiosk, an xinit
// session): there nothing resizes a full-screen window when the screen's
// resolution changes, and SDL goes on reporting the size the screen had when
// video started, so the X server itself is asked.
#pragma once

struct SDL_Window;

// Moves and sizes Window over the whole screen when Window is on an X server
// with no window manager and the screen's size is no longer the window's;
// true when it did. Nothing is done on other window systems, nor with a
// window manager, which keeps its full-screen windows covering their screen.
bool CoverBareXScreen(SDL_Window* Window);
