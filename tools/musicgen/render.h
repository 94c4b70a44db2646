// Turns a score into stereo samples: every note through its instrument, the kick's
// side-chain ducking, reverb and delay sends, and a look-ahead limiter on the master.
#pragma once

#include <cstdint>
#include <vector>

#include "score.h"

namespace musicgen {

struct Audio {
    std::vector<float> left, right;
    int64_t frames() const { return int64_t(left.size()); }
};

// Renders the window [from, from + length) of the score. A window that starts inside the
// track begins with the effects cold; the samples themselves match the full render's
// notes but not its reverb and delay tails.
Audio renderScore(const Score& score, int64_t from, int64_t length);

// Linear fades over `seconds` at both ends, for an excerpt cut out of the track.
void fadeEdges(Audio& audio, double seconds);

} // namespace musicgen
