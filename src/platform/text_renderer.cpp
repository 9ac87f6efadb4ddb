#include "platform/text_renderer.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

// Sections: font resolution and the face cache; text decoding; glyph blending; the public functions.
// Everything runs on the one user-interface thread, so the caches are not locked.

namespace {

// [SECTION] Font resolution and the face cache

// A font file as fontconfig chose it for a name and weight.
struct ResolvedFont {
    std::string File;
    int Index = 0;
    bool Embolden = false; // bold asked for but the file has no bold face
};

// One FreeType face per font file, face index and pixel size, kept for the run.
struct SizedFace {
    FT_Face Face = nullptr;
    bool Embolden = false;
    int Ascent = 0;
    int Descent = 0;
};

// Owns the FreeType library, the fontconfig answers and the open faces; released at exit.
class FontCache {
public:
    ~FontCache() {
        for (auto& [key, face] : FFaces)
            FT_Done_Face(face.Face);
        if (FLibrary != nullptr) FT_Done_FreeType(FLibrary);
        if (FFontconfigStarted) FcFini(); // also frees fontconfig's own caches
    }

    const ResolvedFont& Resolve(const FontSpec& Font) {
        const auto key = std::make_pair(Font.Name, Font.Bold);
        auto found = FResolved.find(key);
        if (found == FResolved.end()) {
            if (!FFontconfigStarted && !FcInit()) throw EFontError("Fontconfig cannot be initialised");
            FFontconfigStarted = true;
            found = FResolved.emplace(key, AskFontconfig(Font)).first;
        }
        return found->second;
    }

    const SizedFace& Face(const FontSpec& Font) {
        const ResolvedFont& font = Resolve(Font);
        const int pixels = FontPixelSize(Font.Size);
        const auto key = std::make_tuple(font.File, font.Index, pixels);
        auto found = FFaces.find(key);
        if (found == FFaces.end()) found = FFaces.emplace(key, OpenFace(font, pixels)).first;
        return found->second;
    }

private:
    static ResolvedFont AskFontconfig(const FontSpec& Font);
    SizedFace OpenFace(const ResolvedFont& Font, int Pixels);
    FT_Library Library();

    FT_Library FLibrary = nullptr;
    bool FFontconfigStarted = false;
    std::map<std::pair<std::string, bool>, ResolvedFont> FResolved;
    std::map<std::tuple<std::string, int, int>, SizedFace> FFaces;
};

FontCache& SharedFontCache() {
    static FontCache cache;
    return cache;
}

// Asks fontconfig for the best file for the family at regular or bold weight; the
// weight is part of the request so that a real bold face is preferred.
ResolvedFont FontCache::AskFontconfig(const FontSpec& Font) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(Font.Name.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, Font.Bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    FcChar8* file = nullptr;
    if (match == nullptr || FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch) {
        if (match != nullptr) FcPatternDestroy(match);
        throw EFontError(Format("Font \"%s\" cannot be found", Font.Name.c_str()));
    }
    ResolvedFont resolved;
    resolved.File = reinterpret_cast<const char*>(file);
    FcPatternGetInteger(match, FC_INDEX, 0, &resolved.Index);
    int weight = FC_WEIGHT_REGULAR;
    FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
    resolved.Embolden = Font.Bold && weight < FC_WEIGHT_DEMIBOLD;
    FcPatternDestroy(match);
    return resolved;
}

FT_Library FontCache::Library() {
    if (FLibrary == nullptr && FT_Init_FreeType(&FLibrary) != 0) {
        FLibrary = nullptr;
        throw EFontError("FreeType cannot be initialised");
    }
    return FLibrary;
}

// Rounds a 26.6 fixed-point length up to whole pixels.
int CeilPixels(FT_Pos Value) {
    return static_cast<int>((Value + 63) >> 6);
}

// Opens the face with an em of Pixels pixels: FT_Set_Pixel_Sizes sets the em square,
// which is the character height without internal leading that a point size asks for.
SizedFace FontCache::OpenFace(const ResolvedFont& Font, int Pixels) {
    SizedFace sized;
    sized.Embolden = Font.Embolden;
    if (FT_New_Face(Library(), Font.File.c_str(), Font.Index, &sized.Face) != 0)
        throw EFontError(Format("Font file \"%s\" cannot be opened", Font.File.c_str()));
    if (FT_Set_Pixel_Sizes(sized.Face, 0, FT_UInt(Pixels)) != 0) {
        FT_Done_Face(sized.Face);
        throw EFontError(Format("Font file \"%s\" has no size of %d pixels", Font.File.c_str(), Pixels));
    }
    sized.Ascent = CeilPixels(sized.Face->size->metrics.ascender);
    sized.Descent = CeilPixels(-sized.Face->size->metrics.descender);
    return sized;
}

// [SECTION] Text decoding

// Length of the UTF-8 sequence a lead byte starts (1 for ASCII and for bytes that cannot lead one).
int SequenceLength(unsigned char Lead) {
    if (Lead >= 0xC2 && Lead < 0xE0) return 2;
    if (Lead >= 0xE0 && Lead < 0xF0) return 3;
    if (Lead >= 0xF0 && Lead < 0xF5) return 4;
    return 1;
}

// The character of the Length-byte UTF-8 sequence at S[I], or 0 when it is not well formed.
uint32_t DecodeSequence(const unsigned char* S, size_t N, size_t I, int Length) {
    if (I + size_t(Length) > N) return 0;
    uint32_t code = S[I] & (0x7Fu >> Length);
    for (int k = 1; k < Length; ++k) {
        if ((S[I + k] & 0xC0) != 0x80) return 0;
        code = code << 6 | (S[I + k] & 0x3Fu);
    }
    // Overlong forms and surrogate halves are not characters.
    static constexpr uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[Length] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) return 0;
    return code;
}

