#include "report.h"

#include <array>

#include "core/frequency_bands.h"

namespace musicgen {
namespace {

constexpr int64_t kFrameSamples = kSampleRate / kReportFps;
constexpr int kLowestBand = 0;

// The ranges the scenes were designed around.
constexpr Range kDotShareRange{0.5, 1.0};
constexpr Range kNudgeRange{0.20, 0.60};
constexpr Range kBrickRange{0.08, 0.25};
constexpr Range kFlashRange{0.02, 0.10};
constexpr Range kLitTilesRange{60.0, 120.0};
// Loud frames a scene needs: the coder's credits to flash and reset its bricks, the
// musician's to reset, the finale to empty its world twice (its first beat already resets).
constexpr int kCoderLoudFrames = 68;
constexpr int kMusicianLoudFrames = 52;
constexpr int kFinaleLoudFrames = 52;
constexpr double kNoUpperBound = 1e9;

namespace scene = show::scene;

bool opening(int s) {
    return s == scene::kLogo || s == scene::kTitle;
}
bool nudging(int s) {
    return s == scene::kTitle || s == scene::kLandscape;
}
bool bricks(int s) {
    return s == scene::kCoderCredits || s == scene::kMusicianCredits || s == scene::kFinale;
}
bool tiles(int s) {
    return (s >= scene::kCoderCredits && s <= scene::kPuzzle) ||
           (s >= scene::kFirstGreeting && s <= scene::kEndCard);
}

} // namespace

int64_t sceneEnd(int scene, int64_t trackSamples) {
    if (scene < kSceneCount) {
        return kSceneFrom[scene];
    }
    return int64_t(show::endMarkFor(uint32_t(trackSamples))) + 1;
}

std::vector<SceneFigures> measureScenes(const std::vector<float>& mono) {
    show::SpectrumAnalyser analyser;
    std::array<float, show::kSpectrumBands> levels{};
    const int64_t length = int64_t(mono.size());
    const int64_t fadeFrom = int64_t(show::endMarkFor(uint32_t(length))) - kFinalFadeSamples;
    std::vector<SceneFigures> out;
    for (int scene = 1; scene <= kSceneCount; ++scene) {
        SceneFigures f;
        f.scene = scene;
        const int64_t from = kSceneFrom[scene - 1];
        const int64_t to = sceneEnd(scene, length);
        double lit = 0.0, dots = 0.0;
        for (int64_t n = (from + kFrameSamples - 1) / kFrameSamples; n * kFrameSamples < to; ++n) {
            const int64_t position = n * kFrameSamples;
            analyser.analyse(mono.data(), uint32_t(length), uint32_t(position), levels.data());
            const double bass = levels[kLowestBand];
            ++f.frames;
            f.nudgeShare += crosses(bass, kNudgeLevel);
            f.brickShare += crosses(bass, kBrickLevel);
            f.flashShare += crosses(bass, kFlashLevel);
            const bool loud = crosses(bass, kBrickLevel);
            f.loudFrames += loud;
            f.loudFramesInFinalFade += loud && position > fadeFrom;
            int litHere = 0, dotsHere = 0;
            for (float level : levels) {
                litHere += crosses(level, kTileLevel);
                dotsHere += level >= kDotLowLevel && level <= kDotHighLevel;
            }
            lit += litHere;
            dots += double(dotsHere) / show::kSpectrumBands;
        }
        if (f.frames > 0) {
            f.nudgeShare /= f.frames;
            f.brickShare /= f.frames;
            f.flashShare /= f.frames;
            f.meanLitTiles = lit / f.frames;
            f.dotShare = dots / f.frames;
        }
        out.push_back(f);
    }
    return out;
}

std::vector<Requirement> requirements(const std::vector<SceneFigures>& figures) {
    std::vector<Requirement> r;
    for (const SceneFigures& f : figures) {
        const int s = f.scene;
        if (opening(s)) {
            r.push_back({"share of bands on the dotted curves", s, f.dotShare, kDotShareRange});
        }
        if (nudging(s)) {
            r.push_back({"share of frames nudging the title", s, f.nudgeShare, kNudgeRange});
        }
        if (bricks(s)) {
            r.push_back({"share of brick-dropping frames", s, f.brickShare, kBrickRange});
        }
        if (s == scene::kCoderCredits) {
            r.push_back({"loud frames (flash and reset)",
                         s,
                         double(f.loudFrames),
                         {kCoderLoudFrames, kNoUpperBound}});
        }
        if (s == scene::kMusicianCredits) {
            r.push_back({"loud frames (reset)",
                         s,
                         double(f.loudFrames),
                         {kMusicianLoudFrames, kNoUpperBound}});
        }
        if (s == scene::kFinale) {
            r.push_back({"loud frames (resets)",
                         s,
                         double(f.loudFrames),
                         {kFinaleLoudFrames, kNoUpperBound}});
            r.push_back({"loud frames after the fade to black began",
                         s,
                         double(f.loudFramesInFinalFade),
                         {0, 0}});
        }
        if (s == scene::kSnow) {
            r.push_back({"share of frames flashing the screen", s, f.flashShare, kFlashRange});
        }
        if (tiles(s)) {
            r.push_back({"mean lit tiles", s, f.meanLitTiles, kLitTilesRange});
        }
    }
    return r;
}

void printReport(std::FILE* out, const std::vector<SceneFigures>& figures,
                 const std::vector<Requirement>& checks) {
    std::fprintf(out, "scene frames  >%.2f%%  >%.2f%%  >%.2f%%  lit-tiles  dots%%  loud\n",
                 kNudgeLevel, kBrickLevel, kFlashLevel);
    for (const SceneFigures& f : figures) {
        std::fprintf(out, "%5d %6d %7.1f %7.1f %7.1f %10.1f %6.1f %5d\n", f.scene, f.frames,
                     100.0 * f.nudgeShare, 100.0 * f.brickShare, 100.0 * f.flashShare,
                     f.meanLitTiles, 100.0 * f.dotShare, f.loudFrames);
    }
    int failed = 0;
    for (const Requirement& c : checks) {
        if (!c.met()) {
            ++failed;
        }
        const char* verdict = c.met() ? "ok  " : "FAIL";
        if (c.range.high < kNoUpperBound) {
            std::fprintf(out, "%s scene %2d: %s = %.3f (wanted %.3f .. %.3f)\n", verdict, c.scene,
                         c.what.c_str(), c.value, c.range.low, c.range.high);
        } else {
            std::fprintf(out, "%s scene %2d: %s = %.0f (wanted at least %.0f)\n", verdict, c.scene,
                         c.what.c_str(), c.value, c.range.low);
        }
    }
    std::fprintf(out, "%d of %zu requirements met\n", int(checks.size()) - failed, checks.size());
}

} // namespace musicgen
