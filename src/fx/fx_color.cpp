#include "fx/fx_color.h"

#include "core/numeric.h"

namespace {

constexpr int kDigitsPerChannel = 2;

// Digits of one channel in a colour text: a short or empty piece when the
// text ends early (the conversion then reports it).
std::string ChannelDigits(const std::string& ColorText, int Channel) {
    const size_t first = size_t(Channel) * kDigitsPerChannel;
    return first < ColorText.size() ? ColorText.substr(first, kDigitsPerChannel) : std::string();
}

int32_t ChannelValue(const std::string& ColorText, int Channel) {
    return StrToInt("$" + ChannelDigits(ColorText, Channel));
}

std::string ChannelHex(int32_t Value) {
    return IntToHex(Value, kDigitsPerChannel);
}

} // namespace

TFxColor::TFxColor(TComponent* AOwner)
    : TFxEvent(AOwner), Channels{new TFxEvent(this), new TFxEvent(this), new TFxEvent(this)} {}

TFxColor::~TFxColor() {
    // Deleting an owned component takes it off our list, so the base finds nothing left.
    for (TFxEvent* channel : Channels)
        delete channel;
}

std::string TFxColor::ColorToHex(int32_t Color) {
    const auto byteAt = [Color](int shift) { return int32_t((uint32_t(Color) >> shift) & 0xFF); };
    return ChannelHex(byteAt(0)) + ChannelHex(byteAt(8)) + ChannelHex(byteAt(16));
}

void TFxColor::Start() {
    for (TFxEvent* channel : Channels)
        channel->CopyFrom(*this);
    for (int i = 0; i < 3; ++i) {
        Channels[i]->ValueIn = ChannelValue(BeginColor, i);
        Channels[i]->ValueOut = ChannelValue(EndColor, i);
    }
    for (TFxEvent* channel : Channels) {
        channel->Duration = Duration;
        channel->Start();
    }
    Enabled = true;
}

std::string TFxColor::AdvanceColor() {
    // Each channel's text is taken from its own Advance, in channel order.
    std::string text = "$";
    for (TFxEvent* channel : Channels)
        text += ChannelHex(channel->Advance());
    return text;
}

std::string TFxColor::GetColor() const {
    std::string text = "$";
    for (const TFxEvent* channel : Channels)
        text += ChannelHex(channel->Value);
    return text;
}
