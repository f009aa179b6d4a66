#include "clap/EditGestures.h"

namespace qx {

namespace {

bool validIndex(int32_t index) {
    return index >= 0 && index < kNumParams;
}

} // namespace

void EditGestures::begin(int32_t index) {
    if (!validIndex(index)) return;
    words_[index].fetch_add(kEdge, std::memory_order_relaxed);
    pending_.store(1, std::memory_order_relaxed);
}

void EditGestures::value(int32_t index) {
    if (!validIndex(index)) return;
    words_[index].fetch_or(kValueBit, std::memory_order_relaxed);
    pending_.store(1, std::memory_order_relaxed);
}

void EditGestures::end(int32_t index) {
    if (!validIndex(index)) return;
    words_[index].fetch_add(kEdge, std::memory_order_relaxed);
    pending_.store(1, std::memory_order_relaxed);
}

bool EditGestures::writeOne(const clap_output_events* out, uint32_t time, int32_t index,
                            double value) {
    const uint32_t word = words_[index].fetch_and(~kValueBit, std::memory_order_relaxed);
    const uint32_t count = word & ~kValueBit;
    bool valueWaits = (word & kValueBit) != 0;
    uint32_t& told = told_[index];
    auto failed = [&] {
        if (valueWaits) words_[index].fetch_or(kValueBit, std::memory_order_relaxed);
        return false;
    };
    const bool openTold = (told / kEdge) % 2 == 1;
    // 1. Close the edit the host knows as open.
    if (count != told && openTold) {
        if (valueWaits) {
            if (!push(out, time, CLAP_EVENT_PARAM_VALUE, index, value)) return failed();
            valueWaits = false;
        }
        if (!push(out, time, CLAP_EVENT_PARAM_GESTURE_END, index, 0.0)) return failed();
        told += kEdge;
    }
    // 2. Edits that began and ended since: one begin, value, end for all of them.
    if (count - told >= 2 * kEdge) {
        const uint32_t start = told;
        if (!push(out, time, CLAP_EVENT_PARAM_GESTURE_BEGIN, index, 0.0)) return failed();
        told += kEdge;
        if (!push(out, time, CLAP_EVENT_PARAM_VALUE, index, value)) return failed();
        valueWaits = false;
        if (!push(out, time, CLAP_EVENT_PARAM_GESTURE_END, index, 0.0)) return failed();
        // Every complete edit since `start` is told by these three; an open one remains.
        told = count - (count - start) % (2 * kEdge);
    }
    // 3. An edit open now: its begin and the value so far.
    if (count != told) {
        if (!push(out, time, CLAP_EVENT_PARAM_GESTURE_BEGIN, index, 0.0)) return failed();
        told += kEdge;
        valueWaits = true;
    }
    if (valueWaits && !push(out, time, CLAP_EVENT_PARAM_VALUE, index, value)) return failed();
    return true;
}

bool EditGestures::push(const clap_output_events* out, uint32_t time, uint16_t type, int32_t index,
                        double value) {
    if (out == nullptr || out->try_push == nullptr) return false;
    if (type == CLAP_EVENT_PARAM_VALUE) {
        clap_event_param_value e{};
        e.header = {sizeof e, time, CLAP_CORE_EVENT_SPACE_ID, type, 0};
        e.param_id = static_cast<clap_id>(index);
        e.note_id = -1;
        e.port_index = -1;
        e.channel = -1;
        e.key = -1;
        e.value = value;
        return out->try_push(out, &e.header);
    }
    clap_event_param_gesture e{};
    e.header = {sizeof e, time, CLAP_CORE_EVENT_SPACE_ID, type, 0};
    e.param_id = static_cast<clap_id>(index);
    return out->try_push(out, &e.header);
}

} // namespace qx
