// The player's controls without a window: the options beside the positional size, the key
// presses the receiver keeps for the player, and the live clock the player plays on (pause,
// picture offset, a position that never falls), here on a silent track's real-time clock.
#include "common/show_fixture.h"
#include "host/audio.h"
#include "host/command_line.h"
#include "host/receiver.h"
#include "host/time_source.h"

#include <gtest/gtest.h>

#include <chrono>
#include <initializer_list>
#include <thread>
#include <vector>

using namespace show;

namespace {

DemoArguments parse(std::initializer_list<const char*> words) {
    std::vector<const char*> argv = {"demo"};
    argv.insert(argv.end(), words);
    return parseDemoArguments(int(argv.size()), argv.data());
}

irr::SEvent keyEvent(irr::EKEY_CODE key, bool down) {
    irr::SEvent event{};
    event.EventType = irr::EET_KEY_INPUT_EVENT;
    event.KeyInput.Key = key;
    event.KeyInput.PressedDown = down;
    return event;
}

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

TEST(DemoOptions, OptionsStandAnywhereAndLeaveThePositionalSizeItsMeaning) {
    const DemoArguments window = parse({"--loop", "800", "--offset", "-250", "600", "w"});
    ASSERT_EQ(window.error, "");
    EXPECT_EQ(window.commandLine.width, 800);
    EXPECT_EQ(window.commandLine.height, 600);
    EXPECT_FALSE(window.commandLine.fullscreen);
    EXPECT_TRUE(window.player.loop);
    EXPECT_EQ(window.player.pictureOffsetMs, -250);
    EXPECT_EQ(launchLine(window.commandLine), "\nLauncing demo with res: 800x600 window mode");

    // A lone word is still "any other count": the default size, fullscreen.
    const DemoArguments lone = parse({"--sound", "off", "800"});
    EXPECT_EQ(lone.commandLine.width, 1280);
    EXPECT_EQ(lone.commandLine.height, 1024);
    EXPECT_TRUE(lone.commandLine.fullscreen);
    EXPECT_EQ(lone.player.sound, SoundMode::Off);

    const DemoArguments none = parse({});
    EXPECT_EQ(none.error, "");
    EXPECT_FALSE(none.player.loop || none.player.desktop || none.player.help);
    EXPECT_EQ(none.player.sound, SoundMode::On);
    EXPECT_EQ(none.player.fromSeconds, 0.0);
    EXPECT_EQ(none.player.fromScene, 0);
}

TEST(DemoOptions, EachOptionReadsItsValue) {
    EXPECT_DOUBLE_EQ(parse({"--from", "97.5"}).player.fromSeconds, 97.5);
    EXPECT_EQ(parse({"--scene", "20"}).player.fromScene, 20);
    EXPECT_EQ(parse({"--offset", "1000"}).player.pictureOffsetMs, 1000);
    EXPECT_EQ(parse({"--offset", "-1000"}).player.pictureOffsetMs, -1000);
    EXPECT_EQ(parse({"--sound", "auto"}).player.sound, SoundMode::Auto);
    EXPECT_TRUE(parse({"--desktop"}).player.desktop);
    EXPECT_TRUE(parse({"800", "600", "--help"}).player.help);
    // `0 0` asks for the desktop too; with a window word it is a 0x0 window (refused later).
    EXPECT_TRUE(parse({"0", "0"}).player.desktop);
    EXPECT_FALSE(parse({"0", "0", "w"}).player.desktop);
}

TEST(DemoOptions, BadWordsAreRefusedOnOneLineThatNamesThem) {
    const std::vector<std::vector<const char*>> bad = {{"--bogus"},
                                                       {"--from"},
                                                       {"--from", "x"},
                                                       {"--from", "-3"},
                                                       {"--from", "inf"},
                                                       {"--scene", "0"},
                                                       {"--scene", "21"},
                                                       {"--scene", "7.5"},
                                                       {"--offset", "1001"},
                                                       {"--offset", "-1001"},
                                                       {"--offset", "20ms"},
                                                       {"--sound", "loud"},
                                                       {"--loop", "--loop"},
                                                       {"--from", "3", "--from", "4"},
                                                       {"--from", "3", "--scene", "4"},
                                                       {"--desktop", "800", "600"}};
    for (const auto& words : bad) {
        std::vector<const char*> argv = {"demo"};
        argv.insert(argv.end(), words.begin(), words.end());
        const DemoArguments parsed = parseDemoArguments(int(argv.size()), argv.data());
        EXPECT_EQ(parsed.error.rfind("demo: ", 0), 0u) << words[0];
        EXPECT_EQ(parsed.error.find('\n'), std::string::npos) << parsed.error;
        EXPECT_NE(parsed.error.find(words[0]), std::string::npos) << parsed.error;
    }
}

TEST(PlayerKeys, EachPressIsKeptOnceInOrderAndRepeatsAreNotPresses) {
    MyEventReceiver receiver;
    irr::EKEY_CODE key;
    EXPECT_FALSE(receiver.takePress(key));
    receiver.OnEvent(keyEvent(irr::KEY_RIGHT, true));
    receiver.OnEvent(keyEvent(irr::KEY_RIGHT, true)); // held: the keyboard repeats it
    receiver.OnEvent(keyEvent(irr::KEY_RIGHT, false));
    receiver.OnEvent(keyEvent(irr::KEY_SPACE, true));
    receiver.OnEvent(keyEvent(irr::KEY_SPACE, false));
    receiver.OnEvent(keyEvent(irr::KEY_RIGHT, true));
    std::vector<irr::EKEY_CODE> taken;
    while (receiver.takePress(key))
        taken.push_back(key);
    EXPECT_EQ(taken, (std::vector<irr::EKEY_CODE>{irr::KEY_RIGHT, irr::KEY_SPACE, irr::KEY_RIGHT}));
    EXPECT_TRUE(receiver.keyState(irr::KEY_RIGHT)) << "presses leave the held state as it was";

    // A flood keeps the first presses it has room for and loses none of them.
    MyEventReceiver flooded;
    for (int i = 0; i < 100; ++i) {
        flooded.OnEvent(keyEvent(i % 2 ? irr::KEY_LEFT : irr::KEY_RIGHT, true));
        flooded.OnEvent(keyEvent(i % 2 ? irr::KEY_LEFT : irr::KEY_RIGHT, false));
    }
    int count = 0;
    for (; flooded.takePress(key); ++count)
        EXPECT_EQ(key, count % 2 ? irr::KEY_LEFT : irr::KEY_RIGHT);
    EXPECT_GT(count, 1);
    EXPECT_LT(count, 100);
}

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
