// The scene world as start-up leaves it: what the first frame shows, where things stand, how
// the orb lights are coloured and animated, how the camera rides its paths, and that a show
// without its models still starts (show_damaged_content plays such a show to its end).
#include "common/gl_fixture.h"
#include "common/show_fixture.h"
#include "core/receiver.h"
#include "host/startup.h"
#include "scenes/show.h"
#include "scenes/world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

using namespace show;
using irr::core::vector3df;

namespace {

constexpr int kTestWidth = 640;
constexpr int kTestHeight = 480;
constexpr int kTestFps = 50;
constexpr float kPlaceTolerance = 0.01f;

const std::string kArchive = showtest::builtArchive();

class WorldAtStartup : public ::testing::Test {
  protected:
    void start(const std::string& archive) {
        gltest::holdDisplay();
        const StartupResult result =
            startShow(show, showtest::windowedShowOptions(kTestWidth, kTestHeight, kTestFps,
                                                          archive.c_str()));
        ASSERT_NE(result, StartupResult::NoDevice);
    }
    void SetUp() override { start(kArchive); }
    void TearDown() override { shutdownShow(show); }

    Show show;
};

void expectNear(const vector3df& actual, const vector3df& expected) {
    EXPECT_NEAR(actual.X, expected.X, kPlaceTolerance);
    EXPECT_NEAR(actual.Y, expected.Y, kPlaceTolerance);
    EXPECT_NEAR(actual.Z, expected.Z, kPlaceTolerance);
}

// Orb i's circle centre: the orbs hang in a column and circle below their start height.
vector3df orbCircleCentre(int i) {
    return vector3df(0, kOrbHeightSpacing * i - kOrbCircleDrop, 0);
}

} // namespace

#define REQUIRE_MODELS()                                                                           \
    if (!show.world.circleSculpture)                                                               \
    GTEST_SKIP() << "models missing: build the archive first"

TEST_F(WorldAtStartup, OnlySculpturesCameraAndOrbitLightsStartVisible) {
    const World& world = show.world;
    std::set<const irr::scene::ISceneNode*> shown = {world.circleSculpture, world.innerSculpture,
                                                     world.wireSculpture, world.camera};
    shown.insert(world.orbitLights.begin(), world.orbitLights.end());
    shown.erase(nullptr); // a missing model shows nothing

    // The models hang under the fixed-order node, the rest at the root.
    std::vector<const irr::scene::ISceneNode*> tops;
    for (const irr::scene::ISceneNode* node : show.engine.smgr->getRootSceneNode()->getChildren())
        tops.push_back(node);
    ASSERT_NE(world.solids, nullptr);
    for (const irr::scene::ISceneNode* node : world.solids->getChildren())
        tops.push_back(node);
    int visibleRoots = 0;
    for (const irr::scene::ISceneNode* node : tops) {
        // the effect nodes and the fixed-order node draw nothing of their own
        if (node->getType() == irr::scene::ESNT_UNKNOWN)
            continue;
        if (node->isVisible()) {
            ++visibleRoots;
            EXPECT_TRUE(shown.count(node)) << "unexpected visible node of type " << node->getType();
        }
    }
    EXPECT_EQ(visibleRoots, int(shown.size()));
    // orbs hang under their lights, so a visible orb under a hidden light would still be wrong
    for (auto* orb : world.orbs)
        EXPECT_FALSE(orb->isVisible());
}

