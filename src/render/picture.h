// TPicture: the container that holds one graphic and picks its class by file
// extension (".dib" -> TDIB, any other -> TBitmap, which reads BMP, PNG and JPEG
// by their content) or by the class name stored in
// a form's "Data" property (a length byte, the name, then the graphic's stored form).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/object.h"
#include "render/bitmap.h"
#include "render/graphic.h"
#include "render/stream.h"

class TPicture : public TObject {
public:
    std::string ClassName() const override { return "TPicture"; }

    // The graphic held, or nullptr.
    TGraphic* Graphic() const { return FGraphic.get(); }
    // Holds a new graphic of Value's class that takes Value's picture (a TDIB
    // or TBitmap shares its pixels, so the caller may free its own); nullptr empties.
    void SetGraphic(const TGraphic* Value);
    // The graphic as a TBitmap; any other graphic is first replaced by an empty TBitmap.
    TBitmap& Bitmap();

    // The graphic's size; 0 without a graphic.
    int32_t Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int32_t Height() const { return FGraphic ? FGraphic->Height() : 0; }

    // Loads a file into a new graphic of the class its extension names. A missing
    // file raises "Cannot open file "%s". %s"; bad content EInvalidGraphic
    // `Cannot load "<file>": <reason>`, e.g. "it is cut off after 1234 bytes".
    // The picture keeps its previous graphic when loading fails.
    void LoadFromFile(const std::string& FileName);
    // Writes the graphic's file form (nothing without a graphic).
    void SaveToFile(const std::string& FileName) const;

    // nullptr: no graphic. A TPicture: its graphic as SetGraphic takes it. A graphic: SetGraphic.
    void Assign(const TObject* Source);

    // The "Data" form: the graphic's class name as a length-prefixed string, then
    // its stored form. An empty stream gives no graphic; an unknown class or a
    // name cut short raises EInvalidGraphic.
    void ReadData(TStream& Stream);
    // Writes the "Data" form; nothing without a graphic.
    void WriteData(TStream& Stream) const;

private:
    std::unique_ptr<TGraphic> FGraphic;
};
