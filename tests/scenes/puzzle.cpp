// Scene 7, the cube puzzle with its wire sculpture, and the tile equalisers it shares with
// scene 5 and the greetings, driven frame by frame with a scripted spectrum on the null device.
#include "common/scene_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

using namespace show;
using irr::core::vector3df;

namespace {

constexpr int kFps = 60;
constexpr int kCoderScene = 5;
constexpr int kPuzzleScene = 7;
constexpr int kFirstGreetingScene = 10; // its cards light the same tiles

// Levels either side of the thresholds the scenes compare with (x100, strictly greater).
constexpr float kLoudBass = 0.25f;  // 25 > 20: drops bricks
constexpr float kMildBass = 0.1f;   // 10: a beat for tiles and stretch, no bricks
constexpr float kEdgeLevel = 0.03f; // just under 3.0 once widened to double: quiet

// The whole show on the null device at 60 fps, with the built archive's models.
class PuzzleTest : public showtest::ModelSceneFixture {
  protected:
    PuzzleTest() : ModelSceneFixture(kFps) {}
};

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
