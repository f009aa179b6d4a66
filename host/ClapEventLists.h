#pragma once
// The event lists a CLAP host hands the plug-in: an input list over events the host fills in
// and an output list that keeps what the plug-in sends (up to a capacity, to try a full queue).

#include "clap/ClapAbi.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qxhost {

// One event of any kind we send or receive, kept whole.
union ClapEvent {
    clap_event_header header;
    clap_event_param_value value;
    clap_event_param_mod mod;
    clap_event_param_gesture gesture;
};

// A parameter value event at frame `time`, for any note, port, channel and key.
ClapEvent paramValueEvent(uint32_t time, clap_id id, double value);

struct InputEvents {
    std::vector<ClapEvent> events;
    clap_input_events list;
    InputEvents();
    InputEvents(const InputEvents&) = delete;
    InputEvents& operator=(const InputEvents&) = delete;
};

struct OutputEvents {
    std::vector<ClapEvent> events;
    std::size_t capacity = SIZE_MAX; // pushes past it are refused
    clap_output_events list;
    OutputEvents();
    OutputEvents(const OutputEvents&) = delete;
    OutputEvents& operator=(const OutputEvents&) = delete;
    // What arrived, in order, as "B5 V5=0.7 E5" (gesture begin, value, end of parameter 5).
    std::string describe() const;
};

} // namespace qxhost
