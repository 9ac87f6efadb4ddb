// The video encoder on FFmpeg's libraries, inside the video module: what
// CreateVideoEncoder (video_encoder.h) hands out when a video export starts.
#pragma once

#include <memory>

#include "platform/video_encoder.h"

// An encoder writing Settings.File at once; as CreateVideoEncoder.
std::unique_ptr<VideoEncoder> CreateFfmpegVideoEncoder(const VideoSettings& Settings);
