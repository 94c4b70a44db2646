// The capture's video encoder: frames handed over bottom row first, as GL reads them, come out
// of ffmpeg in drawing order and the right way up; a dead ffmpeg stops the capture instead of
// hanging it. Runs the real ffmpeg, as the capture does.
#include "encoder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace capture;

namespace {

constexpr int kWidth = 64, kHeight = 48;

std::string scratchDir() {
    char name[] = "/tmp/capture_encoder_XXXXXX";
    const char* made = mkdtemp(name);
    return made ? made : "";
}

// The decoded video as RGB, frame after frame, top row first.
std::vector<uint8_t> decode(const std::string& path) {
    const std::string command =
        "ffmpeg -loglevel error -nostdin -i '" + path + "' -f rawvideo -pix_fmt rgb24 -";
    FILE* pipe = popen(command.c_str(), "r");
    std::vector<uint8_t> rgb;
    if (!pipe)
        return rgb;
    uint8_t block[4096];
    for (size_t n; (n = std::fread(block, 1, sizeof block, pipe)) > 0;)
        rgb.insert(rgb.end(), block, block + n);
    pclose(pipe);
    return rgb;
}

// Frame i is black at the bottom and grey level 20 + 18 i in its top half.
int topLevel(int frame) {
    return 20 + 18 * frame;
}

} // namespace

TEST(CaptureEncoder, FramesComeOutInDrawingOrderAndTheRightWayUp) {
    const std::string dir = scratchDir();
    ASSERT_FALSE(dir.empty());
    const std::string video = dir + "/frames.mp4";
    const int frames = 12; // several turns of the encoder's ring
    {
        VideoEncoder encoder;
        ASSERT_TRUE(encoder.start(video, kWidth, kHeight, 10));
        for (int i = 0; i < frames; ++i) {
            uint8_t* rgb = encoder.nextFrame();
            ASSERT_NE(rgb, nullptr);
            const size_t half = size_t(kWidth) * 3 * (kHeight / 2);
            std::fill(rgb, rgb + half, uint8_t(0));                      // bottom rows first
            std::fill(rgb + half, rgb + 2 * half, uint8_t(topLevel(i))); // then the top rows
            ASSERT_TRUE(encoder.submit());
        }
        ASSERT_TRUE(encoder.finish());
    }
    const std::vector<uint8_t> rgb = decode(video);
    const size_t frameSize = size_t(kWidth) * kHeight * 3;
    ASSERT_EQ(rgb.size(), frameSize * frames);
    // The green of a pixel in the middle column, rows counted from the top.
    auto green = [&](int frame, int row) {
        return int(rgb[frameSize * frame + (size_t(row) * kWidth + kWidth / 2) * 3 + 1]);
    };
    for (int i = 0; i < frames; ++i) {
        // Away from the middle, where the two halves blur into each other.
        EXPECT_NEAR(green(i, 8), topLevel(i), 6) << "frame " << i;
        EXPECT_NEAR(green(i, kHeight - 8), 0, 6) << "frame " << i;
    }
    std::remove(video.c_str());
    std::remove(dir.c_str());
}

TEST(CaptureEncoder, AnEncoderThatDiesStopsTheCaptureInsteadOfHangingIt) {
    VideoEncoder encoder;
    // ffmpeg starts, then cannot make its output and ends.
    ASSERT_TRUE(encoder.start("/nonexistent-folder/x.mp4", kWidth, kHeight, 10));
    const int offered = 500;
    int taken = 0;
    for (; taken < offered; ++taken) {
        uint8_t* rgb = encoder.nextFrame();
        if (!rgb)
            break;
        std::fill(rgb, rgb + size_t(kWidth) * kHeight * 3, uint8_t(128));
        if (!encoder.submit())
            break;
    }
    EXPECT_LT(taken, offered);
    EXPECT_FALSE(encoder.finish());
}
