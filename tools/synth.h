// The soundtrack's instruments: band-limited oscillators, ADSR envelopes, a
// gentle low-pass filter and a small FM bell, rendering one note at a time
// into mono samples at 44.1 kHz.
#pragma once

#include <vector>

constexpr int kSampleRate = 44100;

// Attack, decay and release in seconds; sustain as a level from 0 to 1.
struct Envelope {
    double Attack = 0.01;
    double Decay = 0.1;
    double Sustain = 0.7;
    double Release = 0.1;

    // The level T seconds after the note starts, for a note held Held seconds.
    double Level(double T, double Held) const;
};

enum class Waveform { Sine, Triangle, Saw, Square, Pulse25, Bell };

struct Instrument {
    Waveform Wave = Waveform::Sine;
    Envelope Shape;
    double DetuneCents = 0; // a second oscillator this far sharp, 0 for one oscillator
    double Cutoff = 0;      // low-pass cutoff in Hz, 0 for none
    double Vibrato = 0;     // depth in semitones, fading in after the attack
};

// One note of Frequency Hz held for Held seconds, followed by its release tail.
std::vector<float> RenderNote(const Instrument& Voice, double Frequency, double Held);

// The frequency of a MIDI note number (69 is A4, 440 Hz; 12 steps an octave).
double PitchFrequency(int Pitch);
