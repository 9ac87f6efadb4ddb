#include "render/picture_import.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/jpeg_reader.h"
#include "platform/png_reader.h"
#include "render/dib_convert.h"
#include "render/graphic_errors.h"

namespace {

// Enough of a file's start to tell its kind.
constexpr size_t kSniffBytes = 16;
// A PNG or JPEG file larger than this is not read into memory.
constexpr int64_t kMaxCompressedBytes = int64_t(512) << 20;

// Formats people have that this program does not read, by their first bytes.
struct ForeignFormat {
    size_t Offset;
    std::string_view Magic;
    const char* Name;
};
const ForeignFormat kForeignFormats[] = {
    {0, "GIF8", "a GIF picture"},        {8, "WEBP", "a WebP picture"},   {0, "II*", "a TIFF picture"},
    {0, {"MM\0*", 4}, "a TIFF picture"}, {4, "ftypheic", "a HEIC photo"}, {4, "ftypavif", "an AVIF picture"},
    {0, "8BPS", "a Photoshop document"}, {0, "%PDF", "a PDF document"},
};

// How the file starts, for a host: its first characters when it starts with at
// least three printable ones (a text, a web page), else its first bytes in hexadecimal.
std::string StartOf(const uint8_t* Bytes, size_t Count) {
    const size_t shown = std::min<size_t>(Count, 8);
    const size_t text =
        size_t(std::find_if(Bytes, Bytes + shown, [](uint8_t c) { return !std::isprint(c); }) - Bytes);
    if (text >= 3) return "\"" + std::string(reinterpret_cast<const char*>(Bytes), text) + "\"";
    std::string hex = "the bytes";
    for (size_t k = 0; k < shown; ++k)
        hex += Format(" %02X", Bytes[k]);
    return hex;
}

[[noreturn]] void RaiseUnknown(const uint8_t* Bytes, size_t Count) {
    for (const ForeignFormat& f : kForeignFormats) {
        if (Count >= f.Offset + f.Magic.size() &&
            std::memcmp(Bytes + f.Offset, f.Magic.data(), f.Magic.size()) == 0)
            throw EInvalidGraphic(Format("it is %s, which this program cannot read; save it as PNG", f.Name));
    }
    throw EInvalidGraphic("it is not a picture this program can read (it starts with " +
                          StartOf(Bytes, Count) + ")");
}

// RGBA rows, top first, as a bottom-up 24-bit image; transparency becomes the key colour.
StoredDIB ToRgb24(const DecodedPicture& Picture) {
    StoredDIB stored;
    stored.Info = DIBInfo{Picture.Width, Picture.Height, 24, kPixelFormat888, {}};
    stored.Bits.assign(size_t(stored.Info.Size()), 0);
    for (int32_t y = 0; y < Picture.Height; ++y) {
        const uint8_t* source = Picture.Rgba.data() + size_t(y) * size_t(Picture.Width) * 4;
        uint8_t* target = stored.Bits.data() + int64_t(Picture.Height - 1 - y) * stored.Info.WidthBytes();
        for (int32_t x = 0; x < Picture.Width; ++x, source += 4, target += 3) {
            uint32_t color = RGB(source[0], source[1], source[2]);
            if (Picture.HasAlpha) color = KeyedColor(color, source[3]);
            target[0] = BlueOf(color);
            target[1] = GreenOf(color);
            target[2] = RedOf(color);
        }
    }
    return stored;
}

// The rest of the stream through one of the platform's decoders.
StoredDIB DecodeCompressed(TStream& Stream, bool Png, int64_t MaxPixels) {
    const int64_t size = Stream.Remaining();
    if (size > kMaxCompressedBytes)
        throw EInvalidGraphic(
            Format("it is %lld bytes, larger than any picture this program can hold", (long long)size));
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    Stream.ReadBuffer(bytes.data(), bytes.size());
    try {
        const DecodedPicture picture = Png ? DecodePng(bytes.data(), bytes.size(), MaxPixels)
                                           : DecodeJpeg(bytes.data(), bytes.size(), MaxPixels);
        return ToRgb24(picture);
    } catch (const EPictureDecode& e) {
        throw EInvalidGraphic(e.Message);
    }
}

// A "BM" file: its header's pixel offset is where the pixels are looked for.
StoredDIB ReadBmp(TStream& Stream) {
    const int64_t start = Stream.Position();
    uint32_t pixelOffset = 0;
    ReadBitmapFileHeader(Stream, &pixelOffset);
    std::optional<StoredDIB> stored = ReadStoredDIB(Stream, start + pixelOffset);
    if (!stored) RaiseInvalidDIB("it has a file header but no picture");
    return std::move(*stored);
}

} // namespace

void ImportPicture(TStream& Stream, TDIB& Image, int64_t MaxPixels) {
    uint8_t start[kSniffBytes] = {};
    const int64_t position = Stream.Position();
    const size_t count = Stream.Read(start, sizeof start);
    Stream.SetPosition(position);
    if (count == 0) throw EInvalidGraphic("it is empty");
    StoredDIB stored;
    if (count >= 2 && start[0] == 'B' && start[1] == 'M')
        stored = ReadBmp(Stream);
    else if (IsPng(start, count) || IsJpeg(start, count))
        stored = DecodeCompressed(Stream, IsPng(start, count), MaxPixels);
    else
        RaiseUnknown(start, count);
    Image.LoadFromStored(std::move(stored));
}
