// The audio facilities: the SDL2_mixer one on SDL's dummy and disk drivers (failure
// codes, bad files, handles, and a tone that really reaches the output), and the
// recording headless one (call log, injected failures).
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <thread>
#include <vector>

#include <sndfile.h>

#include <cmath>

#include "platform/audio_headless.h"
#include "platform/audio_sdl_mixer.h"

// Expects the call to succeed exactly when code is kAudioOk, and to leave code as the last error.
#define EXPECT_AUDIO(facility, call, code)                                                                   \
    do {                                                                                                     \
        EXPECT_EQ(static_cast<bool>((facility)->call), (code) == kAudioOk) << #call;                         \
        EXPECT_EQ((facility)->ErrorGetCode(), (code)) << #call;                                              \
    } while (false)

namespace {

namespace fs = std::filesystem;

// 0.5 s of 440 Hz at half scale, mono, 32 kbit/s, made with
//   sox -n -r 44100 -c 1 tone.wav synth 0.5 sine 440 vol 0.5 && lame -b 32 -m m tone.wav tone.mp3
fs::path TestData() {
    const char* data = std::getenv("FUIFJE_TEST_DATA");
    return data ? fs::path(data) : fs::path(__FILE__).parent_path().parent_path() / "data";
}

std::string TonePath() {
    return (TestData() / "audio" / "tone.mp3").string();
}

// The show's own music, as the build copies it next to the program.
std::string SoundtrackPath() {
    return (TestData().parent_path().parent_path() / "assets" / "graph" / "soundtrack.mp3").string();
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The same pseudo-random bytes on every run.
std::string Garbage(size_t size) {
    std::minstd_rand random(1975);
    std::string bytes(size, '\0');
    std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<char>(random()); });
    return bytes;
}

// Sets an environment variable for one scope, then puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : FName(name) {
        if (const char* old = std::getenv(name)) FOld = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() { FOld ? setenv(FName, FOld->c_str(), 1) : unsetenv(FName); }

private:
    const char* FName;
    std::optional<std::string> FOld;
};

// A new folder under the temporary folder, removed with its contents.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "fuifje-audio-XXXXXX").string();
        FPath = mkdtemp(pattern.data());
    }
    ~TempFolder() { fs::remove_all(FPath); }
    std::string File(const std::string& name, const std::string& bytes) const {
        std::ofstream(FPath / name, std::ios::binary) << bytes;
        return *this / name;
    }
    std::string operator/(const std::string& name) const { return (FPath / name).string(); }

private:
    fs::path FPath;
};

class SdlMixerAudioTest : public testing::Test {
protected:
    ScopedEnv FDriver{"SDL_AUDIODRIVER", "dummy"};
    TempFolder FFolder;
    std::unique_ptr<AudioFacility> FAudio = CreateSdlMixerAudio();
};

TEST_F(SdlMixerAudioTest, InitMapsEachRefusalToItsCode) {
    struct Case {
        int32_t Device, Frequency, Code;
    };
    const Case cases[] = {
        {kAudioDefaultDevice, 44100, kAudioOk},
        {kAudioDefaultDevice, 0, kAudioErrorIllegalParameter},
        {kAudioDefaultDevice, 1000000, kAudioErrorIllegalParameter},
        {-2, 44100, kAudioErrorDevice},
        {999, 44100, kAudioErrorDevice},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "device " << c.Device << ", " << c.Frequency << " Hz");
        std::unique_ptr<AudioFacility> facility = CreateSdlMixerAudio();
        EXPECT_AUDIO(facility, Init(c.Device, c.Frequency), c.Code);
    }
    ScopedEnv missingDriver("SDL_AUDIODRIVER", "no-such-driver");
    EXPECT_AUDIO(FAudio, Init(), kAudioErrorDriver);
}

TEST_F(SdlMixerAudioTest, CallsOutOfOrderFailWithTheirCodes) {
    EXPECT_EQ(FAudio->GetVersion(), 0x00020002u);
    EXPECT_AUDIO(FAudio, Free(), kAudioErrorInit);
    EXPECT_AUDIO(FAudio, StreamCreateFile(TonePath()), kAudioErrorInit);
    EXPECT_AUDIO(FAudio, Init(), kAudioOk);
    EXPECT_AUDIO(FAudio, Init(), kAudioErrorAlready);
    std::unique_ptr<AudioFacility> second = CreateSdlMixerAudio(); // the output is the process's one
    EXPECT_AUDIO(second, Init(), kAudioErrorAlready);
    EXPECT_AUDIO(FAudio, Free(), kAudioOk);
    EXPECT_AUDIO(FAudio, Init(), kAudioOk);
}

