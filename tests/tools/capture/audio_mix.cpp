// The captured video's sound: the track, cut to the frames kept, with the pan the show set
// in each frame applied to that frame's samples.
#include "audio_mix.h"

#include "core/audio.h"
#include "core/time_source.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

using namespace capture;

namespace {

// A track whose every stereo sample is (1, 1), length frames long.
std::vector<float> flatTrack(size_t length) {
    return std::vector<float>(length * 2, 1.0f);
}

} // namespace

TEST(CaptureSound, FramesStandForTheSamplesTheVirtualClockGivesThem) {
    for (int fps : {7, 24, 30, 60}) {
        show::VirtualTime clock(fps, 1u << 30, nullptr);
        for (int64_t n = 0; n < 500; ++n) {
            clock.beginFrame();
            ASSERT_EQ(framePosition(n, fps), int64_t(clock.playPosition())) << fps << " " << n;
        }
    }
}

TEST(CaptureSound, EachFramesPanShapesOnlyThatFramesSamples) {
    const int fps = 60; // 735 samples a frame
    PanRecord pans(10, 3);
    pans.record(10, show::kPanPlainStereo);
    pans.record(11, 0);
    pans.record(12, show::kPanMax);
    const std::vector<float> mixed = mixRecordedFrames(flatTrack(44100), fps, pans);
    ASSERT_EQ(mixed.size(), size_t(3 * 735 * 2));
    auto sample = [&](int frameInRange, int i, int channel) {
        return mixed[size_t((frameInRange * 735 + i) * 2 + channel)];
    };
    for (int i : {0, 734}) {
        EXPECT_FLOAT_EQ(sample(0, i, 0), 1.0f);
        EXPECT_FLOAT_EQ(sample(0, i, 1), 1.0f);
        EXPECT_FLOAT_EQ(sample(1, i, 0), 1.0f); // pan 0: all left
        EXPECT_NEAR(sample(1, i, 1), 0.0f, 1e-6);
        EXPECT_NEAR(sample(2, i, 0), 0.0f, 1e-6); // pan 255: all right
        EXPECT_FLOAT_EQ(sample(2, i, 1), 1.0f);
    }
}

TEST(CaptureSound, TheMixStartsAtTheFirstKeptFrameAndIsSilentPastTheTracksEnd) {
    std::vector<float> track(2 * 1000);
    for (size_t i = 0; i < 1000; ++i)
        track[2 * i] = track[2 * i + 1] = float(i + 1);
    PanRecord pans(2, 5); // frames 2 to 6 run past the end of the track
    for (int64_t n = 2; n < 7; ++n)
        pans.record(n, show::kPanPlainStereo);
    const int fps = 100; // 441 samples a frame: frames 2 to 6 are samples 882 to 3086
    const std::vector<float> mixed = mixRecordedFrames(track, fps, pans);
    ASSERT_EQ(mixed.size(), size_t(2 * (3087 - 882))) << "as long as the five frames";
    EXPECT_EQ(mixed.front(), 883.0f);
    EXPECT_EQ(mixed[2 * (999 - 882)], 1000.0f) << "the track's last sample";
    EXPECT_EQ(mixed[2 * (1000 - 882)], 0.0f);
    EXPECT_EQ(mixed.back(), 0.0f);
}

TEST(CaptureSound, OnlyTheFramesThatRanAreMixed) {
    PanRecord pans(0, 100);
    pans.record(0, 3);
    pans.record(1, 5);
    pans.record(500, 7); // outside the record: ignored
    EXPECT_EQ(pans.recorded(), 2);
    EXPECT_EQ(mixRecordedFrames(flatTrack(44100), 60, pans).size(), size_t(2 * 735 * 2));
}

TEST(CaptureSound, TheWavFileSaysWhatItHolds) {
    const std::string path = ::testing::TempDir() + "capture_sound.wav";
    const std::vector<float> samples = {0.5f, -0.5f, 0.25f, -0.25f};
    ASSERT_TRUE(writeWav(path, samples));
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), {});
    std::remove(path.c_str());
    ASSERT_EQ(bytes.size(), 44u + samples.size() * 4);
    auto u32 = [&](size_t at) {
        return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
               uint32_t(bytes[at + 3]) << 24;
    };
    auto u16 = [&](size_t at) { return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8; };
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    EXPECT_EQ(u32(4), bytes.size() - 8);
    EXPECT_EQ(u16(20), 3u); // IEEE float
    EXPECT_EQ(u16(22), 2u); // stereo
    EXPECT_EQ(u32(24), show::kSampleRate);
    EXPECT_EQ(u32(40), samples.size() * 4);
    float first = 0;
    std::memcpy(&first, &bytes[44], 4);
    EXPECT_EQ(first, 0.5f);
}