TEST_F(WorldAtStartup, SculpturePairAndTwirlGridStandAsTheScenesDrawThem) {
    REQUIRE_MODELS();
    const World& world = show.world;
    // The wire sculpture is the inner sculpture's mesh drawn as a wireframe cage around it.
    for (irr::scene::ISceneNode* node : {static_cast<irr::scene::ISceneNode*>(world.innerSculpture),
                                         static_cast<irr::scene::ISceneNode*>(world.wireSculpture)})
        node->updateAbsolutePosition();
    const irr::core::aabbox3df inner = world.innerSculpture->getTransformedBoundingBox();
    const irr::core::aabbox3df wire = world.wireSculpture->getTransformedBoundingBox();
    EXPECT_EQ(world.innerSculpture->getMesh(), world.wireSculpture->getMesh());
    expectNear(world.innerSculpture->getAbsolutePosition(),
               world.wireSculpture->getAbsolutePosition());
    EXPECT_TRUE(inner.isFullInside(wire)) << "the cage must enclose the sculpture";
    EXPECT_TRUE(world.wireSculpture->getMaterial(0).Wireframe);
    EXPECT_EQ(world.innerSculpture->getMaterial(0).MaterialType,
              irr::video::EMT_PARALLAX_MAP_SOLID);
    EXPECT_NE(world.innerSculpture->getMaterial(0).getTexture(1), nullptr);

    // The twirl grid: one mesh, an even 16 x 16 grid on the floor, rows along x and columns
    // along z, no two cubes touching.
    auto at = [&](int a, int b) { return world.twirlGrid[kTwirlGridSide * a + b]->getPosition(); };
    const float spacing = at(1, 0).X - at(0, 0).X;
    EXPECT_GT(spacing, 0.0f);
    for (int a = 0; a < kTwirlGridSide; ++a) {
        for (int b = 0; b < kTwirlGridSide; ++b) {
            auto* node = world.twirlGrid[kTwirlGridSide * a + b];
            ASSERT_NE(node, nullptr);
            EXPECT_EQ(node->getMesh(), world.twirlGrid.front()->getMesh());
            expectNear(at(a, b), at(0, 0) + vector3df(spacing * a, 0, spacing * b));
        }
    }
    auto* one = world.twirlGrid.front();
    one->updateAbsolutePosition();
    const vector3df extent = one->getTransformedBoundingBox().getExtent();
    EXPECT_LT(std::max(extent.X, extent.Z), spacing);
}

TEST_F(WorldAtStartup, CircleSculptureKeepsCyclingThroughFramesItsMeshHas) {
    REQUIRE_MODELS();
    auto* circle = show.world.circleSculpture;
    const float last = float(circle->getMesh()->getFrameCount() - 1);
    float previous = circle->getFrameNr();
    int wraps = 0;
    std::set<int> seen;
    for (irr::u32 t = 0; t <= 10000; t += 40) {
        circle->OnAnimate(t);
        const float frame = circle->getFrameNr();
        ASSERT_GE(frame, 0.0f) << "at " << t << " ms";
        ASSERT_LE(frame, last) << "at " << t << " ms";
        wraps += frame < previous;
        seen.insert(int(frame));
        previous = frame;
    }
    EXPECT_GT(wraps, 0) << "ten seconds without starting its loop again";
    EXPECT_GT(seen.size(), 50u) << "it hardly moves";
}

TEST_F(WorldAtStartup, OrbColoursAreNonPositiveTenthsDrawnInOrder) {
    // The world is the generator's first customer. Its first values 41, 18467, 6334, 26500,
    // 19169, 15724, 11478 and 29358, each scaled by -9/32768 and cut to a whole number of
    // tenths, give orb 0 the draws 0, -5, -1, -7 and orb 1 -5, -4, -3, -8, taken as alpha,
    // blue, green and red.
    const irr::video::SColorf orb0 = show.world.orbLights[0]->getLightData().DiffuseColor;
    const irr::video::SColorf orb1 = show.world.orbLights[1]->getLightData().DiffuseColor;
    EXPECT_FLOAT_EQ(orb0.r, -0.7f);
    EXPECT_FLOAT_EQ(orb0.g, -0.1f);
    EXPECT_FLOAT_EQ(orb0.b, -0.5f);
    EXPECT_FLOAT_EQ(orb0.a, 0.0f);
    EXPECT_FLOAT_EQ(orb1.r, -0.8f);
    EXPECT_FLOAT_EQ(orb1.g, -0.3f);
    EXPECT_FLOAT_EQ(orb1.b, -0.4f);
    EXPECT_FLOAT_EQ(orb1.a, -0.5f);
    // Every orb darkens: whole tenths from 0 down to -0.8, some below 0.
    bool anyDark = false;
    for (int i = 0; i < kLightOrbs; ++i) {
        const irr::video::SColorf colour = show.world.orbLights[i]->getLightData().DiffuseColor;
        for (const float component : {colour.r, colour.g, colour.b, colour.a}) {
            EXPECT_LE(component, 0.0f) << "orb " << i;
            EXPECT_GE(component, -0.8f - 1e-6f) << "orb " << i;
            EXPECT_NEAR(component * 10.0f, std::round(component * 10.0f), 1e-4) << "orb " << i;
            anyDark = anyDark || component < 0.0f;
        }
    }
    EXPECT_TRUE(anyDark);
    // the generator has moved on by exactly four draws an orb
    Random replay;
    for (int draw = 0; draw < 4 * kLightOrbs; ++draw)
        replay.next();
    EXPECT_EQ(show.random.next(), replay.next());
}

