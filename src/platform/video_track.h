// The picture track of a video: frames of the show's pixel format converted
// to yuv420p (yuv_convert.h) and encoded as H.264 for MP4 or VP9 for WebM, one
// frame per 30 ms.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ffmpeg_types.h"
#include "platform/pixel_view.h"
#include "platform/video_encoder.h"

class VideoTrack {
public:
    // Adds the picture stream to Output and opens its encoder.
    VideoTrack(AVFormatContext& Output, const VideoSettings& Settings);
    // Converts Frame (of the settings' size) and encodes it as frame Index
    // (the first is 0), writing what the encoder has ready with Write.
    void Encode(const PixelView& Frame, int64_t Index, const PacketSink& Write);
    // Encodes what the encoder still holds.
    void Finish(const PacketSink& Write);

private:
    AvCodecContextPtr FEncoder;
    AVStream* FStream = nullptr;
    AvFramePtr FFrame = NewFrame();
    AvPacketPtr FPacket = NewPacket();
    std::string FName;
};
