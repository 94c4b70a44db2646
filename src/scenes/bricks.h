// The brick every physics scene drops: one size, one mass, landing on a 100 x 100 patch
// shifted toward the negative axes. Scenes keep their own draw order from the show's
// generator (it is part of the look: the same sequence lands the same bricks).
#pragma once

namespace show {

struct Show;

constexpr int kBrickSpread = 100; // offsets are drawn below this
constexpr int kBrickShift = 5;    // and moved this far toward the negative axes

// One draw of a brick offset from the show's generator.
int drawBrickOffset(Show& show);
// Drops a brick at (across - shift, height, depth - shift).
void dropBrick(Show& show, int across, double height, int depth);

} // namespace show
