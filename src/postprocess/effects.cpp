// The seven effect nodes and the render sequences the scenes draw with: each pass order is
// written here once.
#include "postprocess/effects.h"

#include "postprocess/post_process_nodes.h"

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

void drawScene(const Effects& effects, ISceneManager* smgr) {
    if (effects.drawing)
        smgr->drawAll();
    else
        animateWithoutDrawing(smgr, effects.timer ? effects.timer->getTime() : 0);
}

void sceneInto(const Effects& effects, ISceneManager* smgr, ITexture* target) {
    if (effects.drawing)
        selectTarget(smgr->getVideoDriver(), target);
    drawScene(effects, smgr);
}

// A pass paints every pixel of its target and ignores depth, so the target is selected
// without clearing it: a clear would only be painted over.
void passInto(const Effects& effects, ISceneManager* smgr, ISceneNode* node, ITexture* target) {
    if (!effects.drawing)
        return;
    smgr->getVideoDriver()->setRenderTarget(target, false, false);
    node->render();
}

void passOntoScreen(const Effects& effects, ISceneManager* smgr, ISceneNode* node) {
    passInto(effects, smgr, node, nullptr);
}

// A sequence whose node cannot draw still shows the scene, on a frame buffer cleared first:
// the frame did not clear it (see beginEffectFrame).
void fallBackToDirect(const Effects& effects, ISceneManager* smgr) {
    if (effects.drawing)
        selectTarget(smgr->getVideoDriver(), nullptr);
    drawScene(effects, smgr);
}

void setVisible(ISceneNode* node, bool visible) {
    if (node) {
        node->setVisible(visible);
    }
}

// Scene into the node's input, the node onto the screen.
void renderThroughSinglePass(const Effects& effects, SinglePassNode* node, ISceneManager* smgr) {
    if (!hasInput(node)) {
        fallBackToDirect(effects, smgr);
        return;
    }
    sceneInto(effects, smgr, node->RenderTarget);
    passOntoScreen(effects, smgr, node);
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

void beginScene(const Effects& effects, irr::video::IVideoDriver* driver,
                irr::video::SColor clear) {
    if (effects.drawing)
        driver->beginScene(true, true, clear);
}

void beginEffectFrame(const Effects& effects, irr::video::IVideoDriver* driver) {
    if (effects.drawing)
        driver->beginScene(false, false);
}

void animateWithoutDrawing(ISceneManager* smgr, irr::u32 timeMs) {
    ISceneNode* root = smgr->getRootSceneNode();
    root->OnAnimate(timeMs);
    emitParticles(root);
}

void renderDirect(const Effects& effects, ISceneManager* smgr) {
    drawScene(effects, smgr);
}

void renderThroughBlurPair(const Effects& effects, ISceneManager* smgr) {
    if (!hasInput(effects.firstBlur) || !hasInput(effects.secondBlur)) {
        fallBackToDirect(effects, smgr);
        return;
    }
    sceneInto(effects, smgr, effects.firstBlur->RenderTarget);
    passInto(effects, smgr, effects.firstBlur, effects.secondBlur->RenderTarget);
    passOntoScreen(effects, smgr, effects.secondBlur);
}

void renderThroughBloom(const Effects& effects, ISceneManager* smgr) {
    renderThroughSinglePass(effects, effects.bloom, smgr);
}

void renderThroughInvert(const Effects& effects, ISceneManager* smgr) {
    renderThroughSinglePass(effects, effects.invert, smgr);
}

void renderGlass(const Effects& effects, ISceneManager* smgr, ISceneNode* picture,
                 ISceneNode* offsetMap) {
    IPostProcessGlass* glass = effects.glass;
    if (!hasInput(glass) || !glass->OffsetTarget) {
        setVisible(picture, true);
        setVisible(offsetMap, false);
        fallBackToDirect(effects, smgr);
        return;
    }
    if (effects.drawing)
        selectTarget(smgr->getVideoDriver(), glass->RenderTarget);
    setVisible(picture, true);
    setVisible(offsetMap, false);
    drawScene(effects, smgr);

    setVisible(offsetMap, true);
    setVisible(picture, false);
    sceneInto(effects, smgr, glass->OffsetTarget);

    passOntoScreen(effects, smgr, glass);
}

} // namespace show
