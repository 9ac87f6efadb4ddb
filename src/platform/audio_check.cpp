// The sound-file check. Each kind has its own test of wholeness, cheap enough for
// start-up (headers only, or one walk over MP3 frame headers):
//   WAV   its chunks, the sample data included, fit the file;
//   Ogg   the last page ends the file and carries the end-of-stream flag;
//   FLAC  the last frame header found is the one holding the last sample;
//   MP3   no frame runs past the end, and the byte count of a Xing, Info or
//         VBRI header (encoders write one) is all there.
// A cut that falls exactly between two MP3 frames of a file without such a
// header cannot be seen, and such a file plays what it has.
#include "platform/audio_check.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/audio.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Files above this are judged by their first bytes only.
constexpr uintmax_t kMaxCheckedBytes = uintmax_t(256) << 20;
constexpr size_t kStartBytes = 4096;

// [SECTION] Reading

uint32_t U32Le(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint32_t U32Be(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}
bool Starts(const Bytes& Data, size_t At, const char* Magic) {
    const size_t length = std::strlen(Magic);
    return At + length <= Data.size() && std::memcmp(Data.data() + At, Magic, length) == 0;
}

// The whole file (or its start when it is very large); false when it cannot be read.
bool ReadAll(const std::string& Path, uintmax_t Size, Bytes& Data) {
    std::ifstream in(Path, std::ios::binary);
    if (!in) return false;
    Data.resize(size_t(Size > kMaxCheckedBytes ? kStartBytes : Size));
    in.read(reinterpret_cast<char*>(Data.data()), std::streamsize(Data.size()));
    return in.gcount() == std::streamsize(Data.size());
}

// [SECTION] WAV

// Chunks after "RIFF" size "WAVE": a format chunk, then sample data that fits.
bool WholeWav(const Bytes& Data) {
    if (size_t(U32Le(Data.data() + 4)) + 8 > Data.size()) return false; // the RIFF size claims more
    bool format = false;
    for (size_t at = 12; at + 8 <= Data.size();) {
        const uint32_t size = U32Le(Data.data() + at + 4);
        if (size > Data.size() - at - 8) return false;
        if (Starts(Data, at, "fmt ")) format = size >= 16;
        if (Starts(Data, at, "data")) return format && size > 0;
        at += 8 + size + (size & 1);
    }
    return false; // no sample data
}

// [SECTION] Ogg

// The last page: found backwards (a page is at most 65307 bytes), it must end the
// file exactly and be flagged as the end of the stream.
bool WholeOgg(const Bytes& Data) {
    const int64_t earliest = std::max<int64_t>(0, int64_t(Data.size()) - 65307);
    for (int64_t start = int64_t(Data.size()) - 27; start >= earliest; --start) {
        const size_t at = size_t(start);
        if (!Starts(Data, at, "OggS")) continue;
        const size_t segments = Data[at + 26];
        if (at + 27 + segments > Data.size()) continue;
        size_t body = 0;
        for (size_t k = 0; k < segments; ++k)
            body += Data[at + 27 + k];
        return at + 27 + segments + body == Data.size() && (Data[at + 5] & 0x04) != 0;
    }
    return false;
}

// The codec of the first page: Vorbis or Opus (the ones SDL_mixer decodes in Ogg).
bool PlayableOgg(const Bytes& Data) {
    if (Data.size() < 28) return false;
    const size_t payload = 27 + size_t(Data[26]);
    return Starts(Data, payload, "\x01vorbis") || Starts(Data, payload, "OpusHead");
}

// [SECTION] FLAC

struct FlacInfo {
    uint32_t BlockSize = 0;    // STREAMINFO's largest block size
    uint64_t TotalSamples = 0; // 0: not known
    size_t FirstFrame = 0;
};

// "fLaC", then metadata blocks (the first a 34-byte STREAMINFO) that fit the file.
bool ReadFlacInfo(const Bytes& Data, FlacInfo& Info) {
    if (Data.size() < 42 || (Data[4] & 0x7F) != 0 || (U32Be(Data.data() + 4) & 0xFFFFFF) != 34) return false;
    Info.BlockSize = uint32_t(Data[10]) << 8 | Data[11];
    Info.TotalSamples = uint64_t(Data[21] & 0x0F) << 32 | U32Be(Data.data() + 22);
    for (size_t at = 4; at + 4 <= Data.size();) {
        const bool last = (Data[at] & 0x80) != 0;
        at += 4 + (U32Be(Data.data() + at) & 0xFFFFFF);
        if (last) {
            Info.FirstFrame = at;
            return at < Data.size();
        }
    }
    return false;
}

uint8_t Crc8(const uint8_t* Data, size_t Count) {
    uint8_t crc = 0;
    for (size_t k = 0; k < Count; ++k) {
        crc ^= Data[k];
        for (int bit = 0; bit < 8; ++bit)
            crc = uint8_t(crc & 0x80 ? (crc << 1) ^ 0x07 : crc << 1);
    }
    return crc;
}

// The frame header at At, if one is there (its CRC-8 tells it from sample data):
// the number of its first sample and its block size.
bool FlacFrame(const Bytes& Data, size_t At, const FlacInfo& Info, uint64_t& First, uint32_t& Samples) {
    if (At + 6 > Data.size() || Data[At] != 0xFF || (Data[At + 1] & 0xFE) != 0xF8) return false;
    const int sizeCode = Data[At + 2] >> 4, rateCode = Data[At + 2] & 0x0F;
    size_t at = At + 4;
    const int extra = std::countl_one(Data[at]); // the coded number is UTF-8-like: 1 to 7 bytes
    if (extra == 1 || extra > 7 || at + size_t(std::max(extra, 1)) > Data.size()) return false;
    uint64_t number = extra == 0 ? Data[at] : Data[at] & (0x7F >> extra);
    for (int k = 1; k < extra; ++k)
        number = number << 6 | (Data[at + size_t(k)] & 0x3F);
    at += size_t(std::max(extra, 1));
    if (sizeCode == 0 || at + 4 > Data.size()) return false;
    // Codes 6 and 7 put the block size minus one after the number, in 8 or 16 bits.
    if (sizeCode == 6) {
        Samples = uint32_t(Data[at]) + 1;
        at += 1;
    } else if (sizeCode == 7) {
        Samples = (uint32_t(Data[at]) << 8 | Data[at + 1]) + 1;
        at += 2;
    } else {
        Samples = sizeCode == 1 ? 192 : sizeCode <= 5 ? 576u << (sizeCode - 2) : 256u << (sizeCode - 8);
    }
    at += rateCode == 12 ? 1 : (rateCode == 13 || rateCode == 14) ? 2 : 0;
    if (at >= Data.size() || Crc8(Data.data() + At, at - At) != Data[at]) return false;
    const bool variable = (Data[At + 1] & 0x01) != 0;
    First = variable ? number : number * Info.BlockSize;
    return true;
}

// The last frame header in the file must hold the stream's last sample.
bool WholeFlac(const Bytes& Data) {
    FlacInfo info;
    if (!ReadFlacInfo(Data, info)) return false;
    if (info.TotalSamples == 0) return true;
    for (size_t at = Data.size() - 1; at >= info.FirstFrame; --at) {
        uint64_t first = 0;
        uint32_t samples = 0;
        if (FlacFrame(Data, at, info, first, samples)) return first + samples >= info.TotalSamples;
    }
    return false;
}

// [SECTION] MP3

// The length in bytes of the MPEG audio frame whose header is at At; 0 when no
// valid header is there (or a free-format one, whose length the header does not tell).
size_t Mp3FrameLength(const Bytes& Data, size_t At) {
    static const uint16_t kBitrates[5][15] = {
        {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448}, // MPEG 1, layer I
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},    // MPEG 1, layer II
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},     // MPEG 1, layer III
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},    // MPEG 2 and 2.5, layer I
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}, // MPEG 2 and 2.5, layers II, III
    };
    static const uint32_t kRates[3] = {44100, 48000, 32000};
    if (At + 4 > Data.size() || Data[At] != 0xFF || (Data[At + 1] & 0xE0) != 0xE0) return 0;
    const int version = (Data[At + 1] >> 3) & 3; // 0: 2.5, 2: 2, 3: 1
    const int layer = 4 - ((Data[At + 1] >> 1) & 3);
    const int bitrateIndex = Data[At + 2] >> 4, rateIndex = (Data[At + 2] >> 2) & 3;
    if (version == 1 || layer == 4 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return 0;
    const bool mpeg1 = version == 3;
    const uint32_t bitrate = 1000u * kBitrates[mpeg1 ? layer - 1 : (layer == 1 ? 3 : 4)][bitrateIndex];
    const uint32_t rate = kRates[rateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    const size_t padding = (Data[At + 2] >> 1) & 1;
    if (layer == 1) return (12 * bitrate / rate + padding) * 4;
    return (layer == 3 && !mpeg1 ? 72 : 144) * bitrate / rate + padding;
}

// Where the audio frames begin: after an ID3v2 tag, at the first of two frames in a row.
size_t FirstMp3Frame(const Bytes& Data) {
    size_t at = 0;
    if (Starts(Data, 0, "ID3") && Data.size() >= 10) {
        // The tag size is "syncsafe": four bytes of seven bits each.
        at = 10 + (size_t(Data[6] & 0x7F) << 21 | size_t(Data[7] & 0x7F) << 14 | size_t(Data[8] & 0x7F) << 7 |
                   size_t(Data[9] & 0x7F));
        if (Data[5] & 0x10) at += 10; // a footer follows the tag
    }
    for (const size_t limit = std::min(Data.size(), at + 65536); at < limit; ++at) {
        const size_t length = Mp3FrameLength(Data, at);
        if (length != 0 && (at + length == Data.size() || Mp3FrameLength(Data, at + length) != 0)) return at;
    }
    return Data.size();
}

// The byte count a Xing, Info or VBRI header in the first frame promises; 0 when there is none.
size_t PromisedMp3Bytes(const Bytes& Data, size_t At) {
    const bool mpeg1 = ((Data[At + 1] >> 3) & 3) == 3, mono = (Data[At + 3] >> 6) == 3;
    const size_t xing = At + 4 + (mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17));
    if ((Starts(Data, xing, "Xing") || Starts(Data, xing, "Info")) && xing + 16 <= Data.size()) {
        const uint32_t flags = U32Be(Data.data() + xing + 4);
        if (flags & 2) return U32Be(Data.data() + xing + 8 + (flags & 1 ? 4 : 0));
    }
    if (Starts(Data, At + 36, "VBRI") && At + 50 <= Data.size()) return U32Be(Data.data() + At + 46);
    return 0;
}

