#include "model/BlockRunner.h"

#include "model/LimiterModel.h"

#include <algorithm>

namespace qx {

namespace {

// The longest piece handed to the engine at once; it counts frames in signed 32 bits.
constexpr uint32_t kLongestPiece = 1u << 30;

void silence(const AudioBlock& b) {
    if (b.accumulate || b.outputs == nullptr) return;
    for (int c = 0; c < 2; ++c)
        if (b.outputs[c] != nullptr) std::fill(b.outputs[c], b.outputs[c] + b.frames, 0.0f);
}

bool complete(const AudioBlock& b) {
    return b.inputs != nullptr && b.outputs != nullptr && b.inputs[0] != nullptr &&
           b.inputs[1] != nullptr && b.outputs[0] != nullptr && b.outputs[1] != nullptr;
}

uint32_t offsetOf(const ParamChange& c) { return c.frame > 0 ? uint32_t(c.frame) : 0u; }

} // namespace

void BlockRunner::run(LimiterModel& model, const AudioBlock& block, const ParamChange* changes,
                      int32_t count, PinQuery& pins, IdleOutput idle) {
    if (changes == nullptr || count < 0) count = 0;
    if (!complete(block) || !model.active()) {
        model.applyChanges(changes, count);
        if (idle == IdleOutput::Silent) silence(block);
        return;
    }

    LimiterEngine& engine = model.engine();
    const uint32_t frames = block.frames;
    if (count == 0 && frames <= kLongestPiece) {
        // The common block: nothing timed inside it, one call.
        engine.process(block.inputs, block.outputs, int32_t(frames), block.accumulate, pins);
        return;
    }
    uint32_t done = 0;
    int32_t next = 0;
    // Runs at least once, so a block of 0 frames still applies its changes at offset 0 and lets
    // the engine see the routing, as an empty host call does.
    do {
        const int32_t first = next;
        while (next < count && offsetOf(changes[next]) <= done) ++next;
        model.applyChanges(changes + first, next - first);
        uint32_t end = next < count ? std::min(offsetOf(changes[next]), frames) : frames;
        end = std::min(end, done + kLongestPiece);
        // One buffer fed to both inputs stays one buffer in every piece: the mono path holds.
        const float* in[2] = {block.inputs[0] + done, block.inputs[1] + done};
        float* out[2] = {block.outputs[0] + done, block.outputs[1] + done};
        engine.process(in, out, static_cast<int32_t>(end - done), block.accumulate, pins);
        done = end;
    } while (done < frames);
    // Changes at or past the end take effect for the next block.
    model.applyChanges(changes + next, count - next);
}

} // namespace qx
