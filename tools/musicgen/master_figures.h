// How loud the master is and how much room its peaks have: integrated loudness, loudness range
// and true peak (EBU R 128, measured by libebur128) and the median crest factor of the left
// channel over one-second windows. (How much the master's saturator bent is counted where it
// works, by musicgen.)
#pragma once

#include <cstdio>
#include <vector>

namespace musicgen {

// What the master aims for (the figures are printed with these, never judged by them here).
constexpr double kLoudestLufs = -7.0;
constexpr double kQuietestLufs = -9.0;
constexpr double kMostTruePeakDb = -1.0;
constexpr double kLeastCrestDb = 8.5;
constexpr int kCrestWindowSamples = 44100; // one second

struct MasterFigures {
    double integratedLufs = 0;
    double loudnessRangeLu = 0;
    double truePeakDb = 0;   // the higher channel, dBTP (4x oversampled)
    double samplePeakDb = 0; // the higher channel, dBFS
    double medianCrestDb = 0;
    int crestWindows = 0; // one-second windows measured (silent ones left out)
    bool ok = false;      // false when the loudness meter could not run
};

// Median over consecutive whole windows of `window` samples of 20 log10(peak / rms);
// windows of digital silence are left out. Sets windows to the number measured.
double medianCrestDb(const std::vector<float>& channel, int window, int& windows);

MasterFigures measureMaster(const std::vector<float>& left, const std::vector<float>& right);
void printMaster(std::FILE* out, const MasterFigures& m);

} // namespace musicgen
