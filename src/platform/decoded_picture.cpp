// Exif orientation: reading the tag from untrusted bytes (every offset checked
// against the block), and turning decoded pixels upright.
#include "platform/decoded_picture.h"

#include <cstring>

namespace {

constexpr uint16_t kOrientationTag = 0x0112;

struct Point {
    int32_t X, Y;
};

// The stored pixel that shows at (Dx, Dy) of the upright picture, for a stored
// picture of Width x Height: orientations 5 to 8 swap the axes, and each flips
// the stored axes that run the other way.
Point SourceOf(int Orientation, int32_t Width, int32_t Height, int32_t Dx, int32_t Dy) {
    const bool swap = Orientation >= 5;
    const int32_t x = swap ? Dy : Dx, y = swap ? Dx : Dy;
    const bool flipX = Orientation == 2 || Orientation == 3 || Orientation == 7 || Orientation == 8;
    const bool flipY = Orientation == 3 || Orientation == 4 || Orientation == 6 || Orientation == 7;
    return {flipX ? Width - 1 - x : x, flipY ? Height - 1 - y : y};
}

// Reads 16 and 32 bits in the TIFF structure's byte order.
struct TiffReader {
    const uint8_t* Data;
    size_t Size;
    bool BigEndian;

    bool Fits(size_t At, size_t Count) const { return At <= Size && Count <= Size - At; }
    uint32_t U16(size_t At) const {
        return BigEndian ? uint32_t(Data[At]) << 8 | Data[At + 1] : uint32_t(Data[At + 1]) << 8 | Data[At];
    }
    uint32_t U32(size_t At) const {
        return BigEndian ? U16(At) << 16 | U16(At + 2) : U16(At + 2) << 16 | U16(At);
    }
};

} // namespace

void OrientPicture(DecodedPicture& Picture, int Orientation) {
    if (Orientation < 2 || Orientation > 8) return;
    const bool turned = Orientation >= 5;
    const int32_t width = turned ? Picture.Height : Picture.Width;
    const int32_t height = turned ? Picture.Width : Picture.Height;
    std::vector<uint8_t> upright(Picture.Rgba.size());
    for (int32_t dy = 0; dy < height; ++dy)
        for (int32_t dx = 0; dx < width; ++dx) {
            const Point from = SourceOf(Orientation, Picture.Width, Picture.Height, dx, dy);
            std::memcpy(&upright[(size_t(dy) * size_t(width) + size_t(dx)) * 4],
                        &Picture.Rgba[(size_t(from.Y) * size_t(Picture.Width) + size_t(from.X)) * 4], 4);
        }
    Picture.Rgba = std::move(upright);
    Picture.Width = width;
    Picture.Height = height;
}

int ExifOrientation(const uint8_t* Data, size_t Size) {
    // "Exif\0\0", then the TIFF header: byte order "II" or "MM", 42, the offset of the first directory.
    if (Size < 14 || std::memcmp(Data, "Exif\0\0", 6) != 0) return 1;
    const TiffReader tiff{Data + 6, Size - 6, Data[6] == 'M'};
    if (std::memcmp(Data + 6, tiff.BigEndian ? "MM" : "II", 2) != 0 || tiff.U16(2) != 42) return 1;
    const size_t directory = tiff.U32(4);
    if (!tiff.Fits(directory, 2)) return 1;
    const size_t entries = tiff.U16(directory);
    for (size_t k = 0; k < entries; ++k) {
        const size_t entry = directory + 2 + 12 * k; // tag, type, count, value
        if (!tiff.Fits(entry, 12)) return 1;
        if (tiff.U16(entry) != kOrientationTag) continue;
        const uint32_t value = tiff.U16(entry + 8);
        return value >= 1 && value <= 8 ? int(value) : 1;
    }
    return 1;
}
