// The show's music: the built track decodes to the composed length, every scene gets the
// spectrum its visuals were designed around, decoding lines up with what was rendered, and
// the arrangement puts an onset on every scene boundary.
#include "common/show_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

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
