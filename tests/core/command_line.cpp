// What the console gives the show: a size, a window-mode word (every size either opens or is
// refused with one line), and the player's options beside them.
#include "core/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace show;

namespace {

CommandLine parse(std::vector<const char*> words) {
    words.insert(words.begin(), "demo");
    return parseCommandLine(int(words.size()), words.data());
}

DemoArguments parseDemo(std::vector<const char*> words) {
    words.insert(words.begin(), "demo");
    return parseDemoArguments(int(words.size()), words.data());
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

TEST(DemoOptions, OptionsStandAnywhereAndLeaveThePositionalSizeItsMeaning) {
    const DemoArguments window = parseDemo({"--loop", "800", "--offset", "-250", "600", "w"});
    ASSERT_EQ(window.error, "");
    EXPECT_EQ(window.commandLine.width, 800);
    EXPECT_EQ(window.commandLine.height, 600);
    EXPECT_FALSE(window.commandLine.fullscreen);
    EXPECT_TRUE(window.player.loop);
    EXPECT_EQ(window.player.pictureOffsetMs, -250);
    EXPECT_EQ(launchLine(window.commandLine), "\nLauncing demo with res: 800x600 window mode");

    // A lone word is still "any other count": the default size, fullscreen.
    const DemoArguments lone = parseDemo({"--sound", "off", "800"});
    EXPECT_EQ(lone.commandLine.width, 1280);
    EXPECT_EQ(lone.commandLine.height, 1024);
    EXPECT_TRUE(lone.commandLine.fullscreen);
    EXPECT_EQ(lone.player.sound, SoundMode::Off);

    const DemoArguments none = parseDemo({});
    EXPECT_EQ(none.error, "");
    EXPECT_FALSE(none.player.loop || none.player.desktop || none.player.help);
    EXPECT_EQ(none.player.sound, SoundMode::On);
    EXPECT_EQ(none.player.fromSeconds, 0.0);
    EXPECT_EQ(none.player.fromScene, 0);
}

TEST(DemoOptions, EachOptionReadsItsValue) {
    EXPECT_DOUBLE_EQ(parseDemo({"--from", "97.5"}).player.fromSeconds, 97.5);
    EXPECT_EQ(parseDemo({"--scene", "20"}).player.fromScene, 20);
    EXPECT_EQ(parseDemo({"--offset", "1000"}).player.pictureOffsetMs, 1000);
    EXPECT_EQ(parseDemo({"--offset", "-1000"}).player.pictureOffsetMs, -1000);
    EXPECT_EQ(parseDemo({"--sound", "auto"}).player.sound, SoundMode::Auto);
    EXPECT_TRUE(parseDemo({"--desktop"}).player.desktop);
    EXPECT_TRUE(parseDemo({"800", "600", "--help"}).player.help);
    // `0 0` asks for the desktop too; with a window word it is a 0x0 window (refused later).
    EXPECT_TRUE(parseDemo({"0", "0"}).player.desktop);
    EXPECT_FALSE(parseDemo({"0", "0", "w"}).player.desktop);
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
        const DemoArguments parsed = parseDemo(words);
        EXPECT_EQ(parsed.error.rfind("demo: ", 0), 0u) << words[0];
        EXPECT_EQ(parsed.error.find('\n'), std::string::npos) << parsed.error;
        EXPECT_NE(parsed.error.find(words[0]), std::string::npos) << parsed.error;
    }
}
