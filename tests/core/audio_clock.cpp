// The clock the player plays on, here on a silent track's real-time clock: pause, the picture
// offset, a position that never falls, the end of the track.
#include "common/show_fixture.h"
#include "core/audio.h"
#include "core/time_source.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

using namespace show;

namespace {

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// The built track, played on the silent clock from `from`.
class SilentTrack : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(track.load(showtest::builtTrack()));
        track.playSilently();
    }
    AudioTrack track;
};

} // namespace

TEST_F(SilentTrack, WithoutADeviceThePositionRunsAtTheSampleRate) {
    constexpr uint32_t kFrom = 10 * kSampleRate;
    const auto start = std::chrono::steady_clock::now();
    track.play(kFrom);
    sleepMs(200);
    const uint32_t position = track.position();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(position, kFrom + uint32_t(0.2 * kSampleRate));
    EXPECT_LE(position, kFrom + uint32_t(seconds * kSampleRate) + 1);
}

TEST_F(SilentTrack, PauseHoldsThePositionAndTheClockUntilResumed) {
    PlayerTime time(track, 60, 0, nullptr);
    time.trackLoaded(track.length());
    time.startPass(0); // lands on the first frame: live at once
    sleepMs(50);
    time.pause(true);
    const uint32_t held = time.playPosition();
    const long clock = time.clockMs();
    EXPECT_GT(held, 0u);
    sleepMs(150);
    EXPECT_EQ(time.playPosition(), held);
    EXPECT_EQ(time.clockMs(), clock);
    time.pause(false);
    sleepMs(50);
    EXPECT_GT(time.playPosition(), held);
    EXPECT_GT(time.clockMs(), clock);
    // Resumed where it was held: no jump by the time spent paused.
    EXPECT_LT(time.playPosition(), held + uint32_t(0.15 * kSampleRate));
}

TEST_F(SilentTrack, ThePictureOffsetShiftsThePositionTheScenesRead) {
    track.play(5 * kSampleRate);
    constexpr int kOffsetMs = 250;
    constexpr uint32_t kOffsetFrames = kOffsetMs * kSampleRate / 1000; // 11025
    LiveTime late(track, kOffsetMs);
    LiveTime early(track, -kOffsetMs);
    LiveTime plain(track, 0);
    const uint32_t before = plain.playPosition();
    const uint32_t lateAt = late.playPosition();
    const uint32_t earlyAt = early.playPosition();
    const uint32_t after = plain.playPosition();
    // The reads straddle each shifted one, so the shift is bounded by them on both sides.
    EXPECT_GE(lateAt + kOffsetFrames, before);
    EXPECT_LE(lateAt + kOffsetFrames, after);
    EXPECT_GE(earlyAt, before + kOffsetFrames);
    EXPECT_LE(earlyAt, after + kOffsetFrames);
}

TEST_F(SilentTrack, ThePositionNeverFallsWhenTheSoundStartsSomewhere) {
    LiveTime time(track, 300);
    track.play(0);
    time.restart(uint32_t(20 * kSampleRate), 0);
    // The sound is 20 s behind the picture: the scenes hold where the picture stands.
    EXPECT_EQ(time.playPosition(), uint32_t(20 * kSampleRate));
    sleepMs(20);
    EXPECT_EQ(time.playPosition(), uint32_t(20 * kSampleRate));
    track.play(uint32_t(30 * kSampleRate));
    EXPECT_GT(time.playPosition(), uint32_t(29 * kSampleRate));
}

TEST_F(SilentTrack, PastTheTrackTheShowReadsItsEnd) {
    track.play(track.length() - 10);
    sleepMs(20);
    LiveTime time(track, 0);
    EXPECT_EQ(time.playPosition(), kPositionAfterEnd);
    // With the picture a second late, its last second still plays after the sound's end.
    LiveTime late(track, 1000);
    EXPECT_LT(late.playPosition(), track.length());
}
