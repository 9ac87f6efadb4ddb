#include "render/bitmap.h"

#include <algorithm>

#include "render/dib_convert.h"
#include "render/graphic_errors.h"
#include "render/picture.h"
#include "render/picture_import.h"

namespace {

// Depth and masks of a pixel format; a device bitmap is held at 32 bits.
struct Depth {
    int BitCount;
    TDIBPixelFormat Masks;
};

Depth DepthOf(TPixelFormat Format) {
    switch (Format) {
    case pf1bit:
        return {1, kPixelFormat888};
    case pf4bit:
        return {4, kPixelFormat888};
    case pf8bit:
        return {8, kPixelFormat888};
    case pf15bit:
        return {16, kPixelFormat555};
    case pf16bit:
        return {16, kPixelFormat565};
    case pf24bit:
        return {24, kPixelFormat888};
    case pfDevice:
    case pf32bit:
        return {32, kPixelFormat888};
    case pfCustom:
        break;
    }
    throw EInvalidGraphicOperation("Invalid pixel format");
}

TPixelFormat FormatOf(const DIBInfo& Info) {
    switch (Info.BitCount) {
    case 1:
        return pf1bit;
    case 4:
        return pf4bit;
    case 8:
        return pf8bit;
    case 16:
        return Info.PixelFormat == kPixelFormat565 ? pf16bit : pf15bit;
    case 24:
        return pf24bit;
    case 32:
        return pf32bit;
    default:
        return pfCustom;
    }
}

// Source's pixels converted into a new image of Target's depth and masks.
void ConvertInto(const DIBInfo& SourceInfo, const uint8_t* SourceBits, TDIB& Target, const Depth& To) {
    Target.PixelFormat = To.Masks;
    Target.SetSize(SourceInfo.Width, SourceInfo.Height, To.BitCount);
    ConvertDIBPixels(SourceInfo, SourceBits, Target.View()); // Target's image is new: no one else sees it
}

} // namespace

void TBitmap::SetSize(int32_t AWidth, int32_t AHeight) {
    FWidth = std::max(0, AWidth);
    FHeight = std::max(0, AHeight);
    const Depth depth = DepthOf(PixelFormat());
    FImage.PixelFormat = depth.Masks;
    FImage.SetSize(FWidth, FHeight, depth.BitCount);
}

TPixelFormat TBitmap::PixelFormat() const {
    return Empty() ? FPixelFormat : FormatOf(FImage.Info());
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
    if (Value == PixelFormat()) return;
    const Depth depth = DepthOf(Value);
    if (!Empty()) {
        if (depth.BitCount <= 8)
            throw EInvalidGraphicOperation("Cannot convert a bitmap to a palette format");
        TDIB converted;
        ConvertInto(FImage.Info(), FImage.Bits(), converted, depth);
        FImage.Assign(&converted);
    }
    FPixelFormat = Value;
}

void TBitmap::Assign(const TObject* Source) {
    if (Source == nullptr) {
        FImage.Assign(nullptr);
        FWidth = FHeight = 0;
    } else if (const auto* bitmap = dynamic_cast<const TBitmap*>(Source)) {
        if (bitmap != this) TakeImage(bitmap->FImage);
    } else if (const auto* dib = dynamic_cast<const TDIB*>(Source)) {
        TakeImage(*dib);
    } else if (const auto* picture = dynamic_cast<const TPicture*>(Source)) {
        Assign(picture->Graphic());
    } else {
        TGraphic::Assign(Source);
    }
}

void TBitmap::LoadFromStream(TStream& Stream) {
    TDIB image;
    ImportPicture(Stream, image);
    TakeImage(image);
}

void TBitmap::TakeImage(const TDIB& Source) {
    FImage.Assign(&Source);
    FWidth = Source.Width();
    FHeight = Source.Height();
    if (!Source.Empty()) FPixelFormat = FormatOf(Source.Info());
}