TEST_F(SdlMixerAudioTest, StreamCreateFileRefusesWhatItCannotPlay) {
    const std::string tone = ReadFile(TonePath());
    ASSERT_GT(tone.size(), 1000u);
    fs::create_directory(FFolder / "folder.mp3");
    ASSERT_EQ(mkfifo((FFolder / "fifo.mp3").c_str(), 0600), 0);
    struct Case {
        const char* Name;
        std::string Path;
        int32_t Code;
    };
    const Case cases[] = {
        {"missing file", FFolder / "missing.mp3", kAudioErrorFileOpen},
        {"a folder", FFolder / "folder.mp3", kAudioErrorFileOpen},
        {"a FIFO, which would block", FFolder / "fifo.mp3", kAudioErrorFileOpen},
        {"empty file", FFolder.File("empty.mp3", ""), kAudioErrorFileFormat},
        {"garbage", FFolder.File("garbage.mp3", Garbage(4096)), kAudioErrorFileFormat},
        {"cut inside the first frame", FFolder.File("cut.mp3", tone.substr(0, 100)), kAudioErrorFileFormat},
        {"a text", FFolder.File("notes.txt", "26 Juni, 18:00\n"), kAudioErrorFileFormat},
        {"MIDI header before garbage", FFolder.File("song.bin", "MThd" + Garbage(3000)),
         kAudioErrorFileFormat},
        {"the tone", TonePath(), kAudioOk},
        {"cut inside a later frame", FFolder.File("half.mp3", tone.substr(0, tone.size() / 2 + 50)),
         kAudioErrorFileFormat},
    };
    ASSERT_TRUE(FAudio->Init());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_AUDIO(FAudio, StreamCreateFile(c.Path), c.Code);
    }
}

TEST_F(SdlMixerAudioTest, OnlyOpenStreamsPlayAndFree) {
    ASSERT_TRUE(FAudio->Init());
    uint32_t first = FAudio->StreamCreateFile(TonePath());
    uint32_t second = FAudio->StreamCreateFile(TonePath());
    EXPECT_NE(first, 0u);
    EXPECT_NE(first, second);
    EXPECT_AUDIO(FAudio, ChannelPlay(0), kAudioErrorHandle);
    EXPECT_AUDIO(FAudio, ChannelPlay(first), kAudioOk);
    EXPECT_AUDIO(FAudio, ChannelPlay(first), kAudioOk); // already playing: goes on
    EXPECT_AUDIO(FAudio, ChannelPlay(second, true), kAudioOk);
    EXPECT_AUDIO(FAudio, StreamFree(first), kAudioOk);
    EXPECT_AUDIO(FAudio, StreamFree(first), kAudioErrorHandle);
    EXPECT_AUDIO(FAudio, ChannelPlay(first), kAudioErrorHandle);
    EXPECT_AUDIO(FAudio, StreamFree(0), kAudioErrorHandle);
    EXPECT_AUDIO(FAudio, Free(), kAudioOk); // closes the second stream too
    EXPECT_AUDIO(FAudio, ChannelPlay(second), kAudioErrorHandle);
}

