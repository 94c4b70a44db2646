// Scenes 8 and 9, the light orbs around a rain of bricks and the snow, driven frame by frame
// with a scripted spectrum on the null device: orbs, bricks, the white flash and the pan.
#include "common/scene_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <vector>

using namespace show;

namespace {

constexpr int kFps = 50;
constexpr int kOrbsScene = 8;
constexpr int kSnowScene = 9;

// Levels either side of the thresholds (level x 100 in double, strictly greater).
constexpr float kLoud = 0.5f;
constexpr float kStrongBass = 0.36f; // above 35
constexpr float kEdgeBass = 0.35f;   // the float nearest 0.35 lies just below it: no flash
constexpr float kEdgeTile = 0.03f;   // just below 3 once widened

// The whole show on the null device at 50 fps, models or not (everything here is state that
// exists without them), its fader replaced by one that notes what it is asked.
class OrbScenes : public showtest::FaderSceneFixture {
  protected:
    using RecordingFader = showtest::RecordingFader;
    OrbScenes() : FaderSceneFixture(kFps) {}

    bool orbLit(int i) const {
        const bool light = show.world.orbLights[i]->isVisible();
        EXPECT_EQ(light, show.world.orbs[i]->isVisible()) << "orb " << i << " and its light";
        return light;
    }
    btVector3 origin(size_t bodyIndex) const {
        auto it = show.physics.bodyList.begin();
        std::advance(it, bodyIndex);
        return (*it)->getWorldTransform().getOrigin();
    }

    std::vector<btVector3> heap() const {
        std::vector<btVector3> origins;
        for (const btRigidBody* body : show.physics.bodyList)
            origins.push_back(body->getWorldTransform().getOrigin());
        return origins;
    }
};

// ---- light orbs and brick rain ----

TEST_F(OrbScenes, EachEntryDropsTheSameBrickHeapFromThreeDrawsPerBrick) {
    // From a fresh generator (below 100: 41, 67, 34, 0, 69, 24, 78, 58, 62, ...) brick n draws
    // r1, r2, r3 and lands at (r3 - 5, r2, r1 - 5).
    const btVector3 firstBricks[] = {{29, 67, 36}, {19, 69, -5}, {57, 58, 73}};
    std::vector<btVector3> heapOfScene8;
    for (int scene : {kOrbsScene, kSnowScene}) {
        SCOPED_TRACE(scene);
        const int32_t countBefore = show.scene.boxCounter;
        show.random.reset();
        enter(scene);
        // The floor box first, then the bricks in the order they were drawn.
        ASSERT_GT(show.physics.bodyList.size(), std::size(firstBricks));
        const size_t bricks = show.physics.bodyList.size() - 1;
        EXPECT_EQ(origin(0), btVector3(0, 0, 0));
        for (size_t i = 0; i < std::size(firstBricks); ++i)
            EXPECT_EQ(origin(i + 1), firstBricks[i]) << "brick " << i;
        for (const btVector3& brick : heap()) {
            EXPECT_GE(brick.x(), -5.0f);
            EXPECT_LE(brick.x(), 94.0f);
            EXPECT_GE(brick.y(), 0.0f);
            EXPECT_LE(brick.y(), 99.0f);
            EXPECT_GE(brick.z(), -5.0f);
            EXPECT_LE(brick.z(), 94.0f);
        }
        EXPECT_EQ(show.scene.boxCounter, countBefore + int32_t(bricks));
        Random threeDrawsEach;
        for (size_t draw = 0; draw < 3 * bricks; ++draw)
            threeDrawsEach.next();
        EXPECT_EQ(show.random.next(), threeDrawsEach.next()) << "not three draws per brick";
        if (scene == kOrbsScene)
            heapOfScene8 = heap();
        else
            EXPECT_EQ(heap(), heapOfScene8) << "the same draws drop the same heap";
    }
}

TEST_F(OrbScenes, BricksFallOnlyDuringTheFirstSecondOfTheScene) {
    for (int scene : {kOrbsScene, kSnowScene}) {
        SCOPED_TRACE(scene);
        quiet();
        enter(scene);
        const std::vector<btVector3> dropped = heap();
        frame(scene);
        const std::vector<btVector3> falling = heap();
        EXPECT_NE(falling, dropped);
        clock->seekFrame(clock->frame() + kFps - 1); // next frame: one second after the entry
        frame(scene);
        EXPECT_EQ(heap(), falling);
        EXPECT_EQ(show.scene.previousTimerTime, show.engine.timer->getTime())
            << "the timer is still read, so scene 10 spins from a fresh time";
    }
}

TEST_F(OrbScenes, OrbsSceneLightsAnyNonZeroBandAndBand127LightsOrbZero) {
    enter(kOrbsScene);
    quiet();
    levels[5] = kLoud;
    levels[kLightOrbs - 1] = 1e-9f;
    frame(kOrbsScene);
    EXPECT_TRUE(orbLit(0)) << "band 0 is silent, but band 127 wraps onto orb 0";
    EXPECT_TRUE(orbLit(5));
    EXPECT_FALSE(orbLit(6));
    EXPECT_TRUE(orbLit(kLightOrbs - 1)) << "lit since the entry; a sounding band 127 keeps it";

    levels[kLightOrbs - 1] = 0.0f;
    frame(kOrbsScene);
    EXPECT_FALSE(orbLit(0));
    EXPECT_TRUE(orbLit(5));
    EXPECT_FALSE(orbLit(kLightOrbs - 1));

    levels.fill(kLoud);
    frame(kOrbsScene);
    EXPECT_TRUE(orbLit(0));
    EXPECT_FALSE(orbLit(kLightOrbs - 1)) << "no band lights orb 127 once it is out";
}

TEST_F(OrbScenes, SnowSceneOrbsFollowTheLastBandOfEachFortyAndTheRestStayLit) {
    enter(kOrbsScene);
    enter(kSnowScene);
    quiet();
    levels[0] = kLoud;   // decided over by band 120
    levels[119] = kLoud; // the last band of orb 39
    frame(kSnowScene);
    EXPECT_FALSE(orbLit(0));
    EXPECT_TRUE(orbLit(39));

    quiet();
    levels[120] = kLoud;
    levels[39] = kLoud; // decided over by band 119
    frame(kSnowScene);
    EXPECT_TRUE(orbLit(0));
    EXPECT_FALSE(orbLit(39));
    for (int i = 40; i < kLightOrbs; ++i)
        EXPECT_TRUE(orbLit(i)) << "orb " << i;

    quiet();
    levels[120] = kEdgeTile; // the same strict edge at 3.0 as the tiles
    frame(kSnowScene);
    EXPECT_FALSE(orbLit(0));
}

TEST_F(OrbScenes, StrongBassRestartsTheWhiteFlashOnEveryFrameItLasts) {
    enter(kOrbsScene);
    enter(kSnowScene);
    fader->calls.clear();
    quiet();
    levels[0] = kEdgeBass;
    frame(kSnowScene);
    EXPECT_EQ(fader->count(RecordingFader::Kind::In), 0);
    levels[0] = kStrongBass;
    frame(kSnowScene);
    frame(kSnowScene);
    // A flash, not a fade: a fade-in from white well under a second long, the same each frame.
    ASSERT_EQ(fader->calls.size(), 2u);
    const RecordingFader::Call flash = fader->calls[0];
    EXPECT_EQ(flash.kind, RecordingFader::Kind::In);
    EXPECT_GT(flash.value, 0u);
    EXPECT_LT(flash.value, 1000u);
    EXPECT_EQ(fader->calls[1], flash);
}

TEST_F(OrbScenes, PanSweepsWithinRangeThroughSceneEightAndIsRestoredAfter) {
    const int startPan = show.music.track.pan();
    enter(kOrbsScene);
    quiet();
    bool reachedTop = false;
    for (int i = 0; i < 2 * 256; ++i) {
        frame(kOrbsScene);
        const int pan = show.music.track.pan();
        ASSERT_GE(pan, 0) << "frame " << i;
        ASSERT_LE(pan, 255) << "frame " << i;
        reachedTop = reachedTop || pan == 255;
    }
    EXPECT_TRUE(reachedTop);
    enter(kSnowScene);
    EXPECT_EQ(show.music.track.pan(), startPan);
}

} // namespace

