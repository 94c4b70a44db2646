// The one seam for time. Everything the show reads about time comes through here or through
// the engine timer that a TimeSource drives, so a test or the capture tool can replay frame n
// of the show exactly.
//
//   live:    play position = what the audio device has played; clock = wall time since start;
//            the engine timer runs by itself.
//   virtual: frame n of a fixed rate; play position n*44100/fps, clock and engine timer
//            n*1000/fps (the engine timer stopped and set every frame).
#pragma once

#include <chrono>
#include <cstdint>

namespace irr {
class ITimer;
}

namespace show {

class AudioTrack;

class TimeSource {
  public:
    virtual ~TimeSource() = default;
    // Called once at the top of every show frame, after its guard passed.
    virtual void beginFrame() = 0;
    // The music's play position in samples at 44100 Hz; past every scene once the track ended.
    virtual uint32_t playPosition() = 0;
    // Milliseconds of wall time since start: what the scenes' clock steps measure.
    virtual long clockMs() = 0;
    // Told once the music is loaded, before playback starts.
    virtual void trackLoaded(uint32_t length) {}
};

class LiveTime final : public TimeSource {
  public:
    explicit LiveTime(const AudioTrack& track);
    void beginFrame() override {}
    uint32_t playPosition() override;
    long clockMs() override;

  private:
    const AudioTrack& track_;
    std::chrono::steady_clock::time_point start_;
};

class VirtualTime final : public TimeSource {
  public:
    // timer may be null (pure logic tests); trackLength is the end of the music in samples.
    VirtualTime(int fps, uint32_t trackLength, irr::ITimer* timer);
    void beginFrame() override;
    uint32_t playPosition() override;
    long clockMs() override;

    int64_t frame() const { return frame_; }
    int fps() const { return fps_; }
    // Positions the next beginFrame() at frame n (the capture tool's --from).
    void seekFrame(int64_t n) { frame_ = n - 1; }
    // Start-up: stops the engine timer at time 0 so animators made now see the virtual clock.
    void attachTimer(irr::ITimer* timer);
    void trackLoaded(uint32_t length) override { trackLength_ = length; }

  private:
    int fps_;
    uint32_t trackLength_;
    irr::ITimer* timer_;
    int64_t frame_ = -1;
};

} // namespace show
