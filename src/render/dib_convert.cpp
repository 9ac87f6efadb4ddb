#include "render/dib_convert.h"

#include <bit>
#include <vector>

#include "platform/pixel_access.h"
#include "platform/pixel_copy.h"

namespace {

// Widens a channel of Width bits to 8 by repeating its bits from the top, so 0
// stays 0 and the largest value becomes 255 (as 5-6-5 pixels are widened: 4 bits
// 0xA give 0xAA, 2 bits 0b10 give 0xAA); wider channels keep their top 8 bits
// (10 bits 0x3FF give 0xFF, 0x200 give 0x80).
uint32_t WidenChannel(uint32_t Value, int Width) {
    if (Width >= 8) return Value >> (Width - 8);
    uint32_t repeated = 0;
    int filled = 0;
    for (; filled < 8; filled += Width)
        repeated = repeated << Width | Value;
    return (repeated >> (filled - 8)) & 0xFF;
}

uint32_t ChannelOf(uint32_t Pixel, uint32_t Mask, int Shift) {
    if (Mask == 0) return 0;
    return WidenChannel((Pixel & Mask) >> Shift, std::popcount(Mask));
}

uint32_t PaletteColor(const TRGBQuads& Table, uint32_t Index) {
    const TRGBQuad& q = Table[Index & 0xFF];
    return RGB(q.Red, q.Green, q.Blue);
}

// Palette rows: the leftmost pixel sits in the highest bits of each byte.
void ReadIndexedRow(const DIBInfo& Info, const uint8_t* Row, uint32_t* Colors) {
    const int bits = Info.BitCount;
    const int perByte = 8 / bits;
    const uint32_t mask = (1u << bits) - 1;
    for (int32_t x = 0; x < Info.Width; ++x) {
        const int shift = 8 - bits * (x % perByte + 1);
        Colors[x] = PaletteColor(Info.ColorTable, (Row[x / perByte] >> shift) & mask);
    }
}

// The little-endian pixel of Bytes bytes at column X of Row.
uint32_t PackedPixel(const uint8_t* Row, int32_t X, int Bytes) {
    const uint8_t* p = Row + int64_t(X) * Bytes;
    uint32_t pixel = 0;
    for (int k = Bytes - 1; k >= 0; --k)
        pixel = pixel << 8 | p[k];
    return pixel;
}

// Direct rows: little-endian pixels of 2, 3 or 4 bytes split by the channel masks.
void ReadMaskedRow(const DIBInfo& Info, const uint8_t* Row, uint32_t* Colors) {
    const int bytes = Info.BitCount / 8;
    const TDIBPixelFormat& f = Info.PixelFormat;
    for (int32_t x = 0; x < Info.Width; ++x) {
        const uint32_t pixel = PackedPixel(Row, x, bytes);
        Colors[x] = RGB(uint8_t(ChannelOf(pixel, f.RBitMask, f.RShift)),
                        uint8_t(ChannelOf(pixel, f.GBitMask, f.GShift)),
                        uint8_t(ChannelOf(pixel, f.BBitMask, f.BShift)));
    }
}

// Packs a row of colours into row Y of Target, the format chosen once per row.
void WriteRowColors(const PixelView& Target, int Y, const uint32_t* Colors) {
    WithFormat(Target.Format, [&](auto Tag) {
        constexpr PixelFormat kFormat = decltype(Tag)::value;
        using Traits = PixelTraits<kFormat>;
        uint8_t* p = Target.Row(Y);
        for (int x = 0; x < Target.Width; ++x, p += Traits::kBytes)
            Traits::Store(p, PackColor(kFormat, Colors[x]));
    });
}

// The common case of turning a 24-bit picture into 32 bits: bytes copied, the fourth byte 0.
void WidenBgr24Rows(const PixelView& Source, const PixelView& Target) {
    for (int y = 0; y < Target.Height; ++y) {
        const uint8_t* s = Source.Row(y);
        uint8_t* t = Target.Row(y);
        for (int x = 0; x < Target.Width; ++x, s += 3, t += 4) {
            t[0] = s[0];
            t[1] = s[1];
            t[2] = s[2];
            t[3] = 0;
        }
    }
}

// True when some pixel has a nonzero alpha.
bool AlphaInUse(const StoredDIB& Stored) {
    const DIBInfo& info = Stored.Info;
    if (Stored.AlphaMask == 0 || info.BitCount <= 8) return false;
    for (int32_t y = 0; y < info.Height; ++y) {
        const uint8_t* row = Stored.Bits.data() + int64_t(y) * info.WidthBytes();
        for (int32_t x = 0; x < info.Width; ++x)
            if ((PackedPixel(row, x, info.BitCount / 8) & Stored.AlphaMask) != 0) return true;
    }
    return false;
}

// Folds each pixel's alpha of Row into its colour.
void KeyRow(const StoredDIB& Stored, const uint8_t* Row, uint32_t* Colors) {
    const int shift = std::countr_zero(Stored.AlphaMask);
    const int width = std::popcount(Stored.AlphaMask);
    for (int32_t x = 0; x < Stored.Info.Width; ++x) {
        const uint32_t pixel = PackedPixel(Row, x, Stored.Info.BitCount / 8);
        Colors[x] = KeyedColor(Colors[x], uint8_t(WidenChannel((pixel & Stored.AlphaMask) >> shift, width)));
    }
}

} // namespace

