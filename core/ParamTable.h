#pragma once
// Everything the model, the texts and the panel need to know about each parameter, in one table.

#include "dsp/ParamIndex.h"

#include <cstdint>

namespace qx {

enum class ParamKind {
    Percent,      // 0..1 shown as 0..100 %
    Centred,      // 0..1 shown as -100..+100 %, 0.5 is the centre
    TwoState,     // truncated value selects states[0] or states[1]
    ThreeState,   // truncated twice the value selects states[0..2]
};

struct ParamInfo {
    const char* name;       // shown padded with blanks to kParamNameWidth
    ParamKind kind;
    float defaultValue;     // in every program, after the panel's initialisation, on right-click
    const char* states[3];  // switch words
};

constexpr int kParamNameWidth = 22;
constexpr int kProgramNameWidth = 23;

constexpr ParamInfo kParamTable[kNumParams] = {
    {"Input", ParamKind::Percent, 0.0f, {}},
    {"Pressure", ParamKind::Percent, 0.7f, {}},
    {"Release1", ParamKind::Percent, 0.4f, {}},
    {"Release2", ParamKind::Percent, 0.5f, {}},
    {"Output", ParamKind::Centred, 0.5f, {}},
    {"Limit", ParamKind::TwoState, 1.0f, {"Hard", "Soft"}},
    {"Low Punch", ParamKind::TwoState, 0.0f, {"Off", "On"}},
    {"Stereo Link", ParamKind::TwoState, 1.0f, {"Off", "On"}},
    {"Link Quality", ParamKind::TwoState, 1.0f, {"Normal", "HQ"}},
    {"Auto Channel", ParamKind::TwoState, 1.0f, {"Off", "On"}},
    {"Force Channel", ParamKind::ThreeState, 0.0f, {"Stereo", "Left", "Right"}},
};

constexpr const char* kProgramNameTable[10] = {"default", "empty 1", "empty 2", "empty 3",
                                               "empty 4", "empty 5", "empty 6", "empty 7",
                                               "empty 8", "empty 9"};

// Parameters 0 to 6 have a control on the panel with its own redraw bit (1 << index).
constexpr int kParamsWithRedrawBit = 7;

// Hosts store automation and sessions by parameter id. The ids are the indices and never change;
// a new parameter would take the next free id, whatever its place in the table.
constexpr int32_t paramId(int index) { return index; }
static_assert(paramId(kInput) == 0 && paramId(kForceChannel) == 10 && kNumParams == 11,
              "parameter ids are fixed forever: saved sessions refer to them");

// Steps between the states of a switch, for hosts that show stepped parameters: 1 for the
// two-state switches, 2 for the three-state one, 0 for the continuous parameters.
constexpr int paramSteps(int index) {
    if (index < 0 || index >= kNumParams) return 0;
    return kParamTable[index].kind == ParamKind::TwoState     ? 1
           : kParamTable[index].kind == ParamKind::ThreeState ? 2
                                                             : 0;
}

// The stored value of state `state` of a switch: 0 or 1, and 0, 0.5 or 1 for Force Channel, the
// values the host interfaces of every format hand the engine. States outside the switch are
// clamped to it.
constexpr float switchStateValue(int index, int state) {
    const int steps = paramSteps(index);
    if (steps == 0) return 0.0f;
    const int s = state < 0 ? 0 : state > steps ? steps : state;
    return static_cast<float>(s) / static_cast<float>(steps);
}
static_assert(switchStateValue(kForceChannel, 1) == 0.5f && switchStateValue(kLimit, 1) == 1.0f,
              "state values must select their state when truncated");

} // namespace qx
