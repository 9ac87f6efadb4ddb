// Turning presented frames into a video file with a sound track: the seam
// between a show that hands over one picture per frame and the codecs behind
// it (video_encoder_ffmpeg.h, in a module of its own: video_module.h). Frames come at the show's own pace,
// one per 30 ms of video; the sound track is a music file laid under them from the first frame on, cut or
// padded with silence to the video's length.
//
//     VideoSettings settings{"party.mp4.part", VideoContainer::Mp4, 800, 600, 7835, "music.mp3"};
//     std::unique_ptr<VideoEncoder> video = CreateVideoEncoder(settings);
//     for (...) video->AddFrame(frame);   // the encoder copies and works on its own thread
//     video->Finish();                    // raises EVideoError when the file is not whole
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/exception.h"
#include "platform/pixel_view.h"

// The video cannot be made: "Cannot write "<file>": <reason>" or "Cannot encode "<file>": <reason>".
FUIFJE_EXCEPTION(EVideoError, Exception);

// One video frame per 30 ms: exactly 100/3 frames per second.
constexpr int kVideoFrameRateNum = 100;
constexpr int kVideoFrameRateDen = 3;

enum class VideoContainer {
    Mp4,  // H.264 (High profile, yuv420p) and AAC-LC, index at the front
    WebM, // VP9 (yuv420p) and Opus
};

struct VideoSettings {
    std::string File; // written from the first frame on; the caller renames it when whole
    VideoContainer Container = VideoContainer::Mp4;
    int Width = 800;
    int Height = 600;
    int64_t Frames = 0; // the video's length; the sound track ends with the last frame
    std::string Music;  // the sound track's file; empty for a silent one
    // Told once, in one line naming the file, when the music cannot be read:
    // the video then has a silent sound track.
    std::function<void(const std::string& Warning)> OnWarning;
    // Names the video in messages (the file the host asked for, not the one written).
    std::string DisplayName;
};

class VideoEncoder {
public:
    virtual ~VideoEncoder() = default;
    // Hands over the next frame (copied at once; waits while the encoder is a
    // few frames behind). Frames after the settings' count, or after a failure, are dropped.
    virtual void AddFrame(const PixelView& Frame) = 0;
    // The failure that stopped the encoder, empty while there is none.
    virtual std::string Error() const = 0;
    // The bytes in the file so far.
    virtual int64_t BytesWritten() const = 0;
    // Encodes what is still queued and the rest of the sound track, and closes
    // the file. Raises EVideoError when anything failed or frames are missing.
    virtual void Finish() = 0;
};

// An encoder on FFmpeg's libraries writing Settings.File at once. Raises
// EVideoError when the file cannot be opened or an encoder is missing.
// Destroying it without Finish stops at once and leaves an unfinished file.
// The encoder lives in the video module, which the first call of this or of
// SoundMilliseconds opens; either raises EVideoError naming the module's
// file when it is missing, cannot be loaded or is of another build.
std::unique_ptr<VideoEncoder> CreateVideoEncoder(const VideoSettings& Settings);

// How long the sound File plays in milliseconds, as its container says; -1
// when it cannot be opened as a music file or has no sound.
int64_t SoundMilliseconds(const std::string& File);
