// The master's figures that musicreport prints: loudness and true peak as EBU R 128 defines
// them, and the crest factor, each checked on signals whose answer is known by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "master_figures.h"

namespace {

using namespace musicgen;

constexpr int kRate = 44100;

std::vector<float> sine(double hz, double amplitude, double phase, double seconds) {
    std::vector<float> out(size_t(seconds * kRate));
    for (size_t i = 0; i < out.size(); ++i) {
        out[i] = float(amplitude * std::sin(2.0 * M_PI * hz * double(i) / kRate + phase));
    }
    return out;
}

void append(std::vector<float>& to, const std::vector<float>& part) {
    to.insert(to.end(), part.begin(), part.end());
}

TEST(MusicMaster, ReadsAOneKilohertzSineAtMinus23DbfsOnBothChannelsAsMinus23Lufs) {
    // The calibration of EBU Tech 3341: 1 kHz, peak -23 dBFS in both channels reads -23 LUFS.
    const auto tone = sine(1000.0, std::pow(10.0, -23.0 / 20.0), 0.0, 10.0);
    const MasterFigures m = measureMaster(tone, tone);
    ASSERT_TRUE(m.ok);
    EXPECT_NEAR(m.integratedLufs, -23.0, 0.1);
    EXPECT_NEAR(m.loudnessRangeLu, 0.0, 0.1);
    // A sine in only one channel carries half the power: 3 dB less.
    const std::vector<float> silence(tone.size(), 0.0f);
    EXPECT_NEAR(measureMaster(tone, silence).integratedLufs, -26.0, 0.1);
}

TEST(MusicMaster, FindsThePeakBetweenTheSamples) {
    // A quarter-rate sine offset by an eighth of a cycle is sampled only at 1/sqrt(2) of its
    // peak: the samples say -9 dBFS, the waveform between them reaches -6.
    const auto tone = sine(kRate / 4.0, 0.5, M_PI / 4.0, 2.0);
    const MasterFigures m = measureMaster(tone, tone);
    ASSERT_TRUE(m.ok);
    EXPECT_NEAR(m.samplePeakDb, 20.0 * std::log10(0.5 / std::sqrt(2.0)), 0.05);
    EXPECT_NEAR(m.truePeakDb, 20.0 * std::log10(0.5), 0.3);
}

TEST(MusicMaster, CrestFactorIsTheMedianOverOneSecondWindowsLeavingOutSilence) {
    // Peak over RMS: sqrt(2) (3.01 dB) for a sine whatever its level, 1 (0 dB) for a square.
    std::vector<float> track;
    append(track, sine(440.0, 0.9, 0.0, 1.0));
    std::vector<float> square(kRate);
    for (size_t i = 0; i < square.size(); ++i) {
        square[i] = (i / 50) % 2 == 0 ? 0.4f : -0.4f;
    }
    append(track, square);
    append(track, std::vector<float>(kRate, 0.0f));
    append(track, sine(440.0, 0.01, 0.0, 1.0));
    append(track, std::vector<float>(kRate / 2, 0.3f)); // not a whole window: not measured
    int windows = 0;
    EXPECT_NEAR(medianCrestDb(track, kRate, windows), 10.0 * std::log10(2.0), 0.01);
    EXPECT_EQ(windows, 3);
    const MasterFigures m = measureMaster(track, track);
    EXPECT_NEAR(m.medianCrestDb, 10.0 * std::log10(2.0), 0.01);
    EXPECT_EQ(m.crestWindows, 3);
}

} // namespace
