// The capture's progress: a time left that holds when scenes cost very different amounts,
// and output that suits a terminal or a log.
#include "options.h"
#include "progress.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace capture;

namespace {

// A cheap kind A and a kind B four times as dear.
TimeLeft cheapThenDear(int64_t cheapFrames, int64_t dearFrames) {
    return TimeLeft({{cheapFrames, 1.0}, {dearFrames, 4.0}});
}

std::string contents(std::FILE* file) {
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;)
        text += char(c);
    return text;
}

} // namespace

TEST(CaptureProgress, TimeLeftIsUnknownUntilAFrameHasRun) {
    const TimeLeft left = cheapThenDear(10, 10);
    EXPECT_LT(left.secondsLeft(), 0.0);
}

TEST(CaptureProgress, ADearSceneNotYetReachedCountsAtItsRelativeCost) {
    TimeLeft left = cheapThenDear(100, 100);
    for (int i = 0; i < 50; ++i)
        left.frameDone(0, 0.010);
    // 50 cheap frames at 10 ms, then 100 frames four times as dear: 0.5 s + 4 s. Rate alone
    // (150 frames at 10 ms) would say 1.5 s.
    EXPECT_NEAR(left.secondsLeft(), 4.5, 1e-9);
}

TEST(CaptureProgress, ASceneThatHasRunIsJudgedByWhatItCost) {
    TimeLeft left = cheapThenDear(400, 600);
    for (int i = 0; i < 300; ++i)
        left.frameDone(0, 0.010);
    // The dear scene turns out no dearer than the cheap one.
    for (int i = 0; i < 500; ++i)
        left.frameDone(1, 0.010);
    // 100 frames of each still to come, at 10 ms: 2 s (the priors alone would say 1.74 s).
    // The prior still pulls a little, by a few percent once hundreds of frames have run.
    EXPECT_NEAR(left.secondsLeft(), 2.0, 0.1);
    for (int i = 0; i < 100; ++i) {
        left.frameDone(0, 0.010);
        left.frameDone(1, 0.010);
    }
    EXPECT_EQ(left.secondsLeft(), 0.0);
}

TEST(CaptureProgress, EveryFrameARangeRunsIsOneTheEstimateExpected) {
    // Three scenes of one second each at 10 fps (4410 samples a frame); keep 1.5 s to 2.5 s.
    const int fps = 10;
    std::vector<show::SceneRow> rows(3);
    for (int i = 0; i < 3; ++i) {
        rows[size_t(i)].number = i + 1;
        rows[size_t(i)].from = uint32_t(44100 * i);
        rows[size_t(i)].toExclusive = uint32_t(44100 * (i + 1));
    }
    Options options;
    options.fps = fps;
    options.from = 1.5;
    options.to = 2.5;
    const FramePlan plan(options);
    TimeLeft left = expectedFrames(rows, plan, 25, fps);
    EXPECT_EQ(left.frames(), 25);
    // Frames 0-9 are scene 1, 10-19 scene 2, 20-24 scene 3; frames 15 to 24 are kept.
    for (int n = 0; n < 25; ++n) {
        const int scene = n < 10 ? 1 : n < 20 ? 2 : 3;
        left.frameDone(Progress::kindOf(scene, n >= 15), 0.01);
        if (n == 17) {
            EXPECT_GT(left.secondsLeft(), 0.0);
        }
    }
    EXPECT_EQ(left.secondsLeft(), 0.0);
}

TEST(CaptureProgress, ALogGetsPlainLinesAndATerminalOneLineRedrawn) {
    for (bool terminal : {false, true}) {
        std::FILE* out = std::tmpfile();
        ASSERT_NE(out, nullptr);
        Progress progress("capture", cheapThenDear(600, 0), out, terminal);
        for (int i = 0; i < 600; ++i)
            progress.frameDone(0, false);
        progress.finish();
        const std::string text = contents(out);
        std::fclose(out);
        EXPECT_NE(text.find("600/600 frames"), std::string::npos) << text;
        EXPECT_EQ(text.back(), '\n');
        if (terminal)
            EXPECT_NE(text.find('\r'), std::string::npos) << text;
        else
            EXPECT_EQ(text.find('\r'), std::string::npos) << text;
    }
}