TEST_F(WorldAtStartup, LowestOrbLightStandsStillWhileHigherOnesCircle) {
    auto& lights = show.world.orbLights;
    const irr::u32 later = 5000;
    // hidden nodes do not animate; scenes 8 and 9 show the lights
    auto placeAt = [](irr::scene::ISceneNode* node, irr::u32 timeMs) {
        node->setVisible(true);
        node->OnAnimate(timeMs);
        return node->getPosition();
    };
    const vector3df still = placeAt(lights[0], 0);
    expectNear(placeAt(lights[0], later), still);
    EXPECT_NEAR(still.getDistanceFrom(orbCircleCentre(0)), kOrbCircleRadius, kPlaceTolerance);

    const int top = kLightOrbs - 1;
    const vector3df low1 = placeAt(lights[1], 0), low2 = placeAt(lights[1], later);
    const vector3df high1 = placeAt(lights[top], 0), high2 = placeAt(lights[top], later);
    EXPECT_GT(low1.getDistanceFrom(low2), kPlaceTolerance);
    EXPECT_NEAR(high2.getDistanceFrom(orbCircleCentre(top)), kOrbCircleRadius, kPlaceTolerance);
    // both keep to their circles; the higher one has swept a larger angle
    const double lowAngle = std::acos(std::clamp(
        (low1 - orbCircleCentre(1)).normalize().dotProduct((low2 - orbCircleCentre(1)).normalize()),
        -1.0f, 1.0f));
    const double highAngle =
        std::acos(std::clamp((high1 - orbCircleCentre(top))
                                 .normalize()
                                 .dotProduct((high2 - orbCircleCentre(top)).normalize()),
                             -1.0f, 1.0f));
    EXPECT_GT(lowAngle, 0.0);
    EXPECT_NE(lowAngle, highAngle);

    // the billboards ride on their lights
    for (int i = 0; i < kLightOrbs; ++i)
        EXPECT_EQ(show.world.orbs[i]->getParent(), lights[i]);
}

TEST_F(WorldAtStartup, OrbitLightsCarryTheirIdsAndCircle) {
    for (int k = 0; k < kOrbitLights; ++k) {
        auto* light = show.world.orbitLights[k];
        EXPECT_EQ(light->getID(), kOrbitLightFirstId + k);
        EXPECT_TRUE(light->isVisible());
        const vector3df before = (light->OnAnimate(0), light->getPosition());
        const vector3df after = (light->OnAnimate(60000), light->getPosition());
        EXPECT_GT(before.getDistanceFrom(after), kPlaceTolerance) << "orbit light " << k;
    }
}

