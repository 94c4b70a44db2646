#include "core/music.h"

namespace show {

void readSpectrum(Music& music, uint32_t position) {
    music.analyser.analyseStereo(music.track.stereo().data(), music.track.length(), position,
                                 music.spectrum.data());
}

} // namespace show
