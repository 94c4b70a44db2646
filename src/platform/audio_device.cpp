#include "platform/audio_device.h"

#include "platform/quiet_output.h"

#include <SDL.h>

namespace platform {

bool AudioDevice::open(int rate, int channels, int bufferFrames, Fill fill, void* user) {
    const QuietStandardError quiet;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    subsystemUp_ = true;
    SDL_AudioSpec want{};
    want.freq = rate;
    want.format = AUDIO_F32SYS;
    want.channels = static_cast<Uint8>(channels);
    want.samples = static_cast<Uint16>(bufferFrames);
    want.callback = fill;
    want.userdata = user;
    SDL_AudioSpec have{};
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0)
        return false;
    bufferFrames_ = have.samples;
    return true;
}

void AudioDevice::lock() {
    if (device_ != 0)
        SDL_LockAudioDevice(device_);
}

void AudioDevice::unlock() {
    if (device_ != 0)
        SDL_UnlockAudioDevice(device_);
}

void AudioDevice::pause(bool paused) {
    if (device_ != 0)
        SDL_PauseAudioDevice(device_, paused ? 1 : 0);
}

void AudioDevice::close() {
    if (device_ != 0) {
        SDL_CloseAudioDevice(device_);
        device_ = 0;
    }
    if (subsystemUp_) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        subsystemUp_ = false;
    }
}

} // namespace platform
