// The ten models of the show, built as rigid parts with matrix-key animation.
#pragma once

#include "archive.h"
#include "xfile.h"

namespace assetgen {

// Frame ranges the scenes play; each loop's last frame repeats its first pose.
namespace frames {
constexpr int kCircleLoopEnd = 100; // circle sculpture plays 1..100
constexpr int kPuzzleStillEnd = 2;  // cube puzzle holds still on 1..2
constexpr int kPuzzleLoopEnd = 730; // then plays 1..730
constexpr int kBallLoopEnd = 100;   // blue ball plays 1..100
constexpr int kTwirlLoopEnd = 60;   // twirl plays its whole range 0..60
constexpr int kRoofLoopEnd = 60;
// Keys run one frame past a loop's end so the engine's frame count covers the end frame.
constexpr int kTail = 1;
} // namespace frames

Model circleSculpture();
Model cubePuzzle();
Model blueBall();
Model twirl();
Model spout();
Model livingRoof();
Model backRoom();
Model boxHall();
Model endlessKnot();
Model roundabout();

void addModels(Entries& out);

} // namespace assetgen
