// The text lines: parsing with colour markers into characters and glyphs, the
// fifteen lines built at start-up, placing a line on its path, and drawing the
// running text letter by letter.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "render/dib.h"
#include "render/picture.h"
#include "show/show_rig.h"

namespace {

constexpr uint32_t kBlack = RGB(0, 0, 0);
constexpr uint32_t kRed = RGB(255, 0, 0);
constexpr uint32_t kBlue = RGB(0, 0, 255);
constexpr uint32_t kPurple = RGB(128, 0, 128);

const TDIB& GlyphImage(TMainForm& Form, int Index) {
    return dynamic_cast<const TDIB&>(*Form.charlist->Items().Items(Index)->Picture().Graphic());
}

struct BuildCase {
    const char* Name;
    std::string Text;
    int Calls; // calls until BuildLine returns False, that one included
    uint8_t ColorIndex;
    std::vector<bool> Blanks;          // per character: a blank (Glyph -1)?
    std::vector<uint32_t> GlyphColors; // the letter colour of each new image
};

std::vector<uint32_t> PixelsOf(const PixelView& View) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < View.Height; ++y)
        for (int x = 0; x < View.Width; ++x)
            pixels.push_back(View.Read(x, y));
    return pixels;
}

int ChangedPixels(const std::vector<uint32_t>& Before, const PixelView& After) {
    const std::vector<uint32_t> after = PixelsOf(After);
    int changed = 0;
    for (size_t i = 0; i < after.size(); ++i)
        changed += after[i] != Before[i];
    return changed;
}

} // namespace

TEST(TextLines, BuildLineReadsMarkersCharactersAndBlanks) {
    ShowRig run;
    TMainForm& form = *run.Form;
    const BuildCase cases[] = {
        {"empty text", "", 2, 0, {}, {}},
        {"marker 1 and two letters", "/1ab", 4, 1, {false, false}, {kBlack, kBlack}},
        {"marker with a letter gives 1", "/xy", 3, 1, {false}, {kBlack}},
        {"marker 0 is purple", "/0x", 3, 0, {false}, {kPurple}},
        {"marker 7 is purple", "/7x", 3, 7, {false}, {kPurple}},
        {"marker in the middle", "a/3b", 4, 3, {false, false}, {kPurple, kBlue}},
        {"marker alone", "/2", 2, 2, {}, {}},
        {"slash at the very end", "ab/", 4, 1, {false, false}, {kPurple, kPurple}},
        {"blank keeps its place", "a b", 5, 0, {false, true, false}, {kPurple, kPurple}},
        {"second marker read by the nested call", "/1/2x", 3, 2, {false}, {kRed}},
        {"only one byte after the slash counts", "/12", 3, 1, {false}, {kBlack}},
    };
    for (const BuildCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TTextEffect line;
        line.Chars = std::make_unique<std::vector<std::unique_ptr<TCharacter>>>();
        const int imagesBefore = form.charlist->Items().Count();
        // The first call consumes a marker together with what follows it.
        int calls = 1;
        while (form.BuildLine(line, c.Text))
            ++calls;
        EXPECT_EQ(calls, c.Calls);
        EXPECT_FALSE(form.BuildLine(line, c.Text));
        EXPECT_EQ(line.Kind, int32_t(c.Text.size()) + 1);
        EXPECT_EQ(line.ColorIndex, c.ColorIndex);
        EXPECT_EQ(line.CharCount, int32_t(c.Blanks.size()));
        ASSERT_EQ(line.Chars->size(), c.Blanks.size());
        ASSERT_EQ(form.charlist->Items().Count() - imagesBefore, int(c.GlyphColors.size()));
        // Glyphs are new images in reading order; blanks get none.
        int nextImage = imagesBefore;
        for (size_t j = 0; j < c.Blanks.size(); ++j)
            EXPECT_EQ((*line.Chars)[j]->Glyph, c.Blanks[j] ? -1 : nextImage++) << "character " << j;
        for (size_t k = 0; k < c.GlyphColors.size(); ++k) {
            const TDIB& glyph = GlyphImage(form, imagesBefore + int(k));
            EXPECT_EQ(glyph.Width(), 40);
            EXPECT_EQ(glyph.Height(), 40);
            // Antialiased edges mix the colour with white; fully covered pixels hold it.
            EXPECT_EQ(DarkestColor(glyph.View()), c.GlyphColors[k]) << "image " << k;
            EXPECT_EQ(UnpackColor(glyph.View().Format, glyph.View().Read(39, 39)), RGB(255, 255, 255));
            TPictureCollectionItem& item = *form.charlist->Items().Items(imagesBefore + int(k));
            EXPECT_TRUE(item.Transparent && item.SystemMemory);
            EXPECT_EQ(item.TransparentColor(), 0xFFFFFFu);
        }
    }
}

