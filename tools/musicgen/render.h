// Turns a score into stereo samples: every note through its instrument, the kick's
// side-chain ducking, reverb and delay sends, and the master: equaliser, a saturator for the
// kicks' first cycles and a look-ahead limiter.
#pragma once

#include <cstdint>
#include <vector>

#include "master.h"
#include "score.h"

namespace musicgen {

struct Audio {
    std::vector<float> left, right;
    MasterStats master;
    int64_t frames() const { return int64_t(left.size()); }
};

// Renders the window [from, from + length) of the score. A window that starts inside the
// track begins with the effects cold; the samples themselves match the full render's
// notes but not its reverb and delay tails.
Audio renderScore(const Score& score, int64_t from, int64_t length);

// Linear fades over `seconds` at both ends, for an excerpt cut out of the track.
void fadeEdges(Audio& audio, double seconds);

} // namespace musicgen
