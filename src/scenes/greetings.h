// Scenes 10 to 19: one greeting card per cut.
#pragma once

#include "scenes/scene_row.h"

#include <cstdint>

namespace show {

struct Overlay;

struct GreetingsState {
    int card = 0; // the card on screen, as an index into the run's card table
    // The card drifts down a pixel per step until it has drifted all the way.
    int32_t slideCount = 0;
    long slideClock = 0;
};

void describeGreetings(SceneRow* rows); // scenes 10 to 19
// Takes the end card off the screen (the finale's hand-over).
void hideEndCard(Overlay& overlay);

} // namespace show
