// The music as the show sees it: the track and the spectrum heard in this frame.
#pragma once

#include "core/audio.h"
#include "core/frequency_bands.h"

#include <array>
#include <cstdint>

namespace show {

struct Music {
    AudioTrack track;
    SpectrumAnalyser analyser;
    std::array<float, kSpectrumBands> spectrum{}; // this frame's levels
};

// Computes the spectrum heard at position into music.spectrum.
void readSpectrum(Music& music, uint32_t position);

} // namespace show
