// A host's own invitation played through: the moving lines derive from its
// text (one line, thirty lines), each text line starts when the one before
// ends and the text wraps after its last line for pass after pass; one year
// only stops at once; a long date is lettered smaller, inside its cloud.
#include <gtest/gtest.h>

#include "render/dib.h"
#include "render/picture.h"
#include "show/show_rig.h"
#include "show/utf8.h"

namespace {

// One run of a text line across the screen, in frames counted from 1.
struct Stint {
    int32_t Line = 0;
    int First = 0;
    int Last = 0;
};

// The text line whose run is under way (its path on, its XOffset running), or -1.
int32_t RunningLine(const TMainForm& Form) {
    int32_t running = -1;
    for (int32_t i = 0; i < Form.TextLineCount(); ++i)
        if (const TSinus& path = *(*Form.Lines)[size_t(i)]->Sinus; path.Enabled && path.XOffset->Enabled) {
            EXPECT_EQ(running, -1) << "two text lines run at once";
            running = i;
        }
    return running;
}

// Plays the show to frame Frames and returns the text lines' runs. A run
// starts when another line takes over or the same line starts over (its
// XOffset, which counts down, jumps back up).
std::vector<Stint> PlayText(ShowRig& Run, int Frames) {
    std::vector<Stint> stints;
    int32_t previousX = 0;
    for (int frame = 1; frame <= Frames; ++frame) {
        Run.Frame();
        const int32_t line = RunningLine(*Run.Form);
        if (line < 0) continue;
        const int32_t x = (*Run.Form->Lines)[size_t(line)]->Sinus->XOffset->Value;
        if (stints.empty() || stints.back().Line != line || x > previousX)
            stints.push_back({line, frame, frame});
        stints.back().Last = frame;
        previousX = x;
    }
    return stints;
}

// The sea line follows the text lines in Lines, then three wave streaks, which run once the boat does.
void ExpectLinesAfterTheText(const TMainForm& Form) {
    const size_t n = size_t(Form.TextLineCount());
    ASSERT_EQ(Form.Lines->size(), n + 4);
    EXPECT_EQ((*Form.Lines)[n]->Kind, kSeaLine);
    EXPECT_EQ((*Form.Lines)[n]->Sinus, &Form.SeaLine());
    for (size_t i = n + 1; i < n + 4; ++i) {
        EXPECT_EQ((*Form.Lines)[i]->Kind, kWaveStreak);
        EXPECT_TRUE((*Form.Lines)[i]->Sinus->Enabled) << "wave streak " << i;
    }
}

// Every run but the last (cut off by the end of play) takes over from the one
// before in the next frame, in text order, wrapping after the last line; it
// lasts half its path's advances (two a frame), give or take the frames it
// starts and ends in.
void ExpectTextOrder(const TMainForm& Form, const std::vector<Stint>& Stints, int Passes) {
    const int32_t n = Form.TextLineCount();
    ASSERT_GE(Stints.size(), size_t(Passes * n + 1));
    for (size_t k = 0; k + 1 < Stints.size(); ++k) {
        SCOPED_TRACE("run " + std::to_string(k));
        EXPECT_EQ(Stints[k].Line, int32_t(k % size_t(n)));
        if (k > 0) EXPECT_EQ(Stints[k].First, Stints[k - 1].Last + 1);
        const int32_t advances = (*Form.Lines)[size_t(Stints[k].Line)]->CharCount * 10 + 200;
        EXPECT_NEAR(Stints[k].Last - Stints[k].First + 1, advances / 2.0, 1.0);
    }
}

// The rightmost column in which a caption differs from the bare cloud, -1 when none does.
int RightmostLettering(TDXImageList& Captions, int Index) {
    const PixelView cloud = dynamic_cast<const TDIB&>(*Captions.Items().Items(0)->Picture().Graphic()).View();
    const PixelView caption =
        dynamic_cast<const TDIB&>(*Captions.Items().Items(Index)->Picture().Graphic()).View();
    for (int x = caption.Width - 1; x >= 0; --x)
        for (int y = 0; y < caption.Height; ++y)
            if (caption.Read(x, y) != cloud.Read(x, y)) return x;
    return -1;
}

} // namespace

TEST(OwnInvitation, OneLineRunsOverAndOverAndOneYearStopsAtOnce) {
    ShowRig run(5, RigStart::Later);
    run.Content.Lines = {"/3hi"};
    run.Content.FirstYear = run.Content.LastYear = 2024;
    run.Content.Date = "Samedi 19 septembre 2026"; // 24 characters: too wide at the date's size
    run.Create();
    TMainForm& form = *run.Form;
    const std::vector<Stint> stints = PlayText(run, 2400);
    ExpectLinesAfterTheText(form);
    ExpectTextOrder(form, stints, 5);

    // The one caption slid in and stopped at x 290; the date and time followed.
    EXPECT_EQ(form.Year, 2025);
    EXPECT_TRUE(form.YearSlide->Visible && !form.YearSlide->Enabled);
    EXPECT_EQ(form.YearSlide->Value, 290);
    EXPECT_EQ(form.DateSlide->Value, 10);
    EXPECT_EQ(form.TimeSlide->Value, 490);
    ASSERT_EQ(form.yearlist->Items().Count(), 4);
    // The long date is lettered inside its cloud; the built-in time keeps its place.
    const int dateEnd = RightmostLettering(*form.yearlist, 2);
    EXPECT_GT(dateEnd, 150);
    EXPECT_LE(dateEnd, 290);
}

TEST(OwnInvitation, ThirtyLinesFollowOneAnotherAndWrapForSeveralPasses) {
    ShowRig run(9, RigStart::Later);
    run.Content.Lines.clear();
    const char* texts[] = {"", "/1a", "/2é€", "/3x 𝄞"};
    size_t glyphs = 0;
    for (int i = 0; i < 30; ++i) {
        run.Content.Lines.push_back(texts[i % 4]);
        const std::string_view text = texts[i % 4];
        const size_t characters = Utf8CharacterCount(text.substr(std::min<size_t>(2, text.size())));
        glyphs += characters - (text.find(' ') != std::string_view::npos);
    }
    run.Create();
    TMainForm& form = *run.Form;
    // One glyph per non-blank character, whatever its length in bytes.
    EXPECT_EQ(size_t(form.charlist->Items().Count()), glyphs + 1);
    const std::vector<Stint> stints = PlayText(run, 8300);
    ExpectLinesAfterTheText(form);
    ExpectTextOrder(form, stints, 2);
}
