// Fuzzes the stored form (TDIB::ReadData): any input either raises one of the
// system's errors or gives an image whose pixels can be read, drawn and written,
// and whose written form reads back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "render/dib.h"

namespace {

constexpr int32_t kLargestDecoded = 256 << 10;

std::vector<uint8_t> storedFormOf(const TDIB& Dib) {
    TMemoryStream out;
    Dib.WriteData(out);
    return out.Memory();
}

// Draws the image onto a 32-bit canvas of its size.
void drawWhole(const TDIB& Dib) {
    std::vector<uint8_t> pixels(size_t(Dib.Width()) * size_t(Dib.Height()) * 4);
    Canvas canvas(
        PixelView{pixels.data(), Dib.Width(), Dib.Height(), ptrdiff_t(Dib.Width()) * 4, PixelFormat::Bgrx32});
    Dib.Draw(canvas, Rect(0, 0, Dib.Width(), Dib.Height()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    TMemoryStream in(Data, Size);
    TDIB dib;
    try {
        dib.ReadData(in);
    } catch (const Exception&) {
        return 0;
    }
    // Huge run-length images of a few bytes only cost time to decode; the
    // decoder is exercised by the small ones.
    if (dib.Empty() || int64_t(dib.Width()) * dib.Height() * 4 > kLargestDecoded) return 0;
    dib.Pixels(dib.Width() - 1, 0);
    drawWhole(dib);
    const std::vector<uint8_t> written = storedFormOf(dib);
    TMemoryStream again(written.data(), written.size());
    TDIB copy;
    copy.ReadData(again); // what we wrote must read back
    if (storedFormOf(copy) != written) std::abort();
    return 0;
}
