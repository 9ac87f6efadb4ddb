#include "core/object.h"

#include <gtest/gtest.h>

namespace {

// Records its own destruction in a shared log.
class Probe : public TComponent {
public:
    Probe(TComponent* AOwner, std::string AName, std::vector<std::string>& ALog)
        : TComponent(AOwner), Log(ALog) {
        Name = std::move(AName);
    }
    ~Probe() override { Log.push_back(Name); }
    std::string ClassName() const override { return "Probe"; }
    std::vector<std::string>& Log;
};

TEST(Component, OwnerDestroysOwnedInReverseOrderOfCreation) {
    std::vector<std::string> log;
    auto* root = new Probe(nullptr, "root", log);
    auto* a = new Probe(root, "a", log);
    new Probe(a, "a.child", log);
    new Probe(root, "b", log);
    EXPECT_EQ(root->ComponentCount(), 2);
    EXPECT_EQ(a->Owner(), root);
    delete root;
    // A destructor body runs before the owned components go, as in the base class chain.
    EXPECT_EQ(log, (std::vector<std::string>{"root", "b", "a", "a.child"}));
}

TEST(Component, FreeingAnOwnedComponentLeavesItsOwner) {
    std::vector<std::string> log;
    Probe root(nullptr, "root", log);
    auto* a = new Probe(&root, "a", log);
    delete a;
    EXPECT_EQ(root.ComponentCount(), 0);
    EXPECT_EQ(root.ClassName(), "Probe");
}

} // namespace
