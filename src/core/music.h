// The music as the show sees it: the track, the spectrum of the frame, the dotted spectrum
// rows of the opening and the pan sweep of the light-orb scene.
#pragma once

#include "content/band_levels.h"
#include "core/audio.h"
#include "core/frequency_bands.h"
#include "core/overlay.h"

#include <array>
#include <cstdint>

namespace show {

constexpr double kPanStepSeconds = 0.0003265;
constexpr int kPanStep = 2;

struct PanSweep {
    int pan = kPanPlainStereo;
    bool up = false;
    long lastStepClock = 0;
};

struct Music {
    AudioTrack track;
    SpectrumAnalyser analyser;
    std::array<float, kSpectrumBands> spectrum{}; // this frame's levels
    std::array<int32_t, kRowDots> rowOffsets{};   // offset last applied to each row dot
    PanSweep panSweep;
};

// Computes the spectrum heard at position into music.spectrum.
void readSpectrum(Music& music, uint32_t position);

void clearRowOffsets(Music& music);
// One frame of the dotted spectrum curve on a row of dots.
void spectrumRowDisplay(Music& music, const std::array<irr::gui::IGUIImage*, kRowDots>& row);
// Pixels a level lifts its dot: the product is made in double, rounded to float, truncated.
int32_t rowLift(float level);

void panSweepStart(Music& music, long clockMs);
void panSweepStep(Music& music, long clockMs);
void panSweepEnd(Music& music);

} // namespace show
