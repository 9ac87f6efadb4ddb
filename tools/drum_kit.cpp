#include "drum_kit.h"

#include <cmath>
#include <numbers>

#include "lcg.h"
#include "synth.h"

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

// White noise made brighter by differencing (a first-order high-pass), twice
// for cymbals: what is left is the hiss above a few kilohertz.
std::vector<double> BrightNoise(size_t Count, int Passes, uint32_t Seed) {
    Lcg random(Seed);
    std::vector<double> noise(Count);
    for (double& n : noise)
        n = random.Between(-1, 1);
    for (int pass = 0; pass < Passes; ++pass) {
        double previous = 0;
        for (double& n : noise) {
            const double current = n;
            n = 0.5 * (current - previous);
            previous = current;
        }
    }
    return noise;
}

// A sine whose pitch drops fast from a thump to a low boom, plus a short click.
std::vector<float> Kick() {
    const size_t count = size_t(0.4 * kSampleRate);
    std::vector<float> out(count);
    double phase = 0;
    for (size_t i = 0; i < count; ++i) {
        const double t = double(i) / kSampleRate;
        phase += (46 + 120 * std::exp(-t / 0.035)) / kSampleRate;
        const double click = t < 0.004 ? 0.3 * (1 - t / 0.004) : 0;
        out[i] = float(std::sin(kTwoPi * phase) * std::exp(-t / 0.13) + click);
    }
    return out;
}

// A noise burst over a short tone, as a snare's wires over its drum head.
std::vector<float> Snare() {
    const size_t count = size_t(0.3 * kSampleRate);
    const std::vector<double> noise = BrightNoise(count, 1, 2010);
    std::vector<float> out(count);
    for (size_t i = 0; i < count; ++i) {
        const double t = double(i) / kSampleRate;
        const double tone = std::sin(kTwoPi * 190 * t) * std::exp(-t / 0.045);
        out[i] = float(1.4 * noise[i] * std::exp(-t / 0.075) + 0.5 * tone);
    }
    return out;
}

std::vector<float> Cymbal(double Seconds, double DecayTime, uint32_t Seed) {
    const size_t count = size_t(Seconds * kSampleRate);
    const std::vector<double> noise = BrightNoise(count, 2, Seed);
    std::vector<float> out(count);
    for (size_t i = 0; i < count; ++i)
        out[i] = float(2 * noise[i] * std::exp(-double(i) / kSampleRate / DecayTime));
    return out;
}

} // namespace

std::vector<float> RenderDrum(Drum Which) {
    switch (Which) {
    case Drum::Kick:
        return Kick();
    case Drum::Snare:
        return Snare();
    case Drum::ClosedHat:
        return Cymbal(0.08, 0.018, 26);
    case Drum::OpenHat:
        return Cymbal(0.35, 0.09, 6);
    case Drum::Crash:
        return Cymbal(2.0, 0.55, 1800);
    }
    return {};
}
