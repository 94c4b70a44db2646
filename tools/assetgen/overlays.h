// The 2D overlay: cards, credits, greetings, progress steps, frame and spectrum tiles,
// all set in the show's own pixel face. Each image is drawn at (0,0) at its own size.
#pragma once

#include "archive.h"

#include <string>
#include <vector>

namespace assetgen {

// The nine greeted groups, in the order the greetings run shows them.
const std::vector<std::string>& greetedGroups();
// The step images the show loads (progress out of look::kSteps).
const std::vector<int>& stepNumbers();

void addOverlays(Entries& out);
void addFont(Entries& out);

} // namespace assetgen
