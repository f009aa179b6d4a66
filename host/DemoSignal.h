#pragma once
// The built-in demo material: drum-like transients over a music-like bed, peaking near full
// scale, the same samples on every run. Made block by block, so a signal of any length takes
// the same memory: a first pass over the whole length finds the peak that sets the gain, the
// second one hands out the samples.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qxhost {

class DemoSignal {
public:
    DemoSignal(int sampleRate, double seconds);

    size_t frames() const { return frames_; }
    // Writes up to `count` interleaved stereo frames and returns how many (0 at the end).
    size_t read(float* interleaved, size_t count);

private:
    // The unscaled signal, one frame per call, in order.
    struct Generator {
        explicit Generator(int sampleRate) : sr(sampleRate) {}
        void next(double& left, double& right);
        double sr;
        size_t i = 0;
        uint32_t noise = 0x1234567u;
        double hatState = 0.0;
    };

    size_t frames_;
    double gain_ = 1.0;
    Generator generator_;
};

// The whole signal at once, interleaved stereo (for the short loop of `qxhost gui`).
std::vector<float> makeDemoSignal(int sampleRate, double seconds);

} // namespace qxhost