// The first two seconds of output when the file at path plays. The disk driver
// writes the mixed output as 16-bit stereo samples to a file, here one
// 2048-frame buffer every 5 ms, about nine times faster than real time.
std::vector<int16_t> PlayedSamples(const std::string& path) {
    TempFolder folder;
    const std::string output = folder / "output.raw";
    ScopedEnv driver("SDL_AUDIODRIVER", "disk"), file("SDL_DISKAUDIOFILE", output);
    ScopedEnv pace("SDL_DISKAUDIODELAY", "5");
    std::unique_ptr<AudioFacility> audio = CreateSdlMixerAudio();
    EXPECT_TRUE(audio->Init());
    EXPECT_TRUE(audio->ChannelPlay(audio->StreamCreateFile(path)));
    const uintmax_t kTwoSecondsOfOutput = 2 * 44100 * 4;
    for (int wait = 0; wait < 500 && (!fs::exists(output) || fs::file_size(output) < kTwoSecondsOfOutput);
         ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(audio->Free());

    const std::string bytes = ReadFile(output);
    EXPECT_GE(bytes.size(), kTwoSecondsOfOutput);
    std::vector<int16_t> samples(std::min<size_t>(bytes.size(), kTwoSecondsOfOutput) / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

long CountLouder(const std::vector<int16_t>& Samples, int Level) {
    return std::count_if(Samples.begin(), Samples.end(), [Level](int16_t s) { return std::abs(s) > Level; });
}

TEST(SdlMixerAudioPlayback, TheTonePlaysOnceOnTheOutput) {
    // A half-scale sine is above 1000 in magnitude 96% of the time: one play of
    // 0.5 s gives about 0.96 * 44100 loud samples over both channels, a loop far more.
    const long loud = CountLouder(PlayedSamples(TonePath()), 1000);
    EXPECT_GT(loud, 0.8 * 44100);
    EXPECT_LT(loud, 1.2 * 44100);
}

TEST(SdlMixerAudioPlayback, TheSoundtrackIsHeardFromItsStart) {
    const std::vector<int16_t> samples = PlayedSamples(SoundtrackPath());
    // Most of the first two seconds carry sound, not silence.
    EXPECT_GT(CountLouder(samples, 300), static_cast<long>(samples.size() / 2));
}

TEST(HeadlessAudio, RecordsTheCallsOfAShowWithoutMusic) {
    TempFolder folder;
    const std::string missing = folder / "soundtrack.mp3";
    HeadlessAudio headless;
    HeadlessAudio* audio = &headless;
    std::vector<std::string> merged;
    headless.OnCall = [&](const std::string& call) { merged.push_back(call); };

    EXPECT_AUDIO(audio, StreamCreateFile(TonePath()), kAudioErrorInit);
    EXPECT_EQ(audio->GetVersion(), kAudioVersion);
    EXPECT_AUDIO(audio, Init(), kAudioOk);
    EXPECT_AUDIO(audio, Init(3, 22050), kAudioErrorAlready);
    EXPECT_AUDIO(audio, StreamCreateFile(missing), kAudioErrorFileOpen);
    EXPECT_AUDIO(audio, ChannelPlay(0), kAudioErrorHandle);
    EXPECT_AUDIO(audio, StreamFree(0), kAudioErrorHandle);
    EXPECT_AUDIO(audio, Free(), kAudioOk);

    const std::vector<std::string> expected = {
        "StreamCreateFile(" + TonePath() + ")",
        "ErrorGetCode()",
        "GetVersion()",
        "Init(-1, 44100)",
        "ErrorGetCode()",
        "Init(3, 22050)",
        "ErrorGetCode()",
        "StreamCreateFile(" + missing + ")",
        "ErrorGetCode()",
        "ChannelPlay(0, false)",
        "ErrorGetCode()",
        "StreamFree(0)",
        "ErrorGetCode()",
        "Free()",
        "ErrorGetCode()",
    };
    EXPECT_EQ(headless.Calls(), expected);
    EXPECT_EQ(merged, expected);
}

TEST(HeadlessAudio, FailsTheCallItIsToldToWithItsCode) {
    struct Case {
        AudioCall Call;
        std::function<bool(HeadlessAudio&, uint32_t stream)> Make;
    };
    const Case cases[] = {
        {AudioCall::GetVersion, [](HeadlessAudio& a, uint32_t) { return a.GetVersion() == kAudioVersion; }},
        {AudioCall::Init,
         [](HeadlessAudio& a, uint32_t) {
             a.Free();
             return a.Init();
         }},
        {AudioCall::StreamCreateFile,
         [](HeadlessAudio& a, uint32_t) { return a.StreamCreateFile(TonePath()) != 0; }},
        {AudioCall::ChannelPlay, [](HeadlessAudio& a, uint32_t stream) { return a.ChannelPlay(stream); }},
        {AudioCall::StreamFree, [](HeadlessAudio& a, uint32_t stream) { return a.StreamFree(stream); }},
        {AudioCall::Free, [](HeadlessAudio& a, uint32_t) { return a.Free(); }},
    };
    int32_t code = 100;
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Call));
        HeadlessAudio audio;
        ASSERT_TRUE(audio.Init());
        uint32_t stream = audio.StreamCreateFile(TonePath());
        audio.FailCall(c.Call, ++code);
        EXPECT_FALSE(c.Make(audio, stream));
        EXPECT_EQ(audio.ErrorGetCode(), code);
        audio.ClearFailures();
        EXPECT_TRUE(c.Make(audio, stream)); // the failed call changed nothing
    }
}