TEST(TextLines, StartUpBuildsTheWholeTable) {
    ShowRig run(77);
    TMainForm& form = *run.Form;
    const std::vector<std::string>& table = Invitation().Lines;
    ASSERT_EQ(form.Lines->size(), table.size() + 4);

    // Each entry of the table: its colour marker, then characters; blanks get no glyph.
    int nextGlyph = 1; // image 0 is the template; the first letter of line 0 gets image 1
    for (size_t i = 0; i < table.size(); ++i) {
        SCOPED_TRACE("line " + std::to_string(i));
        const TTextEffect& line = *(*form.Lines)[i];
        const std::string_view entry = table[i];
        const std::string text(entry.substr(std::min<size_t>(2, entry.size())));
        const int32_t chars = int32_t(text.size());
        EXPECT_EQ(line.Kind, 0);
        EXPECT_EQ(line.CharCount, chars);
        EXPECT_EQ(line.ColorIndex, entry.empty() ? 0 : entry[1] - '0');
        EXPECT_EQ(line.Slot, 0);
        EXPECT_EQ(line.Sinus->GetDuration(), chars * 10 + 200);
        EXPECT_EQ(line.Sinus->ItemCount, chars);
        EXPECT_EQ(line.Sinus->Tag, int32_t(i));
        EXPECT_FALSE(line.Sinus->Enabled);
        ASSERT_EQ(line.Chars->size(), text.size());
        for (size_t j = 0; j < text.size(); ++j)
            EXPECT_EQ((*line.Chars)[j]->Glyph, text[j] == ' ' ? -1 : nextGlyph++) << "character " << j;
    }
    EXPECT_EQ(form.charlist->Items().Count(), nextGlyph);

    const TTextEffect& sea = *(*form.Lines)[11];
    EXPECT_EQ(sea.Kind, -1);
    EXPECT_EQ(sea.Slot, 0);
    EXPECT_EQ(sea.Sinus->ItemCount, 2000);
    EXPECT_EQ(sea.Sinus->GetDuration(), 12000);
    EXPECT_TRUE(sea.Sinus->Enabled);
    EXPECT_EQ(sea.Chars, nullptr);

    // The three wave streaks: 5 to 29 items, 201 to 400 steps, on three distinct rows of 1 to 6.
    std::set<int32_t> rows;
    for (size_t i = 12; i <= 14; ++i) {
        SCOPED_TRACE("streak " + std::to_string(i));
        const TTextEffect& streak = *(*form.Lines)[i];
        EXPECT_EQ(streak.Kind, -2);
        EXPECT_EQ(streak.Sinus->Tag, int32_t(i));
        EXPECT_GE(streak.Sinus->ItemCount, 5);
        EXPECT_LE(streak.Sinus->ItemCount, 29);
        EXPECT_GE(streak.Sinus->GetDuration(), 201);
        EXPECT_LE(streak.Sinus->GetDuration(), 400);
        EXPECT_GE(streak.Slot, 1);
        EXPECT_LE(streak.Slot, 6);
        rows.insert(streak.Slot);
        EXPECT_FALSE(streak.Sinus->Enabled);
        EXPECT_EQ(streak.Chars, nullptr);
    }
    EXPECT_EQ(rows.size(), 3u);
}

