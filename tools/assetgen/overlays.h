// The 2D overlay: cards, credits, greetings, progress steps, frame and spectrum tiles,
// all set in the show's own pixel face. Each image is drawn at (0,0) at its own size.
#pragma once

#include "archive.h"

namespace assetgen {

void addOverlays(Entries& out);
void addFont(Entries& out);

} // namespace assetgen
