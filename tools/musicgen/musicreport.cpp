// musicreport: decodes a track as the show does and prints, per scene, what the show's
// spectrum thresholds will see, then the master's loudness, true peak and crest factor.
// Exits with 1 when a scene's requirement is not met (the master's figures are only printed).
//   musicreport TRACK.mp3                     the per-scene report and the master's figures
//   musicreport --master TRACK.mp3            the master's figures only (for an excerpt)
//   musicreport --frames FROM TO TRACK.mp3    the lowest bands and lit tiles of every frame
//                                             between FROM and TO seconds
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/frequency_bands.h"

#include "master_figures.h"
#include "mp3_reader.h"
#include "report.h"
#include "timeline.h"

namespace {

using namespace musicgen;

constexpr int kTraceBands = 6;

void traceFrames(const std::vector<float>& mono, double from, double to) {
    show::SpectrumAnalyser analyser;
    std::array<float, show::kSpectrumBands> levels{};
    const int64_t frame = kSampleRate / kReportFps;
    for (int64_t n = int64_t(from * kReportFps); n < int64_t(to * kReportFps); ++n) {
        const int64_t position = n * frame;
        analyser.analyse(mono.data(), uint32_t(mono.size()), uint32_t(position), levels.data());
        int lit = 0;
        for (float level : levels) {
            lit += crosses(level, kTileLevel);
        }
        std::printf("%8.3f s", double(position) / kSampleRate);
        for (int k = 0; k < kTraceBands; ++k) {
            std::printf(" %.4f", levels[k]);
        }
        std::printf("  lit %d\n", lit);
    }
}

constexpr const char* kUsage = "usage: musicreport [--frames FROM TO | --master] TRACK.mp3";

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        std::printf("%s\n"
                    "  TRACK.mp3                  per scene, what the show's spectrum thresholds\n"
                    "                             see; then loudness, true peak and crest factor\n"
                    "  --master TRACK.mp3         the master's figures only\n"
                    "  --frames FROM TO TRACK.mp3 the lowest bands and lit tiles of every frame\n"
                    "                             from FROM to TO seconds\n"
                    "Exits with 1 when a scene's requirement is not met.\n",
                    kUsage);
        return 0;
    }
    const bool trace = argc == 5 && std::string(argv[1]) == "--frames";
    const bool masterOnly = argc == 3 && std::string(argv[1]) == "--master";
    if (argc != 2 && !trace && !masterOnly) {
        std::fprintf(stderr, "%s\n", kUsage);
        return 2;
    }
    const char* path = argv[argc - 1];
    const Decoded track = readMp3(path);
    if (!track.error.empty()) {
        std::fprintf(stderr, "musicreport: %s\n", track.error.c_str());
        return 2;
    }
    if (trace) {
        traceFrames(track.mono(), std::atof(argv[2]), std::atof(argv[3]));
        return 0;
    }
    std::printf("%s: %zu samples (%.3f s)\n", path, track.left.size(),
                double(track.left.size()) / kSampleRate);
    const MasterFigures master = measureMaster(track.left, track.right);
    if (masterOnly) {
        printMaster(stdout, master);
        return master.ok ? 0 : 1;
    }
    const auto figures = measureScenes(track.mono());
    const auto checks = requirements(figures);
    printReport(stdout, figures, checks);
    printMaster(stdout, master);
    for (const Requirement& c : checks) {
        if (!c.met()) {
            return 1;
        }
    }
    return 0;
}
