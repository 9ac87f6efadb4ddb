#include "render/bmp_format.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "render/graphic_errors.h"

namespace {

constexpr uint16_t kBitmapFileType = 0x4D42; // "BM" read as a little-endian word
constexpr int kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kLargestHeaderSize = 124;
constexpr uint32_t kMaskedHeaderSize = 52; // version 2: the three colour masks inside the header
constexpr uint32_t kAlphaHeaderSize = 56;  // version 3: the alpha mask too

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

// Reads exactly Count bytes, or the data is cut off.
void ReadExactly(TStream& Stream, void* Buffer, size_t Count) {
    if (Stream.Read(Buffer, Count) != Count) RaiseInvalidDIB(CutOffReason(Stream));
}

// Moves Count bytes ahead, or the data is cut off.
void Skip(TStream& Stream, int64_t Count) {
    if (Count > Stream.Remaining()) RaiseInvalidDIB(CutOffReason(Stream));
    Stream.SetPosition(Stream.Position() + Count);
}

// The header fields the rest of the reader works from.
struct HeaderFields {
    uint32_t HeaderSize = 0;
    int64_t Width = 0;
    int64_t Height = 0; // negative: rows stored top-down
    int BitCount = 0;
    uint32_t Compression = CompressionRgb;
    uint32_t ImageSize = 0;
    uint32_t ColorsUsed = 0;
    int PaletteEntrySize = 4;
    uint32_t Masks[4] = {}; // red, green, blue, alpha, from headers of 52 bytes and more
};

bool Os2Header(uint32_t HeaderSize) {
    return HeaderSize == 16 || HeaderSize == 64;
}

bool KnownHeaderSize(uint32_t HeaderSize) {
    switch (HeaderSize) {
    case kCoreHeaderSize: // OS/2 1.x
    case 16:              // OS/2 2.x, cut after the bit count
    case 64:              // OS/2 2.x
    case kInfoHeaderSize: // Windows 3
    case kMaskedHeaderSize:
    case kAlphaHeaderSize:
    case 108:                // version 4: masks, colour space
    case kLargestHeaderSize: // version 5: and a colour profile
        return true;
    default:
        return false;
    }
}

// Reads the header after its size field. All but the 12-byte core header share
// the 40-byte layout as far as they reach; the OS/2 fields beyond it, and the
// colour spaces and profiles of versions 4 and 5, do not change the pixels.
HeaderFields ReadHeader(TStream& Stream, uint32_t HeaderSize) {
    if (!KnownHeaderSize(HeaderSize))
        RaiseInvalidDIB(
            Format("its information header has %u bytes, a size no known program writes", HeaderSize));
    uint8_t h[kLargestHeaderSize] = {}; // at the offsets of the header, its size field included
    ReadExactly(Stream, h + 4, HeaderSize - 4);
    HeaderFields f;
    f.HeaderSize = HeaderSize;
    if (HeaderSize == kCoreHeaderSize) {
        f.Width = U16At(h + 4);
        f.Height = U16At(h + 6);
        f.BitCount = U16At(h + 10);
        f.PaletteEntrySize = 3;
        return f;
    }
    f.Width = int32_t(U32At(h + 4));
    f.Height = int32_t(U32At(h + 8));
    f.BitCount = U16At(h + 14);
    f.Compression = U32At(h + 16);
    f.ImageSize = U32At(h + 20);
    f.ColorsUsed = U32At(h + 32);
    if (HeaderSize >= kMaskedHeaderSize && !Os2Header(HeaderSize))
        for (int k = 0; k < (HeaderSize >= kAlphaHeaderSize ? 4 : 3); ++k)
            f.Masks[k] = U32At(h + 40 + 4 * k);
    return f;
}

bool ValidBitCount(int BitCount) {
    return BitCount == 1 || BitCount == 4 || BitCount == 8 || BitCount == 16 || BitCount == 24 ||
           BitCount == 32;
}

bool UsesBitfields(const HeaderFields& F) {
    return F.Compression == CompressionBitfields || F.Compression == CompressionAlphaBitfields;
}

// Compression and depth must fit each other; run-length rows cannot be top-down.
void CheckCompression(const HeaderFields& F) {
    const bool os2 = Os2Header(F.HeaderSize);
    switch (F.Compression) {
    case CompressionRgb:
        return;
    case CompressionRle8:
    case CompressionRle4:
        if (F.BitCount != (F.Compression == CompressionRle8 ? 8 : 4))
            RaiseInvalidDIB(Format("it has run-length data at %d bits per pixel", F.BitCount));
        if (F.Height < 0) RaiseInvalidDIB("it has run-length data with its rows top-down");
        return;
    case CompressionBitfields:
    case CompressionAlphaBitfields:
        if (os2) RaiseInvalidDIB("it uses OS/2 compression this program cannot read");
        if (F.BitCount != 16 && F.BitCount != 32)
            RaiseInvalidDIB(Format("it has bit fields at %d bits per pixel", F.BitCount));
        return;
    case CompressionJpeg:
    case CompressionPng:
        if (os2) RaiseInvalidDIB("it uses OS/2 compression this program cannot read");
        RaiseInvalidDIB(F.Compression == CompressionJpeg
                            ? "it holds a JPEG inside the BMP; save it as a JPEG file"
                            : "it holds a PNG inside the BMP; save it as a PNG file");
    default:
        RaiseInvalidDIB(Format("it uses compression %u, which this program cannot read", F.Compression));
    }
}

// Checks the header's numbers and that the pixel block stays within kMaxDIBBytes.
// Planes, densities and colours important are not checked: no program needs them.
void CheckHeader(const HeaderFields& F) {
    if (!ValidBitCount(F.BitCount)) RaiseInvalidDIB(Format("it has %d bits per pixel", F.BitCount));
    CheckCompression(F);
    // INT32_MIN has no positive counterpart, so it is refused with zero sizes.
    if (F.Width <= 0 || F.Height == 0 || F.Height == INT32_MIN)
        RaiseInvalidDIB(Format("it is a BMP of %lld x %lld pixels", (long long)F.Width, (long long)F.Height));
    if (!DIBSizeFits(F.BitCount, F.Width, std::abs(F.Height)))
        RaiseInvalidDIB(Format("it is a BMP of %lld x %lld pixels, more than the %lld MiB a picture may take",
                               (long long)F.Width, (long long)std::abs(F.Height),
                               (long long)(kMaxDIBBytes >> 20)));
}

// A channel mask must be one unbroken run of bits inside the pixel.
bool ValidMask(uint32_t Mask, int BitCount) {
    if (Mask == 0 || (BitCount < 32 && Mask >> BitCount != 0)) return false;
    const uint32_t run = Mask >> std::countr_zero(Mask);
    return (run & (run + 1)) == 0;
}

// The colour masks (red, green, blue) must be sound and apart; an alpha mask, where
// there is one, too.
void CheckMasks(const uint32_t* Masks, int BitCount) {
    uint32_t seen = 0;
    for (int k = 0; k < 4; ++k) {
        if (k == 3 && Masks[k] == 0) break;
        if (!ValidMask(Masks[k], BitCount) || (seen & Masks[k]) != 0)
            RaiseInvalidDIB(Format("its colour masks (red %08X, green %08X, blue %08X, alpha %08X) are not "
                                   "separate runs of bits within %d-bit pixels",
                                   Masks[0], Masks[1], Masks[2], Masks[3], BitCount));
        seen |= Masks[k];
    }
}

// Bit fields: masks from the header, or after a 40-byte header (three, or four
// with compression 6). Without bit fields, a 32-bit image of a version 3 header
// or later may still name an alpha channel beside its 8-8-8 colours.
void ReadMasks(TStream& Stream, HeaderFields& F) {
    if (!UsesBitfields(F)) {
        const uint32_t alpha = F.Masks[3];
        F.Masks[3] = 0;
        if (F.BitCount == 32 && ValidMask(alpha, 32) && (alpha & 0xFFFFFF) == 0) F.Masks[3] = alpha;
        return;
    }
    if (F.HeaderSize == kInfoHeaderSize) {
        const int count = F.Compression == CompressionAlphaBitfields ? 4 : 3;
        uint8_t m[16];
        ReadExactly(Stream, m, size_t(count) * 4);
        for (int k = 0; k < count; ++k)
            F.Masks[k] = U32At(m + 4 * k);
    }
    CheckMasks(F.Masks, F.BitCount);
}

// Palette: colours used, or the full 2^BitCount when that is 0, clamped to what
// the depth can index (direct images may carry up to 256 entries, skipped). With a
// known pixel start the palette ends there at the latest.
void ReadPalette(TStream& Stream, const HeaderFields& F, int64_t PixelStart, TRGBQuads& Table) {
    int64_t count = F.ColorsUsed;
    if (F.BitCount <= 8 && (count == 0 || count > (int64_t(1) << F.BitCount)))
        count = int64_t(1) << F.BitCount;
    count = std::min<int64_t>(count, 256);
    const int64_t room = PixelStart - Stream.Position();
    if (PixelStart >= 0 && room >= 0) count = std::min(count, room / F.PaletteEntrySize);
    uint8_t entries[256 * 4];
    ReadExactly(Stream, entries, size_t(count) * F.PaletteEntrySize);
    if (F.BitCount > 8) return;
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

// Reads the pixel block; nothing is allocated before the stream is known to hold
// it. Uncompressed rows may lack the padding of the last row at the end of the data.
std::vector<uint8_t> ReadPixels(TStream& Stream, const HeaderFields& F, const DIBInfo& Info) {
    const bool encoded = F.Compression == CompressionRle8 || F.Compression == CompressionRle4;
    if (encoded && F.ImageSize == 0) RaiseInvalidDIB("its run-length data has no size");
    const int64_t count = encoded ? F.ImageSize : Info.Size();
    const int64_t padding = encoded ? 0 : Info.WidthBytes() - (int64_t(F.BitCount) * Info.Width + 7) / 8;
    if (count - padding > Stream.Remaining()) RaiseInvalidDIB(CutOffReason(Stream));
    std::vector<uint8_t> bits(static_cast<size_t>(count), 0);
    ReadExactly(Stream, bits.data(), size_t(std::min(count, Stream.Remaining())));
    if (encoded && !DecodeRLE(bits, F.Compression, Info, nullptr))
        RaiseInvalidDIB("its run-length data runs past the image or ends before its end mark");
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

std::optional<StoredDIB> ReadStoredDIB(TStream& Stream, int64_t PixelStart) {
    uint8_t sizeField[4];
    const size_t got = Stream.Read(sizeField, sizeof sizeField);
    if (got == 0) return std::nullopt;
    if (got != sizeof sizeField) RaiseInvalidDIB(CutOffReason(Stream));
    if (PixelStart > Stream.Size()) PixelStart = -1; // an offset past the end tells nothing
    HeaderFields f = ReadHeader(Stream, U32At(sizeField));
    CheckHeader(f);
    ReadMasks(Stream, f);
    StoredDIB dib;
    dib.Info.Width = int32_t(f.Width);
    dib.Info.Height = int32_t(std::abs(f.Height));
    dib.Info.BitCount = f.BitCount;
    if (UsesBitfields(f))
        dib.Info.PixelFormat = MakeDIBPixelFormatMask(f.Masks[0], f.Masks[1], f.Masks[2]);
    else if (f.BitCount == 16)
        dib.Info.PixelFormat = kPixelFormat555;
    dib.AlphaMask = f.Masks[3];
    ReadPalette(Stream, f, PixelStart, dib.Info.ColorTable);
    if (PixelStart > Stream.Position()) Skip(Stream, PixelStart - Stream.Position());
    dib.Bits = ReadPixels(Stream, f, dib.Info);
    dib.Compression = UsesBitfields(f) ? CompressionRgb : f.Compression;
    return dib;
}

bool ReadBitmapFileHeader(TStream& Stream, uint32_t* PixelOffset) {
    uint8_t header[kFileHeaderSize];
    const size_t got = Stream.Read(header, sizeof header);
    if (got == 0) return false;
    if (got != sizeof header) RaiseInvalidDIB(CutOffReason(Stream));
    if (U16At(header) != kBitmapFileType) RaiseInvalidDIB("it does not start with \"BM\"");
    if (PixelOffset) *PixelOffset = U32At(header + 10);
    return true;
}

void RaiseInvalidDIB(const std::string& Reason) {
    throw EInvalidGraphic(Format("%s (%s)", kDIBInvalid, Reason.c_str()));
}

std::string CutOffReason(const TStream& Stream) {
    return Format("it is cut off after %lld bytes", (long long)Stream.Size());
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
