// TGraphic: the base of every picture a TPicture container can hold (TDIB,
// TBitmap). It knows its size, draws itself scaled onto a canvas, and moves
// through streams and files; loading a file names the file in its errors.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/object.h"
#include "platform/canvas.h"
#include "platform/rect.h"
#include "render/stream.h"

class TGraphic : public TObject {
public:
    std::string ClassName() const override { return "TGraphic"; }

    // True when the graphic holds no picture.
    virtual bool Empty() const = 0;
    // Size in pixels; 0 when empty.
    virtual int32_t Width() const = 0;
    virtual int32_t Height() const = 0;

    // A new, empty graphic of the same class.
    virtual std::unique_ptr<TGraphic> NewInstance() const = 0;
    // Takes over Source's picture. The general rule, for sources a class does
    // not know: EConvertError "Cannot assign a %s to a %s".
    virtual void Assign(const TObject* Source);

    // Scales the whole picture into Rect of ACanvas ("colour on colour");
    // an empty graphic draws nothing.
    virtual void Draw(Canvas& ACanvas, const TRect& Rect) const = 0;

    // Reads and writes the file form.
    virtual void LoadFromStream(TStream& Stream) = 0;
    virtual void SaveToStream(TStream& Stream) const = 0;
    // The form inside a picture's stored "Data"; the file form unless a class has its own.
    virtual void ReadData(TStream& Stream) { LoadFromStream(Stream); }
    virtual void WriteData(TStream& Stream) const { SaveToStream(Stream); }

    // Reads a file. A missing file raises EFOpenError; content that is not a
    // sound picture raises the graphic's error as `Cannot load "<file>": <reason>`.
    void LoadFromFile(const std::string& FileName);
    // Writes the file form to a file (EFCreateError when it cannot be made).
    void SaveToFile(const std::string& FileName) const;
};
