// TFxEvent: the tween every moving thing in the show is built from. It carries
// one integer, Value, from a start to an end value over a number of frames along
// an easing curve, optionally repeating, and reports repeats and the end by callbacks.
#pragma once

#include <cstdint>
#include <functional>

#include "core/object.h"

// Easing curve of a tween.
enum TFxMethod : uint8_t { xAcc, xAccDec, xLinear, xDecAcc, xDec, xWobble };
// Sign of the xWobble swing.
enum TFxDirection : uint8_t { dPlus, dMinus };

// Called at every repeat with the sender and the value of the repeat curve.
using TRepeatEvent = std::function<void(TObject* Sender, int32_t value)>;

class TFxEvent : public TComponent {
public:
    // Creates an idle event owned (and destroyed) by AOwner.
    explicit TFxEvent(TComponent* AOwner);

    std::string ClassName() const override { return "TFxEvent"; }

    // Begins a run from the current settings; also valid while running and from a handler.
    void Start();
    // Advances one frame; returns Value as it stands after any handler this call ran.
    int32_t Advance();
    // Ends the run without notification (Value and the cycle's ends stay as they are).
    void Stop();
    // Moves the whole run by Delta without restarting it: ValueIn, ValueOut, the
    // current cycle's ends and Value; the count and the curve go on unchanged.
    void Shift(int32_t Delta);
    // Takes over Source's settings (not RepeatMethod, RepeatInverseOut, tags, Value or internals).
    void CopyFrom(const TFxEvent& Source);
    // Stores and returns the eased value at Position of Duration frames on Method from From to To.
    // Used by Advance; public so the curves can be checked on their own.
    int32_t Evaluate(TFxMethod AMethod, int32_t From, int32_t To, int32_t ADuration, int32_t Position);

    // Makes a still event: both ValueIn and ValueOut become V.
    void SetValues(int32_t V);
    // ValueIn.
    int32_t GetValues() const { return ValueIn; }

    // Internal run state, read-only for callers.
    int32_t CycleLength() const { return FCycleLength; }
    int32_t RepeatCounter() const { return FRepeatCounter; }
    int32_t FromValue() const { return FFromValue; }
    int32_t ToValue() const { return FToValue; }
    bool NoMotion() const { return FNoMotion; }

    bool Enabled = false;                // running; Advance does nothing while False
    bool Paused = false;                 // frames are counted, Value is frozen
    TFxMethod Method = xLinear;          // Start and inverting repeats may trade xAcc and xDec here
    bool Visible = true;                 // display flag for the user: Start sets it, Stop may clear it
    TNotifyEvent OnDone;                 // once, when a run ends by itself
    TRepeatEvent OnRepeat;               // at the end of every cycle that another follows
    int32_t Skipframes = 1;              // Value is recomputed only when Count is a multiple of this
    bool HideAfterDone = false;          // Stop clears Visible
    int32_t Duration = 0;                // frames of a whole run, all cycles together
    int32_t Count = 0;                   // frame within the current cycle
    int32_t Repeats = 0;                 // further cycles after the first
    bool RepeatInverse = true;           // each repeat trades the cycle's start and end
    bool RepeatInverseSwapMethod = true; // inverting repeats and reversed starts trade xAcc/xDec
    int32_t Repeatvalue = 0;             // end value of the curve handed to OnRepeat
    TFxDirection WobbleDirection = dPlus;
    TFxMethod RepeatMethod = xLinear; // curve handed to OnRepeat
    bool Reversed = false;            // run from ValueOut to ValueIn
    bool ReversedSwapMethod = true;   // a reversed Start may trade xAcc and xDec
    int32_t TagY = 0;                 // free for the user
    int32_t TagX = 0;                 // free for the user
    bool RepeatInverseOut = false;    // every second inverting repeat negates the new end value
    int32_t ValueIn = 0;
    int32_t ValueOut = 0;
    int32_t Value = 0; // the output

private:
    void EndCycle();
    void BeginRepeat();
    void InvertCycle();
    void FinishRun();

    int32_t FCycleLength = 0;   // frames per cycle, set by Start
    int32_t FRepeatCounter = 0; // cycle ends counted in this run
    int32_t FFromValue = 0;     // start of the current cycle
    int32_t FToValue = 0;       // end of the current cycle
    bool FNoMotion = false;     // start equalled end at Start: no curve is evaluated
};
