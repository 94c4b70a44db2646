// A one-line progress bar on standard error: frames done, frames a second, time left.
#pragma once

#include <chrono>
#include <cstdint>

namespace capture {

class Progress {
  public:
    Progress(const char* what, int64_t totalFrames);
    // Redraws at most a few times a second; cheap to call every frame.
    void update(int64_t framesDone);
    // The last state and a newline.
    void finish(int64_t framesDone);

  private:
    void draw(int64_t framesDone);

    const char* what_;
    int64_t total_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastDraw_;
};

} // namespace capture