TEST(TextLines, PickLineSlotAndInitSinusPlaceALine) {
    ShowRig rig(1, RigStart::Later);
    rig.Create(FUIFJE_BUILD_DIR, false);
    TMainForm& form = *rig.Form;
    auto& lines = *form.Lines;

    // Rows 2, 4 and 6 are held by the streaks; line 0's own row counts as held too.
    for (size_t i = 12; i <= 14; ++i)
        lines[i]->Slot = int32_t(i - 12) * 2 + 2;
    std::set<int32_t> picked;
    for (int draw = 0; draw < 200; ++draw) {
        lines[0]->Slot = 0;
        const int32_t slot = form.PickLineSlot(0);
        EXPECT_EQ(lines[0]->Slot, slot);
        picked.insert(slot);
    }
    EXPECT_EQ(picked, (std::set<int32_t>{1, 3, 5}));
    picked.clear();
    for (int draw = 0; draw < 100; ++draw) {
        lines[0]->Slot = 1;
        picked.insert(form.PickLineSlot(0));
    }
    EXPECT_EQ(picked, (std::set<int32_t>{3, 5}));

    // A display wider than 800 tells the row path's constant width from the display width.
    form.DS->SetBounds(0, 0, 1000, 600);
    form.CharPulse->Value = 40;
    TSinus& row = *lines[10]->Sinus; // the empty line
    form.InitSinus(row, true, 0, 2, 200);
    EXPECT_EQ(row.ItemCount, 0);
    EXPECT_EQ(row.XOffset->ValueIn, 1000);
    EXPECT_EQ(row.XOffset->ValueOut, 0);
    EXPECT_EQ(row.Width->ValueIn, 800);
    EXPECT_EQ(row.Width->ValueOut, 800);
    EXPECT_EQ(row.SinusOffset->ValueOut, 1000);
    EXPECT_EQ(row.YOffset->Value, 2 * 40 + 260);
    EXPECT_EQ(row.Amp->ValueIn, 12);
    EXPECT_EQ(row.Amp->ValueOut, 7);
    EXPECT_EQ(row.Amp->Repeats, 5);
    EXPECT_EQ(row.Amp->Method, xAccDec);
    EXPECT_EQ(row.Step, 20);
    EXPECT_EQ(row.GetDuration(), 200);
    EXPECT_TRUE(row.Enabled);
    EXPECT_TRUE(row.XOffset->OnDone);
    // The wavelength reads CharPulse once, when the path is placed.
    EXPECT_EQ(row.Freq->Value, 2 * 10 + 300 - 40);
    form.CharPulse->Value = 0;
    row.Advance();
    EXPECT_EQ(row.Freq->Value, 280);

    TSinus& kept = *lines[0]->Sinus;
    const int32_t chars = lines[0]->CharCount;
    form.InitSinus(kept, true, 0, 1, 660);
    EXPECT_EQ(kept.ItemCount, chars);
    EXPECT_EQ(kept.XOffset->ValueOut, -chars * 20); // the whole row runs off to the left

    TSinus& sea = *lines[11]->Sinus;
    form.InitSinus(sea, false, 200, 0, 12000);
    EXPECT_EQ(sea.ItemCount, 200);
    EXPECT_EQ(sea.Width->ValueIn, 1000);
    EXPECT_EQ(sea.SinusOffset->ValueOut, 32000);
    EXPECT_EQ(sea.Freq->Value, 400);
    EXPECT_EQ(sea.YOffset->Value, 260);
    EXPECT_EQ(sea.Amp->Repeats, 300);
    EXPECT_EQ(sea.XOffset->ValueOut, -4000);

    // The visible rectangle runs from (-20, 0) to (display width + 20, display height), edges included.
    struct Point {
        int32_t X, Y;
        bool Visible;
    };
    row.Amp->Value = 0; // item 0 then sits exactly at (XOffset, YOffset)
    for (const Point& p : {Point{-20, 0, true}, Point{-21, 300, false}, Point{1020, 600, true},
                           Point{1021, 300, false}, Point{500, -1, false}, Point{500, 601, false}}) {
        row.XOffset->Value = p.X;
        row.YOffset->Value = p.Y;
        int32_t x = 0, y = 0, tilt = 0;
        EXPECT_EQ(row.GetPosition(0, x, y, tilt), p.Visible) << p.X << ", " << p.Y;
    }
}

TEST(TextLines, DrawCharactersDrawsOnlyVisibleLettersOfRunningTextLines) {
    ShowRig run;
    TMainForm& form = *run.Form;
    TTextEffect& line = *(*form.Lines)[1]; // red letters
    TSinus& sea = *(*form.Lines)[11]->Sinus;
    TSinus& streak = *(*form.Lines)[12]->Sinus;
    streak.Enabled = true;
    std::vector<int32_t> glyphs;
    for (const auto& c : *line.Chars)
        glyphs.push_back(c->Glyph);

    struct DrawCase {
        const char* Name;
        std::function<void()> Change;
        bool Drawn;
        bool Advanced;
    };
    auto placeItems = [&](int32_t Y, int32_t Pulse) {
        line.Sinus->Amp->Value = 0;
        line.Sinus->YOffset->Value = Y;
        form.CharPulse->Value = Pulse;
    };
    const DrawCase cases[] = {
        {"a running text line", [] {}, true, true},
        {"blanks only",
         [&] {
             for (auto& c : *line.Chars)
                 c->Glyph = -1;
         },
         false, true},
        {"switched off", [&] { line.Sinus->Enabled = false; }, false, false},
        {"not a text line", [&] { line.Kind = -2; }, false, false},
        {"on the top edge, lowered", [&] { placeItems(0, 100); }, true, true},
        {"above the top, lowered into view", [&] { placeItems(-30, 100); }, false, true},
        {"below the bottom, raised into view", [&] { placeItems(630, -100); }, false, true},
    };
    for (const DrawCase& c : cases) {
        SCOPED_TRACE(c.Name);
        form.InitSinus(*line.Sinus, true, 0, 3, 610);
        for (int step = 0; step < 150; ++step)
            line.Sinus->Advance(); // letters across mid-screen
        line.Kind = 0;
        form.CharPulse->Value = 0;
        for (size_t j = 0; j < glyphs.size(); ++j)
            (*line.Chars)[j]->Glyph = glyphs[j];
        c.Change();
        const int32_t lineCount = line.Sinus->XOffset->Count;
        const int32_t seaCount = sea.XOffset->Count;
        const int32_t streakCount = streak.XOffset->Count;

        form.DS->BeginScene();
        form.DS->Surface()->Fill(PackColor(run.Back().Format, RGB(128, 128, 128)));
        const std::vector<uint32_t> before = PixelsOf(run.Back());
        form.DrawCharacters();
        form.DS->EndScene();

        EXPECT_EQ(ChangedPixels(before, run.Back()) > 0, c.Drawn);
        EXPECT_EQ(line.Sinus->XOffset->Count, lineCount + (c.Advanced ? 1 : 0));
        EXPECT_EQ(sea.XOffset->Count, seaCount);
        EXPECT_EQ(streak.XOffset->Count, streakCount);
    }
}
