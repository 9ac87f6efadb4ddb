// The contract between the program and its video module (fuifje-video.so,
// the encoder on FFmpeg): the module's one exported C function hands back a
// table of the functions that video_encoder.h promises. Both sides are built
// from this header; the number in the table tells a module of another build apart.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/video_encoder.h"

// Raised whenever the table, VideoSettings or VideoEncoder change, so that a
// program never calls into a module built against other declarations.
constexpr int32_t kVideoModuleAbi = 1;

// The module's file name and the name of its entry point.
inline constexpr const char* kVideoModuleName = "fuifje-video.so";
inline constexpr const char* kVideoModuleEntry = "FuifjeVideoModule";

struct VideoModule {
    int32_t Abi = kVideoModuleAbi; // first, so that any module's number can be read
    std::unique_ptr<VideoEncoder> (*CreateEncoder)(const VideoSettings& Settings) = nullptr;
    int64_t (*SoundMilliseconds)(const std::string& File) = nullptr;
};

// The module's entry point: its table, valid while the module stays loaded.
extern "C" const VideoModule* FuifjeVideoModule();
