// The show's music: the built track decodes to the composed length, every scene gets the
// spectrum its visuals were designed around, decoding lines up with what was rendered, and
// the arrangement puts an onset on every scene boundary.
#include "common/show_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "core/frequency_bands.h"
#include "mp3_reader.h"
#include "mp3_writer.h"
#include "render.h"
#include "report.h"
#include "score.h"
#include "timeline.h"

namespace {

using namespace musicgen;

const std::string kBuiltTrack = showtest::builtTrack();

// Decoded once for the whole suite: the full track takes a moment.
const Decoded& builtTrack() {
    static const Decoded track = readMp3(kBuiltTrack);
    return track;
}

TEST(MusicTrack, DecodesToTheComposedLengthWithAFinaleOfFifteenToTwentyFiveSeconds) {
    const Decoded& track = builtTrack();
    ASSERT_TRUE(track.error.empty()) << track.error;
    const int64_t composed = composeTrack(kFinaleBars).length;
    EXPECT_EQ(int64_t(track.left.size()), composed);
    EXPECT_EQ(track.left.size(), track.right.size());
    const double finale = double(composed - kSceneFrom[kFinaleScene - 1]) / kSampleRate;
    EXPECT_GE(finale, 15.0);
    EXPECT_LE(finale, 25.0);
}

TEST(MusicTrack, GivesEverySceneTheSpectrumItsVisualsNeed) {
    const Decoded& track = builtTrack();
    ASSERT_TRUE(track.error.empty()) << track.error;
    const auto figures = measureScenes(track.mono());
    ASSERT_EQ(int(figures.size()), kSceneCount);
    const auto checks = requirements(figures);
    ASSERT_FALSE(checks.empty());
    for (const Requirement& c : checks) {
        EXPECT_TRUE(c.met()) << "scene " << c.scene << ": " << c.what << " = " << c.value
                             << ", wanted " << c.range.low << " .. " << c.range.high;
    }
    // Wherever the tile displays are on screen (the credits, the puzzle, the greetings and
    // the end card), they show the music: 60 to 120 of their 512 tiles lit on average, a
    // display that moves without filling up.
    for (const SceneFigures& f : figures) {
        const bool tiles = (f.scene >= 5 && f.scene <= 7) || (f.scene >= 10 && f.scene <= 19);
        if (tiles) {
            EXPECT_GE(f.meanLitTiles, 60.0) << "scene " << f.scene;
            EXPECT_LE(f.meanLitTiles, 120.0) << "scene " << f.scene;
        }
    }
}

TEST(MusicTrack, FlashesTheSnowSceneOnEveryBarForATenthOfASecondAtMost) {
    // Scene 9 flashes white while the lowest band reads over 0.35. The boom on each bar's
    // downbeat must reach that, briefly: a frame or a few at 60 frames a second (frames
    // within a twentieth of a second of each other are one flash, as the white fades).
    const Decoded& track = builtTrack();
    ASSERT_TRUE(track.error.empty()) << track.error;
    const std::vector<float> mono = track.mono();
    show::SpectrumAnalyser analyser;
    std::array<float, show::kSpectrumBands> levels{};
    constexpr int kFps = 60;
    constexpr int kMerge = 3; // frames
    std::vector<int> flashes; // frames from a flash's first loud frame to its last
    int first = -1, last = -kMerge - 1;
    const int from = int(kSceneFrom[show::scene::kSnow - 1] * kFps / kSampleRate) + 1;
    const int to = int(kSceneFrom[show::scene::kSnow] * kFps / kSampleRate);
    for (int n = from; n < to; ++n) {
        analyser.analyse(mono.data(), uint32_t(mono.size()), uint32_t(n * (kSampleRate / kFps)),
                         levels.data());
        if (levels[0] * 100.0 <= 35.0)
            continue;
        if (n - last > kMerge) {
            if (first >= 0)
                flashes.push_back(last - first + 1);
            first = n;
        }
        last = n;
    }
    if (first >= 0)
        flashes.push_back(last - first + 1);
    // 23.6 s at some 134 beats a minute: 13 bars.
    EXPECT_GE(flashes.size(), 12u);
    EXPECT_LE(flashes.size(), 14u);
    for (int frames : flashes)
        EXPECT_LE(frames, kFps / 10) << "a flash held for " << frames << " frames";
}

TEST(MusicTrack, StaysBelowFullScaleAndEndsInSilence) {
    const Decoded& track = builtTrack();
    ASSERT_TRUE(track.error.empty()) << track.error;
    float peak = 0.0f;
    for (size_t i = 0; i < track.left.size(); ++i) {
        peak = std::max({peak, std::fabs(track.left[i]), std::fabs(track.right[i])});
    }
    EXPECT_LT(peak, 1.0f);
    // The last tenth of a second is the fade's end: nothing left to hear.
    const size_t tail = kSampleRate / 10;
    ASSERT_GT(track.left.size(), tail);
    float last = 0.0f;
    for (size_t i = track.left.size() - tail; i < track.left.size(); ++i) {
        last = std::max(last, std::fabs(track.left[i]));
    }
    EXPECT_LT(last, 0.01f);
}

TEST(MusicTrack, DecodedSamplesLineUpWithTheRenderedOnes) {
    // An encoder delay left in would shift every scene boundary; gapless decoding of the
    // LAME tag must undo it to the sample.
    const Score score = composeTrack(kFinaleBars);
    const int64_t from = kSceneFrom[kExcerptScene - 1];
    const int64_t length = 2 * kSampleRate;
    const Audio rendered = renderScore(score, from, length);
    const std::string path = ::testing::TempDir() + "music_alignment.mp3";
    ASSERT_EQ(writeMp3(rendered, path), "");
    const Decoded decoded = readMp3(path);
    std::remove(path.c_str());
    ASSERT_TRUE(decoded.error.empty()) << decoded.error;
    ASSERT_EQ(int64_t(decoded.left.size()), length);

    constexpr int kMaxLag = 2048;
    int bestLag = kMaxLag + 1;
    double best = -1.0, energy = 0.0, decodedEnergy = 0.0;
    for (int lag = -kMaxLag; lag <= kMaxLag; ++lag) {
        double sum = 0.0;
        for (int64_t i = kMaxLag; i < length - kMaxLag; ++i) {
            sum += double(rendered.left[i]) * decoded.left[i + lag];
        }
        if (sum > best) {
            best = sum;
            bestLag = lag;
        }
    }
    for (int64_t i = kMaxLag; i < length - kMaxLag; ++i) {
        energy += double(rendered.left[i]) * rendered.left[i];
        decodedEnergy += double(decoded.left[i]) * decoded.left[i];
    }
    EXPECT_EQ(bestLag, 0);
    EXPECT_GT(best / std::sqrt(energy * decodedEnergy), 0.95);
}

TEST(MusicScore, PutsAnOnsetOnEverySceneBoundaryAndAKickOnEveryGreetingCut) {
    const Score score = composeTrack(kFinaleBars);
    for (int scene = 2; scene <= kSceneCount; ++scene) {
        const int64_t at = kSceneFrom[scene - 1];
        const bool onset = std::any_of(score.notes.begin(), score.notes.end(),
                                       [&](const Note& n) { return n.start == at; });
        EXPECT_TRUE(onset) << "no note starts with scene " << scene;
    }
    for (int scene = kFirstGreetingScene; scene < kEndCardScene; ++scene) {
        const int64_t at = kSceneFrom[scene - 1];
        const bool kick = std::any_of(score.notes.begin(), score.notes.end(), [&](const Note& n) {
            return n.start == at && n.instrument == Instrument::Kick;
        });
        EXPECT_TRUE(kick) << "the cut into scene " << scene << " has no kick";
    }
}

TEST(MusicScore, HoldsWholeBeatsWithinTwoPercentOfTheTempoInEveryGridScene) {
    for (int scene = 1; scene <= kGridScenes; ++scene) {
        const double tempo = kSampleRate * 60.0 / sceneBeatSamples(scene);
        EXPECT_NEAR(tempo / kNominalTempo, 1.0, 0.02) << "scene " << scene;
        EXPECT_EQ(kSceneBeats[scene - 1] % 2, 0) << "scene " << scene << " ends off a half bar";
    }
}

TEST(MusicScore, SoakTrackKeepsTheShowAndLengthensOnlyTheFinale) {
    const Score show = composeTrack(kFinaleBars);
    const Score soak = composeTrack(finaleBarsForMinutes(10.0));
    const double minutes = double(soak.length) / kSampleRate / 60.0;
    EXPECT_NEAR(minutes, 10.0, 0.1);
    const int64_t finale = kSceneFrom[kFinaleScene - 1];
    auto before = [&](const Score& s) {
        return std::count_if(s.notes.begin(), s.notes.end(),
                             [&](const Note& n) { return n.start < finale; });
    };
    EXPECT_EQ(before(show), before(soak));
    EXPECT_GT(soak.notes.size(), show.notes.size());
}

} // namespace
