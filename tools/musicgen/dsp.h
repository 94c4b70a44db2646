// Small sound-making parts: oscillators, a filter, noise and envelopes. Every part is plain
// state stepped one sample at a time, with no hidden randomness, so a render is repeatable.
#pragma once

#include <cmath>
#include <cstdint>

#include "timeline.h"

namespace musicgen {

constexpr double kPi = 3.14159265358979323846;

inline double midiToHz(double note) {
    return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}

// xorshift32: white noise in -1..1 from a fixed seed.
class Noise {
  public:
    explicit Noise(uint32_t seed) : state_(seed != 0 ? seed : 0x9E3779B9u) {}
    float next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return float(state_ >> 8) * (2.0f / 16777216.0f) - 1.0f;
    }
    float unit() { return 0.5f * (next() + 1.0f); } // 0..1

  private:
    uint32_t state_;
};

// Band-limited sawtooth (polyBLEP), -1..1.
class Saw {
  public:
    explicit Saw(double phase = 0.0) : phase_(phase) {}
    float next(double hz) {
        const double dt = hz / kSampleRate;
        double v = 2.0 * phase_ - 1.0;
        v -= blep(phase_, dt);
        phase_ += dt;
        if (phase_ >= 1.0) {
            phase_ -= 1.0;
        }
        return float(v);
    }

  private:
    static double blep(double t, double dt) {
        if (t < dt) {
            t /= dt;
            return t + t - t * t - 1.0;
        }
        if (t > 1.0 - dt) {
            t = (t - 1.0) / dt;
            return t * t + t + t + 1.0;
        }
        return 0.0;
    }
    double phase_;
};

// Band-limited pulse: the difference of two saws a `width` of a cycle apart. Narrow pulses
// spread their energy evenly over many harmonics, which makes them cut through a mix.
class Pulse {
  public:
    Pulse(double phase, double width) : a_(phase), b_(std::fmod(phase + width, 1.0)) {}
    float next(double hz) { return 0.5f * (a_.next(hz) - b_.next(hz)); }

  private:
    Saw a_, b_;
};

class Sine {
  public:
    explicit Sine(double phase = 0.0) : phase_(phase) {}
    float next(double hz) {
        const float v = float(std::sin(2.0 * kPi * phase_));
        phase_ += hz / kSampleRate;
        phase_ -= std::floor(phase_);
        return v;
    }

  private:
    double phase_;
};

// State-variable filter (topology-preserving transform): stable under fast cutoff sweeps.
class Svf {
  public:
    struct Out {
        float low, band, high;
    };
    void tune(double hz, double q) {
        const double fc = std::fmin(hz, 0.45 * kSampleRate);
        g_ = std::tan(kPi * fc / kSampleRate);
        k_ = 1.0 / q;
        a1_ = 1.0 / (1.0 + g_ * (g_ + k_));
    }
    Out step(float in) {
        const double a2 = g_ * a1_;
        const double a3 = g_ * a2;
        const double v3 = in - ic2_;
        const double v1 = a1_ * ic1_ + a2 * v3;
        const double v2 = ic2_ + a2 * ic1_ + a3 * v3;
        ic1_ = 2.0 * v1 - ic1_;
        ic2_ = 2.0 * v2 - ic2_;
        return {float(v2), float(v1), float(in - k_ * v1 - v2)};
    }

  private:
    double g_ = 0.0, k_ = 1.0, a1_ = 1.0;
    double ic1_ = 0.0, ic2_ = 0.0;
};

// Peaking equaliser (the RBJ audio EQ cookbook's bell): gainDb at hz, back to 0 dB either
// side over a width set by q. Transposed direct form II in double precision.
class Peaking {
  public:
    Peaking(double hz, double q, double gainDb) {
        const double a = std::pow(10.0, gainDb / 40.0);
        const double w = 2.0 * kPi * hz / kSampleRate;
        const double alpha = std::sin(w) / (2.0 * q);
        const double a0 = 1.0 + alpha / a;
        b0_ = (1.0 + alpha * a) / a0;
        b1_ = -2.0 * std::cos(w) / a0;
        b2_ = (1.0 - alpha * a) / a0;
        a1_ = b1_;
        a2_ = (1.0 - alpha / a) / a0;
    }
    // The filter's gain (linear) for a steady sine at hz.
    double gainAt(double hz) const {
        const double w = 2.0 * kPi * hz / kSampleRate;
        const double c1 = std::cos(w), s1 = std::sin(w), c2 = std::cos(2 * w), s2 = std::sin(2 * w);
        const double nr = b0_ + b1_ * c1 + b2_ * c2, ni = -(b1_ * s1 + b2_ * s2);
        const double dr = 1.0 + a1_ * c1 + a2_ * c2, di = -(a1_ * s1 + a2_ * s2);
        return std::sqrt((nr * nr + ni * ni) / (dr * dr + di * di));
    }
    float step(float in) {
        const double out = b0_ * in + z1_;
        z1_ = b1_ * in - a1_ * out + z2_;
        z2_ = b2_ * in - a2_ * out;
        return float(out);
    }

  private:
    double b0_, b1_, b2_, a1_, a2_;
    double z1_ = 0.0, z2_ = 0.0;
};

// Attack, hold at 1, exponential-ish release to 0 at `length`; t and times in seconds.
inline float arEnvelope(double t, double attack, double length, double release) {
    if (t < 0.0 || t >= length) {
        return 0.0f;
    }
    double a = attack > 0.0 && t < attack ? t / attack : 1.0;
    const double untilEnd = length - t;
    if (untilEnd < release) {
        const double r = untilEnd / release;
        a *= r * r;
    }
    return float(a);
}

inline float softClip(float x) {
    return std::tanh(x);
}

} // namespace musicgen
