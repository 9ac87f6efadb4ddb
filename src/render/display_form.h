// The form a display sits on (the show's main form implements it). Its window
// is the platform's screen; the form tells the display when the window is
// first shown (TCustomDXDraw::FormShown) and destroyed (FormDestroyed), and
// the display asks it whether it is the active window.
#pragma once

class DisplayForm {
public:
    virtual ~DisplayForm() = default;
    // True while the form is the active window.
    virtual bool FormActive() const = 0;
};
