// The scene of one frame, everything but the running text: backgrounds and the
// dawn blend, sun, stars, moon, captions, the sea line and wave streaks, and
// the boat riding the sea line. Each tween drawn with is advanced here, once.
#include "core/numeric.h"
#include "render/direct_draw_surface.h"
#include "show/main_form.h"

namespace {

// A whole number of turns in 256ths: the sun's angle count from dawn folds back
// here, which the drawing (angle modulo 256) cannot tell, before it could overflow.
constexpr int32_t kSunAngleFold = 256 * 256;

void AdvanceIfEnabled(TFxEvent& Event) {
    if (Event.Enabled) Event.Advance();
}

} // namespace

void TMainForm::DrawScene() {
    KeepSeaAcrossScreen();
    if (Stage == 2)
        DrawDayScene();
    else if (Stage <= 1)
        DrawNightScene();
}

// The ImageList image of that name, or nullptr when the stage has none.
TPictureCollectionItem* TMainForm::Scene(const std::string& Name) const {
    const int index = ImageList->Items().Find(Name);
    return index < 0 ? nullptr : ImageList->Items().Items(index);
}

void TMainForm::DrawDayScene() {
    if (auto* day = Scene("bgnd_day")) day->Draw(DS->Surface(), 0, 0, 0);
    AdvanceIfEnabled(*YearDelay);
    // Text lines are drawn and advanced here and again by DrawCharacters: two steps a frame.
    for (const auto& line : *Lines) {
        if (!line->Sinus->Enabled) continue;
        if (line->Kind != kTextLine)
            DrawPolyline(*line);
        else
            DrawLineCharacters(*line);
        line->Sinus->Advance();
    }
    if (SunRise->Visible) {
        AdvanceIfEnabled(*SunRise);
        DrawSun();
        // An angle above 256 from dawn keeps growing, up to the fold.
        if (++SunAngle == 256 || SunAngle == kSunAngleFold) SunAngle = 0;
    }
    const std::pair<TFxEvent*, int> captions[] = {{YearSlide, 1}, {DateSlide, 2}, {TimeSlide, 3}};
    for (const auto& [slide, image] : captions) {
        if (!slide->Visible) continue;
        AdvanceIfEnabled(*slide);
        if (image < yearlist->Items().Count())
            yearlist->Items().Items(image)->DrawAlpha(DS->Surface(),
                                                      Bounds(slide->Value, slide->TagY, 300, 157), 0, 100);
    }
    if (BoatTravel->Enabled) DriftBoat();
}

void TMainForm::DrawNightScene() {
    if (SeaColor->Enabled) SeaColor->AdvanceColor();
    AdvanceIfEnabled(*CharPulse);
    AdvanceIfEnabled(*BoatAlpha);
    DrawNightBackground();
    AdvanceIfEnabled(*BoatDelay);
    AdvanceIfEnabled(*DawnDelay);
    if (SunRise->Visible) {
        AdvanceIfEnabled(*SunRise);
        DrawSun();
        if (++SunAngle == 360) SunAngle = 1;
    }
    for (TFxEvent* star : {Star1, Star2}) {
        if (!star->Visible) continue;
        AdvanceIfEnabled(*star);
        const int32_t v = star->Value;
        if (auto* image = Scene("star"))
            image->StretchDraw(DS->Surface(),
                               Rect(star->TagX - v, star->TagY - v, star->TagX + v, star->TagY + v), 0);
    }
    if (MoonTravel->Visible) {
        AdvanceIfEnabled(*MoonTravel);
        const int32_t m = MoonTravel->Value;
        if (auto* moon = Scene("moon"))
            moon->DrawAlpha(DS->Surface(), Rect(m, 30, m + 50, 103), 0, DawnFade->Value);
    }
    for (const auto& line : *Lines) {
        if (!line->Sinus->Enabled || line->Kind == kTextLine) continue;
        DrawPolyline(*line);
        line->Sinus->Advance();
    }
    if (BoatTravel->Enabled) AdvanceBoat();
}

