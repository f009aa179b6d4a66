#include "dsp/LimiterEngine.h"

#include "dsp/Floor.h"
#include "dsp/KernelEntry.h"
#include "dsp/Simd.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>

namespace qx {

namespace {

using simd::V2;

constexpr int32_t kMaxBlockSize = 1 << 20; // longer host blocks are split anyway
constexpr float kMaxSampleRate = 1.0e6f;
// Far below any real rate, and far enough from 0 that the control-rate step 44100 / rate stays a
// finite float (below about 1.3e-34 Hz it would overflow and the accumulator become infinite).
constexpr float kMinSampleRate = 1.0f;
constexpr std::size_t kAlign = 64;

bool usableRate(float rate) { return rate >= kMinSampleRate && rate <= kMaxSampleRate; } // NaN fails too

int32_t usableBlockSize(int32_t frames) { return std::clamp(frames, int32_t{1}, kMaxBlockSize); }

// Switches are read by truncation toward zero; values no int can hold count as 0.
int32_t truncated(float v) {
    if (!(v > -2147483648.0f && v < 2147483648.0f)) return 0;
    return static_cast<int32_t>(v);
}

// Output stage for one result stream: y = g * (a * outputGain), written to one or two outputs.
// Runs four samples per iteration in two registers; the meters collect the smallest gain and the
// largest |y| in local accumulators (kept out of memory, where they would form a chain).
//
// Samples below 2^-32 are flushed to 0. With kBetweenSteps, so is a sample beyond the float
// range: above 44.1 kHz a sample between two grid steps that makes no step of its own (its level
// does not rise above the last step's past the attack point) meets the gain of the step before,
// and a level near the float limit at a gain near 1 times an output gain of 2 would come out
// infinite. Where every sample is a control step the sample meets its own gain, and an attack
// step takes the envelope down with any jump of the level, so |y| stays far inside the float
// range (near 2*sqrt(level) at most once settled); that case needs no test.
template <bool kAccumulate, bool kBetweenSteps>
void emit(const float* a, const float* g, float* o1, float* o2, int32_t n, float outputGain,
          double& minGain, double& peak) {
    using namespace simd;
    const V2 og = splat(outputGain), floor = splat(kFloor);
    V2 min0 = splat(minGain), min1 = min0, peak0 = splat(peak), peak1 = peak0;
    auto result = [&](V2 A, V2 G, V2& mn, V2& pk) {
        V2 y = G * (A * og);
        const V2 mag = abs(y);
        M2 keep = mag >= floor;
        if constexpr (kBetweenSteps) keep = keep & fitsFloat(y);
        mn = min(G, mn);
        pk = max(keepWhere(keep, mag), pk);
        return keepWhere(keep, y);
    };
    auto put = [](float* o, V2 y) {
        if constexpr (kAccumulate) y = loadPair(o) + y;
        storePair(o, y);
    };
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const V2 y0 = result(loadPair(a + i), loadPair(g + i), min0, peak0);
        const V2 y1 = result(loadPair(a + i + 2), loadPair(g + i + 2), min1, peak1);
        if (o1) put(o1 + i, y0), put(o1 + i + 2, y1);
        if (o2) put(o2 + i, y0), put(o2 + i + 2, y1);
    }
    for (; i < n; ++i) {
        const V2 y = result(loadFloats(a + i, a + i), loadFloats(g + i, g + i), min0, peak0);
        for (float* o : {o1, o2}) {
            if (!o) continue;
            if constexpr (kAccumulate) storeLane0(o + i, loadFloats(o + i, o + i) + y);
            else storeLane0(o + i, y);
        }
    }
    min0 = min(min0, min1);
    peak0 = max(peak0, peak1);
    minGain = std::min(lane0(min0), lane1(min0));
    peak = std::max(lane0(peak0), lane1(peak0));
}

} // namespace

struct LimiterEngine::Routing {
    bool processLeft = true;
    bool processRight = true;
    int copyMode = 0; // 0 stereo, 1 left result to both outputs, 2 right result to both
    bool leftActive = true;
    bool rightActive = true;
    int link = 0; // 0 unlinked, 1 Normal, 2 HQ
    bool soft = false;
    bool lowPunch = false;
};

struct LimiterEngine::BlockState {
    bool accumulate = false;
    float inputGain = 1.0f;
    float outputGain = 1.0f;
    float punchCoef = 0.0f;
    kernel::GainParams gain{};
    double minGain = std::numeric_limits<double>::infinity(); // smallest applied gain
    double peak = 0.0;                                        // largest |output|
};

LimiterEngine::LimiterEngine(const ParamArray& params) : params_(params) {
    channels_[0].reset();
    channels_[1].reset();
}

