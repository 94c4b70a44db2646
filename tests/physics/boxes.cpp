// The rotation a box's node is given from its body's orientation: named quarter turns, the
// arcsine's edge, and agreement with the engine's own rotation of a vector.
#include "physics/physics.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using irr::core::vector3df;
using show::quaternionToEulerDegrees;

constexpr float kDegreesTolerance = 1e-3f;
constexpr float kQuarterTurn = 90.0f;
constexpr float kHalfSqrt2 = 0.7071068f;

void expectDegrees(const vector3df& actual, const vector3df& expected) {
    EXPECT_NEAR(actual.X, expected.X, kDegreesTolerance);
    EXPECT_NEAR(actual.Y, expected.Y, kDegreesTolerance);
    EXPECT_NEAR(actual.Z, expected.Z, kDegreesTolerance);
}

TEST(physicsRotation, IdentityGivesNoRotation) {
    expectDegrees(quaternionToEulerDegrees(btQuaternion::getIdentity()), vector3df(0, 0, 0));
}

TEST(physicsRotation, QuarterTurnsLandOnTheirOwnAxis) {
    expectDegrees(quaternionToEulerDegrees(btQuaternion(kHalfSqrt2, 0, 0, kHalfSqrt2)),
                  vector3df(kQuarterTurn, 0, 0));
    expectDegrees(quaternionToEulerDegrees(btQuaternion(0, kHalfSqrt2, 0, kHalfSqrt2)),
                  vector3df(0, kQuarterTurn, 0));
    expectDegrees(quaternionToEulerDegrees(btQuaternion(0, 0, kHalfSqrt2, kHalfSqrt2)),
                  vector3df(0, 0, kQuarterTurn));
}

TEST(physicsRotation, SineJustPastOneStillGivesAQuarterTurn) {
    // A slightly long quaternion, as rounding leaves them, puts the arcsine's argument past 1.
    const float longHalfSqrt2 = std::nextafter(kHalfSqrt2, 1.0f) * 1.000001f;
    const vector3df degrees =
        quaternionToEulerDegrees(btQuaternion(0, longHalfSqrt2, 0, longHalfSqrt2));
    ASSERT_TRUE(std::isfinite(degrees.Y));
    EXPECT_NEAR(degrees.Y, kQuarterTurn, kDegreesTolerance);
}

TEST(physicsRotation, NodeTurnsVectorsAsTheBodyDoes) {
    constexpr float kVectorTolerance = 1e-4f;
    const btVector3 axes[] = {btVector3(1, 2, 3), btVector3(-2, 0.5f, 1), btVector3(0, -1, 4),
                              btVector3(3, 1, -1)};
    const float angles[] = {0.3f, 1.2f, 2.5f, -0.8f};
    const btVector3 probe(0.3f, -1.0f, 2.0f);
    for (const btVector3& axis : axes) {
        for (float angle : angles) {
            const btQuaternion q(axis.normalized(), angle);
            irr::core::matrix4 nodeRotation;
            nodeRotation.setRotationDegrees(quaternionToEulerDegrees(q));
            vector3df turned(probe.x(), probe.y(), probe.z());
            nodeRotation.rotateVect(turned);
            const btVector3 expected = quatRotate(q, probe);
            EXPECT_NEAR(turned.X, expected.x(), kVectorTolerance) << "angle " << angle;
            EXPECT_NEAR(turned.Y, expected.y(), kVectorTolerance) << "angle " << angle;
            EXPECT_NEAR(turned.Z, expected.z(), kVectorTolerance) << "angle " << angle;
        }
    }
}

} // namespace
