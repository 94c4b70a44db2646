// The frame port of the capture tool: the demo's own port, plus what a recording needs.
//
// Every frame of the show runs, from the first, exactly as in the demo: the same logic and
// the same scene-graph passes. A frame that is not kept is skipped: the render sequences
// then run the engine's animation and particle emission once for every scene draw, as
// drawAll would, and draw nothing, and neither the GUI nor the frame is drawn. No render
// target carries pixels from one frame to the next (every pass clears its target), so the
// first kept frame is the frame a capture from the start draws.
#pragma once

#include "host/timeline.h"

#include <chrono>
#include <cstdint>

namespace show {
class VirtualTime;
}

namespace capture {

class BenchTable;
class FramePlan;
class PanRecord;
class Progress;

// Takes the kept frames: width*height*3 bytes of RGB, bottom row first, as GL reads them.
class FrameSink {
  public:
    virtual ~FrameSink() = default;
    // Where the next kept frame is read to; null when the sink can take no more.
    virtual uint8_t* frameBuffer() = 0;
    // The frame read into frameBuffer() is complete. False when it could not be kept.
    virtual bool take(int64_t frame) = 0;
};

class CapturePort final : public show::EngineFramePort {
  public:
    using Clock = std::chrono::steady_clock;

    CapturePort(show::Show& show, const FramePlan& plan, Progress& progress);
    void setSink(FrameSink* sink) { sink_ = sink; }
    void setPans(PanRecord* pans) { pans_ = pans; }
    void setBench(BenchTable* bench) { bench_ = bench; }

    bool deviceRunning() override;
    bool frameStarted(const show::SceneRow& row) override;
    void drawingStarted() override;
    void endFrame(bool drawn) override;

    bool failed() const { return failed_; }
    int64_t framesRun() const { return framesRun_; }
    int64_t framesKept() const { return framesKept_; }
    // When the show's first frame had been presented (start-up ends there).
    Clock::time_point firstFrameShown() const { return firstFrameShown_; }

  protected:
    void frameDrawn() override;

  private:
    void readFrame();
    void commitTiming(Clock::time_point now);

    show::VirtualTime& clock_;
    const FramePlan& plan_;
    Progress& progress_;
    FrameSink* sink_ = nullptr;
    PanRecord* pans_ = nullptr;
    BenchTable* bench_ = nullptr;

    int64_t frame_ = -1;
    bool failed_ = false;
    int64_t framesRun_ = 0;
    int64_t framesKept_ = 0;
    Clock::time_point firstFrameShown_{};

    // Benchmark timing of the frame in flight.
    bool timing_ = false;
    int scene_ = 0;
    Clock::time_point started_, drawing_, drawn_;
    double logicMs_ = 0.0;

    int width_, height_;
};

} // namespace capture
