// The show's one frame loop. Each scene is a row of a table: its play-position interval, the
// block that runs when it is entered, and its per-frame work around the one spectrum read.
// The guard, the Escape test, the read, the frame's begin and end (beginScene, then the GUI
// draw, endScene and the status text) are written here once; a scene never runs a loop of
// its own and never begins or ends a frame.
#pragma once

#include "scenes/scene_row.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace show {

// What the loop needs from the engine, behind one interface so the loop itself can be tested
// without a window.
class FramePort {
  public:
    virtual ~FramePort() = default;
    virtual bool deviceRunning() = 0; // also delivers input events
    virtual bool escapeHeld() = 0;
    // Asked when a scene's loop has ended: true ends the pass at once, with no further
    // hand-over (the player starts a new pass from the show's start-up state).
    virtual bool interrupted() { return false; }
    virtual void readSpectrumThenPosition() = 0;
    // The frame's bracket around the scene's render step; drawn as frameStarted answered.
    virtual void beginFrame(FrameStart start, bool drawn) = 0; // beginScene
    virtual void endFrame(bool drawn) = 0;                     // GUI draw, endScene, status text

    // The guard passed and the frame's time is set. Answers whether this frame is drawn: a
    // port skipping ahead, or leaving frames out of a recording, runs their logic undrawn.
    virtual bool frameStarted(const SceneRow& row) { return true; }
    // Where a measuring port looks in: the scene's logic is done, render is next.
    virtual void drawingStarted() {}
};

enum class ShowEnd { Finished, Escaped, Interrupted };

// Plays the rows in order, each while the play position read in the previous frame lies in
// its interval. Hand-overs always run, even for a scene whose interval was skipped, unless
// the port interrupts the pass.
ShowEnd runTimeline(Show& show, FramePort& port, const std::vector<SceneRow>& rows);

// Port onto the real engine and music.
class EngineFramePort : public FramePort {
  public:
    explicit EngineFramePort(Show& show) : show_(show) {}
    bool deviceRunning() override;
    bool escapeHeld() override;
    void readSpectrumThenPosition() override;
    void beginFrame(FrameStart start, bool drawn) override;
    void endFrame(bool drawn) override;

  protected:
    // Called with the whole frame drawn, before it is presented: where a capture reads it.
    virtual void frameDrawn() {}
    Show& show_;

  private:
    static constexpr int kStatusBufferSize = 255;
    wchar_t statusBuffer_[kStatusBufferSize] = {};
};

} // namespace show