LimiterEngine::~LimiterEngine() { freeBuffers(); }

// ---------------------------------------------------------------- set-up (host, not audio thread)

void LimiterEngine::setSampleRate(float rate) {
    if (usableRate(rate)) {
        engineSampleRate_.store(rate, std::memory_order_relaxed);
        rateRatio_.store(static_cast<float>(44100.0 / rate), std::memory_order_relaxed);
    }
    recalculate();
    if (allocationFailed_) allocateBuffers();
    else clearBuffers();
}

void LimiterEngine::setBlockSize(int32_t frames) {
    engineBlockSize_.store(usableBlockSize(frames), std::memory_order_relaxed);
    allocateBuffers();
}

void LimiterEngine::setBlockSizeAndSampleRate(int32_t frames, float rate) {
    engineBlockSize_.store(usableBlockSize(frames), std::memory_order_relaxed);
    if (usableRate(rate)) {
        engineSampleRate_.store(rate, std::memory_order_relaxed);
        rateRatio_.store(static_cast<float>(44100.0 / rate), std::memory_order_relaxed);
    }
    recalculate();
    allocateBuffers();
}

void LimiterEngine::resume() {
    running_.store(0, std::memory_order_relaxed);
    if (buffersAllocated_ && !allocationFailed_) clearBuffers();
    else allocateBuffers();
    channels_[0].reset();
    channels_[1].reset();
    punchLastIn_[0] = punchLastIn_[1] = 0.0f;
    punchLastOut_[0] = punchLastOut_[1] = 0.0f;
    recalculate();
    meters_.clipHold.store(0, std::memory_order_relaxed);
    meters_.minGain.store(1.0f, std::memory_order_relaxed);
    meters_.peakOut.store(0.0f, std::memory_order_relaxed);
    running_.store(1, std::memory_order_relaxed);
}

void LimiterEngine::suspend() {
    meters_.minGain.store(1.0f, std::memory_order_relaxed);
    meters_.peakOut.store(0.0f, std::memory_order_relaxed);
    running_.store(0, std::memory_order_relaxed);
}

void LimiterEngine::recalculate() {
    auto p = [this](int i) { return params_[static_cast<std::size_t>(i)].load(std::memory_order_relaxed); };
    const Coefficients c = computeCoefficients(p(kInput), p(kPressure), p(kRelease1), p(kRelease2),
                                               p(kOutput), sampleRate());
    inputGain_.store(c.inputGain, std::memory_order_relaxed);
    outputGain_.store(c.outputGain, std::memory_order_relaxed);
    punchCoef_.store(c.punchCoef, std::memory_order_relaxed);
    releaseRate_.store(c.releaseRate, std::memory_order_relaxed);
    pressureMix_.store(c.pressureMix, std::memory_order_relaxed);
    releaseBrake_.store(c.releaseBrake, std::memory_order_relaxed);
}

Coefficients LimiterEngine::coefficients() const {
    Coefficients c;
    c.inputGain = inputGain_.load(std::memory_order_relaxed);
    c.outputGain = outputGain_.load(std::memory_order_relaxed);
    c.punchCoef = punchCoef_.load(std::memory_order_relaxed);
    c.releaseRate = releaseRate_.load(std::memory_order_relaxed);
    c.pressureMix = pressureMix_.load(std::memory_order_relaxed);
    c.releaseBrake = releaseBrake_.load(std::memory_order_relaxed);
    return c;
}

// The new block is obtained before the old one is released, so on failure the old buffers (and
// their capacity, which bounds the pieces a block is cut into) stay in service and the next set-up
// call tries again. With no buffers at all the block routine stays silent.
void LimiterEngine::allocateBuffers() {
    const int32_t frames = engineBlockSize_.load(std::memory_order_relaxed) + kBufferSlack;
    if (storage_ != nullptr && storageFrames_ == frames) {
        allocationFailed_ = false;
        clearBuffers();
        return;
    }
    const std::size_t stride =
        (static_cast<std::size_t>(frames) * sizeof(float) + kAlign - 1) / kAlign * kAlign;
    auto* mem = static_cast<unsigned char*>(::operator new[](4 * stride + kAlign, std::nothrow));
    if (mem == nullptr) {
        allocationFailed_ = true;
        clearBuffers();
        return;
    }
    freeBuffers();
    storage_ = mem;
    const auto base = (reinterpret_cast<std::uintptr_t>(mem) + kAlign - 1) / kAlign * kAlign;
    auto slot = [&](int k) { return reinterpret_cast<float*>(base + static_cast<std::uintptr_t>(k) * stride); };
    audioLeft_ = slot(0);
    audioRight_ = slot(1);
    channels_[0].gainBuffer = slot(2);
    channels_[1].gainBuffer = slot(3);
    storageFrames_ = frames;
    buffersAllocated_ = 1;
    allocationFailed_ = false;
    clearBuffers();
}

