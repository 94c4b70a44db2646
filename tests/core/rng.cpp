// The show's random generator: the same draws on every run and every machine.
#include "core/rng.h"

#include <gtest/gtest.h>

using namespace show;

TEST(Random, DrawsTheClassicSequenceFromSeedOne) {
    Random random;
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358};
    for (int value : expected)
        EXPECT_EQ(random.next(), value);
    random.reset();
    EXPECT_EQ(random.below(100), 41);
}
