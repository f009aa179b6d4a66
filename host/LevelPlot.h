#pragma once
// A picture of what the limiter did over time, for people: two panes over one time axis, (a)
// input and output level in dBFS (peak envelope, RMS lighter, 0 dBFS marked as the clip line)
// and (b) the gain reduction the plug-in applied, 0 dB at the top growing downward, with
// labelled axes, a grid, a legend and a title line.
//
// The levels are kept at a resolution that halves as the signal grows (at most kMaxBins spans
// of equal length), so a 0.01 s file shows its samples as steps and a two-hour file its columns,
// in bounded memory. Drawing is cairo's (LevelPlotCairo.cpp): PNG through cairo's own writer, or
// SVG; builds without cairo write nothing (LevelPlotNone.cpp).

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace qxhost {

class LevelPlot {
public:
    static constexpr int kMaxBins = 8192;
    static constexpr int kDefaultWidth = 1200;
    static constexpr int kDefaultHeight = 500;

    // False where this build cannot draw.
    static bool available();
    // The extensions write() understands.
    static std::vector<std::string> extensions();

    LevelPlot(int sampleRate, int channels);

    void setTitle(const std::string& title) { title_ = title; }
    // Accepts 300x200 to 10000x5000 pixels; false otherwise.
    bool setSize(int width, int height);

    // One block: `frames` interleaved input and output frames, and the smallest gain the
    // plug-in applied within it (linear, 1 = no reduction).
    void add(const float* input, const float* output, int64_t frames, double minGain);

    // Writes `format` ("png" or "svg", one of extensions()) to `path`; false with a one-line
    // reason.
    bool write(const std::string& path, const std::string& format, std::string& error) const;

    struct Bin {
        float inPeak = 0.0f, outPeak = 0.0f, gain = 1.0f;
        double inSquares = 0.0, outSquares = 0.0;
        int64_t frames = 0;
        // Takes in the frames of `b`: the extremes of both, the sums of both.
        void absorb(const Bin& b) {
            inPeak = std::max(inPeak, b.inPeak);
            outPeak = std::max(outPeak, b.outPeak);
            gain = std::min(gain, b.gain);
            inSquares += b.inSquares;
            outSquares += b.outSquares;
            frames += b.frames;
        }
    };
    const std::vector<Bin>& bins() const { return bins_; }
    int64_t framesPerBin() const { return binFrames_; }
    int64_t frames() const { return total_; }
    int sampleRate() const { return sampleRate_; }
    int width() const { return width_; }
    int height() const { return height_; }
    const std::string& title() const { return title_; }

private:
    void halveResolution();

    int sampleRate_, channels_;
    int width_ = kDefaultWidth, height_ = kDefaultHeight;
    std::string title_;
    std::vector<Bin> bins_;
    int64_t binFrames_ = 1;
    int64_t total_ = 0;
};

} // namespace qxhost
