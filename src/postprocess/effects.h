// The seven post-process nodes the show keeps for its whole run, and the render sequences
// the scenes draw with. A pass order is written here once; scenes only pick a sequence.
//
// Every sequence runs between the frame's beginScene and its GUI draw and endScene, which the
// timeline does. Every switch to a node's target clears
// colour and depth to transparent black; the frame buffer is selected for the last pass
// without a clear, since that pass paints all of it. Every sequence ends with the frame
// buffer selected. A node that is missing or has no render target (the null device) leaves
// its sequence drawing the scene directly, so the show goes on unprocessed.
#pragma once

#include <irrlicht.h>

namespace show {

class IPostProcessMotionBlur;
class IPostProcessBlur;
class IPostProcessInvert;
class IPostProcessGlass;
class IPostProcessColor;
class IPostProcessBloom;

// The effect parameters, set once at start-up and never changed by the show.
constexpr irr::s32 kEffectNodeId = 666;
constexpr irr::u32 kEffectTargetWidth = 1024; // every node but the blur pair and motion blur
constexpr irr::u32 kEffectTargetHeight = 512;
constexpr irr::f32 kMotionBlurStrength = 0.8f;
constexpr irr::f32 kBlurSampleDist = 0.008f;
constexpr irr::f32 kGlassStrength = 0.0505f;
constexpr irr::f32 kColorSaturation = 4.0f;
constexpr irr::f32 kColorColoringStrength = 5.0f;
constexpr irr::f32 kColorColoring[4] = {0.0f, 255.0f, 128.0f, 0.0f}; // red, green, blue, alpha
constexpr irr::f32 kBloomSampleDist = 0.008f;
constexpr irr::f32 kBloomStrength = 5.0f;
constexpr irr::f32 kBloomMultiplier = 9.0f;

struct Effects {
    irr::ITimer* timer = nullptr; // the engine timer the scene graph animates on

    IPostProcessMotionBlur* motionBlur = nullptr;
    IPostProcessBlur* firstBlur = nullptr;
    IPostProcessBlur* secondBlur = nullptr;
    IPostProcessInvert* invert = nullptr;
    IPostProcessGlass* glass = nullptr;
    IPostProcessColor* color = nullptr;
    IPostProcessBloom* bloom = nullptr;
};

// One frame's drawing, as the timeline hands it to a scene.
struct FrameDraw {
    const Effects& effects;
    irr::scene::ISceneManager* smgr;
    // False while the show skips frames: a sequence then runs only what changes the show's
    // state (the scene graph's animation and its particle systems' emission), once for every
    // scene draw it would make and with the same nodes shown, and nothing reaches the GPU.
    bool drawn;
};

// Creates the seven nodes in their fixed order under the scene manager's root (which owns
// them), id kEffectNodeId. screenWidth is the width chosen at start-up; the blur pair and
// motion blur are screenWidth x screenWidth/2, the others 1024 x 512.
void createEffects(Effects& effects, irr::scene::ISceneManager* smgr, irr::s32 screenWidth);

// The depth bits of the effects' render targets, the shallowest of them; 0 on the null device.
int effectTargetDepthBits(const Effects& effects, irr::video::IVideoDriver* driver);

// The sequences below but renderDirect paint every pixel of the frame buffer, or clear it
// first when they fall back to drawing the scene directly, so their frames start without a
// clear of their own (FrameStart::Painted): the first render-target switch would only have
// made the rasteriser clear the frame buffer for nothing.

// Scene graph straight into the frame buffer.
void renderDirect(const FrameDraw& frame);
// What ISceneManager::drawAll changes in the show's state, without drawing: the animators
// and animated meshes step to the engine timer's time, and every particle system that drawAll
// would reach emits and ages its particles.
void animateWithoutDrawing(irr::scene::ISceneManager* smgr, irr::u32 timeMs);
// Scene into the first blur, first blur into the second, second blur onto the screen.
void renderThroughBlurPair(const FrameDraw& frame);
// Scene into the bloom node, bloom onto the screen.
void renderThroughBloom(const FrameDraw& frame);
// Scene into the invert node, invert onto the screen.
void renderThroughInvert(const FrameDraw& frame);
// The glass sequence: picture into the glass node's scene target, offset-map node into its
// offset target, glass onto the screen. Either node may be null (it is then simply absent).
void renderGlass(const FrameDraw& frame, irr::scene::ISceneNode* picture,
                 irr::scene::ISceneNode* offsetMap);

} // namespace show
