#include "core/time_source.h"

#include "core/audio.h"

#include <irrlicht.h>

#include <algorithm>

namespace show {

namespace {

int64_t framesOfMs(int ms) {
    return int64_t(ms) * kSampleRate / 1000;
}

} // namespace

LiveTime::LiveTime(const AudioTrack& track, int pictureOffsetMs)
    : track_(track), offsetFrames_(framesOfMs(pictureOffsetMs)), resumed_(Clock::now()) {}

uint32_t LiveTime::playPosition() {
    const int64_t picture = int64_t(track_.heardFrames()) - offsetFrames_;
    if (picture >= int64_t(track_.length()))
        return kPositionAfterEnd;
    const uint32_t position = picture > 0 ? static_cast<uint32_t>(picture) : 0;
    lowest_ = std::max(lowest_, position);
    return lowest_;
}

long LiveTime::clockMs() {
    if (paused_)
        return clockBase_;
    const auto elapsed = Clock::now() - resumed_;
    return clockBase_ + static_cast<long>(
                            std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void LiveTime::restart(uint32_t position, long clockMs) {
    lowest_ = position;
    clockBase_ = clockMs;
    resumed_ = Clock::now();
}

void LiveTime::pause(bool paused) {
    if (paused == paused_)
        return;
    if (paused)
        clockBase_ = clockMs();
    else
        resumed_ = Clock::now();
    paused_ = paused;
}

VirtualTime::VirtualTime(int fps, uint32_t trackLength, irr::ITimer* timer)
    : fps_(fps > 0 ? fps : 60), trackLength_(trackLength), timer_(nullptr) {
    attachTimer(timer);
}

void VirtualTime::attachTimer(irr::ITimer* timer) {
    timer_ = timer;
    if (timer_) {
        if (!timer_->isStopped())
            timer_->stop();
        timer_->setTime(static_cast<irr::u32>(clockMs()));
    }
}

void VirtualTime::beginFrame() {
    ++frame_;
    if (timer_)
        timer_->setTime(static_cast<irr::u32>(clockMs()));
}

uint32_t VirtualTime::playPosition() {
    if (frame_ < 0)
        return 0;
    const int64_t position = frame_ * int64_t(kSampleRate) / fps_;
    return position < int64_t(trackLength_) ? static_cast<uint32_t>(position) : kPositionAfterEnd;
}

long VirtualTime::clockMs() {
    return frame_ < 0 ? 0 : static_cast<long>(frame_ * 1000 / fps_);
}

} // namespace show

namespace show {

PlayerTime::PlayerTime(AudioTrack& track, int skipFps, int pictureOffsetMs, irr::ITimer* timer)
    : track_(track), fixed_(skipFps, 0, nullptr), live_clock_(track, pictureOffsetMs),
      timer_(timer), offsetFrames_(framesOfMs(pictureOffsetMs)) {
    // Start-up builds the world on a stopped timer at 0, as a capture's start-up does.
    rewind();
}

void PlayerTime::rewind() {
    live_ = false;
    track_.pause(true);
    fixed_.seekFrame(0);
    fixed_.attachTimer(timer_);
}

int64_t PlayerTime::frameAt(uint32_t position) const {
    return (int64_t(position) * fixed_.fps() + kSampleRate / 2) / kSampleRate;
}

void PlayerTime::startPass(int64_t landingFrame) {
    landing_ = std::max<int64_t>(landingFrame, 0);
    rewind();
    if (landing_ == 0)
        goLive(0, 0);
}

void PlayerTime::goLive(uint32_t position, long clockMs) {
    live_ = true;
    live_clock_.pause(false);
    live_clock_.restart(position, clockMs);
    const int64_t sound = std::max<int64_t>(int64_t(position) + offsetFrames_, 0);
    track_.play(static_cast<uint32_t>(std::min<int64_t>(sound, track_.length())));
    if (timer_) {
        timer_->setTime(static_cast<irr::u32>(clockMs));
        while (timer_->isStopped())
            timer_->start();
    }
}

void PlayerTime::beginFrame() {
    if (live_)
        return;
    if (fixed_.frame() >= landing_) {
        // The landing frame has been shown: the sound takes over where it stood.
        goLive(fixed_.playPosition(), fixed_.clockMs());
        return;
    }
    fixed_.beginFrame();
}

uint32_t PlayerTime::playPosition() {
    return live_ ? live_clock_.playPosition() : fixed_.playPosition();
}

long PlayerTime::clockMs() {
    return live_ ? live_clock_.clockMs() : fixed_.clockMs();
}

void PlayerTime::pause(bool paused) {
    if (!live_)
        return;
    track_.pause(paused);
    live_clock_.pause(paused);
    if (timer_) {
        if (paused)
            timer_->stop();
        else
            while (timer_->isStopped())
                timer_->start();
    }
}

} // namespace show
