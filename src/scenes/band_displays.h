// What the spectrum drives in more than one scene: the beat measure of a level, the cube
// landscape of the twirl grid and the tile equaliser. Scenes differ only in the layout they
// pass; the comparisons are made in double precision and are strict, as everywhere.
#pragma once

#include "content/band_levels.h"
#include "core/overlay.h"

#include <irrlicht.h>

#include <array>

namespace show {

struct Show;

constexpr double kLandscapeLift = 1000.0;  // level -> cube height
constexpr double kLandscapeFloor = -100.0; // height of a cube over a silent band

// Band k of this frame in beat units (level x level::kLevelScale), in double precision.
double beatLevel(const Show& show, int band);

// Where the 16 x 16 cubes of the landscape stand: column j at origin + spacing*j on x,
// row i at origin + spacing*i on z.
struct LandscapeLayout {
    float origin;
    float spacing;
};

// Cube 16*i + j rises to band (i*j)/2 of the spectrum: the field ripples with the low half.
void spectrumLandscape(Show& show, const LandscapeLayout& layout);

// Tile k of the grid shows while band k is loud; the tiles past the last band are untouched.
void spectrumTiles(const Show& show, const std::array<irr::gui::IGUIImage*, kTiles>& tiles);

// The spectrum fountain takes the three lowest bands as its scale (seen in the next frame).
void scaleSpectrumFountain(Show& show);

} // namespace show
