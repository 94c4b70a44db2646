// The spectrum the scenes read, and the end mark of a track.
#include "core/music.h"
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

TEST(EndMark, IsTheLengthRoundedDownToTwenty) {
    EXPECT_EQ(endMarkFor(8820000), 8820000u);
    EXPECT_EQ(endMarkFor(8820019), 8820000u);
    EXPECT_EQ(endMarkFor(19), 0u);
}
