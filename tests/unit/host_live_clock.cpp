// The live clock as the demo plays it: the track on an SDL audio device, its play position read
// through LiveTime while the device's own thread takes buffer after buffer. SDL's dummy driver
// takes them at the pace of a sound card; its disk driver does the same and writes what it was
// handed to a file, so the samples the device got can be set beside the position.
#include "core/audio.h"
#include "core/time_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

using namespace show;

namespace {

constexpr int kChannels = 2;
constexpr double kToneSeconds = 0.5;
// However loaded the machine, the device gets through half a second of sound in this time.
constexpr auto kPatience = std::chrono::seconds(30);
// Buffers the device takes after the end, to see what it is handed then.
constexpr int kBuffersAfterEnd = 4;

// A file of the running test's own: ctest runs tests side by side.
std::string testFile(const std::string& name) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string id = std::string(test->test_suite_name()) + "_" + test->name();
    std::replace(id.begin(), id.end(), '/', '_');
    return std::string(TEST_BUILD_DIR) + "/live_clock_" + id + "_" + name;
}

// A stereo tone whose every sample is well away from zero except at its crossings.
std::string tone() {
    const std::string path = testFile("tone.mp3");
    char command[512];
    std::snprintf(
        command, sizeof command,
        "ffmpeg -loglevel error -y -f lavfi -i 'aevalsrc=0.5*sin(2*PI*330*t):s=44100:d=%g'"
        " -ac 2 -b:a 192k '%s'",
        kToneSeconds, path.c_str());
    EXPECT_EQ(std::system(command), 0) << command;
    return path;
}

// One look at the clock, between two looks at how many frames the device had been handed.
struct Reading {
    uint64_t handedBefore, handedAfter;
    uint32_t position;
};

class PlayedTrack : public ::testing::Test {
  protected:
    void open(const std::string& driver) {
        driver_ = driver;
        deviceFile = testFile("device.raw");
        ASSERT_TRUE(track.load(tone()));
        setenv("SDL_AUDIODRIVER", driver.c_str(), 1);
        setenv("SDL_DISKAUDIOFILE", deviceFile.c_str(), 1);
        std::filesystem::remove(deviceFile);
        ASSERT_TRUE(track.initOutput()) << "no " << driver << " audio device";
    }
    void TearDown() override { track.close(); }

    bool writesFile() const { return driver_ == "disk"; }
    uint64_t framesInFile() const {
        std::error_code missing;
        const auto bytes = std::filesystem::file_size(deviceFile, missing);
        return missing ? 0 : bytes / (sizeof(float) * kChannels);
    }

