// The spectrum levels the scenes react to. The scenes compare a band's beat measure (its
// level times kLevelScale, formed in double precision) strictly above these; the music's
// report reads the same numbers to say how often each scene will react, so a change here
// is seen by both.
#pragma once

#include <cstdint>

namespace show::level {

constexpr double kLevelScale = 100.0;    // a level times this is the scenes' beat measure
constexpr double kTileLoud = 3.0;        // a band whose measure is above this lights its tile
constexpr double kBassFlashAbove = 35.0; // the first band's measure that flashes the snow scene
// The finale's fade to black begins this many samples before the end mark.
constexpr uint32_t kFadeLeadSamples = 100000;
constexpr double kRowLift = 100000.0; // spectrum level -> pixels a row dot rises

} // namespace show::level
