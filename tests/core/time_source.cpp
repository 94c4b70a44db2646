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
constexpr double kToneSeconds = 1.0;
// However loaded the machine, the device gets through a second of sound in this time.
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

bool silentFrame(const std::vector<float>& samples, size_t frame) {
    return samples[kChannels * frame] == 0.0f && samples[kChannels * frame + 1] == 0.0f;
}

// The first frame at or after `from` with sound in it; the frame count when there is none.
size_t firstSound(const std::vector<float>& samples, size_t from = 0) {
    const size_t frames = samples.size() / kChannels;
    while (from < frames && silentFrame(samples, from))
        ++from;
    return from;
}

// One look at the clock, between two looks at how many frames the device had been handed.
struct Reading {
    uint64_t handedBefore, handedAfter;
    uint32_t position;
    bool held; // taken while the track was paused
};

// The clock while the track is paused: nothing is in flight on the device's thread then.
struct Hold {
    uint32_t position = 0;
    bool taken = false;
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
    // with a file, until the device has taken a few buffers past it. With holdOnce, the track
    // is paused once the clock has moved, until the device has written what it was handed
    // and some silence after it, and then resumed.
    //
    // The file's size is only ever a lower bound on what the device was handed: the device
    // writes a buffer after it was handed it, and a look at the size can fall in the middle
    // of that write. The positions read, though, are whole buffers, so their common divisor
    // is a whole number of buffers however the looks fall.
    std::vector<Reading> play(bool holdOnce = false) {
        LiveTime clock(track);
        std::vector<Reading> readings;
        track.play();
        const auto begun = std::chrono::steady_clock::now();
        int readsAfterEnd = 0;
        uint64_t handedAtEnd = 0, handedAtHold = 0, buffers = 0;
        bool holding = false;
        while (std::chrono::steady_clock::now() - begun < kPatience) {
            Reading r{};
            r.handedBefore = framesInFile();
            r.position = clock.playPosition();
            r.handedAfter = framesInFile();
            r.held = holding;
            readings.push_back(r);
            if (r.position != kPositionAfterEnd)
                buffers = std::gcd(buffers, uint64_t(r.position));
            if (holding) {
                // Two buffers past the hold: what was in flight is written, and silence after.
                if (r.handedBefore >= handedAtHold + 2 * buffers) {
                    track.pause(false);
                    holding = false;
                }
            } else if (holdOnce && !held.taken && r.position > 0 &&
                       r.position != kPositionAfterEnd) {
                track.pause(true);
                held = {clock.playPosition(), true};
                handedAtHold = framesInFile();
                holding = true;
            }
            if (r.position == kPositionAfterEnd) {
                if (readsAfterEnd++ == 0)
                    handedAtEnd = r.handedAfter;
                const bool silenceSeen =
                    !writesFile() || r.handedBefore >= handedAtEnd + kBuffersAfterEnd * buffers;
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
    Hold held;

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
    // A second read every millisecond or so: the clock moves in many steps, not at once.
    EXPECT_GT(distinct, 5u);
}

// After the silence a paused device takes, the device is handed the track at the pan it was
// given, up to where the test pauses it, silence while paused, the rest of the track, then
// silence again. While paused, nothing is in flight: the clock stands exactly one buffer behind
// the last sample handed. While playing, every look at the file brackets the clock.
TEST_F(DiskDevice, ClockTrailsWhatTheDeviceWasHandedByAtMostOneBufferAndSilenceFollowsTheEnd) {
    constexpr int kMiddlePan = 128;
    track.setPan(kMiddlePan);
    const std::vector<Reading> readings = play(true);
    ASSERT_TRUE(held.taken) << "the clock never moved before the end";
    const std::vector<float> out = deviceSamples();
    const std::vector<float>& in = track.stereo();
    const size_t length = track.length();
    const size_t frames = out.size() / kChannels;

    // Where the track starts in the file: after the buffers of silence taken before play.
    const size_t start = firstSound(out) - firstSound(in);
    ASSERT_LT(start, frames) << "the device was never handed the track";
    // Where the pause fell: the first frame of the track the file has silence for.
    size_t handedAtHold = firstSound(in);
    while (start + handedAtHold < frames && handedAtHold < length &&
           (silentFrame(in, handedAtHold) || !silentFrame(out, start + handedAtHold)))
        ++handedAtHold;
    ASSERT_LT(handedAtHold, length) << "no silence where the track was paused";
    ASSERT_GT(handedAtHold, 0u);
    ASSERT_FALSE(silentFrame(in, handedAtHold - 1)) << "the tone is silent where it was paused";
    const size_t gap = firstSound(out, start + handedAtHold) - (start + handedAtHold);

    // Every length the device handed over is a whole number of buffers: the common divisor of
    // them all is one buffer or a few.
    uint64_t buffer = std::gcd(std::gcd(start, handedAtHold), std::gcd(gap, frames));
    for (const Reading& r : readings)
        if (r.position != kPositionAfterEnd)
            buffer = std::gcd(buffer, uint64_t(r.position));
    ASSERT_GT(buffer, 0u);
    std::printf("device buffer %llu frames or a whole multiple, %zu frames handed, track %zu "
                "frames, paused at %zu for %zu\n",
                static_cast<unsigned long long>(buffer), frames, length, handedAtHold, gap);
    ASSERT_GE(frames, start + gap + length + buffer) << "no silence after the end";

    // The pause: nothing in flight, the last buffer handed is the one being heard.
    EXPECT_GT(handedAtHold, held.position) << "the clock does not trail what the device was handed";
    EXPECT_LE(handedAtHold - held.position, buffer) << "the clock lags more than one buffer";

    // At the middle pan both channels are the track at equal gains near 1/sqrt(2).
    const auto fileFrame = [&](size_t f) { return start + f + (f < handedAtHold ? 0 : gap); };
    double lowest = 1.0, highest = 0.0, widest = 0.0;
    for (size_t f = 0; f < length; ++f) {
        const float l = in[kChannels * f], r = in[kChannels * f + 1];
        if (std::fabs(l) < 0.05f || std::fabs(r) < 0.05f)
            continue;
        const double gainL = out[kChannels * fileFrame(f)] / l;
        const double gainR = out[kChannels * fileFrame(f) + 1] / r;
        lowest = std::min({lowest, gainL, gainR});
        highest = std::max({highest, gainL, gainR});
        widest = std::max(widest, std::fabs(gainL - gainR));
    }
    EXPECT_GT(lowest, 0.700);
    EXPECT_LT(highest, 0.714);
    EXPECT_LT(widest, 0.005) << "the middle pan leans to one side";
    for (size_t i = kChannels * fileFrame(length); i < out.size(); ++i)
        ASSERT_EQ(out[i], 0.0f) << "sound after the end, at frame " << i / kChannels;

    // Playing: what is heard lies at most one buffer behind what the file shows was handed
    // before the look, and never ahead of what it shows after; the end is read only once every
    // sample was handed. The file's frames count as the track's, less the silence of the pause.
    const auto trackFrames = [&](uint64_t handed) -> uint64_t {
        const uint64_t f = handed > start ? handed - start : 0;
        return f <= handedAtHold ? f : f <= handedAtHold + gap ? handedAtHold : f - gap;
    };
    for (const Reading& r : readings) {
        if (r.held) {
            ASSERT_EQ(r.position, held.position) << "the clock moved while paused";
            continue;
        }
        const uint64_t before = trackFrames(r.handedBefore), after = trackFrames(r.handedAfter);
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
