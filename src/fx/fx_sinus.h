// TSinus: a row of equally spaced items on an animated sine curve. Amplitude,
// base line, scroll, phase and wavelength are owned tweens; the path answers each
// item's position, tilt and visibility, and the curve's height and tilt at any x.
#pragma once

#include <array>
#include <cstdint>

#include "fx/fx_event.h"

class TSinus : public TComponent {
public:
    // An inclusive rectangle: a point on any edge is inside.
    struct Bounds {
        int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    };

    // Creates an idle path owned by AOwner, with its six events.
    explicit TSinus(TComponent* AOwner);
    // Frees the six events in the order they were created.
    ~TSinus() override;

    std::string ClassName() const override { return "TSinus"; }

    // Stores the run length and hands it to the six events; nothing is restarted.
    void SetDuration(int32_t ADuration);
    int32_t GetDuration() const { return FDuration; }

    // Starts the six events anew and sets Enabled.
    void Start();
    // Advances every running event one frame, Amp first and Freq last.
    void Advance();
    // Sets the inclusive area in which an item counts as visible.
    void SetVisibleRect(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom);
    // The area SetVisibleRect set.
    const Bounds& VisibleRect() const { return FVisibleRect; }

    // Position, tilt and visibility of item Index (raises "Itemindex out of bounds" above ItemCount).
    bool GetPosition(int32_t Index, int32_t& X, int32_t& Y, int32_t& Angle) const;
    // Position and visibility of item Index, without the tilt (one sine).
    bool GetPosition(int32_t Index, int32_t& X, int32_t& Y) const;
    // Whether item Index lies within the visible columns: the x half of
    // GetPosition's answer, without a sine, so callers can pass over items
    // that cannot be visible (a long path has most of them off screen).
    bool ColumnVisible(int32_t Index) const;
    // Height of the curve plus YOffset at X into Y; returns the tilt there.
    int32_t GetPointAt(int32_t X, int32_t& Y) const;

    bool Simple = false; // kept for the user

    TFxEvent* const Amp;         // amplitude in pixels
    TFxEvent* const YOffset;     // base line, added to every y
    TFxEvent* const XOffset;     // scroll, added to every item's x
    TFxEvent* const SinusOffset; // phase shift in pixels, subtracted before the sine
    TFxEvent* const Width;       // wavelength at Freq 100
    TFxEvent* const Freq;        // wavelength is Width * 100 / Freq

    int32_t ItemCount = 0; // indices 0 to ItemCount inclusive are answered
    int32_t Step = 0;      // pixels between neighbouring items
    bool Enabled = false;  // set by Start, read and cleared by the user
    int32_t IntegerTag = 0;

private:
    std::array<TFxEvent*, 6> Events() const { return {Amp, YOffset, XOffset, SinusOffset, Width, Freq}; }
    void CheckIndex(int32_t Index) const;
    bool IsVisible(int32_t X, int32_t Y) const;

    int32_t FDuration = 0;
    Bounds FVisibleRect;
};
