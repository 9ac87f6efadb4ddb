// A small drum kit made of noise and sine sweeps: each drum is rendered once
// into mono samples and then placed wherever it is struck.
#pragma once

#include <vector>

enum class Drum { Kick, Snare, ClosedHat, OpenHat, Crash };

// The sound of one stroke of a drum; the same drum always sounds the same.
std::vector<float> RenderDrum(Drum Which);
