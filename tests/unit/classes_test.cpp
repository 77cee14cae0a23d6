#include <gtest/gtest.h>

#include <vector>

#include "rtl/classes.h"

namespace {
struct Probe : TComponent {
    Probe(TComponent* owner, std::vector<int>& log, int id) : TComponent(owner), log(log), id(id) {}
    ~Probe() override { log.push_back(id); }
    std::vector<int>& log;
    int id;
};
}  // namespace

TEST(Ownership, OwnedComponentsDieWithTheirOwnerLastCreatedFirst) {
    std::vector<int> log;
    auto* owner = new Probe(nullptr, log, 0);
    new Probe(owner, log, 1);
    auto* second = new Probe(owner, log, 2);
    new Probe(second, log, 3);
    EXPECT_EQ(owner->ComponentCount(), 2);
    delete owner;
    // The owner's own part goes first, then its components, last created first.
    EXPECT_EQ(log, (std::vector<int>{0, 2, 3, 1}));
}

TEST(Ownership, AComponentFreedEarlyLeavesItsOwner) {
    std::vector<int> log;
    Probe owner(nullptr, log, 0);
    delete new Probe(&owner, log, 1);
    EXPECT_EQ(owner.ComponentCount(), 0);
}
