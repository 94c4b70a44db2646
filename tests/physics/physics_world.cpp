// The shared rigid-body world on the engine's null device: boxes land on the floor box, the
// step's limits, and emptying the world without leaving anything behind.
#include "physics/physics.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using irr::core::vector3df;
using namespace show;

constexpr irr::u32 kFrameMs = 17; // a frame at about 60 fps
constexpr float kPositionTolerance = 0.05f;
constexpr float kRestSpeed = 0.05f;
constexpr float kDropHeight = 500.0f; // free fall: nothing below it

class physicsWorld : public ::testing::Test {
  protected:
    void SetUp() override {
        device = irr::createDevice(irr::video::EDT_NULL);
        ASSERT_NE(device, nullptr);
        // Without the archive every box reports its missing texture.
        device->getLogger()->setLogLevel(irr::ELL_NONE);
        smgr = device->getSceneManager();
        createPhysicsWorld(physics, smgr);
    }
    // The device goes before `physics`, as it may at the show's end: ~Physics must not touch
    // the nodes the engine has already freed.
    void TearDown() override { device->drop(); }

    void runFrames(int frames) {
        for (int i = 0; i < frames; ++i) {
            stepPhysics(physics, kFrameMs);
        }
    }
    irr::u32 sceneNodeCount() const { return smgr->getRootSceneNode()->getChildren().size(); }
    static irr::scene::ISceneNode* nodeOf(btRigidBody* body) {
        return static_cast<irr::scene::ISceneNode*>(body->getUserPointer());
    }
    btRigidBody* dropBox(float height, float edge) {
        createBox(physics, btVector3(0, height, 0), vector3df(edge, edge, edge), kBrickMass);
        return physics.bodyList.back();
    }

    irr::IrrlichtDevice* device = nullptr;
    irr::scene::ISceneManager* smgr = nullptr;
    Physics physics;
};

TEST_F(physicsWorld, DroppedBoxComesToRestOnTheStaticFloorBox) {
    resetPhysics(physics);
    btRigidBody* floor = physics.bodyList.front();
    constexpr float kEdge = 2.0f;
    btRigidBody* box = dropBox(20.0f, kEdge);
    // Until the first step the node shows the origin, not the drop position.
    EXPECT_EQ(nodeOf(box)->getPosition(), vector3df(0, 0, 0));

    runFrames(1);
    EXPECT_GT(nodeOf(box)->getPosition().Y, kFloorBoxEdge);
    runFrames(300);

    EXPECT_EQ(floor->getWorldTransform().getOrigin(), btVector3(0, 0, 0));
    EXPECT_EQ(nodeOf(floor)->getPosition(), vector3df(0, 0, 0));
    EXPECT_EQ(nodeOf(floor)->getRotation(), vector3df(0, 0, 0));

    const vector3df rest = nodeOf(box)->getPosition();
    EXPECT_NEAR(rest.Y, kFloorBoxEdge / 2 + kEdge / 2, kPositionTolerance);
    EXPECT_NEAR(rest.X, 0, kPositionTolerance);
    EXPECT_NEAR(rest.Z, 0, kPositionTolerance);
    EXPECT_LT(box->getLinearVelocity().length(), kRestSpeed);
    const btVector3& origin = box->getWorldTransform().getOrigin();
    EXPECT_EQ(rest, vector3df(origin.x(), origin.y(), origin.z()));
}

TEST_F(physicsWorld, LongFrameAdvancesAtMostOneSecond) {
    btRigidBody* box = dropBox(kDropHeight, 1.0f);
    stepPhysics(physics, 5000);
    // Worked by hand for one second of free fall under the library's gravity of 10 in sixty
    // steps, each adding speed before moving: the speed is 10, the drop
    // (10/60)(1/60)(1 + 2 + ... + 60) = 5.083. Five seconds would mean a speed of 50 and a
    // drop of 125.
    EXPECT_NEAR(box->getLinearVelocity().y(), -10.0f, kRestSpeed);
    EXPECT_NEAR(nodeOf(box)->getPosition().Y, kDropHeight - 5.083f, kPositionTolerance);
}

