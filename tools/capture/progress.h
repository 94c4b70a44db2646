// Progress on standard error: frames done, frames a second, and time left.
//
// The time left must hold for a show whose scenes cost up to four times more to draw than
// others, and where a range starts with frames that only run (cheap) before the kept ones
// (dear). So frames are counted by kind, a scene's kept frames or its frames run without
// drawing, and the time left adds, kind by kind, the frames still to come times what a frame
// of that kind costs: its own measured mean once it has run, and before that a prior, the
// kind's relative cost scaled by what the frames so far cost against their prior.
#pragma once

#include "host/timeline.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace capture {

class TimeLeft {
  public:
    struct Kind {
        int64_t frames = 0; // to run in all
        double prior = 1.0; // relative cost of one frame, against the other kinds
    };
    explicit TimeLeft(std::vector<Kind> kinds);
    void frameDone(size_t kind, double seconds);
    // Seconds the frames still to come will take; negative until a frame has been measured.
    double secondsLeft() const;
    int64_t frames() const { return frames_; }

  private:
    struct Tally {
        Kind kind;
        int64_t done = 0;
        double seconds = 0.0;
    };
    std::vector<Tally> tallies_;
    int64_t frames_ = 0;
    double seconds_ = 0.0;   // over every kind
    double priorDone_ = 0.0; // the prior cost of every frame done
};

class FramePlan;

// The frames from the show's first to lastFrame (exclusive), at fps, by kind (Progress::kindOf):
// each in the scene its play position falls in, kept when the plan keeps it.
TimeLeft expectedFrames(const std::vector<show::SceneRow>& rows, const FramePlan& plan,
                        int64_t lastFrame, int fps);

class Progress {
  public:
    // A frame of a scene, kept (drawn) or only run.
    static size_t kindOf(int scene, bool kept);
    // kinds indexed by kindOf. On a terminal one line is redrawn in place; elsewhere (a file,
    // a pipe, a CI log) a plain line is added now and then.
    Progress(const char* what, TimeLeft estimate, std::FILE* out, bool terminal);
    // Cheap to call every frame: it draws only now and then.
    void frameDone(int scene, bool kept);
    // The last state, ending the line.
    void finish();

  private:
    using Clock = std::chrono::steady_clock;
    void draw(Clock::time_point now, bool last);

    const char* what_;
    TimeLeft estimate_;
    std::FILE* out_;
    bool terminal_;
    int64_t total_ = 0;
    int64_t done_ = 0;
    Clock::time_point start_, lastFrame_, lastDraw_;
};

} // namespace capture
