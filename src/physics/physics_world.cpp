// The world's lifetime, the step with its node sync, and emptying the world.
#include "physics/physics.h"

namespace show {

// Declared in construction order so that destruction runs world first, configuration last.
struct PhysicsParts {
    std::unique_ptr<btDefaultCollisionConfiguration> configuration;
    std::unique_ptr<btAxisSweep3> broadphase;
    std::unique_ptr<btCollisionDispatcher> dispatcher;
    std::unique_ptr<btSequentialImpulseConstraintSolver> solver;
    std::unique_ptr<btDiscreteDynamicsWorld> world;
};

Physics::Physics() = default;

namespace {

// Frees what a body owns through Bullet (motion state, shape) and the body itself; the node is
// the caller's business.
void destroyBody(btDiscreteDynamicsWorld* world, btRigidBody* body) {
    if (world != nullptr) {
        world->removeRigidBody(body);
    }
    delete body->getMotionState();
    delete body->getCollisionShape();
    delete body;
}

} // namespace

Physics::~Physics() {
    for (btRigidBody* body : bodyList) {
        destroyBody(physicsWorld, body);
    }
    bodyList.clear();
    physicsWorld = nullptr;
    parts.reset();
}

void createPhysicsWorld(Physics& physics, irr::scene::ISceneManager* smgr,
                        irr::scene::ISceneNode* boxParent) {
    if (physics.parts) {
        clearPhysics(physics);
    }
    const btVector3 worldMin(-kWorldHalfExtent, -kWorldHalfExtent, -kWorldHalfExtent);
    const btVector3 worldMax(kWorldHalfExtent, kWorldHalfExtent, kWorldHalfExtent);

    auto parts = std::make_unique<PhysicsParts>();
    parts->configuration = std::make_unique<btDefaultCollisionConfiguration>();
    parts->broadphase =
        std::make_unique<btAxisSweep3>(worldMin, worldMax, kMaxBroadphaseHandles, nullptr);
    parts->dispatcher = std::make_unique<btCollisionDispatcher>(parts->configuration.get());
    parts->solver = std::make_unique<btSequentialImpulseConstraintSolver>();
    // Gravity stays at the library's default, (0, -10, 0): y is up in the engine too.
    parts->world =
        std::make_unique<btDiscreteDynamicsWorld>(parts->dispatcher.get(), parts->broadphase.get(),
                                                  parts->solver.get(), parts->configuration.get());

    physics.physicsWorld = parts->world.get();
    physics.parts = std::move(parts);
    physics.smgr = smgr;
    physics.boxParent = boxParent;
    physics.brickTexture = smgr->getVideoDriver()->getTexture(kBoxTexture);
}

void stepPhysics(Physics& physics, irr::u32 deltaMs) {
    if (physics.physicsWorld == nullptr) {
        return;
    }
    const float seconds = static_cast<float>(deltaMs) * kSecondsPerMs;
    physics.physicsWorld->stepSimulation(seconds, kMaxSubSteps, kFixedSubStep);
    for (btRigidBody* body : physics.bodyList) {
        syncNodeFromBody(body);
    }
}

void clearPhysics(Physics& physics) {
    for (btRigidBody* body : physics.bodyList) {
        if (auto* node = static_cast<irr::scene::ISceneNode*>(body->getUserPointer())) {
            node->remove();
        }
        destroyBody(physics.physicsWorld, body);
    }
    physics.bodyList.clear();
}

void resetPhysics(Physics& physics) {
    clearPhysics(physics);
    createBox(physics, btVector3(0, 0, 0),
              irr::core::vector3df(kFloorBoxEdge, kFloorBoxEdge, kFloorBoxEdge), 0.0f);
}

} // namespace show
