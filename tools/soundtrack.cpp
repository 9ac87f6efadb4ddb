// Sections:  [1] The tune's material   [2] Sections   [3] Parts   [4] Mixing
#include "soundtrack.h"

#include <map>
#include <sstream>
#include <string>

#include "drum_kit.h"
#include "melody.h"
#include "stereo_mix.h"
#include "synth.h"

namespace {

// [SECTION] The tune's material

constexpr double kBeatSeconds = 0.5; // 120 beats a minute
constexpr int kBeatsPerBar = 4;
constexpr double kBarSeconds = kBeatSeconds * kBeatsPerBar;
constexpr double kTailSeconds = 3; // the last chord rings out
constexpr double kFadeBars = 10;   // the ending fades over this many bars

const char* const kVerseA = "B4/1 D5/1 G5/1.5 F#5/.5 | E5/1 D5/1 B4/2 | C5/1 E5/1 G5/1 E5/1 | D5/3 r/1";
const char* const kVerseB = "B4/.5 C5/.5 D5/1 G5/1 B5/1 | A5/1 G5/1 E5/2 | E5/1 G5/.5 E5/.5 D5/1 C5/1 | "
                            "A4/1 B4/.5 C5/.5 D5/2";
const char* const kVerseLift = "B4/.5 C5/.5 D5/1 G5/1 B5/1 | A5/1 G5/1 E5/2 | E5/1 G5/.5 E5/.5 D5/1 C5/1 | "
                               "D5/1 E5/.5 F#5/.5 A5/2";
const char* const kChorusA =
    "G5/1.5 E5/.5 G5/1 A5/1 | F#5/1.5 D5/.5 A5/2 | B5/1 A5/.5 G5/.5 D5/1 G5/1 | E5/3 r/1";
const char* const kChorusB =
    "G5/1.5 E5/.5 G5/1 A5/1 | F#5/1 A5/1 D6/2 | B5/1 A5/1 G5/1 B5/1 | A5/1 G5/.5 F#5/.5 G5/2";
const char* const kHook =
    "G5/1.5 E5/.5 G5/1 A5/1 | F#5/1.5 D5/.5 A5/2 | B5/1 A5/.5 G5/.5 D5/1 G5/1 | F#5/2 A5/2";
const char* const kBridgeA = "E5/1.5 F#5/.5 G5/1 B5/1 | C6/1.5 B5/.5 G5/2 | D5/1 G5/1 B5/1 D6/1 | A5/3 r/1";
const char* const kBridgeB = "A5/1 C6/1 B5/1 A5/1 | G5/1 E5/1 C5/2 | D5/1 F#5/1 A5/1 C6/1 | A5/2 F#5/1 A5/1";
const char* const kFinalNote = "G5/8 r/8";

struct Chord {
    int Bass;                // root in the bass register
    std::vector<int> Voices; // close triad around middle C
};

// The chords of G major the tune uses, voiced to move little from one to the next.
const std::map<std::string, Chord> kChords = {
    {"G", {43, {55, 59, 62}}}, {"Em", {40, {55, 59, 64}}}, {"C", {48, {55, 60, 64}}},
    {"D", {50, {54, 57, 62}}}, {"Am", {45, {57, 60, 64}}},
};

// [SECTION] Sections

enum BandParts : unsigned { kPad = 1, kStabs = 2, kBass = 4, kArpeggio = 8 };
enum class Beat { None, Light, Full, Half };
enum class Voice { Lead, Bell };

struct Section {
    int Bars;
    std::string Chords; // one chord name a bar, repeated to fill the section
    int Transpose;      // semitones: the last chorus is a tone higher
    unsigned Players;   // which accompanying parts play
    Beat Drums;
    bool Crash;                    // a crash cymbal on the first beat
    bool Fill;                     // a snare fill over the last two beats
    std::vector<const char*> Tune; // phrases, one after the other from the first bar
    Voice TuneVoice;
    uint32_t OrnamentSeed; // 0 plays the tune as written
    bool Harmony;          // a second voice a third below
};

// clang-format off
const std::vector<Section> kSong = {
    // intro: chords and arpeggio, then bass, drums and the chorus hook on the bell
    {4, "C D G Em", 0, kPad | kArpeggio, Beat::None, false, false, {}, Voice::Bell, 0, false},
    {4, "C D G D", 0, kPad | kArpeggio | kBass, Beat::Light, false, true, {kHook}, Voice::Bell, 0, false},
    // verse 1, chorus 1
    {16, "G Em C D", 0, kPad | kStabs | kBass, Beat::Light, true, true,
     {kVerseA, kVerseB, kVerseA, kVerseLift}, Voice::Lead, 0, false},
    {16, "C D G Em C D G Em C D G Em C D G G", 0, kPad | kStabs | kBass | kArpeggio, Beat::Full, true, true,
     {kChorusA, kChorusB, kChorusA, kChorusB}, Voice::Lead, 0, false},
    // verse 2 ornamented, chorus 2 in two voices
    {16, "G Em C D", 0, kStabs | kBass | kArpeggio, Beat::Light, true, true,
     {kVerseA, kVerseB, kVerseA, kVerseLift}, Voice::Lead, 7, false},
    {16, "C D G Em C D G Em C D G Em C D G G", 0, kPad | kStabs | kBass | kArpeggio, Beat::Full, true, true,
     {kChorusA, kChorusB, kChorusA, kChorusB}, Voice::Lead, 0, true},
    // bridge at half time
    {16, "Em C G D Am C D D", 0, kPad | kBass | kArpeggio, Beat::Half, true, true,
     {kBridgeA, kBridgeB, kBridgeA, kBridgeB}, Voice::Lead, 19, false},
    // last chorus a tone higher, the ending, and the final chord fading away
    {16, "C D G Em C D G Em C D G Em C D G G", 2, kPad | kStabs | kBass | kArpeggio, Beat::Full, true, true,
     {kChorusA, kChorusB, kChorusA, kChorusB}, Voice::Lead, 11, true},
    {8, "C D G G", 2, kPad | kStabs | kBass | kArpeggio, Beat::Full, true, false,
     {kChorusB, kChorusB}, Voice::Lead, 23, true},
    {4, "G", 2, kPad | kArpeggio, Beat::None, true, false, {kFinalNote}, Voice::Bell, 0, false},
};
// clang-format on

std::vector<std::string> ChordNames(const Section& Part) {
    std::vector<std::string> pattern, bars;
    std::istringstream names(Part.Chords);
    for (std::string name; names >> name;)
        pattern.push_back(name);
    for (int bar = 0; bar < Part.Bars; ++bar)
        bars.push_back(pattern[size_t(bar) % pattern.size()]);
    return bars;
}

// [SECTION] Parts

const Instrument kLead{Waveform::Pulse25, {0.01, 0.15, 0.6, 0.12}, 6, 3200, 0.18};
const Instrument kBell{Waveform::Bell, {0.002, 0.8, 0.0, 0.4}, 0, 0, 0};
const Instrument kPadVoice{Waveform::Saw, {0.35, 0.6, 0.7, 0.6}, 9, 1100, 0};
const Instrument kStab{Waveform::Triangle, {0.003, 0.22, 0.0, 0.08}, 0, 2500, 0};
const Instrument kBassVoice{Waveform::Saw, {0.005, 0.18, 0.55, 0.06}, 0, 520, 0};
const Instrument kPluck{Waveform::Square, {0.002, 0.16, 0.0, 0.06}, 0, 1800, 0};

// The buses and the drum samples everything is placed on.
struct Band {
    explicit Band(double Seconds) : Main(Seconds), Tune(Seconds), Sparkle(Seconds) {}
    StereoBus Main;    // dry parts
    StereoBus Tune;    // the tune, echoed
    StereoBus Sparkle; // arpeggio and bell, echoed
    std::map<Drum, std::vector<float>> Kit{{Drum::Kick, RenderDrum(Drum::Kick)},
                                           {Drum::Snare, RenderDrum(Drum::Snare)},
                                           {Drum::ClosedHat, RenderDrum(Drum::ClosedHat)},
                                           {Drum::OpenHat, RenderDrum(Drum::OpenHat)},
                                           {Drum::Crash, RenderDrum(Drum::Crash)}};
};

void Play(StereoBus& Bus, const Instrument& Voice, int Pitch, double Start, double Beats, double Gain,
          double Pan) {
    Bus.Add(RenderNote(Voice, PitchFrequency(Pitch), Beats * kBeatSeconds), Start, Gain, Pan);
}

void PlayTune(Band& Out, const Section& Part, double Start) {
    std::vector<Phrase> phrases;
    for (const char* text : Part.Tune)
        phrases.push_back(ParsePhrase(text));
    Phrase tune = Join(phrases);
    if (Part.OrnamentSeed != 0) tune = Ornament(tune, Part.OrnamentSeed, 0.3);
    const bool bell = Part.TuneVoice == Voice::Bell;
    for (const Note& n : tune.Notes)
        Play(bell ? Out.Sparkle : Out.Tune, bell ? kBell : kLead, n.Pitch + Part.Transpose,
             Start + n.Beat * kBeatSeconds, n.Length * 0.92, bell ? 0.5 : 0.34, bell ? -0.2 : 0.05);
    if (!Part.Harmony) return;
    for (const Note& n : ThirdBelow(tune).Notes)
        Play(Out.Tune, kLead, n.Pitch + Part.Transpose, Start + n.Beat * kBeatSeconds, n.Length * 0.92, 0.2,
             -0.45);
}

double BeatTime(double BarStart, double Beat) {
    return BarStart + Beat * kBeatSeconds;
}

// A held chord, its three voices spread over the stereo field.
void PlayPad(Band& Out, const Chord& Harmony, int Transpose, double BarStart) {
    const double pans[3] = {-0.5, 0.0, 0.5};
    for (size_t v = 0; v < Harmony.Voices.size(); ++v)
        Play(Out.Main, kPadVoice, Harmony.Voices[v] + Transpose, BarStart, kBeatsPerBar - 0.2, 0.12, pans[v]);
}

// Short chords on the off-beats: what makes the tune bounce.
void PlayStabs(Band& Out, const Chord& Harmony, int Transpose, double BarStart) {
    for (double beat = 0.5; beat < kBeatsPerBar; beat += 1)
        for (int pitch : Harmony.Voices)
            Play(Out.Main, kStab, pitch + 12 + Transpose, BeatTime(BarStart, beat), 0.25, 0.11, 0.3);
}

// Root, a pick-up root, the fifth, the octave and the fifth again.
void PlayBass(Band& Out, const Chord& Harmony, int Transpose, double BarStart) {
    const double beats[5] = {0, 1.5, 2, 3, 3.5}, lengths[5] = {1.2, 0.4, 0.9, 0.45, 0.45};
    const int intervals[5] = {0, 0, 7, 12, 7};
    for (int i = 0; i < 5; ++i)
        Play(Out.Main, kBassVoice, Harmony.Bass + Transpose + intervals[i], BeatTime(BarStart, beats[i]),
             lengths[i], 0.42, 0);
}

// Up and down the chord an octave above it, in eighth notes; degree 3 is the root an octave up.
void PlayArpeggio(Band& Out, const Chord& Harmony, int Transpose, double BarStart) {
    const int order[8] = {0, 1, 2, 3, 2, 1, 2, 1};
    for (int i = 0; i < 8; ++i) {
        const int pitch = order[i] == 3 ? Harmony.Voices[0] + 12 : Harmony.Voices[size_t(order[i])];
        Play(Out.Sparkle, kPluck, pitch + 12 + Transpose, BeatTime(BarStart, i * 0.5), 0.4, 0.1, 0.45);
    }
}

// One bar of the accompaniment over one chord.
void PlayBar(Band& Out, const Section& Part, const Chord& Harmony, double BarStart) {
    if (Part.Players & kPad) PlayPad(Out, Harmony, Part.Transpose, BarStart);
    if (Part.Players & kStabs) PlayStabs(Out, Harmony, Part.Transpose, BarStart);
    if (Part.Players & kBass) PlayBass(Out, Harmony, Part.Transpose, BarStart);
    if (Part.Players & kArpeggio) PlayArpeggio(Out, Harmony, Part.Transpose, BarStart);
}

void Hit(Band& Out, Drum Which, double Start, double Gain, double Pan) {
    Out.Main.Add(Out.Kit[Which], Start, Gain, Pan);
}

// One bar of drums in a section's groove.
void PlayDrums(Band& Out, Beat Groove, double Start) {
    auto at = [&](double beat) { return BeatTime(Start, beat); };
    switch (Groove) {
    case Beat::None:
        return;
    case Beat::Light:
        for (double b : {0.0, 2.0, 2.5})
            Hit(Out, Drum::Kick, at(b), b == 2.5 ? 0.5 : 0.8, 0);
        for (double b : {1.0, 3.0})
            Hit(Out, Drum::Snare, at(b), 0.45, 0.05);
        for (double b = 0; b < kBeatsPerBar; b += 0.5)
            Hit(Out, Drum::ClosedHat, at(b), b == int(b) ? 0.22 : 0.14, 0.35);
        return;
    case Beat::Full:
        for (double b = 0; b < kBeatsPerBar; b += 1) {
            Hit(Out, Drum::Kick, at(b), 0.85, 0);
            Hit(Out, Drum::ClosedHat, at(b), 0.15, 0.35);
            Hit(Out, Drum::OpenHat, at(b + 0.5), 0.12, 0.4);
        }
        for (double b : {1.0, 3.0})
            Hit(Out, Drum::Snare, at(b), 0.5, 0.05);
        return;
    case Beat::Half:
        Hit(Out, Drum::Kick, at(0), 0.8, 0);
        Hit(Out, Drum::Kick, at(2.5), 0.5, 0);
        Hit(Out, Drum::Snare, at(2), 0.45, 0.05);
        for (double b = 0; b < kBeatsPerBar; b += 1)
            Hit(Out, Drum::ClosedHat, at(b), 0.2, 0.35);
        return;
    }
}

// Eighths, then sixteenths, growing louder into the next section.
void PlayFill(Band& Out, double BarStart) {
    for (int i = 0; i < 10; ++i) {
        const double beat = i < 2 ? 2 + 0.5 * i : 3 + 0.125 * (i - 2);
        Hit(Out, Drum::Snare, BarStart + beat * kBeatSeconds, 0.25 + 0.03 * i, -0.1 + 0.02 * i);
    }
}

void PlaySection(Band& Out, const Section& Part, double Start) {
    const std::vector<std::string> chords = ChordNames(Part);
    for (int bar = 0; bar < Part.Bars; ++bar) {
        const double barStart = Start + bar * kBarSeconds;
        PlayBar(Out, Part, kChords.at(chords[size_t(bar)]), barStart);
        const bool fillBar = Part.Fill && bar == Part.Bars - 1;
        PlayDrums(Out, fillBar && Part.Drums != Beat::None ? Beat::Half : Part.Drums, barStart);
        if (fillBar) PlayFill(Out, barStart);
    }
    if (Part.Crash) Hit(Out, Drum::Crash, Start, 0.3, -0.3);
    PlayTune(Out, Part, Start);
}

} // namespace

// [SECTION] Mixing

std::vector<int16_t> ComposeSoundtrack() {
    int bars = 0;
    for (const Section& part : kSong)
        bars += part.Bars;
    const double songSeconds = bars * kBarSeconds;
    Band band(songSeconds + kTailSeconds);
    double start = 0;
    for (const Section& part : kSong) {
        PlaySection(band, part, start);
        start += part.Bars * kBarSeconds;
    }
    // A dotted-eighth echo: it falls between the beats and fills out the tune.
    band.Tune.Echo(0.75 * kBeatSeconds, 0.32, 0.3);
    band.Sparkle.Echo(0.75 * kBeatSeconds, 0.35, 0.4);
    band.Main.Add(band.Tune, 1.0);
    band.Main.Add(band.Sparkle, 1.0);
    band.Main.SoftClip(1.5);
    band.Main.FadeOut(songSeconds - kFadeBars * kBarSeconds);
    return band.Main.ToPcm16(0.89); // about -1 dB below full scale
}
