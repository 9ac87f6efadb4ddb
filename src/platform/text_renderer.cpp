#include "platform/text_renderer.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_FONT_FORMATS_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

#include "platform/text_coverage.h"

// Sections: font resolution and the face cache; glyphs; the public functions.
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

    // Whether a browser takes the font's file (a single TrueType or OpenType
    // face) and its licence bits let it be embedded in a document.
    bool Embeddable(const ResolvedFont& Font) {
        FT_Face face = nullptr;
        if (FT_New_Face(Library(), Font.File.c_str(), Font.Index, &face) != 0) return false;
        const std::string format = FT_Get_Font_Format(face);
        const bool webFormat = face->num_faces == 1 && (format == "TrueType" || format == "CFF");
        const FT_UShort forbidden = FT_FSTYPE_RESTRICTED_LICENSE_EMBEDDING | FT_FSTYPE_BITMAP_EMBEDDING_ONLY;
        const bool allowed = (FT_Get_FSType_Flags(face) & forbidden) == 0;
        FT_Done_Face(face);
        return webFormat && allowed;
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

// [SECTION] Glyphs

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

// The coverage bitmap FreeType rendered, as the shared blender takes it.
CoverageMask MaskOf(const FT_Bitmap& Bitmap) {
    return {Bitmap.buffer, int(Bitmap.width), int(Bitmap.rows), ptrdiff_t(Bitmap.pitch)};
}

} // namespace

// [SECTION] Public functions

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
        FillTextCell(Target, X, Y, width, face.Ascent + face.Descent, BackColor);
    }
    const int baseline = Y + face.Ascent;
    FT_Pos pen = 0; // 26.6 fixed point from X
    for (uint32_t code : codes) {
        const FT_GlyphSlot slot = RenderGlyph(face, code);
        if (slot == nullptr) continue;
        const int left = X + static_cast<int>((pen + 32) >> 6) + slot->bitmap_left;
        BlendCoverage(Target, MaskOf(slot->bitmap), left, baseline - slot->bitmap_top, Font.Color);
        pen += slot->advance.x;
    }
}

std::string ResolvedFontFile(const FontSpec& Font) {
    return SharedFontCache().Resolve(Font).File;
}

std::string EmbeddableFontFile(const FontSpec& Font) {
    FontCache& cache = SharedFontCache();
    const ResolvedFont& font = cache.Resolve(Font);
    return cache.Embeddable(font) ? font.File : std::string();
}