// The character codes of Text: UTF-8 where the bytes form it, otherwise each byte
// is taken as a Latin-1 character (the show's texts are single-byte strings).
std::vector<uint32_t> DecodeText(const std::string& Text) {
    std::vector<uint32_t> codes;
    const auto* s = reinterpret_cast<const unsigned char*>(Text.data());
    for (size_t i = 0; i < Text.size();) {
        const int length = SequenceLength(s[i]);
        const uint32_t code = length > 1 ? DecodeSequence(s, Text.size(), i, length) : 0;
        codes.push_back(code != 0 ? code : s[i]);
        i += code != 0 ? size_t(length) : 1;
    }
    return codes;
}

// Loads and renders one character as an 8-bit coverage bitmap in the face's glyph slot.
FT_GlyphSlot RenderGlyph(const SizedFace& Face, uint32_t Code) {
    if (FT_Load_Char(Face.Face, Code, FT_LOAD_DEFAULT) != 0) return nullptr;
    FT_GlyphSlot slot = Face.Face->glyph;
    if (Face.Embolden) FT_GlyphSlot_Embolden(slot);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return nullptr;
    return slot;
}

// Advance width of the codes in 26.6 fixed point (hinted advances, no kerning, as GDI).
FT_Pos AdvanceOf(const SizedFace& Face, const std::vector<uint32_t>& Codes) {
    FT_Pos pen = 0;
    for (uint32_t code : Codes) {
        if (FT_Load_Char(Face.Face, code, FT_LOAD_DEFAULT) != 0) continue;
        if (Face.Embolden) FT_GlyphSlot_Embolden(Face.Face->glyph);
        pen += Face.Face->glyph->advance.x;
    }
    return pen;
}

// [SECTION] Glyph blending

// One channel of Color over Existing with Coverage (0..255) as alpha, rounded to nearest.
constexpr uint32_t BlendChannel(uint32_t Color, uint32_t Existing, uint32_t Coverage) {
    return (Color * Coverage + Existing * (255 - Coverage) + 127) / 255;
}

constexpr uint32_t BlendColor(uint32_t Color, uint32_t Existing, uint32_t Coverage) {
    return RGB(uint8_t(BlendChannel(RedOf(Color), RedOf(Existing), Coverage)),
               uint8_t(BlendChannel(GreenOf(Color), GreenOf(Existing), Coverage)),
               uint8_t(BlendChannel(BlueOf(Color), BlueOf(Existing), Coverage)));
}