TEST_F(physicsWorld, ShortFrameMayLeaveNodesWhereTheyWere) {
    btRigidBody* box = dropBox(kDropHeight, 1.0f);
    box->setAngularVelocity(btVector3(1, 2, 3));
    stepPhysics(physics, kFrameMs);
    const vector3df position = nodeOf(box)->getPosition();
    const vector3df rotation = nodeOf(box)->getRotation();
    ASSERT_LT(position.Y, kDropHeight);

    // Ten milliseconds run no substep; the motion state would still interpolate here.
    constexpr irr::u32 kShortFrameMs = 10;
    stepPhysics(physics, kShortFrameMs);
    EXPECT_EQ(nodeOf(box)->getPosition(), position);
    EXPECT_EQ(nodeOf(box)->getRotation(), rotation);

    // The leftover time is kept: the next short frame completes a substep.
    stepPhysics(physics, kShortFrameMs);
    EXPECT_LT(nodeOf(box)->getPosition().Y, position.Y);
    EXPECT_NE(nodeOf(box)->getRotation(), rotation);
}

TEST_F(physicsWorld, ClearOnAnEmptyListChangesNothing) {
    const irr::u32 nodesBefore = sceneNodeCount();
    clearPhysics(physics);
    EXPECT_TRUE(physics.bodyList.empty());
    EXPECT_EQ(physics.physicsWorld->getNumCollisionObjects(), 0);
    EXPECT_EQ(sceneNodeCount(), nodesBefore);
}

TEST_F(physicsWorld, ClearTakesEveryBoxOutOfTheWorldAndTheSceneGraph) {
    const irr::u32 nodesBefore = sceneNodeCount();
    std::vector<irr::scene::ISceneNode*> nodes;
    for (int i = 0; i < 3; ++i) {
        btRigidBody* box = dropBox(10.0f * i, 1.0f);
        nodes.push_back(nodeOf(box));
        nodes.back()->grab(); // keep it alive to see what clear did to it
    }
    runFrames(5);
    clearPhysics(physics);

    EXPECT_TRUE(physics.bodyList.empty());
    EXPECT_EQ(physics.physicsWorld->getNumCollisionObjects(), 0);
    EXPECT_EQ(sceneNodeCount(), nodesBefore);
    for (irr::scene::ISceneNode* node : nodes) {
        EXPECT_EQ(node->getParent(), nullptr);
        EXPECT_EQ(node->getReferenceCount(), 1); // only ours: the graph let go exactly once
        node->drop();
    }
}

TEST_F(physicsWorld, ResetLeavesExactlyTheStaticFloorBox) {
    for (int i = 0; i < 5; ++i) {
        dropBox(20.0f + i, 1.0f);
    }
    resetPhysics(physics);
    ASSERT_EQ(physics.bodyList.size(), 1u);
    EXPECT_EQ(physics.physicsWorld->getNumCollisionObjects(), 1);
    btRigidBody* floor = physics.bodyList.front();
    EXPECT_TRUE(floor->isStaticObject());
    EXPECT_EQ(floor->getWorldTransform().getOrigin(), btVector3(0, 0, 0));
    EXPECT_EQ(nodeOf(floor)->getScale(), vector3df(kFloorBoxEdge, kFloorBoxEdge, kFloorBoxEdge));
}

TEST_F(physicsWorld, RepeatedBrickRainsLeaveNothingBehind) {
    // One cycle of the finale: 51 beats of four bricks, then the reset.
    constexpr int kBricksPerCycle = 204;
    constexpr int kCycles = 4;
    constexpr int kSpread = 100;
    constexpr float kSpreadOffset = 5.0f;
    resetPhysics(physics);
    const irr::u32 nodesAfterReset = sceneNodeCount();

    for (int cycle = 0; cycle < kCycles; ++cycle) {
        for (int i = 0; i < kBricksPerCycle; ++i) {
            const float x = static_cast<float>((i * 37 + cycle) % kSpread) - kSpreadOffset;
            const float z = static_cast<float>((i * 61 + 7 * cycle) % kSpread) - kSpreadOffset;
            createBox(physics, btVector3(x, 20.0f + i % 40, z),
                      vector3df(kBrickEdge, kBrickEdge, kBrickEdge), kBrickMass);
            if (i % 4 == 3) {
                runFrames(1);
            }
        }
        EXPECT_EQ(physics.physicsWorld->getNumCollisionObjects(), kBricksPerCycle + 1);
        resetPhysics(physics);

        EXPECT_EQ(physics.bodyList.size(), 1u) << "cycle " << cycle;
        EXPECT_EQ(physics.physicsWorld->getNumCollisionObjects(), 1) << "cycle " << cycle;
        EXPECT_EQ(physics.physicsWorld->getBroadphase()
                      ->getOverlappingPairCache()
                      ->getNumOverlappingPairs(),
                  0)
            << "cycle " << cycle;
        EXPECT_EQ(physics.physicsWorld->getDispatcher()->getNumManifolds(), 0) << "cycle " << cycle;
        EXPECT_EQ(sceneNodeCount(), nodesAfterReset) << "cycle " << cycle;
    }
}

} // namespace
