#include "platform/ffmpeg_types.h"

#include <new>

#include "platform/video_encoder.h"

std::string FfmpegReason(int Code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(Code, text, sizeof text);
    return text;
}

AvFramePtr NewFrame() {
    AvFramePtr frame(av_frame_alloc());
    if (!frame) throw std::bad_alloc();
    return frame;
}

AvPacketPtr NewPacket() {
    AvPacketPtr packet(av_packet_alloc());
    if (!packet) throw std::bad_alloc();
    return packet;
}

void RaiseEncodeError(const std::string& Name, int Code) {
    throw EVideoError(Format("Cannot encode \"%s\": %s", Name.c_str(), FfmpegReason(Code).c_str()));
}

void DrainPackets(AVCodecContext& Encoder, AVStream& Stream, AVPacket& Packet, const PacketSink& Write,
                  const std::string& Name) {
    for (;;) {
        const int result = avcodec_receive_packet(&Encoder, &Packet);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return;
        if (result < 0) RaiseEncodeError(Name, result);
        av_packet_rescale_ts(&Packet, Encoder.time_base, Stream.time_base);
        Packet.stream_index = Stream.index;
        Write(Packet); // the muxer takes the packet's data and leaves it blank
        av_packet_unref(&Packet);
    }
}

AVStream& OpenStream(AVFormatContext& Output, AVCodecContext& Encoder, const char* Options,
                     const std::string& Name) {
    if (Output.oformat->flags & AVFMT_GLOBALHEADER) Encoder.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* options = nullptr;
    int result = av_dict_parse_string(&options, Options, "=", ":", 0);
    if (result >= 0) result = avcodec_open2(&Encoder, Encoder.codec, &options);
    av_dict_free(&options);
    if (result < 0) RaiseEncodeError(Name, result);
    AVStream* stream = avformat_new_stream(&Output, nullptr);
    if (!stream) throw std::bad_alloc();
    result = avcodec_parameters_from_context(stream->codecpar, &Encoder);
    if (result < 0) RaiseEncodeError(Name, result);
    stream->time_base = Encoder.time_base;
    return *stream;
}

AvCodecContextPtr NewEncoder(const char* Codec, const std::string& Name) {
    const AVCodec* codec = avcodec_find_encoder_by_name(Codec);
    if (!codec)
        throw EVideoError(
            Format("Cannot encode \"%s\": this system's FFmpeg has no %s encoder", Name.c_str(), Codec));
    AvCodecContextPtr encoder(avcodec_alloc_context3(codec));
    if (!encoder) throw std::bad_alloc();
    return encoder;
}
