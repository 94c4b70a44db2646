// Builds the shared 3D world once, in the order the show's look depends on: the generator
// draws of the orb colours and the cached textures (the wave floor reuses the back room's
// normal map) both follow creation order.
#include "scenes/world.h"

#include "content/camera_paths.h"
#include "content/roundabout_shader.h"
#include "content/surfaces.h"
#include "scenes/fixed_order.h"
#include "scenes/nodes.h"
#include "scenes/show.h"
#include "scenes/wave_floor.h"

#include <cstdio>

namespace show {

using irr::f32;
using irr::s32;
using irr::u32;
using irr::core::aabbox3df;
using irr::core::dimension2d;
using irr::core::dimension2df;
using irr::core::vector3df;
using irr::scene::IAnimatedMesh;
using irr::scene::IAnimatedMeshSceneNode;
using irr::scene::ICameraSceneNode;
using irr::scene::IMesh;
using irr::scene::IMeshSceneNode;
using irr::scene::IParticleSystemSceneNode;
using irr::scene::ISceneManager;
using irr::scene::ISceneNode;
using irr::scene::ISceneNodeAnimator;
using irr::video::ITexture;
using irr::video::IVideoDriver;
using irr::video::SColor;
using irr::video::SColorf;
using namespace irr::video; // material flag and type names

namespace {

// ---- tunables ----

const vector3df kOrigin(0, 0, 0);
const vector3df kUnitScale(1, 1, 1);
const vector3df kUp(0, 1, 0);

// animated models
constexpr f32 kCubePuzzleScale = 2.0f;
constexpr f32 kCubePuzzleSpeed = 250.0f;
constexpr s32 kCubePuzzleFirstFrame = 1;
constexpr s32 kCubePuzzleLastFrame = 2;
constexpr f32 kBlueBallDepth = -200.0f;
constexpr f32 kBlueBallScale = 2.0f;
constexpr f32 kBlueBallSpeed = 200.0f;
constexpr s32 kBlueBallFirstFrame = 1;
constexpr s32 kBlueBallLastFrame = 100;
constexpr f32 kTwirlSpeed = 15.0f;
constexpr f32 kRoofSpeed = 15.0f;
constexpr f32 kRoofScale = 2.0f;
constexpr f32 kSpoutDepth = -600.0f;
constexpr f32 kSpoutShininess = 40.0f;
constexpr u32 kDimEmissive = 0x00282828;

// normal-mapped rooms and sculptures
constexpr s32 kFullDetail = 255;
constexpr u32 kRoomSpecular = 0x1E1E1E1E;
constexpr f32 kRoomShininess = 20.0f;
constexpr f32 kRoomDepth = -100.0f;
constexpr f32 kBackRoomScale = 2.0f;
constexpr f32 kBoxHallHeight = 500.0f;
constexpr f32 kBoxHallScale = 4.0f;
constexpr f32 kSculptureParallaxHeight = 0.035f;

// wave floor
constexpr f32 kFloorTileSize = 25.0f;
constexpr u32 kFloorTileCount = 58;
constexpr f32 kFloorTextureRepeat = 10.0f;
constexpr f32 kWaveHeight = 60.0f;
constexpr f32 kWaveSpeed = 300.0f;
constexpr f32 kWaveLength = 10.0f;
constexpr f32 kFloorDepth = -10.0f;

// lights
const SColor kShadowColour(150, 0, 0, 0);
// The rooms and sculptures are fogged. The engine's own default fog (white, 50 to 100 units)
// would bleach everything further than a stride from the camera, so the fog is set to fit this
// world: a dark haze that only swallows what approaches the camera's far plane.
const SColor kFogColour(0, 6, 8, 14);
constexpr f32 kFogStart = 1400.0f;
constexpr f32 kFogEnd = 4000.0f;
constexpr f32 kOrbLightRadius = 600.0f;
constexpr f32 kOrbSize = 50.0f;
constexpr u32 kOrbTint = 0xFFFFFFFF;

struct OrbitLightRecipe {
    SColorf colour;
    f32 radius;
    vector3df centre;
    f32 circleRadius;
    f32 speed;
};
const OrbitLightRecipe kOrbitLightRecipes[kOrbitLights] = {
    {SColorf(0.7f, 0.7f, 0.8f, 1.0f), 2500.0f, vector3df(0, 150, 0), 250.0f, 0.001f},
    {SColorf(0.7f, 0.9f, 0.7f, 1.0f), 2000.0f, vector3df(0, 450, 0), 450.0f, 0.001f},
    {SColorf(0.7f, 0.9f, 0.2f, 0.2f), 2000.0f, vector3df(0, 0, 0), 450.0f, 0.0001f},
};

// particle systems
enum class Affector { FadeOut, Attraction };

struct FountainRecipe {
    f32 scale;
    aabbox3df box;
    vector3df direction;
    u32 ppsMin, ppsMax;
    u32 colourMin, colourMax; // ARGB as stored: the alpha byte is 0
    u32 lifeMin, lifeMax;     // ms
    dimension2df sizeMin, sizeMax;
    bool tallParticles; // start sizes replaced by kTallParticle after the emitter is made
    Affector affector;
    vector3df position;
};

const aabbox3df kFountainBox(-30, 0, -30, 30, 1, 30);
const vector3df kFountainDirection(0, 0.03f, 0);
const dimension2df kSmallParticle(5, 5);
const dimension2df kTallParticle(30, 40);
constexpr s32 kEmitterMaxAngle = 0;
const SColor kFadeTarget(0x00000000);
constexpr u32 kFadeTimeMs = 1000;
const vector3df kAttractionPoint(1000, 1000, 1000);
constexpr f32 kAttractionSpeed = 1.0f;

// One row per particle system, fields in FountainRecipe order.
// clang-format off
const FountainRecipe kFountainRecipe = {
    6.0f, kFountainBox, kFountainDirection, 1200, 2000, 0x00F0FFF0, 0x00FFDC87, 100, 200,
    kSmallParticle, kSmallParticle, true, Affector::FadeOut, kOrigin};
const FountainRecipe kSpectrumFountainRecipe = {
    6.0f, kFountainBox, kFountainDirection, 330, 500, 0x00FFFFFF, 0x00C8C8C8, 800, 2200,
    kSmallParticle, kSmallParticle, true, Affector::FadeOut, kOrigin};
const FountainRecipe kAttractorFountainRecipe = {
    6.0f, kFountainBox, kFountainDirection, 30, 50, 0x00F5ED0A, 0x00FAFAFA, 800, 2200,
    kSmallParticle, kSmallParticle, true, Affector::Attraction, kOrigin};
const FountainRecipe kSnowFieldRecipe = {
    1.0f, aabbox3df(-450, 0, -450, 450, 1, 450), vector3df(0, 0.5f, 0), 300, 400, 0x00C8C8C8,
    0x00AAAAC8, 4000, 8000, dimension2df(30, 30), dimension2df(100, 100), false,
    Affector::FadeOut, vector3df(1, -500, 1)};
// clang-format on

// the scene camera
const vector3df kCameraLookAt(0, 400, 0);

constexpr f32 kRoundaboutScale = 5.0f;

// asset paths
using namespace asset;
const char* const kFloorMeshName = "jumpingBoxesFloor";
const char* const kBrickTextures[] = {kBrickOrange, kBrickYellow};

// ---- building blocks ----

vector3df uniform(f32 s) {
    return vector3df(s, s, s);
}

// The node holds the only reference to an animator once it is attached; a missing node
// simply lets the animator go.
void attach(ISceneNode* node, ISceneNodeAnimator* animator) {
    addAnimator(node, animator);
    if (animator)
        animator->drop();
}

IAnimatedMeshSceneNode* addAnimNode(ISceneManager* smgr, const char* meshPath) {
    return smgr->addAnimatedMeshSceneNode(smgr->getMesh(meshPath), nullptr, -1, kOrigin, kOrigin,
                                          kUnitScale, false);
}

void setAnimation(IAnimatedMeshSceneNode* node, f32 framesPerSecond) {
    if (node)
        node->setAnimationSpeed(framesPerSecond);
}

void setFrameLoop(IAnimatedMeshSceneNode* node, s32 first, s32 last) {
    if (node)
        node->setFrameLoop(first, last);
}

void fillPath(Path& path, const PathPoint* points, u32 count) {
    path.clear();
    path.reallocate(count);
    for (u32 i = 0; i < count; ++i)
        path.push_back(vector3df(points[i].x, points[i].y, points[i].z));
}

// Steps 1 to 3 of the parallax recipe: frame 0 of the model with tangents (the caller drops
// it), and the bump texture turned into a normal map. Null when the model is missing.
IMesh* loadTangentMesh(Show& show, const char* meshPath, const char* bumpPath,
                       ITexture*& normalMap) {
    ISceneManager* smgr = show.engine.smgr;
    IVideoDriver* driver = show.engine.driver;
    IAnimatedMesh* mesh = smgr->getMesh(meshPath);
    if (!mesh)
        return nullptr;
    normalMap = driver->getTexture(bumpPath);
    if (normalMap && !show.world.contentPrepared)
        driver->makeNormalMapTexture(normalMap, kNormalMapAmplitude);
    return smgr->getMeshManipulator()->createMeshWithTangents(mesh->getMesh(0, kFullDetail, -1, -1),
                                                              false, false, false, true);
}

// Steps 4 and 5: a mesh node on the tangent mesh whose second texture layer is the normal map.
IMeshSceneNode* addParallaxNode(ISceneManager* smgr, IMesh* tangentMesh, ITexture* normalMap) {
    IMeshSceneNode* node =
        smgr->addMeshSceneNode(tangentMesh, nullptr, -1, kOrigin, kOrigin, kUnitScale);
    if (node)
        node->setMaterialTexture(1, normalMap);
    return node;
}

// The back room and the box hall share their material: dim specular, fog, parallax.
void roomMaterial(IMeshSceneNode* node) {
    node->getMaterial(0).SpecularColor = SColor(kRoomSpecular);
    node->getMaterial(0).Shininess = kRoomShininess;
    node->getMaterial(0).EmissiveColor = SColor(kDimEmissive);
    node->setMaterialFlag(EMF_FOG_ENABLE, true);
    node->setMaterialType(EMT_PARALLAX_MAP_SOLID);
}

IMeshSceneNode* buildRoom(Show& show, const char* meshPath, const char* bumpPath,
                          const vector3df& place, f32 scale) {
    ITexture* normalMap = nullptr;
    IMesh* tangentMesh = loadTangentMesh(show, meshPath, bumpPath, normalMap);
    if (!tangentMesh)
        return nullptr;
    IMeshSceneNode* node = addParallaxNode(show.engine.smgr, tangentMesh, normalMap);
    if (node) {
        node->setPosition(vector3df(0, kRoomDepth, 0));
        roomMaterial(node);
        node->setPosition(place);
        node->setScale(uniform(scale));
        node->setVisible(false);
    }
    tangentMesh->drop();
    return node;
}

// The inner sculpture and its wireframe twin share one tangent mesh.
void buildSculptures(Show& show) {
    World& world = show.world;
    ITexture* normalMap = nullptr;
    IMesh* tangentMesh = loadTangentMesh(show, kSculptureMesh, kSculptureBump, normalMap);
    if (!tangentMesh)
        return;
    const vector3df hover(0, kSculptureHeight, 0);

    world.innerSculpture = addParallaxNode(show.engine.smgr, tangentMesh, normalMap);
    if (IMeshSceneNode* inner = world.innerSculpture) {
        inner->setPosition(hover);
        inner->getMaterial(0).SpecularColor = SColor(0);
        inner->setMaterialFlag(EMF_FOG_ENABLE, true);
        inner->setMaterialType(EMT_PARALLAX_MAP_SOLID);
        inner->getMaterial(0).MaterialTypeParam = kSculptureParallaxHeight;
        inner->setScale(uniform(kInnerSculptureScale));
        inner->setVisible(true);
    }

    world.wireSculpture = addParallaxNode(show.engine.smgr, tangentMesh, normalMap);
    if (IMeshSceneNode* wire = world.wireSculpture) {
        wire->setPosition(hover);
        wire->getMaterial(0).SpecularColor = SColor(0);
        wire->getMaterial(0).MaterialTypeParam = kSculptureParallaxHeight;
        wire->setScale(uniform(kWireSculptureScale));
        wire->setMaterialType(EMT_TRANSPARENT_ADD_COLOR);
        wire->setMaterialFlag(EMF_WIREFRAME, true);
        wire->setVisible(true);
    }
    tangentMesh->drop();
}

void buildAnimatedModels(Show& show) {
    ISceneManager* smgr = show.engine.smgr;
    World& world = show.world;

    world.circleSculpture = addAnimNode(smgr, kCircleSculptureMesh);
    setPosition(world.circleSculpture, kOrigin);
    setAnimation(world.circleSculpture, kCircleSculptureSpeed);
    setScale(world.circleSculpture, uniform(kCircleSculptureScale));
    setFrameLoop(world.circleSculpture, kCircleSculptureFirstFrame, kCircleSculptureLastFrame);

    world.cubePuzzle = addAnimNode(smgr, kCubePuzzleMesh);
    setPosition(world.cubePuzzle, kOrigin);
    setScale(world.cubePuzzle, uniform(kCubePuzzleScale));
    setAnimation(world.cubePuzzle, kCubePuzzleSpeed);
    setFrameLoop(world.cubePuzzle, kCubePuzzleFirstFrame, kCubePuzzleLastFrame);
    setVisible(world.cubePuzzle, false);

    world.blueBall = addAnimNode(smgr, kBlueBallMesh);
    setPosition(world.blueBall, vector3df(0, kBlueBallDepth, 0));
    setScale(world.blueBall, uniform(kBlueBallScale));
    setAnimation(world.blueBall, kBlueBallSpeed);
    setFrameLoop(world.blueBall, kBlueBallFirstFrame, kBlueBallLastFrame);
    setVisible(world.blueBall, false);

    for (int a = 0; a < kTwirlGridSide; ++a) {
        for (int b = 0; b < kTwirlGridSide; ++b) {
            IAnimatedMeshSceneNode* node = addAnimNode(smgr, kTwirlMesh);
            world.twirlGrid[kTwirlGridSide * a + b] = node;
            setPosition(node, vector3df(kTwirlGridOriginX + kTwirlGridSpacing * a, 0,
                                        kTwirlGridSpacing * b));
            setAnimation(node, kTwirlSpeed);
            setScale(node, uniform(kTwirlScale));
            setVisible(node, false);
        }
    }
}

// Colours come from the show's generator in a fixed order, so the orbs look the same on
// every run; each component is a non-positive tenth, so an orb light darkens what it touches.
void buildLightOrbs(Show& show) {
    ISceneManager* smgr = show.engine.smgr;
    World& world = show.world;
    ITexture* orbTexture = show.engine.driver->getTexture(kOrbTexture);
    for (int i = 0; i < kLightOrbs; ++i) {
        const f32 y = kOrbHeightSpacing * i;
        int draws[kOrbColourDraws];
        for (int& draw : draws)
            draw = orbColourDraw(show.random.next());
        const SColorf colour(draws[3] * kOrbColourStep, draws[2] * kOrbColourStep,
                             draws[1] * kOrbColourStep, draws[0] * kOrbColourStep);

        auto* light =
            smgr->addLightSceneNode(nullptr, vector3df(0, y, 0), colour, kOrbLightRadius, -1);
        attach(light,
               smgr->createFlyCircleAnimator(vector3df(0, y - kOrbCircleDrop, 0), kOrbCircleRadius,
                                             kOrbCircleSpeedStep * i, kUp, 0.0f, 0.0f));
        auto* orb = smgr->addBillboardSceneNode(light, dimension2d<f32>(kOrbSize, kOrbSize),
                                                kOrigin, -1, SColor(kOrbTint), SColor(kOrbTint));
        orb->setMaterialFlag(EMF_LIGHTING, false);
        orb->setMaterialType(EMT_TRANSPARENT_ADD_COLOR);
        orb->setMaterialTexture(0, orbTexture);
        orb->setVisible(false);
        light->setVisible(false);
        world.orbLights[i] = light;
        world.orbs[i] = orb;
    }
}

void buildWaveFloor(Show& show) {
    ISceneManager* smgr = show.engine.smgr;
    IVideoDriver* driver = show.engine.driver;
    IAnimatedMesh* plane = smgr->addHillPlaneMesh(
        kFloorMeshName, dimension2d<f32>(kFloorTileSize, kFloorTileSize),
        dimension2d<u32>(kFloorTileCount, kFloorTileCount), nullptr, 0.0f,
        dimension2d<f32>(0.0f, 0.0f), dimension2d<f32>(kFloorTextureRepeat, kFloorTextureRepeat));
    if (!plane) // a second world on the same scene manager finds the name taken
        plane = smgr->getMesh(kFloorMeshName);
    ISceneNode* floor =
        smgr->addWaterSurfaceSceneNode(plane->getMesh(0), kWaveHeight, kWaveSpeed, kWaveLength,
                                       nullptr, -1, kOrigin, kOrigin, kUnitScale);
    // The node draws its own copy of the plane: that copy's triangles come nearest first.
    IMesh* drawn = static_cast<IMeshSceneNode*>(floor)->getMesh();
    if (drawn && drawn->getMeshBufferCount() > 0)
        attach(floor, drawNearestFirst(drawn->getMeshBuffer(0), plane->getMesh(0)->getMeshBuffer(0),
                                       kFloorTileSize));
    floor->setPosition(vector3df(0, kFloorDepth, 0));
    floor->setMaterialTexture(0, driver->getTexture(kFloorTexture));
    floor->setMaterialTexture(1, driver->getTexture(kBackRoomBump)); // the normal map by now
    floor->setMaterialFlag(EMF_LIGHTING, true);
    floor->setMaterialType(EMT_PARALLAX_MAP_SOLID);
    // The engine picks the parallax shader's fogged or plain variant only when the material
    // type changes, so a floor without its own fog flag would simply look like whichever
    // parallax model happened to be drawn before it. It takes the room's haze on purpose.
    floor->setMaterialFlag(EMF_FOG_ENABLE, true);
    floor->setVisible(false);
    show.world.waveFloor = floor;
}

void buildOrbitLights(Show& show) {
    ISceneManager* smgr = show.engine.smgr;
    for (int k = 0; k < kOrbitLights; ++k) {
        const OrbitLightRecipe& recipe = kOrbitLightRecipes[k];
        auto* light = smgr->addLightSceneNode(nullptr, kOrigin, recipe.colour, recipe.radius);
        light->setID(kOrbitLightFirstId + k);
        attach(light, smgr->createFlyCircleAnimator(recipe.centre, recipe.circleRadius,
                                                    recipe.speed, kUp, 0.0f, 0.0f));
        show.world.orbitLights[k] = light;
    }
}

IParticleSystemSceneNode* buildParticles(Show& show, const FountainRecipe& recipe) {
    ISceneManager* smgr = show.engine.smgr;
    IParticleSystemSceneNode* node =
        smgr->addParticleSystemSceneNode(false, nullptr, -1, kOrigin, kOrigin, kUnitScale);
    node->setScale(uniform(recipe.scale));

    irr::scene::IParticleEmitter* emitter =
        node->createBoxEmitter(recipe.box, recipe.direction, recipe.ppsMin, recipe.ppsMax,
                               SColor(recipe.colourMin), SColor(recipe.colourMax), recipe.lifeMin,
                               recipe.lifeMax, kEmitterMaxAngle, recipe.sizeMin, recipe.sizeMax);
    if (recipe.tallParticles) {
        emitter->setMinStartSize(kTallParticle);
        emitter->setMaxStartSize(kTallParticle);
    }
    node->setEmitter(emitter);
    emitter->drop();

    irr::scene::IParticleAffector* affector =
        recipe.affector == Affector::FadeOut
            ? static_cast<irr::scene::IParticleAffector*>(
                  node->createFadeOutParticleAffector(kFadeTarget, kFadeTimeMs))
            : node->createAttractionAffector(kAttractionPoint, kAttractionSpeed, true, true, true,
                                             true);
    node->addAffector(affector);
    affector->drop();

    node->setMaterialFlag(EMF_LIGHTING, false);
    node->setMaterialFlag(EMF_ZWRITE_ENABLE, false);
    node->setMaterialTexture(0, show.engine.driver->getTexture(kParticleTexture));
    node->setMaterialType(EMT_TRANSPARENT_VERTEX_ALPHA);
    // Every particle colour keeps alpha 0 (both emitter colours, and every affector either
    // fades towards transparent black or leaves colours alone), so vertex-alpha blending
    // leaves the target exactly as it was. Culling both faces lets the rasteriser skip those
    // quads; the systems still emit, move and fade as before.
    node->setMaterialFlag(EMF_BACK_FACE_CULLING, true);
    node->setMaterialFlag(EMF_FRONT_FACE_CULLING, true);
    node->setPosition(recipe.position);
    node->setVisible(false);
    return node;
}

void buildSpout(Show& show) {
    ISceneManager* smgr = show.engine.smgr;
    smgr->getMesh(kSpoutMesh); // the second request returns the cached mesh that is used
    IAnimatedMeshSceneNode* spout = addAnimNode(smgr, kSpoutMesh);
    if (spout) {
        spout->setPosition(vector3df(0, kSpoutDepth, 0));
        spout->getMaterial(0).Shininess = kSpoutShininess;
        spout->getMaterial(0).EmissiveColor = SColor(kDimEmissive);
        spout->setVisible(false);
    }
    show.world.spout = spout;
}

// The finale's offset-map object. Without GPU services or with a failed shader it keeps its
// model's own material: the glass effect then bends the picture by a plain-lit shape.
void buildRoundabout(Show& show) {
    World& world = show.world;
    if (show.engine.gpu && !world.contentPrepared) {
        world.normalColourMaterial = show.engine.gpu->addHighLevelShaderMaterial(
            shader::kNormalColourVertexProgram, "main", EVST_VS_1_1,
            shader::kNormalColourFragmentProgram, "main", EPST_PS_1_1, nullptr, EMT_SOLID, 0);
        if (world.normalColourMaterial < 0)
            std::fprintf(stderr, "[WARN] roundabout shader failed; it keeps its plain look\n");
    }
    world.roundabout = addAnimNode(show.engine.smgr, kRoundaboutMesh);
    if (IAnimatedMeshSceneNode* node = world.roundabout) {
        node->setMaterialFlag(EMF_LIGHTING, true);
        if (world.normalColourMaterial >= 0)
            node->setMaterialType(static_cast<E_MATERIAL_TYPE>(world.normalColourMaterial));
        node->setPosition(kOrigin);
        node->setScale(uniform(kRoundaboutScale));
        node->setVisible(false);
    }
}

} // namespace

void cameraFollowPath(Show& show, const Path& path, f32 speed) {
    ICameraSceneNode* camera = show.world.camera;
    camera->removeAnimators();
    ISceneNodeAnimator* follow = show.engine.smgr->createFollowSplineAnimator(
        static_cast<s32>(show.engine.device->getTimer()->getTime()), path, speed, kPathTightness,
        true, false);
    camera->addAnimator(follow);
    follow->drop();
}

void buildWorld(Show& show) {
    ISceneManager* smgr = show.engine.smgr;
    World& world = show.world;

    show.engine.driver->setFog(kFogColour, irr::video::EFT_FOG_LINEAR, kFogStart, kFogEnd);
    world.solids = addFixedOrderNode(smgr);
    buildAnimatedModels(show);
    smgr->setShadowColor(kShadowColour);
    buildLightOrbs(show);
    world.backRoom =
        buildRoom(show, kBackRoomMesh, kBackRoomBump, vector3df(0, kRoomDepth, 0), kBackRoomScale);
    world.boxHall =
        buildRoom(show, kBoxHallMesh, kBoxHallBump, vector3df(0, kBoxHallHeight, 0), kBoxHallScale);
    buildSculptures(show);

    world.roof = addAnimNode(smgr, kRoofMesh);
    setPosition(world.roof, kOrigin);
    setAnimation(world.roof, kRoofSpeed);
    setScale(world.roof, uniform(kRoofScale));
    setVisible(world.roof, false);

    buildWaveFloor(show);
    buildOrbitLights(show);
    for (auto& fountain : world.fountains)
        fountain = buildParticles(show, kFountainRecipe);
    world.spectrumFountain = buildParticles(show, kSpectrumFountainRecipe);
    world.attractorFountain = buildParticles(show, kAttractorFountainRecipe);

    fillPath(world.pathA, kPathA, sizeof kPathA / sizeof kPathA[0]);
    world.camera = smgr->addCameraSceneNode(nullptr, world.pathA[0], kCameraLookAt, -1);
    world.camera->setFarValue(kCameraFarValue);
    cameraFollowPath(show, world.pathA, kStartPathSpeed);
    world.pathB = cameraPathB();
    fillPath(world.pathC, kPathC, sizeof kPathC / sizeof kPathC[0]);
}

Path cameraPathB() {
    Path path;
    fillPath(path, kPathB, sizeof kPathB / sizeof kPathB[0]);
    return path;
}

void buildLateWorld(Show& show) {
    for (const char* brick : kBrickTextures)
        show.engine.driver->getTexture(brick); // loaded now so no scene loads while the music plays
    buildSpout(show);
    buildRoundabout(show);
    show.world.snowField = buildParticles(show, kSnowFieldRecipe);
    gatherSolids(show.engine.smgr, show.world.solids);
    // The rooms enclose everything else. Drawn after it, the wall and floor hidden behind a
    // model fail the depth test before they are shaded; a room shares no depth with what
    // stands in it, so the picture is the same.
    for (IMeshSceneNode* room : {show.world.backRoom, show.world.boxHall})
        drawAfterTheRest(room, show.world.solids);
}

} // namespace show
