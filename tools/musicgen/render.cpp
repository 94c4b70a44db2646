#include "render.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "dsp.h"
#include "master.h"
#include "mix.h"
#include "timeline.h"

namespace musicgen {
namespace {

struct Sends {
    float reverb = 0.0f;
    float delay = 0.0f;
    bool ducked = false;
};

// The window's buses: dry stereo, reverb and delay sends, and the side-chain gain.
class Mixer {
  public:
    Mixer(int64_t from, int64_t length)
        : from_(from), length_(length), left(length), right(length), reverbL(length),
          reverbR(length), delayL(length), delayR(length), duck(length, 1.0f),
          kickOnset(length, 0) {}

    bool overlaps(int64_t start, int64_t length) const {
        return start < from_ + length_ && start + length > from_;
    }
    // Sample `i` of a note that starts at `start`; pan -1..1 (equal power).
    void put(int64_t start, int64_t i, float l, float r, const Sends& s) {
        const int64_t at = start + i - from_;
        if (at < 0 || at >= length_) {
            return;
        }
        const float g = s.ducked ? duck[at] : 1.0f;
        l *= g;
        r *= g;
        left[at] += l;
        right[at] += r;
        reverbL[at] += l * s.reverb;
        reverbR[at] += r * s.reverb;
        delayL[at] += l * s.delay;
        delayR[at] += r * s.delay;
    }
    void putPanned(int64_t start, int64_t i, float v, float pan, const Sends& s) {
        const float angle = float((pan + 1.0) * kPi / 4.0);
        put(start, i, v * std::cos(angle) * float(M_SQRT2), v * std::sin(angle) * float(M_SQRT2),
            s);
    }
    // Lowers the ducked buses after a kick and lets them swell back.
    void duckUnder(int64_t start, float velocity) {
        const int64_t n = int64_t(kDuckSeconds * 6.0 * kSampleRate);
        const float depth = kDuckDepth * std::min(1.0f, velocity);
        for (int64_t i = 0; i < n; ++i) {
            const int64_t at = start + i - from_;
            if (at < 0 || at >= length_) {
                continue;
            }
            const float g =
                1.0f - depth * float(std::exp(-double(i) / (kDuckSeconds * kSampleRate)));
            duck[at] = std::min(duck[at], g);
        }
    }
    // Marks the first kHitSeconds of a kick: the only place the master's saturator works.
    void markKick(int64_t start) {
        const int64_t end = std::min(length_, start + int64_t(kHitSeconds * kSampleRate) - from_);
        for (int64_t at = std::max<int64_t>(0, start - from_); at < end; ++at) {
            kickOnset[at] = 1;
        }
    }
    // The side-chain gain at sample `i` of a note that starts at `start` (1 outside the window).
    float duckAt(int64_t start, int64_t i) const {
        const int64_t at = start + i - from_;
        return at < 0 || at >= length_ ? 1.0f : duck[at];
    }
    int64_t from() const { return from_; }
    int64_t length() const { return length_; }

  private:
    int64_t from_, length_;

