// The one reader and writer of device-independent bitmaps in their stored form
// (information header, channel masks, palette, pixel rows) and their file form
// ("BM" file header + stored form). Every byte read is untrusted: anything the
// reader cannot turn into a sound image raises EInvalidGraphic "DIB is invalid
// (<what is wrong, in plain words>)". The writer writes only the 40-byte header.
//
// What the reader takes from files other programs write, and what it refuses:
//
//   tolerated (read)                                    refused ("DIB is invalid (...)")
//   --------------------------------------------------  ------------------------------------------------
//   headers of 12 (OS/2 1.x), 16, 64 (OS/2 2.x), 40,     any other header size
//     52, 56, 108 (version 4), 124 (version 5) bytes     header, masks, palette or pixels cut off
//   planes other than 1, densities, colours important    width or height 0, negative width
//   a wrong image size field (uncompressed pixels)       pixels above 256 MiB (checked without overflow)
//   colours used above the depth or 256: clamped         bit counts other than 1, 4, 8, 16, 24, 32
//   a short palette; indices beyond it read black        masks empty, broken, overlapping, too wide
//   a gap before the pixels (the file's pixel offset)    bit fields at 1 to 8 or 24 bits
//   the last row's padding missing at the end            run-length data at the wrong depth, top-down,
//   top-down rows (negative height)                        past its row or the image, or without its end
//   bit fields (3, or 6 with alpha) of any contiguous    JPEG or PNG inside a BMP, OS/2 Huffman and
//     masks at 16 and 32 bits: converted to 8-8-8          24-bit run-length compression, codes above 6
//   alpha masks: alpha folded into the key colour, or
//     ignored when it is 0 in every pixel
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "render/stream.h"

// Compression codes of the information header.
enum : uint32_t {
    CompressionRgb = 0,
    CompressionRle8 = 1,
    CompressionRle4 = 2,
    CompressionBitfields = 3,
    CompressionJpeg = 4,
    CompressionPng = 5,
    CompressionAlphaBitfields = 6
};

// One palette entry as stored: blue, green, red, reserved.
struct TRGBQuad {
    uint8_t Blue = 0;
    uint8_t Green = 0;
    uint8_t Red = 0;
    uint8_t Reserved = 0;
    bool operator==(const TRGBQuad&) const = default;
};
using TRGBQuads = std::array<TRGBQuad, 256>;

// The channel masks of direct pixels and the bit where each channel starts.
struct TDIBPixelFormat {
    uint32_t RBitMask = 0xFF0000;
    uint32_t GBitMask = 0x00FF00;
    uint32_t BBitMask = 0x0000FF;
    int RShift = 16;
    int GShift = 8;
    int BShift = 0;
    bool operator==(const TDIBPixelFormat&) const = default;
};

// A pixel format from three channel masks.
TDIBPixelFormat MakeDIBPixelFormatMask(uint32_t RBitMask, uint32_t GBitMask, uint32_t BBitMask);

inline const TDIBPixelFormat kPixelFormat555 = MakeDIBPixelFormatMask(0x7C00, 0x03E0, 0x001F);
inline const TDIBPixelFormat kPixelFormat565 = MakeDIBPixelFormatMask(0xF800, 0x07E0, 0x001F);
inline const TDIBPixelFormat kPixelFormat888 = MakeDIBPixelFormatMask(0xFF0000, 0x00FF00, 0x0000FF);

// The largest pixel block an image may have: 256 MiB.
inline constexpr int64_t kMaxDIBBytes = int64_t(256) << 20;

// Bytes per row: rows are padded to whole 32-bit words.
constexpr int64_t DIBWidthBytes(int BitCount, int64_t Width) {
    return (BitCount * Width + 31) / 32 * 4;
}

// True when an image of that size and depth keeps its pixel block within kMaxDIBBytes
// (sizes are checked in steps so that no product overflows).
constexpr bool DIBSizeFits(int BitCount, int64_t Width, int64_t Height) {
    const int64_t widthBytes = DIBWidthBytes(BitCount, Width);
    return widthBytes <= kMaxDIBBytes && Height <= kMaxDIBBytes && widthBytes * Height <= kMaxDIBBytes;
}

// Size, depth, format and palette of an image: everything but its pixels.
struct DIBInfo {
    int32_t Width = 0;
    int32_t Height = 0; // always positive: rows are held bottom-up
    int BitCount = 0;
    TDIBPixelFormat PixelFormat = kPixelFormat888;
    TRGBQuads ColorTable{};

    int32_t WidthBytes() const { return static_cast<int32_t>(DIBWidthBytes(BitCount, Width)); }
    int32_t Size() const { return WidthBytes() * Height; }
    // Palette entries: 2^BitCount up to 8 bits, none above.
    int PaletteCount() const { return BitCount <= 8 ? 1 << BitCount : 0; }
    // Channel masks are written for 16 and 32 bits.
    bool HasMasks() const { return BitCount == 16 || BitCount == 32; }
    // Bytes of the information block as written: header, masks, palette.
    int32_t InfoSize() const { return 40 + (HasMasks() ? 12 : 0) + 4 * PaletteCount(); }
};

// An image as read: its description and either its bottom-up pixel rows
// (CompressionRgb) or, for run-length images (CompressionRle8, CompressionRle4), the encoded bytes,
// already checked to decode within the image. Info.PixelFormat may hold any sound masks;
// AlphaMask is the alpha channel's mask, 0 when the file has none.
struct StoredDIB {
    DIBInfo Info;
    uint32_t Compression = CompressionRgb;
    uint32_t AlphaMask = 0;
    std::vector<uint8_t> Bits;
};

// Reads the stored form. Nothing left in the stream gives no image (nullopt);
// anything unsound raises EInvalidGraphic "DIB is invalid (<reason>)" with the
// stream position undefined. PixelStart, when not negative, is the stream
// position where a file header says the pixels begin: it bounds the palette and
// skips a gap before the pixels (an offset before the palette is ignored).
std::optional<StoredDIB> ReadStoredDIB(TStream& Stream, int64_t PixelStart = -1);

// Reads a 14-byte "BM" file header. False when the stream holds no byte at all;
// a short header or another type raises EInvalidGraphic "DIB is invalid (<reason>)".
// PixelOffset, when given, receives the header's offset of the pixels from the header's start.
bool ReadBitmapFileHeader(TStream& Stream, uint32_t* PixelOffset = nullptr);

// The EInvalidGraphic of a stored or file form that cannot be read: "DIB is invalid (<Reason>)".
[[noreturn]] void RaiseInvalidDIB(const std::string& Reason);
// The reason for data that ends early: "it is cut off after <size of Stream> bytes".
std::string CutOffReason(const TStream& Stream);

// Decodes run-length pixels into Target (Info.Size() bytes, zeroed, bottom-up),
// or only checks them when Target is null. False when a run, literal or delta
// leaves its row or the image, or the data ends before the end-of-image mark.
bool DecodeRLE(const std::vector<uint8_t>& Encoded, uint32_t Compression, const DIBInfo& Info,
               uint8_t* Target);

// Writes the stored form: information block and Info.Size() pixel bytes.
void WriteStoredDIB(TStream& Stream, const DIBInfo& Info, const uint8_t* Bits);
// Writes the file form: the "BM" file header, then the stored form.
void WriteBitmapFile(TStream& Stream, const DIBInfo& Info, const uint8_t* Bits);
