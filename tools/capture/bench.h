// The benchmark's bookkeeping: per scene, milliseconds per frame of the show's own logic
// (everything from the guard to the render call, and the work after the frame) and of the
// engine's drawing (the render sequence, the GUI, endScene, and the GPU finishing it).
#pragma once

#include "host/timeline.h"

#include <cstddef>
#include <string>
#include <vector>

namespace capture {

constexpr int kAllScenes = 0; // the summary row over every frame

struct Summary {
    int scene = kAllScenes;
    size_t frames = 0;
    double logicMedian = 0, logicHigh = 0; // high: the kHighPercentile percentile
    double drawMedian = 0, drawHigh = 0;
    double totalHigh = 0; // of logic + drawing per frame
};

// Median of values (mean of the middle two for an even count); 0 for none.
double median(std::vector<float> values);
// Nearest-rank percentile: the smallest value with at least share of the values at or under it.
double percentile(std::vector<float> values, double share);

class BenchTable {
  public:
    // Room for every frame of every row at fps is made here, so add() never allocates.
    BenchTable(const std::vector<show::SceneRow>& rows, int fps);
    void add(int scene, float logicMs, float drawMs);
    // One row per scene that ran a frame, in scene order, then the kAllScenes row.
    std::vector<Summary> summaries() const;

  private:
    struct Times {
        int scene = 0;
        std::vector<float> logic, draw;
    };
    std::vector<Times> scenes_;
};

// The table as printed on standard output.
std::string formatTable(const std::vector<Summary>& rows);
bool writeCsv(const std::string& path, const std::vector<Summary>& rows);
// Stacked bars per scene (logic then drawing, medians) with a mark at the high percentile.
bool writeChart(const std::string& path, const std::vector<Summary>& rows);

} // namespace capture
