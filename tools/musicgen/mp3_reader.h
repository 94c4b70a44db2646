// Decodes an MP3 with the show's own decoder (the audio track's), split into channels.
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