// Night: the night picture. Dawn: the blend step DawnFade selects; when this
// very advance ended the dawn (the stage switched and the blends are gone), day.
void TMainForm::DrawNightBackground() {
    if (Stage == 1 && DawnFade->Visible) {
        AdvanceIfEnabled(*DawnFade);
        const int32_t step = Div(DawnFade->Value, 10);
        TPictureCollection& blends = BlendList->Items();
        if (Stage == 1 && step >= 0 && step < blends.Count())
            blends.Items(step)->Draw(DS->Surface(), 0, 0, 0);
        else if (Stage == 2)
            if (auto* day = Scene("bgnd_day")) day->Draw(DS->Surface(), 0, 0, 0);
    } else if (Stage == 0) {
        MakeNextBlend();
        if (auto* night = Scene("bgnd_night")) night->Draw(DS->Surface(), 0, 0, 0);
    }
}

// The boat travels along the sea line until it passes the middle of the
// screen; there it pauses, and the dawn is scheduled.
void TMainForm::AdvanceBoat() {
    if (BoatTravel->Paused) {
        DriftBoat();
        return;
    }
    const int32_t position = BoatTravel->Advance();
    BoatTravel->Tag = WrapAdd(SeaLine().XOffset->Value, BoatTravel->Value);
    DrawBoat(position);
    if (BoatTravel->Tag > Div(DS->Width(), 2)) {
        BoatTravel->Paused = true;
        BoatPos = static_cast<float>(BoatTravel->Value);
        DawnDelay->Start();
    }
}

// The paused boat: the sea scrolls 3.4 pixels a frame to the left, so moving
// 3.4 along the sea line keeps the boat still on screen while it rides the
// waves. The float sum rounds each step the same way within a power of two, so
// the boat wanders a few pixels in the sea's first run; once the sea line has
// moved back (KeepSeaAcrossScreen), the boat stands at its screen x exactly
// and its place on the line follows from it, so the wander cannot add up.
void TMainForm::DriftBoat() {
    const int32_t seaX = SeaLine().XOffset->Value;
    if (FBoatHeld)
        BoatPos = static_cast<float>(WrapSub(BoatTravel->Tag, seaX));
    else
        BoatPos = static_cast<float>(static_cast<long double>(BoatPos) + 3.4L);
    const int32_t position = TruncInt32(BoatPos);
    BoatTravel->Tag = WrapAdd(seaX, position);
    DrawBoat(position);
}

// The boat at sea-line position Position: standing on the wave, tilted with it,
// growing with CharPulse.
void TMainForm::DrawBoat(int32_t Position) {
    int32_t y = 0;
    const int32_t tilt = SeaLine().GetPointAt(Position, y);
    const int32_t pulse = CharPulse->Value;
    if (auto* boat = Scene("bootje"))
        boat->DrawRotateAlpha(DS->Surface(), BoatTravel->Tag, y + 2 + pulse, 2 * pulse + 60, 2 * pulse + 52,
                              0, 0.5, 1.0, tilt, BoatAlpha->Value);
}

void TMainForm::DrawSun() {
    if (auto* sun = Scene("sun"))
        sun->DrawRotateAlpha(DS->Surface(), 350, SunRise->Value, 250, 250, 0, 0.5, 0.5, SunAngle, 210);
}

// A sea line or wave streak as a polyline through its visible points, lowered
// by CharPulse; invisible points are skipped, so only visible points are joined.
void TMainForm::DrawPolyline(const TTextEffect& Line) {
    TDirectDrawSurfaceCanvas& canvas = DS->Surface()->Canvas();
    canvas.Pen.Width = Line.Kind == kWaveStreak ? 3 : 6;
    bool first = true;
    for (int32_t j = 0; j <= Line.Sinus->ItemCount; ++j) {
        int32_t x = 0, y = 0;
        if (!Line.Sinus->ColumnVisible(j) || !Line.Sinus->GetPosition(j, x, y)) continue;
        if (first)
            canvas.MoveTo(x, y + CharPulse->Value);
        else
            canvas.LineTo(x, y + CharPulse->Value);
        first = false;
    }
}

TSinus& TMainForm::SeaLine() const {
    return *(*Lines)[size_t(TextLineCount())]->Sinus;
}
