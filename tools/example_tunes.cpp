#include "example_tunes.h"

#include <string>

#include "melody.h"
#include "stereo_mix.h"
#include "synth.h"

namespace {

// One tune: a lead melody over a bass line, both written as notes, at Tempo
// beats a minute, played twice with the second pass ornamented, then faded.
struct Tune {
    const char* Melody;
    const char* Bass;
    double Tempo;
    Instrument Lead;
    Instrument Low;
};

void Play(StereoBus& Bus, const Phrase& Notes, const Instrument& Voice, double BeatSeconds, double Gain,
          double Pan) {
    for (const Note& note : Notes.Notes)
        Bus.Add(RenderNote(Voice, PitchFrequency(note.Pitch), note.Length * BeatSeconds * 0.9),
                note.Beat * BeatSeconds, Gain, Pan);
}

std::vector<int16_t> Render(const Tune& Music) {
    const double beat = 60.0 / Music.Tempo;
    const Phrase melody = ParsePhrase(Music.Melody), bass = ParsePhrase(Music.Bass);
    const Phrase lead = Join({melody, Ornament(melody, 5, 0.4)});
    const Phrase low = Join({bass, bass});
    const double seconds = lead.Length * beat + 2;
    StereoBus bus(seconds);
    Play(bus, lead, Music.Lead, beat, 0.5, -0.2);
    Play(bus, ThirdBelow(lead), Music.Lead, beat, 0.2, 0.4);
    Play(bus, low, Music.Low, beat, 0.45, 0.1);
    bus.Echo(0.75 * beat, 0.3, 0.25);
    bus.FadeOut(seconds - 4);
    return bus.ToPcm16(0.89);
}

} // namespace

std::vector<int16_t> ComposeBirthdayTune() {
    return Render({"D5/.5 D5/.5 E5/1 D5/1 G5/1 | F#5/2 D5/.5 D5/.5 E5/1 | D5/1 A5/1 G5/2 | "
                   "B5/.5 A5/.5 G5/1 E5/1 C6/1 | B5/1 G5/1 A5/2 | G5/1 B5/1 D6/1 B5/1 | "
                   "C6/1 A5/1 F#5/1 A5/1 | G5/3 r/1",
                   "G2/2 D3/2 | G2/2 D3/2 | C3/2 D3/2 | G2/2 B2/2 | C3/2 E3/2 | D3/2 D3/2 | "
                   "G2/2 B2/2 | C3/2 D3/2 | G2/4",
                   144,
                   {Waveform::Square, {0.005, 0.08, 0.5, 0.08}, 6, 3200, 0.1},
                   {Waveform::Triangle, {0.005, 0.1, 0.7, 0.1}, 0, 900, 0}});
}

std::vector<int16_t> ComposeWeddingTune() {
    return Render({"B4/1 D5/1 G5/1 | F#5/2 E5/1 | D5/2 B4/1 | C5/3 | E5/1 G5/1 C6/1 | B5/2 A5/1 | "
                   "G5/1 F#5/1 A5/1 | G5/3 | D5/1 G5/1 B5/1 | A5/2 G5/1 | E5/1 F#5/1 G5/1 | D5/3 | "
                   "C5/1 E5/1 A5/1 | G5/2 F#5/1 | A5/1 F#5/1 D5/1 | G5/3",
                   "G2/3 | D3/3 | G2/3 | C3/3 | C3/3 | G2/3 | D3/3 | G2/3 | G2/3 | D3/3 | C3/3 | D3/3 | "
                   "A2/3 | G2/3 | D3/3 | G2/3",
                   96,
                   {Waveform::Triangle, {0.04, 0.2, 0.7, 0.4}, 5, 2600, 0.15},
                   {Waveform::Sine, {0.02, 0.2, 0.8, 0.3}, 0, 600, 0}});
}
