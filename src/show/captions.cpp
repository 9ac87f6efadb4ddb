// Text rendered once into images: one glyph per letter of the invitation, the
// year captions and the closing date and time, each written on a copy of a
// stored picture (the blank glyph template, the cloud) and appended to a list.
#include "core/numeric.h"
#include "platform/text_renderer.h"
#include "render/dib.h"
#include "render/picture.h"
#include "show/main_form.h"
#include "show/utf8.h"

namespace {

constexpr uint32_t kNavy = 0x800000;
constexpr uint32_t kWhite = 0xFFFFFF;

// The font colour of a line's colour number: 1 black, 2 red, 3 blue, 4 green, any other purple.
uint32_t GlyphColor(uint8_t ColorIndex) {
    switch (ColorIndex) {
    case 1:
        return 0x000000;
    case 2:
        return 0x0000FF;
    case 3:
        return 0xFF0000;
    case 4:
        return 0x008000;
    default:
        return 0x800080;
    }
}

struct Lettering {
    uint32_t Color;
    int Size; // points
    bool ClearBrush;
    int X, Y;
    std::string Text;
};

FontSpec LetteringFont(const Lettering& Text) {
    FontSpec font;
    font.Name = kLetteringFont;
    font.Size = Text.Size;
    font.Bold = true;
    return font;
}

// Lettering must end this far inside the right edge of its picture. The
// built-in captions end 34 pixels or more inside it (some 18 with Verdana
// itself, which is wider than its substitutes), so they never shrink.
constexpr int kRightMargin = 10;

// Lettering too wide for a picture of Width pixels is drawn smaller until it
// fits, and lowered by half the height it lost so that it keeps its middle.
// Lettering that fits stays as it is.
Lettering FitWidth(Lettering Text, int Width) {
    const int room = Width - kRightMargin - Text.X;
    const int fullHeight = MeasureText(LetteringFont(Text), Text.Text).Height;
    while (Text.Size > 1 && MeasureText(LetteringFont(Text), Text.Text).Width > room)
        --Text.Size;
    Text.Y += (fullHeight - MeasureText(LetteringFont(Text), Text.Text).Height) / 2;
    return Text;
}

// Writes the lettering in bold Verdana on Dib, a private copy of Source's picture.
void Letter(TDIB& Dib, TPictureCollectionItem& Source, const Lettering& Text) {
    Dib.Assign(&Source.Picture());
    Canvas& canvas = Dib.Canvas();
    canvas.Font = LetteringFont(Text);
    canvas.Font.Color = Text.Color;
    if (Text.ClearBrush) canvas.Brush.Style = bsClear;
    canvas.TextOut(Text.X, Text.Y, Text.Text);
}

// Appends Picture to List as a white-keyed image in system memory (its pixels
// shared with Picture until either side changes them).
void AppendImage(TDXImageList& List, const TDIB& Picture) {
    auto* item = new TPictureCollectionItem(&List.Items());
    item->SystemMemory = true;
    item->Picture().SetGraphic(&Picture);
    item->Transparent = true;
    item->SetTransparentColor(kWhite);
    item->Restore();
}

void AppendLetteredImage(TDXImageList& List, TPictureCollectionItem& Source, const Lettering& Text) {
    TDIB dib;
    Letter(dib, Source, Text);
    AppendImage(List, dib);
}

} // namespace

// Every character gets an image of its own, but the same letter in the same
// colour is lettered once: its images share their pixels, which keeps a long
// invitation's thousands of glyphs small.
void TMainForm::MakeGlyph(const TTextEffect& Line, const std::string& Text) {
    const size_t start = size_t(Line.Kind) - 1;
    const uint32_t color = GlyphColor(Line.ColorIndex);
    const auto key = std::make_pair(Text.substr(start, Utf8CharacterLength(Text, start)), color);
    auto found = FGlyphPictures.find(key);
    if (found == FGlyphPictures.end()) {
        auto dib = std::make_unique<TDIB>();
        // The solid white brush of a fresh canvas boxes the letter in white.
        Letter(*dib, *charlist->Items().Items(0), {color, 24, false, 0, 0, key.first});
        found = FGlyphPictures.emplace(key, std::move(dib)).first;
    }
    AppendImage(*charlist, *found->second);
}

void TMainForm::RenderYearCaption() {
    TPictureCollection& captions = yearlist->Items();
    if (captions.Count() > 1) delete captions.Items(1);
    TPictureCollectionItem& cloud = *captions.Items(0);
    AppendLetteredImage(*yearlist, cloud, FitWidth({kNavy, 64, true, 30, 30, IntToStr(Year)}, cloud.Width()));
    Year = WrapAdd(Year, 1);
}

void TMainForm::RenderDateCaption() {
    TPictureCollectionItem& cloud = *yearlist->Items().Items(0);
    AppendLetteredImage(*yearlist, cloud,
                        FitWidth({kNavy, 42, true, 30, 40, FInvitation.Date}, cloud.Width()));
    AppendLetteredImage(*yearlist, cloud,
                        FitWidth({kNavy, 50, true, 40, 40, FInvitation.Time}, cloud.Width()));
}
