// Scenes 3 to 7 driven frame by frame with a scripted spectrum on the virtual clock, on the
// engine's null device: node, overlay, physics and counter state after each step, no pixels.
#include "common/show_fixture.h"
#include "host/show.h"
#include "scenes/scene_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace show;
using irr::core::vector3df;

namespace {

constexpr int kFps = 60;
constexpr int kLandscapeScene = 3;
constexpr int kFountainScene = 4;
constexpr int kCoderScene = 5;
constexpr int kMusicianScene = 6;
constexpr int kPuzzleScene = 7;

// Levels either side of the thresholds the scenes compare with (x100, strictly greater).
constexpr float kLoudBass = 0.25f;  // 25 > 20: drops bricks
constexpr float kMildBass = 0.1f;   // 10: a beat for tiles and stretch, no bricks
constexpr float kEdgeLevel = 0.03f; // just under 3.0 once widened to double: quiet

class ScenesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(showtest::openNullShow(show, kFps), StartupResult::Ready)
            << "needs the built track: " << showtest::builtTrack();
        ASSERT_NE(show.world.twirlGrid[0], nullptr)
            << "the asset generator's archive is missing: " << showtest::builtArchive();
        clock = static_cast<VirtualTime*>(show.time.get());
        rows = showScenes(show.endMark);
    }
    void TearDown() override { shutdownShow(show); }

    const SceneRow& row(int scene) const { return rows[scene - 1]; }
    // The hand-over runs after the last frame of the scene before, on that frame's clock.
    void enter(int scene) {
        clock->beginFrame();
        row(scene).enter(show);
    }

    // One frame of a scene as the timeline runs it, without the drawing: a null device
    // has no render targets.
    void frame(int scene, float bass, float rest = 0.0f) {
        const SceneRow& r = row(scene);
        clock->beginFrame();
        if (r.beforeRead)
            r.beforeRead(show);
        show.music.spectrum.fill(rest);
        show.music.spectrum[0] = bass;
        show.position = clock->playPosition();
        if (r.update)
            r.update(show);
        if (r.afterFrame)
            r.afterFrame(show);
    }

    Show show;
    VirtualTime* clock = nullptr;
    std::vector<SceneRow> rows;
};

int framesFor(double seconds) {
    return static_cast<int>(std::ceil(seconds * kFps));
}

// ---- landscapes and fountains ----

class LandscapeTest : public ScenesTest {};

TEST_F(LandscapeTest, SilenceFlattensBothLandscapesAndShrinksTheFountains) {
    struct Field {
        int scene;
        float origin, spacing;
    };
    for (const Field field :
         {Field{kLandscapeScene, -2600.0f, 250.0f}, Field{kFountainScene, -200.0f, 40.0f}}) {
        SCOPED_TRACE(field.scene);
        enter(field.scene);
        frame(field.scene, 0.0f);
        for (int i = 0; i < kTwirlGridSide; ++i)
            for (int j = 0; j < kTwirlGridSide; ++j) {
                auto* node = show.world.twirlGrid[kTwirlGridSide * i + j];
                ASSERT_NE(node, nullptr);
                EXPECT_TRUE(node->isVisible());
                EXPECT_EQ(node->getPosition(), vector3df(field.origin + field.spacing * j, -100.0f,
                                                         field.origin + field.spacing * i));
            }
    }
    for (auto* fountain : show.world.fountains) {
        EXPECT_TRUE(fountain->isVisible());
        EXPECT_EQ(fountain->getScale(), vector3df(0.0f, 0.0f, 0.0f));
    }
}

TEST_F(LandscapeTest, LandscapeHeightsReadBandHalfTheProductOfRowAndColumn) {
    enter(kLandscapeScene);
    clock->beginFrame();
    for (int k = 0; k < kSpectrumBands; ++k)
        show.music.spectrum[k] = static_cast<float>(k) / kSpectrumBands;
    row(kLandscapeScene).update(show);
    auto heightOf = [&](int i, int j) {
        return show.world.twirlGrid[kTwirlGridSide * i + j]->getPosition().Y;
    };
    auto expected = [&](int band) {
        return static_cast<float>(show.music.spectrum[band] * 1000.0 - 100.0);
    };
    for (int n = 0; n < kTwirlGridSide; ++n) { // first row and column move with band 0
        EXPECT_EQ(heightOf(0, n), expected(0));
        EXPECT_EQ(heightOf(n, 0), expected(0));
    }
    EXPECT_EQ(heightOf(15, 15), expected(112)); // the highest band read
    EXPECT_EQ(heightOf(3, 5), expected(7));
}

