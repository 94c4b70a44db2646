#include "audio_mix.h"

#include "core/audio.h"

#include <algorithm>
#include <cstdio>

namespace capture {
namespace {

constexpr int kChannels = 2;
constexpr uint16_t kWaveFormatFloat = 3;
constexpr uint16_t kBitsPerSample = 32;
constexpr uint32_t kFormatChunkSize = 16;
constexpr uint32_t kHeaderAfterSize = 36; // "WAVE" + fmt chunk + data chunk header

void put16(FILE* f, uint16_t v) {
    const unsigned char b[2] = {uint8_t(v), uint8_t(v >> 8)};
    std::fwrite(b, 1, 2, f);
}
void put32(FILE* f, uint32_t v) {
    const unsigned char b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    std::fwrite(b, 1, 4, f);
}

} // namespace

int64_t framePosition(int64_t frame, int fps) {
    return frame * int64_t(show::kSampleRate) / fps;
}

PanRecord::PanRecord(int64_t firstFrame, int64_t frames)
    : first_(firstFrame), pans_(size_t(std::max<int64_t>(frames, 0)), show::kPanPlainStereo) {}

void PanRecord::record(int64_t frame, int pan) {
    const int64_t at = frame - first_;
    if (at < 0 || at >= int64_t(pans_.size()))
        return;
    pans_[size_t(at)] = pan;
    recorded_ = std::max(recorded_, at + 1);
}

std::vector<float> mixRecordedFrames(const std::vector<float>& trackStereo, int fps,
                                     const PanRecord& pans) {
    const int64_t trackFrames = int64_t(trackStereo.size() / kChannels);
    const int64_t first = pans.firstFrame();
    const int64_t begin = framePosition(first, fps);
    const int64_t end = framePosition(first + pans.recorded(), fps);
    // Past the track's end the frames stand for silence, so sound and picture end together.
    std::vector<float> out(size_t(end - begin) * kChannels, 0.0f);
    for (int64_t i = 0; i < pans.recorded(); ++i) {
        float left = 1.0f, right = 1.0f;
        show::AudioTrack::panGains(pans.pans()[size_t(i)], left, right);
        const int64_t from = std::min(framePosition(first + i, fps), trackFrames);
        const int64_t to = std::min(framePosition(first + i + 1, fps), trackFrames);
        for (int64_t s = from; s < to; ++s) {
            const size_t o = size_t(s - begin) * kChannels;
            out[o] = trackStereo[size_t(s) * kChannels] * left;
            out[o + 1] = trackStereo[size_t(s) * kChannels + 1] * right;
        }
    }
    return out;
}

bool writeWav(const std::string& path, const std::vector<float>& stereo) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const uint32_t dataBytes = uint32_t(stereo.size() * sizeof(float));
    const uint16_t blockAlign = kChannels * kBitsPerSample / 8;
    std::fwrite("RIFF", 1, 4, f);
    put32(f, kHeaderAfterSize + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, f);
    put32(f, kFormatChunkSize);
    put16(f, kWaveFormatFloat);
    put16(f, kChannels);
    put32(f, show::kSampleRate);
    put32(f, show::kSampleRate * blockAlign);
    put16(f, blockAlign);
    put16(f, kBitsPerSample);
    std::fwrite("data", 1, 4, f);
    put32(f, dataBytes);
    // The machine is little-endian like the format (x86 and ARM Linux both are).
    const size_t written = std::fwrite(stereo.data(), sizeof(float), stereo.size(), f);
    return std::fclose(f) == 0 && written == stereo.size();
}

} // namespace capture
