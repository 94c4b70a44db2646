// Null-safe node helpers: a model missing from the archive leaves its node null, and every
// use of it is then skipped instead of crashing the show.
#pragma once

#include <irrlicht.h>

namespace show {

inline void setVisible(irr::scene::ISceneNode* node, bool on) {
    if (node)
        node->setVisible(on);
}
inline void setPosition(irr::scene::ISceneNode* node, const irr::core::vector3df& at) {
    if (node)
        node->setPosition(at);
}
inline void setScale(irr::scene::ISceneNode* node, const irr::core::vector3df& scale) {
    if (node)
        node->setScale(scale);
}
inline void setRotation(irr::scene::ISceneNode* node, const irr::core::vector3df& rotation) {
    if (node)
        node->setRotation(rotation);
}
inline void removeAnimators(irr::scene::ISceneNode* node) {
    if (node)
        node->removeAnimators();
}
inline void addAnimator(irr::scene::ISceneNode* node, irr::scene::ISceneNodeAnimator* animator) {
    if (node && animator)
        node->addAnimator(animator);
}

} // namespace show
