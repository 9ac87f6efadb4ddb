#include "render/hash_collection.h"

#include <algorithm>
#include <utility>

#include "core/exception.h"

namespace {

// Names fold case letter by letter in the C locale: ASCII letters match their
// other case, every other byte only itself.
std::string LowerCase(const std::string& S) {
    std::string lower = S;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return lower;
}

bool SameTextIgnoringCase(const std::string& A, const std::string& B) {
    return A.size() == B.size() && LowerCase(A) == LowerCase(B);
}

} // namespace

// [SECTION] THashCollectionItem

THashCollectionItem::THashCollectionItem(THashCollection* Collection) : FCollection(Collection) {
    FCollection->Append(this);
}

THashCollectionItem::~THashCollectionItem() {
    FCollection->Remove(this);
}

int THashCollectionItem::Index() const {
    return FCollection->IndexOf(this);
}

void THashCollectionItem::SetName(const std::string& Value) {
    if (FName == Value) return;
    const std::string oldName = std::exchange(FName, Value);
    FCollection->Rename(this, oldName);
}

// [SECTION] THashCollection

THashCollection::~THashCollection() {
    Clear();
}

THashCollectionItem* THashCollection::GetItem(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError(Format("List index out of bounds (%d)", Index));
    return FItems[size_t(Index)];
}

int THashCollection::IndexOf(const THashCollectionItem* Item) const {
    const auto at = std::find(FItems.begin(), FItems.end(), Item);
    return at == FItems.end() ? -1 : int(at - FItems.begin());
}

// Walks the name's bucket chain from its head.
int THashCollection::Find(const std::string& Name) const {
    const Chain& chain = FBuckets[size_t(HashOf(Name))];
    for (auto item = chain.rbegin(); item != chain.rend(); ++item)
        if (SameTextIgnoringCase((*item)->Name(), Name)) return IndexOf(*item);
    return -1;
}

void THashCollection::Clear() {
    while (!FItems.empty())
        delete FItems.back();
}

int THashCollection::HashOf(const std::string& Name) {
    const std::string lower = LowerCase(Name);
    uint32_t h = uint32_t(lower.size()) * 16;
    if (lower.size() >= 2) h += uint8_t(lower[lower.size() - 2]) + uint8_t(lower[0]);
    return int(h & 255);
}

void THashCollection::Append(THashCollectionItem* Item) {
    FItems.push_back(Item);
    Link(Item);
}

void THashCollection::Rename(THashCollectionItem* Item, const std::string& OldName) {
    Unlink(Item, OldName);
    Link(Item);
}

// The items behind a removed one move up: their positions are their indices.
void THashCollection::Remove(THashCollectionItem* Item) {
    Unlink(Item, Item->Name());
    std::erase(FItems, Item);
}

// Puts Item at the head of its name's bucket chain.
void THashCollection::Link(THashCollectionItem* Item) {
    FBuckets[size_t(HashOf(Item->Name()))].push_back(Item);
}

void THashCollection::Unlink(THashCollectionItem* Item, const std::string& Name) {
    std::erase(FBuckets[size_t(HashOf(Name))], Item);
}
