// The show's own random generator: the classic linear congruential one, never reseeded, so
// every run draws the same sequence whatever the platform's C library does.
#pragma once

#include <cstdint>

namespace show {

class Random {
  public:
    static constexpr uint32_t kSeed = 1;
    static constexpr uint32_t kMax = 0x7FFF;

    int next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & kMax);
    }
    int below(int n) { return next() % n; }
    void reset() { state_ = kSeed; }

  private:
    uint32_t state_ = kSeed;
};

} // namespace show
