// The moving lines: parsing the invitation into text lines, building the sea
// line and the wave streaks, placing a line on its sine path, and drawing the
// running text letter by letter.
#include <algorithm>

#include "core/numeric.h"
#include "core/random.h"
#include "show/main_form.h"
#include "show/utf8.h"

namespace {

constexpr int32_t kItemStep = 20;  // pixels between neighbouring letters or wave points
constexpr int32_t kGlyphSize = 20; // glyphs are 40 x 40 images drawn at half size

} // namespace

// Each call consumes one character, or a colour marker ("/" and one character)
// together with what follows it. Kind is the 1-based parse cursor, counted in
// bytes: it rests on the last byte of what was consumed, so a character of
// several UTF-8 bytes is one character and one glyph.
bool TMainForm::BuildLine(TTextEffect& Line, const std::string& Text) {
    const auto length = static_cast<int32_t>(Text.size());
    if (length < Line.Kind) return false;
    ++Line.Kind;
    if (length < Line.Kind) return true;
    if (Text[Line.Kind - 1] == '/') {
        ++Line.Kind;
        // Only the one character after the slash counts; a non-digit or nothing gives colour 1.
        const size_t bytes = Utf8CharacterLength(Text, size_t(Line.Kind) - 1);
        const std::string marker = bytes > 0 ? Text.substr(Line.Kind - 1, bytes) : std::string();
        Line.ColorIndex = static_cast<uint8_t>(StrToIntDef(marker, 1));
        if (bytes > 1) Line.Kind += static_cast<int32_t>(bytes) - 1;
        BuildLine(Line, Text);
        return true;
    }
    auto character = std::make_unique<TCharacter>();
    if (Text[Line.Kind - 1] == ' ') {
        character->Glyph = -1;
    } else {
        MakeGlyph(Line, Text);
        character->Glyph = charlist->Items().Count() - 1;
        Line.Kind += static_cast<int32_t>(Utf8CharacterLength(Text, size_t(Line.Kind) - 1)) - 1;
    }
    Line.Chars->push_back(std::move(character));
    ++Line.CharCount;
    return true;
}

// The invitation's text lines, then the sea line and the three wave streaks.
void TMainForm::BuildLines() {
    const int32_t seaIndex = TextLineCount();
    for (int32_t index = 0; index < seaIndex; ++index) {
        TTextEffect& line = *Lines->emplace_back(std::make_unique<TTextEffect>());
        line.Chars = std::make_unique<std::vector<std::unique_ptr<TCharacter>>>();
        line.Sinus = new TSinus(this);
        const std::string& text = FInvitation.Lines[size_t(index)];
        while (BuildLine(line, text)) {
        }
        InitSinus(*line.Sinus, true, line.CharCount, 0, line.CharCount * 10 + 200);
        line.Sinus->Tag = index;
        line.Kind = kTextLine;
        line.Sinus->Enabled = false;
    }
    FGlyphPictures.clear(); // the glyph images keep their pixels
    for (int32_t index = seaIndex; index <= seaIndex + 3; ++index) {
        TTextEffect& line = *Lines->emplace_back(std::make_unique<TTextEffect>());
        line.Sinus = new TSinus(this);
        if (index == seaIndex) {
            InitSinus(*line.Sinus, false, 2000, 0, 12000);
            line.Sinus->Tag = index;
            line.Kind = kSeaLine;
            continue;
        }
        const int32_t count = Random(25) + 5;
        const int32_t slot = PickLineSlot(index);
        const int32_t duration = 400 - Random(200);
        InitSinus(*line.Sinus, true, count, slot, duration);
        line.Sinus->Tag = index;
        line.Kind = kWaveStreak;
        line.Sinus->Enabled = false;
    }
}

// A row path (text lines, wave streaks) swells gently around row Slot; the sea
// path is a long, slowly rolling line across the whole screen at y 260.
void TMainForm::InitSinus(TSinus& Sinus, bool RowPath, int32_t ItemCount, int32_t Slot, int32_t Duration) {
    Sinus.SetDuration(Duration);
    Sinus.Amp->ValueIn = RowPath ? Slot + 10 : 10;
    Sinus.Amp->ValueOut = RowPath ? Slot + 5 : 5;
    Sinus.Amp->Method = xAccDec;
    Sinus.Amp->Repeats = RowPath ? 5 : 300;
    Sinus.YOffset->SetValues(RowPath ? Slot * 40 + 260 : 260);
    Sinus.SinusOffset->ValueIn = 0;
    Sinus.SinusOffset->ValueOut = RowPath ? DS->Width() : 32000;
    // CharPulse is read once, here: a running row keeps its wavelength.
    Sinus.Freq->SetValues(RowPath ? Slot * 10 + 300 - CharPulse->Value : 400);
    if (ItemCount != 0) Sinus.ItemCount = ItemCount;
    Sinus.Width->SetValues(RowPath ? 800 : DS->Width());
    Sinus.SetVisibleRect(-20, 0, DS->Width() + 20, DS->Height());
    Sinus.Step = kItemStep;
    // The string of items slides in from the right edge until its last item
    // stands one step left of the screen.
    Sinus.XOffset->ValueIn = DS->Width();
    Sinus.XOffset->ValueOut = WrapNeg(WrapMul(Sinus.ItemCount, Sinus.Step));
    Sinus.XOffset->OnDone = [this](TObject* Sender) { EffectDone(Sender); };
    Sinus.Start();
}

// Fewer than six lines ever hold a row at once, so the draw always ends.
int32_t TMainForm::PickLineSlot(int32_t Index) {
    int32_t slot = 0;
    do {
        slot = Random(6) + 1;
    } while (
        std::any_of(Lines->begin(), Lines->end(), [slot](const auto& line) { return line->Slot == slot; }));
    (*Lines)[static_cast<size_t>(Index)]->Slot = slot;
    return slot;
}

void TMainForm::DrawCharacters() {
    for (const auto& line : *Lines) {
        if (!line->Sinus->Enabled || line->Kind != kTextLine) continue;
        DrawLineCharacters(*line);
        line->Sinus->Advance();
    }
}

// Every visible, non-blank letter of a text line, turned by its path's tilt and
// lowered by CharPulse (the visibility test uses the path's own y).
void TMainForm::DrawLineCharacters(const TTextEffect& Line) {
    TPictureCollection& glyphs = charlist->Items();
    for (size_t j = 0; j < Line.Chars->size(); ++j) {
        const int32_t glyph = (*Line.Chars)[j]->Glyph;
        int32_t x = 0, y = 0, tilt = 0;
        const auto index = static_cast<int32_t>(j);
        // Letters off to the side cost no sines (most of a long line is).
        if (glyph == -1 || !Line.Sinus->ColumnVisible(index) || !Line.Sinus->GetPosition(index, x, y, tilt))
            continue;
        glyphs.Items(glyph)->DrawRotate(DS->Surface(), x, y + CharPulse->Value, kGlyphSize, kGlyphSize, 0,
                                        0.5, 0.5, tilt);
    }
}