    // Plays the track and reads the clock as the frame loop does, until a while after the end;
    // with a file, until the device has taken a few buffers past it.
    std::vector<Reading> play() {
        LiveTime clock(track);
        std::vector<Reading> readings;
        track.play();
        const auto start = std::chrono::steady_clock::now();
        int readsAfterEnd = 0;
        uint64_t handedAtEnd = 0, buffer = 0;
        while (std::chrono::steady_clock::now() - start < kPatience) {
            Reading r{};
            r.handedBefore = framesInFile();
            r.position = clock.playPosition();
            r.handedAfter = framesInFile();
            if (!readings.empty())
                buffer = std::gcd(buffer, r.handedBefore - readings.back().handedBefore);
            readings.push_back(r);
            if (r.position == kPositionAfterEnd) {
                if (readsAfterEnd++ == 0)
                    handedAtEnd = r.handedAfter;
                const bool silenceSeen =
                    !writesFile() ||
                    (buffer > 0 && r.handedBefore >= handedAtEnd + kBuffersAfterEnd * buffer);
                if (readsAfterEnd > 20 && silenceSeen)
                    break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        track.close();
        return readings;
    }

    std::vector<float> deviceSamples() const {
        std::ifstream in(deviceFile, std::ios::binary);
        std::vector<float> samples(framesInFile() * kChannels);
        in.read(reinterpret_cast<char*>(samples.data()),
                std::streamsize(samples.size() * sizeof(float)));
        return samples;
    }

    AudioTrack track;
    std::string deviceFile;

  private:
    std::string driver_;
};

class LiveClock : public PlayedTrack, public ::testing::WithParamInterface<const char*> {
  protected:
    void SetUp() override { open(GetParam()); }
};

// The disk driver writes the samples the device was handed to its file.
class DiskDevice : public PlayedTrack {
  protected:
    void SetUp() override { open("disk"); }
};

} // namespace

TEST_P(LiveClock, PositionOnlyRisesAndReadsAsEndedOnlyAfterTheLastSample) {
    const std::vector<Reading> readings = play();
    ASSERT_FALSE(readings.empty());
    ASSERT_EQ(readings.back().position, kPositionAfterEnd) << "the track never ended";
    uint32_t previous = 0;
    size_t distinct = 0;
    for (const Reading& r : readings) {
        ASSERT_GE(r.position, previous) << "the position went back";
        distinct += r.position != previous;
        previous = r.position;
        if (r.position != kPositionAfterEnd) {
            ASSERT_LT(r.position, track.length()) << "a position past the track not read as ended";
        }
    }
    // Half a second read every millisecond or so: the clock moves in many steps, not at once.
    EXPECT_GT(distinct, 5u);
}

// After the silence a paused device takes, the device is handed the track at the pan it was
// given, then silence again.
TEST_F(DiskDevice, ClockTrailsWhatTheDeviceWasHandedByAtMostOneBufferAndSilenceFollowsTheEnd) {
    constexpr int kMiddlePan = 128;
    track.setPan(kMiddlePan);
    const std::vector<Reading> readings = play();
    const std::vector<float> out = deviceSamples();
    const std::vector<float>& in = track.stereo();
    const size_t length = track.length();

    // The device is handed whole buffers: every step of the file is a multiple of one.
    uint64_t buffer = out.size() / kChannels;
    for (size_t i = 1; i < readings.size(); ++i)
        buffer = std::gcd(buffer, readings[i].handedBefore - readings[i - 1].handedBefore);
    ASSERT_GT(buffer, 0u);
    std::printf("device buffer %llu frames, %zu frames handed, track %zu frames\n",
                static_cast<unsigned long long>(buffer), out.size() / kChannels, length);

    // Where the track starts in the file: after the buffers of silence taken while paused.
    auto firstSound = [](const std::vector<float>& samples) {
        size_t i = 0;
        while (i < samples.size() && samples[i] == 0.0f)
            ++i;
        return i / kChannels;
    };
    const size_t start = firstSound(out) - firstSound(in);
    ASSERT_EQ(start % buffer, 0u) << "the track does not start on a buffer of its own";
    ASSERT_GE(out.size() / kChannels, start + length + buffer) << "no silence after the end";

    // At the middle pan both channels are the track at equal gains near 1/sqrt(2).
    double lowest = 1.0, highest = 0.0, widest = 0.0;
    for (size_t f = 0; f < length; ++f) {
        const float l = in[kChannels * f], r = in[kChannels * f + 1];
        if (std::fabs(l) < 0.05f || std::fabs(r) < 0.05f)
            continue;
        const double gainL = out[kChannels * (start + f)] / l;
        const double gainR = out[kChannels * (start + f) + 1] / r;
        lowest = std::min({lowest, gainL, gainR});
        highest = std::max({highest, gainL, gainR});
        widest = std::max(widest, std::fabs(gainL - gainR));
    }
    EXPECT_GT(lowest, 0.700);
    EXPECT_LT(highest, 0.714);
    EXPECT_LT(widest, 0.005) << "the middle pan leans to one side";
    for (size_t i = kChannels * (start + length); i < out.size(); ++i)
        ASSERT_EQ(out[i], 0.0f) << "sound after the end, at frame " << i / kChannels;

    // What is heard lies at most one buffer behind what was handed, and never ahead of it;
    // the end is read only once every sample was handed.
    for (const Reading& r : readings) {
        const uint64_t before = r.handedBefore > start ? r.handedBefore - start : 0;
        const uint64_t after = r.handedAfter > start ? r.handedAfter - start : 0;
        if (r.position == kPositionAfterEnd) {
            EXPECT_GE(after, length) << "ended with samples still to hand over";
            break;
        }
        ASSERT_LE(r.position, after) << "the clock is ahead of the device";
        ASSERT_LE(before, r.position + buffer) << "the clock lags more than one buffer";
    }
}

INSTANTIATE_TEST_SUITE_P(SdlDrivers, LiveClock, ::testing::Values("dummy", "disk"),
                         [](const ::testing::TestParamInfo<const char*>& driver) {
                             return std::string(driver.param);
                         });

// The pan is constant power: the two gains always square to one, each moves one way only, and
// they cross at the middle.
TEST(PanGains, KeepTheirPowerAcrossTheRangeAndCrossAtTheMiddle) {
    float lastLeft = 2.0f, lastRight = -1.0f;
    for (int pan = 0; pan <= kPanMax; ++pan) {
        float left = 0, right = 0;
        AudioTrack::panGains(pan, left, right);
        ASSERT_NEAR(left * left + right * right, 1.0f, 1e-5f) << "pan " << pan;
        ASSERT_LE(left, lastLeft) << "pan " << pan;
        ASSERT_GE(right, lastRight) << "pan " << pan;
        lastLeft = left;
        lastRight = right;
    }
    float left = 0, right = 0;
    AudioTrack::panGains(128, left, right);
    EXPECT_NEAR(left, 0.7071f, 0.005f);
    EXPECT_NEAR(right, 0.7071f, 0.005f);
    AudioTrack::panGains(0, left, right);
    EXPECT_EQ(left, 1.0f);
    EXPECT_NEAR(right, 0.0f, 1e-6f);
    AudioTrack::panGains(kPanPlainStereo, left, right);
    EXPECT_EQ(left, 1.0f);
    EXPECT_EQ(right, 1.0f);
}
