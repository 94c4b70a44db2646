// What the console gives the show, the keys it listens to, and its random generator.
#include "host/command_line.h"
#include "host/receiver.h"
#include "host/rng.h"

#include <gtest/gtest.h>

using namespace show;

namespace {

CommandLine parse(std::initializer_list<const char*> words) {
    std::vector<const char*> argv = {"demo"};
    argv.insert(argv.end(), words);
    return parseCommandLine(int(argv.size()), argv.data());
}

irr::SEvent keyEvent(irr::EKEY_CODE key, bool down) {
    irr::SEvent event{};
    event.EventType = irr::EET_KEY_INPUT_EVENT;
    event.KeyInput.Key = key;
    event.KeyInput.PressedDown = down;
    return event;
}

} // namespace

TEST(CommandLine, OnlyTwoOrThreeArgumentsChooseTheSize) {
    for (auto cmd : {parse({}), parse({"800"}), parse({"800", "600", "w", "x"})}) {
        EXPECT_EQ(cmd.width, 1280);
        EXPECT_EQ(cmd.height, 1024);
        EXPECT_TRUE(cmd.fullscreen);
    }
    const CommandLine two = parse({"800", "600"});
    EXPECT_EQ(two.width, 800);
    EXPECT_EQ(two.height, 600);
    EXPECT_TRUE(two.fullscreen);
    const CommandLine three = parse({"800", "600", "anything"});
    EXPECT_EQ(three.width, 800);
    EXPECT_FALSE(three.fullscreen);
}

TEST(CommandLine, NumbersFollowAtoi) {
    const CommandLine cmd = parse({"12abc", "text"});
    EXPECT_EQ(cmd.width, 12);
    EXPECT_EQ(cmd.height, 0);
}

TEST(CommandLine, LaunchLineHasNoNewlineAtTheEnd) {
    EXPECT_EQ(launchLine(parse({})), "\nLauncing demo with res: 1280x1024 ");
    EXPECT_EQ(launchLine(parse({"800", "600", "w"})),
              "\nLauncing demo with res: 800x600 window mode");
}

TEST(Receiver, RecordsHeldKeysAndNeverConsumesEvents) {
    MyEventReceiver receiver;
    EXPECT_FALSE(receiver.keyState(irr::KEY_ESCAPE));
    EXPECT_FALSE(receiver.OnEvent(keyEvent(irr::KEY_ESCAPE, true)));
    EXPECT_TRUE(receiver.keyState(irr::KEY_ESCAPE));
    // A key repeat leaves it held; press and release within one run() leaves it up.
    receiver.OnEvent(keyEvent(irr::KEY_ESCAPE, true));
    EXPECT_TRUE(receiver.keyState(irr::KEY_ESCAPE));
    receiver.OnEvent(keyEvent(irr::KEY_ESCAPE, false));
    EXPECT_FALSE(receiver.keyState(irr::KEY_ESCAPE));
}

TEST(Receiver, IgnoresKeyCodesOutOfRangeAndOtherEvents) {
    MyEventReceiver receiver;
    EXPECT_FALSE(receiver.OnEvent(keyEvent(irr::EKEY_CODE(255), true)));
    EXPECT_FALSE(receiver.keyState(irr::EKEY_CODE(255)));
    irr::SEvent mouse{};
    mouse.EventType = irr::EET_MOUSE_INPUT_EVENT;
    EXPECT_FALSE(receiver.OnEvent(mouse));
    for (int key = 0; key < kKeyCount; ++key)
        EXPECT_FALSE(receiver.keyState(irr::EKEY_CODE(key))) << key;
}

TEST(Random, DrawsTheClassicSequenceFromSeedOne) {
    Random random;
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358};
    for (int value : expected)
        EXPECT_EQ(random.next(), value);
    random.reset();
    EXPECT_EQ(random.below(100), 41);
}