TEST_F(WorldAtStartup, CameraRidesThePathItIsGiven) {
    World& world = show.world;
    expectNear(world.camera->getPosition(), world.pathA[0]);
    EXPECT_FLOAT_EQ(world.camera->getFarValue(), kCameraFarValue);
    EXPECT_EQ(show.engine.smgr->getActiveCamera(), world.camera);

    // the start-up ride: one path point per second
    world.camera->OnAnimate(1000);
    expectNear(world.camera->getPosition(), world.pathA[1]);

    // a new ride replaces the old one and starts at its first point now
    const irr::u32 now = 7000;
    show.engine.device->getTimer()->setTime(now);
    const irr::f32 speed = 2.0f;
    cameraFollowPath(show, world.pathB, speed);
    EXPECT_EQ(world.camera->getAnimators().size(), 1u);
    world.camera->OnAnimate(now);
    expectNear(world.camera->getPosition(), world.pathB[0]);
    world.camera->OnAnimate(now + irr::u32(3 * 1000 / speed));
    expectNear(world.camera->getPosition(), world.pathB[3]);
    // and it loops
    world.camera->OnAnimate(now + irr::u32(world.pathB.size() * 1000 / speed));
    expectNear(world.camera->getPosition(), world.pathB[0]);
}

TEST_F(WorldAtStartup, ParticleSystemsWaitHiddenWithTheirEmitters) {
    const World& world = show.world;
    std::vector<irr::scene::IParticleSystemSceneNode*> systems(world.fountains.begin(),
                                                               world.fountains.end());
    systems.push_back(world.spectrumFountain);
    systems.push_back(world.attractorFountain);
    for (auto* fountain : systems) {
        ASSERT_NE(fountain, nullptr);
        EXPECT_FALSE(fountain->isVisible());
        ASSERT_NE(fountain->getEmitter(), nullptr);
        // fountain particles are taller than wide, whatever the emitter was made with
        const auto size = fountain->getEmitter()->getMinStartSize();
        EXPECT_GT(size.Height, size.Width);
        EXPECT_EQ(fountain->getEmitter()->getMaxStartSize(), size);
        EXPECT_FALSE(fountain->getMaterial(0).Lighting);
        EXPECT_FALSE(fountain->getMaterial(0).ZWriteEnable);
        EXPECT_EQ(fountain->getMaterial(0).MaterialType, irr::video::EMT_TRANSPARENT_VERTEX_ALPHA);
    }
    EXPECT_FALSE(world.snowField->isVisible());
    // snow keeps the emitter's own size range and hangs below the floor
    const auto* snow = world.snowField->getEmitter();
    EXPECT_LT(snow->getMinStartSize().Width, snow->getMaxStartSize().Width);
    EXPECT_LT(world.snowField->getPosition().Y, world.waveFloor->getPosition().Y);
}

TEST_F(WorldAtStartup, RoundaboutWearsTheNormalColourMaterial) {
    ASSERT_GE(show.world.normalColourMaterial, 0) << "the shader did not compile";
    REQUIRE_MODELS();
    ASSERT_NE(show.world.roundabout, nullptr);
    EXPECT_EQ(show.world.roundabout->getMaterial(0).MaterialType,
              irr::video::E_MATERIAL_TYPE(show.world.normalColourMaterial));
    EXPECT_FALSE(show.world.roundabout->isVisible());
}

class WorldWithoutModels : public WorldAtStartup {
  protected:
    void SetUp() override { start(std::string(TEST_BUILD_DIR) + "/no-such-archive.lll"); }
};

TEST_F(WorldWithoutModels, StartsWithEmptyHandlesAndTheRestBuilt) {
    const World& world = show.world;
    EXPECT_EQ(world.circleSculpture, nullptr);
    EXPECT_EQ(world.innerSculpture, nullptr);
    EXPECT_EQ(world.wireSculpture, nullptr);
    EXPECT_EQ(world.backRoom, nullptr);
    EXPECT_EQ(world.spout, nullptr);
    EXPECT_EQ(world.roundabout, nullptr);
    EXPECT_TRUE(std::all_of(world.twirlGrid.begin(), world.twirlGrid.end(),
                            [](auto* node) { return node == nullptr; }));
    // what needs no model is there all the same
    EXPECT_NE(world.waveFloor, nullptr);
    EXPECT_NE(world.snowField, nullptr);
    EXPECT_NE(world.camera, nullptr);
    EXPECT_TRUE(std::all_of(world.orbLights.begin(), world.orbLights.end(),
                            [](auto* light) { return light != nullptr; }));
}
