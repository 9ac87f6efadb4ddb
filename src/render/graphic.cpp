#include "render/graphic.h"

#include "render/graphic_errors.h"

namespace {

// The text of a failed load: the file's name, then what was wrong with it.
std::string LoadFailure(const std::string& FileName, const std::string& Reason) {
    return Format("Cannot load \"%s\": %s", FileName.c_str(), Reason.c_str());
}

} // namespace

void TGraphic::Assign(const TObject* Source) {
    const std::string source = Source != nullptr ? Source->ClassName() : "nil";
    throw EConvertError(Format("Cannot assign a %s to a %s", source.c_str(), ClassName().c_str()));
}

void TGraphic::LoadFromFile(const std::string& FileName) {
    TFileStream stream(FileName, TFileStream::fmOpenRead);
    try {
        LoadFromStream(stream);
    } catch (const EInvalidGraphic& e) {
        throw EInvalidGraphic(LoadFailure(FileName, e.Message));
    } catch (const EInvalidGraphicOperation& e) {
        throw EInvalidGraphicOperation(LoadFailure(FileName, e.Message));
    } catch (const EOutOfResources& e) {
        throw EOutOfResources(LoadFailure(FileName, e.Message));
    }
}

void TGraphic::SaveToFile(const std::string& FileName) const {
    TFileStream stream(FileName, TFileStream::fmCreate);
    SaveToStream(stream);
}
