#include "render/picture.h"

#include <algorithm>
#include <cctype>
#include <functional>

#include "render/dib.h"
#include "render/graphic_errors.h"

namespace {

// A graphic class the container knows: its file extension and stored class name.
struct GraphicClass {
    const char* Extension;
    const char* Description;
    const char* Name;
    std::function<std::unique_ptr<TGraphic>()> Create;
};

const GraphicClass kGraphicClasses[] = {
    {"bmp", "Bitmaps", "TBitmap", [] { return std::make_unique<TBitmap>(); }},
    {"dib", "Device Independent Bitmap", "TDIB", [] { return std::make_unique<TDIB>(); }},
};

std::string LowerCase(std::string Text) {
    std::transform(Text.begin(), Text.end(), Text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return Text;
}

// The extension of a file name without its dot ("" when there is none).
std::string ExtensionOf(const std::string& FileName) {
    const size_t dot = FileName.find_last_of('.');
    const size_t slash = FileName.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    return FileName.substr(dot + 1);
}

// The class for a file: ".dib" files are read as TDIB; every other file as a
// TBitmap, which tells BMP, PNG and JPEG apart by their content.
std::unique_ptr<TGraphic> GraphicForExtension(const std::string& Extension) {
    for (const GraphicClass& c : kGraphicClasses)
        if (LowerCase(Extension) == c.Extension) return c.Create();
    return std::make_unique<TBitmap>();
}

std::unique_ptr<TGraphic> GraphicForClassName(const std::string& Name) {
    for (const GraphicClass& c : kGraphicClasses)
        if (Name == c.Name) return c.Create();
    throw EInvalidGraphic(Format("Unknown graphic class \"%s\"", Name.c_str()));
}

} // namespace

void TPicture::SetGraphic(const TGraphic* Value) {
    if (Value == nullptr) {
        FGraphic.reset();
        return;
    }
    if (Value == FGraphic.get()) return;
    std::unique_ptr<TGraphic> graphic = Value->NewInstance();
    graphic->Assign(Value);
    FGraphic = std::move(graphic);
}

TBitmap& TPicture::Bitmap() {
    if (dynamic_cast<TBitmap*>(FGraphic.get()) == nullptr) FGraphic = std::make_unique<TBitmap>();
    return static_cast<TBitmap&>(*FGraphic);
}

void TPicture::LoadFromFile(const std::string& FileName) {
    std::unique_ptr<TGraphic> graphic = GraphicForExtension(ExtensionOf(FileName));
    graphic->LoadFromFile(FileName);
    FGraphic = std::move(graphic);
}

void TPicture::SaveToFile(const std::string& FileName) const {
    if (FGraphic) FGraphic->SaveToFile(FileName);
}

void TPicture::Assign(const TObject* Source) {
    if (const auto* picture = dynamic_cast<const TPicture*>(Source))
        SetGraphic(picture->Graphic());
    else if (Source == nullptr)
        SetGraphic(nullptr);
    else if (const auto* graphic = dynamic_cast<const TGraphic*>(Source))
        SetGraphic(graphic);
    else
        throw EConvertError(
            Format("Cannot assign a %s to a %s", Source->ClassName().c_str(), ClassName().c_str()));
}

void TPicture::ReadData(TStream& Stream) {
    uint8_t length = 0;
    if (Stream.Read(&length, 1) == 0) {
        FGraphic.reset();
        return;
    }
    std::string name(length, '\0');
    if (Stream.Read(name.data(), length) != length) throw EInvalidGraphic(kDIBInvalid);
    std::unique_ptr<TGraphic> graphic = GraphicForClassName(name);
    graphic->ReadData(Stream);
    FGraphic = std::move(graphic);
}

void TPicture::WriteData(TStream& Stream) const {
    if (!FGraphic) return;
    const std::string name = FGraphic->ClassName();
    const uint8_t length = uint8_t(name.size());
    Stream.Write(&length, 1);
    Stream.Write(name.data(), name.size());
    FGraphic->WriteData(Stream);
}
