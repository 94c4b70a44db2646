// The 3D world every scene plays on: built once at start-up, then only shown, hidden, moved,
// scaled and re-animated. A model missing from the archive leaves its handle null; every
// later use goes through the null-safe helpers of scenes/nodes.h.
#pragma once

#include <irrlicht.h>

#include <array>

namespace show {

constexpr int kTwirlGridSide = 16;
constexpr int kTwirlGridNodes = kTwirlGridSide * kTwirlGridSide;
constexpr int kLightOrbs = 128;
constexpr int kFountains = 10;
constexpr int kOrbitLights = 3;

using Path = irr::core::array<irr::core::vector3df>;

struct World {
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
    irr::s32 normalColourMaterial = -1;
    irr::scene::ICameraSceneNode* camera = nullptr;
    Path pathA, pathB, pathC;
};

struct Show;

// Start-up stage 2: models, nodes, particle systems, lights, camera paths and the camera.
void buildWorld(Show& show);
// Start-up stage 4, after the physics world: brick textures, spout, roundabout, snow field.
void buildLateWorld(Show& show);
// The camera follows path at speed (path points per second), starting now.
void cameraFollowPath(Show& show, const Path& path, irr::f32 speed);

} // namespace show
