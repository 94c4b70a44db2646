// Scene 20, the finale, driven frame by frame with a scripted spectrum on the null device:
// its beat bricks, the clearing of the heap the earlier scenes left, and the fade to black.
#include "common/scene_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <vector>

using namespace show;

namespace {

constexpr int kFps = 50;
constexpr int kOrbsScene = 8;
constexpr int kFinaleScene = 20;

// Levels either side of the thresholds (level x 100 in double, strictly greater).
constexpr float kLoud = 0.5f;
constexpr float kBeat = 0.2f; // the float nearest 0.2 lies just above it: a beat

// The whole show on the null device at 50 fps, models or not (everything here is state that
// exists without them), its fader replaced by one that notes what it is asked.
class LateScenes : public showtest::FaderSceneFixture {
  protected:
    using RecordingFader = showtest::RecordingFader;
    LateScenes() : FaderSceneFixture(kFps) {}

    btVector3 origin(size_t bodyIndex) const {
        auto it = show.physics.bodyList.begin();
        std::advance(it, bodyIndex);
        return (*it)->getWorldTransform().getOrigin();
    }
};

class Finale : public LateScenes {
  protected:
    void SetUp() override {
        LateScenes::SetUp();
        if (HasFatalFailure())
            return;
        for (int scene = kOrbsScene; scene <= kFinaleScene; ++scene)
            enter(scene);
        fader->calls.clear();
        quiet();
    }
};

TEST_F(Finale, TheBeatTestIsStrictInDoublePrecisionAtPointTwo) {
    show.scene.boxCounter = 0;
    const size_t bodies = show.physics.bodyList.size();
    levels[0] = std::nextafter(kBeat, 0.0f);
    frame(kFinaleScene);
    EXPECT_EQ(show.physics.bodyList.size(), bodies);
    levels[0] = kBeat;
    frame(kFinaleScene);
    const size_t perBeat = show.physics.bodyList.size() - bodies;
    EXPECT_GT(perBeat, 0u) << "a beat dropped nothing";
    frame(kFinaleScene);
    EXPECT_EQ(show.physics.bodyList.size(), bodies + 2 * perBeat)
        << "the same bricks on every beat frame, however long the beat lasts";
    EXPECT_EQ(show.scene.boxCounter, int32_t(2 * perBeat));
}

TEST_F(Finale, BeatBricksDropFromTheBeatsHeightAtTwoDrawsEach) {
    show.scene.boxCounter = 0;
    const size_t bodies = show.physics.bodyList.size();
    // From a fresh generator (below 100: 41, 67, 34, 0, 69, 24, 78, 58) brick n draws a, then
    // b, and falls from the beat's own strength (0.5 x 100) at (b - 5, 50, a - 5).
    show.random.reset();
    levels[0] = kLoud;
    frame(kFinaleScene);
    const btVector3 expected[] = {{62, 50, 36}, {-5, 50, 29}, {19, 50, 64}, {53, 50, 73}};
    ASSERT_EQ(show.physics.bodyList.size(), bodies + std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i)
        EXPECT_EQ(origin(bodies + i), expected[i]) << "brick " << i;
}

TEST_F(Finale, TheHeapLeftByEarlierScenesIsClearedOnTheFirstBeat) {
    const size_t heap = show.physics.bodyList.size();
    ASSERT_GT(heap, 1u) << "scenes 8 and 9 dropped no bricks";
    frame(kFinaleScene);
    EXPECT_EQ(show.physics.bodyList.size(), heap) << "no beat yet";
    levels[0] = kLoud;
    frame(kFinaleScene);
    EXPECT_LT(show.physics.bodyList.size(), heap) << "the heap was not cleared";
    EXPECT_GT(show.scene.boxCounter, 0) << "the beat dropped nothing";
    EXPECT_EQ(show.physics.bodyList.size(), size_t(1 + show.scene.boxCounter))
        << "the floor and the beat's own bricks, counted afresh";
    ASSERT_EQ(fader->calls.size(), 1u);
    EXPECT_EQ(fader->calls[0].kind, RecordingFader::Kind::In) << "the clearing flashes";
    EXPECT_GT(fader->calls[0].value, 0u);
}

TEST_F(Finale, FadeToBlackStartsOnceNearTheEndAndAResetLiftsIt) {
    // What scenes 8 and 9 dropped is enough for the first beat to clear it (the test above).
    const int32_t dropped = show.scene.boxCounter;
    // Five seconds before the end mark the picture is not fading yet; it starts fading before
    // the end mark, early enough to be black by it.
    const int fiveSecondsBefore = int(show.endMark * uint64_t(kFps) / kSampleRate) - 5 * kFps;
    clock->seekFrame(fiveSecondsBefore);
    frame(kFinaleScene);
    EXPECT_TRUE(fader->calls.empty()) << "fading five seconds before the end";
    for (int i = 0; i < 5 * kFps && !show.scene.finale.fadeStarted; ++i)
        frame(kFinaleScene);
    ASSERT_TRUE(show.scene.finale.fadeStarted) << "no fade by the end mark";
    const uint32_t fadeFrom = show.position;
    ASSERT_LE(fadeFrom, show.endMark);
    ASSERT_EQ(fader->calls.size(), 2u);
    EXPECT_EQ(fader->calls[0], (RecordingFader::Call{RecordingFader::Kind::Colour,
                                                     irr::video::SColor(0, 0, 0, 0).color}));
    EXPECT_EQ(fader->calls[1].kind, RecordingFader::Kind::Out);
    EXPECT_GT(fader->calls[1].value, 0u);
    EXPECT_LE(uint64_t(fader->calls[1].value) * kSampleRate, (show.endMark - fadeFrom) * 1000ull)
        << "still fading at the end mark";
    const std::vector<RecordingFader::Call> fade = fader->calls;
    frame(kFinaleScene);
    frame(kFinaleScene);
    EXPECT_EQ(fader->calls, fade) << "the fade starts only once";

    show.scene.boxCounter = dropped;
    levels[0] = kLoud;
    frame(kFinaleScene);
    ASSERT_EQ(fader->calls.size(), fade.size() + 1);
    EXPECT_EQ(fader->calls.back().kind, RecordingFader::Kind::In) << "the clearing flash lifts it";
}

} // namespace
