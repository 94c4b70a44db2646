// Scenes 3 and 4, the wide cube landscape and the fountain room with its tight one, driven
// frame by frame with a scripted spectrum on the null device.
#include "common/scene_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

using namespace show;
using irr::core::vector3df;

namespace {

constexpr int kFps = 60;
constexpr int kLandscapeScene = 3;
constexpr int kFountainScene = 4;

int framesFor(double seconds) {
    return static_cast<int>(std::ceil(seconds * kFps));
}

// The whole show on the null device at 60 fps, with the built archive's models.
class LandscapeTest : public showtest::ModelSceneFixture {
  protected:
    LandscapeTest() : ModelSceneFixture(kFps) {}
};

TEST_F(LandscapeTest, SilenceFlattensBothLandscapesAndShrinksTheFountains) {
    // Each field is an even 16 x 16 grid, flat at -100 in silence, running from one near corner
    // to one far corner on both x and z: columns along x, rows along z. Scene 3's spreads wide;
    // scene 4's stays tight around the fountains' column, inside scene 3's.
    struct Field {
        float nearCorner = 0, step = 0;
    };
    auto flatField = [&](int scene) {
        SCOPED_TRACE(scene);
        enter(scene);
        frame(scene, 0.0f);
        Field field;
        auto at = [&](int i, int j) { return show.world.twirlGrid[kTwirlGridSide * i + j]; };
        if (!at(0, 0) || !at(0, 1))
            return field;
        field.nearCorner = at(0, 0)->getPosition().X;
        field.step = at(0, 1)->getPosition().X - field.nearCorner;
        for (int i = 0; i < kTwirlGridSide; ++i)
            for (int j = 0; j < kTwirlGridSide; ++j) {
                auto* node = at(i, j);
                EXPECT_NE(node, nullptr);
                if (!node)
                    continue;
                EXPECT_TRUE(node->isVisible());
                EXPECT_EQ(node->getPosition(), vector3df(field.nearCorner + field.step * j, -100.0f,
                                                         field.nearCorner + field.step * i))
                    << "cube " << i << "," << j;
            }
        return field;
    };
    const Field wide = flatField(kLandscapeScene);
    const Field tight = flatField(kFountainScene);
    auto farCorner = [](const Field& f) { return f.nearCorner + f.step * (kTwirlGridSide - 1); };
    EXPECT_GT(tight.step, 0.0f);
    EXPECT_GT(wide.step, tight.step);
    EXPECT_LT(wide.nearCorner, tight.nearCorner);
    EXPECT_GT(farCorner(wide), farCorner(tight));
    for (auto* fountain : show.world.fountains) {
        EXPECT_TRUE(fountain->isVisible());
        for (const float across : {fountain->getPosition().X, fountain->getPosition().Z}) {
            EXPECT_GT(across, tight.nearCorner) << "a fountain outside scene 4's field";
            EXPECT_LT(across, farCorner(tight)) << "a fountain outside scene 4's field";
        }
        EXPECT_EQ(fountain->getScale(), vector3df(0.0f, 0.0f, 0.0f));
    }
}

TEST_F(LandscapeTest, LandscapeHeightsReadBandHalfTheProductOfRowAndColumn) {
    enter(kLandscapeScene);
    std::array<float, kSpectrumBands> levels;
    for (int k = 0; k < kSpectrumBands; ++k)
        levels[k] = static_cast<float>(k) / kSpectrumBands;
    frame(kLandscapeScene, levels);
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

} // namespace
