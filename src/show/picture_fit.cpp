#include "show/picture_fit.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "render/picture.h"

namespace {

// One source sample and its share of a destination sample.
struct Tap {
    int Index = 0;
    double Weight = 0;
};

// For each destination sample along one axis, its source samples.
using AxisTable = std::vector<std::vector<Tap>>;

// The taps of the destination samples First to First + Count - 1 of an axis
// of In source samples scaled to Scaled samples. A triangle filter as wide as
// one source sample or one destination sample, whichever is wider: linear
// interpolation when enlarging, an average over the covered area when
// shrinking. Sample centres sit at half-sample positions, so a scale of 1
// maps each sample onto itself with weight 1.
AxisTable AxisTaps(int In, int Scaled, int First, int Count) {
    const double scale = double(In) / Scaled;
    const double radius = std::max(1.0, scale);
    AxisTable taps(static_cast<size_t>(Count));
    for (int o = 0; o < Count; ++o) {
        const double centre = (First + o + 0.5) * scale - 0.5;
        double total = 0;
        for (int i = int(std::floor(centre - radius)) + 1; i < centre + radius; ++i) {
            const double weight = 1 - std::abs(i - centre) / radius;
            if (weight <= 0) continue;
            taps[size_t(o)].push_back({std::clamp(i, 0, In - 1), weight});
            total += weight;
        }
        for (Tap& tap : taps[size_t(o)])
            tap.Weight /= total;
    }
    return taps;
}

constexpr uint8_t kKeyByte = 0xFF; // white, the sprites' transparent colour, in every channel

bool IsKey(const uint8_t* Pixel) {
    return Pixel[0] == kKeyByte && Pixel[1] == kKeyByte && Pixel[2] == kKeyByte;
}

// One new pixel (3 bytes at Out) from the source pixels its row and column taps
// cover. With KeyWhite, white source pixels are left out of the colour mix and
// the new pixel is white when they cover more than half of it.
void MixPixel(const TBitmap& Source, const std::vector<Tap>& Rows, const std::vector<Tap>& Columns,
              bool KeyWhite, uint8_t* Out) {
    double sum[3] = {0, 0, 0}, colourWeight = 0;
    for (const Tap& row : Rows) {
        const uint8_t* line = Source.ScanLine(row.Index);
        for (const Tap& column : Columns) {
            const uint8_t* pixel = line + size_t(column.Index) * 4;
            if (KeyWhite && IsKey(pixel)) continue;
            const double weight = row.Weight * column.Weight;
            for (int c = 0; c < 3; ++c)
                sum[c] += pixel[c] * weight;
            colourWeight += weight;
        }
    }
    for (int c = 0; c < 3; ++c)
        Out[c] = KeyWhite && colourWeight < 0.5
                     ? kKeyByte
                     : uint8_t(std::lround(std::clamp(sum[c] / colourWeight, 0.0, 255.0)));
}

// Into Result, 24 bits per pixel: Source scaled to Scaled, the Width x Height
// window at (Left, Top) of it.
void Resample(const TBitmap& Source, PictureSize Scaled, int Left, int Top, int Width, int Height,
              bool KeyWhite, TBitmap& Result) {
    TBitmap source;
    source.Assign(&Source);
    source.SetPixelFormat(pf32bit);
    const AxisTable columns = AxisTaps(source.Width(), Scaled.Width, Left, Width);
    const AxisTable rows = AxisTaps(source.Height(), Scaled.Height, Top, Height);
    Result.SetPixelFormat(pf24bit);
    Result.SetSize(Width, Height);
    for (int y = 0; y < Height; ++y) {
        uint8_t* out = Result.ScanLine(y);
        for (int x = 0; x < Width; ++x)
            MixPixel(source, rows[size_t(y)], columns[size_t(x)], KeyWhite, out + 3 * x);
    }
}

} // namespace

PictureSize CoverSize(int Width, int Height) {
    const double scale = std::max(double(kCoverWidth) / Width, double(kCoverHeight) / Height);
    if (scale == 1) return {Width, Height};
    // At least the covered size, whatever the rounding.
    return {std::max(kCoverWidth, int(std::lround(Width * scale))),
            std::max(kCoverHeight, int(std::lround(Height * scale)))};
}

bool FitBackground(TBitmap& Bitmap) {
    const int width = Bitmap.Width(), height = Bitmap.Height();
    if (width <= 0 || height <= 0) return false;
    const PictureSize scaled = CoverSize(width, height);
    const int croppedHeight = std::min(scaled.Height, kMaxBackgroundHeight);
    if (scaled.Width == width && scaled.Height == height && width == kCoverWidth && croppedHeight == height)
        return false;
    TBitmap fitted;
    Resample(Bitmap, scaled, (scaled.Width - kCoverWidth) / 2, (scaled.Height - croppedHeight) / 2,
             kCoverWidth, croppedHeight, false, fitted);
    Bitmap.Assign(&fitted);
    return true;
}

bool BoundSprite(TBitmap& Bitmap) {
    const int width = Bitmap.Width(), height = Bitmap.Height();
    const int side = std::max(width, height);
    if (side <= kMaxSpriteSide || width <= 0 || height <= 0) return false;
    const double scale = double(kMaxSpriteSide) / side;
    const PictureSize scaled{std::max(1, int(std::lround(width * scale))),
                             std::max(1, int(std::lround(height * scale)))};
    TBitmap bounded;
    Resample(Bitmap, scaled, 0, 0, scaled.Width, scaled.Height, true, bounded);
    Bitmap.Assign(&bounded);
    return true;
}

void LoadScenePicture(TPicture& Picture, const std::string& FileName, bool Background) {
    Picture.LoadFromFile(FileName);
    TBitmap bitmap;
    bitmap.Assign(Picture.Graphic());
    const bool changed = Background ? FitBackground(bitmap) : BoundSprite(bitmap);
    // The scene works on bitmaps: a ".dib" file's picture becomes one too.
    if (changed || dynamic_cast<const TBitmap*>(Picture.Graphic()) == nullptr) Picture.SetGraphic(&bitmap);
}
