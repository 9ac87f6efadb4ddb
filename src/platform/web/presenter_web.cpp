#include "platform/web/presenter_web.h"

#include <emscripten.h>

#include <array>
#include <cstring>

namespace {

// The page's title.
EM_JS(void, SetPageTitle, (const char* Caption), { document.title = UTF8ToString(Caption); });

// Puts Width x Height RGBA pixels at Rgba into the canvas "screen" (made
// ScreenWidth x ScreenHeight) at the target rectangle, black around it.
EM_JS(void, PutRgba,
      (const uint8_t* Rgba, int Width, int Height, int Left, int Top, int TargetWidth, int TargetHeight,
       int ScreenWidth, int ScreenHeight),
      {
          var canvas = document.getElementById("screen");
          if (canvas.width != ScreenWidth) canvas.width = ScreenWidth;
          if (canvas.height != ScreenHeight) canvas.height = ScreenHeight;
          var g = canvas.getContext("2d");
          var image =
              new ImageData(new Uint8ClampedArray(HEAPU8.buffer, Rgba, Width * Height * 4), Width, Height);
          var covers = Left <= 0 && Top <= 0 && Left + TargetWidth >= ScreenWidth &&
                       Top + TargetHeight >= ScreenHeight;
          if (!covers) {
              g.fillStyle = "black";
              g.fillRect(0, 0, ScreenWidth, ScreenHeight);
          }
          if (TargetWidth == Width && TargetHeight == Height) {
              g.putImageData(image, Left, Top);
          } else {
              var scratch = Module.fuifjeScratch = Module.fuifjeScratch || document.createElement("canvas");
              scratch.width = Width;
              scratch.height = Height;
              scratch.getContext("2d").putImageData(image, 0, 0);
              g.drawImage(scratch, Left, Top, TargetWidth, TargetHeight);
          }
          canvas.framesPresented = (canvas.framesPresented || 0) + 1;
      });

// RGBA bytes (as one little-endian word) of every 5-6-5 pixel value, made once.
const std::array<uint32_t, 65536>& Rgb565Words() {
    static const std::array<uint32_t, 65536> kTable = [] {
        std::array<uint32_t, 65536> words{};
        for (uint32_t pixel = 0; pixel < words.size(); ++pixel) {
            const uint32_t color = UnpackColor(PixelFormat::Rgb565, pixel); // $00BBGGRR
            words[pixel] = color | 0xFF000000u;                             // bytes R, G, B, A = 255
        }
        return words;
    }();
    return kTable;
}

// Frame's pixels as RGBA bytes, rows top first.
void ToRgba(const PixelView& Frame, std::vector<uint8_t>& Rgba) {
    Rgba.resize(size_t(Frame.Width) * size_t(Frame.Height) * 4);
    uint8_t* out = Rgba.data();
    if (Frame.Format == PixelFormat::Rgb565) {
        const std::array<uint32_t, 65536>& words = Rgb565Words();
        for (int y = 0; y < Frame.Height; ++y) {
            const uint8_t* row = Frame.Row(y);
            for (int x = 0; x < Frame.Width; ++x, out += 4) {
                const uint32_t word = words[uint32_t(row[2 * x]) | uint32_t(row[2 * x + 1]) << 8];
                std::memcpy(out, &word, 4);
            }
        }
        return;
    }
    for (int y = 0; y < Frame.Height; ++y)
        for (int x = 0; x < Frame.Width; ++x, out += 4) {
            const uint32_t word = UnpackColor(Frame.Format, Frame.Read(x, y)) | 0xFF000000u;
            std::memcpy(out, &word, 4);
        }
}

} // namespace

void PutOnPageCanvas(const PixelView& Frame, const TRect& Target, int ScreenWidth, int ScreenHeight,
                     std::vector<uint8_t>& Rgba) {
    if (Frame.Empty() || ScreenWidth <= 0 || ScreenHeight <= 0) return;
    ToRgba(Frame, Rgba);
    PutRgba(Rgba.data(), Frame.Width, Frame.Height, Target.Left, Target.Top, int(Target.Width()),
            int(Target.Height()), ScreenWidth, ScreenHeight);
}

void WebPresenter::Open(const std::string& Caption) {
    SetPageTitle(Caption.c_str());
    FOpen = true;
}

void WebPresenter::Present(const PixelView& Frame, const TRect& Target, int ScreenWidth, int ScreenHeight,
                           bool /*WaitVBlank*/) {
    if (FOpen) PutOnPageCanvas(Frame, Target, ScreenWidth, ScreenHeight, FRgba);
}
