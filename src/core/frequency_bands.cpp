#include "core/frequency_bands.h"

#include <kiss_fftr.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace show {

struct SpectrumAnalyser::Impl {
    kiss_fftr_cfg plan = nullptr;
    std::vector<float> window = std::vector<float>(kSpectrumWindow);
    std::vector<float> frame = std::vector<float>(kSpectrumWindow);
    std::vector<kiss_fft_cpx> bins = std::vector<kiss_fft_cpx>(kSpectrumBands + 1);
    float scale = 0.0f; // turns a bin magnitude into a level
};

SpectrumAnalyser::SpectrumAnalyser() : impl_(std::make_unique<Impl>()) {
    impl_->plan = kiss_fftr_alloc(kSpectrumWindow, 0, nullptr, nullptr);
    double sum = 0.0;
    for (int i = 0; i < kSpectrumWindow; ++i) {
        const double w = 0.5 - 0.5 * std::cos(2.0 * M_PI * i / kSpectrumWindow);
        impl_->window[i] = static_cast<float>(w);
        sum += w;
    }
    // A sine of amplitude 1 at a bin centre gives a magnitude of sum(window) / 2.
    impl_->scale = static_cast<float>(2.0 / sum);
}

SpectrumAnalyser::~SpectrumAnalyser() {
    kiss_fftr_free(impl_->plan);
}

void SpectrumAnalyser::analyse(const float* mono, uint32_t length, uint32_t position, float* out) {
    analyseWith([mono](int64_t at) { return mono[at]; }, mono ? length : 0, position, out);
}

void SpectrumAnalyser::analyseStereo(const float* stereo, uint32_t length, uint32_t position,
                                     float* out) {
    analyseWith([stereo](int64_t at) { return 0.5f * (stereo[2 * at] + stereo[2 * at + 1]); },
                stereo ? length : 0, position, out);
}

template <class Sample>
void SpectrumAnalyser::analyseWith(Sample sample, uint32_t length, uint32_t position, float* out) {
    Impl& d = *impl_;
    const int64_t start = int64_t(position) - kSpectrumWindow;
    for (int i = 0; i < kSpectrumWindow; ++i) {
        const int64_t at = start + i;
        const bool inside = at >= 0 && at < int64_t(length);
        d.frame[i] = (inside ? sample(at) : 0.0f) * d.window[i];
    }
    kiss_fftr(d.plan, d.frame.data(), d.bins.data());
    for (int k = 0; k < kSpectrumBands; ++k) {
        const float magnitude = std::hypot(d.bins[k].r, d.bins[k].i) * d.scale;
        out[k] = std::clamp(magnitude, 0.0f, 1.0f);
    }
}

} // namespace show
