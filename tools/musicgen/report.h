// What the show will see of the track: per scene, at 60 frames per second, how often the
// lowest band crosses the scenes' beat thresholds, how many spectrum tiles light up and
// how much of the spectrum stays inside the opening's dotted curves. Each figure has the
// range the scenes need; the report checks every one.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "timeline.h"

namespace musicgen {

constexpr int kReportFps = 60;
// Thresholds the scenes apply to a level (their tests compare level * 100 with these / 100).
constexpr double kNudgeLevel = 0.03;      // the title's beat nudge
constexpr double kBrickLevel = 0.20;      // a brick-dropping bass beat ("loud frame")
constexpr double kFlashLevel = 0.35;      // the orbs' white flash
constexpr double kTileLevel = 0.03;       // a lit spectrum tile
constexpr double kDotLowLevel = 0.0001;   // a dot of the opening's curves visibly off its line
constexpr double kDotHighLevel = 0.005;   // ... and still on screen
constexpr int kFinalFadeSamples = 100000; // the fade to black before the end mark

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
