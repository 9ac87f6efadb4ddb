// Lays snapshots of the show (800 x 600 PNG files) out as a contact sheet:
// each at half size, three to a row, 8 pixels apart on a dark ground.
// Usage: fuifje_contact_sheet SHEET.png FRAME.png...
#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "platform/png_writer.h"
#include "render/bitmap.h"
#include "render/picture.h"

namespace {

constexpr int kTileWidth = 400, kTileHeight = 300, kGap = 8, kColumns = 3;
constexpr uint8_t kGround = 32;

// Copies the picture at half size (each 2 x 2 block averaged) with its top-left at (Left, Top).
void PlaceHalf(const std::string& File, std::vector<uint8_t>& Sheet, int SheetWidth, int Left, int Top) {
    TPicture picture;
    picture.LoadFromFile(File);
    TBitmap& frame = picture.Bitmap();
    frame.SetPixelFormat(pf24bit);
    const int width = std::min(kTileWidth, frame.Width() / 2),
              height = std::min(kTileHeight, frame.Height() / 2);
    for (int y = 0; y < height; ++y) {
        const uint8_t* upper = frame.ScanLine(2 * y);
        const uint8_t* lower = frame.ScanLine(2 * y + 1);
        uint8_t* out = &Sheet[(size_t(Top + y) * SheetWidth + Left) * 3];
        for (int x = 0; x < width * 3; ++x) {
            const int c = x % 3, i = (x / 3) * 6 + c;
            out[x] = uint8_t((upper[i] + upper[i + 3] + lower[i] + lower[i + 3] + 2) / 4);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s SHEET.png FRAME.png...\n", argv[0]);
        return 2;
    }
    try {
        const int count = argc - 2, rows = (count + kColumns - 1) / kColumns;
        const int columns = std::min(count, kColumns);
        const int width = columns * kTileWidth + (columns + 1) * kGap,
                  height = rows * kTileHeight + (rows + 1) * kGap;
        std::vector<uint8_t> sheet(size_t(width) * height * 3, kGround);
        for (int i = 0; i < count; ++i)
            PlaceHalf(argv[i + 2], sheet, width, kGap + (i % kColumns) * (kTileWidth + kGap),
                      kGap + (i / kColumns) * (kTileHeight + kGap));
        WritePng(argv[1], PixelView{sheet.data(), width, height, ptrdiff_t(width) * 3, PixelFormat::Bgr24});
    } catch (const std::exception& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 1;
    }
    return 0;
}
