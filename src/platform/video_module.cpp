// The video module's entry point: the one symbol fuifje-video.so shows, handing
// the program the encoder on FFmpeg and the music's length.
#include "platform/video_module.h"

#include "platform/music_decoder.h"
#include "platform/video_encoder_ffmpeg.h"

extern "C" __attribute__((visibility("default"))) const VideoModule* FuifjeVideoModule() {
    static const VideoModule kModule{kVideoModuleAbi, CreateFfmpegVideoEncoder, MusicMilliseconds};
    return &kModule;
}
