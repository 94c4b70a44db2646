// The whole show at the edges of what the console may ask for: a one-pixel window (its blur
// targets are one pixel by none), an odd size, and frames so slow that the short greetings
// scenes are jumped over: their hand-overs still run and the show still ends by itself.
#include "harden_show_driver.h"
#include "host/timeline.h"

#include <gtest/gtest.h>

namespace {

constexpr int kFps = 2;

harden::ShowReport playAt(int width, int height, int fps) {
    harden::ShowPlan plan;
    plan.width = width;
    plan.height = height;
    plan.fps = fps;
    return harden::playShow(plan);
}

void expectEveryHandOverAndTheEnd(const harden::ShowReport& report) {
    ASSERT_EQ(report.startup, show::StartupResult::Ready);
    EXPECT_EQ(report.end, show::ShowEnd::Finished);
    EXPECT_EQ(report.quitCode, show::kQuitRequested);
    EXPECT_EQ(report.enteredCount(), show::kSceneCount);
}

} // namespace

TEST(HardenSizes, OnePixelWindowPlaysTheWholeShow) {
    const harden::ShowReport report = playAt(1, 1, kFps);
    expectEveryHandOverAndTheEnd(report);
    for (int scene = 1; scene <= show::kSceneCount; ++scene)
        EXPECT_GT(report.frames[scene - 1], 0) << "scene " << scene;
}

TEST(HardenSizes, OddSizePlaysTheWholeShow) {
    const harden::ShowReport report = playAt(321, 241, kFps);
    expectEveryHandOverAndTheEnd(report);
    for (int scene = 1; scene <= show::kSceneCount; ++scene)
        EXPECT_GT(report.frames[scene - 1], 0) << "scene " << scene;
}

// Also the leak check's run under valgrind: the whole show in few frames.
TEST(HardenSizes, SlowFramesJumpOverScenesButRunTheirHandOvers) {
    const harden::ShowReport report = playAt(64, 48, 1);
    expectEveryHandOverAndTheEnd(report);
    int skipped = 0;
    for (int frames : report.frames)
        skipped += frames == 0;
    EXPECT_GT(skipped, 0) << "one frame a second should jump over a greetings scene";
}
