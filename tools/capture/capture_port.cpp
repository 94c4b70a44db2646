#include "capture_port.h"

#include "audio_mix.h"
#include "bench.h"
#include "options.h"
#include "progress.h"

#include "host/timeline.h"
#include "scenes/show.h"

#include <GL/gl.h>

namespace capture {
namespace {

using Ms = std::chrono::duration<double, std::milli>;

show::VirtualTime& virtualClock(show::Show& show) {
    // The capture always starts the show on the virtual clock.
    return static_cast<show::VirtualTime&>(*show.time);
}

} // namespace

CapturePort::CapturePort(show::Show& show, const FramePlan& plan, Progress& progress)
    : EngineFramePort(show), clock_(virtualClock(show)), plan_(plan), progress_(progress),
      width_(show.engine.width), height_(show.engine.height) {}

bool CapturePort::deviceRunning() {
    if (timing_)
        commitTiming(Clock::now());
    const bool running = EngineFramePort::deviceRunning();
    // The show draws one more frame after reading a position past the track; its time lies
    // after the music, so a recording ends with the last frame inside the track.
    const int64_t next = clock_.frame() + 1;
    const bool inTrack = framePosition(next, clock_.fps()) < show_.music.track.length();
    return running && !failed_ && inTrack && !plan_.finishedBefore(next);
}

bool CapturePort::frameStarted(const show::SceneRow& row) {
    frame_ = clock_.frame();
    const bool keep = plan_.keeps(frame_);
    scene_ = row.number;
    timing_ = bench_ && keep;
    started_ = Clock::now();
    return keep;
}

void CapturePort::drawingStarted() {
    drawing_ = Clock::now();
}

void CapturePort::frameDrawn() {
    if (sink_)
        readFrame();
}

void CapturePort::endFrame(bool drawn) {
    EngineFramePort::endFrame(drawn);
    if (timing_) {
        // Drawing is done when the GPU (here llvmpipe's threads) is done, not when it was asked.
        glFinish();
        drawn_ = Clock::now();
        logicMs_ = Ms(drawing_ - started_).count();
    }
    if (framesRun_ == 0)
        firstFrameShown_ = Clock::now();
    ++framesRun_;
    if (drawn)
        ++framesKept_;
    if (pans_)
        pans_->record(frame_, show_.music.track.pan());
    progress_.frameDone(scene_, drawn);
}

void CapturePort::commitTiming(Clock::time_point now) {
    // What ran after the frame was shown (the scene's after-frame work) is logic too.
    const double logic = logicMs_ + Ms(now - drawn_).count();
    bench_->add(scene_, float(logic), float(Ms(drawn_ - drawing_).count()));
    timing_ = false;
}

void CapturePort::readFrame() {
    uint8_t* rgb = sink_->frameBuffer();
    if (!rgb) {
        failed_ = true;
        return;
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    if (!sink_->take(frame_))
        failed_ = true;
}

} // namespace capture
