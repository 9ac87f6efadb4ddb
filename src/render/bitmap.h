// TBitmap: the bitmap of the standard graphics library as far as the show needs
// it: BMP files of every depth, PNG and JPEG files (picture_import), size,
// a pixel-format change that converts, top-down scan lines and a canvas. Its
// pixels are a TDIB, so copies share them until one side changes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "render/dib.h"
#include "render/graphic.h"

enum TPixelFormat : uint8_t {
    pfDevice,
    pf1bit,
    pf4bit,
    pf8bit,
    pf15bit,
    pf16bit,
    pf24bit,
    pf32bit,
    pfCustom
};

class TBitmap : public TGraphic {
public:
    TBitmap() = default;
    std::string ClassName() const override { return "TBitmap"; }

    // True until both sides are positive or a picture is loaded.
    bool Empty() const override { return FImage.Empty(); }
    // The sides as set or loaded (a side may be set while the other is still 0).
    int32_t Width() const override { return FWidth; }
    int32_t Height() const override { return FHeight; }
    // Sets a side; the bitmap holds pixels (zero) once both sides are positive.
    void SetWidth(int32_t AWidth) { SetSize(AWidth, FHeight); }
    void SetHeight(int32_t AHeight) { SetSize(FWidth, AHeight); }
    // Sets both sides; an unchanged size keeps the pixels.
    void SetSize(int32_t AWidth, int32_t AHeight);

    // The depth of the pixels (the wished one while empty; pfDevice at first).
    TPixelFormat PixelFormat() const;
    // Changes the depth; a bitmap holding a picture converts it (to 15, 16, 24
    // or 32 bits; EInvalidGraphicOperation for palette depths and pfCustom).
    void SetPixelFormat(TPixelFormat Value);

    // The bytes of row Row, 0 = top (at 32 bits: Width pixels of blue, green,
    // red, fourth byte); writing first makes the pixels private.
    // EInvalidGraphicOperation "Scan line index out of range" outside the bitmap.
    uint8_t* ScanLine(int32_t Row) { return FImage.ScanLine(Row); }
    const uint8_t* ScanLine(int32_t Row) const { return FImage.ScanLine(Row); }
    // The drawing canvas on the pixels (direct depths only).
    ::Canvas& Canvas() { return FImage.Canvas(); }
    // The pixels as a device-independent bitmap.
    const TDIB& DIB() const { return FImage; }

    // A new, empty TBitmap.
    std::unique_ptr<TGraphic> NewInstance() const override { return std::make_unique<TBitmap>(); }
    // nullptr: empty. A TBitmap or TDIB: share its pixels. A TPicture: its
    // graphic. Anything else: the general rule.
    void Assign(const TObject* Source) override;
    // Scales the bitmap into Rect of ACanvas.
    void Draw(::Canvas& ACanvas, const TRect& Rect) const override { FImage.Draw(ACanvas, Rect); }

    // Reads a BMP, PNG or JPEG file, told apart by its first bytes (picture_import.h):
    // bad content raises EInvalidGraphic with the reason. PNG, JPEG and BMP files with
    // unusual channel masks or alpha arrive at 24 bits, transparency as the key colour.
    void LoadFromStream(TStream& Stream) override;
    // Writes the ".bmp" file form (nothing while empty).
    void SaveToStream(TStream& Stream) const override { FImage.SaveToStream(Stream); }

private:
    // Holds the pixels of Source (shared) and takes its size.
    void TakeImage(const TDIB& Source);

    TDIB FImage;
    int32_t FWidth = 0;
    int32_t FHeight = 0;
    TPixelFormat FPixelFormat = pfDevice;
};
