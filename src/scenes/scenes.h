// Each scene unit fills in the rows of the scenes it plays: its hand-over block and its
// per-frame steps. rows[0] is scene 1.
#pragma once

#include "scenes/scene_row.h"

namespace show {

void describeOpening(SceneRow* rows);      // scenes 1 and 2
void describeLandscape(SceneRow* rows);    // scene 3
void describeFountainRoom(SceneRow* rows); // scene 4
void describeCredits(SceneRow* rows);      // scenes 5 and 6
void describePuzzle(SceneRow* rows);       // scene 7
void describeOrbs(SceneRow* rows);         // scenes 8 and 9
void describeGreetings(SceneRow* rows);    // scenes 10 to 19
void describeFinale(SceneRow* rows);       // scene 20

} // namespace show
