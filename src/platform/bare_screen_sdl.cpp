#include "platform/bare_screen_sdl.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

std::optional<SDL_SysWMinfo> X11Info(SDL_Window* Window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(Window, &info) || info.subsystem != SDL_SYSWM_X11) return std::nullopt;
    return info;
}

// A window manager that follows the desktop conventions names its own window
// in this property of the root window.
bool HasWindowManager(Display* X, Window Root) {
    const Atom check = XInternAtom(X, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool found = XGetWindowProperty(X, Root, check, 0, 1, False, XA_WINDOW, &type, &format, &count,
                                          &after, &data) == Success &&
                       type == XA_WINDOW && count == 1;
    if (data) XFree(data);
    return found;
}

} // namespace

std::optional<ScreenSize> BareXScreenSize(SDL_Window* Window) {
    const auto info = X11Info(Window);
    if (!info) return std::nullopt;
    Display* x = info->info.x11.display;
    const ::Window root = DefaultRootWindow(x);
    XWindowAttributes screen;
    if (!XGetWindowAttributes(x, root, &screen) || HasWindowManager(x, root)) return std::nullopt;
    return ScreenSize{screen.width, screen.height};
}

void CoverBareXScreen(SDL_Window* Window, ScreenSize Size) {
    const auto info = X11Info(Window);
    if (!info || Size.Width <= 0 || Size.Height <= 0) return;
    XMoveResizeWindow(info->info.x11.display, info->info.x11.window, 0, 0, unsigned(Size.Width),
                      unsigned(Size.Height));
    XFlush(info->info.x11.display);
}
