// The wave floor drawn nearest first. The camera always hovers over the middle of the floor,
// so its triangles drawn from the middle outwards come roughly nearest first, and the depth
// test turns away the spikes that nearer ones hide before they are shaded.
//
// The order is not free, though: every frame the engine's water surface gives each corner the
// normal of the last triangle that lists it, so a new order alone would light the floor
// differently. The floor therefore carries an animator that, after the engine's own pass,
// gives every corner the normal of the triangle that lists it last in the plane's own order:
// the picture stays the one the plane draws row by row.
#pragma once

#include <irrlicht.h>

namespace show {

// Reorders drawn's triangles (a copy of rowOrder's) from the middle outwards, ring of tiles by
// ring of tiles, and returns an animator (one reference, the caller's) that keeps the normals
// rowOrder's triangle order gives. Attach it to the mesh node that draws drawn. Null, with
// drawn unchanged, when the two buffers are not such a pair of 16-bit triangle lists.
irr::scene::ISceneNodeAnimator* drawNearestFirst(irr::scene::IMeshBuffer* drawn,
                                                 const irr::scene::IMeshBuffer* rowOrder,
                                                 irr::f32 tileSize);

} // namespace show
