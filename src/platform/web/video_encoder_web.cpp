// Videos in a web page: there are none. A page plays the show and makes no
// files, so the video export's platform parts only say so.
#include "platform/video_encoder.h"

std::unique_ptr<VideoEncoder> CreateVideoEncoder(const VideoSettings& Settings) {
    throw EVideoError(Format("Cannot write \"%s\": a web page makes no videos", Settings.File.c_str()));
}

int64_t SoundMilliseconds(const std::string& /*File*/) {
    return -1; // no decoder to measure it with: the length is not known
}
