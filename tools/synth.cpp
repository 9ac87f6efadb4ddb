#include "synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr double kVibratoRate = 5.5;   // Hz
constexpr double kVibratoDelay = 0.25; // seconds before vibrato starts to fade in

// PolyBLEP: a two-sample polynomial correction around each jump of a naive
// waveform, which removes most of the aliasing a hard edge causes.
double PolyBlep(double Phase, double Step) {
    if (Phase < Step) {
        const double t = Phase / Step;
        return t + t - t * t - 1;
    }
    if (Phase > 1 - Step) {
        const double t = (Phase - 1) / Step;
        return t * t + t + t + 1;
    }
    return 0;
}

double Pulse(double Phase, double Step, double Duty) {
    const double naive = Phase < Duty ? 1 : -1;
    const double fall = std::fmod(Phase - Duty + 1, 1.0);
    // A narrow pulse averages 2 * Duty - 1, not 0: take that offset away.
    return naive + PolyBlep(Phase, Step) - PolyBlep(fall, Step) + 1 - 2 * Duty;
}

// One sample of a waveform at Phase (0 to 1) advancing Step per sample; Time
// in seconds drives the bell's fading brightness.
double Oscillate(Waveform Wave, double Phase, double Step, double Time) {
    switch (Wave) {
    case Waveform::Sine:
        return std::sin(kTwoPi * Phase);
    case Waveform::Triangle:
        return 1 - 4 * std::abs(Phase - 0.5);
    case Waveform::Saw:
        return 2 * Phase - 1 - PolyBlep(Phase, Step);
    case Waveform::Square:
        return Pulse(Phase, Step, 0.5);
    case Waveform::Pulse25:
        return Pulse(Phase, Step, 0.25);
    case Waveform::Bell: {
        // FM with the modulator at three times the carrier: a bright, bell-like
        // strike (a whole-number ratio keeps the modulator in step with the
        // carrier's wrapping phase); the index falls so the ring turns mellow.
        const double index = 2.2 * std::exp(-Time * 6) + 0.3;
        return std::sin(kTwoPi * Phase + index * std::sin(kTwoPi * std::fmod(Phase * 3, 1.0)));
    }
    }
    return 0;
}

// A single-pole low-pass step: the output moves a fixed fraction towards the input.
struct LowPass {
    explicit LowPass(double Cutoff) : Weight(Cutoff > 0 ? 1 - std::exp(-kTwoPi * Cutoff / kSampleRate) : 1) {}
    double operator()(double Input) { return State += Weight * (Input - State); }
    double Weight;
    double State = 0;
};

} // namespace

double Envelope::Level(double T, double Held) const {
    auto held = [&](double t) {
        if (t < Attack) return t / Attack;
        if (t < Attack + Decay) return 1 - (1 - Sustain) * (t - Attack) / Decay;
        return Sustain;
    };
    if (T < Held) return held(T);
    // Release from wherever the note was when it let go.
    return held(Held) * std::max(0.0, 1 - (T - Held) / Release);
}

std::vector<float> RenderNote(const Instrument& Voice, double Frequency, double Held) {
    const size_t count = size_t((Held + Voice.Shape.Release) * kSampleRate);
    std::vector<float> out(count);
    const double detuneRatio = std::pow(2.0, Voice.DetuneCents / 1200);
    double phase = 0, detunedPhase = 0.37; // the second oscillator starts out of phase
    LowPass first(Voice.Cutoff), second(Voice.Cutoff);
    for (size_t i = 0; i < count; ++i) {
        const double t = double(i) / kSampleRate;
        const double wobble = Voice.Vibrato * std::clamp((t - kVibratoDelay) * 2, 0.0, 1.0) *
                              std::sin(kTwoPi * kVibratoRate * t);
        const double step = Frequency * std::pow(2.0, wobble / 12) / kSampleRate;
        double sample = Oscillate(Voice.Wave, phase, step, t);
        if (Voice.DetuneCents != 0) {
            sample = 0.5 * (sample + Oscillate(Voice.Wave, detunedPhase, step * detuneRatio, t));
            detunedPhase = std::fmod(detunedPhase + step * detuneRatio, 1.0);
        }
        phase = std::fmod(phase + step, 1.0);
        // Two poles in a row: a softer, 12 dB per octave slope.
        out[i] = float(second(first(sample)) * Voice.Shape.Level(t, Held));
    }
    return out;
}

double PitchFrequency(int Pitch) {
    return 440.0 * std::pow(2.0, (Pitch - 69) / 12.0);
}
