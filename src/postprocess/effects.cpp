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

void sceneInto(ISceneManager* smgr, ITexture* target) {
    selectTarget(smgr->getVideoDriver(), target);
    smgr->drawAll();
}

void passInto(ISceneManager* smgr, ISceneNode* node, ITexture* target) {
    selectTarget(smgr->getVideoDriver(), target);
    node->render();
}

// The last pass covers every pixel of the frame buffer and ignores depth, so the frame
// buffer is selected without clearing it: a clear here would only be painted over.
void passOntoScreen(ISceneManager* smgr, ISceneNode* node) {
    smgr->getVideoDriver()->setRenderTarget(nullptr, false, false);
    node->render();
}

// A sequence whose node cannot draw still shows the scene, on a frame buffer cleared first:
// the frame did not clear it (see beginEffectFrame).
void fallBackToDirect(ISceneManager* smgr) {
    selectTarget(smgr->getVideoDriver(), nullptr);
    smgr->drawAll();
}

void setVisible(ISceneNode* node, bool visible) {
    if (node) {
        node->setVisible(visible);
    }
}

// Scene into the node's input, the node onto the screen.
void renderThroughSinglePass(SinglePassNode* node, ISceneManager* smgr) {
    if (!hasInput(node)) {
        fallBackToDirect(smgr);
        return;
    }
    sceneInto(smgr, node->RenderTarget);
    passOntoScreen(smgr, node);
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

void beginEffectFrame(irr::video::IVideoDriver* driver) {
    driver->beginScene(false, false);
}

void renderDirect(ISceneManager* smgr) {
    smgr->drawAll();
}

void renderThroughBlurPair(const Effects& effects, ISceneManager* smgr) {
    if (!hasInput(effects.firstBlur) || !hasInput(effects.secondBlur)) {
        fallBackToDirect(smgr);
        return;
    }
    sceneInto(smgr, effects.firstBlur->RenderTarget);
    passInto(smgr, effects.firstBlur, effects.secondBlur->RenderTarget);
    passOntoScreen(smgr, effects.secondBlur);
}

void renderThroughBloom(const Effects& effects, ISceneManager* smgr) {
    renderThroughSinglePass(effects.bloom, smgr);
}

void renderThroughInvert(const Effects& effects, ISceneManager* smgr) {
    renderThroughSinglePass(effects.invert, smgr);
}

void renderGlass(const Effects& effects, ISceneManager* smgr, ISceneNode* picture,
                 ISceneNode* offsetMap) {
    IPostProcessGlass* glass = effects.glass;
    if (!hasInput(glass) || !glass->OffsetTarget) {
        setVisible(picture, true);
        setVisible(offsetMap, false);
        fallBackToDirect(smgr);
        return;
    }
    selectTarget(smgr->getVideoDriver(), glass->RenderTarget);
    setVisible(picture, true);
    setVisible(offsetMap, false);
    smgr->drawAll();

    setVisible(offsetMap, true);
    setVisible(picture, false);
    sceneInto(smgr, glass->OffsetTarget);

    passOntoScreen(smgr, glass);
}

} // namespace show
