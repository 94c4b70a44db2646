// The wave floor as start-up builds it on the null device: it draws the hill plane's own
// triangles, nearest rings first, and after every animation step its corners carry the
// normals the engine gives the plane drawn row by row.
#include "common/show_fixture.h"
#include "scenes/scene_table.h"
#include "scenes/show.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

using namespace show;
using irr::core::vector3df;

namespace {

constexpr int kFps = 30;
constexpr const char* kPlaneName = "jumpingBoxesFloor";

using Triangle = std::array<irr::u16, 3>;

std::vector<Triangle> trianglesOf(const irr::scene::IMeshBuffer* buffer) {
    std::vector<Triangle> triangles(buffer->getIndexCount() / 3);
    for (size_t t = 0; t < triangles.size(); ++t)
        std::copy(buffer->getIndices() + 3 * t, buffer->getIndices() + 3 * t + 3,
                  triangles[t].begin());
    return triangles;
}

class WaveFloor : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(showtest::openNullShow(show, kFps), show::StartupResult::Ready)
            << "the asset generator's archive is missing: " << showtest::builtArchive();
        floor = static_cast<irr::scene::IMeshSceneNode*>(show.world.waveFloor);
        irr::scene::IAnimatedMesh* plane = show.engine.smgr->getMesh(kPlaneName);
        ASSERT_TRUE(floor && floor->getMesh() && plane);
        drawn = floor->getMesh()->getMeshBuffer(0);
        rows = plane->getMesh(0)->getMeshBuffer(0);
    }
    void TearDown() override {
        clearPhysics(show.physics);
        if (show.engine.device)
            show.engine.device->drop();
    }

    Show show;
    irr::scene::IMeshSceneNode* floor = nullptr;
    irr::scene::IMeshBuffer* drawn = nullptr;
    const irr::scene::IMeshBuffer* rows = nullptr;
};

TEST_F(WaveFloor, DrawsThePlanesOwnTrianglesNearestToItsMiddleFirst) {
    std::vector<Triangle> drawnTriangles = trianglesOf(drawn);
    std::vector<Triangle> planeTriangles = trianglesOf(rows);
    ASSERT_EQ(drawnTriangles.size(), planeTriangles.size());

    // Distance of a triangle's centre from the plane's middle, the larger of x and z.
    const vector3df middle = rows->getBoundingBox().getCenter();
    auto reach = [&](const Triangle& t) {
        const vector3df c =
            (rows->getPosition(t[0]) + rows->getPosition(t[1]) + rows->getPosition(t[2])) / 3.0f -
            middle;
        return std::max(std::fabs(c.X), std::fabs(c.Z));
    };
    // Each triangle lies inside one tile, so nothing drawn later may lie a tile or more nearer
    // the middle than anything drawn before it.
    const float tile =
        rows->getBoundingBox().getExtent().X / (std::sqrt(float(rows->getVertexCount())) - 1.0f);
    float farthestSoFar = 0.0f;
    for (const Triangle& t : drawnTriangles) {
        EXPECT_GT(reach(t), farthestSoFar - tile) << "drawn out of order";
        farthestSoFar = std::max(farthestSoFar, reach(t));
    }
    EXPECT_LT(reach(drawnTriangles.front()), tile);
    EXPECT_GT(reach(drawnTriangles.back()), rows->getBoundingBox().getExtent().X / 2 - tile);

    std::sort(drawnTriangles.begin(), drawnTriangles.end());
    std::sort(planeTriangles.begin(), planeTriangles.end());
    EXPECT_EQ(drawnTriangles, planeTriangles) << "the same triangles, each with its winding";
}

TEST_F(WaveFloor, IsLitAsThePlaneDrawnRowByRowAfterEveryWave) {
    floor->setVisible(true);
    irr::scene::IMesh* reference =
        show.engine.smgr->getMeshManipulator()->createMeshCopy(floor->getMesh());
    irr::scene::IMeshBuffer* expected = reference->getMeshBuffer(0);
    std::copy(rows->getIndices(), rows->getIndices() + rows->getIndexCount(),
              expected->getIndices());

    for (irr::u32 timeMs : {0u, 370u, 1234u}) {
        SCOPED_TRACE(timeMs);
        floor->OnAnimate(timeMs);
        for (irr::u32 v = 0; v < drawn->getVertexCount(); ++v)
            expected->getPosition(v) = drawn->getPosition(v);
        show.engine.smgr->getMeshManipulator()->recalculateNormals(reference);

        irr::u32 differing = 0, waves = 0;
        for (irr::u32 v = 0; v < drawn->getVertexCount(); ++v) {
            differing += drawn->getNormal(v) != expected->getNormal(v);
            waves += std::fabs(expected->getNormal(v).Y) < 0.99f;
        }
        EXPECT_EQ(differing, 0u) << "corners lit differently from the row-by-row plane";
        EXPECT_GT(waves, drawn->getVertexCount() / 2) << "the floor should be rippling";
    }
    reference->drop();
}

} // namespace
