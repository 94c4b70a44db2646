// The spectrum the scenes read, the dotted rows it drives, and the pan sweep.
#include "core/music.h"
#include "scenes/opening.h"
#include "scenes/orbs.h"
#include "scenes/scene_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace show;

namespace {

std::vector<float> sine(double bin, double amplitude, size_t length) {
    std::vector<float> mono(length);
    for (size_t i = 0; i < length; ++i)
        mono[i] = float(amplitude * std::sin(2.0 * M_PI * bin * double(i) / kSpectrumWindow));
    return mono;
}

} // namespace

TEST(Spectrum, FullScaleSineAtABinCentreReadsOne) {
    SpectrumAnalyser analyser;
    std::vector<float> levels(kSpectrumBands);
    for (int bin : {1, 10, 200, 500}) {
        const auto mono = sine(bin, 1.0, 8192);
        analyser.analyse(mono.data(), uint32_t(mono.size()), 4096, levels.data());
        EXPECT_NEAR(levels[bin], 1.0f, 0.01f) << bin;
        EXPECT_LT(levels[bin + 3], 0.01f) << "leaks far from bin " << bin;
    }
    const auto half = sine(40, 0.5, 8192);
    analyser.analyse(half.data(), uint32_t(half.size()), 8192, levels.data());
    EXPECT_NEAR(levels[40], 0.5f, 0.01f);
}

TEST(Spectrum, SilenceBeforeTheStartAndPastTheEnd) {
    SpectrumAnalyser analyser;
    std::vector<float> levels(kSpectrumBands, 1.0f);
    const auto mono = sine(3, 1.0, 4096);
    analyser.analyse(mono.data(), uint32_t(mono.size()), 0, levels.data());
    for (float level : levels)
        EXPECT_EQ(level, 0.0f);
    analyser.analyse(mono.data(), uint32_t(mono.size()), 4096 + kSpectrumWindow, levels.data());
    for (float level : levels)
        EXPECT_EQ(level, 0.0f);
    // The window that ends at the position reads the samples just before it.
    analyser.analyse(mono.data(), uint32_t(mono.size()), 1024, levels.data());
    EXPECT_NEAR(levels[3], 1.0f, 0.01f);
}

TEST(Spectrum, StereoReadsAsItsMonoMix) {
    // Left and right straddle a tone by a second one: their mix is the tone exactly, since
    // every value is a multiple of 1/1024 well inside a float's precision.
    const auto tone = sine(12, 0.5, 6000);
    const auto other = sine(140, 0.25, 6000);
    std::vector<float> mix(tone.size()), stereo(2 * tone.size());
    for (size_t i = 0; i < tone.size(); ++i) {
        mix[i] = std::round(tone[i] * 1024.0f) / 1024.0f;
        const float apart = std::round(other[i] * 1024.0f) / 1024.0f;
        stereo[2 * i] = mix[i] + apart;
        stereo[2 * i + 1] = mix[i] - apart;
    }
    SpectrumAnalyser analyser;
    std::vector<float> fromMix(kSpectrumBands), fromStereo(kSpectrumBands);
    for (uint32_t position : {0u, 700u, 4096u, 6000u, 6500u}) {
        SCOPED_TRACE(position);
        analyser.analyse(mix.data(), uint32_t(mix.size()), position, fromMix.data());
        analyser.analyseStereo(stereo.data(), uint32_t(mix.size()), position, fromStereo.data());
        EXPECT_EQ(fromStereo, fromMix);
    }
    analyser.analyseStereo(stereo.data(), uint32_t(mix.size()), 4096, fromMix.data());
    EXPECT_GT(fromMix[12], 0.4f) << "the tone should show";
    EXPECT_LT(fromMix[140], 0.01f) << "the difference of the channels should cancel";
}

TEST(SpectrumRows, LiftFollowsDoubleThenFloatThenTruncate) {
    EXPECT_EQ(rowLift(0.0f), 0);
    EXPECT_EQ(rowLift(0.0001f), 10); // 9.99999975 rounds to 10.0f before truncation
    EXPECT_EQ(rowLift(0.001f), 100);
    EXPECT_EQ(rowLift(0.5f), 50000);
}

TEST(EndMark, IsTheLengthRoundedDownToTwenty) {
    EXPECT_EQ(endMarkFor(8820000), 8820000u);
    EXPECT_EQ(endMarkFor(8820019), 8820000u);
    EXPECT_EQ(endMarkFor(19), 0u);
}

namespace {

// Runs the sweep for a number of frames, each with the clock one millisecond on.
std::vector<int> sweep(int startPan, int frames) {
    AudioTrack track;
    track.setPan(startPan);
    PanSweep state;
    long clock = 1000;
    panSweepStart(state, track, clock);
    std::vector<int> pans;
    for (int i = 0; i < frames; ++i) {
        panSweepStep(state, track, ++clock);
        pans.push_back(track.pan());
    }
    return pans;
}

} // namespace

TEST(PanSweep, EvenStartStaysInRange) {
    const auto pans = sweep(128, 600);
    for (int pan : pans) {
        EXPECT_GE(pan, 0);
        EXPECT_LE(pan, 255);
    }
    EXPECT_EQ(pans[0], 126); // starts downwards
}

TEST(PanSweep, OddStartReachesMinusOneOnceThenBounces) {
    const auto pans = sweep(7, 600);
    EXPECT_EQ(std::count(pans.begin(), pans.end(), -1), 1);
    const auto minusOne = std::find(pans.begin(), pans.end(), -1) - pans.begin();
    EXPECT_EQ(pans[minusOne + 1], 3); // folded back to 1, then one step up
    for (size_t i = minusOne + 1; i < pans.size(); ++i) {
        EXPECT_GE(pans[i], 0);
        EXPECT_LE(pans[i], 255);
    }
    // The first climb runs through odd values up to 255, later descents through even ones.
    EXPECT_NE(std::find(pans.begin(), pans.end(), 255), pans.end());
    EXPECT_NE(std::find(pans.begin(), pans.end(), 252), pans.end());
}

TEST(PanSweep, DoesNotStepWhileTheClockStandsStill) {
    AudioTrack track;
    track.setPan(100);
    PanSweep state;
    panSweepStart(state, track, 50);
    panSweepStep(state, track, 50);
    EXPECT_EQ(track.pan(), 100);
    panSweepStep(state, track, 51);
    EXPECT_EQ(track.pan(), 98);
    panSweepEnd(track);
    EXPECT_EQ(track.pan(), kPanPlainStereo);
}
