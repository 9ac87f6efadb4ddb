// The show's sequencer: there is no script, only tweens whose end starts the
// next thing. EffectDone runs inside the Advance call that ended its sender,
// so the rest of that frame already sees what it changes.
#include "core/numeric.h"
#include "core/random.h"
#include "show/main_form.h"

void TMainForm::EffectDone(TObject* Sender) {
    if (Stage == 2) {
        if (Sender == YearDelay) {
            // With one year only, the first caption is the last and stops at once.
            if (Year == WrapAdd(FInvitation.LastYear, 1)) StopAtLastYear();
            YearSlide->Start();
        }
        if (Sender == DateSlide) DateSlide->Visible = true;
        if (Sender == TimeSlide) TimeSlide->Visible = true;
        if (Sender == YearSlide) {
            // The last year's caption stops at x 290 instead of flying on.
            if (Year == FInvitation.LastYear) StopAtLastYear();
            if (Year == WrapAdd(FInvitation.LastYear, 1)) {
                YearSlide->Visible = true;
                RenderDateCaption();
                DateSlide->Start();
                TimeSlide->Start();
            } else {
                RenderYearCaption();
                YearSlide->TagY = Random(100) + 10;
                YearSlide->Start();
            }
        }
        FinishedLine(Sender);
    }
    if (Stage == 0 || Stage == 1) {
        if (Sender == BoatDelay) {
            BoatTravel->Start();
            // The three wave streaks follow the sea line, which follows the text lines.
            for (size_t index = size_t(TextLineCount()) + 1; index < Lines->size(); ++index)
                if ((*Lines)[index]->Kind == kWaveStreak) (*Lines)[index]->Sinus->Enabled = true;
        }
        if (Sender == DawnDelay) SetStage(1);
        for (TFxEvent* star : {Star1, Star2}) {
            if (Sender != star) continue;
            star->TagX = Random(DS->Width());
            star->TagY = Random(200);
            star->Start();
        }
        FinishedLine(Sender);
        if (Sender == DawnFade) SetStage(2);
    }
}

// When Sender is a path's tween, the path's run has ended (its owner is a
// TSinus whose Tag is its line's index): the line frees its row; a streak
// starts over, the sea line carries on, and a text line hands over to the next one.
void TMainForm::FinishedLine(TObject* Sender) {
    const auto* event = dynamic_cast<TComponent*>(Sender);
    if (!event || !event->Owner() || event->Owner()->ClassName() != "TSinus") return;
    auto& path = static_cast<TSinus&>(*event->Owner());
    if (path.Tag < 0 || static_cast<size_t>(path.Tag) >= Lines->size()) return;
    TTextEffect& line = *(*Lines)[static_cast<size_t>(path.Tag)];
    const int32_t kind = line.Kind;
    line.Slot = 0;
    if (kind == kWaveStreak) {
        const int32_t count = Random(25) + 5;
        const int32_t slot = PickLineSlot(path.Tag);
        const int32_t duration = 400 - Random(200);
        InitSinus(path, true, count, slot, duration);
    } else if (kind == kSeaLine) {
        ContinueSeaLine(path);
    } else if (kind == kTextLine) {
        LineIndex = LineIndex + 1 >= TextLineCount() ? 0 : LineIndex + 1;
        TTextEffect& next = *(*Lines)[static_cast<size_t>(LineIndex)];
        const int32_t slot = PickLineSlot(LineIndex);
        InitSinus(*next.Sinus, true, 0, slot, next.CharCount * 10 + 200);
    }
}

// The next year caption is the last: it slides to x 290 in 75 frames and stays.
void TMainForm::StopAtLastYear() {
    YearSlide->ValueOut = 290;
    YearSlide->Duration = 75;
}
