// How long an exported invitation runs: by default until the later of the
// music's end and two seconds after the date and time have come to rest,
// that moment taken from the show's own schedule for the invitation.
#pragma once

#include <cstdint>

#include "show/invitation.h"

// One frame of the show lasts 30 ms.
constexpr int64_t kFrameMilliseconds = 30;

// The frames that cover Milliseconds (at least one).
int64_t FramesFor(int64_t Milliseconds);

// The frame (the first drawn frame is 1) in which the date and time captions
// of Content come to rest: the sum of the tweens that lead there.
int64_t DateInPlaceFrame(const Invitation& Content);

// The frames of an export of Content whose music plays MusicMilliseconds (-1:
// no music that can be read).
int64_t ExportFrames(const Invitation& Content, int64_t MusicMilliseconds);
