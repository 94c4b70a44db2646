// Scenes 1 and 2: the logo and the title over a dotted spectrum along the bottom edge.
#pragma once

#include "core/frequency_bands.h"
#include "core/overlay.h"
#include "scenes/scene_row.h"

#include <array>
#include <cstdint>

namespace show {

// The dotted spectrum rows: each dot is moved by the difference between its new lift and the
// one last applied, so the rows need only the last lifts to stand on the base line again.
struct OpeningState {
    std::array<int32_t, kRowDots> rowOffsets{};
};

void describeOpening(SceneRow* rows); // scenes 1 and 2

// Pixels a level lifts its dot: the product is made in double, rounded to float, truncated.
int32_t rowLift(float level);
// One frame of the dotted spectrum curve on a row of dots.
void spectrumRowDisplay(OpeningState& state, const std::array<float, kSpectrumBands>& spectrum,
                        const std::array<irr::gui::IGUIImage*, kRowDots>& row);

} // namespace show
