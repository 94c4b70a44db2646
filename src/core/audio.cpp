#include "core/audio.h"

#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <system_error>

namespace show {
namespace {

constexpr int kDeviceBufferFrames = 1024;
constexpr int kChannels = 2;
constexpr off_t kMostFramesReserved = off_t(kSampleRate) * 60 * 20; // twenty minutes

// Decodes a whole MP3 to interleaved stereo float at 44100 Hz; other rates and mono are
// converted by the decoder. Empty on any failure.
std::vector<float> decodeMp3(const std::string& path) {
    std::vector<float> out;
    if (mpg123_init() != MPG123_OK)
        return out;
    int err = 0;
    mpg123_handle* mh = mpg123_new(nullptr, &err);
    if (!mh)
        return out;
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_FORCE_STEREO | MPG123_QUIET, 0.0);
    mpg123_param(mh, MPG123_FORCE_RATE, kSampleRate, 0.0);
    mpg123_format_none(mh);
    mpg123_format(mh, kSampleRate, MPG123_STEREO, MPG123_ENC_FLOAT_32);
    if (mpg123_open(mh, path.c_str()) == MPG123_OK) {
        // The header's length spares the growing buffer its copies. It is only an estimate, and
        // a broken header may claim anything, so it is believed up to a bound.
        const off_t frames = mpg123_length(mh);
        if (frames > 0)
            out.reserve(size_t(std::min<off_t>(frames, kMostFramesReserved)) * kChannels);
        std::vector<float> chunk(1 << 14);
        for (;;) {
            size_t done = 0;
            const int rc = mpg123_read(mh, chunk.data(), chunk.size() * sizeof(float), &done);
            const size_t floats = done / sizeof(float);
            // A read that only reports the format brings no samples (and out may have none).
            if (floats > 0) {
                out.insert(out.end(), chunk.begin(), chunk.begin() + std::ptrdiff_t(floats));
            }
            if (rc == MPG123_DONE || (rc != MPG123_OK && rc != MPG123_NEW_FORMAT))
                break;
        }
        mpg123_close(mh);
    }
    mpg123_delete(mh);
    out.resize(out.size() - out.size() % kChannels);
    return out;
}

} // namespace

AudioTrack::~AudioTrack() {
    close();
}

bool AudioTrack::initOutput() {
    if (!device_.open(kSampleRate, kChannels, kDeviceBufferFrames, &AudioTrack::fillAudio, this))
        return false;
    deviceBufferFrames_ = device_.bufferFrames();
    return true;
}

void AudioTrack::prepare(const std::string& path) {
    try {
        prepared_ = std::async(std::launch::async, decodeMp3, path);
        preparedPath_ = path;
    } catch (const std::system_error&) {
        // No thread to be had: load decodes in place instead.
    }
}

bool AudioTrack::load(const std::string& path) {
    const bool wasPrepared = prepared_.valid() && preparedPath_ == path;
    stereo_ = wasPrepared ? prepared_.get() : decodeMp3(path);
    return !stereo_.empty();
}

std::vector<float> AudioTrack::mono() const {
    std::vector<float> mono(stereo_.size() / kChannels);
    for (size_t i = 0; i < mono.size(); ++i)
        mono[i] = 0.5f * (stereo_[2 * i] + stereo_[2 * i + 1]);
    return mono;
}

void AudioTrack::playSilently() {
    silent_ = true;
}

void AudioTrack::play(uint32_t from) {
    // The callback must not be half-way through a buffer while the count moves under it.
    device_.lock();
    consumed_.store(from);
    device_.unlock();
    silentBase_ = from;
    silentStart_ = std::chrono::steady_clock::now();
    playing_.store(true);
    paused_ = false;
    device_.pause(false);
}

void AudioTrack::pause(bool paused) {
    if (!playing_.load() || paused == paused_)
        return;
    if (silent_) {
        // The clock's frames so far become the base the clock resumes from.
        silentBase_ = heardFrames();
        silentStart_ = std::chrono::steady_clock::now();
    }
    paused_ = paused;
    device_.pause(paused);
}

uint64_t AudioTrack::heardFrames() const {
    if (!playing_.load())
        return 0;
    if (silent_) {
        if (paused_)
            return silentBase_;
        const std::chrono::duration<double> since = std::chrono::steady_clock::now() - silentStart_;
        return silentBase_ + uint64_t(since.count() * kSampleRate);
    }
    const uint64_t consumed = consumed_.load();
    // The last buffer handed to the device is still being heard.
    return consumed > deviceBufferFrames_ ? consumed - deviceBufferFrames_ : 0;
}

uint32_t AudioTrack::position() const {
    const uint64_t heard = heardFrames();
    return heard < length() ? static_cast<uint32_t>(heard) : kPositionAfterEnd;
}

void AudioTrack::panGains(int pan, float& left, float& right) {
    if (pan < 0 || pan > kPanMax) {
        left = right = 1.0f;
        return;
    }
    const float angle = float(pan) / kPanMax * float(M_PI / 2);
    left = std::cos(angle);
    right = std::sin(angle);
}

void AudioTrack::fillAudio(void* self, uint8_t* stream, int bytes) {
    auto* track = static_cast<AudioTrack*>(self);
    auto* out = reinterpret_cast<float*>(stream);
    const size_t frames = size_t(bytes) / (sizeof(float) * kChannels);
    const uint64_t start = track->consumed_.load();
    const size_t total = track->stereo_.size() / kChannels;
    float left = 1.0f, right = 1.0f;
    panGains(track->pan_.load(), left, right);
    for (size_t i = 0; i < frames; ++i) {
        const uint64_t at = start + i;
        if (at < total) {
            out[2 * i] = track->stereo_[2 * at] * left;
            out[2 * i + 1] = track->stereo_[2 * at + 1] * right;
        } else {
            out[2 * i] = out[2 * i + 1] = 0.0f;
        }
    }
    track->consumed_.store(start + frames);
}

void AudioTrack::close() {
    device_.close();
    playing_.store(false);
    paused_ = false;
}

} // namespace show
