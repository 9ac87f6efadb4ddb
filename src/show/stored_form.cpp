#include "show/stored_form.h"

#include <cstddef>
#include <cstdint>

#include "render/picture.h"
#include "render/stream.h"

// Generated at build time from resources/*.dib.dat (class name and stored bitmap).
extern const uint8_t kGlyphTemplateData[];
extern const size_t kGlyphTemplateDataSize;
extern const uint8_t kCloudData[];
extern const size_t kCloudDataSize;

namespace {

// A white-keyed item in system memory whose picture is read from a stored "Data" block.
void AddStoredItem(TDXImageList& List, const uint8_t* Data, size_t Size) {
    auto* item = new TPictureCollectionItem(&List.Items());
    TMemoryStream stream(Data, Size);
    item->Picture().ReadData(stream);
    item->SystemMemory = true;
    item->Transparent = true;
    item->SetTransparentColor(0xFFFFFF);
}

} // namespace

void LoadStoredPictures(TDXImageList& Charlist, TDXImageList& Yearlist) {
    AddStoredItem(Charlist, kGlyphTemplateData, kGlyphTemplateDataSize);
    AddStoredItem(Yearlist, kCloudData, kCloudDataSize);
    // The placeholder the first year caption replaces: no picture, black key.
    auto* placeholder = new TPictureCollectionItem(&Yearlist.Items());
    placeholder->SystemMemory = false;
    placeholder->Transparent = true;
    placeholder->SetTransparentColor(0x000000);
}
