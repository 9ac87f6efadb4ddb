#include "show/export_length.h"

#include <algorithm>

namespace {

// The schedule up to the captions, counting the first drawn frame as 1. A
// tween started by another one's end takes its first step in that same frame,
// so each later stretch adds its length less one where they chain that way.
constexpr int64_t kBoatDelay = 250;   // BoatDelay: the boat sets off
constexpr int64_t kBoatSteps = 745;   // BoatTravel's steps until the boat passes mid-screen
constexpr int64_t kDawnDelay = 230;   // DawnDelay: then stage 1, the dawn
constexpr int64_t kDawnFade = 300;    // DawnFade: then stage 2, the day
constexpr int64_t kYearDelay = 250;   // YearDelay: then the first year caption
constexpr int64_t kYearSlide = 150;   // YearSlide: each caption but the last flies past
constexpr int64_t kLastSlide = 75;    // the last caption's slide to the middle
constexpr int64_t kDateSlide = 75;    // DateSlide and TimeSlide, started as the last caption stops
constexpr int64_t kDateStands = 2000; // milliseconds the date and time stand before an export may end

} // namespace

int64_t FramesFor(int64_t Milliseconds) {
    return std::max<int64_t>(1, (Milliseconds + kFrameMilliseconds - 1) / kFrameMilliseconds);
}

int64_t DateInPlaceFrame(const Invitation& Content) {
    const int64_t day = kBoatDelay + kBoatSteps - 1 + kDawnDelay + kDawnFade;
    const int64_t firstCaption = day + kYearDelay; // its first step
    const int64_t captions = int64_t(Content.LastYear) - Content.FirstYear + 1;
    // Every caption before the last flies its full slide; the last one stops.
    const int64_t lastCaption = firstCaption + kYearSlide * std::max<int64_t>(captions - 1, 0);
    const int64_t lastStops = lastCaption + kLastSlide - 1;
    return lastStops + kDateSlide - 1;
}

int64_t ExportFrames(const Invitation& Content, int64_t MusicMilliseconds) {
    const int64_t dateStood = DateInPlaceFrame(Content) + FramesFor(kDateStands);
    return MusicMilliseconds < 0 ? dateStood : std::max(FramesFor(MusicMilliseconds), dateStood);
}
