// Scene 7: the cube puzzle over the equaliser.
#pragma once

#include "scenes/scene_row.h"

namespace show {

void describePuzzle(SceneRow* rows); // scene 7

} // namespace show
