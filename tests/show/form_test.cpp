// The main form: the tweens as start-up leaves them (the random places in
// their ranges), the timer started by the display, closing on Escape alone,
// and frames that wait while the display cannot draw.
#include <gtest/gtest.h>

#include <climits>

#include "show/show_rig.h"

namespace {

constexpr int32_t kDrawn = INT32_MIN; // a tag drawn at random, checked on its own

struct EventRow {
    const char* Name;
    TFxEvent* TMainForm::*Event;
    int32_t ValueIn, ValueOut, Duration;
    TFxMethod Method;
    bool Visible, Enabled;
    int32_t TagX, TagY;
    bool HasOnDone;
    int32_t Repeats;
};

} // namespace

TEST(Form, StartUpSetsEveryTweenAndDrawsTheRandomPlacesInRange) {
    constexpr uint32_t kSeed = 4242;
    ShowRig rig(kSeed, RigStart::Later);
    rig.Create(FUIFJE_BUILD_DIR, false);
    TMainForm& form = *rig.Form;

    // Stage 0 has started BoatDelay, the stars and the moon, which makes them visible.
    const EventRow rows[] = {
        {"YearDelay", &TMainForm::YearDelay, 0, 100, 250, xLinear, true, false, 0, 0, true, 0},
        {"DateSlide", &TMainForm::DateSlide, -300, 10, 75, xLinear, false, false, 0, 10, true, 0},
        {"TimeSlide", &TMainForm::TimeSlide, 800, 490, 75, xLinear, false, false, 0, 135, true, 0},
        {"YearSlide", &TMainForm::YearSlide, 800, -350, 150, xLinear, false, false, 0, kDrawn, true, 0},
        {"SunRise", &TMainForm::SunRise, -200, 100, 300, xLinear, false, false, 0, 0, false, 0},
        {"CharPulse", &TMainForm::CharPulse, 0, 60, 100, xAcc, false, false, 0, 0, true, 0},
        {"DawnFade", &TMainForm::DawnFade, 255, 0, 300, xAcc, false, false, 0, 0, true, 0},
        {"BoatAlpha", &TMainForm::BoatAlpha, 170, 255, 300, xAcc, true, false, 0, 0, false, 0},
        {"DawnDelay", &TMainForm::DawnDelay, 0, 0, 230, xLinear, true, false, 0, 0, true, 0},
        {"BoatDelay", &TMainForm::BoatDelay, 0, 0, 250, xLinear, true, true, 0, 0, true, 0},
        {"BoatTravel", &TMainForm::BoatTravel, 0, 3200, 800, xLinear, true, false, 0, 0, false, 0},
        {"MoonTravel", &TMainForm::MoonTravel, 1000, 0, 3000, xLinear, true, true, 0, 0, false, 0},
        {"Star1", &TMainForm::Star1, 0, 10, 20, xAcc, true, true, kDrawn, kDrawn, true, 1},
        {"Star2", &TMainForm::Star2, 0, 5, 10, xAcc, true, true, 0, 0, true, 1},
    };
    for (const EventRow& row : rows) {
        SCOPED_TRACE(row.Name);
        const TFxEvent& event = *(form.*row.Event);
        EXPECT_EQ(event.Owner(), &form);
        EXPECT_EQ(event.ValueIn, row.ValueIn);
        EXPECT_EQ(event.ValueOut, row.ValueOut);
        EXPECT_EQ(event.Duration, row.Duration);
        EXPECT_EQ(event.Method, row.Method);
        EXPECT_EQ(event.Visible, row.Visible);
        EXPECT_EQ(event.Enabled, row.Enabled);
        if (row.TagX != kDrawn) {
            EXPECT_EQ(event.TagX, row.TagX);
        }
        if (row.TagY != kDrawn) {
            EXPECT_EQ(event.TagY, row.TagY);
        }
        EXPECT_EQ(bool(event.OnDone), row.HasOnDone);
        EXPECT_EQ(event.Repeats, row.Repeats);
    }
    // Both hold their start values while disabled.
    EXPECT_EQ(form.DawnFade->Value, 255);
    EXPECT_EQ(form.BoatAlpha->Value, 170);

    // The places drawn at random lie in their ranges: the year captions' row,
    // and the first star somewhere across the display and in the upper sky.
    EXPECT_GE(form.YearSlide->TagY, 10);
    EXPECT_LT(form.YearSlide->TagY, 110);
    EXPECT_GE(form.Star1->TagX, 0);
    EXPECT_LT(form.Star1->TagX, form.DS->Width());
    EXPECT_GE(form.Star1->TagY, 0);
    EXPECT_LT(form.Star1->TagY, 200);

    EXPECT_EQ(form.SeaColor->BeginColor, "000000");
    EXPECT_EQ(form.SeaColor->EndColor, "EED6B4");
    EXPECT_EQ(form.SeaColor->Duration, 300);
    EXPECT_FALSE(form.SeaColor->Enabled);
    EXPECT_EQ(form.SeaColor->GetColor(), "$000000");

    EXPECT_EQ(form.Year, 1975);
    EXPECT_EQ(form.Stage, 0);
    EXPECT_EQ(form.GraphPath, std::string(FUIFJE_BUILD_DIR) + "graph/");

    // Frames start only once the shown display initializes and enables the timer.
    EXPECT_FALSE(form.DXTimer->Enabled());
    EXPECT_FALSE(form.DS->Initialized());
    form.Show();
    EXPECT_TRUE(form.DS->Initialized());
    EXPECT_TRUE(form.DXTimer->Enabled());
    // The window is titled as the invitation.
    EXPECT_EQ(rig.Platform.HeadlessScreen->Caption(), "Fuifje");
}

