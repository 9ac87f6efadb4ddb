// Writes 16-bit PCM samples as a RIFF WAVE file, the input of the MP3 encoder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes interleaved 16-bit samples with the given channel count and rate;
// raises the stream's error naming the file when it cannot be written.
void WriteWavFile(const std::string& FileName, const std::vector<int16_t>& Samples, int Channels,
                  int SampleRate);
