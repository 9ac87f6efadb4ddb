// The recording, device-free audio facility: the same call rules as the real one,
// minus decoding and sound, plus failures on demand.
#include "platform/audio_headless.h"

#include "core/exception.h"
#include "platform/audio_check.h"

uint32_t HeadlessAudio::GetVersion() {
    Record("GetVersion()");
    int32_t failure = InjectedFailure(AudioCall::GetVersion);
    if (failure == kAudioOk) return kAudioVersion;
    FLastError = failure;
    return 0;
}

bool HeadlessAudio::Init(int32_t device, int32_t frequency) {
    Record(Format("Init(%d, %d)", device, frequency));
    if (!Settle(AudioCall::Init, FInitialised ? kAudioErrorAlready : kAudioOk)) return false;
    FInitialised = true;
    return true;
}

uint32_t HeadlessAudio::StreamCreateFile(const std::string& path) {
    Record("StreamCreateFile(" + path + ")");
    if (!Settle(AudioCall::StreamCreateFile, OpenCode(path))) return 0;
    if (++FLastHandle == 0) FLastHandle = 1; // 0 means "no stream", even after wrapping
    FStreams.insert(FLastHandle);
    return FLastHandle;
}

bool HeadlessAudio::ChannelPlay(uint32_t handle, bool restart) {
    Record(Format("ChannelPlay(%u, %s)", handle, restart ? "true" : "false"));
    return Settle(AudioCall::ChannelPlay, FStreams.count(handle) != 0 ? kAudioOk : kAudioErrorHandle);
}

int32_t HeadlessAudio::ErrorGetCode() {
    Record("ErrorGetCode()");
    return FLastError;
}

bool HeadlessAudio::StreamFree(uint32_t handle) {
    Record(Format("StreamFree(%u)", handle));
    if (!Settle(AudioCall::StreamFree, FStreams.count(handle) != 0 ? kAudioOk : kAudioErrorHandle))
        return false;
    FStreams.erase(handle);
    return true;
}

bool HeadlessAudio::Free() {
    Record("Free()");
    if (!Settle(AudioCall::Free, FInitialised ? kAudioOk : kAudioErrorInit)) return false;
    FStreams.clear();
    FInitialised = false;
    return true;
}

void HeadlessAudio::FailCall(AudioCall call, int32_t code) {
    FFailures[call] = code;
}

void HeadlessAudio::ClearFailures() {
    FFailures.clear();
}

void HeadlessAudio::Record(const std::string& call) {
    FCalls.push_back(call);
    if (OnCall) OnCall(call);
}

int32_t HeadlessAudio::InjectedFailure(AudioCall call) const {
    auto failure = FFailures.find(call);
    return failure == FFailures.end() ? kAudioOk : failure->second;
}

bool HeadlessAudio::Settle(AudioCall call, int32_t ruleCode) {
    int32_t failure = InjectedFailure(call);
    FLastError = failure != kAudioOk ? failure : ruleCode;
    return FLastError == kAudioOk;
}

int32_t HeadlessAudio::OpenCode(const std::string& path) const {
    if (!FInitialised) return kAudioErrorInit;
    return CheckAudioFile(path); // the real facility's judgement of the file, without decoding
}
