// The soundtrack: an original, cheerful tune in G major at 120 beats a minute
// (intro, two verses and choruses, a bridge, a last chorus a tone higher and
// a fading ending), played by the synthesizer and mixed to 16-bit stereo.
#pragma once

#include <cstdint>
#include <vector>

// The whole tune as interleaved 16-bit stereo samples at 44.1 kHz.
std::vector<int16_t> ComposeSoundtrack();
