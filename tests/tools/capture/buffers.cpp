// What the capture says of the buffers the driver gave it.
#include "buffers.h"

#include <gtest/gtest.h>

using capture::Buffers;

namespace {

Buffers gave(int depth, int samples, int asked = 4) {
    Buffers b;
    b.askedDepthBits = 32;
    b.askedSamples = asked;
    b.windowDepthBits = depth;
    b.windowSamples = samples;
    b.targetDepthBits = 32;
    return b;
}

} // namespace

TEST(CaptureBuffers, OnlyWhatTheWindowLacksIsReportedInOneLine) {
    EXPECT_EQ(capture::bufferShortfall(gave(32, 4)), "");
    EXPECT_EQ(capture::bufferShortfall(gave(32, 8)), ""); // more than asked is no shortfall
    EXPECT_EQ(capture::bufferShortfall(gave(32, 0, 0)), "");
    EXPECT_EQ(capture::bufferShortfall(gave(32, 0, 1)), ""); // one sample is no multisampling

    const std::string depth = capture::bufferShortfall(gave(24, 4));
    EXPECT_NE(depth.find("24 depth bits of the 32 asked"), std::string::npos) << depth;
    EXPECT_EQ(depth.find("multisampling"), std::string::npos) << depth;

    // Mesa 25 and wine under Xvfb: neither 32 bits nor multisampling.
    const std::string both = capture::bufferShortfall(gave(24, 0));
    EXPECT_NE(both.find("24 depth bits of the 32 asked"), std::string::npos) << both;
    EXPECT_NE(both.find("no multisampling of the 4x asked"), std::string::npos) << both;
    EXPECT_EQ(both.find('\n'), std::string::npos);

    EXPECT_NE(capture::bufferShortfall(gave(32, 2)).find("2x multisampling of the 4x asked"),
              std::string::npos);
}

TEST(CaptureBuffers, TheBenchLineNamesWindowAndTargets) {
    Buffers b = gave(24, 0);
    b.targetDepthBits = 32;
    EXPECT_EQ(capture::describeBuffers(b), "window: 24 depth bits, no multisampling (asked 32, "
                                           "4x); render targets: 32 depth bits");
}
