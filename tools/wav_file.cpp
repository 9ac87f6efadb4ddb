#include "wav_file.h"

#include "render/stream.h"

namespace {

void PutU32(std::vector<uint8_t>& Out, uint32_t Value) {
    for (int i = 0; i < 4; ++i)
        Out.push_back(uint8_t(Value >> (8 * i)));
}
void PutU16(std::vector<uint8_t>& Out, uint16_t Value) {
    Out.push_back(uint8_t(Value));
    Out.push_back(uint8_t(Value >> 8));
}
void PutTag(std::vector<uint8_t>& Out, const char* Tag) {
    Out.insert(Out.end(), Tag, Tag + 4);
}

} // namespace

void WriteWavFile(const std::string& FileName, const std::vector<int16_t>& Samples, int Channels,
                  int SampleRate) {
    const uint32_t dataBytes = uint32_t(Samples.size() * 2);
    const uint16_t blockAlign = uint16_t(Channels * 2);
    std::vector<uint8_t> bytes;
    PutTag(bytes, "RIFF");
    PutU32(bytes, 36 + dataBytes);
    PutTag(bytes, "WAVE");
    PutTag(bytes, "fmt ");
    PutU32(bytes, 16); // size of the format chunk
    PutU16(bytes, 1);  // PCM
    PutU16(bytes, uint16_t(Channels));
    PutU32(bytes, uint32_t(SampleRate));
    PutU32(bytes, uint32_t(SampleRate) * blockAlign);
    PutU16(bytes, blockAlign);
    PutU16(bytes, 16); // bits per sample
    PutTag(bytes, "data");
    PutU32(bytes, dataBytes);
    for (int16_t s : Samples)
        PutU16(bytes, uint16_t(s));
    TFileStream file(FileName, TFileStream::fmCreate);
    file.Write(bytes.data(), bytes.size());
}
