// An ordered collection of named items with a name index (THashCollection,
// THashCollectionItem): items keep their position, and their names sit in 256
// buckets, so finding a name costs one hash and a short chain walk. The
// collection does all the bookkeeping; an item only tells it when it comes,
// is renamed and goes. Image lists build on it.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/object.h"

class THashCollection;

class THashCollectionItem : public TObject {
public:
    // Appends the item to Collection (which owns it from now on), unnamed.
    explicit THashCollectionItem(THashCollection* Collection);
    // Takes the item out of its collection and its bucket chain.
    ~THashCollectionItem() override;
    THashCollectionItem(const THashCollectionItem&) = delete;
    THashCollectionItem& operator=(const THashCollectionItem&) = delete;
    std::string ClassName() const override { return "THashCollectionItem"; }

    THashCollection* Collection() const { return FCollection; }
    // The item's position in its collection.
    int Index() const;
    const std::string& Name() const { return FName; }
    // Renames the item and puts it at the head of the new name's bucket chain;
    // nothing happens when the name is unchanged (compared case-sensitively).
    void SetName(const std::string& Value);

private:
    THashCollection* FCollection;
    std::string FName;
};

class THashCollection : public TObject {
public:
    static constexpr int kBucketCount = 256;

    THashCollection() = default;
    // Destroys the items, the last one first.
    ~THashCollection() override;
    THashCollection(const THashCollection&) = delete;
    THashCollection& operator=(const THashCollection&) = delete;
    std::string ClassName() const override { return "THashCollection"; }

    int Count() const { return static_cast<int>(FItems.size()); }
    // The item at Index; raises EListError "List index out of bounds (%d)" outside 0 to Count - 1.
    THashCollectionItem* GetItem(int Index) const;
    // The position of Item, or -1 when it is not in the collection.
    int IndexOf(const THashCollectionItem* Item) const;
    // The index of the item named Name ignoring case, or -1. Of several such
    // items, the one named last is found.
    int Find(const std::string& Name) const;
    // Destroys every item, the last one first.
    void Clear();

    // The bucket of a name: lower-cased, h = length * 16, plus the codes of the
    // second-to-last and the first character when there are at least two; h and 255.
    static int HashOf(const std::string& Name);

    // The bookkeeping of the items, for THashCollectionItem alone: a new item
    // is appended (unnamed), a renamed one moves from its old name's bucket to
    // the head of its new name's, and a destroyed one leaves.
    void Append(THashCollectionItem* Item);
    void Rename(THashCollectionItem* Item, const std::string& OldName);
    void Remove(THashCollectionItem* Item);

private:
    using Chain = std::vector<THashCollectionItem*>; // a bucket's items, its head at the back

    void Link(THashCollectionItem* Item);
    void Unlink(THashCollectionItem* Item, const std::string& Name);

    std::vector<THashCollectionItem*> FItems;
    std::array<Chain, kBucketCount> FBuckets;
};