// 0.3 s of a 440 Hz tone written by libsndfile in the given format, as a file's bytes.
std::string ToneFile(const TempFolder& Folder, int Format, int Rate = 44100) {
    const std::string path = Folder / "tone";
    SF_INFO info{};
    info.samplerate = Rate;
    info.channels = 1;
    info.format = Format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    EXPECT_NE(file, nullptr) << sf_strerror(nullptr);
    std::vector<short> samples(size_t(Rate) * 3 / 10);
    for (size_t k = 0; k < samples.size(); ++k)
        samples[k] = short(12000 * std::sin(2 * M_PI * 440 * double(k) / Rate));
    sf_write_short(file, samples.data(), sf_count_t(samples.size()));
    sf_close(file);
    return ReadFile(path);
}

// A WAV whose data chunk claims four times the samples it has.
std::string LyingWav(std::string Wav) {
    const size_t data = Wav.find("data");
    uint32_t size = 0;
    std::memcpy(&size, Wav.data() + data + 4, 4);
    size *= 4;
    std::memcpy(Wav.data() + data + 4, &size, 4);
    return Wav;
}

TEST_F(SdlMixerAudioTest, BothFacilitiesJudgeEachKindOfFileAlike) {
    const std::string wav = ToneFile(FFolder, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    const std::string flac = ToneFile(FFolder, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    const std::string ogg = ToneFile(FFolder, SF_FORMAT_OGG | SF_FORMAT_VORBIS);
    const std::string mp3 = ToneFile(FFolder, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III);
    const std::string opus = ToneFile(FFolder, SF_FORMAT_OGG | SF_FORMAT_OPUS, 48000);
    auto half = [](const std::string& Bytes) { return Bytes.substr(0, Bytes.size() / 2); };
    struct Case {
        const char* Name;
        std::string Bytes;
        int32_t Code;
    };
    const Case cases[] = {
        {"WAV", wav, kAudioOk},
        {"FLAC", flac, kAudioOk},
        {"Ogg Vorbis", ogg, kAudioOk},
        {"MP3", mp3, kAudioOk},
        {"Ogg Opus", opus, kAudioOk},
        {"empty", "", kAudioErrorFileFormat},
        {"random bytes", Garbage(20000), kAudioErrorFileFormat},
        {"MP3 cut in half", half(mp3), kAudioErrorFileFormat},
        {"WAV with a lying header", LyingWav(wav), kAudioErrorFileFormat},
        {"WAV cut in half", half(wav), kAudioErrorFileFormat},
        {"FLAC cut in half", half(flac), kAudioErrorFileFormat},
        {"Ogg cut in half", half(ogg), kAudioErrorFileFormat},
        {"Ogg Opus cut in half", half(opus), kAudioErrorFileFormat},
    };
    ASSERT_TRUE(FAudio->Init());
    HeadlessAudio headless;
    ASSERT_TRUE(headless.Init());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string path = FFolder.File("soundtrack.mp3", c.Bytes); // the name never decides
        EXPECT_AUDIO(FAudio, StreamCreateFile(path), c.Code);
        EXPECT_AUDIO((&headless), StreamCreateFile(path), c.Code);
    }
}

TEST(SdlMixerAudioPlayback, FlacAndOggArePlayedToo) {
    TempFolder folder;
    for (int format : {SF_FORMAT_FLAC | SF_FORMAT_PCM_16, SF_FORMAT_OGG | SF_FORMAT_VORBIS}) {
        const std::string path = folder.File("soundtrack.mp3", ToneFile(folder, format));
        // 0.3 s of a sine at 12000, mixed to stereo: most of 0.3 x 44100 x 2 samples are loud.
        EXPECT_GT(CountLouder(PlayedSamples(path), 3000), long(0.3 * 44100));
    }
}

} // namespace
