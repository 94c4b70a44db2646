// The show's spectrum: 512 levels of what is heard at a play position.
// A pure function of the decoded track and the position, so the live show, the capture
// tool and the tests all see the same levels for the same position.
#pragma once

#include <cstdint>
#include <memory>

namespace show {

constexpr int kSpectrumBands = 512;
constexpr int kSpectrumWindow = 2 * kSpectrumBands;

// Levels come from a 1024-point real FFT of the mono mix, Hann-windowed over the 1024
// samples that end at the play position (silence before the track's start), scaled so a
// full-scale sine at a band's centre reads 1.0, and clamped to 0..1.
class SpectrumAnalyser {
  public:
    SpectrumAnalyser();
    ~SpectrumAnalyser();
    SpectrumAnalyser(const SpectrumAnalyser&) = delete;
    SpectrumAnalyser& operator=(const SpectrumAnalyser&) = delete;

    // mono: the track's mono mix, length samples long. Writes kSpectrumBands levels to out.
    void analyse(const float* mono, uint32_t length, uint32_t position, float* out);
    // The same levels from interleaved stereo, length frames long: each sample of the mono mix
    // is (left + right) / 2, made as it is needed, so no mono copy of a track has to be kept.
    void analyseStereo(const float* stereo, uint32_t length, uint32_t position, float* out);

  private:
    template <class Sample>
    void analyseWith(Sample sample, uint32_t length, uint32_t position, float* out);

    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace show
