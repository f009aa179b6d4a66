#include "host/LoudnessMeter.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>

namespace qxhost {

struct LoudnessMeter::Impl {
    ebur128_state* state = nullptr;
    int channels = 0;
    ~Impl() {
        if (state != nullptr) ebur128_destroy(&state);
    }
};

namespace {

double decibels(double v) { return v > 0.0 ? 20.0 * std::log10(v) : -INFINITY; }

} // namespace

bool LoudnessMeter::available() { return true; }

LoudnessMeter::LoudnessMeter(int channels, int sampleRate) : impl_(new Impl) {
    impl_->channels = channels;
    if (channels > 0 && sampleRate > 0)
        impl_->state = ebur128_init(static_cast<unsigned>(channels), static_cast<unsigned long>(sampleRate),
                                    EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_TRUE_PEAK |
                                        EBUR128_MODE_SAMPLE_PEAK);
}

LoudnessMeter::~LoudnessMeter() = default;

void LoudnessMeter::add(const float* interleaved, int64_t frames) {
    if (impl_->state != nullptr && frames > 0)
        ebur128_add_frames_float(impl_->state, interleaved, static_cast<size_t>(frames));
}

Loudness LoudnessMeter::result() const {
    Loudness r;
    ebur128_state* st = impl_->state;
    if (st == nullptr) return r;
    double integrated = -INFINITY, range = 0.0, truePeak = 0.0, samplePeak = 0.0;
    if (ebur128_loudness_global(st, &integrated) != EBUR128_SUCCESS) return r;
    if (ebur128_loudness_range(st, &range) != EBUR128_SUCCESS) range = 0.0;
    for (int c = 0; c < impl_->channels; ++c) {
        double tp = 0.0, sp = 0.0;
        if (ebur128_true_peak(st, static_cast<unsigned>(c), &tp) == EBUR128_SUCCESS)
            truePeak = std::max(truePeak, tp);
        if (ebur128_sample_peak(st, static_cast<unsigned>(c), &sp) == EBUR128_SUCCESS)
            samplePeak = std::max(samplePeak, sp);
    }
    r.available = true;
    r.integrated = integrated;
    r.range = range;
    r.truePeak = decibels(truePeak);
    r.samplePeak = decibels(samplePeak);
    return r;
}

} // namespace qxhost
