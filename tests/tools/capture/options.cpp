// The capture tool's command line and the frames it keeps.
#include "options.h"
#include "tunables.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

using namespace capture;

namespace {

Parsed parse(std::initializer_list<const char*> args) {
    std::vector<const char*> argv = {"demo-capture"};
    argv.insert(argv.end(), args.begin(), args.end());
    return parseOptions(int(argv.size()), argv.data());
}

} // namespace

TEST(CaptureOptions, NoArgumentsCaptureTheWholeShowToTheDefaultVideo) {
    const Parsed p = parse({});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.options.mode, Mode::Video);
    EXPECT_EQ(p.options.video, kDefaultVideo);
    EXPECT_EQ(p.options.width, kDefaultWidth);
    EXPECT_EQ(p.options.height, kDefaultHeight);
    EXPECT_EQ(p.options.fps, kDefaultFps);
    EXPECT_EQ(p.options.antiAlias, show::kAntiAliasSamples);
    EXPECT_EQ(p.options.depthBits, 32); // the deepest a window can ask for
    const FramePlan plan(p.options);
    EXPECT_TRUE(plan.keeps(0));
    EXPECT_FALSE(plan.finishedBefore(int64_t(1) << 40)); // the show's end decides
}

TEST(CaptureOptions, EachFormIsRecognised) {
    Parsed p =
        parse({"--size", "320x200", "--fps", "25", "--from", "1.5", "--to", "4", "--png", "out"});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.options.mode, Mode::Png);
    EXPECT_EQ(p.options.width, 320);
    EXPECT_EQ(p.options.height, 200);
    EXPECT_EQ(p.options.pngDir, "out");

    p = parse({"--frames", "1,2.5,0"});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.options.mode, Mode::Frames);
    EXPECT_EQ(p.options.frameTimes, (std::vector<double>{1.0, 2.5, 0.0}));

    p = parse({"--bench", "--size", "640x360", "--antialias", "0", "--depth", "24"});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.options.mode, Mode::Bench);
    EXPECT_EQ(p.options.antiAlias, 0);
    EXPECT_EQ(p.options.depthBits, 24);
    EXPECT_EQ(p.options.csv, kDefaultCsv);
    EXPECT_EQ(p.options.chart, kDefaultChart);

    EXPECT_TRUE(parse({"--size", "100x100", "--help"}).options.help);
}

TEST(CaptureOptions, BadCommandLinesAreRefusedWithAReason) {
    const std::vector<std::vector<const char*>> bad = {
        {"--size", "640"},
        {"--size", "640x"},
        {"--size", "8x8"},
        {"--size", "99999x100"},
        {"--fps", "0"},
        {"--fps", "12.5"},
        {"--fps", "1000"},
        {"--antialias", "-1"},
        {"--antialias", "17"},
        {"--antialias", "four"},
        {"--depth", "20"},
        {"--depth", "64"},
        {"--from", "-1"},
        {"--to", "abc"},
        {"--from", "5", "--to", "5"},
        {"--from", "nan"},
        {"--frames", "1,,2"},
        {"--frames", ""},
        {"--out", "a.mp4", "--png", "d"},
        {"--frames", "1", "--out", "a.mp4"},
        {"--frames", "1", "--from", "2"},
        {"--bench", "--png", "d"},
        {"--csv", "x.csv"},
        {"--wobble", "1"},
        {"--fps"},
        {"stray"},
        {"--size", "161x120"},
        {"--fps", "1", "--from", "0", "--to", "0.2"},
    };
    for (const auto& args : bad) {
        std::vector<const char*> argv = {"demo-capture"};
        argv.insert(argv.end(), args.begin(), args.end());
        const Parsed p = parseOptions(int(argv.size()), argv.data());
        std::string line;
        for (const char* a : args)
            line += std::string(a) + " ";
        EXPECT_NE(p.error, "") << line;
        EXPECT_EQ(p.error.find('\n'), std::string::npos) << line;
    }
    // Odd sides are fine for pictures; only H.264's 4:2:0 needs them even.
    EXPECT_EQ(parse({"--size", "161x121", "--png", "d"}).error, "");
}

TEST(CaptureFramePlan, ARangeKeepsFramesFromItsStartUpToItsEnd) {
    const Parsed p = parse({"--fps", "10", "--from", "1.04", "--to", "2"});
    const FramePlan plan(p.options);
    EXPECT_EQ(plan.first(), 10);
    EXPECT_FALSE(plan.keeps(9));
    EXPECT_TRUE(plan.keeps(10));
    EXPECT_TRUE(plan.keeps(19));
    EXPECT_FALSE(plan.keeps(20));
    EXPECT_FALSE(plan.finishedBefore(19));
    EXPECT_TRUE(plan.finishedBefore(20));
}

TEST(CaptureFramePlan, PickedTimesKeepTheNearestFramesOnlyAndEndAfterTheLast) {
    const Parsed p = parse({"--fps", "30", "--frames", "2,0.51,2.01"});
    const FramePlan plan(p.options);
    EXPECT_EQ(frameAt(0.51, 30), 15);
    EXPECT_TRUE(plan.keeps(15));
    EXPECT_TRUE(plan.keeps(60));
    EXPECT_FALSE(plan.keeps(16));
    EXPECT_FALSE(plan.keeps(59));
    EXPECT_FALSE(plan.finishedBefore(60));
    EXPECT_TRUE(plan.finishedBefore(61));
}
