// The music of the two example invitations: short original tunes played by
// the asset generator's synthesizer, as 16-bit stereo at 44.1 kHz.
#pragma once

#include <cstdint>
#include <vector>

// A bouncy birthday tune in G major, about half a minute.
std::vector<int16_t> ComposeBirthdayTune();

// A slow wedding waltz in G major, about half a minute.
std::vector<int16_t> ComposeWeddingTune();