// Blends a coverage bitmap with its top-left at (Left, Top), clipped to Target.
// The format is a template argument so the per-pixel work has no format switch.
template <PixelFormat Format>
void BlendBitmap(const PixelView& Target, const FT_Bitmap& Bitmap, int Left, int Top, uint32_t Color) {
    const uint32_t solid = PackColor(Format, Color);
    const int x0 = std::max(0, -Left), x1 = std::min<int>(int(Bitmap.width), Target.Width - Left);
    const int y0 = std::max(0, -Top), y1 = std::min<int>(int(Bitmap.rows), Target.Height - Top);
    PixelView view = Target;
    view.Format = Format;
    for (int y = y0; y < y1; ++y) {
        const unsigned char* coverage = Bitmap.buffer + ptrdiff_t(y) * Bitmap.pitch;
        for (int x = x0; x < x1; ++x) {
            const uint32_t a = coverage[x];
            if (a == 0) continue;
            const int tx = Left + x, ty = Top + y;
            if (a == 255)
                view.Write(tx, ty, solid);
            else
                view.Write(tx, ty,
                           PackColor(Format, BlendColor(Color, UnpackColor(Format, view.Read(tx, ty)), a)));
        }
    }
}

void BlendGlyph(const PixelView& Target, const FT_Bitmap& Bitmap, int Left, int Top, uint32_t Color) {
    switch (Target.Format) {
    case PixelFormat::Rgb565:
        BlendBitmap<PixelFormat::Rgb565>(Target, Bitmap, Left, Top, Color);
        break;
    case PixelFormat::Rgb555:
        BlendBitmap<PixelFormat::Rgb555>(Target, Bitmap, Left, Top, Color);
        break;
    case PixelFormat::Bgr24:
        BlendBitmap<PixelFormat::Bgr24>(Target, Bitmap, Left, Top, Color);
        break;
    case PixelFormat::Bgrx32:
        BlendBitmap<PixelFormat::Bgrx32>(Target, Bitmap, Left, Top, Color);
        break;
    }
}

// Fills the rectangle (X, Y, Width, Height), clipped to Target, with a colour.
void FillCell(const PixelView& Target, int X, int Y, int Width, int Height, uint32_t Color) {
    const uint32_t pixel = PackColor(Target.Format, Color);
    const int x0 = std::max(0, X), x1 = std::min(Target.Width, X + Width);
    const int y0 = std::max(0, Y), y1 = std::min(Target.Height, Y + Height);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            Target.Write(x, y, pixel);
}

} // namespace

// [SECTION] Public functions

int FontPixelSize(int Points) {
    // Points x 96 / 72, rounded half away from zero as the platform's MulDiv does.
    const int pixels = (std::abs(Points) * 96 + 36) / 72;
    return std::max(1, pixels);
}

TextMetrics MeasureText(const FontSpec& Font, const std::string& Text) {
    const SizedFace& face = SharedFontCache().Face(Font);
    TextMetrics metrics;
    metrics.Width = static_cast<int>((AdvanceOf(face, DecodeText(Text)) + 32) >> 6);
    metrics.Ascent = face.Ascent;
    metrics.Height = face.Ascent + face.Descent;
    return metrics;
}

void RenderText(const PixelView& Target, int X, int Y, const std::string& Text, const FontSpec& Font,
                bool Opaque, uint32_t BackColor) {
    if (Target.Empty() || Text.empty()) return;
    const SizedFace& face = SharedFontCache().Face(Font);
    const std::vector<uint32_t> codes = DecodeText(Text);
    if (Opaque) {
        const int width = static_cast<int>((AdvanceOf(face, codes) + 32) >> 6);
        FillCell(Target, X, Y, width, face.Ascent + face.Descent, BackColor);
    }
    const int baseline = Y + face.Ascent;
    FT_Pos pen = 0; // 26.6 fixed point from X
    for (uint32_t code : codes) {
        const FT_GlyphSlot slot = RenderGlyph(face, code);
        if (slot == nullptr) continue;
        const int left = X + static_cast<int>((pen + 32) >> 6) + slot->bitmap_left;
        BlendGlyph(Target, slot->bitmap, left, baseline - slot->bitmap_top, Font.Color);
        pen += slot->advance.x;
    }
}

std::string ResolvedFontFile(const FontSpec& Font) {
    return SharedFontCache().Resolve(Font).File;
}
