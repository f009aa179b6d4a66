// Long run: an hour of varied material per sample rate with random automation, checking after
// every block that no denormal appears in the outputs or in any gain computer's state, and that
// the state stays inside its range. Not part of CI (minutes per run); results go to
// docs/reliability.md.
//
//   qx_soak [MINUTES]    (default 60 per sample rate)
#include "host/RecordingHost.h"
#include "effect/LimiterEffect.h"
#include "plugin/PluginEntry.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

using namespace qx;

namespace {

constexpr auto host = qxhost::RecordingHost::callback;

bool subnormal(float v) { return std::fpclassify(v) == FP_SUBNORMAL; }

// Material that changes character every few seconds, including fades into true silence (the path
// where recursions would otherwise decay into denormals).
class Material {
public:
    explicit Material(int rate) : rate_(rate), rng_(rate) {}
    void fill(float* l, float* r, int n) {
        for (int i = 0; i < n; ++i) {
            if (left_ <= 0) next();
            --left_;
            t_ += 1.0 / rate_;
            double s = 0.0;
            switch (kind_) {
            case 0: s = 0.0; break;
            case 1: s = level_ * noise(); break;
            case 2: s = level_ * std::sin(2 * M_PI * freq_ * t_ * (1.0 + 0.5 * t_)); break;
            case 3: s = level_ * std::exp(-std::fmod(t_, 0.25) / 0.03) * noise(); break;
            case 4: s = level_ * (std::sin(2 * M_PI * freq_ * t_) > 0 ? 1.0 : -1.0); break;
            case 5: s = level_ * std::exp(-t_ / 0.2) * std::sin(2 * M_PI * freq_ * t_); break;
            }
            l[i] = static_cast<float>(s);
            r[i] = static_cast<float>(kind_ == 2 ? 0.7 * s : s * (0.5 + 0.5 * std::sin(t_)));
        }
    }

private:
    double noise() { return std::uniform_real_distribution<double>(-1.0, 1.0)(rng_); }
    void next() {
        kind_ = static_cast<int>(rng_() % 6);
        level_ = std::pow(10.0, -std::uniform_real_distribution<double>(0.0, 6.0)(rng_));
        if (rng_() % 3 == 0) level_ = std::uniform_real_distribution<double>(0.5, 1.5)(rng_);
        freq_ = 20.0 * std::pow(1000.0, std::uniform_real_distribution<double>(0.0, 1.0)(rng_));
        left_ = static_cast<int64_t>(rate_ * std::uniform_real_distribution<double>(0.5, 8.0)(rng_));
        t_ = 0.0;
    }
    int rate_;
    std::mt19937 rng_;
    int kind_ = 0;
    double level_ = 0.0, freq_ = 100.0, t_ = 0.0;
    int64_t left_ = 0;
};

struct Report {
    int64_t frames = 0, blocks = 0, denormalOutputs = 0, denormalState = 0, rangeErrors = 0;
    double seconds = 0.0;
};

Report soak(int rate, double minutes) {
    Report rep;
    AEffect* e = createEffect(host);
    auto* limiter = static_cast<LimiterEffect*>(e->object);
    e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
    e->dispatcher(e, effSetBlockSize, 0, 512, nullptr, 0.0f);
    e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
    Material material(rate);
    std::mt19937 rng(rate + 1);
    std::vector<float> l(512), r(512), ol(512), orr(512);
    float* in[2] = {l.data(), r.data()};
    float* out[2] = {ol.data(), orr.data()};
    const int64_t total = static_cast<int64_t>(minutes * 60.0 * rate);
    const auto start = std::chrono::steady_clock::now();
    while (rep.frames < total) {
        const int n = 1 + static_cast<int>(rng() % 512);
        material.fill(l.data(), r.data(), n);
        if (rng() % 200 == 0) {
            const int p = static_cast<int>(rng() % 11);
            const float v = p >= 5 ? static_cast<float>(rng() % 2) : (rng() % 1001) / 1000.0f;
            e->setParameter(e, p, v);
        }
        if (rng() % 20000 == 0) e->dispatcher(e, effSetProgram, 0, rng() % 10, nullptr, 0.0f);
        e->processReplacing(e, in, out, n);
        qxhost::RecordingHost::shared().takeCalls(); // an hour of pin queries is not worth keeping
        for (int i = 0; i < n; ++i)
            if (subnormal(ol[i]) || subnormal(orr[i])) ++rep.denormalOutputs;
        for (int c = 0; c < 2; ++c) {
            const LimiterChannel& ch = limiter->dsp().channel(c);
            const float state[] = {ch.lastLevel, ch.softSpeed, ch.gain, ch.lastGain,
                                   ch.phase, ch.shapedGain, ch.releaseRef, ch.envelope};
            for (float v : state)
                if (subnormal(v)) ++rep.denormalState;
            if (!(ch.gain > 0.0f && ch.gain <= 1.0f) || !(ch.envelope > 0.0f && ch.envelope <= 1.0f) ||
                !(ch.softSpeed >= 0.0f && ch.softSpeed <= 1.0f) || !(ch.shapedGain <= 1.0f) ||
                !(ch.phase >= 0.0f && ch.phase < 3.0f) || !std::isfinite(ch.lastLevel))
                ++rep.rangeErrors;
        }
        rep.frames += n;
        ++rep.blocks;
    }
    rep.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
    return rep;
}

} // namespace

int main(int argc, char** argv) {
    const double minutes = argc > 1 ? std::atof(argv[1]) : 60.0;
    int failures = 0;
    for (int rate : {44100, 96000}) {
        const Report r = soak(rate, minutes);
        std::printf("%d Hz: %.1f min of audio in %lld blocks, %.1f s (%.0fx real time): "
                    "%lld denormal outputs, %lld denormal state values, %lld range errors\n",
                    rate, r.frames / (60.0 * rate), static_cast<long long>(r.blocks), r.seconds,
                    r.frames / (rate * r.seconds), static_cast<long long>(r.denormalOutputs),
                    static_cast<long long>(r.denormalState), static_cast<long long>(r.rangeErrors));
        failures += r.denormalOutputs + r.denormalState + r.rangeErrors > 0;
    }
    return failures == 0 ? 0 : 1;
}