namespace {

// Runs the sweep for a number of frames, each with the clock one millisecond on.
std::vector<int> sweep(int startPan, int frames) {
    AudioTrack track;
    track.setPan(startPan);
    PanSweep state;
    long clock = 1000;
    panSweepStart(state, track, clock);
    std::vector<int> pans;
    for (int i = 0; i < frames; ++i) {
        panSweepStep(state, track, ++clock);
        pans.push_back(track.pan());
    }
    return pans;
}

} // namespace

TEST(PanSweep, EvenStartStaysInRange) {
    const auto pans = sweep(128, 600);
    for (int pan : pans) {
        EXPECT_GE(pan, 0);
        EXPECT_LE(pan, 255);
    }
    EXPECT_EQ(pans[0], 126); // starts downwards
}

TEST(PanSweep, OddStartReachesMinusOneOnceThenBounces) {
    const auto pans = sweep(7, 600);
    EXPECT_EQ(std::count(pans.begin(), pans.end(), -1), 1);
    const auto minusOne = std::find(pans.begin(), pans.end(), -1) - pans.begin();
    EXPECT_EQ(pans[minusOne + 1], 3); // folded back to 1, then one step up
    for (size_t i = minusOne + 1; i < pans.size(); ++i) {
        EXPECT_GE(pans[i], 0);
        EXPECT_LE(pans[i], 255);
    }
    // The first climb runs through odd values up to 255, later descents through even ones.
    EXPECT_NE(std::find(pans.begin(), pans.end(), 255), pans.end());
    EXPECT_NE(std::find(pans.begin(), pans.end(), 252), pans.end());
}

TEST(PanSweep, DoesNotStepWhileTheClockStandsStill) {
    AudioTrack track;
    track.setPan(100);
    PanSweep state;
    panSweepStart(state, track, 50);
    panSweepStep(state, track, 50);
    EXPECT_EQ(track.pan(), 100);
    panSweepStep(state, track, 51);
    EXPECT_EQ(track.pan(), 98);
    panSweepEnd(track);
    EXPECT_EQ(track.pan(), kPanPlainStereo);
}
