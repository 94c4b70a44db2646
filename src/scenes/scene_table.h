// The twenty scenes in play order, each bound to its interval of the music.
#pragma once

#include "content/scene_starts.h"
#include "scenes/scene_row.h"

#include <vector>

namespace show {

std::vector<SceneRow> showScenes(uint32_t endMark);

} // namespace show
