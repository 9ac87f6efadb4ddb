// Notes written as text ("B4/1 D5/.5 r/1 | ..."), and the ways the tune is
// varied: moved in time and pitch, ornamented with neighbour tones, and
// doubled a third below. Scale steps are those of G major, the tune's key.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A note: when it starts and how long it lasts, in beats, and its MIDI pitch.
struct Note {
    double Beat = 0;
    double Length = 1;
    int Pitch = 60;
};

struct Phrase {
    std::vector<Note> Notes;
    double Length = 0; // in beats, rests included
};

// Reads space-separated notes: a name A to G, an optional "#", an octave digit,
// "/" and a length in beats ("F#5/.5"); "r/1" is a rest and "|" a bar line,
// which is only for the reader. Throws std::invalid_argument naming a bad token.
Phrase ParsePhrase(const std::string& Text);

// The phrase moved later by Beats and up by Semitones.
Phrase Shift(const Phrase& Source, double Beats, int Semitones);
// Phrases one after the other.
Phrase Join(const std::vector<Phrase>& Parts);
// Some notes of a beat or longer (each with the given Chance, drawn from Seed)
// split in two halves, the second a scale step above or below: passing and
// neighbour tones that make a repeat sound new. The last note stays as written.
Phrase Ornament(const Phrase& Source, uint32_t Seed, double Chance);
// Every note a diatonic third lower: a second voice in parallel.
Phrase ThirdBelow(const Phrase& Source);

// Pitch moved by Steps degrees of the G major scale (a pitch off the scale first
// drops to the degree below it).
int ScaleStep(int Pitch, int Steps);
