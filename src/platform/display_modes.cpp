#include "platform/display_modes.h"

#include <algorithm>

#include "platform/presenter.h"

namespace {

constexpr DisplayMode kClassicSizes[] = {
    {640, 480, 0},  {800, 600, 0},   {1024, 768, 0},  {1152, 864, 0},  {1280, 720, 0},
    {1280, 960, 0}, {1280, 1024, 0}, {1600, 1200, 0}, {1920, 1080, 0}, {1920, 1200, 0},
};
constexpr int kBitCounts[] = {16, 24, 32};

bool Offered(const std::vector<DisplayMode>& Modes, const DisplayMode& Mode) {
    return std::find(Modes.begin(), Modes.end(), Mode) != Modes.end();
}

} // namespace

std::vector<DisplayMode> ClassicDisplayModes::Modes() const {
    const DisplayMode desktop = FScreen.DesktopMode();
    std::vector<DisplayMode> sizes;
    for (const DisplayMode& m : kClassicSizes)
        if (m.Width <= desktop.Width && m.Height <= desktop.Height) sizes.push_back(m);
    if (desktop.Width > 0 && desktop.Height > 0) sizes.push_back({desktop.Width, desktop.Height, 0});
    std::vector<DisplayMode> modes;
    for (const DisplayMode& size : sizes)
        for (int bits : kBitCounts) {
            const DisplayMode m{size.Width, size.Height, bits};
            if (!Offered(modes, m)) modes.push_back(m);
        }
    return modes;
}

bool ClassicDisplayModes::SetMode(const DisplayMode& Mode) {
    return Offered(Modes(), Mode);
}

bool ListedDisplayModes::SetMode(const DisplayMode& Mode) {
    if (!Offered(FModes, Mode)) return false;
    FCurrent = Mode;
    return true;
}
