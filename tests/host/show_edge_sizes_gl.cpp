// The whole show at the edges of what the console may ask for: a one-pixel window (its blur
// targets are one pixel by none), an odd size, and frames so slow that the short greetings
// scenes are jumped over: their hand-overs still run and the show still ends by itself.
#include "show_driver.h"

#include <gtest/gtest.h>

namespace {

constexpr int kFps = 2;

showdriver::ShowReport playAt(int width, int height, int fps) {
    showdriver::ShowPlan plan;
    plan.width = width;
    plan.height = height;
    plan.fps = fps;
    return showdriver::playShow(plan);
}

void expectEveryHandOverAndTheEnd(const showdriver::ShowReport& report) {
    ASSERT_EQ(report.startup, show::StartupResult::Ready);
    EXPECT_EQ(report.end, show::ShowEnd::Finished);
    EXPECT_EQ(report.quitCode, show::kQuitRequested);
    EXPECT_EQ(report.enteredCount(), show::kSceneCount);
}

} // namespace

TEST(ShowAtEdgeSizes, OnePixelWindowPlaysTheWholeShow) {
    const showdriver::ShowReport report = playAt(1, 1, kFps);
    expectEveryHandOverAndTheEnd(report);
    for (int scene = 1; scene <= show::kSceneCount; ++scene)
        EXPECT_GT(report.frames[scene - 1], 0) << "scene " << scene;
}

TEST(ShowAtEdgeSizes, OddSizePlaysTheWholeShow) {
    const showdriver::ShowReport report = playAt(321, 241, kFps);
    expectEveryHandOverAndTheEnd(report);
    for (int scene = 1; scene <= show::kSceneCount; ++scene)
        EXPECT_GT(report.frames[scene - 1], 0) << "scene " << scene;
}

// Also the leak check's run under valgrind: the whole show in few frames.
TEST(ShowAtEdgeSizes, SlowFramesJumpOverScenesButRunTheirHandOvers) {
    const showdriver::ShowReport report = playAt(64, 48, 1);
    expectEveryHandOverAndTheEnd(report);
    int skipped = 0;
    for (int frames : report.frames)
        skipped += frames == 0;
    EXPECT_GT(skipped, 0) << "one frame a second should jump over a greetings scene";
}
