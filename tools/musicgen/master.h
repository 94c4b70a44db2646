// The master bus of a rendered mix: an equaliser, a saturator for the kicks' first cycles and
// a look-ahead limiter that keeps every sample under the ceiling without a jump in gain.
#pragma once

#include <cstdint>
#include <vector>

namespace musicgen {

// What the master did: samples the saturator bent (both channels counted), the longest run of
// bent samples in one channel, samples clipped after the limiter (its gain ramps should leave
// none), and the limiter's gain reduction: the share of samples reduced by 3 dB or more, the
// mean and the deepest, in dB.
struct MasterStats {
    int64_t samples = 0, bent = 0, longestBend = 0, clipped = 0, reducedBy3Db = 0;
    double meanReductionDb = 0.0, deepestReductionDb = 0.0;
};

// The master equaliser's gain (linear) for a steady sine at hz.
double masterEqGain(double hz);

// Masters a stereo mix in place. kickOnset marks the samples of the kicks' first moments:
// the only place the saturator works.
MasterStats masterMix(std::vector<float>& left, std::vector<float>& right,
                      const std::vector<char>& kickOnset);

} // namespace musicgen
