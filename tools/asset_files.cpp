#include "asset_files.h"

#include <png.h>

#include <cstring>
#include <stdexcept>
#include <vector>

#include "platform/png_writer.h"
#include "render/dib.h"
#include "render/stream.h"

namespace {

// The picture as a 24-bit TDIB: rows of blue, green, red bytes.
void FillDIB(TDIB& Dib, const Picture& Image) {
    Dib.SetSize(Image.Width, Image.Height, 24);
    for (int y = 0; y < Image.Height; ++y) {
        uint8_t* row = Dib.ScanLine(y);
        std::memset(row, 0, size_t(Dib.WidthBytes())); // the row's padding bytes too
        for (int x = 0; x < Image.Width; ++x) {
            const Rgb p = Image.At(x, y);
            row[3 * x] = p.B;
            row[3 * x + 1] = p.G;
            row[3 * x + 2] = p.R;
        }
    }
}

} // namespace

void WriteBitmapFile(const std::string& FileName, const Picture& Image) {
    TDIB dib;
    FillDIB(dib, Image);
    TFileStream file(FileName, TFileStream::fmCreate);
    dib.SaveToStream(file);
}

void WriteStoredPicture(const std::string& FileName, const Picture& Image) {
    TDIB dib;
    FillDIB(dib, Image);
    TFileStream file(FileName, TFileStream::fmCreate);
    // A form stores a picture as its graphic's class name, one length byte
    // first, followed by that graphic's own stored form.
    const std::string className = dib.ClassName();
    const uint8_t length = uint8_t(className.size());
    file.Write(&length, 1);
    file.Write(className.data(), className.size());
    dib.WriteData(file);
}

void WritePngFile(const std::string& FileName, const Picture& Image) {
    std::vector<uint8_t> bytes;
    bytes.reserve(Image.Pixels.size() * 3);
    for (const Rgb& p : Image.Pixels)
        bytes.insert(bytes.end(), {p.B, p.G, p.R});
    WritePng(FileName, PixelView{bytes.data(), Image.Width, Image.Height, ptrdiff_t(Image.Width) * 3,
                                 PixelFormat::Bgr24});
}

void WritePngFile(const std::string& FileName, const RgbaPicture& Image) {
    static_assert(sizeof(Rgba) == 4, "pixels are written as they lie in memory");
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = png_uint_32(Image.Width);
    png.height = png_uint_32(Image.Height);
    png.format = PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&png, FileName.c_str(), 0, Image.Pixels.data(), Image.Width * 4, nullptr)) {
        const std::string reason = png.message;
        png_image_free(&png);
        throw std::runtime_error("cannot write \"" + FileName + "\": " + reason);
    }
}