TEST(Form, OnlyEscapeClosesTheShowAndFreesTheAudio) {
    ShowRig run;
    Application& app = *run.Platform.App;
    const size_t audioCalls = run.Audio.Calls().size();
    for (uint16_t key :
         {uint16_t('A'), uint16_t('Q'), uint16_t(13), uint16_t(32), uint16_t(8), uint16_t(112)}) {
        run.Platform.HeadlessApp->PostKey(key);
        app.ProcessMessages();
        EXPECT_FALSE(app.Terminated()) << "key " << key;
    }
    EXPECT_EQ(run.Audio.Calls().size(), audioCalls);
    EXPECT_EQ(run.Frame(), 1);

    run.Platform.HeadlessApp->PostKey(kKeyEscape);
    app.ProcessMessages();
    EXPECT_TRUE(app.Terminated());
    const std::vector<std::string> closing(run.Audio.Calls().begin() + long(audioCalls),
                                           run.Audio.Calls().end());
    EXPECT_EQ(closing, (std::vector<std::string>{"StreamFree(1)", "Free()"}));
    // The display is gone with the form's window, and its finalization stopped the timer.
    EXPECT_FALSE(run.Form->DS->Initialized());
    EXPECT_FALSE(run.Form->DXTimer->Enabled());
}

TEST(Form, NoFrameWhileTheDisplayCannotDraw) {
    ShowRig run;
    TMainForm& form = *run.Form;
    for (int i = 0; i < 3; ++i)
        run.Frame();
    TDirectDrawSurface& glyphSurface = *form.charlist->Items().Items(1)->Patterns(0).Surface;
    glyphSurface.Buffer().SetLost(true);
    PixelBuffer& back = form.DS->Surface()->Buffer();
    back.SetLost(true);
    back.SetRestoreBlocked(true);

    struct Moving {
        int32_t BoatDelay, Star1, Moon, Sea, SunAngle;
        bool operator==(const Moving&) const = default;
    };
    auto moving = [&form] {
        return Moving{form.BoatDelay->Count, form.Star1->Count, form.MoonTravel->Value,
                      form.SeaLine().XOffset->Count, form.SunAngle};
    };
    const Moving paused = moving();
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(run.Frame(), 3);
    EXPECT_FALSE(form.DS->CanDraw());
    EXPECT_TRUE(moving() == paused);

    back.SetRestoreBlocked(false);
    EXPECT_EQ(run.Frame(), 4);
    EXPECT_EQ(form.BoatDelay->Count, paused.BoatDelay + 1);
    EXPECT_EQ(form.SeaLine().XOffset->Count, paused.Sea + 1);
    // The restore told the image lists, which made their surfaces anew.
    EXPECT_FALSE(form.charlist->Items().Items(1)->Patterns(0).Surface->IsLost());
}

// Destroying a form whose display is still up (an exception leaving the
// frame loop, or any test fixture) finalizes the display only when the form's
// components are being freed: its OnFinalize handler then runs on a form that
// is half gone and stops a timer that was already freed.
TEST(Form, DestroyingAShownFormFinalizesTheDisplayWhileTheFormIsWhole) {
    ShowRig run;
    const TComponent& owner = *run.Form;
    const TComponent* timer = run.Form->DXTimer;
    bool finalized = false, timerAlive = false;
    // Stands in for DSFinalize and only looks at what the form still owns.
    run.Form->DS->OnFinalize = [&owner, timer, &finalized, &timerAlive](TObject*) {
        finalized = true;
        for (int i = 0; i < owner.ComponentCount(); ++i)
            timerAlive |= owner.Components(i) == timer;
    };
    run.Form.reset();
    EXPECT_TRUE(finalized);
    EXPECT_TRUE(timerAlive);
}
