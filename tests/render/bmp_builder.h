// Crafts stored and file forms of bitmaps byte by byte for the tests, so that
// every header field (sound or not) can be set independently of the writer.
#pragma once

#include <cstdint>
#include <vector>

struct BmpLayout {
    uint32_t HeaderSize = 40; // 12 writes the old core header; other sizes pad with zeros
    int32_t Width = 1;
    int32_t Height = 1;
    uint16_t Planes = 1;
    uint16_t BitCount = 24;
    uint32_t Compression = 0;
    uint32_t ImageSize = 0;
    uint32_t ColorsUsed = 0;
    std::vector<uint32_t> Masks;  // written after the header when present
    std::vector<uint8_t> Palette; // raw entry bytes
    std::vector<uint8_t> Pixels;  // raw pixel (or run-length) bytes
};

inline void AppendLe(std::vector<uint8_t>& Out, uint32_t Value, int Bytes) {
    for (int k = 0; k < Bytes; ++k)
        Out.push_back(uint8_t(Value >> (8 * k)));
}

// Header, masks, palette and pixels: the stored form.
inline std::vector<uint8_t> StoredBytes(const BmpLayout& S) {
    std::vector<uint8_t> out;
    AppendLe(out, S.HeaderSize, 4);
    if (S.HeaderSize == 12) {
        AppendLe(out, uint32_t(S.Width), 2);
        AppendLe(out, uint32_t(S.Height), 2);
        AppendLe(out, S.Planes, 2);
        AppendLe(out, S.BitCount, 2);
    } else {
        AppendLe(out, uint32_t(S.Width), 4);
        AppendLe(out, uint32_t(S.Height), 4);
        AppendLe(out, S.Planes, 2);
        AppendLe(out, S.BitCount, 2);
        AppendLe(out, S.Compression, 4);
        AppendLe(out, S.ImageSize, 4);
        AppendLe(out, 0, 4); // resolutions
        AppendLe(out, 0, 4);
        AppendLe(out, S.ColorsUsed, 4);
        AppendLe(out, 0, 4); // colours important
        while (out.size() < S.HeaderSize)
            out.push_back(0);
    }
    for (uint32_t m : S.Masks)
        AppendLe(out, m, 4);
    out.insert(out.end(), S.Palette.begin(), S.Palette.end());
    out.insert(out.end(), S.Pixels.begin(), S.Pixels.end());
    return out;
}

// A 14-byte "BM" header in front of the stored form.
inline std::vector<uint8_t> FileBytes(const BmpLayout& S) {
    const std::vector<uint8_t> stored = StoredBytes(S);
    std::vector<uint8_t> out{'B', 'M'};
    AppendLe(out, uint32_t(14 + stored.size()), 4);
    AppendLe(out, 0, 4);
    AppendLe(out, 14 + S.HeaderSize + uint32_t(S.Masks.size() * 4 + S.Palette.size()), 4);
    out.insert(out.end(), stored.begin(), stored.end());
    return out;
}
