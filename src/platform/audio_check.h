// Judges a sound file by its bytes before any decoder sees it: its kind (WAV,
// AIFF, Ogg Vorbis or Opus, FLAC, MP3), told by content and never by name, and
// whether it is whole: not empty, not cut off, its sizes not lying. Both audio
// facilities ask it first, so the headless one reports the same codes as SDL_mixer's.
#pragma once

#include <cstdint>
#include <string>

// kAudioOk for a whole sound file of a kind the facility plays; kAudioErrorFileOpen
// when the path is missing, not a regular file or unreadable; kAudioErrorFileFormat
// when it is empty, not sound, cut off, or its headers claim more than it holds.
int32_t CheckAudioFile(const std::string& Path);
