// The audio facility over SDL2_mixer: opens SDL's audio output, keeps a table of
// loaded music by handle, plays one of them at a time, and turns every SDL failure
// into one of the stable codes of audio.h.
#include "platform/audio_sdl_mixer.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include "platform/audio_check.h"

#include <cstring>
#include <map>

namespace {

// Samples per mixing buffer: about 46 ms at 44100 Hz, short enough that music starts promptly.
constexpr int kChunkSamples = 2048;
constexpr int kStereo = 2;
// Mix_PlayMusic's loop count that plays the music once and stops.
constexpr int kPlayOnce = 0;

struct MusicDeleter {
    // Mix_FreeMusic stops the music first when it is the one playing.
    void operator()(Mix_Music* music) const { Mix_FreeMusic(music); }
};
using MusicPtr = std::unique_ptr<Mix_Music, MusicDeleter>;

// Opens SDL_mixer's output on the numbered device (or the default one); a failure code or kAudioOk.
int32_t OpenOutput(int32_t device, int32_t frequency) {
    const char* deviceName = nullptr;
    if (device != kAudioDefaultDevice) {
        deviceName = SDL_GetAudioDeviceName(device, 0); // null when there is no such device
        if (!deviceName) return kAudioErrorDevice;
    }
    // No allowed changes: SDL converts when the hardware wants another format, so the mixer
    // always works in 16-bit stereo at the asked frequency.
    if (Mix_OpenAudioDevice(frequency, AUDIO_S16SYS, kStereo, kChunkSamples, deviceName, 0) != 0) {
        return kAudioErrorDriver;
    }
    return kAudioOk;
}

// The formats a stream may hold. SDL_mixer also loads MOD and MIDI music, but its
// MIDI loader takes a header followed by any bytes, so those are refused as not streams.
bool IsStreamFormat(Mix_MusicType type) {
    switch (type) {
    case MUS_WAV:
    case MUS_MP3:
    case MUS_OGG:
    case MUS_FLAC:
    case MUS_OPUS:
        return true;
    default:
        return false;
    }
}

// Loads the music file at path into music; a failure code or kAudioOk. The file is
// judged first (audio_check.h: missing, empty, cut off, lying), then SDL_mixer picks
// its decoder by the content, not by the name.
int32_t LoadMusic(const std::string& path, MusicPtr& music) {
    const int32_t checked = CheckAudioFile(path);
    if (checked != kAudioOk) return checked;
    SDL_RWops* file = SDL_RWFromFile(path.c_str(), "rb");
    if (!file) return kAudioErrorFileOpen;
    music.reset(Mix_LoadMUS_RW(file, 1)); // frees file, also on failure
    if (!music) {
        // SDL_OutOfMemory's text is the one way SDL_mixer tells memory from a bad file.
        return std::strcmp(Mix_GetError(), "Out of memory") == 0 ? kAudioErrorMemory : kAudioErrorFileFormat;
    }
    if (!IsStreamFormat(Mix_GetMusicType(music.get()))) return kAudioErrorFileFormat;
    return kAudioOk;
}

class SdlMixerAudio final : public AudioFacility {
public:
    ~SdlMixerAudio() override;
    uint32_t GetVersion() override;
    bool Init(int32_t device, int32_t frequency) override;
    uint32_t StreamCreateFile(const std::string& path) override;
    bool ChannelPlay(uint32_t handle, bool restart) override;
    int32_t ErrorGetCode() override;
    bool StreamFree(uint32_t handle) override;
    bool Free() override;

private:
    // Records code as the last error; true when it is kAudioOk.
    bool Report(int32_t code);

    std::map<uint32_t, MusicPtr> FStreams;
    uint32_t FLastHandle = 0;
    uint32_t FPlayingHandle = 0; // the stream last started; Mix_PlayingMusic tells whether it still plays
    bool FInitialised = false;
    int32_t FLastError = kAudioOk;
};

} // namespace

SdlMixerAudio::~SdlMixerAudio() {
    if (FInitialised) Free();
}

uint32_t SdlMixerAudio::GetVersion() {
    return kAudioVersion;
}

bool SdlMixerAudio::Init(int32_t device, int32_t frequency) {
    // SDL_mixer has one output per process: another facility may hold it.
    if (FInitialised || Mix_QuerySpec(nullptr, nullptr, nullptr) != 0) return Report(kAudioErrorAlready);
    if (frequency < kAudioMinFrequency || frequency > kAudioMaxFrequency) {
        return Report(kAudioErrorIllegalParameter);
    }
    if (device < kAudioDefaultDevice) return Report(kAudioErrorDevice);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return Report(kAudioErrorDriver);
    int32_t code = OpenOutput(device, frequency);
    if (code != kAudioOk) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return Report(code);
    }
    // Loads the MP3 decoder now rather than at the first file. Without one, MP3 files
    // later fail as an unknown format, which is the right report for them.
    Mix_Init(MIX_INIT_MP3);
    FInitialised = true;
    return Report(kAudioOk);
}

uint32_t SdlMixerAudio::StreamCreateFile(const std::string& path) {
    MusicPtr music;
    if (!Report(FInitialised ? LoadMusic(path, music) : kAudioErrorInit)) return 0;
    if (++FLastHandle == 0) FLastHandle = 1; // 0 means "no stream", even after wrapping
    FStreams[FLastHandle] = std::move(music);
    return FLastHandle;
}

bool SdlMixerAudio::ChannelPlay(uint32_t handle, bool restart) {
    auto stream = FStreams.find(handle);
    if (stream == FStreams.end()) return Report(kAudioErrorHandle);
    bool playing = handle == FPlayingHandle && Mix_PlayingMusic() != 0;
    if (playing && !restart) return Report(kAudioOk);
    if (Mix_PlayMusic(stream->second.get(), kPlayOnce) != 0) return Report(kAudioErrorUnknown);
    FPlayingHandle = handle;
    return Report(kAudioOk);
}

int32_t SdlMixerAudio::ErrorGetCode() {
    return FLastError;
}

bool SdlMixerAudio::StreamFree(uint32_t handle) {
    if (FStreams.erase(handle) == 0) return Report(kAudioErrorHandle);
    if (FPlayingHandle == handle) FPlayingHandle = 0;
    return Report(kAudioOk);
}

bool SdlMixerAudio::Free() {
    if (!FInitialised) return Report(kAudioErrorInit);
    FStreams.clear();
    FPlayingHandle = 0;
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    FInitialised = false;
    return Report(kAudioOk);
}

bool SdlMixerAudio::Report(int32_t code) {
    FLastError = code;
    return code == kAudioOk;
}

std::unique_ptr<AudioFacility> CreateSdlMixerAudio() {
    return std::make_unique<SdlMixerAudio>();
}
