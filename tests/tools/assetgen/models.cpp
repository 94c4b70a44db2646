// The generated models where the scenes put them: each scene's placement (its scale, stand
// and camera) comes from the show itself on the null device, the geometry from the built
// archive as the show loads it, and each check is what a viewer needs of that picture.
#include "common/scene_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace show;
using irr::core::matrix4;
using irr::core::vector3df;

namespace {

constexpr int kFps = 60;
constexpr int kOpeningScene = 1;
constexpr int kFountainScene = 4;
constexpr int kPuzzleScene = 7;

// The corners of one frame of a node's animation, where the node puts them in the world. The
// models are .X files: a rigid part's buffer carries its pose as its own transformation.
std::vector<vector3df> cornersAt(irr::scene::IAnimatedMeshSceneNode* node, float frame) {
    std::vector<vector3df> corners;
    irr::scene::IMesh* mesh = node->getMesh()->getMesh(static_cast<irr::s32>(frame));
    for (irr::u32 b = 0; b < mesh->getMeshBufferCount(); ++b) {
        auto* buffer = static_cast<irr::scene::SSkinMeshBuffer*>(mesh->getMeshBuffer(b));
        const matrix4 place = node->getAbsoluteTransformation() * buffer->Transformation;
        for (irr::u32 v = 0; v < buffer->getVertexCount(); ++v) {
            vector3df p = buffer->getPosition(v);
            place.transformVect(p);
            corners.push_back(p);
        }
    }
    return corners;
}

irr::core::aabbox3df boundsOf(const std::vector<vector3df>& corners) {
    irr::core::aabbox3df box(corners.front());
    for (const vector3df& p : corners)
        box.addInternalPoint(p);
    return box;
}

// Where a world point lands in the camera's picture: x and y from -1 to 1 across it, and
// whether it lies in front of the camera.
struct OnScreen {
    float x, y;
    bool inFront;
};

OnScreen project(const irr::scene::ICameraSceneNode* camera, const vector3df& p) {
    matrix4 view, projection;
    view.buildCameraLookAtMatrixLH(camera->getAbsolutePosition(), camera->getTarget(),
                                   camera->getUpVector());
    projection.buildProjectionMatrixPerspectiveFovLH(camera->getFOV(), camera->getAspectRatio(),
                                                     camera->getNearValue(), camera->getFarValue());
    irr::f32 clip[4];
    (projection * view).transformVect(clip, p);
    return {clip[0] / clip[3], clip[1] / clip[3], clip[3] > 0};
}

class ModelsInTheirScenes : public showtest::ModelSceneFixture {
  protected:
    ModelsInTheirScenes() : ModelSceneFixture(kFps) {}
    // Moves the engine's animators (the camera's flight, the models' frames) to the clock.
    void animate() {
        show.engine.smgr->getRootSceneNode()->OnAnimate(show.engine.timer->getTime());
    }
};

TEST_F(ModelsInTheirScenes, EachStandsWhereItsSceneFramesIt) {
    World& world = show.world;
    ASSERT_NE(world.circleSculpture, nullptr);
    ASSERT_NE(world.cubePuzzle, nullptr);
    ASSERT_NE(world.waveFloor, nullptr);

    // The opening: the turning circle sculpture's top stays in the picture all through the
    // camera's first flight, and so does the whole sculpture, top and foot, for all of it
    // but the camera's closest pass (at most a fifth of the scene).
    enter(kOpeningScene);
    const int openingFrames = int(row(kOpeningScene).toExclusive * int64_t(kFps) / kSampleRate);
    int looked = 0, whole = 0;
    for (int f = 0; f < openingFrames; ++f) {
        frame(kOpeningScene, 0.0f);
        animate();
        if (f % 10 != 0)
            continue;
        const std::vector<vector3df> corners =
            cornersAt(world.circleSculpture, world.circleSculpture->getFrameNr());
        const auto [lowest, highest] =
            std::minmax_element(corners.begin(), corners.end(),
                                [](const vector3df& a, const vector3df& b) { return a.Y < b.Y; });
        auto inView = [&](const vector3df& p) {
            const OnScreen at = project(world.camera, p);
            return at.inFront && std::fabs(at.x) <= 1 && std::fabs(at.y) <= 1;
        };
        EXPECT_TRUE(inView(*highest))
            << "the top (height " << highest->Y << ") leaves the frame at " << f << " frames";
        ++looked;
        whole += inView(*highest) && inView(*lowest);
    }
    EXPECT_GE(whole * 5, looked * 4) << "whole in the frame in " << whole << " of " << looked;

    // The fountain room: a twirl at rest (a quiet band) stands with the upper half of its
    // stack above the wave floor's mean plane, so the landscape rises through the waves.
    enter(kFountainScene);
    frame(kFountainScene, 0.0f);
    animate();
    const float floorMean = world.waveFloor->getAbsolutePosition().Y;
    for (auto* twirl : {world.twirlGrid.front(), world.twirlGrid.back()}) {
        const irr::core::aabbox3df box = boundsOf(cornersAt(twirl, 0));
        EXPECT_GT(box.MaxEdge.Y - floorMean, (box.MaxEdge.Y - box.MinEdge.Y) / 2)
            << "top " << box.MaxEdge.Y << ", bottom " << box.MinEdge.Y << ", floor " << floorMean;
    }

    // The puzzle: wherever its slices have turned, its middle is where the camera looks, to
    // within a tenth of its own size.
    enter(kPuzzleScene);
    animate();
    const vector3df target = world.camera->getTarget();
    for (float f = world.cubePuzzle->getStartFrame(); f <= world.cubePuzzle->getEndFrame();
         f += 7) {
        const irr::core::aabbox3df box = boundsOf(cornersAt(world.cubePuzzle, f));
        const float size = box.getExtent().getLength();
        ASSERT_LT(box.getCenter().getDistanceFrom(target), size / 10)
            << "frame " << f << ": middle at (" << box.getCenter().X << ", " << box.getCenter().Y
            << ", " << box.getCenter().Z << "), size " << size;
    }
}

} // namespace
