// Surface textures: the brick and particle textures the scenes name, the bump maps the
// rooms and sculptures turn into normal maps, and the textures the models name.
#pragma once

#include "archive.h"

namespace assetgen {

// Paths of the textures the models name (kept here so models and textures agree).
namespace tex {
// One row of bevelled plates in the palette colours; parts pick a plate by UV, so their
// colour survives lights bright enough to saturate any vertex colour.
inline const char* const kPaletteTiles = "models/palette_tiles.jpg";
inline const char* const kBallFacet = "models/blueball_facet.jpg";
inline const char* const kSpoutStone = "models/spout_stone.jpg";
inline const char* const kHallPanels = "models/hall_panels.jpg";
inline const char* const kKnotMetal = "models/knot_metal.jpg";
inline const char* const kRoundabout = "models/roundabout_rim.jpg";
} // namespace tex

// Plates of the palette texture, left to right.
enum class Tile { Night, Brick, Amber, Ice, Steel, Cyan, Ember, White, Count };

void addTextures(Entries& out);

} // namespace assetgen
