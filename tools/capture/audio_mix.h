// The show's own sound for a captured range: the decoded track with, for every frame, the
// pan the show had set when that frame was done (scene 8 sweeps it), applied to the samples
// the frame stands for, [position(n), position(n+1)).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace capture {

// Play position of frame n: the same n*44100/fps the virtual clock gives.
int64_t framePosition(int64_t frame, int fps);

// Pans of consecutive frames from a first frame on. Sized before the show plays, so a frame
// only writes into it.
class PanRecord {
  public:
    PanRecord(int64_t firstFrame, int64_t frames);
    void record(int64_t frame, int pan); // frames outside the record are ignored
    int64_t firstFrame() const { return first_; }
    int64_t recorded() const { return recorded_; } // frames kept, from the first on
    const std::vector<int>& pans() const { return pans_; }

  private:
    int64_t first_;
    int64_t recorded_ = 0;
    std::vector<int> pans_;
};

// Interleaved stereo of the recorded frames, as long as they are: silent after the track's end.
std::vector<float> mixRecordedFrames(const std::vector<float>& trackStereo, int fps,
                                     const PanRecord& pans);

// A 44100 Hz stereo 32-bit float WAV file. False when it cannot be written.
bool writeWav(const std::string& path, const std::vector<float>& stereo);

} // namespace capture
