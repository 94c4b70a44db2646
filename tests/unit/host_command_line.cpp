// What the console gives the show (a size, a window-mode word; every size either opens or is
// refused with one line), the keys it listens to, and its random generator.
#include "host/command_line.h"
#include "host/receiver.h"
#include "host/rng.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace show;

namespace {

CommandLine parse(std::vector<const char*> words) {
    words.insert(words.begin(), "demo");
    return parseCommandLine(int(words.size()), words.data());
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

TEST(CommandLineSize, SizesFromOnePixelToTheLargestTargetOpen) {
    for (auto words : std::vector<std::vector<const char*>>{{},
                                                            {"1", "1"},
                                                            {"1", "1", "w"},
                                                            {"321", "241", "w"},
                                                            {"16384", "16384"},
                                                            {"2", "16384"}})
        EXPECT_EQ(sizeError(parse(words)), "") << launchLine(parse(words));
}

TEST(CommandLineSize, ZeroNegativeTextAndHugeSizesAreRefusedOnOneLine) {
    for (auto words : std::vector<std::vector<const char*>>{{"0", "0", "w"},
                                                            {"-5", "100", "w"},
                                                            {"100", "-1"},
                                                            {"abc", "def", "w"},
                                                            {"100000", "100000", "w"},
                                                            {"16385", "100"},
                                                            {"100", "16385", "w"},
                                                            {"99999999999", "600"}}) {
        const CommandLine cmd = parse(words);
        const std::string error = sizeError(cmd);
        EXPECT_EQ(error.rfind("error: ", 0), 0u) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        // The refusal names the size the launch line showed.
        const std::string size = std::to_string(cmd.width) + "x" + std::to_string(cmd.height);
        EXPECT_NE(error.find(size), std::string::npos) << error;
        EXPECT_NE(launchLine(cmd).find(size), std::string::npos);
    }
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
