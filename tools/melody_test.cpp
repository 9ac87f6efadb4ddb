// Tests of the note notation and the tune's variations.
#include <gtest/gtest.h>

#include <stdexcept>

#include "melody.h"

namespace {

TEST(Melody, ParsesNotesRestsAndBarLines) {
    const Phrase p = ParsePhrase("B4/1 F#5/.5 | r/1.5 C6/2");
    ASSERT_EQ(p.Notes.size(), 3u);
    EXPECT_EQ(p.Notes[0].Pitch, 71);
    EXPECT_EQ(p.Notes[1].Pitch, 78);
    EXPECT_DOUBLE_EQ(p.Notes[1].Beat, 1);
    EXPECT_DOUBLE_EQ(p.Notes[1].Length, 0.5);
    EXPECT_EQ(p.Notes[2].Pitch, 84);
    EXPECT_DOUBLE_EQ(p.Notes[2].Beat, 3); // the rest keeps its place
    EXPECT_DOUBLE_EQ(p.Length, 5);
}

TEST(Melody, RefusesMalformedNotesNamingThem) {
    for (const char* bad : {"H4/1", "C4", "C4/0", "C4/-1", "C4/x", "Cb4/1", "C#/1", "C44/1", "C4/1x"}) {
        SCOPED_TRACE(bad);
        try {
            ParsePhrase(std::string("A4/1 ") + bad);
            ADD_FAILURE() << "accepted";
        } catch (const std::invalid_argument& e) {
            EXPECT_NE(std::string(e.what()).find(bad), std::string::npos) << e.what();
        }
    }
}

TEST(Melody, StepsAlongTheGMajorScale) {
    struct Case {
        const char* Name;
        int Pitch, Steps, Expected;
    };
    const Case cases[] = {
        {"G4 up to A4", 67, 1, 69},
        {"B4 up a half step to C5", 71, 1, 72},
        {"F#4 up to G4", 66, 1, 67},
        {"C5 down a third to A4", 72, -2, 69},
        {"D5 up an octave", 74, 7, 86},
        {"off-scale F4 drops to E4", 65, 0, 64},
        {"C4 down across the octave", 60, -1, 59},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScaleStep(c.Pitch, c.Steps), c.Expected) << c.Name;
}

TEST(Melody, VariationsKeepTheRhythmicFrame) {
    const Phrase tune = ParsePhrase("G4/2 B4/1 D5/1 | E5/2 D5/2");
    const Phrase joined = Join({tune, Shift(tune, 0, 12)});
    EXPECT_DOUBLE_EQ(joined.Length, 16);
    EXPECT_DOUBLE_EQ(joined.Notes[5].Beat, 8);
    EXPECT_EQ(joined.Notes[5].Pitch, 79);

    const Phrase varied = Ornament(tune, 5, 1.0); // every note but the last is split
    EXPECT_DOUBLE_EQ(varied.Length, tune.Length);
    EXPECT_EQ(varied.Notes.size(), 2 * tune.Notes.size() - 1);
    EXPECT_EQ(varied.Notes.back().Pitch, tune.Notes.back().Pitch);
    double sounding = 0;
    for (const Note& n : varied.Notes)
        sounding += n.Length;
    EXPECT_DOUBLE_EQ(sounding, 8);

    const Phrase lower = ThirdBelow(tune);
    EXPECT_EQ(lower.Notes[0].Pitch, 64); // G4 over E4
    EXPECT_EQ(lower.Notes[1].Pitch, 67); // B4 over G4
}

} // namespace
