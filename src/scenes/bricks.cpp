#include "scenes/bricks.h"

#include "scenes/show.h"

namespace show {

int drawBrickOffset(Show& show) {
    return show.random.below(kBrickSpread);
}

void dropBrick(Show& show, int across, double height, int depth) {
    createBox(
        show.physics,
        btVector3(btScalar(across - kBrickShift), btScalar(height), btScalar(depth - kBrickShift)),
        irr::core::vector3df(kBrickEdge, kBrickEdge, kBrickEdge), kBrickMass);
}

} // namespace show
