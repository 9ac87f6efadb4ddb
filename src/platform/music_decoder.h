// A host's music as samples for an audio encoder: any MP3, Ogg, FLAC, WAV,
// AIFF, MP4 audio or Matroska file decoded by FFmpeg and resampled (libswresample)
// to the encoder's rate and sample format, in stereo. The file is untrusted:
// only local files of these formats are opened, never a playlist or a URL.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

struct AVFrame;

class MusicDecoder {
public:
    // Opens File for samples at Rate in SampleFormat (an AVSampleFormat), two
    // channels. Raises EVideoError "Cannot read the music "<file>": <reason>".
    MusicDecoder(const std::string& File, int Rate, int SampleFormat);
    ~MusicDecoder();
    MusicDecoder(const MusicDecoder&) = delete;
    MusicDecoder& operator=(const MusicDecoder&) = delete;

    // Writes the next samples, up to Count, to the start of Frame's buffers
    // (already made for Count samples of the output format) and returns how
    // many there were: fewer than Count only where the music ends. A damaged
    // stretch of the file is skipped; an unreadable rest counts as the end.
    int Read(AVFrame& Frame, int Count);

private:
    struct State;
    bool DecodeMore();
    void Convert(AVFrame* Decoded);

    std::unique_ptr<State> FState;
};

// How long the sound File plays in milliseconds, as its container says; -1
// when it cannot be opened as one of the formats above or has no sound.
int64_t MusicMilliseconds(const std::string& File);
