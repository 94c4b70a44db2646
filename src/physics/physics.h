// One rigid-body world shared by every scene, the program's list of the box bodies in it,
// and the copy of each body's transform to the cube node that shows it.
#pragma once

#include <irrlicht.h>

#include <btBulletDynamicsCommon.h>

#include <list>
#include <memory>

namespace show {

struct PhysicsParts; // the world's owned components (configuration, broadphase, ...)

struct Physics {
    Physics();
    ~Physics(); // clears the bodies and frees the world
    Physics(const Physics&) = delete;
    Physics& operator=(const Physics&) = delete;

    btDiscreteDynamicsWorld* physicsWorld = nullptr;
    std::list<btRigidBody*> bodyList;          // creation order
    irr::scene::ISceneManager* smgr = nullptr; // where the cube nodes live
    std::unique_ptr<PhysicsParts> parts;
};

// Builds the world; smgr is where createBox puts its cube nodes.
void createPhysicsWorld(Physics& physics, irr::scene::ISceneManager* smgr);
void stepPhysics(Physics& physics, irr::u32 deltaMs);
void clearPhysics(Physics& physics);
void resetPhysics(Physics& physics);
void createBox(Physics& physics, const btVector3& position, const irr::core::vector3df& size,
               irr::f32 mass);
void syncNodeFromBody(btRigidBody* body);
irr::core::vector3df quaternionToEulerDegrees(const btQuaternion& q);

} // namespace show
