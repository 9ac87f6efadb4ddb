// The recording, device-free audio facility: the same call rules as the real one,
// minus decoding and sound, plus failures on demand.
#include "platform/audio_headless.h"

#include <filesystem>
#include <fstream>

#include "core/exception.h"

uint32_t HeadlessAudio::GetVersion() {
    record("GetVersion()");
    int32_t failure = injectedFailure(AudioCall::GetVersion);
    if (failure == kAudioOk) return kAudioVersion;
    lastError_ = failure;
    return 0;
}

bool HeadlessAudio::Init(int32_t device, int32_t frequency) {
    record(Format("Init(%d, %d)", device, frequency));
    if (!settle(AudioCall::Init, initialised_ ? kAudioErrorAlready : kAudioOk)) return false;
    initialised_ = true;
    return true;
}

uint32_t HeadlessAudio::StreamCreateFile(const std::string& path) {
    record("StreamCreateFile(" + path + ")");
    if (!settle(AudioCall::StreamCreateFile, openCode(path))) return 0;
    if (++lastHandle_ == 0) lastHandle_ = 1; // 0 means "no stream", even after wrapping
    streams_.insert(lastHandle_);
    return lastHandle_;
}

bool HeadlessAudio::ChannelPlay(uint32_t handle, bool restart) {
    record(Format("ChannelPlay(%u, %s)", handle, restart ? "true" : "false"));
    return settle(AudioCall::ChannelPlay, streams_.count(handle) != 0 ? kAudioOk : kAudioErrorHandle);
}

int32_t HeadlessAudio::ErrorGetCode() {
    record("ErrorGetCode()");
    return lastError_;
}

bool HeadlessAudio::StreamFree(uint32_t handle) {
    record(Format("StreamFree(%u)", handle));
    if (!settle(AudioCall::StreamFree, streams_.count(handle) != 0 ? kAudioOk : kAudioErrorHandle))
        return false;
    streams_.erase(handle);
    return true;
}

bool HeadlessAudio::Free() {
    record("Free()");
    if (!settle(AudioCall::Free, initialised_ ? kAudioOk : kAudioErrorInit)) return false;
    streams_.clear();
    initialised_ = false;
    return true;
}

void HeadlessAudio::FailCall(AudioCall call, int32_t code) {
    failures_[call] = code;
}

void HeadlessAudio::ClearFailures() {
    failures_.clear();
}

void HeadlessAudio::record(const std::string& call) {
    calls_.push_back(call);
    if (OnCall) OnCall(call);
}

int32_t HeadlessAudio::injectedFailure(AudioCall call) const {
    auto failure = failures_.find(call);
    return failure == failures_.end() ? kAudioOk : failure->second;
}

bool HeadlessAudio::settle(AudioCall call, int32_t ruleCode) {
    int32_t failure = injectedFailure(call);
    lastError_ = failure != kAudioOk ? failure : ruleCode;
    return lastError_ == kAudioOk;
}

int32_t HeadlessAudio::openCode(const std::string& path) const {
    if (!initialised_) return kAudioErrorInit;
    // The regular-file test comes first: opening a FIFO would block.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return kAudioErrorFileOpen;
    if (!std::ifstream(path, std::ios::binary).is_open()) return kAudioErrorFileOpen;
    return kAudioOk;
}
