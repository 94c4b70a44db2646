// The show's small audio layer: one compressed track decoded whole at load, played on one
// channel, with the play position of what is being heard, a per-channel pan and the sample
// length. Stands where a game sound library would. The player may start it anywhere, pause
// it and move it; without a sound device it keeps the same position on a real-time clock.
#pragma once

#include "platform/audio_device.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <future>
#include <string>
#include <vector>

namespace show {

constexpr uint32_t kSampleRate = 44100;
constexpr int kPanPlainStereo = -1; // pan value meaning "no panning at all"
constexpr int kPanMax = 255;
// What the play position reads once the track has ended: past every scene's interval, so
// the show ends after its last scene however short the track was.
constexpr uint32_t kPositionAfterEnd = 0xFFFFFFFFu;

class AudioTrack {
  public:
    AudioTrack() = default;
    ~AudioTrack();
    AudioTrack(const AudioTrack&) = delete;
    AudioTrack& operator=(const AudioTrack&) = delete;

    // Opens the audio output. False when no audio device can be had. Whatever the sound stack
    // says on the way (ALSA's "cannot find card") is kept off the console.
    bool initOutput();
    // Plays without a device: the position advances on a real-time clock as a device would.
    void playSilently();
    bool silent() const { return silent_; }
    // Starts decoding path on a thread of its own, so that the decoding overlaps whatever
    // start-up does next; load(path) then takes the result.
    void prepare(const std::string& path);
    // Decodes the whole file to 44100 Hz stereo (or takes what prepare(path) decoded). False
    // when it is missing or not decodable.
    bool load(const std::string& path);
    // Starts playback at sample `from` (needs initOutput or playSilently, and load).
    void play(uint32_t from = 0);
    // Holds or resumes what is being heard; the position holds with it.
    void pause(bool paused);
    bool paused() const { return paused_; }
    // Samples at 44100 Hz heard so far (consumed by the device, less one device buffer);
    // 0 before play, kPositionAfterEnd once the track has ended.
    uint32_t position() const;
    // The same count without the end: after the last sample the device goes on consuming
    // silence, so the count keeps rising at the sample rate.
    uint64_t heardFrames() const;
    uint32_t length() const { return static_cast<uint32_t>(stereo_.size() / 2); }
    void setPan(int pan) { pan_.store(pan); }
    int pan() const { return pan_.load(); }
    // (L+R)/2 of the decoded track, made afresh: what the spectrum reads. The show keeps no
    // copy of it (the spectrum mixes the samples it needs as it reads them).
    std::vector<float> mono() const;
    // Interleaved stereo of the decoded track.
    const std::vector<float>& stereo() const { return stereo_; }
    void close();

    // Gains for a pan value: constant power over 0..255, unity for kPanPlainStereo.
    static void panGains(int pan, float& left, float& right);

  private:
    static void fillAudio(void* self, uint8_t* stream, int bytes);

    std::vector<float> stereo_;
    std::string preparedPath_;
    std::future<std::vector<float>> prepared_;
    platform::AudioDevice device_;
    uint32_t deviceBufferFrames_ = 0;
    std::atomic<uint64_t> consumed_{0};
    std::atomic<int> pan_{kPanPlainStereo};
    std::atomic<bool> playing_{false};
    bool paused_ = false;
    // Without a device: the frame heard at silentStart_, and when that was.
    bool silent_ = false;
    uint64_t silentBase_ = 0;
    std::chrono::steady_clock::time_point silentStart_{};
};

} // namespace show
