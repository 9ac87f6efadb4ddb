#include "render/hash_collection.h"

#include <gtest/gtest.h>

#include "core/exception.h"

namespace {

THashCollectionItem* Named(THashCollection& C, const std::string& Name) {
    auto* item = new THashCollectionItem(&C);
    item->SetName(Name);
    return item;
}

} // namespace

TEST(HashCollection, FindIgnoresCaseAndPrefersTheNameGivenLast) {
    THashCollection c;
    Named(c, "bgnd_day");
    Named(c, "bootje");
    THashCollectionItem* lower = Named(c, "a");
    Named(c, "A");
    struct Case {
        const char* Name;
        int Expected;
    };
    const Case cases[] = {{"bootje", 1}, {"BOOTJE", 1}, {"Bgnd_Day", 0}, {"a", 3},
                          {"A", 3},      {"moon", -1},  {"", -1}};
    for (const Case& k : cases)
        EXPECT_EQ(c.Find(k.Name), k.Expected) << k.Name;

    lower->SetName("b");
    lower->SetName("a"); // renamed last: now the head of its bucket
    EXPECT_EQ(c.Find("A"), 2);
    lower->SetName("a"); // unchanged: stays where it is
    EXPECT_EQ(c.Find("a"), 2);
}

TEST(HashCollection, DestroyingAnItemRenumbersTheOnesBehindIt) {
    THashCollection c;
    Named(c, "x");
    THashCollectionItem* gone = Named(c, "y");
    THashCollectionItem* last = Named(c, "z");
    delete gone;
    EXPECT_EQ(c.Count(), 2);
    EXPECT_EQ(last->Index(), 1);
    EXPECT_EQ(c.Find("z"), 1);
    EXPECT_EQ(c.Find("y"), -1);
    EXPECT_EQ(c.GetItem(1), last);
    try {
        c.GetItem(2);
        ADD_FAILURE() << "index 2 of 2 items accepted";
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message, "List index out of bounds (2)");
    }
    EXPECT_THROW(c.GetItem(-1), EListError);
}

TEST(HashCollection, BucketsFollowLengthAndTwoCharacters) {
    // h = length * 16 + code of the second-to-last + code of the first, lower-cased, and 255.
    EXPECT_EQ(THashCollection::HashOf(""), 0);
    EXPECT_EQ(THashCollection::HashOf("x"), 16);
    EXPECT_EQ(THashCollection::HashOf("ab"), (32 + 'a' + 'a') & 255);
    EXPECT_EQ(THashCollection::HashOf("Moon"), (64 + 'o' + 'm') & 255);
    EXPECT_EQ(THashCollection::HashOf("MOON"), THashCollection::HashOf("moon"));
}
