#include "progress.h"

#include "tunables.h"

#include <algorithm>
#include <cstdio>

namespace capture {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kSecondsPerMinute = 60;

double secondsBetween(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

} // namespace

Progress::Progress(const char* what, int64_t totalFrames)
    : what_(what), total_(std::max<int64_t>(totalFrames, 1)), start_(Clock::now()),
      lastDraw_(start_) {}

void Progress::update(int64_t framesDone) {
    const Clock::time_point now = Clock::now();
    if (secondsBetween(lastDraw_, now) < kProgressIntervalSeconds)
        return;
    lastDraw_ = now;
    draw(framesDone);
}

void Progress::finish(int64_t framesDone) {
    draw(framesDone);
    std::fputc('\n', stderr);
}

void Progress::draw(int64_t framesDone) {
    const double elapsed = secondsBetween(start_, Clock::now());
    const double rate = elapsed > 0.0 ? framesDone / elapsed : 0.0;
    const int64_t done = std::min(framesDone, total_);
    const long left = rate > 0.0 ? long((total_ - done) / rate + 0.5) : 0;
    char bar[kProgressBarCells + 1];
    const int filled = int(done * kProgressBarCells / total_);
    for (int i = 0; i < kProgressBarCells; ++i)
        bar[i] = i < filled ? '#' : '.';
    bar[kProgressBarCells] = '\0';
    std::fprintf(stderr, "\r%s [%s] %lld/%lld frames  %.1f fps  %ld:%02ld left  ", what_, bar,
                 static_cast<long long>(done), static_cast<long long>(total_), rate,
                 left / kSecondsPerMinute, left % kSecondsPerMinute);
    std::fflush(stderr);
}

} // namespace capture
