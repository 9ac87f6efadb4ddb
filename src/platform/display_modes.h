// The display modes the platform offers and the switch between them. We never
// change the monitor's mode: the window covers the desktop and the picture is
// scaled to fit, so the modes offered are the classic ones that fit on the
// desktop, and "setting" one only checks that it is offered.
#pragma once

#include <vector>

struct DisplayMode {
    int Width = 0;
    int Height = 0;
    int BitCount = 0;
    bool operator==(const DisplayMode&) const = default;
};

class DisplayModeSource {
public:
    virtual ~DisplayModeSource() = default;
    // The modes offered, in no particular order.
    virtual std::vector<DisplayMode> Modes() const = 0;
    // Switches to Mode; false when the platform cannot.
    virtual bool SetMode(const DisplayMode& Mode) = 0;
};

class Presenter;

// The classic modes (640x480 up to 1920x1200) at 16, 24 and 32 bits that fit
// on the presenter's desktop, and the desktop's own size. No palette (8-bit)
// modes: surfaces here are never palette-based.
class ClassicDisplayModes : public DisplayModeSource {
public:
    explicit ClassicDisplayModes(const Presenter& Screen) : FScreen(Screen) {}
    std::vector<DisplayMode> Modes() const override;
    // Succeeds for every mode offered.
    bool SetMode(const DisplayMode& Mode) override;

private:
    const Presenter& FScreen;
};

// A fixed list of modes (tests, and platforms that know their list).
class ListedDisplayModes : public DisplayModeSource {
public:
    explicit ListedDisplayModes(std::vector<DisplayMode> Modes) : FModes(std::move(Modes)) {}
    std::vector<DisplayMode> Modes() const override { return FModes; }
    // Succeeds for every listed mode and records it.
    bool SetMode(const DisplayMode& Mode) override;
    // The last mode set (all zero before the first).
    DisplayMode Current() const { return FCurrent; }

private:
    std::vector<DisplayMode> FModes;
    DisplayMode FCurrent;
};
