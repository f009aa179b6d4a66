#pragma once
// The panel's edits on their way to a CLAP host. The panel's thread records each begin, value and
// end; the next process or flush call writes them to the host's output queue as gesture begin,
// parameter value and gesture end events.
//
// Each parameter has one 32-bit atomic word: bit 0 says a value is waiting, bits 1..31 count
// begins and ends (odd while an edit is open). The writer side remembers how far it has told the
// host, so it can rebuild the order from the count alone: an open edit is closed first, edits
// that began and ended in between collapse into begin, value, end, and a new open edit gets its
// begin and value. Each value event carries the model's current value, so no value is lost, only
// the steps between two calls. An event the host's queue refuses stays pending for the next call.
//
// Threads: begin / value / end on the panel's thread; write on the thread that calls process (or
// flush while not active); the host never runs those two at once for one instance.

#include "clap/ClapAbi.h"
#include "dsp/ParamIndex.h"

#include <atomic>
#include <cstdint>

namespace qx {

class EditGestures {
  public:
    // Panel thread. Indices outside the table are ignored.
    void begin(int32_t index);
    void value(int32_t index);
    void end(int32_t index);

    // True when something waits (one relaxed load; the audio path's quick check).
    bool pending() const { return pending_.load(std::memory_order_relaxed) != 0; }

    // Writes what waits to `out` at frame `time`; `currentValue(index)` gives the CLAP value to
    // report. False when the queue refused an event (the rest stays pending).
    template <typename ValueOf>
    bool write(const clap_output_events* out, uint32_t time, ValueOf currentValue);

  private:
    static constexpr uint32_t kValueBit = 1u;
    static constexpr uint32_t kEdge = 2u; // one begin or one end

    bool writeOne(const clap_output_events* out, uint32_t time, int32_t index, double value);
    static bool push(const clap_output_events* out, uint32_t time, uint16_t type, int32_t index,
                     double value);

    std::atomic<uint32_t> words_[kNumParams] = {};
    std::atomic<uint32_t> pending_{0};
    uint32_t told_[kNumParams] = {}; // the writer's count of begins and ends told, times kEdge
};

template <typename ValueOf>
bool EditGestures::write(const clap_output_events* out, uint32_t time, ValueOf currentValue) {
    if (pending_.exchange(0, std::memory_order_relaxed) == 0) return true;
    bool all = true;
    for (int32_t i = 0; i < kNumParams; ++i)
        all = writeOne(out, time, i, currentValue(i)) && all;
    if (!all) pending_.store(1, std::memory_order_relaxed);
    return all;
}

} // namespace qx
