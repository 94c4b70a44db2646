// The seven effect nodes and the render sequences the scenes draw with: each pass order is
// written here once.
#include "postprocess/effects.h"

#include "postprocess/post_process_nodes.h"

#include <algorithm>

namespace show {

using irr::scene::ISceneManager;
using irr::scene::ISceneNode;
using irr::video::ITexture;

namespace {

// Allocates a node under the root; the root's reference is the one that keeps it.
template <class Node> Node* addEffectNode(ISceneManager* smgr) {
    Node* node = new Node(smgr->getRootSceneNode(), smgr, kEffectNodeId);
    node->drop();
    return node;
}

bool hasInput(const SinglePassNode* node) {
    return node && node->RenderTarget;
}

// The registration walk of drawAll: a node's children are reached only while it is shown.
// A particle system emits and ages its particles when reached, shown or not; hidden for the
// call, it registers nothing to draw.
void emitParticles(ISceneNode* node) {
    if (node->getType() == irr::scene::ESNT_PARTICLE_SYSTEM) {
        const bool shown = node->isVisible();
        node->setVisible(false);
        node->OnRegisterSceneNode();
        node->setVisible(shown);
    }
    if (!node->isVisible())
        return;
    for (ISceneNode* child : node->getChildren())
        emitParticles(child);
}

void drawScene(const FrameDraw& frame) {
    if (frame.drawn)
        frame.smgr->drawAll();
    else
        animateWithoutDrawing(frame.smgr, frame.effects.timer ? frame.effects.timer->getTime() : 0);
}

void sceneInto(const FrameDraw& frame, ITexture* target) {
    if (frame.drawn)
        selectTarget(frame.smgr->getVideoDriver(), target);
    drawScene(frame);
}

// A pass paints every pixel of its target and ignores depth, so the target is selected
// without clearing it: a clear would only be painted over.
void passInto(const FrameDraw& frame, ISceneNode* node, ITexture* target) {
    if (!frame.drawn)
        return;
    frame.smgr->getVideoDriver()->setRenderTarget(target, false, false);
    node->render();
}

void passOntoScreen(const FrameDraw& frame, ISceneNode* node) {
    passInto(frame, node, nullptr);
}

// A sequence whose node cannot draw still shows the scene, on a frame buffer cleared first:
// the frame did not clear it (see FrameStart::Painted).
void fallBackToDirect(const FrameDraw& frame) {
    if (frame.drawn)
        selectTarget(frame.smgr->getVideoDriver(), nullptr);
    drawScene(frame);
}

void setVisible(ISceneNode* node, bool visible) {
    if (node) {
        node->setVisible(visible);
    }
}

// Scene into the node's input, the node onto the screen.
void renderThroughSinglePass(const FrameDraw& frame, SinglePassNode* node) {
    if (!hasInput(node)) {
        fallBackToDirect(frame);
        return;
    }
    sceneInto(frame, node->RenderTarget);
    passOntoScreen(frame, node);
}

} // namespace

void createEffects(Effects& effects, ISceneManager* smgr, irr::s32 screenWidth) {
    const irr::s32 halfWidth = screenWidth / 2;
    const irr::s32 fixedWidth = kEffectTargetWidth;
    const irr::s32 fixedHeight = kEffectTargetHeight;

    effects.motionBlur = addEffectNode<IPostProcessMotionBlur>(smgr);
    effects.motionBlur->initialize(screenWidth, halfWidth, kMotionBlurStrength, smgr);

    effects.firstBlur = addEffectNode<IPostProcessBlur>(smgr);
    effects.firstBlur->initialize(screenWidth, halfWidth, kBlurSampleDist, smgr);

    effects.secondBlur = addEffectNode<IPostProcessBlur>(smgr);
    effects.secondBlur->initialize(screenWidth, halfWidth, kBlurSampleDist, smgr);

    effects.invert = addEffectNode<IPostProcessInvert>(smgr);
    effects.invert->initialize(fixedWidth, fixedHeight, smgr);

    effects.glass = addEffectNode<IPostProcessGlass>(smgr);
    effects.glass->initialize(fixedWidth, fixedHeight, kGlassStrength, smgr);

    effects.color = addEffectNode<IPostProcessColor>(smgr);
    effects.color->initialize(fixedWidth, fixedHeight, kColorSaturation, kColorColoringStrength,
                              kColorColoring[0], kColorColoring[1], kColorColoring[2],
                              kColorColoring[3], smgr);

    effects.bloom = addEffectNode<IPostProcessBloom>(smgr);
    effects.bloom->initialize(fixedWidth, fixedHeight, kBloomSampleDist, kBloomStrength,
                              kBloomMultiplier, smgr);
}

int effectTargetDepthBits(const Effects& effects, irr::video::IVideoDriver* driver) {
    if (!effects.firstBlur || !effects.bloom)
        return 0;
    // Targets of one size share one depth buffer: the blur pair's size and the fixed one.
    return std::min(targetDepthBits(driver, effects.firstBlur->RenderTarget),
                    targetDepthBits(driver, effects.bloom->RenderTarget));
}

void animateWithoutDrawing(ISceneManager* smgr, irr::u32 timeMs) {
    ISceneNode* root = smgr->getRootSceneNode();
    root->OnAnimate(timeMs);
    emitParticles(root);
}

void renderDirect(const FrameDraw& frame) {
    drawScene(frame);
}

void renderThroughBlurPair(const FrameDraw& frame) {
    const Effects& effects = frame.effects;
    if (!hasInput(effects.firstBlur) || !hasInput(effects.secondBlur)) {
        fallBackToDirect(frame);
        return;
    }
    sceneInto(frame, effects.firstBlur->RenderTarget);
    passInto(frame, effects.firstBlur, effects.secondBlur->RenderTarget);
    passOntoScreen(frame, effects.secondBlur);
}

void renderThroughBloom(const FrameDraw& frame) {
    renderThroughSinglePass(frame, frame.effects.bloom);
}

void renderThroughInvert(const FrameDraw& frame) {
    renderThroughSinglePass(frame, frame.effects.invert);
}

void renderGlass(const FrameDraw& frame, ISceneNode* picture, ISceneNode* offsetMap) {
    IPostProcessGlass* glass = frame.effects.glass;
    if (!hasInput(glass) || !glass->OffsetTarget) {
        setVisible(picture, true);
        setVisible(offsetMap, false);
        fallBackToDirect(frame);
        return;
    }
    if (frame.drawn)
        selectTarget(frame.smgr->getVideoDriver(), glass->RenderTarget);
    setVisible(picture, true);
    setVisible(offsetMap, false);
    drawScene(frame);

    setVisible(offsetMap, true);
    setVisible(picture, false);
    sceneInto(frame, glass->OffsetTarget);

    passOntoScreen(frame, glass);
}

} // namespace show
