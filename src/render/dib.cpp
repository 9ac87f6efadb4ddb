#include "render/dib.h"

#include <algorithm>
#include <cstring>

#include "render/bitmap.h"
#include "render/dib_convert.h"
#include "render/graphic_errors.h"
#include "render/picture.h"

namespace {

// Checks an image before it is made: a known depth, channel masks that fit
// it, and a pixel block the platform would give (at most 256 MiB).
void CheckImage(const DIBInfo& Info) {
    const int bits = Info.BitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        throw EInvalidGraphicOperation(Format("Bitcount in invalid (%d)", bits));
    const TDIBPixelFormat& f = Info.PixelFormat;
    const bool fits = bits == 16 ? f == kPixelFormat555 || f == kPixelFormat565 : f == kPixelFormat888;
    if (!fits) throw EInvalidGraphicOperation("PixelFormat in invalid");
    if (!DIBSizeFits(bits, Info.Width, Info.Height))
        throw EOutOfResources(Format("%s cannot be made", "DIB"));
}

const DIBInfo kEmptyInfo{0, 0, 0, kPixelFormat888, {}};

} // namespace

// [SECTION] TDIBSharedImage

TDIBSharedImage::TDIBSharedImage(const DIBInfo& Info) : FInfo(Info), FBits(size_t(Info.Size()), 0) {}

TDIBSharedImage::TDIBSharedImage(StoredDIB&& Stored) : FInfo(Stored.Info), FCompression(Stored.Compression) {
    if (Stored.Compression == CompressionRgb)
        FBits = std::move(Stored.Bits);
    else
        FEncoded = std::move(Stored.Bits);
}

uint8_t* TDIBSharedImage::Bits() {
    if (Encoded()) {
        FBits.assign(size_t(FInfo.Size()), 0);
        // The reader checked these runs against the image, so decoding cannot fail.
        DecodeRLE(FEncoded, FCompression, FInfo, FBits.data());
        FEncoded.clear();
        FEncoded.shrink_to_fit();
    }
    return FBits.data();
}

std::shared_ptr<TDIBSharedImage> TDIBSharedImage::Copy() {
    auto copy = std::make_shared<TDIBSharedImage>(FInfo);
    std::memcpy(copy->FBits.data(), Bits(), FBits.size());
    return copy;
}

// [SECTION] TDIBCanvas

void TDIBCanvas::RequireTarget() {
    const PixelView view = FOwner.WritableView();
    if (view.Empty())
        Detach();
    else
        SetTarget(view);
}

// [SECTION] TDIB

TDIB::~TDIB() = default;

const DIBInfo& TDIB::Info() const {
    return FImage ? FImage->Info() : kEmptyInfo;
}

void TDIB::SetSize(int32_t AWidth, int32_t AHeight, int ABitCount) {
    if (AWidth <= 0 || AHeight <= 0) {
        SetImage(nullptr);
        return;
    }
    const DIBInfo& current = Info();
    if (FImage && current.Width == AWidth && current.Height == AHeight && current.BitCount == ABitCount &&
        current.PixelFormat == PixelFormat)
        return;
    const DIBInfo info{AWidth, AHeight, ABitCount, PixelFormat, ColorTable};
    CheckImage(info);
    SetImage(std::make_shared<TDIBSharedImage>(info));
}

void TDIB::SetWidth(int32_t AWidth) {
    if (Empty())
        SetSize(AWidth, 1, 8);
    else
        SetSize(AWidth, Height(), BitCount());
}

void TDIB::SetHeight(int32_t AHeight) {
    if (Empty())
        SetSize(1, AHeight, 8);
    else
        SetSize(Width(), AHeight, BitCount());
}

void TDIB::Assign(const TObject* Source) {
    if (Source == nullptr) {
        SetImage(nullptr);
    } else if (const auto* dib = dynamic_cast<const TDIB*>(Source)) {
        if (dib != this) SetImage(dib->FImage);
    } else if (const auto* bitmap = dynamic_cast<const TBitmap*>(Source)) {
        CopyImage(bitmap->DIB());
    } else if (const auto* picture = dynamic_cast<const TPicture*>(Source)) {
        const auto* held = dynamic_cast<const TBitmap*>(picture->Graphic());
        if (held != nullptr)
            CopyImage(held->DIB());
        else
            DrawGraphic(picture->Graphic());
    } else if (const auto* graphic = dynamic_cast<const TGraphic*>(Source)) {
        DrawGraphic(graphic);
    } else {
        TGraphic::Assign(Source);
    }
}

::Canvas& TDIB::Canvas() {
    if (!FCanvas) FCanvas = std::make_unique<TDIBCanvas>(*this);
    return *FCanvas;
}

void TDIB::Draw(::Canvas& ACanvas, const TRect& Rect) const {
    if (Empty()) return;
    if (DirectFormatOf(Info())) {
        ACanvas.StretchDraw(Rect, View());
        return;
    }
    // Palette images are drawn through a 32-bit copy, which must stay within the image limit.
    if (!DIBSizeFits(32, Width(), Height())) throw EOutOfResources(Format("%s cannot be made", "DIB"));
    std::vector<uint8_t> converted(size_t(Width()) * size_t(Height()) * 4);
    const PixelView view{converted.data(), Width(), Height(), ptrdiff_t(Width()) * 4, PixelFormat::Bgrx32};
    ConvertDIBPixels(Info(), Bits(), view);
    ACanvas.StretchDraw(Rect, view);
}

