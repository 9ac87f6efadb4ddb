#include "stereo_mix.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "synth.h"

StereoBus::StereoBus(double Seconds) : FLeft(size_t(Seconds * kSampleRate)), FRight(FLeft.size()) {}

void StereoBus::Add(const std::vector<float>& Sound, double Start, double Gain, double Pan) {
    // Constant-power pan: the two gains are the cosine and sine of a quarter turn.
    const double angle = (std::clamp(Pan, -1.0, 1.0) + 1) * std::numbers::pi / 4;
    const float leftGain = float(Gain * std::cos(angle)), rightGain = float(Gain * std::sin(angle));
    const size_t first = size_t(std::max(0.0, Start) * kSampleRate);
    const size_t count = std::min(Sound.size(), FLeft.size() - std::min(first, FLeft.size()));
    for (size_t i = 0; i < count; ++i) {
        FLeft[first + i] += Sound[i] * leftGain;
        FRight[first + i] += Sound[i] * rightGain;
    }
}

void StereoBus::Add(const StereoBus& Other, double Gain) {
    const size_t count = std::min(FLeft.size(), Other.FLeft.size());
    for (size_t i = 0; i < count; ++i) {
        FLeft[i] += float(Other.FLeft[i] * Gain);
        FRight[i] += float(Other.FRight[i] * Gain);
    }
}

void StereoBus::Echo(double Delay, double Feedback, double Wet) {
    const size_t delay = size_t(Delay * kSampleRate);
    std::vector<float> echoLeft(FLeft.size()), echoRight(FLeft.size());
    for (size_t i = delay; i < FLeft.size(); ++i) {
        // Each side's echo is fed by the other side's sound and echo: ping-pong.
        echoLeft[i] = float((FRight[i - delay] + echoRight[i - delay]) * Feedback);
        echoRight[i] = float((FLeft[i - delay] + echoLeft[i - delay]) * Feedback);
    }
    for (size_t i = 0; i < FLeft.size(); ++i) {
        FLeft[i] += float(echoLeft[i] * Wet);
        FRight[i] += float(echoRight[i] * Wet);
    }
}

void StereoBus::FadeOut(double From) {
    const size_t first = std::min(FLeft.size(), size_t(From * kSampleRate));
    const double length = double(FLeft.size() - first);
    for (size_t i = first; i < FLeft.size(); ++i) {
        const float gain = float(1 - double(i - first) / length);
        FLeft[i] *= gain;
        FRight[i] *= gain;
    }
}

void StereoBus::SoftClip(double Drive) {
    const double scale = 1.0 / Peak(), ceiling = std::tanh(Drive);
    for (std::vector<float>* side : {&FLeft, &FRight})
        for (float& s : *side)
            s = float(std::tanh(Drive * s * scale) / ceiling);
}

std::vector<int16_t> StereoBus::ToPcm16(double peakLevel) const {
    const double scale = peakLevel * 32767 / Peak();
    std::vector<int16_t> pcm(FLeft.size() * 2);
    for (size_t i = 0; i < FLeft.size(); ++i) {
        pcm[2 * i] = int16_t(std::lround(FLeft[i] * scale));
        pcm[2 * i + 1] = int16_t(std::lround(FRight[i] * scale));
    }
    return pcm;
}

float StereoBus::Peak() const {
    float loudest = 1e-9f; // silence stays silence instead of dividing by zero
    for (size_t i = 0; i < FLeft.size(); ++i)
        loudest = std::max({loudest, std::abs(FLeft[i]), std::abs(FRight[i])});
    return loudest;
}
