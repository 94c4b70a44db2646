// What the show will see of the track: per scene, at 60 frames per second, how often the
// lowest band crosses the scenes' beat thresholds, how many spectrum tiles light up and
// how much of the spectrum stays inside the opening's dotted curves. Each figure has the
// range the scenes need; the report checks every one.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "timeline.h"

#include "content/band_levels.h"
#include "scenes/title.h"
#include "scenes/tunables.h"

namespace musicgen {

constexpr int kReportFps = 60;
// The show's thresholds as levels: the title's beat nudge, a brick-dropping beat, the orbs'
// white flash and a lit spectrum tile. A level crosses one as the scenes compare: both times
// kLevelScale, strictly above.
constexpr double kNudgeLevel = show::kTitleBeat / show::level::kLevelScale;
constexpr double kBrickLevel = show::kBrickBeatLevel / show::level::kLevelScale;
constexpr double kFlashLevel = show::level::kBassFlashAbove / show::level::kLevelScale;
constexpr double kTileLevel = show::level::kTileLoud / show::level::kLevelScale;
// A dot of the opening's curves visibly off its line (ten pixels), and still on screen.
constexpr double kDotLowLevel = 10.0 / show::level::kRowLift;
constexpr double kDotHighLevel = 500.0 / show::level::kRowLift;
// The finale's fade to black, before the end mark.
constexpr int kFinalFadeSamples = int(show::level::kFadeLeadSamples);

inline bool crosses(double value, double threshold) {
    return value * show::level::kLevelScale > threshold * show::level::kLevelScale;
}

struct Range {
    double low, high;
    bool holds(double v) const { return v >= low && v <= high; }
};

struct SceneFigures {
    int scene = 0; // 1-based
    int frames = 0;
    double nudgeShare = 0; // share of frames with band 0 above kNudgeLevel
    double brickShare = 0;
    double flashShare = 0;
    double meanLitTiles = 0;
    double dotShare = 0; // mean share of bands within the dotted curves' range
    int loudFrames = 0;  // frames with band 0 above kBrickLevel
    int loudFramesInFinalFade = 0;
};

// A figure a scene needs, with its allowed range.
struct Requirement {
    std::string what;
    int scene;
    double value;
    Range range;
    bool met() const { return range.holds(value); }
};

// The scene table of the decoded track (scene 20 ends at its end mark, included).
int64_t sceneEnd(int scene, int64_t trackSamples);

std::vector<SceneFigures> measureScenes(const std::vector<float>& mono);
std::vector<Requirement> requirements(const std::vector<SceneFigures>& figures);
void printReport(std::FILE* out, const std::vector<SceneFigures>& figures,
                 const std::vector<Requirement>& checks);

} // namespace musicgen