  public:
    std::vector<float> left, right, reverbL, reverbR, delayL, delayR, duck;
    std::vector<char> kickOnset;
};

double seconds(int64_t i) {
    return double(i) / kSampleRate;
}

// Voices are rendered from their start (so their state is right) but only the samples in
// the window are kept; a note wholly outside the window is skipped.
void kick(Mixer& m, const Note& n, uint32_t seed) {
    Noise noise(seed);
    double phase = 0.0;
    const double decay = n.tone, hold = n.shape;
    const double low = n.pitch > 0.0f ? midiToHz(n.pitch) : kKickLowHz;
    for (int64_t i = 0; i < n.length; ++i) {
        const double t = seconds(i);
        const double hz = low + kKickSweepHz * std::exp(-t / kKickSweepSeconds);
        phase += hz / kSampleRate;
        const double attack = std::min(1.0, t / kKickAttackSeconds);
        const double env = attack * std::exp(-std::max(0.0, t - hold) / decay);
        float v = float(std::sin(2.0 * kPi * phase) * env);
        v += kKickClick * noise.next() * float(std::exp(-t / kKickClickSeconds));
        v *= n.velocity;
        m.put(n.start, i, v, v, Sends{});
    }
}

void clap(Mixer& m, const Note& n, uint32_t seed) {
    Noise noise(seed);
    Svf band;
    band.tune(kClapHz, kClapQ);
    for (int64_t i = 0; i < n.length; ++i) {
        const double t = seconds(i);
        double env = 0.0;
        for (int b = 0; b < kClapBursts; ++b) {
            const double tb = t - b * kClapBurstGap;
            if (tb >= 0.0) {
                env = std::max(env, std::exp(-tb / kClapBurstSeconds));
            }
        }
        const double tail = t - kClapBursts * kClapBurstGap;
        if (tail >= 0.0) {
            env = std::max(env, 0.6 * std::exp(-tail / kClapTailSeconds));
        }
        const float v = band.step(noise.next()).band * float(env) * n.velocity * 2.0f;
        m.putPanned(n.start, i, v, n.pan, Sends{kClapReverb, 0.0f, false});
    }
}

void noiseHit(Mixer& m, const Note& n, uint32_t seed, double hz, double decay, float reverb) {
    Noise noiseL(seed), noiseR(seed ^ 0x5bd1e995u);
    Svf hpL, hpR;
    hpL.tune(hz, 0.8);
    hpR.tune(hz, 0.8);
    const double release = std::min(0.05, seconds(n.length) * 0.5);
    for (int64_t i = 0; i < n.length; ++i) {
        const double t = seconds(i);
        const float env = float(std::exp(-t / decay)) *
                          arEnvelope(t, 0.0005, seconds(n.length), release) * n.velocity;
        const float l = hpL.step(noiseL.next()).high * env;
        const float r = hpR.step(noiseR.next()).high * env;
        const float pan = n.pan;
        m.put(n.start, i, l * (1.0f - std::max(0.0f, pan)), r * (1.0f + std::min(0.0f, pan)),
              Sends{reverb, 0.0f, false});
    }
}

void riser(Mixer& m, const Note& n, uint32_t seed) {
    Noise noiseL(seed), noiseR(seed ^ 0x27d4eb2du);
    Svf bpL, bpR;
    const double length = seconds(n.length);
    for (int64_t i = 0; i < n.length; ++i) {
        const double x = seconds(i) / length;
        if (i % kFilterUpdateSamples == 0) {
            const double hz = kRiserLowHz * std::pow(kRiserHighHz / kRiserLowHz, x);
            bpL.tune(hz, 2.0);
            bpR.tune(hz * 1.03, 2.0);
        }
        const float env = float(x * x) * n.velocity;
        m.put(n.start, i, bpL.step(noiseL.next()).band * env, bpR.step(noiseR.next()).band * env,
              Sends{kRiserReverb, 0.0f, false});
    }
}

void air(Mixer& m, const Note& n, uint32_t seed) {
    Noise noiseL(seed), noiseR(seed ^ 0x68e31da4u);
    Svf toneL, toneR;
    toneL.tune(600.0, 0.7);
    toneR.tune(600.0, 0.7);
    const double length = seconds(n.length);
    for (int64_t i = 0; i < n.length; ++i) {
        const double t = seconds(i);
        const float wobble = float(0.75 + 0.25 * std::sin(2.0 * kPi * kAirWobbleHz * t));
        const float env =
            arEnvelope(t, kAirFadeSeconds, length, kAirFadeSeconds) * wobble * n.velocity;
        // Mostly the noise's highs, a little of its lows: a breath across the whole range.
        const Svf::Out l = toneL.step(noiseL.next());
        const Svf::Out r = toneR.step(noiseR.next());
        m.put(n.start, i, (l.high + 0.5f * l.low) * env, (r.high + 0.5f * r.low) * env,
              Sends{0.3f, 0.0f, false});
    }
}

// Which bit of a note's seed turns its first pulse voice over (a well-mixed one).
constexpr int kPolarityBit = 16;

// Detuned saws through a low-pass whose cutoff the caller's function sets per sample.
// Odd voices are pulses of `width` (when above 0), even ones saws: the saws give body, the
// pulses an even spread of harmonics. A narrow pulse is a spike on one side of zero, so half
// of the pulses (alternate voices, and by the note's seed) are turned over: spikes of many
// notes that meet no longer all point the same way, and the mix's peaks stay lower. Turning a
// voice over leaves its spectrum as it was.
template <int Voices, class Cutoff, class Amp>
void sawStack(Mixer& m, const Note& n, uint32_t seed, double q, const Sends& sends, float stereo,
              double width, Cutoff cutoff, Amp amp, double vibratoDepth = 0.0) {
    Noise phases(seed);
    std::array<Saw, Voices> saws;
    std::vector<Pulse> pulses(Voices, Pulse(0.0, width));
    std::array<double, Voices> ratio{};
    std::array<float, Voices> pan{}, polarity{};
    for (int v = 0; v < Voices; ++v) {
        polarity[v] = (v / 2 + (seed >> kPolarityBit)) % 2 == 0 ? 1.0f : -1.0f;
        saws[v] = Saw(phases.unit());
        pulses[v] = Pulse(phases.unit(), width);
        const double spread = Voices == 1 ? 0.0 : 2.0 * v / (Voices - 1) - 1.0; // -1..1
        ratio[v] = std::pow(2.0, spread * kDetuneCents / 1200.0);
        pan[v] = float(spread) * stereo;
    }
    Svf filterL, filterR;
    const double hz = midiToHz(n.pitch);
    for (int64_t i = 0; i < n.length; ++i) {
        const double t = seconds(i);
        if (i % kFilterUpdateSamples == 0) {
            const double c = cutoff(t);
            filterL.tune(c, q);
            filterR.tune(c, q);
        }
        double bend = 1.0;
        if (vibratoDepth > 0.0 && t > kVibratoDelaySeconds) {
            bend = std::pow(2.0, vibratoDepth * std::sin(2.0 * kPi * kVibratoHz * t) / 12.0);
        }
        float l = 0.0f, r = 0.0f;
        for (int v = 0; v < Voices; ++v) {
            const double f = hz * ratio[v] * bend;
            const float s = width > 0.0 && v % 2 == 1 ? kPulseGain * polarity[v] * pulses[v].next(f)
                                                      : saws[v].next(f);
            l += s * (1.0f - pan[v]);
            r += s * (1.0f + pan[v]);
        }
        const float a = amp(t) * n.velocity / float(Voices);
        const float outL = filterL.step(l).low * a;
        const float outR = filterR.step(r).low * a;
        m.put(n.start, i, outL * (1.0f - std::max(0.0f, n.pan)),
              outR * (1.0f + std::min(0.0f, n.pan)), sends);
    }
}

void pad(Mixer& m, const Note& n, uint32_t seed) {
    const double length = seconds(n.length);
    const double base = kPadLowHz * std::pow(2.0, n.tone * kPadOctaves);
    sawStack<kPadVoices>(
        m, n, seed, 0.8, Sends{kPadReverb, 0.0f, true}, 0.8f, kPadPulseWidth,
        [&](double t) { return base * (1.0 + 0.15 * std::sin(2.0 * kPi * kPadLfoHz * t)); },
        [&](double t) { return 0.5f * arEnvelope(t, n.shape, length, kPadReleaseSeconds); });
}

void lead(Mixer& m, const Note& n, uint32_t seed) {
    const double length = seconds(n.length);
    sawStack<3>(
        m, n, seed, 1.2, Sends{kLeadReverb, kLeadDelay, true}, 0.3f, kLeadPulseWidth,
        [&](double t) {
            return kLeadFloorHz + n.tone * kLeadToneHz * (0.6 + 0.4 * std::exp(-t / 0.2));
        },
        [&](double t) { return 0.5f * arEnvelope(t, 0.008, length, 0.06); }, kVibratoSemitones);
}

void stab(Mixer& m, const Note& n, uint32_t seed) {
    const double length = seconds(n.length);
    sawStack<4>(
        m, n, seed, 1.0, Sends{kStabReverb, 0.1f, false}, 0.7f, kStabPulseWidth,
        [&](double t) { return 500.0 + n.tone * kStabEnvHz * std::exp(-t / kStabEnvSeconds); },
        [&](double t) {
            return 0.5f * float(std::exp(-t / kStabDecaySeconds)) *
                   arEnvelope(t, 0.002, length, 0.05);
        });
}

void pluck(Mixer& m, const Note& n, uint32_t seed) {
    const double length = seconds(n.length) + kPluckDecaySeconds;
    Note held = n;
    held.length = int64_t(length * kSampleRate);
    sawStack<2>(
        m, held, seed, 1.4, Sends{kPluckReverb, kPluckDelay, true}, 0.2f, kPluckPulseWidth,
        [&](double t) {
            return kPluckFloorHz + n.tone * kPluckEnvHz * std::exp(-t / kPluckEnvSeconds);
        },
        [&](double t) {
            return 0.5f * float(std::exp(-t / kPluckDecaySeconds)) *
                   arEnvelope(t, 0.002, length, 0.03);
        });
}

void bass(Mixer& m, const Note& n, uint32_t seed) {
    Noise phases(seed);
    Saw a(phases.unit()), b(phases.unit());
    Svf filter;
    const double hz = midiToHz(n.pitch);
    const double length = seconds(n.length);
    const float drive = 1.0f + 4.0f * n.shape;
    for (int64_t i = 0; i < n.length; ++i) {
        const double t = seconds(i);
        if (i % kFilterUpdateSamples == 0) {
            filter.tune(kBassFloorHz + n.tone * kBassEnvHz * std::exp(-t / kBassEnvSeconds), 1.6);
        }
        const float raw = 0.5f * (a.next(hz) + b.next(hz * 1.004));
        float v = filter.step(raw).low;
        v = softClip(v * drive) / softClip(drive);
        v *= arEnvelope(t, 0.003, length, kNoteReleaseSeconds) * n.velocity;
        m.put(n.start, i, v, v, Sends{0.05f, 0.0f, true});
    }
}

// Additive: every harmonic of the tone from kOrganBottomHz up to kOrganTopHz, each a steady
// line in the spectrum, at levels that come out of the master's equaliser all alike (a line
// just under the level that lights a tile is power spent for nothing, one far over it power
// the limiter takes from the kicks). The harmonics start in Schroeder's phases, which keep
// their sum's peaks near its RMS level; at random phases they would reach three times as far
// and the limiter would turn the whole mix down for them.
void organ(Mixer& m, const Note& n) {
    const double hz = midiToHz(n.pitch);
    const int lowest = int(std::ceil(kOrganBottomHz / hz));
    const int count = std::max(0, int(kOrganTopHz / hz) - lowest + 1);
    std::vector<double> phase(static_cast<size_t>(count)), step(phase.size());
    std::vector<float> level(phase.size());
    for (int k = 0; k < count; ++k) {
        const double f = hz * (lowest + k);
        phase[size_t(k)] = -0.5 * double(k) * double(k + 1) / double(count);
        phase[size_t(k)] -= std::floor(phase[size_t(k)]);
        step[size_t(k)] = f / kSampleRate;
        level[size_t(k)] = float(1.0 / masterEqGain(f));
    }
    const double length = seconds(n.length);
    for (int64_t i = 0; i < n.length; ++i) {
        const double t = seconds(i);
        float v = 0.0f;
        for (size_t k = 0; k < phase.size(); ++k) {
            v += level[k] * float(std::sin(2.0 * kPi * phase[k]));
            phase[k] += step[k];
            phase[k] -= std::floor(phase[k]);
        }
        v *= arEnvelope(t, kOrganAttackSeconds, length, kOrganReleaseSeconds) * n.velocity;
        // Ducked twice over (once more by its bus): it leaves the kicks' first moments almost
        // to themselves, so the lowest band reads them as before.
        v *= m.duckAt(n.start, i);
        m.putPanned(n.start, i, v, n.pan, Sends{0.1f, 0.0f, true});
    }
}

// A plain sine, dry and centred, that only the lowest band and a sub-woofer notice.
void sub(Mixer& m, const Note& n) {
    const double hz = midiToHz(n.pitch);
    const double length = seconds(n.length);
    for (int64_t i = 0; i < n.length; ++i) {
        const double t = seconds(i);
        const float v = float(std::sin(2.0 * kPi * hz * t)) * n.velocity *
                        arEnvelope(t, kSubAttackSeconds, length, kSubReleaseSeconds);
        m.put(n.start, i, v, v, Sends{});
    }
}

void renderNote(Mixer& m, const Note& n, uint32_t seed) {
    switch (n.instrument) {
    case Instrument::Kick:
        kick(m, n, seed);
        break;
    case Instrument::Clap:
        clap(m, n, seed);
        break;
    case Instrument::ClosedHat:
        noiseHit(m, n, seed, kHatHz, kClosedHatSeconds, 0.05f);
        break;
    case Instrument::OpenHat:
        noiseHit(m, n, seed, kHatHz, kOpenHatSeconds, 0.1f);
        break;
    case Instrument::Crash:
        noiseHit(m, n, seed, kCrashHz, kCrashDecaySeconds, kCrashReverb);
        break;
    case Instrument::Riser:
        riser(m, n, seed);
        break;
    case Instrument::Air:
        air(m, n, seed);
        break;
    case Instrument::Bass:
        bass(m, n, seed);
        break;
    case Instrument::Pad:
        pad(m, n, seed);
        break;
    case Instrument::Pluck:
        pluck(m, n, seed);
        break;
    case Instrument::Lead:
        lead(m, n, seed);
        break;
    case Instrument::Stab:
        stab(m, n, seed);
        break;
    case Instrument::Organ:
        organ(m, n);
        break;
    case Instrument::Sub:
        sub(m, n);
        break;
    }
}

int64_t tailOf(const Note& n) {
    // Plucks ring past their written length.
    return n.instrument == Instrument::Pluck ? int64_t(kPluckDecaySeconds * kSampleRate) : 0;
}

// Freeverb's comb-and-allpass network, one per channel.
class Reverb {
  public:
    explicit Reverb(int spread) {
        constexpr std::array<int, 8> kCombs = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
        constexpr std::array<int, 4> kAllpasses = {556, 441, 341, 225};
        for (size_t i = 0; i < kCombs.size(); ++i) {
            combs_[i].assign(kCombs[i] + spread, 0.0f);
        }
        for (size_t i = 0; i < kAllpasses.size(); ++i) {
            allpasses_[i].assign(kAllpasses[i] + spread, 0.0f);
        }
    }
    float step(float in) {
        float out = 0.0f;
        for (size_t i = 0; i < combs_.size(); ++i) {
            std::vector<float>& buf = combs_[i];
            size_t& at = combAt_[i];
            const float y = buf[at];
            store_[i] = float(y * (1.0 - kReverbDamp) + store_[i] * kReverbDamp);
            buf[at] = in + store_[i] * float(kReverbRoom);
            at = at + 1 == buf.size() ? 0 : at + 1;
            out += y;
        }
        for (size_t i = 0; i < allpasses_.size(); ++i) {
            std::vector<float>& buf = allpasses_[i];
            size_t& at = allpassAt_[i];
            const float b = buf[at];
            buf[at] = out + b * 0.5f;
            out = b - out;
            at = at + 1 == buf.size() ? 0 : at + 1;
        }
        return out;
    }

