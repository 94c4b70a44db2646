// The picture comparison the GL tests judge frames with: it looks at its region only, and
// refuses, as a failure, images it cannot lay over each other.
#include "common/gl_fixture.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

using gltest::compare;
using gltest::Image;

TEST(PictureCompare, JudgesItsRegionOnlyAndRefusesWhatDoesNotFit) {
    Image a(4, 3), b(4, 3);
    b.at(3, 2)[0] = 200; // one pixel differs, in the top right corner
    EXPECT_EQ(compare(a, b, 0).pixelsOver, 1);
    EXPECT_EQ(compare(a, b, 0, gltest::kChannels, {0, 0, 3, -1}).pixelsOver, 0);
    EXPECT_EQ(compare(a, b, 0, gltest::kChannels, {3, 2, 4, 3}).pixelsOver, 1);

    const Image taller(4, 4);
    EXPECT_NONFATAL_FAILURE(compare(a, taller, 0), "size 4x3, expected 4x4");
    EXPECT_NONFATAL_FAILURE(compare(a, b, 0, gltest::kChannels, {0, 0, 5, -1}),
                            "does not lie inside 4x3");
    EXPECT_NONFATAL_FAILURE(compare(a, b, 0, gltest::kChannels, {2, 0, 2, -1}),
                            "does not lie inside 4x3");
}
