// A stand-in audio facility for tests and headless runs: it never opens an audio
// device, records every call in order, and fails any call it is told to, with a
// given code, so the show's reactions to audio failures can be checked.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/audio.h"

// The calls that can be told to fail (ErrorGetCode cannot fail).
enum class AudioCall { GetVersion, Init, StreamCreateFile, ChannelPlay, StreamFree, Free };

// Without injected failures it keeps the rules that need no device: Init once before
// any stream, streams only from whole sound files (judged as the real facility judges
// them, audio_check.h, but never decoded), and only handles it gave out. Every device number and frequency is
// accepted.
class HeadlessAudio final : public AudioFacility {
public:
    // kAudioVersion, or 0 when told to fail.
    uint32_t GetVersion() override;
    // Succeeds once until Free; the device and frequency only appear in the record.
    bool Init(int32_t device = kAudioDefaultDevice, int32_t frequency = 44100) override;
    // A new nonzero handle for a readable regular file.
    uint32_t StreamCreateFile(const std::string& path) override;
    // Succeeds for an open stream; nothing is heard.
    bool ChannelPlay(uint32_t handle, bool restart = false) override;
    // The code of the last failure.
    int32_t ErrorGetCode() override;
    // Closes an open stream.
    bool StreamFree(uint32_t handle) override;
    // Closes every stream; succeeds after a successful Init.
    bool Free() override;

    // Makes every later `call` fail with `code` until ClearFailures; the call then changes nothing.
    void FailCall(AudioCall call, int32_t code);
    // Lets every call follow the rules again.
    void ClearFailures();
    // The calls made so far, oldest first: "GetVersion()", "Init(-1, 44100)",
    // "StreamCreateFile(graph/soundtrack.mp3)", "ChannelPlay(1, false)", "ErrorGetCode()",
    // "StreamFree(1)", "Free()".
    const std::vector<std::string>& Calls() const { return FCalls; }

    // Called with each call's text as it is recorded, to merge the calls into another log.
    std::function<void(const std::string& call)> OnCall;

private:
    void Record(const std::string& call);
    // The code injected for call, or kAudioOk when it follows the rules.
    int32_t InjectedFailure(AudioCall call) const;
    // Records the injected code for call if there is one, else ruleCode; true on success.
    bool Settle(AudioCall call, int32_t ruleCode);
    // The code the rules give StreamCreateFile for path.
    int32_t OpenCode(const std::string& path) const;

    std::map<AudioCall, int32_t> FFailures;
    std::set<uint32_t> FStreams;
    uint32_t FLastHandle = 0;
    bool FInitialised = false;
    int32_t FLastError = kAudioOk;
    std::vector<std::string> FCalls;
};
