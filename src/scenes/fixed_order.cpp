#include "scenes/fixed_order.h"

namespace show {

using irr::scene::ISceneNode;

namespace {

bool isMeshNode(const ISceneNode* node) {
    switch (node->getType()) {
    case irr::scene::ESNT_MESH:
    case irr::scene::ESNT_ANIMATED_MESH:
    case irr::scene::ESNT_CUBE:
    case irr::scene::ESNT_SPHERE:
    case irr::scene::ESNT_WATER_SURFACE:
        return true;
    default:
        return false;
    }
}

class FixedOrderNode : public ISceneNode {
  public:
    FixedOrderNode(ISceneNode* parent, irr::scene::ISceneManager* smgr) : ISceneNode(parent, smgr) {
        setAutomaticCulling(irr::scene::EAC_OFF);
    }

    void OnRegisterSceneNode() override {
        if (!IsVisible)
            return;
        SceneManager->registerNodeForRendering(this, irr::scene::ESNRP_SOLID);
        for (ISceneNode* child : Children) {
            if (!child->isVisible())
                continue;
            if (drawnHere(child)) {
                for (ISceneNode* grandchild : child->getChildren())
                    grandchild->OnRegisterSceneNode();
            } else {
                child->OnRegisterSceneNode();
            }
        }
    }

    void render() override {
        for (ISceneNode* child : Children)
            if (child->isVisible() && drawnHere(child) && !SceneManager->isCulled(child))
                child->render();
    }

    const irr::core::aabbox3d<irr::f32>& getBoundingBox() const override { return box; }

  private:
    // A mesh node whose materials are all solid draws everything it has in the solid pass;
    // one with a transparent material also needs the engine's transparent pass, sorted by
    // distance, which is stable from run to run anyway.
    bool drawnHere(ISceneNode* child) const {
        if (!isMeshNode(child))
            return false;
        irr::video::IVideoDriver* driver = SceneManager->getVideoDriver();
        for (irr::u32 i = 0; i < child->getMaterialCount(); ++i) {
            irr::video::IMaterialRenderer* renderer =
                driver->getMaterialRenderer(child->getMaterial(i).MaterialType);
            if (renderer && renderer->isTransparent())
                return false;
        }
        return true;
    }

    irr::core::aabbox3d<irr::f32> box;
};

} // namespace

ISceneNode* addFixedOrderNode(irr::scene::ISceneManager* smgr) {
    ISceneNode* node = new FixedOrderNode(smgr->getRootSceneNode(), smgr);
    node->drop(); // the scene graph holds it
    return node;
}

void gatherSolids(irr::scene::ISceneManager* smgr, ISceneNode* to) {
    ISceneNode* root = smgr->getRootSceneNode();
    const irr::core::list<ISceneNode*> children = root->getChildren(); // a copy: we move them
    for (ISceneNode* child : children)
        if (isMeshNode(child))
            child->setParent(to);
}

void drawAfterTheRest(ISceneNode* node, ISceneNode* solids) {
    if (node && solids && node->getParent() == solids)
        node->setParent(solids); // leaves the children and joins them again, at the end
}

} // namespace show
