#include "master_figures.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "timeline.h"

namespace musicgen {
namespace {

constexpr size_t kMeterBlock = 16384; // frames handed to the meter at a time

double toDb(double amplitude) {
    return amplitude > 0.0 ? 20.0 * std::log10(amplitude) : -HUGE_VAL;
}

} // namespace

double medianCrestDb(const std::vector<float>& channel, int window, int& windows) {
    std::vector<double> crest;
    for (size_t from = 0; window > 0 && from + size_t(window) <= channel.size(); from += window) {
        double peak = 0.0, power = 0.0;
        for (size_t i = from; i < from + size_t(window); ++i) {
            peak = std::max(peak, double(std::fabs(channel[i])));
            power += double(channel[i]) * channel[i];
        }
        if (power > 0.0) {
            crest.push_back(toDb(peak / std::sqrt(power / window)));
        }
    }
    windows = int(crest.size());
    if (crest.empty()) {
        return 0.0;
    }
    const size_t mid = crest.size() / 2;
    std::nth_element(crest.begin(), crest.begin() + mid, crest.end());
    if (crest.size() % 2 == 1) {
        return crest[mid];
    }
    const double upper = crest[mid];
    return 0.5 * (upper + *std::max_element(crest.begin(), crest.begin() + mid));
}

MasterFigures measureMaster(const std::vector<float>& left, const std::vector<float>& right) {
    MasterFigures m;
    const size_t frames = std::min(left.size(), right.size());
    m.medianCrestDb = medianCrestDb(left, kCrestWindowSamples, m.crestWindows);

    std::unique_ptr<ebur128_state, void (*)(ebur128_state*)> meter(
        ebur128_init(kChannels, kSampleRate,
                     EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_TRUE_PEAK |
                         EBUR128_MODE_SAMPLE_PEAK),
        [](ebur128_state* st) { ebur128_destroy(&st); });
    if (!meter) {
        return m;
    }
    std::vector<float> block(kChannels * kMeterBlock);
    for (size_t at = 0; at < frames; at += kMeterBlock) {
        const size_t n = std::min(kMeterBlock, frames - at);
        for (size_t i = 0; i < n; ++i) {
            block[kChannels * i] = left[at + i];
            block[kChannels * i + 1] = right[at + i];
        }
        if (ebur128_add_frames_float(meter.get(), block.data(), n) != EBUR128_SUCCESS) {
            return m;
        }
    }
    double truePeak = 0.0, samplePeak = 0.0;
    for (unsigned int c = 0; c < kChannels; ++c) {
        double tp = 0.0, sp = 0.0;
        if (ebur128_true_peak(meter.get(), c, &tp) != EBUR128_SUCCESS ||
            ebur128_sample_peak(meter.get(), c, &sp) != EBUR128_SUCCESS) {
            return m;
        }
        truePeak = std::max(truePeak, tp);
        samplePeak = std::max(samplePeak, sp);
    }
    m.truePeakDb = toDb(truePeak);
    m.samplePeakDb = toDb(samplePeak);
    if (ebur128_loudness_global(meter.get(), &m.integratedLufs) != EBUR128_SUCCESS ||
        ebur128_loudness_range(meter.get(), &m.loudnessRangeLu) != EBUR128_SUCCESS) {
        return m;
    }
    m.ok = true;
    return m;
}

void printMaster(std::FILE* out, const MasterFigures& m) {
    if (!m.ok) {
        std::fprintf(out, "master: the loudness meter could not measure the track\n");
        return;
    }
    std::fprintf(out, "master: integrated loudness %.1f LUFS (aim %.0f .. %.0f), range %.1f LU\n",
                 m.integratedLufs, kQuietestLufs, kLoudestLufs, m.loudnessRangeLu);
    std::fprintf(out, "master: true peak %.2f dBTP (aim at most %.1f), sample peak %.2f dBFS\n",
                 m.truePeakDb, kMostTruePeakDb, m.samplePeakDb);
    std::fprintf(out,
                 "master: crest factor %.2f dB, median of %d one-second windows, left channel "
                 "(aim at least %.1f)\n",
                 m.medianCrestDb, m.crestWindows, kLeastCrestDb);
}

} // namespace musicgen
