// Crafts stored and file forms of bitmaps byte by byte for the tests, so that
// every header field (sound or not) can be set independently of the writer.
#pragma once

#include <cstdint>
#include <vector>

struct BmpLayout {
    uint32_t HeaderSize = 40; // 12 writes the old core header; others cut or pad the 40-byte one
    int32_t Width = 1;
    int32_t Height = 1;
    uint16_t Planes = 1;
    uint16_t BitCount = 24;
    uint32_t Compression = 0;
    uint32_t ImageSize = 0;
    uint32_t ColorsUsed = 0;
    std::vector<uint32_t>
        HeaderMasks;              // red, green, blue (alpha) at offset 40 of a header of 52 bytes or more
    std::vector<uint32_t> Masks;  // written after the header when present
    std::vector<uint8_t> Palette; // raw entry bytes
    std::vector<uint8_t> Pixels;  // raw pixel (or run-length) bytes
    uint32_t Gap = 0;             // zero bytes between palette and pixels; the file header points past them
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
        for (uint32_t m : S.HeaderMasks)
            AppendLe(out, m, 4);
        out.resize(S.HeaderSize, 0); // cut (OS/2's 16 bytes) or padded
    }
    for (uint32_t m : S.Masks)
        AppendLe(out, m, 4);
    out.insert(out.end(), S.Palette.begin(), S.Palette.end());
    out.insert(out.end(), S.Gap, 0);
    out.insert(out.end(), S.Pixels.begin(), S.Pixels.end());
    return out;
}

// A 14-byte "BM" header in front of the stored form.
inline std::vector<uint8_t> FileBytes(const BmpLayout& S) {
    const std::vector<uint8_t> stored = StoredBytes(S);
    std::vector<uint8_t> out{'B', 'M'};
    AppendLe(out, uint32_t(14 + stored.size()), 4);
    AppendLe(out, 0, 4);
    AppendLe(out, 14 + S.HeaderSize + uint32_t(S.Masks.size() * 4 + S.Palette.size()) + S.Gap, 4);
    out.insert(out.end(), stored.begin(), stored.end());
    return out;
}
