#include "host/time_source.h"

#include "host/audio.h"

#include <irrlicht.h>

namespace show {

LiveTime::LiveTime(const AudioTrack& track)
    : track_(track), start_(std::chrono::steady_clock::now()) {}

uint32_t LiveTime::playPosition() {
    return track_.position();
}

long LiveTime::clockMs() {
    const auto elapsed = std::chrono::steady_clock::now() - start_;
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
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
