#pragma once
// The limiter's signal path, free of any host or editor code: coefficients, work buffers, the two
// gain computers, the block routine and the meters that the panel reads.
//
// Threads:
//   - set-up calls (setSampleRate, setBlockSize, setBlockSizeAndSampleRate, resume, suspend) come
//     from the host while processing is switched off;
//   - recalculate() may run on any thread (host automation, panel drag); coefficients are single
//     32-bit atomics, so the audio thread sees old or new values, never torn ones;
//   - process() runs on the audio thread: no allocation, lock, system call or exception.
//
// Parameter values. The effect stores whatever a host sends, and its texts show that; the engine
// makes every value safe where it reads it:
//   - the switches are decoded by truncation toward zero, and a value no int can hold (NaN, the
//     infinities, beyond +-2^31) counts as 0; Force Channel results other than 0, 1, 2 are Stereo;
//   - Input, Pressure, Release1, Release2 and Output reach their coefficient formulas limited to
//     0..1, NaN as 0 (Coefficients.h), so a value outside acts as the nearest end of the range and
//     the coefficients always lie in the ranges the formulas span over 0..1.
// With coefficients in those ranges the gain computer stays finite for every finite level up to
// the float limit, so every output sample is finite from the first block after any parameter
// write, whatever the value. Values inside 0..1 are used exactly as the formulas say.
//
// Input samples: NaN and infinities count as silence; a conditioned sample beyond the float range
// is 0; above 44.1 kHz an output sample beyond the float range (a level near the float limit
// between two control steps) is 0. So finite output also holds for any input, in replace mode.

#include "dsp/Coefficients.h"
#include "dsp/LimiterChannel.h"
#include "dsp/ParamIndex.h"

#include <atomic>
#include <cstdint>

namespace qx {

// Panel ticks the clip light stays lit after an output sample above full scale (0.81 s at the
// panel's 30 ms tick). The engine sets the hold to it, readers count it down.
constexpr int32_t kClipHoldTicks = 27;

// Meter hand-over between the audio thread (writer) and the panel's timer (reader, resets).
struct MeterShared {
    std::atomic<float> minGain{1.0f};      // smallest applied gain since the panel's last read
    std::atomic<float> peakOut{0.0f};      // largest absolute output sample since then
    std::atomic<int32_t> clipHold{0};      // kClipHoldTicks on an output above 1.0; reader counts down
    std::atomic<int32_t> singleChannel{0}; // 1 while exactly one input channel is processed
};

// Answers about the host's pin connections, asked once per block by the channel selection.
class PinQuery {
public:
    virtual bool inputConnected(int pin) = 0;
    virtual bool outputConnected(int pin) = 0;

protected:
    ~PinQuery() = default;
};

class LimiterEngine {
public:
    static constexpr int32_t kBufferSlack = 10;

    // `params` is the effect's array of current values; the engine only reads it.
    explicit LimiterEngine(const ParamArray& params);
    ~LimiterEngine();
    LimiterEngine(const LimiterEngine&) = delete;
    LimiterEngine& operator=(const LimiterEngine&) = delete;

    // Host set-up. Sample rates that are not finite or outside 1 Hz to 1 MHz are ignored (the
    // previous rate stays); block sizes below 1 are raised to 1 and sizes above 2^20 frames
    // lowered to that (longer blocks are processed in pieces anyway). A failed buffer
    // allocation keeps the previous buffers, or leaves the engine silent if there were none,
    // and is tried again by the next set-up call.
    void setSampleRate(float rate);
    void setBlockSize(int32_t frames);
    void setBlockSizeAndSampleRate(int32_t frames, float rate);
    void resume();
    void suspend();

    // Recomputes every coefficient from the parameter values and the engine's sample rate.
    void recalculate();

    // Block routine: replace mode overwrites the outputs, accumulate mode adds into them.
    void process(const float* const* inputs, float* const* outputs, int32_t frames,
                 bool accumulate, PinQuery& pins);

    MeterShared& meters() { return meters_; }
    const MeterShared& meters() const { return meters_; }

    // Read-outs for the effect and for tests.
    float sampleRate() const { return engineSampleRate_.load(std::memory_order_relaxed); }
    int32_t blockSize() const { return engineBlockSize_.load(std::memory_order_relaxed); }
    float rateRatio() const { return rateRatio_.load(std::memory_order_relaxed); }
    bool running() const { return running_.load(std::memory_order_relaxed) == 1; }
    bool buffersAllocated() const { return buffersAllocated_ != 0; }
    Coefficients coefficients() const;
    const LimiterChannel& channel(int i) const { return channels_[i & 1]; }

private:
    struct Routing;     // channel selection, active outputs and switches of one block
    struct BlockState;  // coefficients read once per block and the block's meter extremes

    void allocateBuffers();
    void clearBuffers();
    void freeBuffers();

    Routing route(const float* const* inputs, float* const* outputs, PinQuery& pins) const;
    void processPiece(const Routing& r, const float* const* inputs, float* const* outputs,
                      int32_t offset, int32_t n, BlockState& b);

    const ParamArray& params_;
    std::atomic<float> engineSampleRate_{44100.0f};
    std::atomic<int32_t> engineBlockSize_{1024};
    std::atomic<float> rateRatio_{1.0f};
    std::atomic<int32_t> running_{0};
    int32_t buffersAllocated_ = 0;
    bool allocationFailed_ = false; // retried by the next set-up call

    std::atomic<float> inputGain_{1.0f};
    std::atomic<float> outputGain_{1.0f};
    std::atomic<float> punchCoef_{0.0f};
    std::atomic<float> releaseRate_{0.0f};
    std::atomic<float> pressureMix_{0.0f};
    std::atomic<float> releaseBrake_{0.0f};

    // One allocation holds the two conditioned-signal buffers and the two gain buffers.
    unsigned char* storage_ = nullptr;
    int32_t storageFrames_ = 0;
    float* audioLeft_ = nullptr;
    float* audioRight_ = nullptr;
    LimiterChannel channels_[2];
    float punchLastIn_[2] = {0.0f, 0.0f};
    float punchLastOut_[2] = {0.0f, 0.0f};

    MeterShared meters_;
};

} // namespace qx