// Frames follow each other to the end (or to a trailing tag or junk); none runs past it.
bool WholeMp3(const Bytes& Data) {
    const size_t first = FirstMp3Frame(Data);
    if (first >= Data.size()) return false;
    if (PromisedMp3Bytes(Data, first) > Data.size() - first) return false;
    for (size_t at = first; at < Data.size();) {
        const size_t length = Mp3FrameLength(Data, at);
        // No frame here: a tag (ID3v1, APE) or junk after the music, unless it is
        // the first bytes of a header the cut went through.
        if (length == 0) return Data.size() - at >= 4 || Data[at] != 0xFF;
        if (at + length > Data.size()) return false;
        at += length;
    }
    return true;
}

// [SECTION] Kinds

// The file's verdict by its first bytes; large files are only recognised.
int32_t CheckContent(const Bytes& Data, bool Whole) {
    auto verdict = [Whole](bool whole) { return !Whole || whole ? kAudioOk : kAudioErrorFileFormat; };
    if (Starts(Data, 0, "RIFF") && Starts(Data, 8, "WAVE")) return verdict(WholeWav(Data));
    if (Starts(Data, 0, "FORM") && (Starts(Data, 8, "AIFF") || Starts(Data, 8, "AIFC"))) return kAudioOk;
    if (Starts(Data, 0, "OggS")) return PlayableOgg(Data) ? verdict(WholeOgg(Data)) : kAudioErrorFileFormat;
    if (Starts(Data, 0, "fLaC")) return verdict(WholeFlac(Data));
    if (FirstMp3Frame(Data) < Data.size()) return verdict(WholeMp3(Data));
    return kAudioErrorFileFormat;
}

} // namespace

int32_t CheckAudioFile(const std::string& Path) {
    // The regular-file test comes first: opening a FIFO would block.
    std::error_code error;
    if (!std::filesystem::is_regular_file(Path, error)) return kAudioErrorFileOpen;
    const uintmax_t size = std::filesystem::file_size(Path, error);
    Bytes data;
    if (error || !ReadAll(Path, size, data)) return kAudioErrorFileOpen;
    if (data.empty()) return kAudioErrorFileFormat;
    return CheckContent(data, size <= kMaxCheckedBytes);
}
