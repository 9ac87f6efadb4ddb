#include "render/hash_collection.h"

#include <algorithm>

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

void THashCollectionItem::SetName(const std::string& Value) {
    if (FName == Value) return;
    FCollection->Unlink(this);
    FName = Value;
    FCollection->Link(this);
}

// [SECTION] THashCollection

THashCollection::~THashCollection() {
    Clear();
}

THashCollectionItem* THashCollection::GetItem(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError(Format("List index out of bounds (%d)", Index));
    return FItems[size_t(Index)];
}

int THashCollection::Find(const std::string& Name) const {
    for (const THashCollectionItem* item = FHash[size_t(HashOf(Name))]; item; item = item->FRight)
        if (SameTextIgnoringCase(item->FName, Name)) return item->FIndex;
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
    Item->FIndex = Count();
    FItems.push_back(Item);
    Link(Item);
}

// Removes Item and moves the cached index of every item behind it down by one.
void THashCollection::Remove(THashCollectionItem* Item) {
    Unlink(Item);
    const auto at = std::find(FItems.begin(), FItems.end(), Item);
    if (at == FItems.end()) return;
    for (auto behind = at + 1; behind != FItems.end(); ++behind)
        --(*behind)->FIndex;
    FItems.erase(at);
}

// Puts Item at the head of its name's bucket chain.
void THashCollection::Link(THashCollectionItem* Item) {
    Item->FHashIndex = HashOf(Item->FName);
    THashCollectionItem*& head = FHash[size_t(Item->FHashIndex)];
    Item->FLeft = nullptr;
    Item->FRight = head;
    if (head) head->FLeft = Item;
    head = Item;
}

void THashCollection::Unlink(THashCollectionItem* Item) {
    if (Item->FLeft)
        Item->FLeft->FRight = Item->FRight;
    else
        FHash[size_t(Item->FHashIndex)] = Item->FRight;
    if (Item->FRight) Item->FRight->FLeft = Item->FLeft;
    Item->FLeft = Item->FRight = nullptr;
}