void LimiterEngine::clearBuffers() {
    if (!buffersAllocated_) return;
    std::fill(audioLeft_, audioLeft_ + storageFrames_, 0.0f);
    std::fill(audioRight_, audioRight_ + storageFrames_, 0.0f);
    std::fill(channels_[0].gainBuffer, channels_[0].gainBuffer + storageFrames_, 1.0f);
    std::fill(channels_[1].gainBuffer, channels_[1].gainBuffer + storageFrames_, 1.0f);
}

void LimiterEngine::freeBuffers() {
    buffersAllocated_ = 0;
    ::operator delete[](storage_);
    storage_ = nullptr;
    storageFrames_ = 0;
    audioLeft_ = audioRight_ = nullptr;
    channels_[0].gainBuffer = channels_[1].gainBuffer = nullptr;
}

// ---------------------------------------------------------------- block routine (audio thread)

LimiterEngine::Routing LimiterEngine::route(const float* const* inputs, float* const* outputs,
                                            PinQuery& pins) const {
    auto p = [this](int i) { return params_[static_cast<std::size_t>(i)].load(std::memory_order_relaxed); };
    Routing r;
    r.soft = truncated(p(kLimit)) == 1;
    r.lowPunch = truncated(p(kLowPunch)) == 1;
    const bool linked = p(kStereoLink) == 1.0f;
    const bool hq = truncated(p(kLinkQuality)) == 1;
    const bool autoChannel = truncated(p(kAutoChannel)) == 1;
    const float force = p(kForceChannel);

    if (autoChannel) {
        if (inputs[0] == inputs[1]) {
            // One mono buffer fed to both inputs.
            r.processRight = false;
            r.copyMode = 1;
        } else {
            const bool in0 = pins.inputConnected(0);
            const bool in1 = pins.inputConnected(1);
            if (in0 != in1) {
                r.processLeft = in0;
                r.processRight = in1;
                r.copyMode = in0 ? 1 : 2;
            }
        }
    } else {
        switch (truncated(2.0f * force)) {
        case 1: r.processRight = false, r.copyMode = 1; break;
        case 2: r.processLeft = false, r.copyMode = 2; break;
        default: break; // Stereo, also for values outside 0..1
        }
    }

    if (outputs[0] == outputs[1]) {
        r.rightActive = false; // a shared buffer is written once, as the left output
    } else {
        const bool out0 = pins.outputConnected(0);
        const bool out1 = pins.outputConnected(1);
        if (out0 != out1) {
            r.leftActive = out0;
            r.rightActive = out1;
        }
    }

    r.link = linked ? (hq ? 2 : 1) : 0;
    if (r.copyMode != 0) r.link = 0;
    return r;
}

void LimiterEngine::process(const float* const* inputs, float* const* outputs, int32_t frames,
                            bool accumulate, PinQuery& pins) {
    if (running_.load(std::memory_order_relaxed) != 1) return;
    if (inputs == nullptr || outputs == nullptr || inputs[0] == nullptr || inputs[1] == nullptr ||
        outputs[0] == nullptr || outputs[1] == nullptr)
        return;

    const Routing r = route(inputs, outputs, pins);
    meters_.singleChannel.store(r.processLeft != r.processRight ? 1 : 0, std::memory_order_relaxed);
    if (frames <= 0) return;

    if (!buffersAllocated_) {
        // Nothing to process into: a replacing call leaves silence rather than stale samples.
        if (!accumulate) {
            if (r.leftActive) std::fill(outputs[0], outputs[0] + frames, 0.0f);
            if (r.rightActive) std::fill(outputs[1], outputs[1] + frames, 0.0f);
        }
        return;
    }

    BlockState b;
    b.accumulate = accumulate;
    b.inputGain = inputGain_.load(std::memory_order_relaxed);
    b.outputGain = outputGain_.load(std::memory_order_relaxed);
    b.punchCoef = punchCoef_.load(std::memory_order_relaxed);
    b.gain = {releaseRate_.load(std::memory_order_relaxed),
              pressureMix_.load(std::memory_order_relaxed),
              releaseBrake_.load(std::memory_order_relaxed),
              rateRatio_.load(std::memory_order_relaxed)};

    // Every pass works sample by sample, so pieces give the same result as one long block.
    const int32_t cap = storageFrames_;
    for (int32_t offset = 0; offset < frames; offset += cap)
        processPiece(r, inputs, outputs, offset, std::min(cap, frames - offset), b);

    // Last line of defence: with the coefficients and the rate screened nothing drives a state
    // field to NaN or infinity, but should anything ever do, the channel starts afresh with the
    // next block instead of carrying it until the next switch-on.
    for (LimiterChannel& ch : channels_)
        if (!ch.finite()) ch.reset();

    // Publish the block's extremes; the panel may have reset the fields meanwhile, which at worst
    // loses or keeps one extreme for one panel tick.
    const double blockMin = b.minGain;
    const double blockPeak = b.peak;
    if (blockMin < meters_.minGain.load(std::memory_order_relaxed))
        meters_.minGain.store(static_cast<float>(blockMin), std::memory_order_relaxed);
    if (blockPeak > meters_.peakOut.load(std::memory_order_relaxed))
        meters_.peakOut.store(static_cast<float>(blockPeak), std::memory_order_relaxed);
    if (blockPeak > 1.0) meters_.clipHold.store(kClipHoldTicks, std::memory_order_relaxed);
}