std::optional<PixelFormat> DirectFormatOf(const DIBInfo& Info) {
    switch (Info.BitCount) {
    case 16:
        if (Info.PixelFormat == kPixelFormat565) return PixelFormat::Rgb565;
        if (Info.PixelFormat == kPixelFormat555) return PixelFormat::Rgb555;
        return std::nullopt;
    case 24:
    case 32:
        if (Info.PixelFormat != kPixelFormat888) return std::nullopt;
        return Info.BitCount == 24 ? PixelFormat::Bgr24 : PixelFormat::Bgrx32;
    default:
        return std::nullopt;
    }
}

PixelView DIBView(const DIBInfo& Info, uint8_t* Bits) {
    PixelView view;
    view.Format = DirectFormatOf(Info).value_or(PixelFormat::Bgrx32);
    view.Width = Info.Width;
    view.Height = Info.Height;
    view.Stride = -ptrdiff_t(Info.WidthBytes());
    view.Data =
        Bits == nullptr || Info.Height <= 0 ? Bits : Bits + ptrdiff_t(Info.Height - 1) * Info.WidthBytes();
    return view;
}

void ReadRowColors(const DIBInfo& Info, const uint8_t* Row, uint32_t* Colors) {
    if (Info.BitCount <= 8)
        ReadIndexedRow(Info, Row, Colors);
    else
        ReadMaskedRow(Info, Row, Colors);
}

void ConvertDIBPixels(const DIBInfo& Info, const uint8_t* Bits, const PixelView& Target) {
    if (DirectFormatOf(Info)) {
        const PixelView source = DIBView(Info, const_cast<uint8_t*>(Bits)); // only read from
        if (source.Format == PixelFormat::Bgr24 && Target.Format == PixelFormat::Bgrx32)
            WidenBgr24Rows(source, Target);
        else
            CopyPixels(Target, 0, 0, source, ViewBounds(source));
        return;
    }
    std::vector<uint32_t> colors(size_t(Info.Width));
    for (int32_t y = 0; y < Info.Height; ++y) {
        // Row y counted from the top is row Height - 1 - y in memory.
        ReadRowColors(Info, Bits + int64_t(Info.Height - 1 - y) * Info.WidthBytes(), colors.data());
        WriteRowColors(Target, y, colors.data());
    }
}

uint32_t KeyedColor(uint32_t Color, uint8_t Alpha) {
    if (Alpha < 128) return kKeyColor;
    const bool keyLike = RedOf(Color) >= 0xF8 && GreenOf(Color) >= 0xF8 && BlueOf(Color) >= 0xF8;
    return keyLike ? kNudgedKeyColor : Color;
}

bool NeedsConversion(const StoredDIB& Stored) {
    if (Stored.Info.BitCount <= 8) return false;
    return !DirectFormatOf(Stored.Info) || AlphaInUse(Stored);
}

StoredDIB ConvertToRgb24(const StoredDIB& Stored) {
    StoredDIB out;
    out.Info = DIBInfo{Stored.Info.Width, Stored.Info.Height, 24, kPixelFormat888, {}};
    out.Bits.assign(size_t(out.Info.Size()), 0);
    const bool keyed = AlphaInUse(Stored);
    std::vector<uint32_t> colors(size_t(Stored.Info.Width));
    for (int32_t y = 0; y < Stored.Info.Height; ++y) { // both images bottom-up: rows keep their order
        const uint8_t* source = Stored.Bits.data() + int64_t(y) * Stored.Info.WidthBytes();
        ReadRowColors(Stored.Info, source, colors.data());
        if (keyed) KeyRow(Stored, source, colors.data());
        uint8_t* target = out.Bits.data() + int64_t(y) * out.Info.WidthBytes();
        for (int32_t x = 0; x < Stored.Info.Width; ++x, target += 3) {
            target[0] = BlueOf(colors[size_t(x)]);
            target[1] = GreenOf(colors[size_t(x)]);
            target[2] = RedOf(colors[size_t(x)]);
        }
    }
    return out;
}
