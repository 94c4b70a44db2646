// Sizes the console may give the show: every one either opens or is refused with one line.
#include "host/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace show;

namespace {

CommandLine parse(std::vector<const char*> words) {
    words.insert(words.begin(), "demo");
    return parseCommandLine(int(words.size()), words.data());
}

} // namespace

TEST(HardenSize, SizesFromOnePixelToTheLargestTargetOpen) {
    for (auto words : std::vector<std::vector<const char*>>{{},
                                                            {"1", "1"},
                                                            {"1", "1", "w"},
                                                            {"321", "241", "w"},
                                                            {"16384", "16384"},
                                                            {"2", "16384"}})
        EXPECT_EQ(sizeError(parse(words)), "") << launchLine(parse(words));
}

TEST(HardenSize, ZeroNegativeTextAndHugeSizesAreRefusedOnOneLine) {
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
