// FFmpeg's objects owned the C++ way (each freed by its own library call), and
// its error codes as words. Only the video export's files in src/platform
// include this header.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libswresample/swresample.h>
}

#include <functional>
#include <memory>
#include <string>

struct AvFormatInputFree {
    void operator()(AVFormatContext* Context) const { avformat_close_input(&Context); }
};
struct AvCodecContextFree {
    void operator()(AVCodecContext* Context) const { avcodec_free_context(&Context); }
};
struct AvFrameFree {
    void operator()(AVFrame* Frame) const { av_frame_free(&Frame); }
};
struct AvPacketFree {
    void operator()(AVPacket* Packet) const { av_packet_free(&Packet); }
};
struct SwrFree {
    void operator()(SwrContext* Context) const { swr_free(&Context); }
};
struct AvAudioFifoFree {
    void operator()(AVAudioFifo* Fifo) const { av_audio_fifo_free(Fifo); }
};

using AvInputPtr = std::unique_ptr<AVFormatContext, AvFormatInputFree>;
using AvCodecContextPtr = std::unique_ptr<AVCodecContext, AvCodecContextFree>;
using AvFramePtr = std::unique_ptr<AVFrame, AvFrameFree>;
using AvPacketPtr = std::unique_ptr<AVPacket, AvPacketFree>;
using SwrPtr = std::unique_ptr<SwrContext, SwrFree>;
using AvAudioFifoPtr = std::unique_ptr<AVAudioFifo, AvAudioFifoFree>;

// What an FFmpeg error code means ("No space left on device", "Invalid data found ...").
std::string FfmpegReason(int Code);

// A new frame or packet; raises std::bad_alloc when there is no memory for one.
AvFramePtr NewFrame();
AvPacketPtr NewPacket();

// Writes one packet, its stream and time stamps set, into the file; raises
// EVideoError "Cannot write ..." when the file does not take it.
using PacketSink = std::function<void(AVPacket& Packet)>;

// Raises EVideoError "Cannot encode "<Name>": <reason of Code>".
[[noreturn]] void RaiseEncodeError(const std::string& Name, int Code);

// Hands every packet Encoder has ready to Write, its time stamps moved to
// Stream's time base. Raises EVideoError naming the video Name when the encoder fails.
void DrainPackets(AVCodecContext& Encoder, AVStream& Stream, AVPacket& Packet, const PacketSink& Write,
                  const std::string& Name);

// Opens Encoder with Options (a dictionary in FFmpeg's "key=value:key=value"
// form) and adds its stream to Output. Raises EVideoError naming the video Name.
AVStream& OpenStream(AVFormatContext& Output, AVCodecContext& Encoder, const char* Options,
                     const std::string& Name);

// A new encoder context for the encoder called Codec (e.g. "libx264"); raises
// EVideoError naming the video Name when this FFmpeg has no such encoder.
AvCodecContextPtr NewEncoder(const char* Codec, const std::string& Name);
