// The credits line as start-up leaves it, on screens of several widths (the null device, no
// window): it waits out of sight until the opening's second scene scrolls it in.
#include "common/show_fixture.h"

#include <gtest/gtest.h>

using namespace show;

namespace {

constexpr int kFps = 60;

TEST(CreditsLine, WaitsBeyondTheRightEdgeOfEveryScreenAndWhereItAlwaysDidAt1280) {
    // Its rectangle starts 15 pixels in from the left; at 1280 wide it has always waited
    // 1280 pixels to the right of that.
    constexpr int kMargin = 15, kClassicWidth = 1280;
    for (const auto& [width, height] : {std::pair{800, 600}, std::pair{1280, 1024},
                                        std::pair{1920, 1080}, std::pair{2560, 1440}}) {
        SCOPED_TRACE(width);
        Show show;
        ASSERT_NE(showtest::openShow(show, width, height, kFps, irr::video::EDT_NULL),
                  StartupResult::NoDevice);
        const irr::s32 left = show.overlay.credits->getAbsolutePosition().UpperLeftCorner.X;
        EXPECT_GE(left, width) << "the line shows before its scene scrolls it in";
        if (width <= kClassicWidth)
            EXPECT_EQ(left, kMargin + kClassicWidth);
        else // as near the edge as at 1280, so the scroll brings it in as soon
            EXPECT_EQ(left - width, kMargin);
        shutdownShow(show);
    }
}

} // namespace
