// The real audio facility: SDL2_mixer on SDL's audio output, decoding MP3 (and the
// other stream formats SDL_mixer offers: WAV, Ogg Vorbis, FLAC, Opus). SDL_mixer
// has one output per process, so only one facility at a time can be initialised.
#pragma once

#include <memory>

#include "platform/audio.h"

// A new SDL2_mixer facility, not yet initialised.
std::unique_ptr<AudioFacility> CreateSdlMixerAudio();
