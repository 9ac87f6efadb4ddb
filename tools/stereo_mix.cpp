#include "stereo_mix.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "synth.h"

StereoBus::StereoBus(double Seconds) : left(size_t(Seconds * kSampleRate)), right(left.size()) {}

void StereoBus::Add(const std::vector<float>& Sound, double Start, double Gain, double Pan) {
    // Constant-power pan: the two gains are the cosine and sine of a quarter turn.
    const double angle = (std::clamp(Pan, -1.0, 1.0) + 1) * std::numbers::pi / 4;
    const float leftGain = float(Gain * std::cos(angle)), rightGain = float(Gain * std::sin(angle));
    const size_t first = size_t(std::max(0.0, Start) * kSampleRate);
    const size_t count = std::min(Sound.size(), left.size() - std::min(first, left.size()));
    for (size_t i = 0; i < count; ++i) {
        left[first + i] += Sound[i] * leftGain;
        right[first + i] += Sound[i] * rightGain;
    }
}

void StereoBus::Add(const StereoBus& Other, double Gain) {
    const size_t count = std::min(left.size(), Other.left.size());
    for (size_t i = 0; i < count; ++i) {
        left[i] += float(Other.left[i] * Gain);
        right[i] += float(Other.right[i] * Gain);
    }
}

void StereoBus::Echo(double Delay, double Feedback, double Wet) {
    const size_t delay = size_t(Delay * kSampleRate);
    std::vector<float> echoLeft(left.size()), echoRight(left.size());
    for (size_t i = delay; i < left.size(); ++i) {
        // Each side's echo is fed by the other side's sound and echo: ping-pong.
        echoLeft[i] = float((right[i - delay] + echoRight[i - delay]) * Feedback);
        echoRight[i] = float((left[i - delay] + echoLeft[i - delay]) * Feedback);
    }
    for (size_t i = 0; i < left.size(); ++i) {
        left[i] += float(echoLeft[i] * Wet);
        right[i] += float(echoRight[i] * Wet);
    }
}

void StereoBus::FadeOut(double From) {
    const size_t first = std::min(left.size(), size_t(From * kSampleRate));
    const double length = double(left.size() - first);
    for (size_t i = first; i < left.size(); ++i) {
        const float gain = float(1 - double(i - first) / length);
        left[i] *= gain;
        right[i] *= gain;
    }
}

void StereoBus::SoftClip(double Drive) {
    const double scale = 1.0 / peak(), ceiling = std::tanh(Drive);
    for (std::vector<float>* side : {&left, &right})
        for (float& s : *side)
            s = float(std::tanh(Drive * s * scale) / ceiling);
}

std::vector<int16_t> StereoBus::ToPcm16(double Peak) const {
    const double scale = Peak * 32767 / peak();
    std::vector<int16_t> pcm(left.size() * 2);
    for (size_t i = 0; i < left.size(); ++i) {
        pcm[2 * i] = int16_t(std::lround(left[i] * scale));
        pcm[2 * i + 1] = int16_t(std::lround(right[i] * scale));
    }
    return pcm;
}

float StereoBus::peak() const {
    float loudest = 1e-9f; // silence stays silence instead of dividing by zero
    for (size_t i = 0; i < left.size(); ++i)
        loudest = std::max({loudest, std::abs(left[i]), std::abs(right[i])});
    return loudest;
}
