// The one seam for time. Everything the show reads about time comes through here or through
// the engine timer that a TimeSource drives, so a test or the capture tool can replay frame n
// of the show exactly.
//
//   live:    play position = what the audio device has played; clock = wall time since start;
//            the engine timer runs by itself.
//   virtual: frame n of a fixed rate; play position n*44100/fps, clock and engine timer
//            n*1000/fps (the engine timer stopped and set every frame).
//   player:  the demo's clock: virtual frames while the show skips ahead to where the player
//            asked, live from the frame it lands on.
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
    // pictureOffsetMs > 0 shows the picture that much later than the sound it belongs to.
    explicit LiveTime(const AudioTrack& track, int pictureOffsetMs = 0);
    void beginFrame() override {}
    // Never falls: a device that has just been started somewhere reports the buffer before it
    // for a moment, and a position going back would end the scene on screen.
    uint32_t playPosition() override;
    long clockMs() override;

    // From now on the position starts at `position` and the clock at `clockMs`.
    void restart(uint32_t position, long clockMs);
    // Holds the clock (the track holds the position itself).
    void pause(bool paused);

  private:
    using Clock = std::chrono::steady_clock;
    const AudioTrack& track_;
    int64_t offsetFrames_;
    uint32_t lowest_ = 0;
    long clockBase_ = 0;
    Clock::time_point resumed_;
    bool paused_ = false;
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

// The demo's clock. A pass of the show starts at frame 0 of a fixed rate; the frames before
// the landing frame are skipped (their logic runs, nothing is drawn), the landing frame is
// drawn on the fixed rate too, so it is the very frame a capture at that rate shows, and the
// sound starts there. From the next frame on the sound's position leads, moved by the
// picture offset.
class PlayerTime final : public TimeSource {
  public:
    PlayerTime(AudioTrack& track, int skipFps, int pictureOffsetMs, irr::ITimer* timer);
    void beginFrame() override;
    uint32_t playPosition() override;
    long clockMs() override;
    void trackLoaded(uint32_t length) override { fixed_.trackLoaded(length); }

    // Holds the sound, and stops the engine timer at 0 as start-up has it, so that whatever
    // is built now starts its animators where a fresh start does.
    void rewind();
    // A new pass from frame 0 that lands on landingFrame. Landing on frame 0 starts the sound
    // at once and plays live from the first frame.
    void startPass(int64_t landingFrame);
    // The frame now running is before the landing frame: run it, do not draw it.
    bool skipping() const { return !live_ && fixed_.frame() < landing_; }
    bool live() const { return live_; }
    void pause(bool paused);
    int fps() const { return fixed_.fps(); }
    // The fixed-rate frame whose position is the nearest to position.
    int64_t frameAt(uint32_t position) const;

  private:
    void goLive(uint32_t position, long clockMs);

    AudioTrack& track_;
    VirtualTime fixed_;
    LiveTime live_clock_;
    irr::ITimer* timer_;
    int64_t offsetFrames_;
    int64_t landing_ = 0;
    bool live_ = false;
};

} // namespace show
