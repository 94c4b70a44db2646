// The 3D world every scene plays on: built once at start-up, then only shown, hidden, moved,
// scaled and re-animated. A model missing from the archive leaves its handle null; every
// later use goes through the null-safe helpers of scenes/nodes.h.
//
// Start-up builds it in two stages: buildWorld right after the overlay (the models, rooms,
// lights, fountains, camera paths and the camera), buildLateWorld after the loading frame and
// the physics world (brick textures, spout, roundabout with its shader, snow field). The
// values below are the ones scenes and tests need to agree on; the rest live in world.cpp.
#pragma once

#include <irrlicht.h>

#include <array>

namespace show {

constexpr int kTwirlGridSide = 16;
constexpr int kTwirlGridNodes = kTwirlGridSide * kTwirlGridSide;
constexpr int kLightOrbs = 128;
constexpr int kFountains = 10;
constexpr int kOrbitLights = 3;

// Start-up placement the opening scenes build on.
constexpr irr::f32 kSculptureHeight = 600.0f; // the inner and wire sculptures hover here
constexpr irr::f32 kInnerSculptureScale = 5.0f;
constexpr irr::f32 kWireSculptureScale = 7.3f;
constexpr irr::f32 kCircleSculptureScale = 5.0f;
constexpr irr::s32 kCircleSculptureFirstFrame = 1;
constexpr irr::s32 kCircleSculptureLastFrame = 100;
constexpr irr::f32 kCircleSculptureSpeed = 25.0f;

// Twirl grid: node 16*a + b stands at (origin + spacing*a, 0, spacing*b).
constexpr irr::f32 kTwirlGridOriginX = -600.0f;
constexpr irr::f32 kTwirlGridSpacing = 100.0f;
constexpr irr::f32 kTwirlScale = 0.5f;

// Light orbs: light i starts at height spacing*i and circles a centre drop below it, faster
// the higher it is (light 0 stands still).
constexpr irr::f32 kOrbHeightSpacing = 20.0f;
constexpr irr::f32 kOrbCircleDrop = 500.0f;
constexpr irr::f32 kOrbCircleRadius = 350.0f;
constexpr irr::f32 kOrbCircleSpeedStep = 0.001f;
constexpr irr::f32 kOrbColourStep = 0.1f; // one colour draw is a whole number of these, <= 0
constexpr int kOrbColourDraws = 4;
// One colour draw from a generator value: -9*value scaled by 1/32768, truncated toward zero.
constexpr int orbColourDraw(int randomValue) {
    return static_cast<int>((-9 * randomValue) * (1.0 / 32768));
}

constexpr irr::s32 kOrbitLightFirstId = 75;

// The camera: follow-spline animators share one tightness; the show starts on path A.
constexpr irr::f32 kCameraFarValue = 4000.0f;
constexpr irr::f32 kPathTightness = 0.5f;
constexpr irr::f32 kStartPathSpeed = 1.0f;

using Path = irr::core::array<irr::core::vector3df>;

struct World {
    // Every solid model ends up under this node and is drawn in the order it was made in,
    // except that the two rooms follow the models made at start-up (scenes/fixed_order.h);
    // the handles below still reach each model directly.
    irr::scene::ISceneNode* solids = nullptr;
    irr::scene::IAnimatedMeshSceneNode* circleSculpture = nullptr;
    irr::scene::IAnimatedMeshSceneNode* cubePuzzle = nullptr;
    irr::scene::IAnimatedMeshSceneNode* blueBall = nullptr;
    std::array<irr::scene::IAnimatedMeshSceneNode*, kTwirlGridNodes> twirlGrid{};
    irr::scene::IAnimatedMeshSceneNode* spout = nullptr;
    irr::scene::IAnimatedMeshSceneNode* roof = nullptr;
    irr::scene::IMeshSceneNode* backRoom = nullptr;
    irr::scene::IMeshSceneNode* boxHall = nullptr;
    irr::scene::IMeshSceneNode* innerSculpture = nullptr;
    irr::scene::IMeshSceneNode* wireSculpture = nullptr;
    irr::scene::ISceneNode* waveFloor = nullptr;
    std::array<irr::scene::ILightSceneNode*, kLightOrbs> orbLights{};
    std::array<irr::scene::IBillboardSceneNode*, kLightOrbs> orbs{};
    std::array<irr::scene::ILightSceneNode*, kOrbitLights> orbitLights{};
    std::array<irr::scene::IParticleSystemSceneNode*, kFountains> fountains{};
    irr::scene::IParticleSystemSceneNode* spectrumFountain = nullptr;
    irr::scene::IParticleSystemSceneNode* attractorFountain = nullptr;
    irr::scene::IParticleSystemSceneNode* snowField = nullptr;
    irr::scene::IAnimatedMeshSceneNode* roundabout = nullptr;
    irr::s32 normalColourMaterial = -1; // -1 when the shader could not be made
    // Set when the world is built again on the same device: the normal maps were already made
    // from the bump textures in place, and the roundabout's shader already exists.
    bool contentPrepared = false;
    irr::scene::ICameraSceneNode* camera = nullptr;
    Path pathA, pathB, pathC;
};

struct Show;

// Start-up stage 2: models, nodes, particle systems, lights, camera paths and the camera.
void buildWorld(Show& show);
// Start-up stage 4, after the physics world: brick textures, spout, roundabout, snow field.
void buildLateWorld(Show& show);
// The camera follows path at speed (path points per second, looping), starting now.
void cameraFollowPath(Show& show, const Path& path, irr::f32 speed);
// Camera path B's control points (the fountain room's flight), as buildWorld lays them out:
// the content's back room must enclose them.
Path cameraPathB();

} // namespace show
