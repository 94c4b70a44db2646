// The master: the equaliser, the kicks' saturator and the look-ahead limiter.
#include "master.h"

#include <algorithm>
#include <cmath>
#include <deque>

#include "dsp.h"
#include "mix.h"
#include "timeline.h"

namespace musicgen {
namespace {

// Soft-knee saturation: linear below the knee, rounding off toward the ceiling above it, and
// only as far as `weight` (0..1) lets it. Counts the samples it bends.
class Saturator {
  public:
    float step(float x, float weight) {
        const float knee = kSaturationKnee * kCeiling;
        const float a = std::fabs(x);
        if (weight <= 0.0f || a <= knee) {
            run_ = 0;
            return x;
        }
        ++bent_;
        longestRun_ = std::max(longestRun_, ++run_);
        const float room = kCeiling - knee;
        const float bent = std::copysign(knee + room * std::tanh((a - knee) / room), x);
        return x + weight * (bent - x);
    }
    int64_t bent() const { return bent_; }
    int64_t longestRun() const { return longestRun_; }

  private:
    int64_t bent_ = 0, run_ = 0, longestRun_ = 0;
};

// One channel of the master before the limiter: equaliser, gain, and the saturator on the
// band below kKickBandHz (a fourth-order Linkwitz-Riley low-pass; the rest of the signal is
// what remains, so nothing changes where nothing bends).
class MasterChannel {
  public:
    MasterChannel() {
        top_.tune(kTopHz, M_SQRT1_2);
        kickBandA_.tune(kKickBandHz, M_SQRT1_2);
        kickBandB_.tune(kKickBandHz, M_SQRT1_2);
    }
    float step(float x, float weight) {
        x = top_.step(presence_.step(upperMid_.step(lowMid_.step(x)))).low * kMasterGain;
        const float kickBand = kickBandA_.step(kickBandB_.step(x).low).low;
        return saturator_.step(kickBand, weight) + (x - kickBand);
    }
    const Saturator& saturator() const { return saturator_; }

  private:
    Peaking lowMid_{kLowMidHz, kLowMidQ, kLowMidDb};
    Peaking upperMid_{kUpperMidHz, kUpperMidQ, kUpperMidDb};
    Peaking presence_{kPresenceHz, kPresenceQ, kPresenceDb};
    Svf top_, kickBandA_, kickBandB_;
    Saturator saturator_;
};

// Sliding minimum of v over [i, i + span] for every i.
std::vector<float> minimumAhead(const std::vector<float>& v, int span) {
    const int64_t n = int64_t(v.size());
    std::vector<float> out(n);
    std::deque<int64_t> window;
    for (int64_t i = n - 1; i >= 0; --i) {
        while (!window.empty() && v[window.back()] >= v[i]) {
            window.pop_back();
        }
        window.push_back(i);
        while (window.front() > i + span) {
            window.pop_front();
        }
        out[i] = v[window.front()];
    }
    return out;
}

} // namespace

double masterEqGain(double hz) {
    const Peaking lowMid{kLowMidHz, kLowMidQ, kLowMidDb};
    const Peaking upperMid{kUpperMidHz, kUpperMidQ, kUpperMidDb};
    const Peaking presence{kPresenceHz, kPresenceQ, kPresenceDb};
    return lowMid.gainAt(hz) * upperMid.gainAt(hz) * presence.gainAt(hz);
}

// The limiter holds the gain a peak needs for kLookahead samples before it and releases after
// it; a moving average over the look-ahead then turns each step into a ramp that still
// reaches the needed gain by the peak itself, so the gain never jumps.
MasterStats masterMix(std::vector<float>& left, std::vector<float>& right,
                      const std::vector<char>& kickOnset) {
    const int64_t n = int64_t(left.size());
    MasterChannel leftChannel, rightChannel;
    std::vector<float> needed(n);
    const float fade = float(1.0 / (kHitFadeSeconds * kSampleRate));
    float weight = 0.0f; // 1 in a kick's first moments, fading to 0 after them
    for (int64_t i = 0; i < n; ++i) {
        weight = kickOnset[i] ? 1.0f : std::max(0.0f, weight - fade);
        left[i] = leftChannel.step(left[i], weight);
        right[i] = rightChannel.step(right[i], weight);
        const float peak = std::max(std::fabs(left[i]), std::fabs(right[i]));
        needed[i] = peak > kCeiling ? kCeiling / peak : 1.0f;
    }
    std::vector<float> held = minimumAhead(needed, kLookahead);
    const float release = float(1.0 - std::exp(-1.0 / (kLimiterReleaseSeconds * kSampleRate)));
    float gain = 1.0f;
    for (int64_t i = 0; i < n; ++i) {
        gain = std::min(held[i], gain + (1.0f - gain) * release);
        held[i] = gain;
    }
    MasterStats stats;
    double sum = 0.0, reduction = 0.0; // sum of held[i - kLookahead .. i]
    for (int64_t i = 0; i < n; ++i) {
        sum += held[i];
        if (i > kLookahead) {
            sum -= held[i - kLookahead - 1];
        }
        const int64_t count = std::min<int64_t>(i + 1, kLookahead + 1);
        const float g = float(sum / double(count));
        const double db = g < 1.0f ? -20.0 * std::log10(g) : 0.0;
        reduction += db;
        stats.deepestReductionDb = std::max(stats.deepestReductionDb, db);
        stats.reducedBy3Db += db >= 3.0;
        const float l = left[i] * g, r = right[i] * g;
        // Rounding in the average can leave a hair over the ceiling; that hair is clipped.
        left[i] = std::clamp(l, -kCeiling, kCeiling);
        right[i] = std::clamp(r, -kCeiling, kCeiling);
        stats.clipped +=
            (std::fabs(l) > kCeiling * kClipTolerance) + (std::fabs(r) > kCeiling * kClipTolerance);
    }
    stats.samples = 2 * n;
    stats.bent = leftChannel.saturator().bent() + rightChannel.saturator().bent();
    stats.longestBend =
        std::max(leftChannel.saturator().longestRun(), rightChannel.saturator().longestRun());
    stats.meanReductionDb = n > 0 ? reduction / double(n) : 0.0;
    return stats;
}

} // namespace musicgen