void LimiterEngine::processPiece(const Routing& r, const float* const* inputs,
                                 float* const* outputs, int32_t offset, int32_t n, BlockState& b) {
    using kernel::Mode;

    kernel::Job job;
    job.soft = r.soft;
    job.punchCoef = b.punchCoef;
    job.inputGain = b.inputGain;
    job.lowPunch = r.lowPunch;
    job.n = n;
    job.params = b.gain;

    float* outL = r.leftActive ? outputs[0] + offset : nullptr;
    float* outR = r.rightActive ? outputs[1] + offset : nullptr;
    LimiterChannel& ch0 = channels_[0];
    LimiterChannel& ch1 = channels_[1];
    auto out = [&](const float* a, const float* g, float* o1, float* o2) {
        if (o1 == nullptr && o2 == nullptr) return;
        const bool betweenSteps = !(b.gain.rateRatio >= 1.0f);
        if (b.accumulate) {
            if (betweenSteps) emit<true, true>(a, g, o1, o2, n, b.outputGain, b.minGain, b.peak);
            else emit<true, false>(a, g, o1, o2, n, b.outputGain, b.minGain, b.peak);
        } else {
            if (betweenSteps) emit<false, true>(a, g, o1, o2, n, b.outputGain, b.minGain, b.peak);
            else emit<false, false>(a, g, o1, o2, n, b.outputGain, b.minGain, b.peak);
        }
    };

    if (r.copyMode == 0) {
        job.in0 = inputs[0] + offset;
        job.in1 = inputs[1] + offset;
        job.audio0 = audioLeft_;
        job.audio1 = audioRight_;
        for (int k = 0; k < 2; ++k) job.punchIn[k] = punchLastIn_[k], job.punchOut[k] = punchLastOut_[k];
        job.lane0 = &ch0;
        job.gain0 = ch0.gainBuffer;
        if (r.link == 1) {
            // Normal link: channel 0 follows the louder sample; channel 1 stays frozen.
            job.mode = Mode::Normal;
            kernel::run(job);
            out(audioLeft_, ch0.gainBuffer, outL, nullptr);
            out(audioRight_, ch0.gainBuffer, outR, nullptr);
        } else {
            job.mode = r.link == 2 ? Mode::DualHQ : Mode::Dual;
            job.lane1 = &ch1;
            job.gain1 = ch1.gainBuffer;
            kernel::run(job);
            out(audioLeft_, ch0.gainBuffer, outL, nullptr);
            out(audioRight_, ch1.gainBuffer, outR, nullptr);
        }
        for (int k = 0; k < 2; ++k) punchLastIn_[k] = job.punchIn[k], punchLastOut_[k] = job.punchOut[k];
        return;
    }

    // One channel processed; its result goes to every active output.
    const int c = r.copyMode == 1 ? 0 : 1;
    LimiterChannel& ch = channels_[c];
    float* audio = c == 0 ? audioLeft_ : audioRight_;
    job.mode = Mode::Single;
    job.in0 = job.in1 = inputs[c] + offset;
    job.audio0 = audio;
    job.punchIn[0] = job.punchIn[1] = punchLastIn_[c];
    job.punchOut[0] = job.punchOut[1] = punchLastOut_[c];
    job.lane0 = &ch;
    job.gain0 = ch.gainBuffer;
    kernel::run(job);
    punchLastIn_[c] = job.punchIn[0];
    punchLastOut_[c] = job.punchOut[0];
    out(audio, ch.gainBuffer, outL, outR);
}

} // namespace qx
