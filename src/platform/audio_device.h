// The sound output: one device playing float samples that a callback hands it buffer by
// buffer, on the device's own thread.
#pragma once

#include <cstdint>

namespace platform {

class AudioDevice {
  public:
    // Fills `bytes` bytes of interleaved float samples; runs on the device's thread.
    using Fill = void (*)(void* user, uint8_t* stream, int bytes);

    AudioDevice() = default;
    ~AudioDevice() { close(); }
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    // Opens the system's default output, paused. False when no device can be had; whatever
    // the sound stack says on the way is kept off the console.
    bool open(int rate, int channels, int bufferFrames, Fill fill, void* user);
    bool isOpen() const { return device_ != 0; }
    // Frames in each buffer the device takes, as it granted them.
    uint32_t bufferFrames() const { return bufferFrames_; }
    // While locked the fill callback does not run.
    void lock();
    void unlock();
    void pause(bool paused);
    void close();

  private:
    uint32_t device_ = 0;
    uint32_t bufferFrames_ = 0;
    bool subsystemUp_ = false;
};

} // namespace platform
