// Scene 3: the rippling cube landscape under the blur pair.
#pragma once

#include "scenes/scene_row.h"

namespace show {

void describeLandscape(SceneRow* rows); // scene 3

} // namespace show
