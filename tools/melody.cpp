#include "melody.h"

#include <cctype>
#include <sstream>
#include <stdexcept>

#include "lcg.h"

namespace {

// Semitones above C of the natural note names A to G.
constexpr int kNaturals[7] = {9, 11, 0, 2, 4, 5, 7};
// Pitch classes of G major, from C upwards.
constexpr int kScale[7] = {0, 2, 4, 6, 7, 9, 11};

// "F#5" as a MIDI pitch (C4 = 60).
int ParsePitch(const std::string& Name, const std::string& Token) {
    const bool sharp = Name.size() == 3 && Name[1] == '#';
    if (Name.size() != (sharp ? 3u : 2u) || Name[0] < 'A' || Name[0] > 'G' || !std::isdigit(Name.back()))
        throw std::invalid_argument("bad note \"" + Token + "\"");
    const int octave = Name.back() - '0';
    return 12 * (octave + 1) + kNaturals[Name[0] - 'A'] + (sharp ? 1 : 0);
}

double ParseLength(const std::string& Text, const std::string& Token) {
    try {
        size_t used = 0;
        const double beats = std::stod(Text, &used);
        if (used == Text.size() && beats > 0) return beats;
    } catch (const std::exception&) {
    }
    throw std::invalid_argument("bad length in \"" + Token + "\"");
}

// The degree (0 to 6) of a pitch class in the scale, rounding down off the scale.
int DegreeOf(int PitchClass) {
    int degree = 0;
    for (int d = 0; d < 7; ++d)
        if (kScale[d] <= PitchClass) degree = d;
    return degree;
}

} // namespace

Phrase ParsePhrase(const std::string& Text) {
    Phrase phrase;
    std::istringstream tokens(Text);
    std::string token;
    while (tokens >> token) {
        if (token == "|") continue;
        const size_t slash = token.find('/');
        if (slash == std::string::npos) throw std::invalid_argument("no length in \"" + token + "\"");
        const double length = ParseLength(token.substr(slash + 1), token);
        const std::string name = token.substr(0, slash);
        if (name != "r") phrase.Notes.push_back(Note{phrase.Length, length, ParsePitch(name, token)});
        phrase.Length += length;
    }
    return phrase;
}

Phrase Shift(const Phrase& Source, double Beats, int Semitones) {
    Phrase moved = Source;
    for (Note& n : moved.Notes) {
        n.Beat += Beats;
        n.Pitch += Semitones;
    }
    return moved;
}

Phrase Join(const std::vector<Phrase>& Parts) {
    Phrase whole;
    for (const Phrase& part : Parts) {
        const Phrase placed = Shift(part, whole.Length, 0);
        whole.Notes.insert(whole.Notes.end(), placed.Notes.begin(), placed.Notes.end());
        whole.Length += part.Length;
    }
    return whole;
}

Phrase Ornament(const Phrase& Source, uint32_t Seed, double Chance) {
    Lcg random(Seed);
    Phrase varied{{}, Source.Length};
    for (size_t i = 0; i < Source.Notes.size(); ++i) {
        const Note n = Source.Notes[i];
        const bool last = i + 1 == Source.Notes.size();
        if (last || n.Length < 1 || random.Uniform() >= Chance) {
            varied.Notes.push_back(n);
            continue;
        }
        const double half = n.Length / 2;
        const int direction = random.Uniform() < 0.5 ? -1 : 1;
        varied.Notes.push_back(Note{n.Beat, half, n.Pitch});
        varied.Notes.push_back(Note{n.Beat + half, half, ScaleStep(n.Pitch, direction)});
    }
    return varied;
}

Phrase ThirdBelow(const Phrase& Source) {
    Phrase lower = Source;
    for (Note& n : lower.Notes)
        n.Pitch = ScaleStep(n.Pitch, -2);
    return lower;
}

int ScaleStep(int Pitch, int Steps) {
    const int octave = Pitch / 12;
    // Count degrees from C0 upwards, step, and turn the degree back into a pitch.
    const int degree = octave * 7 + DegreeOf(Pitch % 12) + Steps;
    return (degree / 7) * 12 + kScale[degree % 7];
}
