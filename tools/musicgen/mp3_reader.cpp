#include "mp3_reader.h"

#include "core/audio.h"

namespace musicgen {

std::vector<float> Decoded::mono() const {
    std::vector<float> m(left.size());
    for (size_t i = 0; i < m.size(); ++i) {
        m[i] = 0.5f * (left[i] + right[i]);
    }
    return m;
}

Decoded readMp3(const std::string& path) {
    Decoded out;
    // Loading a track opens no sound device: it only decodes.
    show::AudioTrack track;
    if (!track.load(path)) {
        out.error = "could not decode " + path + " (missing, or not an MP3)";
        return out;
    }
    const std::vector<float>& stereo = track.stereo();
    const size_t frames = stereo.size() / 2;
    out.left.resize(frames);
    out.right.resize(frames);
    for (size_t i = 0; i < frames; ++i) {
        out.left[i] = stereo[2 * i];
        out.right[i] = stereo[2 * i + 1];
    }
    return out;
}

} // namespace musicgen
