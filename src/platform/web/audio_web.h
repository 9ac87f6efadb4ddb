// The audio facility of a web page: the browser decodes and plays the music
// through an <audio> element, from the file's bytes in the show's file
// system. Files are judged as natively first (audio_check.h), so a missing or
// broken file gets the same code; one the browser cannot play is refused as
// a format it does not know. Browsers play sound only after the guest has
// touched the page: the page's first screen unlocks the element
// (Module.soundElement) with its click, and a refused start shows a button
// that starts the music when tapped.
#pragma once

#include <memory>

#include "platform/audio.h"

// A new facility for the page, not yet initialised.
std::unique_ptr<AudioFacility> CreateWebAudio();