uint8_t* TDIB::ScanLine(int32_t Row) {
    RowAddress(Row); // checks Row before anything is copied
    Changing();
    return RowAddress(Row);
}

const uint8_t* TDIB::ScanLine(int32_t Row) const {
    return RowAddress(Row);
}

uint32_t TDIB::Pixels(int32_t X, int32_t Y) const {
    if (Empty() || X < 0 || Y < 0 || X >= Width() || Y >= Height()) return 0;
    const uint8_t* row = RowAddress(Y);
    const int bits = BitCount();
    if (bits <= 8) {
        const int perByte = 8 / bits;
        // The leftmost pixel of each byte sits in its highest bits.
        return (row[X / perByte] >> (8 - bits * (X % perByte + 1))) & ((1u << bits) - 1);
    }
    uint32_t value = 0;
    for (int k = bits / 8 - 1; k >= 0; --k)
        value = value << 8 | row[int64_t(X) * (bits / 8) + k];
    return value;
}

void TDIB::SetPixels(int32_t X, int32_t Y, uint32_t Value) {
    if (Empty() || X < 0 || Y < 0 || X >= Width() || Y >= Height()) return;
    uint8_t* row = ScanLine(Y);
    const int bits = BitCount();
    if (bits <= 8) {
        const int perByte = 8 / bits;
        const int shift = 8 - bits * (X % perByte + 1);
        const uint32_t mask = ((1u << bits) - 1) << shift;
        uint8_t& b = row[X / perByte];
        b = uint8_t((b & ~mask) | ((Value << shift) & mask));
        return;
    }
    for (int k = 0; k < bits / 8; ++k)
        row[int64_t(X) * (bits / 8) + k] = uint8_t(Value >> (8 * k));
}

const uint8_t* TDIB::Bits() const {
    return FImage ? FImage->Bits() : nullptr;
}

PixelView TDIB::View() const {
    if (Empty() || !DirectFormatOf(Info())) return PixelView{};
    return DIBView(Info(), FImage->Bits());
}

PixelView TDIB::WritableView() {
    Changing();
    return View();
}

void TDIB::LoadFromStream(TStream& Stream) {
    if (ReadBitmapFileHeader(Stream)) ReadData(Stream);
}

void TDIB::SaveToStream(TStream& Stream) const {
    if (!Empty()) WriteBitmapFile(Stream, Info(), Bits());
}

void TDIB::ReadData(TStream& Stream) {
    std::optional<StoredDIB> stored = ReadStoredDIB(Stream);
    if (stored)
        LoadFromStored(std::move(*stored));
    else
        SetImage(nullptr);
}

void TDIB::WriteData(TStream& Stream) const {
    if (!Empty()) WriteStoredDIB(Stream, Info(), Bits());
}

void TDIB::LoadFromStored(StoredDIB&& Stored) {
    if (NeedsConversion(Stored)) {
        if (!DIBSizeFits(24, Stored.Info.Width, Stored.Info.Height))
            throw EOutOfResources(Format("%s cannot be made", "DIB"));
        Stored = ConvertToRgb24(Stored);
    }
    CheckImage(Stored.Info);
    SetImage(std::make_shared<TDIBSharedImage>(std::move(Stored)));
}

void TDIB::Changing() {
    if (FImage && (FImage.use_count() > 1 || FImage->Encoded())) SetImage(FImage->Copy());
}

void TDIB::SetImage(std::shared_ptr<TDIBSharedImage> Image) {
    FImage = std::move(Image);
    if (FImage) {
        ColorTable = FImage->Info().ColorTable;
        PixelFormat = FImage->Info().PixelFormat;
    }
    if (FCanvas) FCanvas->Detach(); // the next drawing call takes the new pixels
}

void TDIB::CopyImage(const TDIB& Source) {
    SetImage(Source.Empty() ? nullptr : Source.FImage->Copy());
}

void TDIB::DrawGraphic(const TGraphic* Source) {
    if (Source == nullptr || Source->Empty()) {
        SetImage(nullptr);
        return;
    }
    // A fresh image, so that the drawing lands on zero bytes even at the same size.
    const DIBInfo info{Source->Width(), Source->Height(), 24, kPixelFormat888, ColorTable};
    CheckImage(info);
    SetImage(std::make_shared<TDIBSharedImage>(info));
    Source->Draw(Canvas(), Rect(0, 0, info.Width, info.Height));
}

uint8_t* TDIB::RowAddress(int32_t Row) const {
    if (Empty() || Row < 0 || Row >= Height()) throw EInvalidGraphicOperation("Scan line index out of range");
    // Rows are stored bottom-up: row 0 (the top) is the last in memory.
    return FImage->Bits() + int64_t(Height() - 1 - Row) * WidthBytes();
}

std::unique_ptr<TDIB> MakeColorMatchDIB(uint32_t Color) {
    auto dib = std::make_unique<TDIB>();
    dib->ColorTable[0] = TRGBQuad{BlueOf(Color), GreenOf(Color), RedOf(Color), 0};
    dib->SetSize(1, 1, 8); // the new pixel is zero: index 0
    return dib;
}
