#include "host/LevelPlot.h"

#include <algorithm>
#include <cmath>

namespace qxhost {

LevelPlot::LevelPlot(int sampleRate, int channels)
    : sampleRate_(sampleRate > 0 ? sampleRate : 44100), channels_(channels > 0 ? channels : 1) {}

bool LevelPlot::setSize(int width, int height) {
    if (width < 300 || width > 10000 || height < 200 || height > 5000) return false;
    width_ = width;
    height_ = height;
    return true;
}

void LevelPlot::halveResolution() {
    std::vector<Bin> merged((bins_.size() + 1) / 2);
    for (size_t i = 0; i < bins_.size(); ++i) {
        merged[i / 2].absorb(bins_[i]);
    }
    bins_.swap(merged);
    binFrames_ *= 2;
}

void LevelPlot::add(const float* input, const float* output, int64_t frames, double minGain) {
    const float gain = std::isfinite(minGain) ? static_cast<float>(minGain) : 1.0f;
    for (int64_t i = 0; i < frames; ++i) {
        if (bins_.empty() || bins_.back().frames >= binFrames_) {
            if (static_cast<int>(bins_.size()) >= kMaxBins) halveResolution();
            if (bins_.empty() || bins_.back().frames >= binFrames_) bins_.emplace_back();
        }
        Bin& b = bins_.back();
        for (int c = 0; c < channels_; ++c) {
            const float x = input[i * channels_ + c];
            const float y = output[i * channels_ + c];
            b.inPeak = std::max(b.inPeak, std::fabs(x));
            b.outPeak = std::max(b.outPeak, std::fabs(y));
            b.inSquares += static_cast<double>(x) * x / channels_;
            b.outSquares += static_cast<double>(y) * y / channels_;
        }
        b.gain = std::min(b.gain, gain);
        ++b.frames;
    }
    total_ += frames;
}

} // namespace qxhost
