#include "host/ClapEventLists.h"

#include <cstdio>
#include <cstring>

namespace qxhost {

namespace {

uint32_t QX_CLAP_ABI inputSize(const clap_input_events* list) {
    return static_cast<uint32_t>(static_cast<const InputEvents*>(list->ctx)->events.size());
}

const clap_event_header* QX_CLAP_ABI inputGet(const clap_input_events* list, uint32_t index) {
    const auto& events = static_cast<const InputEvents*>(list->ctx)->events;
    return index < events.size() ? &events[index].header : nullptr;
}

bool QX_CLAP_ABI outputPush(const clap_output_events* list, const clap_event_header* header) {
    auto* out = static_cast<OutputEvents*>(list->ctx);
    if (header == nullptr || header->size > sizeof(ClapEvent) ||
        out->events.size() >= out->capacity)
        return false;
    ClapEvent e{};
    std::memcpy(&e, header, header->size);
    out->events.push_back(e);
    return true;
}

} // namespace

ClapEvent paramValueEvent(uint32_t time, clap_id id, double value) {
    ClapEvent e{};
    e.value.header = {sizeof(clap_event_param_value), time, CLAP_CORE_EVENT_SPACE_ID,
                      CLAP_EVENT_PARAM_VALUE, 0};
    e.value.param_id = id;
    e.value.note_id = -1;
    e.value.port_index = e.value.channel = e.value.key = -1;
    e.value.value = value;
    return e;
}

InputEvents::InputEvents() : list{this, inputSize, inputGet} {}

OutputEvents::OutputEvents() : list{this, outputPush} {}

std::string OutputEvents::describe() const {
    std::string text;
    char item[48];
    for (const ClapEvent& e : events) {
        switch (e.header.type) {
        case CLAP_EVENT_PARAM_GESTURE_BEGIN:
            std::snprintf(item, sizeof item, "B%u", e.gesture.param_id);
            break;
        case CLAP_EVENT_PARAM_GESTURE_END:
            std::snprintf(item, sizeof item, "E%u", e.gesture.param_id);
            break;
        case CLAP_EVENT_PARAM_VALUE:
            std::snprintf(item, sizeof item, "V%u=%g", e.value.param_id, e.value.value);
            break;
        default:
            std::snprintf(item, sizeof item, "?%u", static_cast<unsigned>(e.header.type));
        }
        text += (text.empty() ? "" : " ") + std::string(item);
    }
    return text;
}

} // namespace qxhost
