// Scenes 5 and 6, the coder's and the musician's credits: their bricks, flash and reset, and
// the sliding credit image, driven frame by frame with a scripted spectrum on the null device.
#include "common/scene_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

using namespace show;
using irr::core::vector3df;

namespace {

constexpr int kFps = 60;
constexpr int kCoderScene = 5;
constexpr int kMusicianScene = 6;

// Levels either side of the thresholds the scenes compare with (x100, strictly greater).
constexpr float kLoudBass = 0.25f;  // 25 > 20: drops bricks
constexpr float kMildBass = 0.1f;   // 10: a beat for tiles and stretch, no bricks
constexpr float kEdgeLevel = 0.03f; // just under 3.0 once widened to double: quiet

// The whole show on the null device at 60 fps, with the built archive's models.
class ScenesTest : public showtest::ModelSceneFixture {
  protected:
    ScenesTest() : ModelSceneFixture(kFps) {}
};

class CreditsTest : public ScenesTest {
  protected:
    struct HitLog {
        int flashOn = 0; // loud frame on which the flash began
        int reset = 0;   // loud frame on which the world was emptied
        int32_t counterAfterReset = 0;
        size_t bodiesAfterReset = 0;
    };

    // Loud frames interleaved with quieter ones (which must not count), up to the first reset.
    HitLog countHits(int scene) {
        HitLog log;
        for (int loud = 1; loud <= kMaxLoudFrames && !log.reset; ++loud) {
            frame(scene, kMildBass);
            const int32_t before = show.scene.boxCounter;
            frame(scene, kLoudBass);
            if (show.scene.credits.flash && !log.flashOn)
                log.flashOn = loud;
            if (show.scene.boxCounter < before) {
                log.reset = loud;
                log.counterAfterReset = show.scene.boxCounter;
                log.bodiesAfterReset = show.physics.bodyList.size();
            }
        }
        return log;
    }

    static constexpr int kMaxLoudFrames = 100;
};

TEST_F(CreditsTest, CoderSceneFlashesOnThe62ndLoudFrameAndResetsOnThe68th) {
    enter(kCoderScene);
    const HitLog log = countHits(kCoderScene);
    EXPECT_EQ(log.flashOn, 62);
    EXPECT_EQ(log.reset, 68);
    EXPECT_EQ(log.counterAfterReset, 3); // the reset frame's bricks fall into the fresh world
    EXPECT_EQ(log.bodiesAfterReset, 1u + 3u);
}

TEST_F(CreditsTest, MusicianSceneNeverFlashesAndResetsOnThe52ndLoudFrame) {
    enter(kMusicianScene);
    const HitLog log = countHits(kMusicianScene);
    EXPECT_EQ(log.flashOn, 0);
    EXPECT_EQ(log.reset, 52);
    EXPECT_EQ(log.counterAfterReset, 4);
    EXPECT_EQ(log.bodiesAfterReset, 1u + 4u);
}

TEST_F(CreditsTest, BricksFollowTheShowsGeneratorSoEveryRunDropsTheSame) {
    enter(kCoderScene);
    // From a fresh generator (41, 18467, 6334, 26500, 19169, 15724, ... below 100: 41, 67,
    // 34, 0, 69, 24) each brick draws its depth, then its place across, both shifted by -5,
    // and falls from the beat's height (0.25 x 100).
    show.random.reset();
    const size_t before = show.physics.bodyList.size();
    frame(kCoderScene, kLoudBass);
    ASSERT_EQ(show.physics.bodyList.size(), before + 3);
    const btVector3 expected[] = {{62, 25, 36}, {-5, 25, 29}, {19, 25, 64}};
    auto body = show.physics.bodyList.begin();
    std::advance(body, before);
    for (const btVector3& at : expected)
        EXPECT_EQ((*body++)->getWorldTransform().getOrigin(), at);
}

TEST_F(CreditsTest, CreditImageSlidesFiveHundredPixelsAndStops) {
    for (int scene : {kCoderScene, kMusicianScene}) {
        SCOPED_TRACE(scene);
        irr::gui::IGUIImage* text =
            scene == kCoderScene ? show.overlay.coderText : show.overlay.musicianText;
        const irr::s32 home = text->getRelativePosition().UpperLeftCorner.Y;
        enter(scene);
        EXPECT_TRUE(text->isVisible());
        EXPECT_EQ(text->getRelativePosition().UpperLeftCorner.Y, home - 500);
        for (int n = 0; n < 700; ++n)
            frame(scene, 0.0f);
        EXPECT_EQ(show.scene.credits.slideCount, 500);
        EXPECT_EQ(text->getRelativePosition().UpperLeftCorner.Y, home);
    }
}

} // namespace
