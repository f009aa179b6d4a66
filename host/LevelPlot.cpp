#include "host/LevelPlot.h"

#include "host/PngWriter.h"

#include <algorithm>
#include <cmath>

namespace qxhost {

namespace {

constexpr int kWidth = 1000;
constexpr int kLevelHeight = 240;
constexpr int kGainHeight = 120;
constexpr int kGap = 8;
constexpr int kHeight = kLevelHeight + kGap + kGainHeight;
constexpr double kLevelRange = 48.0;
constexpr double kGainRange = 24.0;

double db(double v) { return v > 0.0 ? 20.0 * std::log10(v) : -1000.0; }

} // namespace

void LevelPlot::add(int64_t frames, double inputPeak, double outputPeak, double minGain) {
    blocks_.push_back({frames, static_cast<float>(inputPeak), static_cast<float>(outputPeak),
                       static_cast<float>(minGain)});
}

bool LevelPlot::write(const std::string& path) const {
    std::vector<uint32_t> px(static_cast<size_t>(kWidth) * kHeight, 0x15171b);
    auto set = [&](int x, int y, uint32_t c) {
        if (x >= 0 && x < kWidth && y >= 0 && y < kHeight) px[static_cast<size_t>(y) * kWidth + x] = c;
    };
    for (int y = kLevelHeight; y < kLevelHeight + kGap; ++y)
        for (int x = 0; x < kWidth; ++x) set(x, y, 0x08090b);
    for (int d = 0; d <= 48; d += 6) {
        const int y = static_cast<int>(d / kLevelRange * (kLevelHeight - 1));
        for (int x = 0; x < kWidth; ++x) set(x, y, d == 0 ? 0x5a3030 : 0x2a2e35);
    }
    for (int d = 0; d <= 24; d += 3) {
        const int y = kLevelHeight + kGap + static_cast<int>(d / kGainRange * (kGainHeight - 1));
        for (int x = 0; x < kWidth; ++x) set(x, y, 0x2a2e35);
    }

    int64_t total = 0;
    for (const auto& b : blocks_) total += b.frames;
    if (total > 0) {
        // Each column shows the loudest input and output and the deepest reduction within it.
        std::vector<double> in(kWidth, 0.0), out(kWidth, 0.0), gain(kWidth, 1.0);
        std::vector<bool> used(kWidth, false);
        int64_t pos = 0;
        for (const auto& b : blocks_) {
            const int x = static_cast<int>(std::min<int64_t>(kWidth - 1, pos * kWidth / total));
            in[x] = std::max(in[x], static_cast<double>(b.in));
            out[x] = std::max(out[x], static_cast<double>(b.out));
            gain[x] = std::min(gain[x], static_cast<double>(b.gain));
            used[x] = true;
            pos += b.frames;
        }
        // Fewer blocks than columns: a block spans several columns.
        for (int x = 1; x < kWidth; ++x)
            if (!used[x] && used[x - 1]) {
                in[x] = in[x - 1];
                out[x] = out[x - 1];
                gain[x] = gain[x - 1];
                used[x] = true;
            }
        auto levelY = [](double v) {
            const double d = std::clamp(-db(v), 0.0, kLevelRange);
            return static_cast<int>(d / kLevelRange * (kLevelHeight - 1));
        };
        int lastOut = -1;
        for (int x = 0; x < kWidth; ++x) {
            if (!used[x]) continue;
            for (int y = levelY(in[x]); y < kLevelHeight; ++y) set(x, y, 0x4a505a);
            const int yo = levelY(out[x]);
            const int from = lastOut < 0 ? yo : std::min(yo, lastOut);
            const int to = lastOut < 0 ? yo : std::max(yo, lastOut);
            for (int y = from; y <= to; ++y) {
                set(x, y, 0x6fdc8c);
                set(x, y + 1, 0x6fdc8c);
            }
            lastOut = yo;
            const double gr = std::clamp(-db(gain[x]), 0.0, kGainRange);
            const int depth = static_cast<int>(gr / kGainRange * (kGainHeight - 1));
            for (int y = 0; y <= depth; ++y) set(x, kLevelHeight + kGap + y, 0xe0564b);
        }
    }
    return writePng(path, kWidth, kHeight, px);
}

} // namespace qxhost
