#include "render/bmp_format.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "render/graphic_errors.h"

namespace {

constexpr uint16_t kBitmapFileType = 0x4D42; // "BM" read as a little-endian word
constexpr int kFileHeaderSize = 14;
constexpr int kCoreHeaderSize = 12;
constexpr int kInfoHeaderSize = 40;

[[noreturn]] void Invalid() {
    throw EInvalidGraphic(kDIBInvalid);
}

uint16_t U16At(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}
uint32_t U32At(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void PutU16(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
void PutU32(uint8_t* p, uint32_t v) {
    PutU16(p, v);
    PutU16(p + 2, v >> 16);
}

// Reads exactly Count bytes, or the data is invalid.
void ReadExactly(TStream& Stream, void* Buffer, size_t Count) {
    if (Stream.Read(Buffer, Count) != Count) Invalid();
}

// The header fields the rest of the reader works from.
struct HeaderFields {
    int64_t Width = 0;
    int64_t Height = 0; // negative: rows stored top-down
    int Planes = 0;
    int BitCount = 0;
    uint32_t Compression = CompressionRgb;
    uint32_t ImageSize = 0;
    uint32_t ColorsUsed = 0;
    int PaletteEntrySize = 4;
};

// Reads the header after its size field: the old 12-byte core header or the 40-byte one.
HeaderFields ReadHeader(TStream& Stream, uint32_t HeaderSize) {
    uint8_t h[kInfoHeaderSize - 4];
    HeaderFields f;
    if (HeaderSize == kCoreHeaderSize) {
        ReadExactly(Stream, h, kCoreHeaderSize - 4);
        f.Width = U16At(h);
        f.Height = U16At(h + 2);
        f.Planes = U16At(h + 4);
        f.BitCount = U16At(h + 6);
        f.PaletteEntrySize = 3;
        return f;
    }
    if (HeaderSize != kInfoHeaderSize) Invalid();
    ReadExactly(Stream, h, kInfoHeaderSize - 4);
    f.Width = int32_t(U32At(h));
    f.Height = int32_t(U32At(h + 4));
    f.Planes = U16At(h + 8);
    f.BitCount = U16At(h + 10);
    f.Compression = U32At(h + 12);
    f.ImageSize = U32At(h + 16);
    f.ColorsUsed = U32At(h + 28);
    return f;
}

bool ValidBitCount(int BitCount) {
    return BitCount == 1 || BitCount == 4 || BitCount == 8 || BitCount == 16 || BitCount == 24 ||
           BitCount == 32;
}

// Compression and depth must fit each other; run-length rows cannot be top-down.
bool ValidCompression(const HeaderFields& F) {
    switch (F.Compression) {
    case CompressionRgb:
        return true;
    case CompressionRle8:
        return F.BitCount == 8 && F.Height > 0;
    case CompressionRle4:
        return F.BitCount == 4 && F.Height > 0;
    case CompressionBitfields:
        return F.BitCount == 16 || F.BitCount == 32;
    default:
        return false;
    }
}

// Checks the header's numbers and that the pixel block stays within kMaxDIBBytes.
void CheckHeader(const HeaderFields& F) {
    if (F.Planes != 1 || !ValidBitCount(F.BitCount) || !ValidCompression(F)) Invalid();
    // INT32_MIN has no positive counterpart, so it is refused with zero sizes.
    if (F.Width <= 0 || F.Height == 0 || F.Height == INT32_MIN) Invalid();
    if (!DIBSizeFits(F.BitCount, F.Width, std::abs(F.Height))) Invalid();
}

// A channel mask must be one unbroken run of bits inside the pixel.
bool ValidMask(uint32_t Mask, int BitCount) {
    if (Mask == 0 || (BitCount < 32 && Mask >> BitCount != 0)) return false;
    const uint32_t run = Mask >> std::countr_zero(Mask);
    return (run & (run + 1)) == 0;
}

TDIBPixelFormat ReadMasks(TStream& Stream, int BitCount) {
    uint8_t m[12];
    ReadExactly(Stream, m, sizeof m);
    const uint32_t r = U32At(m), g = U32At(m + 4), b = U32At(m + 8);
    if (!ValidMask(r, BitCount) || !ValidMask(g, BitCount) || !ValidMask(b, BitCount)) Invalid();
    if ((r & g) != 0 || (r & b) != 0 || (g & b) != 0) Invalid();
    return MakeDIBPixelFormatMask(r, g, b);
}

// Palette: colours used, or the full 2^BitCount when that is 0; never above 256
// and never above what the depth can index.
void ReadPalette(TStream& Stream, const HeaderFields& F, TRGBQuads& Table) {
    int64_t count = F.ColorsUsed;
    if (count == 0 && F.BitCount <= 8) count = int64_t(1) << F.BitCount;
    if (count > 256 || (F.BitCount <= 8 && count > (int64_t(1) << F.BitCount))) Invalid();
    uint8_t entries[256 * 4];
    ReadExactly(Stream, entries, size_t(count) * F.PaletteEntrySize);
    for (int64_t i = 0; i < count; ++i) {
        const uint8_t* e = entries + i * F.PaletteEntrySize;
        Table[size_t(i)] = TRGBQuad{e[0], e[1], e[2], 0};
    }
}

// Turns top-down rows into the bottom-up order images are held in.
void FlipRows(std::vector<uint8_t>& Bits, int32_t WidthBytes, int32_t Height) {
    for (int32_t top = 0, bottom = Height - 1; top < bottom; ++top, --bottom) {
        std::swap_ranges(Bits.begin() + int64_t(top) * WidthBytes,
                         Bits.begin() + int64_t(top + 1) * WidthBytes,
                         Bits.begin() + int64_t(bottom) * WidthBytes);
    }
}

// Reads the pixel block; nothing is allocated before the stream is known to hold it.
std::vector<uint8_t> ReadPixels(TStream& Stream, const HeaderFields& F, const DIBInfo& Info) {
    const bool encoded = F.Compression == CompressionRle8 || F.Compression == CompressionRle4;
    const int64_t count = encoded ? F.ImageSize : Info.Size();
    if (count == 0 || count > Stream.Remaining()) Invalid();
    std::vector<uint8_t> bits(static_cast<size_t>(count));
    ReadExactly(Stream, bits.data(), bits.size());
    if (encoded && !DecodeRLE(bits, F.Compression, Info, nullptr)) Invalid();
    if (F.Height < 0) FlipRows(bits, Info.WidthBytes(), Info.Height);
    return bits;
}

// Puts 4-bit pixel Value at column X of a row (the leftmost pixel in the high nibble).
void PutNibble(uint8_t* Row, int64_t X, uint8_t Value) {
    uint8_t& b = Row[X >> 1];
    b = (X & 1) ? uint8_t((b & 0xF0) | (Value & 0x0F)) : uint8_t((b & 0x0F) | (Value << 4));
}

// Writes Count 4-bit pixels from column X of Row: Nibble(k) gives pixel k.
template <typename NibbleSource> void PutNibbles(uint8_t* Row, int64_t X, int Count, NibbleSource Nibble) {
    for (int k = 0; k < Count; ++k)
        PutNibble(Row, X + k, Nibble(k));
}

// An absolute run (count, value): the value repeats; 4-bit runs alternate its two nibbles.
void PutRun(uint8_t* Row, int64_t X, int Count, uint8_t Value, int BitCount) {
    if (BitCount == 8) {
        std::memset(Row + X, Value, size_t(Count));
        return;
    }
    PutNibbles(Row, X, Count, [Value](int k) { return uint8_t(k & 1 ? Value & 0x0F : Value >> 4); });
}

// A literal group: Count pixels from Source, bytes (8-bit) or nibbles high first (4-bit).
void PutLiteral(uint8_t* Row, int64_t X, int Count, const uint8_t* Source, int BitCount) {
    if (BitCount == 8) {
        std::memcpy(Row + X, Source, size_t(Count));
        return;
    }
    PutNibbles(Row, X, Count,
               [Source](int k) { return uint8_t(k & 1 ? Source[k >> 1] & 0x0F : Source[k >> 1] >> 4); });
}

// A walk through run-length data: the next pixel's column and row (counted from
// the bottom) and the read position. Every step checks its pixels against the
// image before it writes them, and writes only when there is a target.
class RLEWalk {
public:
    RLEWalk(const std::vector<uint8_t>& Encoded, uint32_t Compression, const DIBInfo& Info, uint8_t* Target)
        : FData(Encoded), FInfo(Info), FTarget(Target), FBits(Compression == CompressionRle8 ? 8 : 4) {}

    // True at the end-of-image mark; false when a step is unsound or the data ends first.
    bool Walk() {
        // Every step consumes at least two bytes, so the walk ends within the data.
        while (FNext + 2 <= FData.size()) {
            const uint8_t first = FData[FNext], second = FData[FNext + 1];
            FNext += 2;
            if (first > 0) {
                if (!Repeat(first, second)) return false;
            } else if (second == 1) {
                return true;
            } else if (!Escape(second)) {
                return false;
            }
        }
        return false;
    }

private:
    bool Fits(int64_t Count) const { return FY < FInfo.Height && FX + Count <= FInfo.Width; }
    uint8_t* Row() const { return FTarget + FY * FInfo.WidthBytes(); }

    bool Repeat(int Count, uint8_t Value) {
        if (!Fits(Count)) return false;
        if (FTarget) PutRun(Row(), FX, Count, Value, FBits);
        FX += Count;
        return true;
    }

    // (0, 0) ends the row, (0, 2, dx, dy) moves right and down, (0, n >= 3) is a literal.
    bool Escape(uint8_t Code) {
        if (Code == 0) {
            if (FY >= FInfo.Height) return false;
            FX = 0;
            ++FY;
            return true;
        }
        if (Code == 2) {
            if (FNext + 2 > FData.size()) return false;
            FX += FData[FNext];
            FY += FData[FNext + 1];
            FNext += 2;
            return Fits(0);
        }
        return Literal(Code);
    }

    // Count pixels follow, padded to an even number of bytes.
    bool Literal(int Count) {
        const size_t bytes = FBits == 8 ? size_t(Count) : (size_t(Count) + 1) / 2;
        if (FNext + bytes + (bytes & 1) > FData.size() || !Fits(Count)) return false;
        if (FTarget) PutLiteral(Row(), FX, Count, FData.data() + FNext, FBits);
        FX += Count;
        FNext += bytes + (bytes & 1);
        return true;
    }

    const std::vector<uint8_t>& FData;
    const DIBInfo& FInfo;
    uint8_t* FTarget;
    const int FBits;
    size_t FNext = 0;
    int64_t FX = 0;
    int64_t FY = 0;
};

} // namespace

TDIBPixelFormat MakeDIBPixelFormatMask(uint32_t RBitMask, uint32_t GBitMask, uint32_t BBitMask) {
    // Each shift is the lowest bit of its mask (0 for an empty mask).
    auto shiftOf = [](uint32_t Mask) { return Mask == 0 ? 0 : std::countr_zero(Mask); };
    return TDIBPixelFormat{RBitMask,          GBitMask,          BBitMask,
                           shiftOf(RBitMask), shiftOf(GBitMask), shiftOf(BBitMask)};
}

std::optional<StoredDIB> ReadStoredDIB(TStream& Stream) {
    uint8_t sizeField[4];
    const size_t got = Stream.Read(sizeField, sizeof sizeField);
    if (got == 0) return std::nullopt;
    if (got != sizeof sizeField) Invalid();
    const HeaderFields f = ReadHeader(Stream, U32At(sizeField));
    CheckHeader(f);
    StoredDIB dib;
    dib.Info.Width = int32_t(f.Width);
    dib.Info.Height = int32_t(std::abs(f.Height));
    dib.Info.BitCount = f.BitCount;
    if (f.Compression == CompressionBitfields)
        dib.Info.PixelFormat = ReadMasks(Stream, f.BitCount);
    else if (f.BitCount == 16)
        dib.Info.PixelFormat = kPixelFormat555;
    ReadPalette(Stream, f, dib.Info.ColorTable);
    dib.Bits = ReadPixels(Stream, f, dib.Info);
    dib.Compression = f.Compression == CompressionBitfields ? CompressionRgb : f.Compression;
    return dib;
}

bool ReadBitmapFileHeader(TStream& Stream) {
    uint8_t header[kFileHeaderSize];
    const size_t got = Stream.Read(header, sizeof header);
    if (got == 0) return false;
    if (got != sizeof header || U16At(header) != kBitmapFileType) Invalid();
    return true;
}

bool DecodeRLE(const std::vector<uint8_t>& Encoded, uint32_t Compression, const DIBInfo& Info,
               uint8_t* Target) {
    return RLEWalk(Encoded, Compression, Info, Target).Walk();
}

void WriteStoredDIB(TStream& Stream, const DIBInfo& Info, const uint8_t* Bits) {
    std::vector<uint8_t> block(size_t(Info.InfoSize()), 0);
    uint8_t* h = block.data();
    PutU32(h, kInfoHeaderSize);
    PutU32(h + 4, uint32_t(Info.Width));
    PutU32(h + 8, uint32_t(Info.Height)); // positive: bottom-up
    PutU16(h + 12, 1);
    PutU16(h + 14, uint32_t(Info.BitCount));
    PutU32(h + 16, Info.HasMasks() ? CompressionBitfields : CompressionRgb);
    PutU32(h + 20, uint32_t(Info.Size()));
    uint8_t* next = h + kInfoHeaderSize;
    if (Info.HasMasks()) {
        PutU32(next, Info.PixelFormat.RBitMask);
        PutU32(next + 4, Info.PixelFormat.GBitMask);
        PutU32(next + 8, Info.PixelFormat.BBitMask);
        next += 12;
    }
    for (int i = 0; i < Info.PaletteCount(); ++i, next += 4) {
        const TRGBQuad& q = Info.ColorTable[size_t(i)];
        next[0] = q.Blue;
        next[1] = q.Green;
        next[2] = q.Red;
    }
    Stream.Write(block.data(), block.size());
    Stream.Write(Bits, size_t(Info.Size()));
}

void WriteBitmapFile(TStream& Stream, const DIBInfo& Info, const uint8_t* Bits) {
    uint8_t header[kFileHeaderSize] = {};
    const uint32_t offset = kFileHeaderSize + uint32_t(Info.InfoSize());
    PutU16(header, kBitmapFileType);
    PutU32(header + 2, offset + uint32_t(Info.Size()));
    PutU32(header + 10, offset);
    Stream.Write(header, sizeof header);
    WriteStoredDIB(Stream, Info, Bits);
}
