// TFxColor: a colour fade run as three tweens, one per two-digit channel of a
// six-digit hexadecimal colour text. The inherited tween is never advanced: its
// settings (method, repeats, reversal, handlers, ...) are what every channel copies.
#pragma once

#include <cstdint>
#include <string>

#include "fx/fx_event.h"

class TFxColor : public TFxEvent {
public:
    // Creates an idle fade owned by AOwner, with its three channel events.
    explicit TFxColor(TComponent* AOwner);
    // Frees the channels in the order 1, 2, 3.
    ~TFxColor() override;

    std::string ClassName() const override { return "TFxColor"; }

    // Six uppercase hex digits of a $00BBGGRR colour, lowest byte first ("RRGGBB").
    static std::string ColorToHex(int32_t Color);
    // Copies the settings into the channels, reads both colour texts, starts the channels.
    // Raises EConvertError for a missing or non-hexadecimal piece; nothing is started then.
    // Hides TFxEvent::Start, which would run the unused inherited tween.
    void Start();
    // Advances the channels one frame and returns "$" and their values (two hex digits or more each).
    std::string AdvanceColor();
    // The current colour text, advancing nothing.
    std::string GetColor() const;

    std::string BeginColor; // six hex digits, channel 1 first
    std::string EndColor;   // six hex digits, channel 1 first
    // The channels; channel 1 (digits 1-2) is Channels[0].
    TFxEvent* const Channels[3];
    // These two hide the inherited fields of the same name: they are the fade's
    // own run flag and length. The inherited TFxEvent::Enabled and
    // TFxEvent::Duration remain plain settings that Start copies into every
    // channel before overwriting them, so they play no part of their own.
    bool Enabled = false; // set by Start, never cleared here
    int32_t Duration = 0; // frames given to every channel
};
