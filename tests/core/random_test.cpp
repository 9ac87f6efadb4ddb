#include "core/random.h"

#include <gtest/gtest.h>

TEST(Random, LinearCongruentialSequenceFromAFixedSeed) {
    SetRandomizeSource([] { return 0u; });
    Randomize();
    EXPECT_EQ(RandSeed, 0u);
    // seed 1: (1 * 100) >> 32 = 0; seed 134775814: (134775814 * 100) >> 32 = 3
    EXPECT_EQ(Random(100), 0);
    EXPECT_EQ(RandSeed, 1u);
    EXPECT_EQ(Random(100), 3);
    EXPECT_EQ(RandSeed, 134775814u);
    SetRandomizeSource(nullptr);
}

TEST(Random, StaysInRange) {
    RandSeed = 12345;
    for (int i = 0; i < 10000; ++i) {
        const int32_t r = Random(6);
        ASSERT_GE(r, 0);
        ASSERT_LT(r, 6);
    }
    EXPECT_EQ(Random(0), 0);
}
