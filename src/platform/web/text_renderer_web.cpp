// Text into pixels in a web page: the browser's canvas draws the letters
// (fillText) in the font the page knows by the asked name, which the page
// export embeds as the native program's own font file, else in a sans-serif;
// their coverage comes back (getImageData) and is blended in the font's
// colour as natively (text_coverage.h). Letters stand where FreeType puts
// them natively: each advances by its width rounded to whole pixels, without
// kerning, and the cell's ascent and descent are the font's, rounded up.
#include <emscripten.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/text_coverage.h"
#include "platform/text_renderer.h"

namespace {

// The font's ascent and descent at Pixels into Metrics[0] and [1] (read at
// 2048 pixels, where they are exact for most fonts, then scaled and rounded
// up as FreeType rounds a face's metrics), and the whole-pixel advance of
// each of the Count characters into Advances.
EM_JS(void, MeasureLetters,
      (const char* Style, const char* Families, int Pixels, const uint32_t* Codes, int Count, int* Advances,
       int* Metrics),
      {
          var canvas = Module.fuifjeLetters = Module.fuifjeLetters || document.createElement("canvas");
          var g = canvas.getContext("2d", {willReadFrequently : true});
          var style = UTF8ToString(Style);
          var families = UTF8ToString(Families);
          g.fontKerning = "none";
          g.font = style + "2048px " + families;
          var reference = g.measureText("H");
          function scaled(value) {
              return Math.ceil(Math.round(value * Pixels / 2048 * 64) / 64);
          }
          HEAP32[Metrics >> 2] = scaled(reference.fontBoundingBoxAscent);
          HEAP32[(Metrics >> 2) + 1] = scaled(reference.fontBoundingBoxDescent);
          g.font = style + Pixels + "px " + families;
          for (var i = 0; i < Count; i++) {
              var letter = String.fromCodePoint(HEAPU32[(Codes >> 2) + i]);
              HEAP32[(Advances >> 2) + i] = Math.round(g.measureText(letter).width);
          }
      });

// Draws the Count characters at x Positions on the baseline into a Width x
// Height canvas and copies each pixel's coverage into Coverage.
EM_JS(void, DrawLetters,
      (const char* Style, const char* Families, int Pixels, const uint32_t* Codes, int Count,
       const int* Positions, int Baseline, int Width, int Height, uint8_t* Coverage),
      {
          var canvas = Module.fuifjeLetters;
          canvas.width = Width;
          canvas.height = Height;
          var g = canvas.getContext("2d", {willReadFrequently : true});
          g.fontKerning = "none";
          g.font = UTF8ToString(Style) + Pixels + "px " + UTF8ToString(Families);
          g.textBaseline = "alphabetic";
          g.fillStyle = "black";
          for (var i = 0; i < Count; i++) {
              var letter = String.fromCodePoint(HEAPU32[(Codes >> 2) + i]);
              g.fillText(letter, HEAP32[(Positions >> 2) + i], Baseline);
          }
          var pixels = g.getImageData(0, 0, Width, Height).data;
          for (var p = 0; p < Width * Height; p++)
              HEAPU8[Coverage + p] = pixels[4 * p + 3];
      });

// The CSS font families for the font's name: the name itself (quotes and
// backslashes dropped), then any sans-serif.
std::string Families(const FontSpec& Font) {
    std::string name;
    for (char c : Font.Name)
        if (c != '"' && c != '\\') name += c;
    return "\"" + name + "\", sans-serif";
}

// A text measured in a font: the characters, their advances and the cell.
struct Letters {
    std::vector<uint32_t> Codes;
    std::vector<int> Advances;
    int Ascent = 0;
    int Descent = 0;
    int Width = 0;
};

Letters Measure(const FontSpec& Font, const std::string& Text) {
    Letters letters;
    letters.Codes = DecodeText(Text);
    letters.Advances.resize(letters.Codes.size());
    int metrics[2] = {};
    MeasureLetters(Font.Bold ? "bold " : "", Families(Font).c_str(), FontPixelSize(Font.Size),
                   letters.Codes.data(), int(letters.Codes.size()), letters.Advances.data(), metrics);
    letters.Ascent = metrics[0];
    letters.Descent = metrics[1];
    for (int advance : letters.Advances)
        letters.Width += advance;
    return letters;
}

} // namespace

TextMetrics MeasureText(const FontSpec& Font, const std::string& Text) {
    const Letters letters = Measure(Font, Text);
    return TextMetrics{letters.Width, letters.Ascent + letters.Descent, letters.Ascent};
}

void RenderText(const PixelView& Target, int X, int Y, const std::string& Text, const FontSpec& Font,
                bool Opaque, uint32_t BackColor) {
    if (Target.Empty() || Text.empty()) return;
    const Letters letters = Measure(Font, Text);
    if (Opaque) FillTextCell(Target, X, Y, letters.Width, letters.Ascent + letters.Descent, BackColor);
    // Letters may reach past their cell (a j's tail, an overhanging stroke),
    // by less than the font's size: the canvas leaves that much room around it.
    const int pixels = FontPixelSize(Font.Size);
    const int width = letters.Width + 2 * pixels;
    const int height = letters.Ascent + letters.Descent + 2 * pixels;
    std::vector<int> positions(letters.Codes.size());
    int pen = pixels;
    for (size_t i = 0; i < positions.size(); ++i) {
        positions[i] = pen;
        pen += letters.Advances[i];
    }
    std::vector<uint8_t> coverage(size_t(width) * size_t(height));
    DrawLetters(Font.Bold ? "bold " : "", Families(Font).c_str(), pixels, letters.Codes.data(),
                int(letters.Codes.size()), positions.data(), pixels + letters.Ascent, width, height,
                coverage.data());
    BlendCoverage(Target, CoverageMask{coverage.data(), width, height, width}, X - pixels, Y - pixels,
                  Font.Color);
}

std::string ResolvedFontFile(const FontSpec& Font) {
    return Families(Font); // the page has no font files, only the families it asks for
}

std::string EmbeddableFontFile(const FontSpec& /*Font*/) {
    return {};
}
