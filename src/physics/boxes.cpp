// A box is a textured cube node and the rigid body that moves it; the node copies the body's
// transform after every step.
#include "physics/physics.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace show {

void createBox(Physics& physics, const btVector3& position, const irr::core::vector3df& size,
               irr::f32 mass) {
    assert(physics.physicsWorld != nullptr && physics.smgr != nullptr);
    irr::scene::ISceneManager* smgr = physics.smgr;

    // The node shows the origin until the first step after its creation.
    irr::scene::ISceneNode* node = smgr->addCubeSceneNode(kCubeNodeEdge, physics.boxParent);
    node->setScale(size);
    node->setMaterialFlag(irr::video::EMF_LIGHTING, true);
    // The scale stretches the normals; lighting needs them unit length again.
    node->setMaterialFlag(irr::video::EMF_NORMALIZE_NORMALS, true);
    // A missing texture leaves the cube untextured and the show goes on.
    for (irr::u32 i = 0; i < node->getMaterialCount(); ++i) {
        node->getMaterial(i).setTexture(0, physics.brickTexture);
    }

    btTransform start;
    start.setIdentity();
    start.setOrigin(position);
    auto* motionState = new btDefaultMotionState(start, btTransform::getIdentity());
    auto* shape = new btBoxShape(btVector3(size.X * 0.5f, size.Y * 0.5f, size.Z * 0.5f));
    btVector3 inertia(0, 0, 0);
    shape->calculateLocalInertia(mass, inertia);

    btRigidBody::btRigidBodyConstructionInfo info(mass, motionState, shape, inertia);
    info.m_linearDamping = kBoxLinearDamping;
    info.m_angularDamping = kBoxAngularDamping;
    info.m_friction = kBoxFriction;
    info.m_restitution = kBoxRestitution;
    auto* body = new btRigidBody(info);
    body->setUserPointer(node);

    physics.physicsWorld->addRigidBody(body);
    physics.bodyList.push_back(body);
}

void syncNodeFromBody(btRigidBody* body) {
    auto* node = static_cast<irr::scene::ISceneNode*>(body->getUserPointer());
    if (node == nullptr) {
        return;
    }
    // The world transform is the last fixed step; the motion state would be interpolated.
    const btVector3& origin = body->getWorldTransform().getOrigin();
    node->setPosition(irr::core::vector3df(origin.x(), origin.y(), origin.z()));
    node->setRotation(quaternionToEulerDegrees(body->getOrientation()));
}

irr::core::vector3df quaternionToEulerDegrees(const btQuaternion& q) {
    const float x = q.x();
    const float y = q.y();
    const float z = q.z();
    const float w = q.w();
    const float sqx = x * x;
    const float sqy = y * y;
    const float sqz = z * z;
    const float sqw = w * w;

    const float aboutX = std::atan2(2.0f * (y * z + x * w), -sqx - sqy + sqz + sqw);
    // Rounding near a quarter turn about y can push the sine just past 1.
    const float sinY = std::clamp(-2.0f * (x * z - y * w), -1.0f, 1.0f);
    const float aboutY = std::asin(sinY);
    const float aboutZ = std::atan2(2.0f * (x * y + z * w), sqx - sqy - sqz + sqw);
    return irr::core::vector3df(aboutX, aboutY, aboutZ) * kRadiansToDegrees;
}

} // namespace show
