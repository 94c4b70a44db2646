// Solid models drawn in a fixed order.
//
// The engine draws solid nodes sorted by the address of their first texture. Those addresses
// change from run to run, and with them the order; where two surfaces meet at equal depth
// (bricks sinking into each other or into the spout's basin, the spout's stem through the
// blue ball) the later one wins, so two renderings of one frame could differ there. Models
// gathered under a fixed-order node are drawn by it, in the order they joined it, as one
// solid of its own.
#pragma once

#include <irrlicht.h>

namespace show {

// A node at the root that draws its mesh-node children itself, in their order. Children it
// cannot draw that way (transparent materials, lights, billboards, particles) register with
// the engine as they would anywhere else.
irr::scene::ISceneNode* addFixedOrderNode(irr::scene::ISceneManager* smgr);

// Moves every mesh node that hangs at the root under `to`, keeping their order (the order
// they were made in).
void gatherSolids(irr::scene::ISceneManager* smgr, irr::scene::ISceneNode* to);

// Moves `node` (when it is one of `solids`' children) to the end of their order.
void drawAfterTheRest(irr::scene::ISceneNode* node, irr::scene::ISceneNode* solids);

} // namespace show
