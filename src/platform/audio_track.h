// The sound track of a video: the host's music (or silence, when there is
// none or it cannot be read) from the first frame on, encoded as AAC-LC
// 128 kbit/s stereo for MP4 or Opus for WebM, and exactly as long as the video.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/ffmpeg_types.h"
#include "platform/music_decoder.h"
#include "platform/video_encoder.h"

class AudioTrack {
public:
    // Adds the sound stream to Output and opens its encoder. A music file that
    // cannot be read is told through Settings.OnWarning; the track is then silent.
    AudioTrack(AVFormatContext& Output, const VideoSettings& Settings);
    // Encodes the sound that lies under the first Frames video frames, in whole
    // encoder frames, and writes it with Write.
    void EncodeUntil(int64_t Frames, const PacketSink& Write);
    // Encodes the rest of the sound under Frames video frames and what the encoder holds.
    void Finish(int64_t Frames, const PacketSink& Write);

private:
    // The samples that lie under Frames video frames of 30 ms.
    int64_t SamplesUnder(int64_t Frames) const;
    // Encodes the next Count samples (music, then silence) as one frame.
    void EncodeFrame(int Count, const PacketSink& Write);

    AvCodecContextPtr FEncoder;
    AVStream* FStream = nullptr;
    std::unique_ptr<MusicDecoder> FMusic;
    AvFramePtr FFrame = NewFrame();
    AvPacketPtr FPacket = NewPacket();
    int64_t FSamples = 0; // encoded so far
    std::string FName;
};
