#include "bench.h"

#include "core/audio.h"
#include "tunables.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace capture {

double median(std::vector<float> values) {
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : 0.5 * (double(values[mid - 1]) + values[mid]);
}

double percentile(std::vector<float> values, double share) {
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t rank = size_t(std::ceil(share * double(values.size())));
    return values[std::clamp<size_t>(rank, 1, values.size()) - 1];
}

BenchTable::BenchTable(const std::vector<show::SceneRow>& rows, int fps) {
    for (const show::SceneRow& row : rows) {
        Times t;
        t.scene = row.number;
        // One more than the interval holds: its first frame may fall on either side. On a track
        // that ends before the last scene starts, that scene's interval is empty, not negative.
        const int64_t samples = std::max<int64_t>(int64_t(row.toExclusive) - int64_t(row.from), 0);
        const size_t room = size_t(samples * fps / int64_t(show::kSampleRate) + 2);
        t.logic.reserve(room);
        t.draw.reserve(room);
        scenes_.push_back(std::move(t));
    }
}

void BenchTable::add(int scene, float logicMs, float drawMs) {
    for (Times& t : scenes_) {
        if (t.scene == scene) {
            t.logic.push_back(logicMs);
            t.draw.push_back(drawMs);
            return;
        }
    }
}

namespace {

Summary summarise(int scene, const std::vector<float>& logic, const std::vector<float>& draw) {
    std::vector<float> total(logic.size());
    for (size_t i = 0; i < logic.size(); ++i)
        total[i] = logic[i] + draw[i];
    return {scene,
            logic.size(),
            median(logic),
            percentile(logic, kHighPercentile),
            median(draw),
            percentile(draw, kHighPercentile),
            percentile(total, kHighPercentile)};
}

} // namespace

std::vector<Summary> BenchTable::summaries() const {
    std::vector<Summary> out;
    std::vector<float> allLogic, allDraw;
    for (const Times& t : scenes_) {
        if (t.logic.empty())
            continue;
        out.push_back(summarise(t.scene, t.logic, t.draw));
        allLogic.insert(allLogic.end(), t.logic.begin(), t.logic.end());
        allDraw.insert(allDraw.end(), t.draw.begin(), t.draw.end());
    }
    out.push_back(summarise(kAllScenes, allLogic, allDraw));
    return out;
}

std::string formatTable(const std::vector<Summary>& rows) {
    std::string text = "scene  frames   logic ms: median     p95   drawing ms: median     p95\n";
    char line[128];
    for (const Summary& s : rows) {
        char scene[8];
        if (s.scene == kAllScenes)
            std::snprintf(scene, sizeof scene, "all");
        else
            std::snprintf(scene, sizeof scene, "%d", s.scene);
        std::snprintf(line, sizeof line, "%5s  %6zu  %17.3f %7.3f  %19.3f %7.3f\n", scene, s.frames,
                      s.logicMedian, s.logicHigh, s.drawMedian, s.drawHigh);
        text += line;
    }
    return text;
}

bool writeCsv(const std::string& path, const std::vector<Summary>& rows) {
    FILE* f = std::fopen(path.c_str(), "w");
    if (!f)
        return false;
    std::fprintf(f, "scene,frames,logic_median_ms,logic_p95_ms,draw_median_ms,draw_p95_ms\n");
    for (const Summary& s : rows) {
        if (s.scene == kAllScenes)
            std::fprintf(f, "all");
        else
            std::fprintf(f, "%d", s.scene);
        std::fprintf(f, ",%zu,%.3f,%.3f,%.3f,%.3f\n", s.frames, s.logicMedian, s.logicHigh,
                     s.drawMedian, s.drawHigh);
    }
    return std::fclose(f) == 0;
}

} // namespace capture
