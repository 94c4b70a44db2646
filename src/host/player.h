// The demo's player: the show from wherever the viewer asks, with the keys demo makers and
// party organisers expect, and every control landing on the picture straight play shows.
//
// Rules of the unit:
// - A pass of the show always starts from start-up state (restartShow, except for the first
//   pass, which start-up has just made) and runs the scene table from its first row.
// - The frames before the landing frame are skipped: their logic and the engine's animation
//   run on the fixed skip rate, nothing is drawn. The landing frame is drawn on that rate too,
//   so it is the frame a capture at the skip rate shows there. Then the sound leads.
// - A control that moves the show (a seek, a scene jump) interrupts the pass at the end of
//   the frame and starts a new one; no further hand-over runs. Pause stops the one clock.
//
// Keys: Escape quits while held (paused or not), as the show's own frame loop has it; Space
// pauses and resumes, Right and Left seek 10 s,
// Page Down and Page Up jump to the next and previous scene (Page Up restarts the scene on
// screen when it has run for more than two seconds), F shows or hides the frame rate.
#pragma once

#include "core/time_source.h"
#include "host/timeline.h"

#include <irrlicht.h>

#include <cstdint>
#include <vector>

namespace show {

struct Show;

constexpr uint32_t kSeekStep = 10 * 44100; // samples
// Page Up restarts the scene on screen once it has run this long, else goes back a scene.
constexpr uint32_t kRestartSceneAfter = 2 * 44100;
// While skipping, the window's events are looked at once in this many frames: often enough
// for Escape, rarely enough to cost nothing.
constexpr int kSkipFramesPerLook = 30;

class PlayerPort : public EngineFramePort {
  public:
    PlayerPort(Show& show, PlayerTime& time, const std::vector<SceneRow>& rows);

    bool deviceRunning() override;
    bool interrupted() override { return interrupt_; }
    bool frameStarted(const SceneRow& row) override;

    // Holds the sound and puts the clock back at the show's start, for restartShow.
    void rewind();
    // A new pass that lands on frame landing (the show's state is start-up's).
    void startPass(int64_t landing);
    // The frame the next pass lands on, after an interrupted one; -1: past the show's end.
    int64_t nextLanding() const { return nextLanding_; }
    bool windowOpen() const { return windowOpen_; }
    bool paused() const { return paused_; }

    // The landing frame for a start position of the show, and for a scene's first frame.
    int64_t landingAt(uint32_t position) const;
    int64_t landingAtScene(int scene) const;

  protected:
    void frameDrawn() override;
    // Called with the landing frame drawn, before it is presented (where a test reads it).
    virtual void landingDrawn() {}

  private:
    void takePresses();
    void press(irr::EKEY_CODE key);
    void seekTo(int64_t position, bool sceneStart);
    void setPaused(bool paused);
    // Where the show stands for a seek: a seek already asked for, the frame the pass is
    // skipping to, or the position on screen.
    uint32_t standing() const;

    PlayerTime& time_;
    const std::vector<SceneRow>& rows_;
    int64_t landing_ = 0;
    int64_t skipped_ = 0;
    int64_t nextLanding_ = 0;
    uint32_t asked_ = 0; // the position the pending seek goes to
    bool interrupt_ = false;
    bool paused_ = false;
    bool windowOpen_ = true;
    bool frameRateShown_ = false;
    bool landingFrame_ = false;
    bool landed_ = false;
};

// Plays passes of the show until it ends, is escaped or its window closes. The first pass
// lands on `landing` from the state start-up left; with loop, a pass that reaches the end
// starts the show again from its beginning.
ShowEnd playShow(Show& show, PlayerPort& port, const std::vector<SceneRow>& rows, int64_t landing,
                 bool loop);

} // namespace show
