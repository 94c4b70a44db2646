#include "core/music.h"
#include "content/band_levels.h"

namespace show {

void readSpectrum(Music& music, uint32_t position) {
    music.analyser.analyseStereo(music.track.stereo().data(), music.track.length(), position,
                                 music.spectrum.data());
}

void clearRowOffsets(Music& music) {
    music.rowOffsets.fill(0);
}

int32_t rowLift(float level) {
    const double lift = double(level) * level::kRowLift;
    return static_cast<int32_t>(static_cast<float>(lift));
}

void spectrumRowDisplay(Music& music, const std::array<irr::gui::IGUIImage*, kRowDots>& row) {
    for (int i = 0; i < kRowDots; ++i) {
        const int32_t lift = rowLift(music.spectrum[i]);
        row[i]->move(irr::core::position2di(0, music.rowOffsets[i] - lift));
        music.rowOffsets[i] = lift;
    }
}

void panSweepStart(Music& music, long clockMs) {
    music.panSweep.pan = music.track.pan();
    music.panSweep.up = false;
    music.panSweep.lastStepClock = clockMs;
}

void panSweepStep(Music& music, long clockMs) {
    PanSweep& sweep = music.panSweep;
    // The bound test comes before the step, so an odd descent reaches -1 once and is folded
    // back on the next frame.
    if (sweep.pan >= kPanMax) {
        sweep.up = false;
        sweep.pan = kPanMax - 1;
    } else if (sweep.pan <= 0) {
        sweep.up = true;
        sweep.pan = 1;
    }
    if ((clockMs - sweep.lastStepClock) / 1000.0 >= kPanStepSeconds) {
        sweep.pan += sweep.up ? kPanStep : -kPanStep;
        music.track.setPan(sweep.pan);
        sweep.lastStepClock = clockMs;
    }
}

void panSweepEnd(Music& music) {
    music.track.setPan(kPanPlainStereo);
}

} // namespace show
