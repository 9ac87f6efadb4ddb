// How PNG and JPEG files start: the first bytes every decoder of them, the
// native libraries' and the browser's alike, is told apart by.
#include <cstring>

#include "platform/jpeg_reader.h"
#include "platform/png_reader.h"

namespace {

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

} // namespace

bool IsPng(const uint8_t* Data, size_t Size) {
    return Size >= sizeof kPngSignature && std::memcmp(Data, kPngSignature, sizeof kPngSignature) == 0;
}

bool IsJpeg(const uint8_t* Data, size_t Size) {
    return Size >= 3 && Data[0] == 0xFF && Data[1] == 0xD8 && Data[2] == 0xFF;
}