TEST_F(LandscapeTest, AffectorChangesAlternateFadeOutThenAttractionOnePerLongFrame) {
    enter(kFountainScene);
    auto* fountain = show.world.fountains[kFountains - 1];
    const irr::u32 startUp = fountain->getAffectors().size();
    auto last = [&] { return (*fountain->getAffectors().getLast())->getType(); };

    for (int n = 1; n < framesFor(1.5); ++n)
        frame(kFountainScene, 0.0f);
    EXPECT_EQ(fountain->getAffectors().size(), startUp) << "changed before 1.5 s";

    frame(kFountainScene, 0.0f);
    ASSERT_EQ(fountain->getAffectors().size(), startUp + 1);
    EXPECT_EQ(last(), irr::scene::EPAT_FADE_OUT);

    // A frame that took over three seconds still makes one change.
    clock->seekFrame(clock->frame() + framesFor(3.5));
    frame(kFountainScene, 0.0f);
    ASSERT_EQ(fountain->getAffectors().size(), startUp + 2);
    EXPECT_EQ(last(), irr::scene::EPAT_ATTRACT);

    clock->seekFrame(clock->frame() + framesFor(1.5));
    frame(kFountainScene, 0.0f);
    ASSERT_EQ(fountain->getAffectors().size(), startUp + 3);
    EXPECT_EQ(last(), irr::scene::EPAT_FADE_OUT);
    for (auto* other : show.world.fountains)
        EXPECT_EQ(other->getAffectors().size(), startUp + 3);
}

// ---- credits ----

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
            if (show.scene.flash && !log.flashOn)
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
    Random replay = show.random; // the draws this hit must make, in its order
    const size_t before = show.physics.bodyList.size();
    frame(kCoderScene, kLoudBass);
    ASSERT_EQ(show.physics.bodyList.size(), before + 3);
    auto body = show.physics.bodyList.begin();
    std::advance(body, before);
    for (; body != show.physics.bodyList.end(); ++body) {
        const int depth = replay.below(100);
        const int across = replay.below(100);
        const btVector3 at = (*body)->getWorldTransform().getOrigin();
        EXPECT_EQ(at.x(), across - 5);
        EXPECT_EQ(at.y(), static_cast<float>(kLoudBass * 100.0));
        EXPECT_EQ(at.z(), depth - 5);
    }
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
        EXPECT_EQ(show.scene.slideCount, 500);
        EXPECT_EQ(text->getRelativePosition().UpperLeftCorner.Y, home);
    }
}

// ---- equalisers and the puzzle ----

class PuzzleTest : public ScenesTest {};

TEST_F(PuzzleTest, TileEqualisersLightOnlyBandsStrictlyAboveThreeAndNeverTheSpareTiles) {
    struct Grid {
        int scene;
        const std::array<irr::gui::IGUIImage*, kTiles>* tiles;
    };
    const float justLoud = std::nextafter(kEdgeLevel, 1.0f);
    for (const Grid grid :
         {Grid{kCoderScene, &show.overlay.tilesA}, Grid{kPuzzleScene, &show.overlay.tilesB}}) {
        SCOPED_TRACE(grid.scene);
        enter(grid.scene);
        frame(grid.scene, justLoud, justLoud);
        for (int k = 0; k < kTiles; ++k)
            ASSERT_EQ((*grid.tiles)[k]->isVisible(), k < kSpectrumBands) << "tile " << k;
        frame(grid.scene, kEdgeLevel, kEdgeLevel);
        for (int k = 0; k < kTiles; ++k)
            ASSERT_FALSE((*grid.tiles)[k]->isVisible()) << "tile " << k;
    }
}

TEST_F(PuzzleTest, WireSculptureKeepsItsStartUpScaleUntilTheFirstLoudFrame) {
    auto* wire = show.world.wireSculpture;
    ASSERT_NE(wire, nullptr);
    const vector3df startUp = wire->getScale();
    enter(kPuzzleScene);
    EXPECT_TRUE(wire->isVisible());
    EXPECT_EQ(show.physics.bodyList.size(), 1u); // only the floor cube is left
    frame(kPuzzleScene, kEdgeLevel);
    EXPECT_EQ(wire->getScale(), startUp);
    frame(kPuzzleScene, kMildBass);
    EXPECT_EQ(wire->getScale(), vector3df(1.0f, static_cast<float>(kMildBass * 100.0), 1.0f));
    frame(kPuzzleScene, 0.0f);
    EXPECT_EQ(wire->getScale().Y, static_cast<float>(kMildBass * 100.0)) << "quiet frames keep it";
}

} // namespace
