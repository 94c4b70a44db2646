// Decodes an MP3 the way the show does: libmpg123, gapless, 44100 Hz stereo float.
#pragma once

#include <string>
#include <vector>

namespace musicgen {

struct Decoded {
    std::vector<float> left, right;
    std::string error;               // empty on success
    std::vector<float> mono() const; // (L + R) / 2, what the show analyses
};

Decoded readMp3(const std::string& path);

} // namespace musicgen
