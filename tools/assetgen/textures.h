// Surface textures: the brick and particle textures the scenes name, the bump maps the
// rooms and sculptures turn into normal maps, and the textures the models name.
#pragma once

#include "archive.h"

namespace assetgen {

// Paths of the textures the models name (kept here so models and textures agree).
namespace tex {
inline const char* const kRing = "models/cm_ring.jpg";
inline const char* const kPuzzleTile = "models/puzzle_tile.jpg";
inline const char* const kTwirlPlate = "models/twirl_plate.jpg";
inline const char* const kBallFacet = "models/blueball_facet.jpg";
inline const char* const kSpoutStone = "models/spout_stone.jpg";
inline const char* const kHallPanels = "models/hall_panels.jpg";
inline const char* const kKnotMetal = "models/knot_metal.jpg";
inline const char* const kRoundabout = "models/roundabout_rim.jpg";
inline const char* const kRoofTile = "models/roof_tile.jpg";
} // namespace tex

void addTextures(Entries& out);

} // namespace assetgen
