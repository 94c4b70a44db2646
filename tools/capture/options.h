// The capture tool's command line and the frames it asks for. Pure logic, no engine.
//
//   demo-capture [--size WxH] [--fps N] [--antialias N] [--depth N] [--from S] [--to S]
//                [--out FILE.mp4 | --png DIR] [--frames T1,T2,...]
//   demo-capture --bench [--size WxH] [--fps N] [--antialias N] [--depth N] [--from S]
//                [--to S] [--csv F] [--chart F.png]
//
// Frame n of a capture is the show at play position n*44100/fps, so a frame's content never
// depends on how fast the machine draws.
#pragma once

#include "host/startup.h"

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace capture {

enum class Mode { Video, Png, Frames, Bench };

struct Options {
    Mode mode = Mode::Video;
    int width = 0;
    int height = 0;
    int fps = 0;
    int antiAlias = show::kAntiAliasSamples;   // multisample count of the window; 0 for none
    int depthBits = show::kWindowDepthBits[0]; // the deepest window depth buffer to ask for
    double from = 0.0;
    double to = std::numeric_limits<double>::infinity(); // the show's end
    std::string video;                                   // Mode::Video
    std::string pngDir = ".";                            // Mode::Png and Mode::Frames
    std::vector<double> frameTimes;                      // Mode::Frames, seconds
    std::string csv;                                     // Mode::Bench
    std::string chart;                                   // Mode::Bench
    bool help = false;
};

struct Parsed {
    Options options;
    std::string error; // empty when the command line is good
};

// One line naming every form of the command line.
extern const char* const kUsage;

Parsed parseOptions(int argc, const char* const* argv);

// The frame shown at a time, at fps frames a second.
int64_t frameAt(double seconds, int fps);

// Which frames are drawn and kept. The frames before them still run, so the show's state at
// the first kept frame is exactly what it is when the show plays from its start.
class FramePlan {
  public:
    explicit FramePlan(const Options& options);
    bool keeps(int64_t frame) const;
    // True once no frame from next on is kept: the capture can stop.
    bool finishedBefore(int64_t next) const { return next >= end_; }
    int64_t first() const { return first_; }
    // The first frame after the kept ones (the largest value when the show's end decides).
    int64_t end() const { return end_; }

  private:
    int64_t first_ = 0;
    int64_t end_ = std::numeric_limits<int64_t>::max();
    std::vector<int64_t> picks_; // sorted; when set, only these are kept
};

} // namespace capture
