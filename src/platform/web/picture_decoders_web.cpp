// PNG and JPEG pictures in a web page, decoded by the browser's own decoders
// (createImageBitmap), without colour conversion, into 8-bit RGBA. The
// pictures a page export carries are opaque PNG files, which come back
// exactly as they were written.
#include <emscripten.h>

#include <cstdlib>
#include <cstring>

#include "platform/jpeg_reader.h"
#include "platform/png_reader.h"

namespace {

// Decodes the Size bytes at Data; the RGBA pixels in a block the caller frees
// (nullptr when the browser cannot decode them or memory runs out), the width
// and height in Sides[0] and [1].
EM_ASYNC_JS(uint8_t*, DecodeInBrowser, (const uint8_t* Data, int Size, int* Sides), {
    var bitmap;
    try {
        var blob = new Blob([HEAPU8.slice(Data, Data + Size)]);
        bitmap = await createImageBitmap(blob, {colorSpaceConversion : "none", premultiplyAlpha : "none"});
    } catch (error) {
        return 0;
    }
    var canvas = document.createElement("canvas");
    canvas.width = bitmap.width;
    canvas.height = bitmap.height;
    var g = canvas.getContext("2d", {willReadFrequently : true});
    g.drawImage(bitmap, 0, 0);
    bitmap.close();
    var pixels = g.getImageData(0, 0, canvas.width, canvas.height).data;
    var block = _malloc(pixels.length);
    if (!block) return 0;
    HEAPU8.set(pixels, block);
    HEAP32[Sides >> 2] = canvas.width;
    HEAP32[(Sides >> 2) + 1] = canvas.height;
    return block;
});

DecodedPicture Decode(const uint8_t* Data, size_t Size, int64_t MaxPixels, const char* Kind) {
    int sides[2] = {};
    uint8_t* rgba = Size > 0 && Size < size_t(INT32_MAX) ? DecodeInBrowser(Data, int(Size), sides) : nullptr;
    if (rgba == nullptr) throw EPictureDecode(Format("it is a %s the browser cannot decode", Kind));
    const int64_t pixels = int64_t(sides[0]) * sides[1];
    DecodedPicture picture;
    if (pixels > 0 && pixels <= MaxPixels) {
        picture.Width = sides[0];
        picture.Height = sides[1];
        picture.Rgba.assign(rgba, rgba + pixels * 4);
        for (int64_t p = 0; p < pixels && !picture.HasAlpha; ++p)
            picture.HasAlpha = picture.Rgba[size_t(p) * 4 + 3] != 255;
    }
    std::free(rgba);
    if (picture.Width == 0)
        throw EPictureDecode(Format("it is a %s of %d x %d pixels, more than this program can hold", Kind,
                                    sides[0], sides[1]));
    return picture;
}

} // namespace

DecodedPicture DecodePng(const uint8_t* Data, size_t Size, int64_t MaxPixels) {
    return Decode(Data, Size, MaxPixels, "PNG");
}

DecodedPicture DecodeJpeg(const uint8_t* Data, size_t Size, int64_t MaxPixels) {
    return Decode(Data, Size, MaxPixels, "JPEG");
}
