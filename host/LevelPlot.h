#pragma once
// A picture of what the limiter did over time: input and output peak level (top, 0 to -48 dBFS,
// grid every 6 dB) and gain reduction (bottom, 0 to 24 dB, grid every 3 dB).

#include <cstdint>
#include <string>
#include <vector>

namespace qxhost {

class LevelPlot {
public:
    explicit LevelPlot(int sampleRate) : sampleRate_(sampleRate) {}
    void add(int64_t frames, double inputPeak, double outputPeak, double minGain);
    bool write(const std::string& path) const;

private:
    struct Block {
        int64_t frames;
        float in, out, gain;
    };
    int sampleRate_;
    std::vector<Block> blocks_;
};

} // namespace qxhost
