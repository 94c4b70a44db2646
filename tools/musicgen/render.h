// Turns a score into stereo samples: every note through its instrument, the kick's
// side-chain ducking, reverb and delay sends, and the master: equaliser, a saturator for the
// kicks' first cycles and a look-ahead limiter.
#pragma once

#include <cstdint>
#include <vector>

#include "score.h"

namespace musicgen {

// What the master did: samples the saturator bent (both channels counted), the longest run of
// bent samples in one channel, samples clipped after the limiter (its gain ramps should leave
// none), and the limiter's gain reduction: the share of samples reduced by 3 dB or more, the
// mean and the deepest, in dB.
struct MasterStats {
    int64_t samples = 0, bent = 0, longestBend = 0, clipped = 0, reducedBy3Db = 0;
    double meanReductionDb = 0.0, deepestReductionDb = 0.0;
};

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
