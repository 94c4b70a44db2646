// One rigid-body world shared by every scene, the program's list of the box bodies in it,
// and the copy of each body's transform to the cube node that shows it.
//
// Rules of the unit:
// - Every physical object is a box: a cube scene node and a Bullet body that carries the node
//   as its user pointer. The body owns its motion state and shape; bodyList owns the bodies.
// - Boxes are destroyed only by clearPhysics (and so resetPhysics), which removes each node
//   from the scene graph and frees body, motion state and shape exactly once.
// - Nodes follow the body's last fixed step (its world transform), never the motion state's
//   interpolation, so a frame that runs no substep leaves every node where it was.
// - ~Physics frees the bodies and the world but leaves the nodes alone: they belong to the
//   engine, which may already have been dropped when the show's context is torn down.
#pragma once

#include "content/asset_paths.h"

#include <irrlicht.h>

#include <btBulletDynamicsCommon.h>

#include <list>
#include <memory>

namespace show {

// Broadphase: an axis sweep over a cube of this half extent around the origin.
constexpr float kWorldHalfExtent = 1000.0f;
constexpr unsigned short kMaxBroadphaseHandles = 16384;

// Stepping: fixed 1/60 s substeps, at most a second of them per call.
constexpr float kSecondsPerMs = 0.001f;
constexpr int kMaxSubSteps = 60;
constexpr float kFixedSubStep = 1.0f / 60.0f;

// Every box's surface and damping.
constexpr float kBoxFriction = 0.5f;
constexpr float kBoxRestitution = 0.0f;
constexpr float kBoxLinearDamping = 0.0f;
constexpr float kBoxAngularDamping = 0.0f;
constexpr irr::f32 kCubeNodeEdge = 1.0f; // the node is scaled up to the box's size
constexpr const char* kBoxTexture = asset::kBrickOrange;

// The static cube at the origin that resetPhysics leaves for falling boxes to land on.
constexpr float kFloorBoxEdge = 10.0f;

// The bricks the scenes drop.
constexpr float kBrickEdge = 50.5f;
constexpr float kBrickMass = 1.0f;

// 180 / pi in single precision, as the node rotation has always been computed with.
constexpr float kRadiansToDegrees = 57.2957763671875f;

struct PhysicsParts; // the world's owned components (configuration, broadphase, ...)

struct Physics {
    Physics();
    ~Physics(); // frees the bodies, their states and shapes, and the world; not the nodes
    Physics(const Physics&) = delete;
    Physics& operator=(const Physics&) = delete;

    btDiscreteDynamicsWorld* physicsWorld = nullptr;
    std::list<btRigidBody*> bodyList;          // creation order
    irr::scene::ISceneManager* smgr = nullptr; // where the cube nodes live
    // The node the cube nodes hang under (the root when null): the show's fixed-order node,
    // so bricks meeting each other or the models tie the same way in every run.
    irr::scene::ISceneNode* boxParent = nullptr;
    // Looked up once: a texture missing from the archive is not searched for again per box.
    irr::video::ITexture* brickTexture = nullptr;
    std::unique_ptr<PhysicsParts> parts;
};

// Builds the world; createBox puts its cube nodes in smgr, under boxParent (the root when
// null). Called once at start-up; a second call clears the boxes and starts a fresh world.
void createPhysicsWorld(Physics& physics, irr::scene::ISceneManager* smgr,
                        irr::scene::ISceneNode* boxParent = nullptr);
// Advances the world by deltaMs (at most one second of fixed substeps), then syncs every node.
void stepPhysics(Physics& physics, irr::u32 deltaMs);
// Removes every box from the world and the scene graph and frees it.
void clearPhysics(Physics& physics);
// clearPhysics, then the static floor box at the origin.
void resetPhysics(Physics& physics);
// A box centred at position; its node stays at the origin until the next stepPhysics.
void createBox(Physics& physics, const btVector3& position, const irr::core::vector3df& size,
               irr::f32 mass);
void syncNodeFromBody(btRigidBody* body);
// Engine node rotation (degrees about x, y, z) of a unit quaternion.
irr::core::vector3df quaternionToEulerDegrees(const btQuaternion& q);

} // namespace show
