// Fuzzes the ".bmp" file form as the picture loader reads it (TBitmap): any
// input either raises one of the system's errors or gives a bitmap that
// converts to 32 bits, whose scan lines can be read, and that writes and reads back.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "render/bitmap.h"

namespace {

constexpr int32_t kLargestDecoded = 256 << 10;

std::vector<uint8_t> fileFormOf(const TBitmap& Bitmap) {
    TMemoryStream out;
    Bitmap.SaveToStream(out);
    return out.Memory();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    TMemoryStream in(Data, Size);
    TBitmap bitmap;
    try {
        bitmap.LoadFromStream(in);
        // Huge run-length images of a few bytes only cost time to decode; the
        // decoder is exercised by the small ones.
        if (int64_t(bitmap.Width()) * bitmap.Height() * 4 > kLargestDecoded) return 0;
        bitmap.SetPixelFormat(pf32bit);
    } catch (const Exception&) {
        return 0;
    }
    // The last byte of the bottom row: the address sanitizer checks the read.
    const uint8_t* bottom = bitmap.ScanLine(bitmap.Height() - 1);
    [[maybe_unused]] volatile uint8_t last = bottom[int64_t(bitmap.Width()) * 4 - 1];
    const std::vector<uint8_t> written = fileFormOf(bitmap);
    TMemoryStream again(written.data(), written.size());
    TBitmap copy;
    copy.LoadFromStream(again); // what we wrote must read back
    if (fileFormOf(copy) != written || copy.PixelFormat() != pf32bit) std::abort();
    return 0;
}
