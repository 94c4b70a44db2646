// Standard error sent nowhere for as long as a QuietStandardError lives. Libraries write
// their own complaints straight to the descriptor (ALSA's "cannot find card '0'" while SDL
// tries its drivers); the show reports a failure in its own words instead.
#pragma once

namespace platform {

class QuietStandardError {
  public:
    QuietStandardError();
    ~QuietStandardError();
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

  private:
    int saved_ = -1; // the descriptor standard error had, restored at the end
};

} // namespace platform