  private:
    std::array<std::vector<float>, 8> combs_;
    std::array<std::vector<float>, 4> allpasses_;
    std::array<size_t, 8> combAt_{};
    std::array<size_t, 4> allpassAt_{};
    std::array<float, 8> store_{};
};

constexpr int kReverbStereoSpread = 23;

void applyEffects(Mixer& m) {
    Reverb revL(0), revR(kReverbStereoSpread);
    const int64_t delay = int64_t(nominalBeatSamples() * kDelaySixteenths / kStepsPerBeat + 0.5);
    std::vector<float> lineL(delay, 0.0f), lineR(delay, 0.0f);
    Svf dampL, dampR;
    dampL.tune(kDelayDampHz, 0.7);
    dampR.tune(kDelayDampHz, 0.7);
    size_t at = 0;
    for (int64_t i = 0; i < m.length(); ++i) {
        // Ping-pong: each repeat crosses to the other side.
        const float echoL = lineL[at], echoR = lineR[at];
        lineL[at] = m.delayL[i] + dampR.step(echoR).low * kDelayFeedback;
        lineR[at] = m.delayR[i] + dampL.step(echoL).low * kDelayFeedback;
        at = at + 1 == lineL.size() ? 0 : at + 1;
        const float inL = (m.reverbL[i] + 0.3f * echoL) * kReverbInput;
        const float inR = (m.reverbR[i] + 0.3f * echoR) * kReverbInput;
        m.left[i] += echoL + revL.step(inL + inR) * kReverbReturn;
        m.right[i] += echoR + revR.step(inL + inR) * kReverbReturn;
    }
}

// The track's last seconds fade to silence, whatever still rings in the reverb.
void fadeOutEnd(Mixer& m, int64_t trackLength) {
    const int64_t fade = int64_t(kEndFadeSeconds * kSampleRate);
    for (int64_t i = 0; i < m.length(); ++i) {
        const int64_t left = trackLength - (m.from() + i);
        if (left < fade) {
            const float x = left > 0 ? float(left) / float(fade) : 0.0f;
            m.left[i] *= x * x;
            m.right[i] *= x * x;
        }
    }
}

} // namespace

Audio renderScore(const Score& score, int64_t from, int64_t length) {
    Mixer m(from, length);
    for (const Note& n : score.notes) {
        if (n.instrument == Instrument::Kick && m.overlaps(n.start, n.length)) {
            m.duckUnder(n.start, n.velocity);
            m.markKick(n.start);
        }
    }
    uint32_t seed = 1;
    for (const Note& n : score.notes) {
        ++seed; // every note its own noise and phases, the same on every run
        if (m.overlaps(n.start, n.length + tailOf(n))) {
            renderNote(m, n, seed * 2654435761u);
        }
    }
    applyEffects(m);
    const MasterStats stats = masterMix(m.left, m.right, m.kickOnset);
    fadeOutEnd(m, score.length);
    return Audio{std::move(m.left), std::move(m.right), stats};
}

void fadeEdges(Audio& audio, double seconds) {
    const int64_t n = audio.frames();
    const int64_t ramp = std::min<int64_t>(int64_t(seconds * kSampleRate), n / 2);
    for (int64_t i = 0; i < ramp; ++i) {
        const float g = float(i) / float(ramp);
        audio.left[i] *= g;
        audio.right[i] *= g;
        audio.left[n - 1 - i] *= g;
        audio.right[n - 1 - i] *= g;
    }
}

} // namespace musicgen
