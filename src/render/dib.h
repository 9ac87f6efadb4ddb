// TDIB: a device-independent bitmap (1, 4, 8, 16, 24 or 32 bits per pixel,
// rows bottom-up) whose pixels live in a TDIBSharedImage that several TDIBs may
// share; the first change through one of them gives it a private copy. It reads
// and writes the stored and file forms through bmp_format and has a canvas.
//
//     TDIB dib;                         // empty
//     dib.SetSize(40, 40, 24);          // a 24-bit image (pixels zero)
//     dib.Canvas().TextOut(0, 0, "A");  // draws on this TDIB's own pixels
//     dib.SaveToStream(stream);         // "BM" file form
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/canvas.h"
#include "platform/pixel_view.h"
#include "render/bmp_format.h"
#include "render/graphic.h"

// The pixels of one image and its description, shared by every TDIB that holds
// it (the shared_ptr's count is the reference count). An image read in
// run-length form keeps its encoded bytes until its pixels are first asked for.
class TDIBSharedImage {
public:
    // A new image described by Info, with all pixel bytes zero.
    explicit TDIBSharedImage(const DIBInfo& Info);
    // The image of a stored form just read.
    explicit TDIBSharedImage(StoredDIB&& Stored);

    // Size, depth, masks and palette.
    const DIBInfo& Info() const { return FInfo; }
    // The Info().Size() pixel bytes, bottom-up; decodes run-length data first.
    uint8_t* Bits();
    // True while the pixels are still run-length encoded.
    bool Encoded() const { return !FEncoded.empty(); }
    // A private, decoded copy of the same size, format, palette and pixels.
    std::shared_ptr<TDIBSharedImage> Copy();

private:
    DIBInfo FInfo;
    std::vector<uint8_t> FBits;
    std::vector<uint8_t> FEncoded;
    uint32_t FCompression = CompressionRgb;
};

class TDIB;

// The canvas of a TDIB: before every drawing call it makes the image private
// (copy-on-write) and draws on its pixels. Palette images give it no target.
class TDIBCanvas : public Canvas {
public:
    explicit TDIBCanvas(TDIB& Owner) : FOwner(Owner) {}

protected:
    void RequireTarget() override;

private:
    TDIB& FOwner;
};

class TDIB : public TGraphic {
public:
    // An empty image (0 by 0).
    TDIB() = default;
    ~TDIB() override;
    TDIB(const TDIB&) = delete;
    TDIB& operator=(const TDIB&) = delete;
    std::string ClassName() const override { return "TDIB"; }

    // True while the TDIB holds no image.
    bool Empty() const override { return FImage == nullptr; }
    // Size in pixels; 0 while empty.
    int32_t Width() const override { return Info().Width; }
    int32_t Height() const override { return Info().Height; }
    // Bits per pixel; 0 while empty.
    int BitCount() const { return Info().BitCount; }
    // Bytes per row: ((BitCount x Width + 31) div 32) x 4.
    int32_t WidthBytes() const { return Info().WidthBytes(); }
    // WidthBytes x Height.
    int32_t Size() const { return Info().Size(); }
    // Size, depth, masks and palette of the image (all zero while empty).
    const DIBInfo& Info() const;

    // The palette used for the next image made by SetSize (the first 2^BitCount
    // entries); takes the image's palette whenever the image is replaced.
    TRGBQuads ColorTable{};
    // The channel masks used for the next image made by SetSize.
    TDIBPixelFormat PixelFormat = kPixelFormat888;

    // Gives the TDIB a new image of that size and depth made with ColorTable
    // and PixelFormat; nothing when nothing changes; empty when a side is not
    // positive. Raises EInvalidGraphicOperation "Bitcount in invalid (%d)" or
    // "PixelFormat in invalid", and EOutOfResources "DIB cannot be made" above 256 MiB.
    void SetSize(int32_t AWidth, int32_t AHeight, int ABitCount);
    // Changes one side, keeping the other and the depth (an empty image takes 8 bits and a side of 1).
    void SetWidth(int32_t AWidth);
    void SetHeight(int32_t AHeight);

    // A new, empty TDIB.
    std::unique_ptr<TGraphic> NewInstance() const override { return std::make_unique<TDIB>(); }
    // nullptr: empty. A TDIB: share its image. A TBitmap: a private copy at its
    // depth. A TPicture: its graphic as a TBitmap is, or any other graphic
    // drawn onto a new 24-bit image. Anything else: the general rule.
    void Assign(const TObject* Source) override;

    // The drawing canvas on this TDIB's pixels, made on first use and kept.
    ::Canvas& Canvas();
    // Scales the image into Rect of ACanvas; palette images go through a 32-bit copy.
    void Draw(::Canvas& ACanvas, const TRect& Rect) const override;

    // The bytes of row Row (0 = top), made private first for writing.
    // EInvalidGraphicOperation "Scan line index out of range" outside the image.
    uint8_t* ScanLine(int32_t Row);
    const uint8_t* ScanLine(int32_t Row) const;
    // The raw value (palette index or packed pixel) at (X, Y); 0 outside the image.
    uint32_t Pixels(int32_t X, int32_t Y) const;
    // Writes a raw value at (X, Y) after making the image private; nothing outside.
    void SetPixels(int32_t X, int32_t Y, uint32_t Value);
    // All Size() pixel bytes, bottom-up (nullptr while empty); for reading.
    const uint8_t* Bits() const;
    // The pixels as a view for reading and copying from (direct formats only:
    // an empty view for palette images). Write through Canvas, ScanLine or SetPixels.
    PixelView View() const;
    // The same view for drawing on (what Canvas draws through): the image is made private first.
    PixelView WritableView();

    // File form: "BM" header, then the stored form. No byte at all leaves the image as it is.
    void LoadFromStream(TStream& Stream) override;
    void SaveToStream(TStream& Stream) const override;
    // Stored form: information block and pixels. An empty stream empties the image.
    void ReadData(TStream& Stream) override;
    void WriteData(TStream& Stream) const override;
    // Takes the image of a stored form already read. Unusual channel masks and alpha
    // are first converted to 24 bits (alpha as the key colour, see dib_convert.h).
    void LoadFromStored(StoredDIB&& Stored);

private:
    // Copy-on-write: a shared or still encoded image is replaced by a private decoded copy.
    void Changing();
    // Holds Image from now on; ColorTable and PixelFormat follow it.
    void SetImage(std::shared_ptr<TDIBSharedImage> Image);
    // A private copy of Source's image, at its depth.
    void CopyImage(const TDIB& Source);
    // Source drawn onto a new 24-bit image of its size (empty for no source).
    void DrawGraphic(const TGraphic* Source);
    uint8_t* RowAddress(int32_t Row) const;

    std::shared_ptr<TDIBSharedImage> FImage;
    std::unique_ptr<TDIBCanvas> FCanvas;
};

// A 1 by 1, 8-bit image whose palette entry 0 is Color ($00BBGGRR) and whose
// only pixel is index 0: drawn onto a surface it shows what Color becomes there.
std::unique_ptr<TDIB> MakeColorMatchDIB(uint32_t Color);
