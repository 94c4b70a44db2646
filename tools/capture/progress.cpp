#include "progress.h"

#include "audio_mix.h"
#include "options.h"
#include "tunables.h"

#include <algorithm>
#include <cmath>

namespace capture {
namespace {

constexpr int kSecondsPerMinute = 60;
constexpr int kPercent = 100;
constexpr size_t kSpanChars = 48; // "M:SS" of any long

double secondsBetween(std::chrono::steady_clock::time_point a,
                      std::chrono::steady_clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

// "M:SS", or "-:--" for an unknown span.
void formatSpan(double seconds, char* out, size_t size) {
    if (seconds < 0.0) {
        std::snprintf(out, size, "-:--");
        return;
    }
    const long s = std::lround(seconds);
    std::snprintf(out, size, "%ld:%02ld", s / kSecondsPerMinute, s % kSecondsPerMinute);
}

} // namespace

TimeLeft::TimeLeft(std::vector<Kind> kinds) {
    for (const Kind& k : kinds) {
        tallies_.push_back(Tally{k});
        frames_ += k.frames;
    }
}

void TimeLeft::frameDone(size_t kind, double seconds) {
    if (kind >= tallies_.size())
        return;
    Tally& t = tallies_[kind];
    ++t.done;
    t.seconds += seconds;
    seconds_ += seconds;
    priorDone_ += t.kind.prior;
}

double TimeLeft::secondsLeft() const {
    if (priorDone_ <= 0.0)
        return -1.0;
    // Seconds per unit of prior cost, from every frame so far: this machine's speed.
    const double scale = seconds_ / priorDone_;
    double left = 0.0;
    for (const Tally& t : tallies_) {
        const int64_t toCome = t.kind.frames - t.done;
        if (toCome <= 0)
            continue;
        // The kind's own mean, pulled towards the prior while it has few frames behind it.
        const double perFrame =
            (t.seconds + kPriorFrames * t.kind.prior * scale) / (double(t.done) + kPriorFrames);
        left += double(toCome) * perFrame;
    }
    return left;
}

TimeLeft expectedFrames(const std::vector<show::SceneRow>& rows, const FramePlan& plan,
                        int64_t lastFrame, int fps) {
    int lastScene = 0;
    for (const show::SceneRow& row : rows)
        lastScene = std::max(lastScene, row.number);
    std::vector<TimeLeft::Kind> kinds(Progress::kindOf(lastScene, true) + 1);
    for (const show::SceneRow& row : rows) {
        kinds[Progress::kindOf(row.number, false)].prior = kSkippedFrameCost;
        kinds[Progress::kindOf(row.number, true)].prior =
            row.number >= 1 && row.number <= int(kSceneFrameCost.size())
                ? kSceneFrameCost[size_t(row.number - 1)]
                : 1.0;
    }
    size_t r = 0;
    for (int64_t n = 0; n < lastFrame; ++n) {
        const int64_t position = framePosition(n, fps);
        while (r + 1 < rows.size() && position >= int64_t(rows[r].toExclusive))
            ++r;
        if (!rows.empty())
            ++kinds[Progress::kindOf(rows[r].number, plan.keeps(n))].frames;
    }
    return TimeLeft(std::move(kinds));
}

size_t Progress::kindOf(int scene, bool kept) {
    return size_t(std::max(scene, 0)) * 2 + (kept ? 1 : 0);
}

Progress::Progress(const char* what, TimeLeft estimate, std::FILE* out, bool terminal)
    : what_(what), estimate_(std::move(estimate)), out_(out), terminal_(terminal),
      total_(estimate_.frames()), start_(Clock::now()), lastFrame_(start_), lastDraw_(start_) {}

void Progress::frameDone(int scene, bool kept) {
    const Clock::time_point now = Clock::now();
    estimate_.frameDone(kindOf(scene, kept), secondsBetween(lastFrame_, now));
    lastFrame_ = now;
    ++done_;
    const double sinceDraw = secondsBetween(lastDraw_, now);
    if (terminal_ ? sinceDraw >= kProgressRedrawSeconds : sinceDraw >= kProgressLineSeconds)
        draw(now, false);
}

void Progress::finish() {
    draw(Clock::now(), true);
}

void Progress::draw(Clock::time_point now, bool last) {
    lastDraw_ = now;
    const double elapsed = secondsBetween(start_, now);
    const double rate = elapsed > 0.0 ? done_ / elapsed : 0.0;
    const int64_t total = std::max<int64_t>(std::max(total_, done_), 1);
    char span[kSpanChars];
    formatSpan(last ? elapsed : estimate_.secondsLeft(), span, sizeof span);
    const char* spanIs = last ? "done in" : "left:";
    if (terminal_) {
        char bar[kProgressBarCells + 1];
        const int64_t filled = done_ * kProgressBarCells / total;
        for (int i = 0; i < kProgressBarCells; ++i)
            bar[i] = i < filled ? '#' : '.';
        bar[kProgressBarCells] = '\0';
        std::fprintf(out_, "\r%s [%s] %lld/%lld frames  %.1f fps  %s %s  %s", what_, bar,
                     static_cast<long long>(done_), static_cast<long long>(total), rate, spanIs,
                     span, last ? "\n" : "");
    } else {
        std::fprintf(out_, "%s %3lld%%  %lld/%lld frames  %.1f fps  %s %s\n", what_,
                     static_cast<long long>(done_ * kPercent / total),
                     static_cast<long long>(done_), static_cast<long long>(total), rate, spanIs,
                     span);
    }
    std::fflush(out_);
}

} // namespace capture
