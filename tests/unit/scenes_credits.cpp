// Scenes 3 to 7 driven frame by frame with a scripted spectrum on the virtual clock, on the
// engine's null device: node, overlay, physics and counter state after each step, no pixels.
// The tile equaliser of scene 5 is also the greetings' and is tested for all of them here.
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
constexpr int kFirstGreetingScene = 10; // its cards light the same tiles

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
    // Each field is an even 16 x 16 grid from its near corner to its far one: columns along x,
    // rows along z. Scene 3's spreads wide, scene 4's stays tight around the fountains.
    struct Field {
        int scene;
        float nearCorner, farCorner;
    };
    for (const Field field :
         {Field{kLandscapeScene, -2600.0f, 1150.0f}, Field{kFountainScene, -200.0f, 400.0f}}) {
        SCOPED_TRACE(field.scene);
        enter(field.scene);
        frame(field.scene, 0.0f);
        const float step = (field.farCorner - field.nearCorner) / (kTwirlGridSide - 1);
        for (int i = 0; i < kTwirlGridSide; ++i)
            for (int j = 0; j < kTwirlGridSide; ++j) {
                auto* node = show.world.twirlGrid[kTwirlGridSide * i + j];
                ASSERT_NE(node, nullptr);
                EXPECT_TRUE(node->isVisible());
                EXPECT_EQ(node->getPosition(), vector3df(field.nearCorner + step * j, -100.0f,
                                                         field.nearCorner + step * i));
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
    // Band k stands at level k/512; a level lifts its cubes by a thousand times it from -100.
    for (int n = 0; n < kTwirlGridSide; ++n) { // first row and column move with band 0
        EXPECT_EQ(heightOf(0, n), -100.0f);
        EXPECT_EQ(heightOf(n, 0), -100.0f);
    }
    EXPECT_EQ(heightOf(15, 15), 118.75f);      // band 112, the highest read: 218.75 - 100
    EXPECT_EQ(heightOf(3, 5), -86.328125f);    // band 7: 13.671875 - 100
    EXPECT_EQ(heightOf(5, 3), heightOf(3, 5)); // the field is symmetric
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
         {Grid{kCoderScene, &show.overlay.tilesA}, Grid{kPuzzleScene, &show.overlay.tilesB},
          Grid{kFirstGreetingScene, &show.overlay.tilesA}}) {
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
