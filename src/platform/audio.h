// The audio facility the show plays its soundtrack through: a version number, one
// output device, file streams played once, and a numeric code for the last failure.
// Two implementations: SDL2_mixer (audio_sdl_mixer.h) and a recording fake (audio_headless.h).
//
// Usage, as the show makes its calls:
//
//     std::unique_ptr<AudioFacility> audio = CreateSdlMixerAudio();
//     if (audio->GetVersion() != kAudioVersion) { /* wrong facility: give up */ }
//     if (!audio->Init()) report(audio->ErrorGetCode());        // -1: default device, 44100 Hz
//     uint32_t stream = audio->StreamCreateFile("graph/soundtrack.mp3");
//     if (stream == 0) report(audio->ErrorGetCode());            // e.g. kAudioErrorFileOpen
//     if (!audio->ChannelPlay(stream)) report(audio->ErrorGetCode());
//     ...
//     audio->StreamFree(stream);                                  // also fine with 0
//     audio->Free();
#pragma once

#include <cstdint>
#include <string>

#include "core/numeric.h"

// The version every facility reports: 2.2, the low word first.
constexpr uint32_t kAudioVersion = MakeLong(2, 2);

// The device number that picks the system's default output.
constexpr int32_t kAudioDefaultDevice = -1;
// Output frequencies Init accepts, in Hz.
constexpr int32_t kAudioMinFrequency = 8000;
constexpr int32_t kAudioMaxFrequency = 192000;

// Failure codes ErrorGetCode reports. They are stable: the show prints them to the viewer.
constexpr int32_t kAudioOk = 0;                     // the last call succeeded
constexpr int32_t kAudioErrorMemory = 1;            // out of memory while decoding
constexpr int32_t kAudioErrorFileOpen = 2;          // file missing, not a regular file, or unreadable
constexpr int32_t kAudioErrorDriver = 3;            // no audio driver, or the output would not open
constexpr int32_t kAudioErrorHandle = 5;            // the handle names no open stream (0 never does)
constexpr int32_t kAudioErrorInit = 8;              // Init has not succeeded, or Free came since
constexpr int32_t kAudioErrorAlready = 14;          // Init while the output is already open
constexpr int32_t kAudioErrorIllegalParameter = 20; // frequency outside kAudioMin/MaxFrequency
constexpr int32_t kAudioErrorDevice = 23;           // no output device with that number
constexpr int32_t kAudioErrorFileFormat = 41;       // not a stream format the decoders understand
constexpr int32_t kAudioErrorUnknown = -1;          // any other failure

// One audio output with streams on it. Every call but GetVersion and ErrorGetCode
// sets the last error code: kAudioOk on success, one of the codes above on failure.
class AudioFacility {
public:
    virtual ~AudioFacility() = default;

    // The facility's version, kAudioVersion.
    virtual uint32_t GetVersion() = 0;
    // Opens the output: device kAudioDefaultDevice or a 0-based device number, at frequency Hz, stereo.
    virtual bool Init(int32_t device = kAudioDefaultDevice, int32_t frequency = 44100) = 0;
    // Opens the audio file at path as a stream; its nonzero handle, or 0 on failure.
    virtual uint32_t StreamCreateFile(const std::string& path) = 0;
    // Plays the stream once from its start (no looping). When it is already playing and
    // restart is false it just goes on. One stream plays at a time: another one stops.
    virtual bool ChannelPlay(uint32_t handle, bool restart = false) = 0;
    // The code of the last failure (kAudioOk when the last call succeeded).
    virtual int32_t ErrorGetCode() = 0;
    // Stops and closes the stream.
    virtual bool StreamFree(uint32_t handle) = 0;
    // Closes every stream and the output.
    virtual bool Free() = 0;
};
