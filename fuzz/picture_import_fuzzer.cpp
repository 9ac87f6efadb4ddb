// Fuzzes the import of PNG and JPEG files: our glue around libpng and libjpeg
// (picture_import, png_reader, jpeg_reader). Any input either raises one of the
// system's errors or gives a 24-bit image within the pixel limit whose rows can
// all be read. The decoders themselves are fuzzed by their own projects.
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "render/picture_import.h"

namespace {

// Small enough that a header claiming a huge picture costs little memory and time.
constexpr int64_t kFuzzPixels = int64_t(1) << 20;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    TMemoryStream in(Data, Size);
    TDIB dib;
    try {
        ImportPicture(in, dib, kFuzzPixels);
    } catch (const Exception&) {
        return 0;
    }
    const bool compressed = Size > 0 && Data[0] != 'B';
    if (dib.Empty() ||
        (compressed && (dib.BitCount() != 24 || int64_t(dib.Width()) * dib.Height() > kFuzzPixels)))
        std::abort();
    // The first and last byte of every row: the address sanitizer checks the reads.
    for (int32_t y = 0; y < dib.Height(); ++y) {
        const uint8_t* row = std::as_const(dib).ScanLine(y);
        [[maybe_unused]] volatile uint8_t edges = row[0] ^ row[dib.WidthBytes() - 1];
    }
    return 0;
}
